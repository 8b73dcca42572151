#include "Commands.h"

#include "AtomicFile.h"
#include "Backup.h"
#include "CancelSignals.h"
#include "ChangedDownload.h"
#include "CodePage.h"
#include "DocumentCheck.h"
#include "DocumentFile.h"
#include "Download.h"
#include "GridModel.h"
#include "LinkTest.h"
#include "MemoryDump.h"
#include "PortDetection.h"
#include "ProgramLoad.h"
#include "ReportUpload.h"
#include "Settings.h"
#include "TerminalProgress.h"
#include "TolvIBus.h"
#include "Upload.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Local(const std::string& path) {
    return QString::fromLocal8Bit(path);
}

// "File not found (No such file or directory)": the program's own text and the system's.
QString FileFailure(const std::string& path, int error) {
    return Local(path) + ": " + QString::fromStdString(FileErrorText(error)) + " (" +
           QString::fromLocal8Bit(std::strerror(error)) + ")";
}

int FileFailed(const TOutput& output, const std::string& path, int error) {
    const QString text = FileFailure(path, error);
    output.Error(text);
    return output.Finish(ExitFile, {{"message", text}});
}

// The document's tables, read the way Open reads them. The .PLU file must exist; its companions
// may be missing, as for the window program.
struct TDocumentTables {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    TDocumentTables() { InitialRecyTable(recy); }

    int Read(const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return errno;
        if (S_ISDIR(info.st_mode))
            return EISDIR;
        return ReadDocumentFiles(path, plu, dept, recy);
    }
};

// The register's line as every command of the tool opens it: the program's protocol
// component, the terminal's progress, Ctrl+C and SIGTERM as Cancel.
class TRegisterLine {
public:
    TRegisterLine(const TCommandLine& line, const TOutput& output)
        : output_(output), progress_(output), signals_([this] { progress_.Cancel(); }) {
        SetUpRegisterComponent(bus_, ProgramDir + "DEBUG.LOG");
        bus_.ShowErrorBox = [this](const std::string& text, const ECommsError& error) {
            TellOpenFailure(text, error);
        };
        progress_.SetAbortHandler([this] { bus_.Abort(); });
        port_ = ConfiguredPort();
        if (line.port)
            port_.name = *line.port;
        if (line.baudIndex)
            port_.baudIndex = line.baudIndex;
    }

    TTolvIBusComm& Bus() { return bus_; }
    TTerminalProgress& Progress() { return progress_; }
    const TPortSettings& Port() const { return port_; }

    // How the flow ended, told as the window tells it, and the exit code.
    int Finish(TFlowResult result, QJsonObject fields = {}) {
        switch (result) {
        case TFlowResult::Done:
            return output_.Finish(ExitDone, fields);
        case TFlowResult::PortNotOpened:
            fields.insert("message", openFailure_);
            return output_.Finish(ExitPort, fields);
        case TFlowResult::FileFailed:
            return output_.Finish(ExitFile, fields);
        case TFlowResult::Cancelled:
            return output_.Finish(ExitCancelled, fields);
        case TFlowResult::RegisterFailed:
            break;
        }
        // Flows that end without an error text (a wake burst on a dead line) name their step.
        const QString text = progress_.ErrorText().empty()
                                 ? Readable(progress_.StatusText()) + "Error!"
                                 : Readable(progress_.ErrorText());
        output_.Error(text);
        fields.insert("message", text);
        return output_.Finish(ExitRegister, fields);
    }

private:
    void TellOpenFailure(const std::string& text, const ECommsError& error) {
        QString reason = Local(PortDevicePath(bus_.CommName()));
        if (reason.isEmpty())
            reason = Local(bus_.CommName()) + " names no device";
        reason += QString(": ") + error.what();
        if (error.SystemError())
            reason += QString(": ") + QString::fromLocal8Bit(std::strerror(error.SystemError()));
        openFailure_ = Readable(text) + '\n' + reason;
        output_.Error(openFailure_);
    }

    const TOutput& output_;
    TTolvIBusComm bus_;
    TTerminalProgress progress_;
    TCancelSignals signals_;
    TPortSettings port_;
    QString openFailure_;
};

TTransferContext Context(TRegisterLine& reg, const TCommandLine& line, TGridModel& plu,
                         TGridModel& dept, RecyTable& recy) {
    return {reg.Bus(),  reg.Progress(),  plu,           dept,       recy,
            line.kinds, line.rangeBegin, line.rangeEnd, reg.Port(), SystemCfgPath()};
}

