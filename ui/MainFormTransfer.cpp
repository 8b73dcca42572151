// The main window's transfers of data with the register: Download data, Upload data and the
// parameters alone; the status bar says what went through.
#include "MainForm.h"

#include "RegisterPicker.h"

#include "FindBar.h"
#include "OperationRecorder.h"
#include "ProgressForm.h"
#include "Settings.h"
#include "StatusMessages.h"
#include "TolvIBus.h"
#include "TransferRangeDlg.h"
#include "Upload.h"

#include <QElapsedTimer>

TTransferContext TMainForm::TransferContext(KindSet kinds, const TTransferRangeDlg& range) {
    return {*TolvIBusComm1,     *ProgressForm,    *pluModel_,       *deptModel_,    recy_, kinds,
            range.RangeBegin(), range.RangeEnd(), ConfiguredPort(), SystemCfgPath()};
}

void TMainForm::DownloadItemClick() {
    // Text still being typed into a cell is part of what the user wants sent; a cell that is
    // not valid keeps its editor and the command does not start, as with Save.
    if (!ValidateActiveCell())
        return;
    DownloadDlg->SetKinds({});
    DownloadDlg->Picker()->SetRegisters(registers_, chosenRegister_);
    if (!DownloadDlg->Execute())
        return;
    if (!ConfirmDownloadProblems(DownloadDlg->Kinds(), DownloadDlg->RangeBegin(),
                                 DownloadDlg->RangeEnd()))
        return;
    if (DownloadToRegisters())
        return;
    if (DownloadDlg->BackupFirst() && !BackUpBeforeDownload())
        return;
    TTransferContext ctx = TransferContext(DownloadDlg->Kinds(), *DownloadDlg);
    RunTimedTransfer(ctx, QT_TRANSLATE_NOOP("StatusMessages", "Download"),
                     TransferOperation(operations::Download, ctx, fileName_), RunDownload);
}

void TMainForm::UploadItemClick() {
    // An open cell editor would otherwise write its text over the row the register sends.
    if (!ValidateActiveCell())
        return;
    if (!UploadDlg->Execute())
        return;
    // The upload replaces the whole document: unsaved work is asked about first, and Cancel
    // leaves it as it is.
    if (!ConfirmDiscard())
        return;
    NewDocument();
    TTransferContext ctx = TransferContext(UploadDlg->Kinds(), *UploadDlg);
    RunTimedTransfer(ctx, QT_TRANSLATE_NOOP("StatusMessages", "Upload"),
                     TransferOperation(operations::Upload, ctx), RunUpload);
    // The rows came from the register, not from the user's edits in a filtered view.
    findBar_->ForgetEdits();
}

void TMainForm::ParaDownloadKeyPress() {
    if (!paraExecute || !paraExecute())
        return;
    KindSet kinds;
    kinds.set(KindParameter);
    TTransferContext ctx = TransferContext(kinds, *DownloadDlg);
    RunTimedTransfer(ctx, QT_TRANSLATE_NOOP("StatusMessages", "Download"),
                     TransferOperation(operations::Download, ctx, SystemCfgPath()), RunDownload);
}

void TMainForm::RunTimedTransfer(TTransferContext& ctx, const char* word,
                                 const TOperationInfo& operation,
                                 TFlowResult (*flow)(TTransferContext&)) {
    ShowMessage({});
    QElapsedTimer clock;
    clock.start();
    const TFlowOutcome outcome = RunOperation(operation, [&](TOperationRecorder&) {
        return TFlowOutcome{flow(ctx), {}};
    });
    // A failure has been shown by the port's box or the progress window; Cancel needs no word.
    if (outcome.Done())
        ShowMessage(
            TransferDoneText(word, ctx.kinds, ctx.rangeBegin, ctx.rangeEnd, clock.elapsed()));
}
