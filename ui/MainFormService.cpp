// The main window's service commands: link test, port detection, report upload, printing,
// memory dump, program and font download.
#include "MainForm.h"

#include "CodePage.h"
#include "DataDlg.h"
#include "DetectPortDlg.h"
#include "LinkTest.h"
#include "MemoryDump.h"
#include "PrinterJob.h"
#include "ProgramLoad.h"
#include "ProgressForm.h"
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

    chooseProgramFile = [this] { return OpenExistingFile(this, "Binary Files (*.hex)", "hex"); };
    chooseFontFile = [this] { return OpenExistingFile(this, "Font Files (*.fnt)", "fnt"); };
    // The desktop's viewer for text files; it runs on its own, nothing waits for it.
    openListing = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    openPrinter = [](QString& error) { return OpenDefaultPrinter(error); };
    choosePrinter = [this] {
        QString name = "PLU list";
        if (!FileName().empty())
            name = QFileInfo(QString::fromLocal8Bit(FileName())).completeBaseName();
        return ChoosePrinter(this, name);
    };

    // The report button stays hidden and does nothing; the menu item and F7 upload the report.
    auto* reportBtn = new QToolButton(mainToolBar_);
    reportBtn->setObjectName("ReportBtn");
    reportBtn->setToolTip("Upload report");
    reportBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    reportBtn->setAutoRaise(true);
    mainToolBar_->addWidget(reportBtn)->setVisible(false);
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
    if (RunLinkTest(*TolvIBusComm1, *ProgressForm, ConfiguredPort()) == TFlowResult::Done)
        ShowMessage(TestDoneText(clock.elapsed()));
}

void TMainForm::DetectportItemClick() {
    DetectPortDlg->Execute();
}

void TMainForm::UploadRPItemClick() {
    std::string report;
    if (UploadReport(*TolvIBusComm1, *ProgressForm, ConfiguredPort(), report) == TFlowResult::Done)
        // The register's bytes are text, never markup.
        RptEd()->setPlainText(DocumentCodePage().ToUnicode(report));
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
    DataDlg->setWindowTitle("Upload data range");
    if (DataDlg->exec() != QDialog::Accepted)
        return;
    const std::optional<MemoryRange> range = DataDlg->Range();
    if (!range) {
        QApplication::beep();
        return;
    }
    ::DumpRegisterMemory(*TolvIBusComm1, *ProgressForm, ConfiguredPort(), *range,
                         MemoryDumpFiles(StateDir), openListing, [this](const std::string& text) {
                             QMessageBox::critical(this, "Error", QString::fromStdString(text));
                         });
}

namespace {

TFileMessages FileMessages(QWidget* parent) {
    TFileMessages messages;
    messages.Beep = [] { QApplication::beep(); };
    messages.ShowError = [parent](const std::string& text) {
        QMessageBox::critical(parent, "Error", QString::fromStdString(text));
    };
    return messages;
}

} // namespace

void TMainForm::DownloadProgram() {
    const QString path = chooseProgramFile();
    if (path.isEmpty())
        return;
    ::DownloadProgram(*TolvIBusComm1, *ProgressForm, ConfiguredPort(), path.toStdString(),
                      FirstProgramBlock, FileMessages(this));
}

void TMainForm::DownloadFontItemClick() {
    const QString path = chooseFontFile();
    if (path.isEmpty())
        return;
    DownloadFont(*TolvIBusComm1, *ProgressForm, ConfiguredPort(), path.toStdString(),
                 FileMessages(this));
}
