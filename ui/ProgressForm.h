#pragma once
// The progress window shown during every exchange with the register: a status line, the package
// counters and a bar, Cancel while work runs, OK once an error text waits for the user.

#include "Progress.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class TProgressForm : public QDialog, public TProgress {
    Q_OBJECT
public:
    // Create it without a parent: it disables the main window while shown, and a child of that
    // window would be disabled with it.
    // The flows show it with Show() and end it with Close(); a close request comes from the
    // user.
    explicit TProgressForm(QWidget* parent = nullptr);

    // The window that is disabled while this one is shown.
    void SetMainWindow(QWidget* mainWindow);

    void Show() override { show(); }
    void Close() override { hide(); }
    void ShowStatus(StatusKind kind, const std::string& text) override;
    void SetTotalPackages(int n) override;
    void SetCurrentPackage(int n) override;
    ProgressStates ProgressState() const override { return state_; }
    // Processes events until the user has pressed OK or Cancel.
    void WaitForClose() override;
    // The last error text shown (code-page bytes) since ForgetErrorText: what the journal
    // says an operation failed with.
    const std::string& ErrorText() const { return errorText_; }
    void ForgetErrorText() { errorText_.clear(); }

signals:
    void ClosedByUser();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void OKBtnClick();
    void CancelBtnClick();
    void CloseByUser();
    void SetBarRange(int maximum);
    void SetBarValue(int value);
    void FlushBar();

    QLabel* statusLabel_;
    QLabel* curLabel_;
    QLabel* totalLabel_;
    QProgressBar* progressBar_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;

    QPointer<QWidget> mainWindow_;
    ProgressStates state_ = ProgressStates::Running;
    std::string errorText_;

    // A bar repaints itself at once on every change; a fast link would spend its time there.
    QTimer barTimer_;
    int barMaximum_ = 100;
    int barValue_ = 0;
    bool barDirty_ = false;
};

// A flow's status text (code-page bytes, in English or the language file's words) as the
// progress window shows it.
QString ProgressText(const std::string& text);
