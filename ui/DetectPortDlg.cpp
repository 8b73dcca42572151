#include "DetectPortDlg.h"

#include "ErrorBox.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

TDetectPortDlg::TDetectPortDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("DetectPortDlg");
    setWindowTitle("Detect port");
    TolvIBusComm1 = new TTolvIBusComm(this);
    TolvIBusComm1->setObjectName("TolvIBusComm1");
    TolvIBusComm1->ShowErrorBox = ShowCommErrorBox;
    TolvIBusComm1->TraceFile = StateDir + "DEBUG.LOG";

    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString("COM%1 :").arg(i + 1), this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        Edits[size_t(i)] = new QLineEdit(this);
        Edits[size_t(i)]->setObjectName(QString("Edit%1").arg(i + 1));
        Edits[size_t(i)]->setEnabled(false);
        Edits[size_t(i)]->setMinimumWidth(140);
        grid->addWidget(label, i, 0);
        grid->addWidget(Edits[size_t(i)], i, 1);
    }
    DetectBtn = new QPushButton("&Detect", this);
    DetectBtn->setObjectName("DetectBtn");
    DetectBtn->setDefault(true);
    CloseBtn = new QPushButton("&Close", this);
    CloseBtn->setObjectName("CloseBtn");
    connect(DetectBtn, &QPushButton::clicked, this, &TDetectPortDlg::DetectBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TDetectPortDlg::CloseBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(DetectBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    askApply = [this] {
        QMessageBox box(QMessageBox::Question, QString(), ApplyPortQuestion,
                        QMessageBox::Yes | QMessageBox::No, this);
        return box.exec() == QMessageBox::Yes;
    };
}

int TDetectPortDlg::Execute() {
    for (QLineEdit* edit : Edits)
        edit->clear();
    DetectBtn->setEnabled(true);
    DetectBtn->setFocus();
    return exec();
}

void TDetectPortDlg::DetectBtnClick() {
    DetectBtn->setEnabled(false);
    for (QLineEdit* edit : Edits) {
        edit->clear();
        edit->repaint();
    }
    TDetectHooks hooks;
    hooks.SetOutcome = [this](int n, const std::string& text) {
        QLineEdit* edit = Edits[size_t(n - 1)];
        edit->setText(QString::fromStdString(text));
        edit->repaint();
    };
    hooks.StillShown = [this] { return isVisible(); };
    hooks.AskApply = [this] { return askApply(); };
    const int port = DetectPorts(*TolvIBusComm1, hooks);
    if (port > 0 && !ApplyDetectedPort(port)) {
        const std::string reason = std::strerror(errno);
        QMessageBox::warning(this, QString(),
                             "Cannot write " + QString::fromStdString(SystemCfgPath()) + ": " +
                                 QString::fromStdString(reason));
    }
    DetectBtn->setEnabled(true);
}

void TDetectPortDlg::CloseBtnClick() {
    // A running Connect ends at once; the search then sees the dialog hidden and stops.
    TolvIBusComm1->Abort();
    QDialog::reject();
}

void TDetectPortDlg::reject() {
    CloseBtnClick();
}
