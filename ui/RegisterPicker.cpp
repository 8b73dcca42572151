#include "RegisterPicker.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Columns = 3;

QString Text(const std::string& name) {
    return QString::fromStdString(name);
}

} // namespace

TRegisterPicker::TRegisterPicker(QWidget* parent) : QGroupBox(tr("Registers:"), parent) {
    setObjectName("RegistersGroupBox");
    grid_ = new QGridLayout(this);
    hide();
}

void TRegisterPicker::SetRegisters(const TRegisterList& list, const std::string& chosen) {
    std::vector<std::string> names;
    for (const TRegister& reg : list.Registers())
        names.push_back(reg.name);
    std::vector<std::string> known;
    for (const TRegister& reg : registers_)
        known.push_back(reg.name);
    const std::vector<std::string> ticked =
        names == known && !Ticked().empty() ? Ticked() : std::vector<std::string>{chosen};

    while (QLayoutItem* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    registerBoxes_.clear();
    groupBoxes_.clear();
    registers_ = list.Registers();
    groups_ = list.Groups();
    setVisible(!registers_.empty());

    int row = 0;
    for (size_t i = 0; i < registers_.size(); ++i) {
        auto* box = new QCheckBox(Text(registers_[i].name), this);
        box->setObjectName("Register_" + Text(registers_[i].name));
        registerBoxes_.push_back(box);
        grid_->addWidget(box, row + int(i) / Columns, int(i) % Columns);
        connect(box, &QCheckBox::toggled, this, [this] {
            if (updating_)
                return;
            ShowGroupStates();
            emit TickedChanged();
        });
    }
    row += (int(registers_.size()) + Columns - 1) / Columns;
    if (!groups_.empty()) {
        auto* label = new QLabel(tr("Groups:"), this);
        grid_->addWidget(label, row++, 0, 1, Columns);
    }
    for (size_t g = 0; g < groups_.size(); ++g) {
        auto* box = new QCheckBox(Text(groups_[g]), this);
        box->setObjectName("Group_" + Text(groups_[g]));
        box->setTristate(true);
        groupBoxes_.push_back(box);
        grid_->addWidget(box, row + int(g) / Columns, int(g) % Columns);
        // A click goes between all and none; partly ticked shows only what the registers are.
        connect(box, &QCheckBox::clicked, this, [this, g, box] {
            const bool on = box->checkState() != Qt::Unchecked;
            GroupToggled(g, on);
        });
    }
    SetTicked(ticked);
}

void TRegisterPicker::GroupToggled(size_t group, bool on) {
    updating_ = true;
    for (size_t i = 0; i < registers_.size(); ++i)
        if (registers_[i].InGroup(groups_[group]))
            registerBoxes_[i]->setChecked(on);
    updating_ = false;
    ShowGroupStates();
    emit TickedChanged();
}

void TRegisterPicker::ShowGroupStates() {
    for (size_t g = 0; g < groups_.size(); ++g) {
        int members = 0, ticked = 0;
        for (size_t i = 0; i < registers_.size(); ++i)
            if (registers_[i].InGroup(groups_[g])) {
                ++members;
                ticked += registerBoxes_[i]->isChecked();
            }
        groupBoxes_[g]->setCheckState(ticked == 0         ? Qt::Unchecked
                                      : ticked == members ? Qt::Checked
                                                          : Qt::PartiallyChecked);
    }
}

std::vector<std::string> TRegisterPicker::Ticked() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < registers_.size(); ++i)
        if (registerBoxes_[i]->isChecked())
            names.push_back(registers_[i].name);
    return names;
}

void TRegisterPicker::SetTicked(const std::vector<std::string>& names) {
    updating_ = true;
    for (size_t i = 0; i < registers_.size(); ++i)
        registerBoxes_[i]->setChecked(std::find(names.begin(), names.end(), registers_[i].name) !=
                                      names.end());
    updating_ = false;
    ShowGroupStates();
}

QCheckBox* TRegisterPicker::RegisterBox(const std::string& name) const {
    for (size_t i = 0; i < registers_.size(); ++i)
        if (registers_[i].name == name)
            return registerBoxes_[i];
    return nullptr;
}

QCheckBox* TRegisterPicker::GroupBox(const std::string& group) const {
    for (size_t g = 0; g < groups_.size(); ++g)
        if (groups_[g] == group)
            return groupBoxes_[g];
    return nullptr;
}

TRegisterPickDlg::TRegisterPickDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("RegisterPickDlg");
    picker_ = new TRegisterPicker(this);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("CancelBtn");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(picker_, &TRegisterPicker::TickedChanged, this,
            [this, ok] { ok->setEnabled(!picker_->Ticked().empty()); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picker_);
    layout->addLayout(buttons);
}

bool TRegisterPickDlg::Execute(const QString& title, const TRegisterList& list,
                               const std::string& chosen) {
    setWindowTitle(title);
    picker_->SetRegisters(list, chosen);
    emit picker_->TickedChanged();
    return exec() == QDialog::Accepted && !picker_->Ticked().empty();
}
