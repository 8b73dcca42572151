// The main window's safety net around the register: the comparison of the document with it,
// sending only what differs, backups and their restore, and the backup before a download.
#include "MainForm.h"

#include "Backup.h"
#include "BackupForm.h"
#include "ChangedDownload.h"
#include "CodePage.h"
#include "CompareForm.h"
#include "Counted.h"
#include "ErrorBox.h"
#include "OperationRecorder.h"
#include "ProgressForm.h"
#include "StatusMessages.h"
#include "TolvIBus.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>

namespace {

void ShowFailure(QWidget* parent, const QString& text, const TFlowOutcome& outcome) {
    QMessageBox box(QMessageBox::Critical, parent->windowTitle(), text, QMessageBox::Ok, parent);
    box.setInformativeText(OutcomeText(outcome));
    box.exec();
}

bool Ask(QWidget* parent, const QString& question, const QString& details) {
    QMessageBox box(QMessageBox::Question, parent->windowTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText(details);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

void TMainForm::AddSafetyItems(QMenu* comm) {
    auto item = [this, comm](QAction*& action, const char* name, const QString& text,
                             void (TMainForm::*click)()) {
        action = comm->addAction(text);
        action->setObjectName(name);
        action->setParent(this);
        connect(action, &QAction::triggered, this, click);
    };
    comm->addSeparator();
    item(CompareItem, "CompareItem", tr("Co&mpare with register..."), &TMainForm::CompareItemClick);
    item(BackupItem, "BackupItem", tr("&Back up register..."), &TMainForm::BackupItemClick);
    item(RestoreItem, "RestoreItem", tr("&Restore register..."), &TMainForm::RestoreItemClick);
}

void TMainForm::CreateSafetyWindows() {
    backupRoot = DefaultBackupRoot();
    CompareDlg = new TCompareDlg(this);
    AddTextWindow(CompareDlg);
    CompareForm = new TCompareForm(this);
    BackupForm = new TBackupForm(this);

    CompareForm->sendChanges = [this](const TComparison& comparison, KindSet chosen) {
        TTransferContext ctx = TransferContext(comparison.kinds, *CompareDlg);
        ctx.rangeBegin = comparison.rangeBegin;
        ctx.rangeEnd = comparison.rangeEnd;
        return RunOperation(
            TransferOperation(operations::SendChanges, ctx, FileName()),
            [&](TOperationRecorder&) { return SendChanges(ctx, comparison, chosen); });
    };
    BackupForm->backUp = [this](int rangeBegin, int rangeEnd, TBackupInfo& made) {
        QElapsedTimer clock;
        clock.start();
        const TFlowOutcome outcome =
            BackUp({backupRoot, rangeBegin, rangeEnd, DefaultBackupsKept}, made);
        if (outcome.Done())
            ShowMessage(BackupDoneText(made.manifest, clock.elapsed()));
        return outcome;
    };
    BackupForm->restore = [this](const TBackupInfo& backup) { return RestoreFromBackup(backup); };
}

void TMainForm::CompareItemClick() {
    // Text still being typed into a cell is part of the document compared.
    if (!ValidateActiveCell())
        return;
    CompareDlg->SetKinds({});
    if (!CompareDlg->Execute())
        return;
    if (CompareDlg->Kinds().none()) {
        QMessageBox::information(this, windowTitle(), tr("Tick the kinds of data to compare."));
        return;
    }
    TTransferContext ctx = TransferContext(CompareDlg->Kinds(), *CompareDlg);
    TComparison comparison;
    QElapsedTimer clock;
    clock.start();
    const TFlowOutcome outcome =
        RunOperation(TransferOperation(operations::Compare, ctx),
                     [&](TOperationRecorder&) { return CompareWithRegister(ctx, comparison); });
    if (outcome.Done())
        ShowMessage(CompareDoneText(qint64(comparison.differences.size()), clock.elapsed()));
    // A register's failure has been shown in the progress window.
    if (outcome.result == TFlowResult::FileFailed)
        ShowFailure(this, tr("The register could not be compared."), outcome);
    if (outcome.Done())
        CompareForm->ShowComparison(comparison);
}

void TMainForm::BackupItemClick() {
    BackupForm->Execute(backupRoot, false);
}

void TMainForm::RestoreItemClick() {
    BackupForm->Execute(backupRoot, true);
}

TFlowOutcome TMainForm::BackUp(const TBackupRequest& request, TBackupInfo& made) {
    const TFlowOutcome outcome = RunOperation(
        {operations::Backup, AllKinds, std::pair(request.rangeBegin, request.rangeEnd)},
        [&](TOperationRecorder&) {
            return BackUpRegister(*TolvIBusComm1, *ProgressForm, ConfiguredPort(), request, made);
        });
    // The history goes into the backup too; one without it still holds the register's data.
    if (outcome.Done())
        CopyHistoryInto(made.folder);
    return outcome;
}

bool TMainForm::BackUpBeforeDownload() {
    TBackupInfo made;
    const TFlowOutcome outcome =
        BackUp({backupRoot, MinPluRange, MaxPluRange, DefaultBackupsKept}, made);
    if (outcome.Done() || outcome.result == TFlowResult::Cancelled)
        return outcome.Done();
    const QString notSent = tr("The register was not backed up, so nothing was sent.");
    // The port's box or the progress window has told the failure; a second box would only
    // repeat it. A file of the backup has not been told yet.
    if (outcome.result == TFlowResult::FileFailed)
        ShowFailure(this, notSent, outcome);
    else
        ShowMessage(notSent);
    return false;
}

QString TMainForm::RestoreFromBackup(const TBackupInfo& backup) {
    QWidget* parent = BackupForm->isVisible() ? static_cast<QWidget*>(BackupForm) : this;
    const CodePage& cp = DocumentCodePage();
    TBackupManifest manifest;
    if (const TFlowOutcome outcome = CheckBackup(backup.folder, manifest); !outcome.Done()) {
        ShowFailure(parent, tr("This backup cannot be restored."), outcome);
        return tr("Not restored: %1").arg(OutcomeText(outcome));
    }
    if (!Ask(parent, tr("Put this backup back on the register?"),
             BackupDescription(manifest) +
                 tr("\nWhat differs on the register is replaced by the backup's PLU items, "
                    "departments, package prices and parameters. Sales counters are not sent.")))
        return {};
    const auto sameRegister = [&](const TComparison& comparison) {
        return comparison.identification == manifest.identification ||
               Ask(parent, tr("This backup was made from another register. Restore it anyway?"),
                   tr("Backup: %1\nConnected: %2")
                       .arg(cp.ToUnicode(manifest.identification),
                            cp.ToUnicode(comparison.identification)));
    };
    TComparison comparison;
    QElapsedTimer clock;
    clock.start();
    const TFlowOutcome outcome =
        RunOperation({operations::Restore, AllKinds,
                      std::pair(manifest.rangeBegin, manifest.rangeEnd), backup.folder},
                     [&](TOperationRecorder&) {
                         return ::RestoreBackup(*TolvIBusComm1, *ProgressForm, ConfiguredPort(),
                                                backup.folder, sameRegister, comparison);
                     });
    if (outcome.Done()) {
        ShowMessage(RestoreDoneText(qint64(comparison.differences.size()), clock.elapsed()));
        const qsizetype sent = qsizetype(comparison.differences.size());
        return comparison.Equal()
                   ? tr("The register already held this backup; nothing was sent.")
                   : PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Restored the backup of %1: %n "
                                                            "differences were sent."),
                              sent,
                              "Restored the backup of %1: " + QString::number(sent) +
                                  (sent == 1 ? " difference was sent." : " differences were sent."))
                         .arg(QString::fromStdString(manifest.date));
    }
    if (outcome.result == TFlowResult::Cancelled)
        return tr("Not restored.");
    if (outcome.result == TFlowResult::FileFailed || outcome.refused)
        ShowFailure(parent, tr("This backup cannot be restored."), outcome);
    return tr("Not restored: %1").arg(OutcomeText(outcome));
}
