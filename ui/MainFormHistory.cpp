// The main window's history: the file it keeps, where every exchange with a register starts
// and ends for the journal, and the report pane's own menu.
#include "MainForm.h"

#include "AtomicFile.h"
#include "BackgroundPush.h"
#include "CodePage.h"
#include "DocumentFile.h"
#include "HistoryForm.h"
#include "HistoryStore.h"
#include "Ini.h"
#include "Language.h"
#include "OperationRecorder.h"
#include "PrinterJob.h"
#include "ProgressForm.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QTextEdit>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// [History] Server and Shop of SYSTEM.CFG; nullopt when no usable server is set (why, if one
// is set but cannot be used, in *problem).
std::optional<THistoryServer> ConfiguredServer(QString* problem) {
    const QString address =
        QString::fromLocal8Bit(IniReadString(SystemCfgPath(), "History", "Server", "")).trimmed();
    if (address.isEmpty())
        return std::nullopt;
    if (!IsServerAddress(address.toLocal8Bit().toStdString())) {
        *problem = QCoreApplication::translate("TMainForm",
                                               "[History] Server is not a postgresql:// address");
        return std::nullopt;
    }
    return ParseServerAddress(address, problem);
}

QString ConfiguredShop() {
    return QString::fromLocal8Bit(IniReadString(SystemCfgPath(), "History", "Shop", ""));
}

} // namespace

bool TMainForm::OpenHistory(const std::string& path) {
    if (!historyStore_)
        historyStore_ = std::make_unique<THistoryStore>();
    historyToldOnce_ = false;
    // The window reads the store being replaced.
    delete historyForm_;
    historyForm_ = nullptr;
    historyFormStore_ = nullptr;
    historyPusher_.reset();
    historyServer_.reset();
    if (historyStore_->Open(path)) {
        historyStore_->SetShop(ConfiguredShop());
        QString problem;
        if (const std::optional<THistoryServer> server = ConfiguredServer(&problem)) {
            historyPusher_ = std::make_unique<THistoryPusher>(path, *server, ConfiguredShop());
            connect(historyPusher_.get(), &THistoryPusher::Pushed, this,
                    [this](qint64, const QString& problem) {
                        if (!problem.isEmpty() && problem != pushProblem_)
                            ShowMessage(tr("The history was not sent to the server (%1); it is "
                                           "kept here and sent later.")
                                            .arg(problem));
                        pushProblem_ = problem;
                    });
        } else if (!problem.isEmpty()) {
            std::fprintf(stderr, "quorve-plu: %s\n", problem.toLocal8Bit().constData());
        }
        return true;
    }
    // Told once: on stderr now, in the status bar when the window shows.
    std::fprintf(stderr, "quorve-plu: %s\n", HistoryProblem().toLocal8Bit().constData());
    if (isVisible())
        TellHistoryProblem();
    return false;
}

THistoryStore* TMainForm::ReadingHistory() {
    QString problem;
    const std::optional<THistoryServer> server = ConfiguredServer(&problem);
    if (!server)
        return historyStore_ && historyStore_->IsOpen() ? historyStore_.get() : nullptr;
    if (!historyServer_ || !historyServer_->IsOpen()) {
        historyServer_ = std::make_unique<THistoryStore>();
        if (!historyServer_->OpenServer(*server)) {
            ShowMessage(tr("The history server cannot be read: %1").arg(historyServer_->Problem()));
            return nullptr;
        }
    }
    return historyServer_.get();
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
    if (historyPusher_)
        historyPusher_->PushSoon();
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

void TMainForm::AddHistoryItem(QMenu* comm) {
    comm->addSeparator();
    HistoryItem = comm->addAction(tr("&History..."));
    HistoryItem->setObjectName("HistoryItem");
    HistoryItem->setParent(this);
    HistoryItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    HistoryItem->setShortcutContext(Qt::WindowShortcut);
    connect(HistoryItem, &QAction::triggered, this, &TMainForm::HistoryItemClick);
}

void TMainForm::HistoryItemClick() {
    // A chain's server when one is set (it names every shop), else this PC's file.
    QString problem;
    const bool server = ConfiguredServer(&problem).has_value();
    THistoryStore* store = ReadingHistory();
    if (!store) {
        if (!server)
            QMessageBox::warning(this, windowTitle(),
                                 historyStore_ ? HistoryProblem() : tr("No history file is open."));
        return;
    }
    if (historyForm_ && historyFormStore_ != store) {
        delete historyForm_;
        historyForm_ = nullptr;
    }
    historyFormStore_ = store;
    if (!historyForm_) {
        historyForm_ = new THistoryForm(*store, this);
        historyForm_->openPrinter = [this](QString& error) { return openPrinter(error); };
    } else {
        historyForm_->Reload();
    }
    historyForm_->show();
    historyForm_->raise();
    historyForm_->activateWindow();
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
