#include "Commands.h"

#include "AtomicFile.h"
#include "Backup.h"
#include "CancelSignals.h"
#include "ChangedDownload.h"
#include "CodePage.h"
#include "DisplayTexts.h"
#include "DocumentCheck.h"
#include "DocumentFile.h"
#include "Download.h"
#include "FilePlaces.h"
#include "GridModel.h"
#include "LatencyCheck.h"
#include "LinkTest.h"
#include "MemoryDump.h"
#include "PortDetection.h"
#include "PortDiscovery.h"
#include "PortFailure.h"
#include "ProgramLoad.h"
#include "ReportUpload.h"
#include "Settings.h"
#include "SheetExport.h"
#include "SheetImport.h"
#include "TerminalProgress.h"
#include "TolvIBus.h"
#include "Upload.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cerrno>
#include <cstring>
#include <filesystem>
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

const char* ReasonName(PortFailureReason reason) {
    switch (reason) {
    case PortFailureReason::NoDevice:
        return "no-device";
    case PortFailureReason::NotPresent:
        return "not-present";
    case PortFailureReason::NoHardware:
        return "no-hardware";
    case PortFailureReason::PermissionDenied:
        return "permission-denied";
    case PortFailureReason::InUse:
        return "in-use";
    case PortFailureReason::TakenByBrltty:
        return "taken-by-brltty";
    case PortFailureReason::ProbedByModemManager:
        return "probed-by-modemmanager";
    case PortFailureReason::NotSerial:
        return "not-serial";
    case PortFailureReason::Other:
        break;
    }
    return "other";
}

QStringList LocalLines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines)
        texts << Local(line);
    return texts;
}

