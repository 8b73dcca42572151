#include "CommDlg.h"

#include "ErrorBox.h"
#include "Placement.h"
#include "PortWatcher.h"
#include "Settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cerrno>
#include <filesystem>

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

// A path typed by hand: a bare kernel name ("ttyUSB0") is meant in /dev.
std::string TypedDevicePath(const QString& text) {
    const std::string path = text.trimmed().toLocal8Bit().toStdString();
    return path.empty() || path.front() == '/' ? path : "/dev/" + path;
}

constexpr int PathRole = Qt::UserRole;

} // namespace

TCommDlg::TCommDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CommDlg"));
    setWindowTitle(tr("Communication setting"));

    baudGroup_ =
        MakeRadioGroup(this, "BaudRG", tr("&Baud rate"),
                       {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                        QStringLiteral("57600"), QStringLiteral("115200")},
                       2, baudButtons_);
    QButtonGroup* parityButtons = nullptr;
    parityGroup_ = MakeRadioGroup(this, "ParityRG", tr("&Parity"),
                                  {tr("None"), tr("Odd"), tr("Even"), tr("Mark"), tr("Space")}, 1,
                                  parityButtons);
    QButtonGroup* stopButtons = nullptr;
    stopBitsGroup_ = MakeRadioGroup(
        this, "StopBitsRG", tr("&StopBits"),
        {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, 3, stopButtons);
    // The line always runs 8 data bits, no parity, one stop bit; these two only say so.
    parityButtons->button(0)->setChecked(true);
    stopButtons->button(0)->setChecked(true);
    parityGroup_->setEnabled(false);
    stopBitsGroup_->setEnabled(false);

    portList_ = new QComboBox(this);
    portList_->setObjectName(QStringLiteral("PortCB"));
    portList_->setEditable(false);
    portList_->addItems({tr("None"), QStringLiteral("COM1"), QStringLiteral("COM2"),
                         QStringLiteral("COM3"), QStringLiteral("COM4")});
    connect(portList_, &QComboBox::currentIndexChanged, this, &TCommDlg::ShowDeviceChoice);

    // Beside the COM name, the device it opens: one the machine has, or a path of the user's.
    auto* deviceLabel = new QLabel(tr("&Device:"), this);
    deviceList_ = new QComboBox(this);
    deviceList_->setObjectName(QStringLiteral("DeviceCB"));
    deviceList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    deviceList_->setMinimumContentsLength(36);
    deviceLabel->setBuddy(deviceList_);
    connect(deviceList_, &QComboBox::activated, this, &TCommDlg::DeviceActivated);
    devicePath_ = new QLineEdit(this);
    devicePath_->setObjectName(QStringLiteral("DevicePathEd"));
    devicePath_->setPlaceholderText(tr("Device path, e.g. /dev/ttyUSB0"));
    connect(devicePath_, &QLineEdit::textEdited, this, &TCommDlg::DevicePathEdited);
    deviceState_ = new QLabel(this);
    deviceState_->setObjectName(QStringLiteral("DeviceStateLbl"));
    // Its room is kept, so the dialog does not change its width as the remark comes and goes.
    deviceState_->setMinimumWidth(deviceState_->fontMetrics().horizontalAdvance(tr("not present")));

    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    connect(okButton, &QPushButton::clicked, this, &TCommDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &TCommDlg::reject);

    auto* portGrid = new QGridLayout;
    portGrid->addWidget(portList_, 0, 0);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(deviceLabel);
    deviceRow->addWidget(deviceList_, 1);
    portGrid->addLayout(deviceRow, 0, 1);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(devicePath_, 1);
    pathRow->addWidget(deviceState_);
    portGrid->addLayout(pathRow, 1, 1);
    portGrid->setColumnStretch(1, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);

    auto* left = new QVBoxLayout;
    left->addWidget(baudGroup_);
    left->addWidget(stopBitsGroup_);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(parityGroup_);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(portGrid);
    outer->addLayout(buttonRow);

    ReportWriteFailure = [this](int error) { ShowSystemCfgWriteError(this, error); };
    // Room for a by-id name: the adapter's maker, product and serial number.
    devicePath_->setMinimumWidth(devicePath_->fontMetrics().horizontalAdvance(
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0")));
    // The machine's devices are listed when the dialog opens, not at program start.
    deviceList_->addItem(tr("Other..."));
    ShowDeviceChoice();
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
    if (deviceState_->text().isEmpty())
        return devicePath_->text();
    return devicePath_->text() + QStringLiteral(" (") + deviceState_->text() + QStringLiteral(")");
}

int TCommDlg::OtherItemIndex() const {
    return deviceList_->count() - 1;
}

void TCommDlg::RefreshDevices() {
    devices_ = ListSerialDevices(discoveryRoot);
    const QSignalBlocker quiet(deviceList_);
    deviceList_->clear();
    for (const SerialDevice& d : devices_) {
        const QString path = QString::fromLocal8Bit(d.path);
        deviceList_->addItem(QString::fromLocal8Bit(d.description), path);
        deviceList_->setItemData(deviceList_->count() - 1, path, Qt::ToolTipRole);
    }
    deviceList_->addItem(tr("Other..."));
    ShowDeviceChoice();
}

void TCommDlg::ShowDeviceChoice() {
    const int port = portList_->currentIndex();
    const bool chosen = port >= 1 && port <= 4;
    deviceList_->setEnabled(chosen);
    devicePath_->setEnabled(chosen);
    const QSignalBlocker quiet(deviceList_);
    if (!chosen) {
        deviceList_->setCurrentIndex(-1);
        devicePath_->clear();
        deviceState_->clear();
        return;
    }
    const std::string& path = chosenPath_[size_t(port)];
    const SerialDevice* device =
        typingPath_[size_t(port)] ? nullptr : FindSerialDevice(devices_, path, discoveryRoot);
    deviceList_->setCurrentIndex(device ? int(device - devices_.data()) : OtherItemIndex());
    devicePath_->setReadOnly(device != nullptr);
    if (devicePath_->text() != QString::fromLocal8Bit(path))
        devicePath_->setText(QString::fromLocal8Bit(path));
    std::error_code ec;
    const std::string typed = TypedDevicePath(devicePath_->text());
    const bool present =
        !typed.empty() && std::filesystem::exists(UnderRoot(discoveryRoot, typed), ec);
    deviceState_->setText(present || typed.empty() ? QString() : tr("not present"));
}

void TCommDlg::DeviceActivated(int index) {
    const int port = portList_->currentIndex();
    if (port < 1 || port > 4)
        return;
    const bool other = index == OtherItemIndex();
    typingPath_[size_t(port)] = other;
    if (!other)
        chosenPath_[size_t(port)] =
            deviceList_->itemData(index, PathRole).toString().toLocal8Bit().toStdString();
    ShowDeviceChoice();
    if (other) {
        devicePath_->setFocus();
        devicePath_->selectAll();
    }
}

void TCommDlg::DevicePathEdited(const QString& text) {
    const int port = portList_->currentIndex();
    if (port < 1 || port > 4)
        return;
    // Typing over a listed device's path makes it a path of the user's own.
    typingPath_[size_t(port)] = true;
    chosenPath_[size_t(port)] = text.toLocal8Bit().toStdString();
    ShowDeviceChoice();
}

void TCommDlg::LoadCommSettings() {
    ReadCommSettings();
    SetBaudItemIndex(BaudIndex);
    for (int n = 1; n <= 4; ++n) {
        storedPath_[size_t(n)] = PortDevicePath("COM" + std::to_string(n));
        chosenPath_[size_t(n)] = storedPath_[size_t(n)];
        typingPath_[size_t(n)] = false;
    }
    if (!watcher_) {
        watcher_ = new TPortWatcher(this, discoveryRoot);
        connect(watcher_, &TPortWatcher::DevicesChanged, this, [this] {
            if (isVisible())
                RefreshDevices();
        });
    }
    SetPortItemIndex(PortNumber);
    RefreshDevices();
}

bool TCommDlg::ShowCommSettings() {
    LoadCommSettings();
    adjustSize();
    CentreOnScreen(this);
    return exec() == QDialog::Accepted;
}

void TCommDlg::accept() {
    // Items without a choice cannot come from the dialog's own file values, which read in
    // range; keep what is in effect rather than store an index that names nothing.
    const int port = PortItemIndex() >= 0 ? PortItemIndex() : PortNumber;
    const int baud = BaudItemIndex() >= 0 ? BaudItemIndex() : BaudIndex;
    // Only a device the user changed is written: the file keeps its defaults and its spelling.
    std::vector<PortMapping> mappings;
    std::array<std::string, 5> chosen = storedPath_;
    for (int n = 1; n <= 4; ++n) {
        const std::string path = TypedDevicePath(QString::fromLocal8Bit(chosenPath_[size_t(n)]));
        if (!path.empty() && path != storedPath_[size_t(n)]) {
            mappings.push_back({n, path});
            chosen[size_t(n)] = path;
        }
    }
    if (!WriteCommSettings(port, baud, mappings)) {
        if (ReportWriteFailure)
            ReportWriteFailure(errno);
        return;
    }
    PortNumber = port;
    BaudIndex = baud;
    storedPath_ = chosen;
    chosenPath_ = chosen;
    QDialog::accept();
}
