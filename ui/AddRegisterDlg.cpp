#include "AddRegisterDlg.h"

#include "CodePage.h"
#include "IBusNames.h"
#include "Ini.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const std::string& s) {
    return QString::fromLocal8Bit(s);
}

// "Till 3": the first of its kind the list does not have yet.
QString FreeName(const TRegisterList& list) {
    for (int n = int(list.Registers().size()) + 1;; ++n)
        if (!list.Find("Till " + std::to_string(n)))
            return QString("Till %1").arg(n);
}

} // namespace

TAddRegisterDlg::TAddRegisterDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("AddRegisterDlg");
    setWindowTitle(tr("Add register"));
    TolvIBusComm1 = new TTolvIBusComm(this);
    TolvIBusComm1->ShowErrorBox = [](const std::string&, const ECommsError&) {};

    NameEd = new QLineEdit(this);
    NameEd->setObjectName("NameEd");
    NameEd->setMaxLength(40);
    PortBox = new QComboBox(this);
    PortBox->setObjectName("PortBox");
    PortBox->setEditable(true);
    PortBox->setMinimumWidth(360);
    PortBox->setToolTip(tr("COM1 to COM4 as the communication settings map them, or a serial "
                           "device of this computer"));
    RateBox = new QComboBox(this);
    RateBox->setObjectName("RateBox");
    for (uint32_t rate : BaudTable)
        RateBox->addItem(QString::number(rate));
    GroupsEd = new QLineEdit(this);
    GroupsEd->setObjectName("GroupsEd");
    GroupsEd->setPlaceholderText("Front, Back");
    GroupsEd->setToolTip(tr("The groups this register is in, separated by commas"));
    FirstLbl = new QLabel(tr("The first register of the list takes today's settings: its port, "
                             "rate and parameters."),
                          this);
    FirstLbl->setObjectName("FirstLbl");
    FirstLbl->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Name:"), NameEd);
    form->addRow(tr("&Port:"), PortBox);
    form->addRow(tr("&Rate:"), RateBox);
    form->addRow(tr("&Groups:"), GroupsEd);

    FoundList = new QListWidget(this);
    FoundList->setObjectName("FoundList");
    FoundList->setMinimumHeight(90);
    FoundList->setToolTip(tr("Serial devices no register of the list uses; click a register found "
                             "to take its port"));
    connect(FoundList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).isValid())
            PortBox->setEditText(item->data(Qt::UserRole).toString());
    });
    DetectBtn = new QPushButton(tr("&Detect"), this);
    DetectBtn->setObjectName("DetectBtn");
    DetectBtn->setToolTip(tr("Look for registers on the serial devices no register of the list "
                             "uses"));
    connect(DetectBtn, &QPushButton::clicked, this, &TAddRegisterDlg::DetectBtnClick);
    auto* okBtn = new QPushButton("OK", this);
    okBtn->setObjectName("OKBtn");
    okBtn->setDefault(true);
    auto* cancelBtn = new QPushButton(tr("Cancel"), this);
    cancelBtn->setObjectName("CancelBtn");
    connect(okBtn, &QPushButton::clicked, this, &TAddRegisterDlg::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &TAddRegisterDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(DetectBtn);
    buttons->addStretch();
    buttons->addWidget(okBtn);
    buttons->addWidget(cancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FirstLbl);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Registers found:"), this));
    layout->addWidget(FoundList, 1);
    layout->addLayout(buttons);
}

void TAddRegisterDlg::FillPorts(const std::string& settings) {
    PortBox->clear();
    for (int n = 1; n <= 4; ++n) {
        const QString name = QString("COM%1").arg(n);
        PortBox->addItem(name + "  " + Text(PortDevicePathIn(settings, name.toStdString())), name);
    }
    devices_ = ListSerialDevices(discoveryRoot);
    for (const SerialDevice& d : devices_)
        PortBox->addItem(Text(d.path) + "  " + Text(d.description), Text(d.path));
    const IniFile cfg(settings);
    const int port = cfg.ReadInteger("Comm", "Port", 2);
    PortBox->setCurrentIndex(port >= 1 && port <= 4 ? port - 1 : 1);
    const int rate = cfg.ReadInteger("Comm", "BaudRate", 0);
    RateBox->setCurrentIndex(rate >= 0 && rate <= 4 ? rate : 0);
}

