#pragma once
// What a flow tells the user while it talks with the register, and how the user stops it. The
// window program shows the progress window; the command line draws a bar on the terminal.

#include <functional>
#include <string>

enum class ProgressStates { Running = 0, ErrorShown = 1, Closed = 2 };
enum StatusKind { StatusProgress = 0, StatusError = 1 };

class TProgress {
public:
    virtual ~TProgress() = default;

    // An exchange begins (the progress window appears and the main window rests) or is over.
    virtual void Show() = 0;
    virtual void Close() = 0;
    // Texts are code-page bytes. Nothing happens once the user has closed the progress.
    virtual void ShowStatus(StatusKind kind, const std::string& text) = 0;
    virtual void SetTotalPackages(int n) = 0;
    virtual void SetCurrentPackage(int n) = 0;
    virtual ProgressStates ProgressState() const = 0;
    // After an error text: until the user has acknowledged it. Returns at once when the
    // progress is already closed.
    virtual void WaitForClose() = 0;

    // True once the user has cancelled (or acknowledged an error): the flow stops.
    bool Cancelled() const { return ProgressState() == ProgressStates::Closed; }

    // What a Cancel stops: the protocol component's Abort, set by the owner.
    void SetAbortHandler(std::function<void()> abort) { abort_ = std::move(abort); }

protected:
    void Abort() const {
        if (abort_)
            abort_();
    }

private:
    std::function<void()> abort_;
};

// A progress nobody sees (port detection has its own dialog with one outcome per port): it
// never cancels and an error text needs no acknowledging.
class TQuietProgress : public TProgress {
public:
    void Show() override {}
    void Close() override {}
    void ShowStatus(StatusKind, const std::string&) override {}
    void SetTotalPackages(int) override {}
    void SetCurrentPackage(int) override {}
    ProgressStates ProgressState() const override { return ProgressStates::Running; }
    void WaitForClose() override {}
};
