#include "TransferRangeDlg.h"

#include "Backup.h"
#include "CodePage.h"
#include "Defs.h"
#include "DisplayTexts.h"
#include "ErrorBox.h"
#include "RegisterPicker.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cerrno>

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TTransferRangeDlg::TTransferRangeDlg(const char* name, const char* caption,
                                     const std::array<std::string, 4>& kindNames, QWidget* parent)
    : QDialog(parent, Qt::Tool), kindNames_(kindNames) {
    setObjectName(name);
    setWindowTitle(tr(caption));
    setSizeGripEnabled(true);

    checkList_ = new QListWidget(this);
    checkList_->setObjectName("CheckListBox1");

    rangeGroup_ = new QGroupBox(tr("PLU range"), this);
    rangeGroup_->setObjectName("PLURangeGroupBox");
    rangeBeginEdit_ = PluRangeSpin("RangeBeginEdit", rangeBegin_, rangeGroup_);
    rangeEndEdit_ = PluRangeSpin("RangeEndEdit", rangeEnd_, rangeGroup_);
    auto* fromLabel = NamedLabel("FromLabel", tr("From:"), rangeGroup_);
    auto* toLabel = NamedLabel("ToLabel", tr("To:"), rangeGroup_);
    fromLabel->setBuddy(rangeBeginEdit_);
    toLabel->setBuddy(rangeEndEdit_);
    auto* rangeLayout = new QGridLayout(rangeGroup_);
    rangeLayout->addWidget(NamedLabel("PLUNoLabel", tr("PLU No."), rangeGroup_), 0, 0);
    rangeLayout->addWidget(fromLabel, 0, 1, Qt::AlignRight);
    rangeLayout->addWidget(rangeBeginEdit_, 0, 2);
    rangeLayout->addWidget(toLabel, 0, 3, Qt::AlignRight);
    rangeLayout->addWidget(rangeEndEdit_, 0, 4);
    rangeLayout->setColumnStretch(0, 1);
    rangeLayout->setColumnMinimumWidth(1, 40);

    okBtn_ = new QPushButton(tr("OK"), this);
    okBtn_->setObjectName("OKBtn");
    okBtn_->setDefault(true);
    cancelBtn_ = new QPushButton(tr("Cancel"), this);
    cancelBtn_->setObjectName("CancelBtn");
    connect(okBtn_, &QPushButton::clicked, this, &TTransferRangeDlg::accept);
    connect(checkList_, &QListWidget::itemChanged, this, &TTransferRangeDlg::UpdateOkButton);
    connect(cancelBtn_, &QPushButton::clicked, this, &TTransferRangeDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(checkList_, 1);
    layout->addWidget(rangeGroup_);
    layout->addLayout(buttons);
    layout_ = layout;
    resize(320, 280);
}

bool TTransferRangeDlg::Execute() {
    checkList_->clear();
    for (size_t i = 0; i < kindNames_.size(); ++i) {
        auto* item = new QListWidgetItem(DisplayWord(kindNames_[i]), checkList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked_.test(i) ? Qt::Checked : Qt::Unchecked);
    }
    checkList_->setCurrentRow(0);
    UpdateOkButton();
    okBtn_->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    kinds_ = Checked();
    return true;
}

KindSet TTransferRangeDlg::Checked() const {
    KindSet kinds;
    for (int i = 0; i < checkList_->count() && i < int(kinds.size()); ++i)
        kinds.set(size_t(i), checkList_->item(i)->checkState() == Qt::Checked);
    return kinds;
}

void TTransferRangeDlg::UpdateOkButton() {
    const bool ready = !needsKind_ || Checked().any();
    okBtn_->setEnabled(ready);
    okBtn_->setToolTip(ready ? QString() : tr("Tick the kinds of data first"));
}

int TTransferRangeDlg::SpinValue(const QSpinBox* spin) const {
    bool ok = false;
    const int value = spin->text().trimmed().toInt(&ok);
    return ok ? value : MinPluRange;
}

void TTransferRangeDlg::accept() {
    if (!okBtn_->isEnabled())
        return;
    // Checked whether or not PLU is ticked: the range is part of the dialog's answer.
    rangeBegin_ = SpinValue(rangeBeginEdit_);
    rangeEnd_ = SpinValue(rangeEndEdit_);
    const bool valid = rangeBegin_ >= MinPluRange && rangeBegin_ <= MaxPluRange &&
                       rangeEnd_ >= MinPluRange && rangeEnd_ <= MaxPluRange &&
                       rangeEnd_ >= rangeBegin_;
    if (!valid) {
        QMessageBox box(QMessageBox::Information, tr("Information"), tr("Invalid PLU range"),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    QDialog::accept();
}

void TTransferRangeDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        if (QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        // The kinds are chosen first: Space ticks the current line, Enter is OK.
        checkList_->setFocus();
    }
}

void TTransferRangeDlg::AddOption(QWidget* option) {
    layout_->insertWidget(layout_->count() - 1, option);
}

TDownloadDlg::TDownloadDlg(QWidget* parent)
    : TTransferRangeDlg("DownloadDlg", QT_TRANSLATE_NOOP("TTransferRangeDlg", "Download data"),
                        DownloadKindNames, parent) {
    backupFirst_ = new QCheckBox(tr("&Back up the register first"), this);
    backupFirst_->setObjectName("BackupFirstCheck");
    needsKind_ = true;
    backupFirst_->setToolTip(tr("Before sending, read everything the register holds into a "
                                "backup; nothing is sent when that fails"));
    AddOption(backupFirst_);
    picker_ = new TRegisterPicker(this);
    AddOption(picker_);
    onlyChanges_ = new QCheckBox(tr("Send each register only what &differs from it"), this);
    onlyChanges_->setObjectName("OnlyChangesCheck");
    onlyChanges_->setToolTip(tr("Each register is compared with the document first, and only "
                                "the blocks that differ are sent"));
    AddOption(onlyChanges_);
    onlyChanges_->hide();
    // Sending only the changes reads the register first already.
    connect(onlyChanges_, &QCheckBox::toggled, backupFirst_, &QWidget::setDisabled);
    connect(backupFirst_, &QCheckBox::toggled, onlyChanges_, &QWidget::setDisabled);
}

bool TDownloadDlg::BackupFirst() const {
    return backupFirst_->isChecked();
}

bool TDownloadDlg::OnlyChanges() const {
    return onlyChanges_->isVisible() && onlyChanges_->isChecked();
}

void TDownloadDlg::showEvent(QShowEvent* event) {
    onlyChanges_->setVisible(picker_->isVisibleTo(this));
    if (!picker_->isVisibleTo(this))
        onlyChanges_->setChecked(false);
    if (!event->spontaneous())
        backupFirst_->setChecked(BackupBeforeDownload());
    TTransferRangeDlg::showEvent(event);
}

void TDownloadDlg::accept() {
    TTransferRangeDlg::accept();
    // An invalid range keeps the dialog open and nothing is remembered yet.
    if (isHidden() && backupFirst_->isChecked() != BackupBeforeDownload() &&
        !SetBackupBeforeDownload(backupFirst_->isChecked()))
        ShowSystemCfgWriteError(parentWidget(), errno);
}

TCompareDlg::TCompareDlg(QWidget* parent)
    : TTransferRangeDlg("CompareDlg",
                        QT_TRANSLATE_NOOP("TTransferRangeDlg", "Compare with register"),
                        DownloadKindNames, parent) {
    // A comparison changes nothing: every kind is offered ticked, then the last choice.
    ticked_ = AllKinds;
}

void TCompareDlg::accept() {
    TTransferRangeDlg::accept();
    if (isHidden())
        ticked_ = Checked();
}

TUploadDlg::TUploadDlg(QWidget* parent)
    : TTransferRangeDlg("UploadDlg", QT_TRANSLATE_NOOP("TTransferRangeDlg", "Upload data"),
                        UploadKindNames, parent) {
    // The lines the layout carries until the first opening puts the four kinds there.
    checkList_->addItems({"PLU", "Department"});
    needsKind_ = true;
}

QSpinBox* PluRangeSpin(const char* name, int value, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(MinPluRange, MaxPluRange);
    spin->setValue(value);
    // An emptied field confirmed with Enter reads as the minimum.
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setMaxLength(5);
    return spin;
}