int DownloadChanged(TRegisterLine& reg, TTransferContext& ctx, const TOutput& output);
int BackUpFirst(TRegisterLine& reg, const TOutput& output);

int Download(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
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
        if (const int code = BackUpFirst(reg, output); code != ExitDone)
            return code;
    return reg.Finish(RunDownload(ctx));
}

// The directory a new file goes into must take it; better told before a long upload than after.
int WritableDirectory(const std::string& path) {
    const QString dir = QFileInfo(Local(path)).absolutePath();
    return ::access(dir.toLocal8Bit().constData(), W_OK) == 0 ? 0 : errno;
}

int Upload(const TCommandLine& line, const TOutput& output) {
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
    if (const int error = WriteDocumentFiles(path, plu.Table(), dept.Table(), doc.recy))
        return FileFailed(output, path, error);
    output.Note("Written " + Local(path) + " and its .DEP and .RCY files.");
    return reg.Finish(result, {{"document", QFileInfo(Local(path)).absoluteFilePath()}});
}

int Report(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    std::string report;
    const TFlowResult result = UploadReport(reg.Bus(), reg.Progress(), reg.Port(), report);
    if (result != TFlowResult::Done)
        return reg.Finish(result);
    const QByteArray bytes = line.raw ? QByteArray::fromStdString(report)
                                      : DocumentCodePage().ToUnicode(report).toUtf8();
    if (!line.output.empty()) {
        if (!WriteFileAtomically(line.output, std::string_view(bytes.constData(), bytes.size())))
            return FileFailed(output, line.output, errno);
        return reg.Finish(result, {{"file", Local(line.output)}});
    }
    if (output.Json())
        return reg.Finish(result, {{line.raw ? "report_base64" : "report",
                                    line.raw ? QString::fromLatin1(bytes.toBase64())
                                             : QString::fromUtf8(bytes)}});
    output.Data(bytes);
    return reg.Finish(result);
}

int LinkTest(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    const TFlowResult result = RunLinkTest(reg.Bus(), reg.Progress(), reg.Port());
    if (result == TFlowResult::Done)
        output.Note("The register answered on " + Local(reg.Port().name) + ".");
    return reg.Finish(result, {{"port", Local(reg.Port().name)}});
}

int Detect(const TCommandLine& line, const TOutput& output) {
    // Detection's own component, at the component's defaults, as the dialog has it.
    TTolvIBusComm bus;
    bus.TraceFile = ProgramDir + "DEBUG.LOG";
    bus.ShowErrorBox = [&](const std::string& text, const ECommsError&) {
        output.Note("  " + Readable(text).replace('\n', ' '));
    };
    bool cancelled = false;
    TCancelSignals cancelSignals([&] {
        cancelled = true;
        bus.Abort();
        output.Note("Cancelled.");
    });
    // The search returns a port only when it is to be kept; the outcomes tell whether one
    // answered at all.
    int found = 0;
    TDetectHooks hooks;
    hooks.SetOutcome = [&](int n, const std::string& text) {
        if (text == FoundText)
            found = n;
        const QString port = QString("COM%1").arg(n);
        output.Note(port + ": " + Readable(text));
        output.Event({{"event", "port"}, {"port", port}, {"outcome", Readable(text)}});
    };
    hooks.StillShown = [&] { return !cancelled; };
    hooks.AskApply = [&] { return line.apply; };
    const int kept = DetectPorts(bus, hooks);
    if (cancelled)
        return output.Finish(ExitCancelled);
    if (found == 0) {
        output.Error(NotFoundText);
        return output.Finish(ExitRegister, {{"message", NotFoundText}});
    }
    QJsonObject fields{{"port", QString("COM%1").arg(found)}};
    if (kept > 0) {
        if (!ApplyDetectedPort(kept))
            return FileFailed(output, SystemCfgPath(), errno);
        output.Note(QString("COM%1 is now the port in %2.").arg(kept).arg(Local(SystemCfgPath())));
        fields.insert("applied", true);
    }
    return output.Finish(ExitDone, fields);
}

