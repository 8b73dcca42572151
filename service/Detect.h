#pragma once
// Port detection: COM1 to COM4 are tried in turn until a register answers, and the user may
// keep the port found as the configured one.

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;
class TTolvIBusComm;

inline constexpr char TestingText[] = "Testing...";
inline constexpr char FoundText[] = "Tolv found!";
inline constexpr char NotFoundText[] = "No tolv found.";
inline constexpr char ApplyPortQuestion[] = "Port found! Do you want to apply it?";

struct TDetectHooks {
    std::function<void(int port, const std::string& text)> SetOutcome;
    // False once the user closed the dialog; the search then stops.
    std::function<bool()> StillShown;
    // Asked when a register answered; true to keep the port.
    std::function<bool()> AskApply;
};

// Tries the ports on bus (its CommName only is changed). Returns the port a register answered
// on, 0 when none did or the search was stopped.
int DetectPorts(TTolvIBusComm& bus, const TDetectHooks& hooks);

// Makes port n the configured one and stores it in SYSTEM.CFG. False when the file could not
// be written.
bool ApplyDetectedPort(int n);

class TDetectPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDetectPortDlg(QWidget* parent = nullptr);

    // The dialog's own protocol component, at the component's defaults.
    TTolvIBusComm* TolvIBusComm1 = nullptr;
    std::array<QLineEdit*, 4> Edits{};
    QPushButton* DetectBtn = nullptr;
    QPushButton* CloseBtn = nullptr;

    // Clears the outcomes and shows the dialog modally.
    int Execute();
    void DetectBtnClick();
    void CloseBtnClick();

    // The question on a found port; replaceable by tests.
    std::function<bool()> askApply;

protected:
    void reject() override;
};
