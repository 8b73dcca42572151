#include "StatusMessages.h"

#include "BackupManifest.h"
#include "Counted.h"
#include "Defs.h"
#include "Language.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("StatusMessages", text);
}

} // namespace

QString ElapsedText(qint64 milliseconds) {
    // Tenths only where they tell something: a link test takes well under a second.
    if (milliseconds < 9950)
        return Tr(QT_TRANSLATE_NOOP("StatusMessages", "%1 s"))
            .arg(PeopleNumber(double(milliseconds) / 1000.0, 1));
    const qint64 seconds = (milliseconds + 500) / 1000;
    if (seconds < 60)
        return Tr(QT_TRANSLATE_NOOP("StatusMessages", "%1 s")).arg(seconds);
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "%1 min %2 s"))
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QChar('0'));
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
        parts << Tr(QT_TRANSLATE_NOOP("StatusMessages", "parameters"));
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "%1 done: %2 in %3"))
        .arg(Tr(word), parts.join(", "), ElapsedText(milliseconds));
}

QString TestDoneText(qint64 milliseconds) {
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "Test done: the register answered in %1"))
        .arg(ElapsedText(milliseconds));
}

QString CompareDoneText(qint64 differences, qint64 milliseconds) {
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "Compare done: %1 in %2"))
        .arg(differences == 0 ? Tr(QT_TRANSLATE_NOOP("StatusMessages", "no differences"))
                              : Counted(differences, "difference", "differences"),
             ElapsedText(milliseconds));
}

QString BackupDoneText(const TBackupManifest& manifest, qint64 milliseconds) {
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "Backup done: %1, %2, %3, parameters in %4"))
        .arg(Counted(manifest.pluItems, "item", "items"),
             Counted(manifest.departments, "department", "departments"),
             Counted(manifest.packagePrices, "package price", "package prices"),
             ElapsedText(milliseconds));
}

QString RestoreDoneText(qint64 differencesSent, qint64 milliseconds) {
    if (differencesSent == 0)
        return Tr(QT_TRANSLATE_NOOP("StatusMessages",
                                    "Restore done: the register already held the backup, "
                                    "checked in %1"))
            .arg(ElapsedText(milliseconds));
    return Tr(QT_TRANSLATE_NOOP("StatusMessages", "Restore done: %1 sent in %2"))
        .arg(Counted(differencesSent, "difference", "differences"), ElapsedText(milliseconds));
}
