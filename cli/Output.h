#pragma once
// Where the command line's words go: human texts on stderr (unless --quiet), data on stdout, or
// with --json one JSON object per line on stdout and the human texts only on stderr. Data that
// cannot be written to stdout (a full disk, a closed pipe) makes the command fail with ExitFile.

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

#include <string>

// The context of the command line's texts for people; --json installs no translation, so what
// programs read stays English.
struct CliText {
    Q_DECLARE_TR_FUNCTIONS(CliText)
};

// The exit codes of quorve-plu-cli.
enum TExitCode {
    ExitDone = 0,
    ExitRegister = 1, // the register failed or refused
    ExitUsage = 2,
    ExitPort = 3, // the port could not be opened
    ExitFile = 4, // a file could not be read or written
    ExitProblems = 5,
    ExitDifferent = 10, // compare: the register differs from the document
    ExitCancelled = 130,
};

class TOutput {
public:
    TOutput(bool json, bool quiet) : json_(json), quiet_(quiet) {}

    bool Json() const { return json_; }
    bool Quiet() const { return quiet_; }

    // A line of progress or information for the user (stderr), unless quiet.
    void Note(const QString& text) const;
    // A failure the user must see, even when quiet (stderr).
    void Error(const QString& text) const;
    // The command's data on stdout: a report, the problem lines of check. False when it could
    // not all be written.
    bool Data(const QByteArray& bytes) const;
    // One JSON object on stdout (only with --json).
    bool Event(const QJsonObject& event) const;
    // The final {"result": ...} line (with --json); returns the code, which is ExitFile where a
    // command that went well lost some of its data on stdout.
    int Finish(TExitCode code, QJsonObject fields = {}) const;
    // errno of the first write to stdout that failed; 0 while everything went out.
    int StdoutError() const { return stdoutError_; }
    // The command told the failure in its own words.
    void StdoutFailureTold() const { stdoutFailureTold_ = true; }
    // Closes stdout at the end of the program: its last bytes may only fail to go out there.
    // Returns code, or ExitFile when stdout failed and code did not tell of a failure already.
    int Close(int code) const;

private:
    bool json_;
    bool quiet_;
    mutable int stdoutError_ = 0;
    mutable bool stdoutFailureTold_ = false;

    bool Out(const QByteArray& bytes) const;
    void TellStdoutFailure() const;
};

// Called first thing in main: a standard stream the caller closed gets /dev/null, so that no file
// the program opens takes its number (and the data meant for it); stdout then still counts as
// closed, and writing to it fails.
void GuardStandardStreams();
bool StdoutClosed();

// Code-page bytes for the terminal and JSON (UTF-8).
QString Readable(const std::string& codePageBytes);
