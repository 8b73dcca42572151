// The service commands: the report, the link test, finding and listing ports, memory dumps,
// program and font images.
#include "CommandSupport.h"

#include "AtomicFile.h"
#include "CodePage.h"
#include "Counted.h"
#include "DocumentFile.h"
#include "HistoryStore.h"
#include "Journal.h"
#include "Language.h"
#include "LinkTest.h"
#include "MemoryDump.h"
#include "OperationRecorder.h"
#include "PortDetection.h"
#include "PortDiscovery.h"
#include "ReportArchive.h"
#include "ReportUpload.h"
#include "Settings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr const char* StdoutName = "standard output";

// The kernel's full device (1:7) takes nothing, ever.
bool IsFullDevice(const struct stat& info) {
    return S_ISCHR(info.st_mode) && major(info.st_rdev) == 1 && minor(info.st_rdev) == 7;
}

// Why the report's place could not take it, before the register (which clears its report once
// read) is asked for it; 0 when it looks able to. What only a write can tell is caught then.
int ReportPlaceError(const TCommandLine& line) {
    struct stat info {};
    if (!line.output.empty()) {
        if (::stat(line.output.c_str(), &info) == 0 &&
            (S_ISDIR(info.st_mode) || IsFullDevice(info)))
            return S_ISDIR(info.st_mode) ? EISDIR : ENOSPC;
        return WritableDirectory(line.output);
    }
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (StdoutClosed() || flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
        return EBADF;
    if (::fstat(STDOUT_FILENO, &info) != 0)
        return errno;
    if (IsFullDevice(info))
        return ENOSPC;
    struct statvfs space {};
    if (S_ISREG(info.st_mode) && ::fstatvfs(STDOUT_FILENO, &space) == 0 &&
        (::geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0)
        return ENOSPC;
    return 0;
}

// A file for a report its place did not take, in the log folder, under a name no other has.
std::string RescuePath() {
    const std::string base = StateDir + "report-" +
                             QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
    std::string path = base + ".txt";
    for (int n = 2; ::access(path.c_str(), F_OK) == 0; ++n)
        path = base + "-" + std::to_string(n) + ".txt";
    return path;
}

// The register has cleared the report, so a report its place did not take is kept elsewhere:
// in the log folder, or as a last resort on stderr.
int KeepReport(TRegisterLine& reg, const TOutput& output, const std::string& place, int error,
               const QByteArray& bytes) {
    const std::string rescue = RescuePath();
    output.StdoutFailureTold();
    QString text =
        CliText::tr("The report could not be written to %1.").arg(FileFailure(place, error));
    if (WriteFileAtomically(rescue, std::string_view(bytes.constData(), size_t(bytes.size())))) {
        text += ' ' + CliText::tr("It is kept in %1.").arg(Local(rescue));
        output.Error(text);
        return reg.Finish(TFlowResult::FileFailed, {{"message", text}, {"kept", Local(rescue)}});
    }
    text += ' ' +
            CliText::tr("Nor could it be kept in %1; here it is:").arg(FileFailure(rescue, errno));
    output.Error(text);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fputs("\n", stderr);
    return reg.Finish(TFlowResult::FileFailed, {{"message", text}});
}

} // namespace

int commands::Report(const TCommandLine& line, const TOutput& output) {
    const std::string place = line.output.empty() ? StdoutName : line.output;
    if (const int error = ReportPlaceError(line)) {
        output.Note(CliText::tr("The register was not asked for its report, so it keeps it."));
        return FileFailed(output, place, error);
    }
    TRegisterLine reg(line, output);
    // The report is kept in the history before the register is told to clear it.
    QString archived;
    THistoryStore& history = OpenHistory(line, output);
    TReportUpload upload;
    const TFlowResult result =
        UploadReport(reg.Bus(), reg.Progress(), reg.Port(),
                     line.noArchive ? TReportKeeper() : ArchiveKeeper(&history, &archived), upload);
    if (result != TFlowResult::Done)
        return reg.Finish(result);
    if (!archived.isEmpty()) {
        reg.Recorder()->SetReport(archived);
        if (upload.cleared)
            MarkReportCleared(history, archived);
    }
    const std::string& report = upload.text;
    const QByteArray bytes = line.raw ? QByteArray::fromStdString(report)
                                      : DocumentCodePage().ToUnicode(report).toUtf8();
    QJsonObject fields;
    if (!archived.isEmpty())
        fields.insert("archived", archived);
    if (!line.output.empty()) {
        if (!WriteFileAtomically(line.output, std::string_view(bytes.constData(), bytes.size())))
            return KeepReport(reg, output, place, errno, bytes);
        fields.insert("file", Local(line.output));
    } else if (output.Json()) {
        fields.insert(line.raw ? "report_base64" : "report",
                      line.raw ? QString::fromLatin1(bytes.toBase64()) : QString::fromUtf8(bytes));
    } else if (!output.Data(bytes)) {
        return KeepReport(reg, output, place, output.StdoutError(), bytes);
    }
    if (!upload.notKept.empty())
        return reg.Fail(ExitFile, NotArchivedText(QString::fromStdString(upload.notKept)), fields);
    const int code = reg.Finish(result, fields);
    // The JSON line carries the report: only its write tells whether it arrived.
    if (output.Json() && line.output.empty() && output.StdoutError())
        return KeepReport(reg, output, place, output.StdoutError(), bytes);
    return code;
}

int commands::LinkTest(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    const TFlowResult result = RunLinkTest(reg.Bus(), reg.Progress(), reg.Port());
    if (result == TFlowResult::Done)
        output.Note(CliText::tr("The register answered on %1.").arg(Local(reg.Port().name)));
    return reg.Finish(result, {{"port", Local(reg.Port().name)}});
}

namespace {

// When COM1 to COM4 gave no answer: the devices no COM name opens, tried with --others; the one
// a register answered on is mapped to a COM name with --apply.
int DetectOthers(const TCommandLine& line, const TOutput& output, TTolvIBusComm& bus,
                 const bool& cancelled) {
    const std::string& root = line.discoveryRoot;
    const std::vector<SerialDevice> devices = UnmappedDevices(ListSerialDevices(root), root);
    if (!devices.empty() && !line.others)
        output.Note(PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n other serial devices are "
                                                           "present; --others tries them too."),
                             qint64(devices.size()),
                             QString("%1 other serial device%2 present; --others tries %3 too.")
                                 .arg(devices.size())
                                 .arg(devices.size() == 1 ? " is" : "s are")
                                 .arg(devices.size() == 1 ? "it" : "them")));
    std::optional<size_t> hit;
    if (line.others) {
        TProbeHooks hooks;
        hooks.SetOutcome = [&](size_t i, const std::string& text) {
            output.Note(Local(devices[i].path) + ": " + PeopleText(text));
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
        output.Error(PeopleText(NotFoundText));
        return output.Finish(ExitRegister, {{"message", NotFoundText}});
    }
    const SerialDevice& device = devices[*hit];
    const int n = PortForFoundDevice(root);
    QJsonObject fields{{"port", PortName(n)},
                       {"device", Local(device.path)},
                       {"description", Local(device.description)}};
    if (!line.apply) {
        output.Note(CliText::tr("Register found on %1. Add --apply to use it as %2.")
                        .arg(Local(device.description), PortName(n)));
        return output.Finish(ExitDone, fields);
    }
    if (!ApplyDetectedDevice(n, device.path))
        return FileFailed(output, SystemCfgPath(), errno);
    output.Note(CliText::tr("%1 now opens %2 and is the port in %3.")
                    .arg(PortName(n), Local(device.path), Local(SystemCfgPath())));
    fields.insert("applied", true);
    return output.Finish(ExitDone, fields);
}

} // namespace

