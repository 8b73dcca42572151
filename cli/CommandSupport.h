#pragma once
// What the command families share: file failures told the same way, the document read as Open
// reads it, and the register's line every command that talks to the register opens.

#include "CancelSignals.h"
#include "CommandLine.h"
#include "FlowOutcome.h"
#include "LatencyCheck.h"
#include "Output.h"
#include "PortFailure.h"
#include "ProgramLoad.h"
#include "RegisterList.h"
#include "TerminalProgress.h"
#include "TolvIBus.h"

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class TGridModel;
class THistoryStore;
class TOperationRecorder;

QString Local(const std::string& path);
// "File not found (No such file or directory)": the program's own text and the system's.
QString FileFailure(const std::string& path, int error);
// Tells the failure and finishes with ExitFile.
int FileFailed(const TOutput& output, const std::string& path, int error);
QStringList LocalLines(const std::vector<std::string>& lines);
QString PortName(int n);
// The directory a new file goes into must take it; better told before a long upload than after.
int WritableDirectory(const std::string& path);
// The file flows' messages (program and font images) as the command line's errors.
TFileMessages FileMessages(const TOutput& output);

// The document's tables, read the way Open reads them. The .PLU file must exist; its companions
// may be missing, as for the window program.
struct TDocumentTables {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    TDocumentTables() { InitialRecyTable(recy); }

    int Read(const std::string& path);
};

// The history file (--history, else the one beside the backups), opened at its first use. A
// file that cannot be opened is told once, on stderr, and stays closed.
THistoryStore& OpenHistory(const TCommandLine& line, const TOutput& output);
// The chain's server (--history postgresql://..., else SYSTEM.CFG's [History] Server): its
// address, empty when none is set. An address that cannot be used is told once.
QString HistoryServerAddress(const TCommandLine& line, const TOutput& output, QString* problem);
// After a command that wrote to the history: a detached `history push` sends it to the server,
// so the command neither waits for the server nor fails when it is down.
void PushHistoryInBackground(const TCommandLine& line, const TOutput& output);

// The register's line as every command of the tool opens it: the program's protocol
// component, the terminal's progress, Ctrl+C and SIGTERM as Cancel. It is where the command's
// operation starts and ends for the journal.
class TRegisterLine {
public:
    TRegisterLine(const TCommandLine& line, const TOutput& output);
    ~TRegisterLine();

    TTolvIBusComm& Bus() { return bus_; }
    TTerminalProgress& Progress() { return progress_; }
    const TPortSettings& Port() const { return port_; }
    // The journal entry of the command, for what only the command learns (an archived report).
    TOperationRecorder* Recorder() { return recorder_.get(); }

    // How the flow ended, told as the window tells it, and the exit code.
    int Finish(TFlowResult result, QJsonObject fields = {});
    // The flow went through but the command failed afterwards (a report that was not kept):
    // the text is told, the journal says failed, and the exit code is `code`.
    int Fail(TExitCode code, const QString& text, QJsonObject fields = {});

private:
    // Completes the journal entry; a failure to write it is told, not fatal.
    void EndRecord(TFlowResult result, const QString& error);

    // The window's box text, then why the device would not open and what to do about it.
    void TellOpenFailure(const std::string& text, const ECommsError& error);

    const TCommandLine& line_;
    const TOutput& output_;
    TTolvIBusComm bus_;
    TTerminalProgress progress_;
    TCancelSignals signals_;
    TPortSettings port_;
    TLatencyCheck latency_;
    QString openFailure_;
    PortFailureReason openReason_ = PortFailureReason::Other;
    QStringList openDetails_;
    THistoryStore* history_ = nullptr;
    std::unique_ptr<TOperationRecorder> recorder_;
};

TTransferContext Context(TRegisterLine& reg, const TCommandLine& line, TGridModel& plu,
                         TGridModel& dept, RecyTable& recy);

// --register NAME: the register's own SYSTEM.CFG becomes the settings file of the run. ExitDone,
// or the code of a name the list does not know (told).
int UseRegister(const TCommandLine& line, const TOutput& output);
// The register --register chose; null without one.
const TRegister* ChosenRegister();
// Keeps the identification the chosen register answered with in its REGISTER.CFG.
void RememberIdentification(const std::string& identification, const TOutput& output);
// DEBUG.LOG: the chosen register's own, so that jobs running at once keep each its trace.
std::string TracePath();
// Backups of a register of the list go into a folder of its own under the root.
std::string BackupRootFor(const std::string& root);

// How a comparison, backup or restore ended: a file's failure is told here, the register's
// by the line.
int FinishOutcome(TRegisterLine& reg, const TOutput& output, const TFlowOutcome& outcome,
                  QJsonObject fields = {});

// The commands, by family. Each returns the exit code.
namespace commands {
// Transfers (TransferCommands.cpp): the document to and from the register, what differs,
// backups.
int Download(const TCommandLine& line, const TOutput& output);
int Upload(const TCommandLine& line, const TOutput& output);
int Compare(const TCommandLine& line, const TOutput& output);
int Backup(const TCommandLine& line, const TOutput& output);
int Backups(const TCommandLine& line, const TOutput& output);
int Restore(const TCommandLine& line, const TOutput& output);
// Service (ServiceCommands.cpp): the report, the link, the ports, memory, program and font.
int Report(const TCommandLine& line, const TOutput& output);
int LinkTest(const TCommandLine& line, const TOutput& output);
int Detect(const TCommandLine& line, const TOutput& output);
int Ports(const TCommandLine& line, const TOutput& output);
int Dump(const TCommandLine& line, const TOutput& output);
int Program(const TCommandLine& line, const TOutput& output);
int Font(const TCommandLine& line, const TOutput& output);
// The register list (RegisterCommands.cpp): list, add, remove, rename, detect; and one command
// for several registers, each in a job of its own (SeveralRegisters.cpp).
int Registers(const TCommandLine& line, const TOutput& output);
int OnRegisters(const TCommandLine& line, const TOutput& output);
// Files (FileCommands.cpp): the document's own check, spreadsheets.
int Check(const TCommandLine& line, const TOutput& output);
int Import(const TCommandLine& line, const TOutput& output);
int Export(const TCommandLine& line, const TOutput& output);
// The history (HistoryCommands.cpp): archived reports, the journal, sales, check and prune.
int History(const TCommandLine& line, const TOutput& output);
} // namespace commands

// A copy of the history file in a backup folder made just now: empty when made, or when there
// is no history to copy (already told); otherwise why not.
QString CopyHistoryInto(const TCommandLine& line, const TOutput& output, const std::string& folder);
