#pragma once
// A progress that passes everything on to the one the user sees and keeps the last error text,
// so a flow can still say which step failed once the window or the terminal has shown it.

#include "Progress.h"

#include <string>

class TRecordingProgress : public TProgress {
public:
    explicit TRecordingProgress(TProgress& shown) : shown_(shown) {}

    void Show() override { shown_.Show(); }
    void Close() override { shown_.Close(); }
    void ShowStatus(StatusKind kind, const std::string& text) override {
        if (kind == StatusError)
            errorText_ = text;
        shown_.ShowStatus(kind, text);
    }
    void SetTotalPackages(int n) override { shown_.SetTotalPackages(n); }
    void SetCurrentPackage(int n) override { shown_.SetCurrentPackage(n); }
    ProgressStates ProgressState() const override { return shown_.ProgressState(); }
    void WaitForClose() override { shown_.WaitForClose(); }

    const std::string& ErrorText() const { return errorText_; }

private:
    TProgress& shown_;
    std::string errorText_;
};
