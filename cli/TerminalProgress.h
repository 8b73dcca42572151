#pragma once
// The progress of a command on the terminal: on a terminal one line per step that redraws
// itself (step, block n of N, bytes per second, time left); plain lines when stderr is a file or
// a pipe; JSON events with --json. Cancel comes from Ctrl+C or SIGTERM.

#include "Output.h"
#include "Progress.h"

#include <QElapsedTimer>

#include <string>

class TTerminalProgress : public TProgress {
public:
    explicit TTerminalProgress(const TOutput& output);
    ~TTerminalProgress() override;

    void Show() override;
    void Close() override;
    void ShowStatus(StatusKind kind, const std::string& text) override;
    void SetTotalPackages(int n) override;
    void SetCurrentPackage(int n) override;
    ProgressStates ProgressState() const override { return state_; }
    // Nobody is there to press OK: the error text has been written, the flow goes on at once.
    void WaitForClose() override;

    // Ctrl+C or SIGTERM: the exchange in progress ends as after the window's Cancel.
    void Cancel();
    bool WasCancelled() const { return cancelled_; }
    // The last error text shown (code-page bytes); empty when none was.
    const std::string& ErrorText() const { return errorText_; }
    // The step under way or last run.
    const std::string& StatusText() const { return status_; }

private:
    void Draw(bool force);
    void EndLine();
    QString BarLine() const;

    const TOutput& output_;
    const bool terminal_;
    ProgressStates state_ = ProgressStates::Running;
    bool cancelled_ = false;
    std::string status_;
    std::string errorText_;
    int total_ = 0;
    int current_ = 0;
    QElapsedTimer stepClock_;
    QElapsedTimer drawClock_;
    bool lineOpen_ = false; // a bar line without its line end on the terminal
    int lastTenth_ = -1;    // plain lines: the last tenth of the step reported
};
