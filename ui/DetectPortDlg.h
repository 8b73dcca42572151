#pragma once
// The port detection dialog: one outcome per port, and the question whether to keep the port a
// register answered on.

#include "PortDetection.h"

#include <QDialog>

#include <array>
#include <functional>

class QLineEdit;
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

    // Clears the outcomes and shows the dialog modally.
    int Execute();
    void DetectBtnClick();
    void CloseBtnClick();

    // The question on a found port; replaceable by tests.
    std::function<bool()> askApply;

protected:
    void reject() override;
};
