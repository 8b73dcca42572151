// The main window's service commands: link test, port detection, report upload, printing,
// memory dump, program and font download.
#include "MainForm.h"

#include "CodePage.h"
#include "DataDlg.h"
#include "DetectPortDlg.h"
#include "HistoryStore.h"
#include "Language.h"
#include "LinkTest.h"
#include "MemoryDump.h"
#include "OperationRecorder.h"
#include "PrinterJob.h"
#include "ProgramLoad.h"
#include "ProgressForm.h"
#include "ReportArchive.h"
#include "ReportUpload.h"
#include "Settings.h"
#include "StatusMessages.h"
#include "TolvIBus.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

QString OpenExistingFile(QWidget* parent, const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), ".", filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

void TMainForm::CreateServiceWindows() {
    DetectPortDlg = new TDetectPortDlg(this);
    AddTextWindow(DetectPortDlg);
    DataDlg = new TDataDlg(this);
    AddTextWindow(DataDlg);

    chooseProgramFile = [this] {
        return OpenExistingFile(this, tr("Binary Files (*.hex)"), "hex");
    };
    chooseFontFile = [this] { return OpenExistingFile(this, tr("Font Files (*.fnt)"), "fnt"); };
    // The desktop's viewer for text files; it runs on its own, nothing waits for it.
    openListing = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    openPrinter = [](QString& error) { return OpenDefaultPrinter(error); };
    choosePrinter = [this] {
        QString name = tr("PLU list");
        if (!FileName().empty())
            name = QFileInfo(QString::fromLocal8Bit(FileName())).completeBaseName();
        return ChoosePrinter(this, name);
    };

    // The report button stays hidden and does nothing; the menu item and F7 upload the report.
    auto* reportBtn = new QToolButton(mainToolBar_);
    reportBtn->setObjectName("ReportBtn");
    reportBtn->setToolTip(tr("Upload report"));
    reportBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    reportBtn->setAutoRaise(true);
    mainToolBar_->addWidget(reportBtn)->setVisible(false);

    // The search of the detection dialog is an operation with a register like any other.
    DetectPortDlg->runDetection = [this](const std::function<TFlowResult()>& detect) {
        RunOperation(
            {operations::Detect},
            [&](TOperationRecorder& recorder) {
                recorder.SetPort("COM1-COM4");
                const TFlowResult result = detect();
                if (result == TFlowResult::Done)
                    recorder.SetPort(DetectPortDlg->TolvIBusComm1->CommName());
                return TFlowOutcome{result, result == TFlowResult::RegisterFailed
                                                ? std::string(NotFoundText)
                                                : std::string()};
            },
            DetectPortDlg->TolvIBusComm1);
    };
}

void TMainForm::ConnectServiceCommands() {
    connect(TestItem, &QAction::triggered, this, &TMainForm::TestItemClick);
    connect(DetectportItem, &QAction::triggered, this, &TMainForm::DetectportItemClick);
    connect(UploadRPItem, &QAction::triggered, this, &TMainForm::UploadRPItemClick);
    connect(PrintItem, &QAction::triggered, this, &TMainForm::PrintItemClick);
    connect(DownloadFontItem, &QAction::triggered, this, &TMainForm::DownloadFontItemClick);
}

void TMainForm::TestItemClick() {
    ShowMessage({});
    QElapsedTimer clock;
    clock.start();
    const TFlowOutcome outcome = RunOperation({operations::Test}, [this](TOperationRecorder&) {
        return TFlowOutcome{RunLinkTest(*TolvIBusComm1, *ProgressForm, ConfiguredPort()), {}};
    });
    if (outcome.Done())
        ShowMessage(TestDoneText(clock.elapsed()));
}

void TMainForm::DetectportItemClick() {
    DetectPortDlg->Execute();
}

void TMainForm::UploadRPItemClick() {
    // The report is archived before the register is told to clear it; when it cannot be, the
    // register keeps it and the pane still shows it.
    TReportUpload upload;
    QString notArchived;
    const TFlowOutcome outcome =
        RunOperation({operations::Report}, [&](TOperationRecorder& recorder) {
            QString archived;
            const TFlowResult result =
                UploadReport(*TolvIBusComm1, *ProgressForm, ConfiguredPort(),
                             ArchiveKeeper(historyStore_.get(), &archived), upload);
            if (!archived.isEmpty()) {
                recorder.SetReport(archived);
                if (upload.cleared)
                    MarkReportCleared(*historyStore_, archived);
            }
            if (result != TFlowResult::Done || upload.notKept.empty())
                return TFlowOutcome{result, {}};
            notArchived = NotArchivedText(QString::fromStdString(upload.notKept));
            return TFlowOutcome{TFlowResult::FileFailed, notArchived.toLocal8Bit().toStdString()};
        });
    if (outcome.result == TFlowResult::Done || !notArchived.isEmpty())
        // The register's bytes are text, never markup.
        RptEd()->setPlainText(DocumentCodePage().ToUnicode(upload.text));
    if (!notArchived.isEmpty())
        QMessageBox::warning(this, windowTitle(), notArchived);
}

void TMainForm::PrintItemClick() {
    QString error;
    std::unique_ptr<QPrinter> printer = openPrinter(error);
    // Without a default printer the user picks a printer or a PDF file rather than being
    // stopped; Cancel there is the user's answer and needs no message.
    if (!printer)
        printer = choosePrinter();
    if (!printer)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TPrinterJob job(*printer);
    error = PrintPLUList(PLUModel()->Table(), job);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        QMessageBox::critical(this, windowTitle(), error);
}

void TMainForm::DumpRegisterMemory() {
    DataDlg->setWindowTitle(tr("Upload data range"));
    if (DataDlg->exec() != QDialog::Accepted)
        return;
    const std::optional<MemoryRange> range = DataDlg->Range();
    if (!range) {
        QApplication::beep();
        return;
    }
    RunOperation({operations::Dump}, [&](TOperationRecorder&) {
        return TFlowOutcome{::DumpRegisterMemory(*TolvIBusComm1, *ProgressForm, ConfiguredPort(),
                                                 *range, MemoryDumpFiles(StateDir), openListing,
                                                 [this](const std::string& text) {
                                                     QMessageBox::critical(
                                                         this, tr("Error"),
                                                         QString::fromLocal8Bit(text));
                                                 }),
                            {}};
    });
}

namespace {

TFileMessages FileMessages(QWidget* parent) {
    TFileMessages messages;
    messages.Beep = [] { QApplication::beep(); };
    messages.ShowError = [parent](const std::string& text) {
        QMessageBox::critical(parent, TMainForm::tr("Error"), PeopleText(text));
    };
    return messages;
}

} // namespace

void TMainForm::DownloadProgram() {
    const QString path = chooseProgramFile();
    if (path.isEmpty())
        return;
    RunOperation({operations::Program, std::nullopt, std::nullopt, path.toStdString()},
                 [&](TOperationRecorder&) {
                     return TFlowOutcome{::DownloadProgram(*TolvIBusComm1, *ProgressForm,
                                                           ConfiguredPort(), path.toStdString(),
                                                           FirstProgramBlock, FileMessages(this)),
                                         {}};
                 });
}

void TMainForm::DownloadFontItemClick() {
    const QString path = chooseFontFile();
    if (path.isEmpty())
        return;
    RunOperation({operations::Font, std::nullopt, std::nullopt, path.toStdString()},
                 [&](TOperationRecorder&) {
                     return TFlowOutcome{DownloadFont(*TolvIBusComm1, *ProgressForm,
                                                      ConfiguredPort(), path.toStdString(),
                                                      FileMessages(this)),
                                         {}};
                 });
}