namespace {

int DetectOn(TTolvIBusComm& bus, const TCommandLine& line, const TOutput& output);

} // namespace

int commands::Detect(const TCommandLine& line, const TOutput& output) {
    // Detection's own component, at the component's defaults, as the dialog has it.
    TTolvIBusComm bus;
    TOperationRecorder recorder(&OpenHistory(line, output), bus, {"COM1-COM4", std::nullopt},
                                {operations::Detect});
    const int code = DetectOn(bus, line, output);
    if (code == ExitDone)
        recorder.SetPort(bus.CommName());
    const QString problem =
        recorder.End(code == ExitDone        ? TFlowResult::Done
                     : code == ExitCancelled ? TFlowResult::Cancelled
                                             : TFlowResult::RegisterFailed,
                     code == ExitDone || code == ExitCancelled ? QString() : NotFoundText);
    if (!problem.isEmpty())
        output.Error(CliText::tr("The journal entry was not written (%1).").arg(problem));
    return code;
}

namespace {

int DetectOn(TTolvIBusComm& bus, const TCommandLine& line, const TOutput& output) {
    bus.TraceFile = TracePath();
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
        output.Note(CliText::tr("Cancelled."));
    });
    TDetectHooks hooks;
    hooks.SetOutcome = [&](int n, const std::string& text) {
        output.Note(PortName(n) + ": " + PeopleText(text));
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
        output.Note(CliText::tr("COM%1 is now the port in %2.")
                        .arg(QString::number(result.found), Local(SystemCfgPath())));
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

} // namespace

// The machine's serial devices and what COM1 to COM4 open: a table, or one JSON result.
int commands::Ports(const TCommandLine& line, const TOutput& output) {
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

int commands::Dump(const TCommandLine& line, const TOutput& output) {
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
            output.Note(CliText::tr("Listing in %1, raw bytes in %2.")
                            .arg(Local(path), Local(files.binPath)));
            fields.insert("listing", Local(path));
            fields.insert("raw", Local(files.binPath));
        },
        [&](const std::string& text) { output.Error(Local(text)); });
    return reg.Finish(result, fields);
}

int commands::Program(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    return reg.Finish(DownloadProgram(reg.Bus(), reg.Progress(), reg.Port(), line.files[0],
                                      FirstProgramBlock, FileMessages(output)));
}

int commands::Font(const TCommandLine& line, const TOutput& output) {
    TRegisterLine reg(line, output);
    return reg.Finish(
        DownloadFont(reg.Bus(), reg.Progress(), reg.Port(), line.files[0], FileMessages(output)));
}
