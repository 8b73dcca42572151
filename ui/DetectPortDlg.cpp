#include "DetectPortDlg.h"

#include "ErrorBox.h"
#include "Language.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>

TDetectPortDlg::TDetectPortDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("DetectPortDlg");
    setWindowTitle(tr("Detect port"));
    TolvIBusComm1 = new TTolvIBusComm(this);
    TolvIBusComm1->setObjectName("TolvIBusComm1");
    TolvIBusComm1->ShowErrorBox = CommErrorBoxFor(*TolvIBusComm1);
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
    DeviceList = new QListWidget(this);
    DeviceList->setObjectName("DeviceLst");
    DeviceList->setFocusPolicy(Qt::NoFocus);
    DeviceList->setSelectionMode(QAbstractItemView::NoSelection);
    DeviceList->setMinimumWidth(420);
    DeviceList->hide();
    DetectBtn = new QPushButton(tr("&Detect"), this);
    DetectBtn->setObjectName("DetectBtn");
    DetectBtn->setDefault(true);
    CloseBtn = new QPushButton(tr("&Close"), this);
    CloseBtn->setObjectName("CloseBtn");
    connect(DetectBtn, &QPushButton::clicked, this, &TDetectPortDlg::DetectBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TDetectPortDlg::CloseBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(DetectBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(DeviceList);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    askApply = [this] { return Ask(PeopleText(ApplyPortQuestion)); };
    askProbe = [this](const QStringList& devices) {
        return Ask(tr("No register answered on COM1 to COM4. Look for it on the other serial "
                      "devices of this computer?"),
                   devices.join('\n'));
    };
    askUseDevice = [this](const QString& question) { return Ask(question); };
}

bool TDetectPortDlg::Ask(const QString& question, const QString& details) {
    QMessageBox box(QMessageBox::Question, QString(), question, QMessageBox::Yes | QMessageBox::No,
                    this);
    box.setInformativeText(details);
    return box.exec() == QMessageBox::Yes;
}

void TDetectPortDlg::TellWriteFailure() {
    const std::string reason = std::strerror(errno);
    QMessageBox::warning(
        this, QString(),
        tr("Cannot write %1: %2")
            .arg(QString::fromStdString(SystemCfgPath()), QString::fromStdString(reason)));
}

int TDetectPortDlg::Execute() {
    for (QLineEdit* edit : Edits)
        edit->clear();
    DeviceList->clear();
    DeviceList->hide();
    DetectBtn->setEnabled(true);
    DetectBtn->setFocus();
    return exec();
}

void TDetectPortDlg::DetectBtnClick() {
    if (runDetection)
        runDetection([this] { return Detect(); });
    else
        Detect();
}

TFlowResult TDetectPortDlg::Detect() {
    DetectBtn->setEnabled(false);
    for (QLineEdit* edit : Edits) {
        edit->clear();
        edit->repaint();
    }
    TDetectHooks hooks;
    hooks.SetOutcome = [this](int n, const std::string& text) {
        QLineEdit* edit = Edits[size_t(n - 1)];
        edit->setText(PeopleText(text));
        edit->repaint();
    };
    hooks.StillShown = [this] { return isVisible(); };
    hooks.AskApply = [this] { return askApply(); };
    DeviceList->clear();
    DeviceList->hide();
    const TDetectResult result = DetectPorts(*TolvIBusComm1, hooks);
    bool found = result.found != 0;
    if (result.apply && !ApplyDetectedPort(result.found))
        TellWriteFailure();
    else if (result.found == 0 && !result.stopped && isVisible())
        found = ProbeOtherDevices();
    DetectBtn->setEnabled(true);
    return found                            ? TFlowResult::Done
           : result.stopped || !isVisible() ? TFlowResult::Cancelled
                                            : TFlowResult::RegisterFailed;
}

bool TDetectPortDlg::ProbeOtherDevices() {
    const std::vector<SerialDevice> devices =
        UnmappedDevices(ListSerialDevices(discoveryRoot), discoveryRoot);
    QStringList descriptions;
    for (const SerialDevice& d : devices)
        descriptions << QString::fromLocal8Bit(d.description);
    if (devices.empty() || !askProbe(descriptions) || !isVisible())
        return false;
    for (const SerialDevice& d : devices) {
        auto* item = new QListWidgetItem(QString::fromLocal8Bit(d.description), DeviceList);
        item->setToolTip(QString::fromLocal8Bit(d.path));
    }
    // One line per device, up to six; more scroll.
    const int rows = std::min(DeviceList->count(), 6);
    DeviceList->setFixedHeight(rows * DeviceList->sizeHintForRow(0) + 2 * DeviceList->frameWidth());
    DeviceList->show();
    TProbeHooks hooks;
    hooks.SetOutcome = [&](size_t i, const std::string& text) {
        DeviceList->item(int(i))->setText(QString::fromLocal8Bit(devices[i].description) + ": " +
                                          PeopleText(text));
        DeviceList->scrollToItem(DeviceList->item(int(i)));
        DeviceList->repaint();
    };
    hooks.StillShown = [this] { return isVisible(); };
    const std::optional<size_t> hit = ProbeDevices(*TolvIBusComm1, devices, hooks, discoveryRoot);
    if (!hit)
        return false;
    const int n = PortForFoundDevice(discoveryRoot);
    // One pass: a "%2" in the adapter's description stays as it is.
    const QString question =
        tr("Register found on %1. Use it as COM%2?")
            .arg(QString::fromLocal8Bit(devices[*hit].description.c_str()), QString::number(n));
    if (askUseDevice(question) && !ApplyDetectedDevice(n, devices[*hit].path))
        TellWriteFailure();
    return true;
}

void TDetectPortDlg::CloseBtnClick() {
    // A running Connect ends at once; the search then sees the dialog hidden and stops.
    TolvIBusComm1->Abort();
    QDialog::reject();
}

void TDetectPortDlg::reject() {
    CloseBtnClick();
}
