#pragma once
// The communication settings dialog: the serial port and the baud rate that every register
// operation uses, kept in [Comm] of SYSTEM.CFG and in PortNumber and BaudIndex, and the device
// each COM name opens, kept in [Ports].

#include "PortDiscovery.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TPortWatcher;

class TCommDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCommDlg(QWidget* parent = nullptr);

    // Reloads [Comm] into PortNumber and BaudIndex, shows the dialog modally; on OK stores the
    // choice in both values and in SYSTEM.CFG and returns true. Cancel returns false and leaves
    // the values as just read.
    bool ShowCommSettings();
    // What ShowCommSettings does before the dialog is shown: [Comm] and [Ports] read, the
    // machine's serial devices listed, the controls set.
    void LoadCommSettings();

    // Index of the chosen item of each group, -1 for none; the port list's index is the port
    // number.
    int BaudItemIndex() const;
    void SetBaudItemIndex(int index);
    int PortItemIndex() const;
    void SetPortItemIndex(int index);
    // The device the chosen port is to open, with " (not present)" when nothing is there.
    QString PortDeviceText() const;
    // Lists the machine's serial devices again (a device came or went), keeping the choices.
    void RefreshDevices();

    // Where discovery reads /sys and /dev; tests point it at a tree of their own.
    std::string discoveryRoot = "/";

    // How a failed write of SYSTEM.CFG (errno) is told; an error box unless a test replaces it.
    std::function<void(int error)> ReportWriteFailure;

    void accept() override;

private:
    void ShowDeviceChoice();
    void DeviceActivated(int index);
    void DevicePathEdited(const QString& text);
    int OtherItemIndex() const;

    QGroupBox* baudGroup_;
    QButtonGroup* baudButtons_;
    QGroupBox* parityGroup_;
    QGroupBox* stopBitsGroup_;
    QComboBox* portList_;
    QComboBox* deviceList_;
    QLineEdit* devicePath_;
    QLabel* deviceState_;
    TPortWatcher* watcher_ = nullptr;

    std::vector<SerialDevice> devices_;
    // Per port number (1 to 4; 0 is "None"): the device as SYSTEM.CFG has it, the device
    // chosen now, and whether the user is typing a path of their own ("Other...").
    std::array<std::string, 5> storedPath_;
    std::array<std::string, 5> chosenPath_;
    std::array<bool, 5> typingPath_{};
};