QString PortName(int n) {
    return QString("COM%1").arg(n);
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
        SetUpRegisterComponent(bus_, StateDir + "DEBUG.LOG");
        bus_.ShowErrorBox = [this](const std::string& text, const ECommsError& error) {
            TellOpenFailure(text, error);
        };
        bus_.PortOpened = [this](const std::string& devicePath) {
            for (const std::string& hint : latency_.HintFor(devicePath))
                output_.Note(Local(hint));
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
            fields.insert("reason", ReasonName(openReason_));
            fields.insert("details", QJsonArray::fromStringList(openDetails_));
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
    // The window's box text, then why the device would not open and what to do about it.
    void TellOpenFailure(const std::string& text, const ECommsError& error) {
        const PortFailure why =
            ExplainPortFailure(PortDevicePath(bus_.CommName()), error, PortSystem::Current());
        openReason_ = why.reason;
        openDetails_ = LocalLines(why.lines);
        openFailure_ = Readable(text);
        if (!openDetails_.isEmpty())
            openFailure_ += '\n' + openDetails_.join('\n');
        output_.Error(openFailure_);
    }

    const TOutput& output_;
    TTolvIBusComm bus_;
    TTerminalProgress progress_;
    TCancelSignals signals_;
    TPortSettings port_;
    TLatencyCheck latency_;
    QString openFailure_;
    PortFailureReason openReason_ = PortFailureReason::Other;
    QStringList openDetails_;
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

// When COM1 to COM4 gave no answer: the devices no COM name opens, tried with --others; the one
// a register answered on is mapped to a COM name with --apply.
int DetectOthers(const TCommandLine& line, const TOutput& output, TTolvIBusComm& bus,
                 const bool& cancelled) {
    const std::string& root = line.discoveryRoot;
    const std::vector<SerialDevice> devices = UnmappedDevices(ListSerialDevices(root), root);
    if (!devices.empty() && !line.others)
        output.Note(QString("%1 other serial device%2 present; --others tries %3 too.")
                        .arg(devices.size())
                        .arg(devices.size() == 1 ? " is" : "s are")
                        .arg(devices.size() == 1 ? "it" : "them"));
    std::optional<size_t> hit;
    if (line.others) {
        TProbeHooks hooks;
        hooks.SetOutcome = [&](size_t i, const std::string& text) {
            output.Note(Local(devices[i].path) + ": " + Local(text));
            output.Event({{"event", "device"},
                          {"path", Local(devices[i].path)},
                          {"description", Local(devices[i].description)},
                          {"outcome", Local(text)}});
        };
        hooks.StillShown = [&] { return !cancelled; };
        hit = ProbeDevices(bus, devices, hooks, root);
    }
    if (cancelled)
        return output.Finish(ExitCancelled);
    if (!hit) {
        output.Error(NotFoundText);
        return output.Finish(ExitRegister, {{"message", NotFoundText}});
    }
    const SerialDevice& device = devices[*hit];
    const int n = PortForFoundDevice(root);
    QJsonObject fields{{"port", PortName(n)},
                       {"device", Local(device.path)},
                       {"description", Local(device.description)}};
    if (!line.apply) {
        output.Note("Register found on " + Local(device.description) +
                    ". Add --apply to use it as " + PortName(n) + ".");
        return output.Finish(ExitDone, fields);
    }
    if (!ApplyDetectedDevice(n, device.path))
        return FileFailed(output, SystemCfgPath(), errno);
    output.Note(PortName(n) + " now opens " + Local(device.path) + " and is the port in " +
                Local(SystemCfgPath()) + ".");
    fields.insert("applied", true);
    return output.Finish(ExitDone, fields);
}

int Detect(const TCommandLine& line, const TOutput& output) {
    // Detection's own component, at the component's defaults, as the dialog has it.
    TTolvIBusComm bus;
    bus.TraceFile = StateDir + "DEBUG.LOG";
    bus.ShowErrorBox = [&](const std::string& text, const ECommsError& error) {
        output.Note("  " + Readable(text).replace('\n', ' '));
        const PortFailure why =
            ExplainPortFailure(PortDevicePath(bus.CommName()), error, PortSystem::Current());
        if (!why.lines.empty())
            output.Note("  " + Local(why.lines.front()));
    };
    bool cancelled = false;
    TCancelSignals cancelSignals([&] {
        cancelled = true;
        bus.Abort();
        output.Note("Cancelled.");
    });
    TDetectHooks hooks;
    hooks.SetOutcome = [&](int n, const std::string& text) {
        output.Note(PortName(n) + ": " + Readable(text));
        output.Event({{"event", "port"}, {"port", PortName(n)}, {"outcome", Readable(text)}});
    };
    hooks.StillShown = [&] { return !cancelled; };
    hooks.AskApply = [&] { return line.apply; };
    const TDetectResult result = DetectPorts(bus, hooks);
    if (cancelled)
        return output.Finish(ExitCancelled);
    if (result.found == 0)
        return DetectOthers(line, output, bus, cancelled);
    QJsonObject fields{{"port", PortName(result.found)}};
    if (result.apply) {
        if (!ApplyDetectedPort(result.found))
            return FileFailed(output, SystemCfgPath(), errno);
        output.Note(
            QString("COM%1 is now the port in %2.").arg(result.found).arg(Local(SystemCfgPath())));
        fields.insert("applied", true);
    }
    return output.Finish(ExitDone, fields);
}

const char* KindName(SerialDeviceKind kind) {
    switch (kind) {
    case SerialDeviceKind::UsbSerial:
        return "usb-serial";
    case SerialDeviceKind::UsbAcm:
        return "usb-acm";
    case SerialDeviceKind::BuiltIn:
        break;
    }
    return "built-in";
}

// The machine's serial devices and what COM1 to COM4 open: a table, or one JSON result.
int Ports(const TCommandLine& line, const TOutput& output) {
    const std::vector<SerialDevice> devices = ListSerialDevices(line.discoveryRoot);
    const TPortMap map = MapPorts(devices, line.discoveryRoot);
    QJsonArray ports;
    QString table = "COM names (* the configured one):\n";
    for (int n = 1; n <= 4; ++n) {
        const std::string& path = map.paths[size_t(n - 1)];
        const SerialDevice* device = map.devices[size_t(n - 1)];
        std::error_code ec;
        const bool present =
            !path.empty() && std::filesystem::exists(UnderRoot(line.discoveryRoot, path), ec);
        QJsonObject port{{"port", PortName(n)},
                         {"path", Local(path)},
                         {"present", present},
                         {"configured", n == PortNumber}};
        port.insert("device", device ? QJsonValue(Local(device->path)) : QJsonValue());
        ports.append(port);
        const QString what = device    ? Local(device->description)
                             : present ? QString("(not a listed serial device)")
                                       : QString("(not present)");
        table += PortName(n) + (n == PortNumber ? "* " : "  ") + Local(path) + "  " + what + '\n';
    }
    QJsonArray list;
    table += devices.empty() ? "\nNo serial device is present.\n" : "\nSerial devices:\n";
    for (const SerialDevice& d : devices) {
        QStringList mapped;
        for (int n : map.PortsOf(d))
            mapped << PortName(n);
        list.append(QJsonObject{{"path", Local(d.path)},
                                {"node", Local(d.node)},
                                {"kind", KindName(d.kind)},
                                {"description", Local(d.description)},
                                {"manufacturer", Local(d.manufacturer)},
                                {"product", Local(d.product)},
                                {"serial", Local(d.serial)},
                                {"usb_id", Local(d.UsbId())},
                                {"driver", Local(d.driver)},
                                {"ports", QJsonArray::fromStringList(mapped)}});
        table += "  " + Local(d.path) + "  " + Local(d.description) +
                 (mapped.isEmpty() ? QString() : "  [" + mapped.join(", ") + "]") + '\n';
    }
    if (!output.Json())
        output.Data(table.toUtf8());
    return output.Finish(ExitDone, {{"ports", ports}, {"devices", list}});
}

int Dump(const TCommandLine& line, const TOutput& output) {
    DumpFiles files = MemoryDumpFiles(StateDir);
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

int Import(const TCommandLine& line, const TOutput& output) {
    const std::string& sheetPath = line.files[0];
    const std::string& path = line.files[1];
    TDocumentTables doc;
    // A document that does not exist yet starts new, as the window's New does.
    if (::access(path.c_str(), F_OK) == 0) {
        if (const int error = doc.Read(path))
            return FileFailed(output, path, error);
    } else if (const int error = errno == ENOENT ? WritableDirectory(path) : errno; error) {
        return FileFailed(output, path, error);
    }
    const SheetFile file = LoadSheetFile(sheetPath);
    if (!file.error.isEmpty()) {
        const QString text = Local(sheetPath) + ": " + file.error;
        output.Error(text);
        return output.Finish(ExitFile, {{"message", text}});
    }
    const SheetText sheet = ReadSheet(file.bytes);
    const ColumnMap map = MapColumns(sheet, line.table);
    if (!map.ignored.empty())
        output.Note(Local(sheetPath) + ": ignored columns: " +
                    QStringList(map.ignored.begin(), map.ignored.end()).join(", "));
    ImportResult result = ImportSheet(sheet, map, line.importOptions, doc.plu, doc.dept, doc.recy);
    if (!result.Ok()) {
        for (const SheetProblem& p : result.problems) {
            output.Error(Local(sheetPath) + ": " + ProblemText(p));
            output.Event({{"event", "problem"},
                          {"line", p.line},
                          {"column", p.column},
                          {"value", p.value},
                          {"reason", p.reason}});
        }
        output.Error(QString("Nothing imported: %1 problem%2; %3 is as it was.")
                         .arg(result.problems.size())
                         .arg(result.problems.size() == 1 ? "" : "s")
                         .arg(Local(path)));
        return output.Finish(ExitProblems, {{"problems", int(result.problems.size())}});
    }
    if (result.plu)
        doc.plu = std::move(*result.plu);
    if (result.dept)
        doc.dept = std::move(*result.dept);
    if (result.recy)
        doc.recy = *result.recy;
    if (const int error = WriteDocumentFiles(path, doc.plu, doc.dept, doc.recy))
        return FileFailed(output, path, error);
    output.Note(QString("Imported %1 into %2: %3 added, %4 changed, %5 emptied.")
                    .arg(Local(sheetPath), Local(path))
                    .arg(result.added)
                    .arg(result.changed)
                    .arg(result.removed));
    return output.Finish(ExitDone, {{"document", QFileInfo(Local(path)).absoluteFilePath()},
                                    {"added", result.added},
                                    {"changed", result.changed},
                                    {"removed", result.removed}});
}

int Export(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    const std::string& sheetPath = line.files[1];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    SheetDialect dialect = line.dialect ? *ExportDialect(*line.dialect) : DefaultExportDialect();
    if (line.codePage) {
        dialect.encoding = SheetEncoding::CodePage;
        dialect.bom = false;
    }
    if (const int error =
            ExportSheetFile(sheetPath, line.table, doc.plu, doc.dept, doc.recy, dialect))
        return FileFailed(output, sheetPath, error);
    const int rows = ExportRowCount(line.table, doc.plu, doc.dept);
    output.Note(QString("Exported %1 rows to %2.").arg(rows).arg(Local(sheetPath)));
    return output.Finish(
        ExitDone, {{"file", QFileInfo(Local(sheetPath)).absoluteFilePath()}, {"rows", rows}});
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
    case TCliCommand::Import:
        return Import(line, output);
    case TCliCommand::Export:
        return Export(line, output);
    case TCliCommand::Ports:
        return Ports(line, output);
    case TCliCommand::Help:
    case TCliCommand::Version:
    case TCliCommand::Paths:
        break;
    }
    return ExitUsage;
}

int ShowPaths(const TFilePlaces& places, const TOutput& output) {
    const DumpFiles dump = MemoryDumpFiles(StateDir);
    const struct {
        const char* key;
        const char* label;
        std::string path;
    } rows[] = {
        {"program", "program folder", places.programDir},
        {"settings", "settings folder", SettingsDir},
        {"state", "log folder", StateDir},
        {"systemCfg", "SYSTEM.CFG", SystemCfgPath()},
        {"languageFile", "language file", LanguageFileOf(SettingsDir + "quorve-plu")},
        {"debugLog", "DEBUG.LOG", StateDir + "DEBUG.LOG"},
        {"tempBin", "TEMP.BIN", dump.binPath},
        {"tempLog", "TEMP.LOG", dump.logPath},
        {"guide", "user guide", places.guideFile},
    };
    QJsonObject fields{{"installed", places.installed}};
    QByteArray text;
    for (const auto& row : rows) {
        fields.insert(row.key, Local(row.path));
        text +=
            QByteArray(row.label).leftJustified(17) + QByteArray::fromStdString(row.path) + '\n';
    }
    if (!output.Json())
        output.Data(text);
    return output.Finish(ExitDone, fields);
}
