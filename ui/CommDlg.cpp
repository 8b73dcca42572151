#include "CommDlg.h"

#include "ErrorBox.h"
#include "Placement.h"
#include "Settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cerrno>

namespace {

// A titled group of radio items laid out in columns, like a radio group control. The items are
// not named: only the group's title is a text of the window.
QGroupBox* MakeRadioGroup(QWidget* parent, const char* name, const QString& title,
                          const QStringList& items, int columns, QButtonGroup*& buttons) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    buttons = new QButtonGroup(group);
    auto* grid = new QGridLayout(group);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], group);
        buttons->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
    }
    return group;
}

} // namespace

TCommDlg::TCommDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CommDlg"));
    setWindowTitle(QStringLiteral("Communication setting"));

    baudGroup_ =
        MakeRadioGroup(this, "BaudRG", QStringLiteral("&Baud rate"),
                       {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                        QStringLiteral("57600"), QStringLiteral("115200")},
                       2, baudButtons_);
    QButtonGroup* parityButtons = nullptr;
    parityGroup_ =
        MakeRadioGroup(this, "ParityRG", QStringLiteral("&Parity"),
                       {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"),
                        QStringLiteral("Mark"), QStringLiteral("Space")},
                       1, parityButtons);
    QButtonGroup* stopButtons = nullptr;
    stopBitsGroup_ = MakeRadioGroup(
        this, "StopBitsRG", QStringLiteral("&StopBits"),
        {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, 3, stopButtons);
    // The line always runs 8 data bits, no parity, one stop bit; these two only say so.
    parityButtons->button(0)->setChecked(true);
    stopButtons->button(0)->setChecked(true);
    parityGroup_->setEnabled(false);
    stopBitsGroup_->setEnabled(false);

    portList_ = new QComboBox(this);
    portList_->setObjectName(QStringLiteral("PortCB"));
    portList_->setEditable(false);
    portList_->addItems({QStringLiteral("None"), QStringLiteral("COM1"), QStringLiteral("COM2"),
                         QStringLiteral("COM3"), QStringLiteral("COM4")});
    portDevice_ = new QLabel(this);
    portDevice_->setObjectName(QStringLiteral("PortDeviceLbl"));
    portDevice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(portList_, &QComboBox::currentIndexChanged, this, &TCommDlg::UpdatePortDevice);

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    connect(okButton, &QPushButton::clicked, this, &TCommDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &TCommDlg::reject);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(portList_);
    portRow->addWidget(portDevice_, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);

    auto* left = new QVBoxLayout;
    left->addWidget(baudGroup_);
    left->addWidget(stopBitsGroup_);
    left->addLayout(portRow);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(parityGroup_);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(buttonRow);

    ReportWriteFailure = [this](int error) { ShowSystemCfgWriteError(this, error); };
    UpdatePortDevice();
    // Room for the longest device path a [Ports] line is likely to give.
    portDevice_->setMinimumWidth(
        portDevice_->fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB0 (not present)")));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

int TCommDlg::BaudItemIndex() const {
    return baudButtons_->checkedId();
}

void TCommDlg::SetBaudItemIndex(int index) {
    if (QAbstractButton* button = baudButtons_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An index that names no item leaves the group without a choice.
    baudButtons_->setExclusive(false);
    for (QAbstractButton* button : baudButtons_->buttons())
        button->setChecked(false);
    baudButtons_->setExclusive(true);
}

int TCommDlg::PortItemIndex() const {
    return portList_->currentIndex();
}

void TCommDlg::SetPortItemIndex(int index) {
    portList_->setCurrentIndex(index >= 0 && index < portList_->count() ? index : -1);
}

QString TCommDlg::PortDeviceText() const {
    return portDevice_->text();
}

void TCommDlg::UpdatePortDevice() {
    const int port = portList_->currentIndex();
    if (port <= 0) {
        portDevice_->clear();
        return;
    }
    const QString device = QString::fromStdString(PortDevicePath("COM" + std::to_string(port)));
    if (device.isEmpty()) {
        portDevice_->clear();
        return;
    }
    portDevice_->setText(QFileInfo::exists(device) ? device
                                                   : device + QStringLiteral(" (not present)"));
}

bool TCommDlg::ShowCommSettings() {
    ReadCommSettings();
    SetBaudItemIndex(BaudIndex);
    SetPortItemIndex(PortNumber);
    UpdatePortDevice();
    adjustSize();
    CentreOnScreen(this);
    return exec() == QDialog::Accepted;
}

void TCommDlg::accept() {
    // Items without a choice cannot come from the dialog's own file values, which read in
    // range; keep what is in effect rather than store an index that names nothing.
    const int port = PortItemIndex() >= 0 ? PortItemIndex() : PortNumber;
    const int baud = BaudItemIndex() >= 0 ? BaudItemIndex() : BaudIndex;
    if (!WriteCommSettings(port, baud)) {
        if (ReportWriteFailure)
            ReportWriteFailure(errno);
        return;
    }
    PortNumber = port;
    BaudIndex = baud;
    QDialog::accept();
}
