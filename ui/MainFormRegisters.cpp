// The main window and the shop's registers: the chooser on the tool bar (every command acts on
// the chosen register), Communication, "Registers...", and the commands for several registers at
// once, each register's job a quorve-plu-cli of its own, shown in the results window.
#include "MainForm.h"

#include "AtomicFile.h"
#include "Backup.h"
#include "CodePage.h"
#include "DocumentFile.h"
#include "ErrorBox.h"
#include "HistoryStore.h"
#include "Ini.h"
#include "JobsForm.h"
#include "Journal.h"
#include "RegisterJobs.h"
#include "RegisterPicker.h"
#include "RegistersDlg.h"
#include "Settings.h"
#include "Status.h"
#include "TolvIBus.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>

#include <cerrno>
#include <cstring>

namespace {

const char* const ChoiceSection = "Registers";
const char* const ChoiceKey = "Chosen";

// The program's own settings file, where the choice of register is kept: not the register's.
std::string MainSettingsPath() {
    return SettingsDir + "SYSTEM.CFG";
}

QString KindsArgument(KindSet kinds) {
    static const char* const names[] = {"plu", "dept", "recy", "param"};
    QStringList list;
    for (size_t i = 0; i < kinds.size(); ++i)
        if (kinds.test(i))
            list << names[i];
    return list.join(',');
}

// When the journal last saw the register answer: the newest entry on its device that gave an
// identification, its own where the list knows it (registers on one adapter share the device).
QString LastContact(THistoryStore* store, const TRegister& reg) {
    if (!store || !store->IsOpen())
        return {};
    const std::string key = PortKey(PortOf(reg));
    const QString id = DocumentCodePage().ToUnicode(reg.identification).trimmed();
    TJournalFilter filter;
    filter.limit = 1000;
    QString error;
    for (const TJournalEntry& entry : ListJournal(*store, filter, &error)) {
        if (entry.registerName.isEmpty() || entry.device.isEmpty())
            continue;
        if (!id.isEmpty() && entry.registerName.trimmed() != id)
            continue;
        if (PortKey({{}, entry.device.toLocal8Bit().toStdString(), 0}) == key)
            return QLocale().toString(entry.ended.isValid() ? entry.ended : entry.started,
                                      QLocale::ShortFormat);
    }
    return {};
}

} // namespace

void TMainForm::AddRegisterItems(QMenu* comm) {
    auto item = [this, comm](QAction*& action, const char* name, const QString& text,
                             void (TMainForm::*click)()) {
        action = comm->addAction(text);
        action->setObjectName(name);
        action->setParent(this);
        connect(action, &QAction::triggered, this, click);
    };
    comm->addSeparator();
    item(RegistersItem, "RegistersItem", tr("Re&gisters..."), &TMainForm::RegistersItemClick);
    item(UploadReportsItem, "UploadReportsItem", tr("Upload reports &from registers..."),
         &TMainForm::UploadReportsItemClick);
    item(BackupRegistersItem, "BackupRegistersItem", tr("Bac&k up registers..."),
         &TMainForm::BackupRegistersItemClick);
}

void TMainForm::CreateRegisterWindows() {
    cliPath = QCoreApplication::applicationDirPath() + "/quorve-plu-cli";
    RegistersDlg = new TRegistersDlg(this);
    AddTextWindow(RegistersDlg);
    JobsForm = new TJobsForm(this);
    AddTextWindow(JobsForm);
    RegisterPickDlg = new TRegisterPickDlg(this);
    AddTextWindow(RegisterPickDlg);
    RegistersDlg->listChanged = [this](const std::string& from, const std::string& to) {
        if (!from.empty() && from == chosenRegister_)
            chosenRegister_ = to;
        LoadRegisters();
    };

    auto* label = new QLabel(tr(" Register: "), mainToolBar_);
    label->setObjectName("RegisterLbl");
    RegisterBox = new QComboBox(mainToolBar_);
    RegisterBox->setObjectName("RegisterBox");
    RegisterBox->setToolTip(tr("The register every command talks to"));
    RegisterBox->setMinimumContentsLength(12);
    RegisterBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    label->setBuddy(RegisterBox);
    auto* holder = new QWidget(mainToolBar_);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(label);
    layout->addWidget(RegisterBox);
    mainToolBar_->addSeparator();
    registerBoxAction_ = mainToolBar_->addWidget(holder);
    connect(RegisterBox, &QComboBox::activated, this, [this](int index) {
        const std::string name = RegisterBox->itemText(index).toStdString();
        if (name != chosenRegister_)
            ChooseRegister(name);
    });
}

void TMainForm::LoadRegisters() {
    if (const std::string problem = registers_.Load(); !problem.empty())
        QMessageBox::warning(this, windowTitle(), QString::fromLocal8Bit(problem));
    std::string name = chosenRegister_;
    if (name.empty())
        name = IniReadString(MainSettingsPath(), ChoiceSection, ChoiceKey, "");
    if (!registers_.Find(name))
        name = registers_.Empty() ? std::string() : registers_.Registers().front().name;
    else
        name = registers_.Find(name)->name;
    {
        const QSignalBlocker quiet(RegisterBox);
        RegisterBox->clear();
        for (const TRegister& reg : registers_.Registers())
            RegisterBox->addItem(QString::fromStdString(reg.name));
    }
    // One register and no list looks exactly as it always has.
    registerBoxAction_->setVisible(!registers_.Empty());
    UploadReportsItem->setVisible(!registers_.Empty());
    BackupRegistersItem->setVisible(!registers_.Empty());
    ChooseRegister(name);
}

