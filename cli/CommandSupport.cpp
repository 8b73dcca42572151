#include "CommandSupport.h"

#include "DocumentFile.h"
#include "GridModel.h"
#include "HistoryServer.h"
#include "HistoryStore.h"
#include "Ini.h"
#include "Journal.h"
#include "OperationRecorder.h"
#include "RegisterCopy.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>

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

// The operation a command is, for the journal.
TOperationInfo OperationOf(const TCommandLine& line) {
    const std::pair<int, int> range{line.rangeBegin, line.rangeEnd};
    const std::string file =
        line.files.empty()
            ? std::string()
            : QFileInfo(Local(line.files[0])).absoluteFilePath().toLocal8Bit().toStdString();
    switch (line.command) {
    case TCliCommand::Download:
        return {line.changed ? operations::SendChanges : operations::Download, line.kinds, range,
                file};
    case TCliCommand::Upload:
        return {operations::Upload, line.kinds, range, {}};
    case TCliCommand::Compare:
        return {operations::Compare, line.kinds, range, {}};
    case TCliCommand::Backup:
        return {operations::Backup, AllKinds, range, {}};
    case TCliCommand::Restore:
        return {operations::Restore, AllKinds, std::nullopt, file};
    case TCliCommand::Report:
        return {operations::Report, std::nullopt, std::nullopt, {}};
    case TCliCommand::Test:
        return {operations::Test, std::nullopt, std::nullopt, {}};
    case TCliCommand::Dump:
        return {operations::Dump, std::nullopt, std::nullopt, {}};
    case TCliCommand::Program:
        return {operations::Program, std::nullopt, std::nullopt, file};
    case TCliCommand::Font:
        return {operations::Font, std::nullopt, std::nullopt, file};
    default:
        return {};
    }
}

// One history file per run; it goes before the application does, as Qt's SQL drivers need.
struct CliHistory {
    std::unique_ptr<THistoryStore> store;
    std::string path;
    bool told = false;
};

CliHistory& TheHistory() {
    static CliHistory history;
    static const bool cleanupAdded = [] {
        qAddPostRoutine([] { TheHistory().store.reset(); });
        return true;
    }();
    (void)cleanupAdded;
    return history;
}

} // namespace

THistoryStore& OpenHistory(const TCommandLine& line, const TOutput& output) {
    CliHistory& history = TheHistory();
    const std::string path =
        line.historyPath.empty() ? THistoryStore::DefaultPath() : line.historyPath;
    if (!history.store || history.path != path) {
        history.store = std::make_unique<THistoryStore>();
        history.store->Open(path);
        history.store->SetShop(
            QString::fromLocal8Bit(IniReadString(SystemCfgPath(), "History", "Shop", "")));
        history.path = path;
        history.told = false;
    }
    if (!history.store->IsOpen() && !history.told) {
        output.Error(CliText::tr("The history is not kept: %1").arg(history.store->Problem()));
        history.told = true;
    }
    return *history.store;
}

QString HistoryServerAddress(const TCommandLine& line, const TOutput&, QString* problem) {
    QString address = QString::fromLocal8Bit(line.historyServer);
    if (address.isEmpty())
        address = QString::fromLocal8Bit(IniReadString(SystemCfgPath(), "History", "Server", ""))
                      .trimmed();
    if (address.isEmpty())
        return {};
    if (!IsServerAddress(address.toLocal8Bit().toStdString())) {
        *problem = QCoreApplication::translate(
                       "history", "[History] Server in %1 is not a postgresql:// address: %2")
                       .arg(Local(SystemCfgPath()), RedactedAddress(address));
        return {};
    }
    if (!ParseServerAddress(address, problem)) {
        *problem = Local(SystemCfgPath()) + ": " + *problem;
        return {};
    }
    return address;
}

