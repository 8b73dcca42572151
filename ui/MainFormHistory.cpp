// The main window's history: the file it keeps, where every exchange with a register starts
// and ends for the journal, and the report pane's own menu.
#include "MainForm.h"

#include "AtomicFile.h"
#include "CodePage.h"
#include "DocumentFile.h"
#include "HistoryStore.h"
#include "Language.h"
#include "OperationRecorder.h"
#include "PrinterJob.h"
#include "ProgressForm.h"
#include "TolvIBus.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QTextEdit>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool TMainForm::OpenHistory(const std::string& path) {
    if (!historyStore_)
        historyStore_ = std::make_unique<THistoryStore>();
    historyToldOnce_ = false;
    if (historyStore_->Open(path))
        return true;
    // Told once: on stderr now, in the status bar when the window shows.
    std::fprintf(stderr, "quorve-plu: %s\n", HistoryProblem().toLocal8Bit().constData());
    if (isVisible())
        TellHistoryProblem();
    return false;
}

QString TMainForm::HistoryProblem() const {
    return tr("The history is not kept: %1").arg(historyStore_->Problem());
}

void TMainForm::TellHistoryProblem() {
    if (historyToldOnce_ || !historyStore_ || historyStore_->IsOpen())
        return;
    historyToldOnce_ = true;
    ShowMessage(HistoryProblem());
}

TFlowOutcome TMainForm::RunOperation(const TOperationInfo& info,
                                     const std::function<TFlowOutcome(TOperationRecorder&)>& run,
                                     TTolvIBusComm* bus) {
    TTolvIBusComm& component = bus ? *bus : *TolvIBusComm1;
    ProgressForm->ForgetErrorText();
    TOperationRecorder recorder(historyStore_.get(), component, ConfiguredPort(), info);
    const TFlowOutcome outcome = run(recorder);
    QString error;
    if (outcome.result == TFlowResult::PortNotOpened)
        error = "Error opening " + QString::fromLocal8Bit(component.CommName()) + "!";
    else if (outcome.result == TFlowResult::FileFailed && !outcome.errorText.empty())
        error = QString::fromLocal8Bit(outcome.errorText);
    else
        error = DocumentCodePage().ToUnicode(ProgressForm->ErrorText());
    if (const QString problem = recorder.End(outcome.result, error); !problem.isEmpty()) {
        const QString text = tr("The journal entry was not written (%1).").arg(problem);
        std::fprintf(stderr, "quorve-plu: %s\n", text.toLocal8Bit().constData());
        ShowMessage(text);
    }
    return outcome;
}

QString TMainForm::CopyHistoryInto(const std::string& folder) {
    if (!historyStore_ || !historyStore_->IsOpen())
        return {};
    const QString problem = historyStore_->CopyTo(folder + "/history.sqlite");
    if (!problem.isEmpty())
        QMessageBox::warning(
            this, windowTitle(),
            tr("The history file was not copied into the backup (%1).").arg(problem));
    return problem;
}

void TMainForm::BuildReportMenu() {
    rptEd_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rptEd_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(rptEd_->createStandardContextMenu(at));
        menu->addSeparator();
        QAction* save = menu->addAction(tr("Save as..."), this, &TMainForm::SaveReportAs);
        save->setObjectName("SaveReportItem");
        QAction* print = menu->addAction(tr("Print"), this, &TMainForm::PrintReport);
        print->setObjectName("PrintReportItem");
        const bool empty = rptEd_->document()->isEmpty();
        save->setEnabled(!empty);
        print->setEnabled(!empty);
        menu->exec(rptEd_->viewport()->mapToGlobal(at));
    });
    chooseReportFile = [this] {
        QFileDialog dialog(this, QString(), ".", tr("Text files (*.txt)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("txt");
        dialog.setFileMode(QFileDialog::AnyFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
}

void TMainForm::SaveReportAs() {
    const QString path = chooseReportFile();
    if (path.isEmpty())
        return;
    const QByteArray bytes = rptEd_->toPlainText().toUtf8();
    if (!WriteFileAtomically(path.toLocal8Bit().toStdString(),
                             std::string_view(bytes.constData(), size_t(bytes.size())))) {
        const int error = errno;
        QMessageBox box(QMessageBox::Critical, windowTitle(), PeopleText(FileErrorText(error)),
                        QMessageBox::Ok, this);
        box.setInformativeText(path + ": " + QString::fromLocal8Bit(std::strerror(error)));
        box.exec();
        return;
    }
    ShowMessage(tr("The report was saved as %1.").arg(QFileInfo(path).fileName()));
}

void TMainForm::PrintReport() {
    QString error;
    std::unique_ptr<QPrinter> printer = openPrinter(error);
    if (printer) {
        // Line by line as the register wrote them, as the PLU list is printed.
        TPrinterJob job(*printer);
        bool printed = job.Begin();
        for (const QString& line : rptEd_->toPlainText().split('\n'))
            printed = printed && job.PrintLine(line);
        printed = printed && job.End();
        if (!printed)
            error = job.ErrorText();
    }
    if (!error.isEmpty())
        QMessageBox::critical(this, windowTitle(), error);
}