std::string TAddRegisterDlg::PortText() const {
    // A chosen item gives its port; a typed text is the port itself.
    const int i = PortBox->findText(PortBox->currentText());
    const QString port =
        i >= 0 ? PortBox->itemData(i).toString() : PortBox->currentText().section("  ", 0, 0);
    return port.trimmed().toLocal8Bit().toStdString();
}

bool TAddRegisterDlg::Execute(TRegisterList& list, const std::string& settings) {
    list_ = &list;
    settings_ = settings;
    TolvIBusComm1->TraceFile = StateDir + "DEBUG.LOG";
    added_.clear();
    FillPorts(settings);
    FoundList->clear();
    NameEd->setText(FreeName(list));
    NameEd->selectAll();
    NameEd->setFocus();
    GroupsEd->clear();
    FirstLbl->setVisible(list.Empty());
    const bool accepted = exec() == QDialog::Accepted;
    list_ = nullptr;
    return accepted;
}

void TAddRegisterDlg::DetectBtnClick() {
    if (!list_ || detecting_)
        return;
    detecting_ = true;
    stopDetecting_ = false;
    DetectBtn->setEnabled(false);
    FoundList->clear();
    const std::vector<SerialDevice> free = FreeDevices(devices_, *list_, discoveryRoot);
    std::vector<QListWidgetItem*> items;
    for (const SerialDevice& d : free)
        items.push_back(new QListWidgetItem(Text(d.path), FoundList));
    TProbeHooks hooks;
    hooks.SetOutcome = [&](size_t i, const std::string& text) {
        items[i]->setText(Text(free[i].path) + ": " + Text(text));
    };
    hooks.StillShown = [this] { return !stopDetecting_; };
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const std::vector<TFoundRegister> found =
        FindRegisters(*TolvIBusComm1, free, hooks, discoveryRoot);
    QApplication::restoreOverrideCursor();
    for (const TFoundRegister& f : found)
        for (size_t i = 0; i < free.size(); ++i)
            if (free[i].path == f.device.path) {
                items[i]->setText(Text(f.device.path) + ": " +
                                  DocumentCodePage().ToUnicode(f.identification) + "  (" +
                                  Text(f.device.description) + ")");
                items[i]->setData(Qt::UserRole, Text(f.device.path));
            }
    if (free.empty())
        new QListWidgetItem(tr("Every serial device present belongs to a register of the list."),
                            FoundList);
    else if (found.empty())
        new QListWidgetItem(NotFoundText, FoundList);
    else
        for (QListWidgetItem* item : items)
            if (item->data(Qt::UserRole).isValid()) {
                FoundList->setCurrentItem(item);
                break;
            }
    DetectBtn->setEnabled(true);
    detecting_ = false;
}

void TAddRegisterDlg::accept() {
    if (!list_ || detecting_)
        return;
    const std::string name = NameEd->text().trimmed().toStdString();
    std::vector<std::string> groups = SplitNames(GroupsEd->text().toStdString());
    const TNewRegister reg{name, PortText(), RateBox->currentIndex(), groups};
    if (const std::string problem = list_->Add(reg, settings_); !problem.empty()) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(problem));
        return;
    }
    added_ = name;
    QDialog::accept();
}

void TAddRegisterDlg::reject() {
    // Closing while detecting stops the search; the dialog closes once it has stopped.
    if (detecting_) {
        stopDetecting_ = true;
        TolvIBusComm1->Abort();
        return;
    }
    QDialog::reject();
}
