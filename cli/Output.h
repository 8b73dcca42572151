#pragma once
// Where the command line's words go: human texts on stderr (unless --quiet), data on stdout, or
// with --json one JSON object per line on stdout and the human texts only on stderr.

#include <QJsonObject>
#include <QString>

#include <string>

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
    // The command's data on stdout: a report, the problem lines of check.
    void Data(const QByteArray& bytes) const;
    // One JSON object on stdout (only with --json).
    void Event(const QJsonObject& event) const;
    // The final {"result": ...} line (with --json); returns the code.
    int Finish(TExitCode code, QJsonObject fields = {}) const;

private:
    bool json_;
    bool quiet_;
};

// Code-page bytes for the terminal and JSON (UTF-8).
QString Readable(const std::string& codePageBytes);
