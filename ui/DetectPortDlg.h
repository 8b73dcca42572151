#pragma once
// The port detection dialog: one outcome per port, and the question whether to keep the port a
// register answered on. When none answered, the machine's other serial devices may be tried,
// one outcome per device below the ports.

#include "PortDetection.h"
#include "RegisterConnection.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class TTolvIBusComm;

class TDetectPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDetectPortDlg(QWidget* parent = nullptr);

    // The dialog's own protocol component, at the component's defaults.
    TTolvIBusComm* TolvIBusComm1 = nullptr;
    std::array<QLineEdit*, 4> Edits{};
    QPushButton* DetectBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    // The devices tried beyond COM1 to COM4; hidden until they are.
    QListWidget* DeviceList = nullptr;

    // Clears the outcomes and shows the dialog modally.
    int Execute();
    void DetectBtnClick();
    void CloseBtnClick();

    // The questions, replaceable by tests: keep the port found; try the other devices (their
    // descriptions); map the device found to a COM name (the question's text).
    std::function<bool()> askApply;
    std::function<bool(const QStringList& devices)> askProbe;
    std::function<bool(const QString& question)> askUseDevice;

    // Where discovery reads /sys and /dev; tests point it at a tree of their own.
    std::string discoveryRoot = "/";
    // Runs one search (Done: a register answered; Cancelled: the dialog was closed); the main
    // window keeps it in the journal. Unset: the search just runs.
    std::function<void(const std::function<TFlowResult()>& detect)> runDetection;

protected:
    void reject() override;

private:
    TFlowResult Detect();
    // True when a register answered on one of them.
    bool ProbeOtherDevices();
    bool Ask(const QString& question, const QString& details = {});
    void TellWriteFailure();
};
