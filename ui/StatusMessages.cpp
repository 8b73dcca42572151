#include "StatusMessages.h"

#include "BackupManifest.h"
#include "Counted.h"
#include "Defs.h"

#include <QStringList>

QString ElapsedText(qint64 milliseconds) {
    // Tenths only where they tell something: a link test takes well under a second.
    if (milliseconds < 9950)
        return QString("%1 s").arg(double(milliseconds) / 1000.0, 0, 'f', 1);
    const qint64 seconds = (milliseconds + 500) / 1000;
    if (seconds < 60)
        return QString("%1 s").arg(seconds);
    return QString("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

QString TransferDoneText(const char* word, KindSet kinds, int rangeBegin, int rangeEnd,
                         qint64 milliseconds) {
    QStringList parts;
    if (kinds.test(KindPLU))
        parts << Counted(qint64(rangeEnd) - rangeBegin + 1, "item", "items");
    if (kinds.test(KindDepartment))
        parts << Counted(DeptRowCount, "department", "departments");
    if (kinds.test(KindRecycling))
        parts << Counted(RecyEntryCount, "package price", "package prices");
    if (kinds.test(KindParameter))
        parts << "parameters";
    return QString("%1 done: %2 in %3")
        .arg(QLatin1String(word), parts.join(", "), ElapsedText(milliseconds));
}

QString TestDoneText(qint64 milliseconds) {
    return "Test done: the register answered in " + ElapsedText(milliseconds);
}

QString CompareDoneText(qint64 differences, qint64 milliseconds) {
    return QString("Compare done: %1 in %2")
        .arg(differences == 0 ? QString("no differences")
                              : Counted(differences, "difference", "differences"),
             ElapsedText(milliseconds));
}

QString BackupDoneText(const TBackupManifest& manifest, qint64 milliseconds) {
    return QString("Backup done: %1, %2, %3, parameters in %4")
        .arg(Counted(manifest.pluItems, "item", "items"),
             Counted(manifest.departments, "department", "departments"),
             Counted(manifest.packagePrices, "package price", "package prices"),
             ElapsedText(milliseconds));
}

QString RestoreDoneText(qint64 differencesSent, qint64 milliseconds) {
    if (differencesSent == 0)
        return "Restore done: the register already held the backup, checked in " +
               ElapsedText(milliseconds);
    return QString("Restore done: %1 sent in %2")
        .arg(Counted(differencesSent, "difference", "differences"), ElapsedText(milliseconds));
}