int Dump(const TCommandLine& line, const TOutput& output) {
    DumpFiles files = MemoryDumpFiles(ProgramDir);
    if (!line.output.empty()) {
        files.logPath = line.output;
        const QFileInfo info(Local(line.output));
        const bool lower = info.suffix() == info.suffix().toLower() && !info.suffix().isEmpty();
        files.binPath = WithExtension(line.output, lower ? ".bin" : ".BIN");
    }
    TRegisterLine reg(line, output);
    const MemoryRange range{line.base, line.count, line.ram ? 1 : 0};
    QJsonObject fields;
    const TFlowResult result = DumpRegisterMemory(
        reg.Bus(), reg.Progress(), reg.Port(), range, files,
        [&](const std::string& path) {
            output.Note("Listing in " + Local(path) + ", raw bytes in " + Local(files.binPath) +
                        ".");
            fields.insert("listing", Local(path));
            fields.insert("raw", Local(files.binPath));
        },
        [&](const std::string& text) { output.Error(Local(text)); });
    return reg.Finish(result, fields);
}

TFileMessages FileMessages(const TOutput& output) {
    TFileMessages messages;
    messages.Beep = [] {};
    messages.ShowError = [&output](const std::string& text) { output.Error(Local(text)); };
    return messages;
}

int Program(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    return reg.Finish(DownloadProgram(reg.Bus(), reg.Progress(), reg.Port(), line.files[0],
                                      FirstProgramBlock, FileMessages(output)));
}

int Font(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    return reg.Finish(
        DownloadFont(reg.Bus(), reg.Progress(), reg.Port(), line.files[0], FileMessages(output)));
}

int Check(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    const std::vector<CellProblem> problems = CheckDocument(doc.plu, doc.dept, doc.recy);
    QJsonArray list;
    for (const CellProblem& p : problems) {
        std::string file = path;
        QString title;
        switch (p.table) {
        case CellProblem::PLU:
            title = Readable(PLUTitles[size_t(p.col)]);
            break;
        case CellProblem::Department:
            file = WithExtension(path, ".DEP");
            title = Readable(DeptTitles[size_t(p.col)]);
            break;
        case CellProblem::Recycling:
            file = WithExtension(path, ".RCY");
            title = Readable(RecyTitles[1]);
            break;
        }
        const QString reason =
            title + " \"" + Readable(p.value) + "\": " + QString::fromStdString(p.reason);
        if (output.Json())
            output.Event({{"event", "problem"},
                          {"file", Local(file)},
                          {"row", p.row},
                          {"column", p.col},
                          {"value", Readable(p.value)},
                          {"reason", QString::fromStdString(p.reason)}});
        else
            output.Data(QString("%1:%2:%3: %4\n")
                            .arg(Local(file))
                            .arg(p.row)
                            .arg(p.col)
                            .arg(reason)
                            .toUtf8());
    }
    if (problems.empty())
        return output.Finish(ExitDone, {{"problems", 0}});
    output.Note(QString("%1 problem%2 in %3.")
                    .arg(problems.size())
                    .arg(problems.size() == 1 ? "" : "s")
                    .arg(Local(path)));
    return output.Finish(ExitProblems, {{"problems", int(problems.size())}});
}

// ---- Comparison with the register, changes only, backups ----

// How a comparison, backup or restore ended: a file's failure is told here, the register's
// by the line.
int FinishOutcome(TRegisterLine& reg, const TOutput& output, const TFlowOutcome& outcome,
                  QJsonObject fields = {}) {
    if (outcome.result == TFlowResult::FileFailed && !outcome.errorText.empty()) {
        const QString text = Local(outcome.errorText);
        output.Error(text);
        fields.insert("message", text);
    }
    return reg.Finish(outcome.result, fields);
}

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

