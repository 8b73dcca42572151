#include "CommandSupport.h"

#include "DocumentFile.h"
#include "GridModel.h"
#include "RegisterCopy.h"
#include "Settings.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

QString Local(const std::string& path) {
    return QString::fromLocal8Bit(path);
}

QString FileFailure(const std::string& path, int error) {
    return Local(path) + ": " + QString::fromStdString(FileErrorText(error)) + " (" +
           QString::fromLocal8Bit(std::strerror(error)) + ")";
}

int FileFailed(const TOutput& output, const std::string& path, int error) {
    const QString text = FileFailure(path, error);
    output.Error(text);
    return output.Finish(ExitFile, {{"message", text}});
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

int WritableDirectory(const std::string& path) {
    const QString dir = QFileInfo(Local(path)).absolutePath();
    return ::access(dir.toLocal8Bit().constData(), W_OK) == 0 ? 0 : errno;
}

TFileMessages FileMessages(const TOutput& output) {
    TFileMessages messages;
    messages.Beep = [] {};
    messages.ShowError = [&output](const std::string& text) { output.Error(Local(text)); };
    return messages;
}

int TDocumentTables::Read(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    return ReadDocumentFiles(path, plu, dept, recy);
}

TRegisterLine::TRegisterLine(const TCommandLine& line, const TOutput& output)
    : output_(output), progress_(output), signals_([this] { progress_.Cancel(); }) {
    SetUpRegisterComponent(bus_, TracePath());
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

int TRegisterLine::Finish(TFlowResult result, QJsonObject fields) {
    // Who answered: the register list keeps it, the jobs of several registers show it.
    if (const std::string id = IdentificationText(bus_.IdentRecord); !id.empty()) {
        fields.insert("identification", Readable(id));
        RememberIdentification(id, output_);
    }
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
    const QString text = progress_.ErrorText().empty() ? Readable(progress_.StatusText()) + "Error!"
                                                       : Readable(progress_.ErrorText());
    output_.Error(text);
    fields.insert("message", text);
    return output_.Finish(ExitRegister, fields);
}

void TRegisterLine::TellOpenFailure(const std::string& text, const ECommsError& error) {
    const PortFailure why =
        ExplainPortFailure(PortDevicePath(bus_.CommName()), error, PortSystem::Current());
    openReason_ = why.reason;
    openDetails_ = LocalLines(why.lines);
    openFailure_ = Readable(text);
    if (!openDetails_.isEmpty())
        openFailure_ += '\n' + openDetails_.join('\n');
    output_.Error(openFailure_);
}

TTransferContext Context(TRegisterLine& reg, const TCommandLine& line, TGridModel& plu,
                         TGridModel& dept, RecyTable& recy) {
    return {reg.Bus(),  reg.Progress(),  plu,           dept,       recy,
            line.kinds, line.rangeBegin, line.rangeEnd, reg.Port(), SystemCfgPath()};
}
int FinishOutcome(TRegisterLine& reg, const TOutput& output, const TFlowOutcome& outcome,
                  QJsonObject fields) {
    if (outcome.result == TFlowResult::FileFailed && !outcome.errorText.empty()) {
        const QString text = Local(outcome.errorText);
        output.Error(text);
        fields.insert("message", text);
    }
    return reg.Finish(outcome.result, fields);
}
