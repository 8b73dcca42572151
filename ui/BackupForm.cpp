#include "BackupForm.h"

#include "CodePage.h"
#include "Counted.h"
#include "ErrorBox.h"
#include "TransferRangeDlg.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidgetItem* Cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

TBackupForm::TBackupForm(QWidget* parent) : QDialog(parent) {
    setObjectName("BackupForm");
    setWindowTitle(tr("Register backups"));
    setSizeGripEnabled(true);
    setWindowModality(Qt::WindowModal);

    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName("FolderLabel");
    folderLabel_->setTextFormat(Qt::PlainText);
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    list_ = new QTableWidget(0, 6, this);
    list_->setObjectName("BackupList");
    list_->setHorizontalHeaderLabels({tr("Date"), tr("Register"), tr("PLU range"),
                                      tr("Named items"), tr("Departments"), tr("Package prices")});
    const QString countTips[] = {tr("PLU items with a name"), tr("Departments with a name"),
                                 tr("Package prices other than 0")};
    for (int column = 3; column < 6; ++column)
        list_->horizontalHeaderItem(column)->setToolTip(countTips[column - 3]);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    // Every title and number whole; the register's identification takes what is left.
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &TBackupForm::UpdateButtons);
    connect(list_, &QTableWidget::itemActivated, this, [this] { RestoreClick(); });

    outcomeLabel_ = new QLabel(this);
    outcomeLabel_->setObjectName("OutcomeLabel");
    outcomeLabel_->setTextFormat(Qt::PlainText);
    outcomeLabel_->setWordWrap(true);

    fromEdit_ = PluRangeSpin("BackupFromEdit", MinPluRange, this);
    toEdit_ = PluRangeSpin("BackupToEdit", MaxPluRange, this);
    auto* fromLabel = new QLabel(tr("PLU &from:"), this);
    fromLabel->setBuddy(fromEdit_);
    auto* toLabel = new QLabel(tr("&to:"), this);
    toLabel->setBuddy(toEdit_);

    backupBtn_ = new QPushButton(tr("&Back up now"), this);
    backupBtn_->setObjectName("BackupBtn");
    restoreBtn_ = new QPushButton(tr("&Restore..."), this);
    restoreBtn_->setObjectName("RestoreBtn");
    closeBtn_ = new QPushButton(tr("&Close"), this);
    closeBtn_->setObjectName("CloseBtn");
    connect(backupBtn_, &QPushButton::clicked, this, &TBackupForm::BackupClick);
    connect(restoreBtn_, &QPushButton::clicked, this, &TBackupForm::RestoreClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fromLabel);
    buttons->addWidget(fromEdit_);
    buttons->addWidget(toLabel);
    buttons->addWidget(toEdit_);
    buttons->addWidget(backupBtn_);
    buttons->addStretch();
    buttons->addWidget(restoreBtn_);
    buttons->addWidget(closeBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel_);
    layout->addWidget(list_, 1);
    layout->addWidget(outcomeLabel_);
    layout->addLayout(buttons);
    resize(820, 380);
}

void TBackupForm::Execute(const std::string& root, bool restoring) {
    root_ = root;
    // The home folder as ~, as a shop's user knows it from the file manager.
    QString folder = QString::fromLocal8Bit(root);
    const QString home = QDir::homePath();
    if (folder.startsWith(home + "/"))
        folder = "~" + folder.mid(home.size());
    folderLabel_->setText(
        PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Backups in %1 (the newest %n are kept)"),
                 DefaultBackupsKept,
                 "Backups in %1 (the newest " + QString::number(DefaultBackupsKept) + " are kept)")
            .arg(folder));
    outcomeLabel_->clear();
    Refresh({});
    if (backups_.empty())
        outcomeLabel_->setText(tr("No backups yet."));
    if (restoring && !backups_.empty()) {
        list_->setFocus();
        restoreBtn_->setDefault(true);
    } else {
        list_->clearSelection();
        backupBtn_->setFocus();
        backupBtn_->setDefault(true);
    }
    UpdateButtons();
    exec();
}

const TBackupInfo* TBackupForm::Chosen() const {
    const int row = list_->currentRow();
    const bool chosen = row >= 0 && row < int(backups_.size()) && !list_->selectedItems().isEmpty();
    return chosen ? &backups_[size_t(row)] : nullptr;
}

void TBackupForm::Refresh(const std::string& chooseFolder) {
    backups_ = ListBackups(root_);
    list_->setRowCount(int(backups_.size()));
    const CodePage& cp = DocumentCodePage();
    int chosen = 0;
    for (int row = 0; row < int(backups_.size()); ++row) {
        const TBackupInfo& backup = backups_[size_t(row)];
        const TBackupManifest& m = backup.manifest;
        list_->setItem(row, 0, Cell(QString::fromStdString(m.date)));
        list_->setItem(row, 1, Cell(cp.ToUnicode(m.identification)));
        list_->setItem(row, 2, Cell(QString("%1-%2").arg(m.rangeBegin).arg(m.rangeEnd)));
        list_->setItem(row, 3, Cell(QString::number(m.namedPluItems), true));
        list_->setItem(row, 4, Cell(QString::number(m.departments), true));
        list_->setItem(row, 5, Cell(QString::number(m.packagePrices), true));
        if (backup.folder == chooseFolder)
            chosen = row;
    }
    if (!backups_.empty())
        list_->selectRow(chosen);
    UpdateButtons();
}

void TBackupForm::UpdateButtons() {
    restoreBtn_->setEnabled(Chosen() != nullptr && restore != nullptr);
    backupBtn_->setEnabled(backUp != nullptr);
}

void TBackupForm::BackupClick() {
    if (!backUp)
        return;
    if (toEdit_->value() < fromEdit_->value()) {
        QMessageBox box(QMessageBox::Information, tr("Information"), tr("Invalid PLU range"),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    TBackupInfo made;
    const TFlowOutcome outcome = backUp(fromEdit_->value(), toEdit_->value(), made);
    // The progress window has gone; the keyboard comes back here, not to the main window.
    activateWindow();
    Refresh(outcome.Done() ? made.folder : std::string());
    outcomeLabel_->setText(outcome.Done()
                               ? tr("Backup made in %1").arg(QString::fromLocal8Bit(made.folder))
                               : tr("No backup was made: %1").arg(OutcomeText(outcome)));
}

void TBackupForm::RestoreClick() {
    const TBackupInfo* chosen = Chosen();
    if (!chosen || !restore)
        return;
    const TBackupInfo backup = *chosen;
    const QString outcome = restore(backup);
    activateWindow();
    Refresh(backup.folder);
    outcomeLabel_->setText(outcome);
}
