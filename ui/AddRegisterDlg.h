#pragma once
// Adding a register to the list: its name, its port (COM1 to COM4 or one of the machine's
// serial devices), its rate and its groups. "Detect" tries the serial devices no register of the
// list uses, and a device a register answered on can be taken with a click.

#include "RegisterDetection.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TTolvIBusComm;

class TAddRegisterDlg : public QDialog {
    Q_OBJECT
public:
    explicit TAddRegisterDlg(QWidget* parent = nullptr);

    // Shows the dialog for a list; the new register's settings start as a copy of `settings`.
    // True when a register was added; its name is then Added().
    bool Execute(TRegisterList& list, const std::string& settings);
    const std::string& Added() const { return added_; }
    void DetectBtnClick();

    // Where discovery reads /sys and /dev; tests point it at a tree of their own.
    std::string discoveryRoot = "/";
    TTolvIBusComm* TolvIBusComm1 = nullptr; // detection's own, at the component's defaults

    QLineEdit* NameEd = nullptr;
    QComboBox* PortBox = nullptr;
    QComboBox* RateBox = nullptr;
    QLineEdit* GroupsEd = nullptr;
    QListWidget* FoundList = nullptr;
    QPushButton* DetectBtn = nullptr;
    QLabel* FirstLbl = nullptr;

protected:
    void accept() override;
    void reject() override;

private:
    void FillPorts(const std::string& settings);
    std::string PortText() const;

    TRegisterList* list_ = nullptr;
    std::string settings_;
    std::string added_;
    std::vector<SerialDevice> devices_;
    bool detecting_ = false;
    bool stopDetecting_ = false;
};
