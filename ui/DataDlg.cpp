#include "DataDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

bool IsHexDigit(QChar c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

TDataDlg::TDataDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("DataDlg");
    setWindowTitle(tr("Upload data range"));

    auto* label1 = new QLabel(tr("Base addr(hex):"), this);
    label1->setObjectName("Label1");
    Edit1 = new QLineEdit("0", this);
    Edit1->setObjectName("Edit1");
    Edit1->installEventFilter(this);
    label1->setBuddy(Edit1);
    auto* label2 = new QLabel(tr("Package count::"), this);
    label2->setObjectName("Label2");
    Edit2 = new QLineEdit("8", this);
    Edit2->setObjectName("Edit2");
    label2->setBuddy(Edit2);

    auto* radioGroup = new QGroupBox(this);
    radioGroup->setObjectName("RadioGroup1");
    RomBtn = new QRadioButton("ROM", radioGroup);
    RomBtn->setObjectName("RadioGroup1Rom");
    RamBtn = new QRadioButton("RAM", radioGroup);
    RamBtn->setObjectName("RadioGroup1Ram");
    RomBtn->setChecked(true);
    auto* radios = new QHBoxLayout(radioGroup);
    radios->addWidget(RomBtn);
    radios->addWidget(RamBtn);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("CancelBtn");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(radioGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<MemoryRange> TDataDlg::Range() const {
    auto base = ParseHexBase(Edit1->text().toStdString());
    auto count = ParseCount(Edit2->text().toStdString());
    if (!base || !count)
        return std::nullopt;
    return MemoryRange{*base, *count, RamBtn->isChecked() ? 1 : 0};
}

bool TDataDlg::eventFilter(QObject* watched, QEvent* event) {
    // Only hexadecimal digits are typed into the base; control keys (backspace and the like)
    // and keys without text (arrows) pass.
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text[0] >= ' ' && !IsHexDigit(text[0]))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
