// The transfers: the document to and from the register, what a download would change,
// only the changes, backups and restoring them.
#include "CommandSupport.h"

#include "AtomicFile.h"
#include "Backup.h"
#include "ChangedDownload.h"
#include "Counted.h"
#include "DocumentFile.h"
#include "Download.h"
#include "GridModel.h"
#include "Settings.h"
#include "Upload.h"

#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace {

// One line per difference: on stdout (the command's data) or as notes beside a download.
void ListDifferences(const TComparison& comparison, const TOutput& output, bool asData) {
    for (const TDifference& d : comparison.differences) {
        if (output.Json())
            output.Event({{"event", "difference"},
                          {"kind", Readable(DownloadKindNames[d.kind])},
                          {"item", d.item},
                          {"field", Readable(FieldName(d))},
                          {"pc", Readable(d.pc)},
                          {"register", Readable(d.reg)}});
        else if (asData)
            output.Data((Readable(DifferenceLine(d)) + '\n').toUtf8());
        else
            output.Note("  " + Readable(DifferenceLine(d)));
    }
    output.Note(Readable(ComparisonSummary(comparison)));
}

int DownloadChanged(TRegisterLine& reg, TTransferContext& ctx, const TOutput& output) {
    TComparison comparison;
    if (const TFlowOutcome outcome = CompareWithRegister(ctx, comparison); !outcome.Done())
        return FinishOutcome(reg, output, outcome);
    ListDifferences(comparison, output, false);
    if (comparison.Equal()) {
        output.Note(CliText::tr("Nothing to send: the register holds what the document holds."));
        return reg.Finish(TFlowResult::Done, {{"differences", 0}, {"blocks", 0}});
    }
    const int blocks = int(ChangedPluBlocks(comparison.changedPlus).size());
    const TFlowOutcome sent = SendChanges(ctx, comparison);
    if (sent.Done())
        output.Note(
            PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Sent %n PLU blocks%1%2%3."), blocks,
                     QString("Sent %1 PLU block%2").arg(blocks).arg(blocks == 1 ? "" : "s") +
                         "%1%2%3.")
                .arg(comparison.KindDiffers(KindDepartment) ? CliText::tr(", the departments")
                                                            : QString(),
                     comparison.KindDiffers(KindRecycling) ? CliText::tr(", the package prices")
                                                           : QString(),
                     comparison.KindDiffers(KindParameter) ? CliText::tr(", the parameters")
                                                           : QString()));
    return FinishOutcome(reg, output, sent,
                         {{"differences", int(comparison.differences.size())}, {"blocks", blocks}});
}

std::string BackupRoot(const TCommandLine& line) {
    return BackupRootFor(line.files.empty() ? DefaultBackupRoot() : line.files[0]);
}

// The history goes into a backup too; a backup without it still holds the register's data.
void CopyHistory(const TCommandLine& line, const TOutput& output, const std::string& folder) {
    if (const QString problem = CopyHistoryInto(line, output, folder); !problem.isEmpty())
        output.Error(
            CliText::tr("The history file was not copied into the backup (%1).").arg(problem));
}

int BackUpFirst(const TCommandLine& line, TRegisterLine& reg, const TOutput& output) {
    TBackupInfo made;
    const TFlowOutcome outcome = BackUpRegister(reg.Bus(), reg.Progress(), reg.Port(),
                                                {BackupRootFor(DefaultBackupRoot())}, made);
    if (outcome.Done()) {
        CopyHistory(line, output, made.folder);
        output.Note(CliText::tr("Backup made in %1.").arg(Local(made.folder)));
        return ExitDone;
    }
    if (outcome.result != TFlowResult::Cancelled)
        output.Error(CliText::tr("the register was not backed up, so nothing was sent"));
    return FinishOutcome(reg, output, outcome);
}

} // namespace

int commands::Download(const TCommandLine& line, const TOutput& output) {
    const TRegister* chosen = ChosenRegister();
    if (line.files.empty() && (!chosen || chosen->document.empty())) {
        const QString text =
            CliText::tr("the register \"%1\" has no document of its own: give FILE.PLU")
                .arg(QString::fromStdString(chosen ? chosen->name : std::string()));
        output.Error(text);
        return output.Finish(ExitUsage, {{"message", text}});
    }
    const std::string& path = line.files.empty() ? chosen->document : line.files[0];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    TGridModel plu(std::move(doc.plu), PLUTitles);
    TGridModel dept(std::move(doc.dept), DeptTitles);
    TRegisterLine reg(line, output);
    TTransferContext ctx = Context(reg, line, plu, dept, doc.recy);
    if (line.changed)
        return DownloadChanged(reg, ctx, output);
    if (line.backupFirst)
        if (const int code = BackUpFirst(line, reg, output); code != ExitDone)
            return code;
    return reg.Finish(RunDownload(ctx));
}

int commands::Upload(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    if (!line.force && ::access(path.c_str(), F_OK) == 0) {
        const QString text = Local(path) + " exists; add --force to replace it";
        output.Error(text);
        return output.Finish(ExitFile, {{"message", text}});
    }
    if (const int error = WritableDirectory(path))
        return FileFailed(output, path, error);
    TDocumentTables doc; // a new document, as the window's upload starts from one
    TGridModel plu(std::move(doc.plu), PLUTitles);
    TGridModel dept(std::move(doc.dept), DeptTitles);
    TRegisterLine reg(line, output);
    TTransferContext ctx = Context(reg, line, plu, dept, doc.recy);
    const TFlowResult result = RunUpload(ctx);
    if (result != TFlowResult::Done) {
        if (result == TFlowResult::FileFailed)
            output.Error(FileFailure(SystemCfgPath(), ctx.fileError));
        return reg.Finish(result);
    }
    std::string failed;
    if (const int error = WriteDocumentFiles(path, plu.Table(), dept.Table(), doc.recy, &failed))
        return FileFailed(output, failed, error);
    output.Note(CliText::tr("Written %1 and its .DEP and .RCY files.").arg(Local(path)));
    return reg.Finish(result, {{"document", QFileInfo(Local(path)).absoluteFilePath()}});
}