void PushHistoryInBackground(const TCommandLine& line, const TOutput& output) {
    QString problem;
    const QString address = HistoryServerAddress(line, output, &problem);
    if (address.isEmpty())
        return;
    QStringList args{"history", "push", "--quiet", "--wait", "0", "--history", address};
    if (!line.historyPath.empty())
        args << "--history" << Local(line.historyPath);
    args << "--config" << Local(SystemCfgPath());
    QProcess push;
    push.setProgram(QCoreApplication::applicationFilePath());
    push.setArguments(args);
    push.setStandardInputFile(QProcess::nullDevice());
    push.setStandardOutputFile(QProcess::nullDevice());
    push.setStandardErrorFile(QProcess::nullDevice());
    if (!push.startDetached())
        output.Error(QCoreApplication::translate("history",
                                                 "The history was not sent to the server (%1); "
                                                 "quorve-plu-cli history push sends it later.")
                         .arg(push.errorString()));
}

QString CopyHistoryInto(const TCommandLine& line, const TOutput& output,
                        const std::string& folder) {
    THistoryStore& store = OpenHistory(line, output);
    if (!store.IsOpen())
        return {};
    return store.CopyTo(folder + "/history.sqlite");
}

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
    : line_(line), output_(output), progress_(output), signals_([this] { progress_.Cancel(); }) {
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
    history_ = &OpenHistory(line, output);
    recorder_ = std::make_unique<TOperationRecorder>(history_, bus_, port_, OperationOf(line));
}

TRegisterLine::~TRegisterLine() {
    // A command that finished on its own (compare's differences) ended as its flow did.
    if (recorder_ && !recorder_->Ended())
        EndRecord(progress_.WasCancelled()         ? TFlowResult::Cancelled
                  : !progress_.ErrorText().empty() ? TFlowResult::RegisterFailed
                                                   : TFlowResult::Done,
                  Readable(progress_.ErrorText()));
    if (history_ && history_->IsOpen())
        PushHistoryInBackground(line_, output_);
}

void TRegisterLine::EndRecord(TFlowResult result, const QString& error) {
    if (const QString problem = recorder_->End(result, error); !problem.isEmpty())
        output_.Error(CliText::tr("The journal entry was not written (%1).").arg(problem));
}

int TRegisterLine::Fail(TExitCode code, const QString& text, QJsonObject fields) {
    EndRecord(TFlowResult::FileFailed, text);
    output_.Error(text);
    fields.insert("message", text);
    return output_.Finish(code, fields);
}

int TRegisterLine::Finish(TFlowResult result, QJsonObject fields) {
    // Who answered: the register list keeps it, the jobs of several registers show it. A run
    // without the list gives the object it always has.
    if (const std::string id = IdentificationText(bus_.IdentRecord);
        !id.empty() && ChosenRegister()) {
        fields.insert("identification", Readable(id));
        RememberIdentification(id, output_);
    }
    switch (result) {
    case TFlowResult::Done:
        EndRecord(result, {});
        return output_.Finish(ExitDone, fields);
    case TFlowResult::PortNotOpened:
        EndRecord(result, openFailure_);
        fields.insert("message", openFailure_);
        fields.insert("reason", ReasonName(openReason_));
        fields.insert("details", QJsonArray::fromStringList(openDetails_));
        return output_.Finish(ExitPort, fields);
    case TFlowResult::FileFailed:
        EndRecord(result, fields.value("message").toString());
        return output_.Finish(ExitFile, fields);
    case TFlowResult::Cancelled:
        EndRecord(result, {});
        return output_.Finish(ExitCancelled, fields);
    case TFlowResult::RegisterFailed:
        break;
    }
    // Flows that end without an error text (a wake burst on a dead line) name their step.
    const QString text = progress_.ErrorText().empty() ? Readable(progress_.StatusText()) + "Error!"
                                                       : Readable(progress_.ErrorText());
    EndRecord(result, text);
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
        const QString text = Local(outcome.PeopleText());
        output.Error(text);
        fields.insert("message", text);
    }
    return reg.Finish(outcome.result, fields);
}