int Compare(const TCommandLine& line, const TOutput& output) {
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

int DownloadChanged(TRegisterLine& reg, TTransferContext& ctx, const TOutput& output) {
    TComparison comparison;
    if (const TFlowOutcome outcome = CompareWithRegister(ctx, comparison); !outcome.Done())
        return FinishOutcome(reg, output, outcome);
    ListDifferences(comparison, output, false);
    if (comparison.Equal()) {
        output.Note("Nothing to send: the register holds what the document holds.");
        return reg.Finish(TFlowResult::Done, {{"differences", 0}, {"blocks", 0}});
    }
    const int blocks = int(ChangedPluBlocks(comparison.changedPlus).size());
    const TFlowOutcome sent = SendChanges(ctx, comparison);
    if (sent.Done())
        output.Note(QString("Sent %1 PLU block%2%3%4%5.")
                        .arg(blocks)
                        .arg(blocks == 1 ? "" : "s")
                        .arg(comparison.KindDiffers(KindDepartment) ? ", the departments" : "")
                        .arg(comparison.KindDiffers(KindRecycling) ? ", the package prices" : "")
                        .arg(comparison.KindDiffers(KindParameter) ? ", the parameters" : ""));
    return FinishOutcome(reg, output, sent,
                         {{"differences", int(comparison.differences.size())}, {"blocks", blocks}});
}

std::string BackupRoot(const TCommandLine& line) {
    return line.files.empty() ? DefaultBackupRoot() : line.files[0];
}

int BackUpFirst(TRegisterLine& reg, const TOutput& output) {
    TBackupInfo made;
    const TFlowOutcome outcome =
        BackUpRegister(reg.Bus(), reg.Progress(), reg.Port(), {DefaultBackupRoot()}, made);
    if (outcome.Done()) {
        output.Note("Backup made in " + Local(made.folder) + ".");
        return ExitDone;
    }
    if (outcome.result != TFlowResult::Cancelled)
        output.Error("the register was not backed up, so nothing was sent");
    return FinishOutcome(reg, output, outcome);
}

int Backup(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    TBackupInfo made;
    const TBackupRequest request{BackupRoot(line), line.rangeBegin, line.rangeEnd, line.keep};
    const TFlowOutcome outcome =
        BackUpRegister(reg.Bus(), reg.Progress(), reg.Port(), request, made);
    if (!outcome.Done()) {
        if (outcome.result != TFlowResult::Cancelled)
            output.Note("No backup was made.");
        return FinishOutcome(reg, output, outcome);
    }
    output.Note(Readable(BackupDescription(made.manifest)).trimmed());
    if (!output.Json())
        output.Data((Local(made.folder) + '\n').toUtf8());
    return reg.Finish(outcome.result, {{"folder", Local(made.folder)}});
}

int Backups(const TCommandLine& line, const TOutput& output) {
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
                          {"departments", m.departments},
                          {"package_prices", m.packagePrices},
                          {"sales_records", m.salesRecords}});
        else
            output.Data(QString("%1  %2  PLU %3-%4: %5 items, %6 departments, %7 package "
                                "prices  %8\n")
                            .arg(QString::fromStdString(m.date), Readable(m.identification))
                            .arg(m.rangeBegin)
                            .arg(m.rangeEnd)
                            .arg(m.pluItems)
                            .arg(m.departments)
                            .arg(m.packagePrices)
                            .arg(Local(backup.folder))
                            .toUtf8());
    }
    if (backups.empty())
        output.Note("No backups in " + Local(BackupRoot(line)) + ".");
    return output.Finish(ExitDone, {{"backups", int(backups.size())}});
}

int Restore(const TCommandLine& line, const TOutput& output) {
    const std::string& folder = line.files[0];
    TBackupManifest manifest;
    if (const std::string problem = CheckBackup(folder, manifest); !problem.empty()) {
        output.Error(Local(problem));
        return output.Finish(ExitFile, {{"message", Local(problem)}});
    }
    output.Note(Readable(BackupDescription(manifest)).trimmed());
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
    if (refused) {
        const QString text = "the backup was made from register \"" +
                             Readable(manifest.identification) + "\", not \"" +
                             Readable(comparison.identification) +
                             "\"; add --force to restore it anyway";
        output.Error(text);
        return output.Finish(ExitRegister, {{"message", text}});
    }
    if (outcome.Done())
        output.Note(comparison.Equal() ? QString("The register already held this backup.")
                                       : QString("Restored: %1 differences were sent.")
                                             .arg(comparison.differences.size()));
    return FinishOutcome(reg, output, outcome,
                         {{"differences", int(comparison.differences.size())}});
}

} // namespace

int RunCommand(const TCommandLine& line, const TOutput& output) {
    switch (line.command) {
    case TCliCommand::Download:
        return Download(line, output);
    case TCliCommand::Upload:
        return Upload(line, output);
    case TCliCommand::Report:
        return Report(line, output);
    case TCliCommand::Test:
        return LinkTest(line, output);
    case TCliCommand::Detect:
        return Detect(line, output);
    case TCliCommand::Dump:
        return Dump(line, output);
    case TCliCommand::Program:
        return Program(line, output);
    case TCliCommand::Font:
        return Font(line, output);
    case TCliCommand::Check:
        return Check(line, output);
    case TCliCommand::Compare:
        return Compare(line, output);
    case TCliCommand::Backup:
        return Backup(line, output);
    case TCliCommand::Backups:
        return Backups(line, output);
    case TCliCommand::Restore:
        return Restore(line, output);
    case TCliCommand::Help:
    case TCliCommand::Version:
        break;
    }
    return ExitUsage;
}