void TMainForm::ChooseRegister(const std::string& name) {
    const TRegister* reg = registers_.Find(name);
    const bool changed = (reg ? reg->name : std::string()) != chosenRegister_;
    chosenRegister_ = reg ? reg->name : std::string();
    if (!reg) {
        SetSystemCfgPath({});
        TolvIBusComm1->TraceFile = StateDir + "DEBUG.LOG";
        backupRoot = DefaultBackupRoot();
        Status1->SetCaption({});
    } else {
        SetSystemCfgPath(reg->SettingsPath());
        const std::string trace = RegisterTraceDir(reg->name);
        MakeDirectories(trace, 0700);
        TolvIBusComm1->TraceFile = trace + "DEBUG.LOG";
        backupRoot = RegisterBackupRoot(DefaultBackupRoot(), reg->name);
        RegisterBox->setCurrentIndex(RegisterBox->findText(QString::fromStdString(reg->name)));
        const TRegisterPort port = PortOf(*reg);
        Status1->SetCaption(QString::fromStdString(reg->name) + ": " +
                            QString::fromLocal8Bit(port.name) + " (" +
                            QString::fromLocal8Bit(port.device) + ")");
        if (changed && IniReadString(MainSettingsPath(), ChoiceSection, ChoiceKey, "") != name &&
            !IniWriteString(MainSettingsPath(), ChoiceSection, ChoiceKey, reg->name))
            ShowSystemCfgWriteError(this, errno);
    }
    ReadCommSettings();
    UpdateCaption();
    // A register with a document of its own brings it along, asking first about unsaved work.
    if (changed && reg && !reg->document.empty() && reg->document != FileName() &&
        ConfirmDiscard()) {
        NewDocument();
        LoadDocument(reg->document);
    }
}

QStringList TMainForm::JobArgs() const {
    // Every job keeps its journal entry (and a report its text) where the window keeps its own.
    QStringList args = jobArgs;
    if (HistoryStore() && !HistoryStore()->Path().empty() && !args.contains("--history"))
        args << "--history" << QString::fromLocal8Bit(HistoryStore()->Path());
    return args;
}

void TMainForm::RegistersItemClick() {
    RegistersDlg->cliPath = cliPath;
    RegistersDlg->commonArgs = JobArgs();
    RegistersDlg->lastContact = [this](const TRegister& reg) {
        return LastContact(HistoryStore(), reg);
    };
    RegistersDlg->Execute(SystemCfgPath());
    LoadRegisters();
}

bool TMainForm::DownloadToRegisters() {
    if (registers_.Empty())
        return false;
    const std::vector<std::string> names = DownloadDlg->Picker()->Ticked();
    if (names == std::vector<std::string>{chosenRegister_} && !DownloadDlg->OnlyChanges())
        return false; // the chosen register alone, as always
    if (names.empty()) {
        QMessageBox::information(this, windowTitle(), tr("Tick the registers to send to."));
        return true;
    }
    if (DownloadDlg->Kinds().none()) {
        QMessageBox::information(this, windowTitle(), tr("Tick the kinds of data to send."));
        return true;
    }
    // The document as it stands now goes to every register, also when retried: a saved file
    // as it is, otherwise a copy.
    std::string document = FileName();
    if (Modified() || document.empty()) {
        jobDocument_ = std::make_unique<QTemporaryDir>();
        const QString base = document.empty()
                                 ? QString("document.PLU")
                                 : QFileInfo(QString::fromLocal8Bit(document)).fileName();
        document = jobDocument_->filePath(base).toLocal8Bit().toStdString();
        std::string failed;
        if (const int error = WriteDocumentFiles(document, PLUModel()->Table(),
                                                 DeptModel()->Table(), Recy(), &failed)) {
            QMessageBox box(QMessageBox::Critical, windowTitle(),
                            tr("The document to send could not "
                               "be written."),
                            QMessageBox::Ok, this);
            box.setInformativeText(QString::fromLocal8Bit(failed) + ": " +
                                   QString::fromLocal8Bit(std::strerror(error)));
            box.exec();
            return true;
        }
    }
    QStringList command{
        "download", QString::fromLocal8Bit(document),
        "--kinds",  KindsArgument(DownloadDlg->Kinds()),
        "--range",  QString("%1-%2").arg(DownloadDlg->RangeBegin()).arg(DownloadDlg->RangeEnd())};
    if (DownloadDlg->OnlyChanges())
        command << "--changed";
    else if (DownloadDlg->BackupFirst())
        command << "--backup-first";
    RunOnRegisters(names, command, tr("Download to registers"));
    return true;
}

void TMainForm::UploadReportsItemClick() {
    if (!RegisterPickDlg->Execute(tr("Upload reports from registers"), registers_, chosenRegister_))
        return;
    RunOnRegisters(RegisterPickDlg->Picker()->Ticked(), {"report"},
                   tr("Upload reports from registers"), true);
}

void TMainForm::BackupRegistersItemClick() {
    if (!RegisterPickDlg->Execute(tr("Back up registers"), registers_, chosenRegister_))
        return;
    RunOnRegisters(RegisterPickDlg->Picker()->Ticked(), {"backup"}, tr("Back up registers"));
}

void TMainForm::RunOnRegisters(const std::vector<std::string>& names, const QStringList& command,
                               const QString& title, bool reports) {
    std::string problem;
    const std::vector<TRegister> chosen = registers_.Select({names, {}, false}, &problem);
    if (!problem.empty()) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(problem));
        return;
    }
    TJobRunner runner(cliPath, JobArgs() + command);
    JobsForm->showReport = nullptr;
    if (reports)
        JobsForm->showReport = [this](const TJob& job) {
            RptEd()->setPlainText(job.result.value("report").toString());
        };
    JobsForm->Run(runner, TJobRunner::JobsFor(chosen), title);
    // What each register answered with is in the list now.
    LoadRegisters();
}
