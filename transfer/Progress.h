#pragma once
// The progress window shown during every exchange with the register: a status line, the package
// counters and a bar, Cancel while work runs, OK once an error text waits for the user.

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

enum class ProgressStates { Running = 0, ErrorShown = 1, Closed = 2 };
enum StatusKind { StatusProgress = 0, StatusError = 1 };

class TProgressForm : public QDialog {
    Q_OBJECT
public:
    // Create it without a parent: it disables the main window while shown, and a child of that
    // window would be disabled with it.
    // The flows show it with show() and end it with hide(); a close request comes from the user.
    explicit TProgressForm(QWidget* parent = nullptr);

    // The window that is disabled while this one is shown.
    void SetMainWindow(QWidget* mainWindow);
    // Called by Cancel before the window closes; the flow sets the protocol component's Abort.
    void SetAbortHandler(std::function<void()> abort);

    // Texts are code-page bytes. Nothing happens once the user has closed the window.
    void ShowStatus(StatusKind kind, const std::string& text);
    void SetTotalPackages(int n);
    void SetCurrentPackage(int n);

    ProgressStates ProgressState() const { return state_; }
    // Processes events until the user has pressed OK or Cancel; returns at once when that has
    // already happened.
    void WaitForClose();

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
    std::function<void()> abort_;
    ProgressStates state_ = ProgressStates::Running;

    // A bar repaints itself at once on every change; a fast link would spend its time there.
    QTimer barTimer_;
    int barMaximum_ = 100;
    int barValue_ = 0;
    bool barDirty_ = false;
};
