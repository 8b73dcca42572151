#pragma once
// The communication settings dialog: the serial port and the baud rate that every register
// operation uses, kept in [Comm] of SYSTEM.CFG and in PortNumber and BaudIndex.

#include <QDialog>

#include <functional>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TCommDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCommDlg(QWidget* parent = nullptr);

    // Reloads [Comm] into PortNumber and BaudIndex, shows the dialog modally; on OK stores the
    // choice in both values and in SYSTEM.CFG and returns true. Cancel returns false and leaves
    // the values as just read.
    bool ShowCommSettings();

    // Index of the chosen item of each group, -1 for none; the port list's index is the port
    // number.
    int BaudItemIndex() const;
    void SetBaudItemIndex(int index);
    int PortItemIndex() const;
    void SetPortItemIndex(int index);
    // What the device label beside the port list shows.
    QString PortDeviceText() const;

    // How a failed write of SYSTEM.CFG (errno) is told; an error box unless a test replaces it.
    std::function<void(int error)> ReportWriteFailure;

    void accept() override;

private:
    void UpdatePortDevice();

    QGroupBox* baudGroup_;
    QButtonGroup* baudButtons_;
    QGroupBox* parityGroup_;
    QGroupBox* stopBitsGroup_;
    QComboBox* portList_;
    QLabel* portDevice_;
};