int commands::Compare(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    TGridModel plu(std::move(doc.plu), PLUTitles);
    TGridModel dept(std::move(doc.dept), DeptTitles);
    TRegisterLine reg(line, output);
    TTransferContext ctx = Context(reg, line, plu, dept, doc.recy);
    TComparison comparison;
    if (const TFlowOutcome outcome = CompareWithRegister(ctx, comparison); !outcome.Done())
        return FinishOutcome(reg, output, outcome);
    ListDifferences(comparison, output, true);
    if (!line.output.empty() && !WriteFileAtomically(line.output, ComparisonReport(comparison)))
        return FileFailed(output, line.output, errno);
    return output.Finish(comparison.Equal() ? ExitDone : ExitDifferent,
                         {{"differences", int(comparison.differences.size())}});
}

int commands::Backup(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    TBackupInfo made;
    const TBackupRequest request{BackupRoot(line), line.rangeBegin, line.rangeEnd, line.keep};
    const TFlowOutcome outcome =
        BackUpRegister(reg.Bus(), reg.Progress(), reg.Port(), request, made);
    if (!outcome.Done()) {
        if (outcome.result != TFlowResult::Cancelled)
            output.Note(CliText::tr("No backup was made."));
        return FinishOutcome(reg, output, outcome);
    }
    const QString notCopied = CopyHistoryInto(line, output, made.folder);
    output.Note(BackupDescription(made.manifest).trimmed());
    if (!output.Json())
        output.Data((Local(made.folder) + '\n').toUtf8());
    if (!notCopied.isEmpty())
        return reg.Fail(ExitFile,
                        "The history file was not copied into the backup (" + notCopied + ").",
                        {{"folder", Local(made.folder)}});
    return reg.Finish(outcome.result, {{"folder", Local(made.folder)}});
}

int commands::Backups(const TCommandLine& line, const TOutput& output) {
    const std::vector<TBackupInfo> backups = ListBackups(BackupRoot(line));
    for (const TBackupInfo& backup : backups) {
        const TBackupManifest& m = backup.manifest;
        if (output.Json())
            output.Event({{"event", "backup"},
                          {"folder", Local(backup.folder)},
                          {"date", QString::fromStdString(m.date)},
                          {"register", Readable(m.identification)},
                          {"range", QString("%1-%2").arg(m.rangeBegin).arg(m.rangeEnd)},
                          {"plu_items", m.pluItems},
                          {"named_plu_items", m.namedPluItems},
                          {"departments", m.departments},
                          {"package_prices", m.packagePrices},
                          {"sales_records", m.salesRecords}});
        else
            // One pass, so a "%3" in the register's identification stays as it is.
            output.Data(QString("%1  %2  PLU %3: %4, %5, %6  %7\n")
                            .arg(QString::fromStdString(m.date), Readable(m.identification),
                                 QString("%1-%2").arg(m.rangeBegin).arg(m.rangeEnd),
                                 Counted(m.namedPluItems, "named item", "named items"),
                                 Counted(m.departments, "department", "departments"),
                                 Counted(m.packagePrices, "package price", "package prices"),
                                 Local(backup.folder))
                            .toUtf8());
    }
    if (backups.empty())
        output.Note(CliText::tr("No backups in %1.").arg(Local(BackupRoot(line))));
    return output.Finish(ExitDone, {{"backups", int(backups.size())}});
}

int commands::Restore(const TCommandLine& line, const TOutput& output) {
    const std::string& folder = line.files[0];
    TBackupManifest manifest;
    if (const TFlowOutcome checked = CheckBackup(folder, manifest); !checked.Done()) {
        const QString problem = Local(checked.PeopleText());
        output.Error(problem);
        return output.Finish(ExitFile, {{"message", problem}});
    }
    output.Note(BackupDescription(manifest).trimmed());
    TRegisterLine reg(line, output);
    bool refused = false;
    const auto sameRegister = [&](const TComparison& comparison) {
        if (line.force || comparison.identification == manifest.identification)
            return true;
        refused = true;
        return false;
    };
    TComparison comparison;
    const TFlowOutcome outcome =
        RestoreBackup(reg.Bus(), reg.Progress(), reg.Port(), folder, sameRegister, comparison);
    if (outcome.refused) {
        const QString text = Local(outcome.PeopleText());
        output.Error(text);
        return output.Finish(ExitRegister, {{"message", text}});
    }
    if (refused) {
        const QString text =
            CliText::tr("the backup was made from register \"%1\", not \"%2\"; "
                        "add --force to restore it anyway")
                .arg(Readable(manifest.identification), Readable(comparison.identification));
        output.Error(text);
        return output.Finish(ExitRegister, {{"message", text}});
    }
    if (outcome.Done())
        output.Note(comparison.Equal()
                        ? CliText::tr("The register already held this backup.")
                        : PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Restored: %n differences were "
                                                                 "sent."),
                                   qsizetype(comparison.differences.size()),
                                   "Restored: " + Counted(qsizetype(comparison.differences.size()),
                                                          "difference was sent.",
                                                          "differences were sent.")));
    return FinishOutcome(reg, output, outcome,
                         {{"differences", int(comparison.differences.size())}});
}
