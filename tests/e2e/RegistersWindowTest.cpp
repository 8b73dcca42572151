// The window program with a register list, against simulated registers: the chooser, the
// download to four registers at once with "Retry failed", registers sharing a port, and the
// Registers dialog (adding with detection, Test all, renaming, removing).
#include "AddRegisterDlg.h"
#include "FakeSerialTree.h"
#include "JobModel.h"
#include "JobsForm.h"
#include "MainForm.h"
#include "RegisterJobs.h"
#include "RegisterPicker.h"
#include "RegisterRig.h"
#include "RegistersDlg.h"
#include "Settings.h"
#include "Status.h"
#include "TempDir.h"

#include "Backup.h"
#include "DocumentFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>

namespace {

// Acts on modal windows as a user would: each step runs when the one before it is done. A step
// that opens a modal window is done once it clicked: the steps after it run in that window's
// event loop (a QTimer does not fire again while its own slot is still running, so each tick is
// a single shot of its own).
class Steps : public QObject {
public:
    Steps() { Tick(); }
    void Add(std::function<bool()> step) { steps_.push_back(std::move(step)); }
    bool AllDone() const { return next_ == steps_.size(); }

private:
    void Tick() {
        QTimer::singleShot(10, this, [this] { Tick(); });
        if (next_ >= steps_.size())
            return;
        const size_t i = next_;
        next_ = i + 1;
        if (!steps_[i]() && next_ == i + 1)
            next_ = i;
    }

    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
};

struct RegistersWindow : ::testing::Test {
    TRegisterRig rig;
    std::array<std::string, 3> places{ProgramDir, SettingsDir, StateDir};
    std::unique_ptr<TMainForm> form;
    const TRegisterState fresh = TRegisterState::Default();

    void SetUp() override {
        ASSERT_TRUE(rig.Prepare(QPLU_CLI_PATH));
        SetProgramDir(rig.dir.path().toStdString());
        SetSystemCfgPath({});
    }
    void TearDown() override {
        form.reset();
        SetSystemCfgPath({});
        ProgramDir = places[0];
        SettingsDir = places[1];
        StateDir = places[2];
    }
    void Open() {
        form.reset();
        form = std::make_unique<TMainForm>();
        form->cliPath = rig.cli;
    }
    static QString Till(int n) { return QString("Till-%1").arg(n); }
    QString Cell(int row, int column) {
        TJobModel* model = form->JobsForm->Model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
};

TEST_F(RegistersWindow, TheChosenRegisterIsEveryCommandsAndTheTitleAndStatusBarNameIt) {
    Open();
    form->show();
    EXPECT_FALSE(form->RegisterBox->isVisible()) << "no list, no chooser";
    EXPECT_FALSE(form->UploadReportsItem->isVisible());
    EXPECT_EQ(form->windowTitle(), "Quorve PLU manager");
    EXPECT_EQ(SystemCfgPath(), rig.Path("SYSTEM.CFG"));

    ASSERT_EQ(rig.Run({"registers", "add", "Till-1", "--port", "COM1", "--baud", "9600"}).exit, 0);
    ASSERT_EQ(rig.Run({"registers", "add", "Till-2", "--port", "COM3", "--baud", "115200"}).exit,
              0);
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    plu.Cell(1, 2) = "TILL ONE'S OWN";
    ASSERT_EQ(WriteDocumentFiles(rig.Path("till1.PLU"), plu, dept, recy), 0);
    IniWriteString(rig.Path("registers/Till-1/REGISTER.CFG"), "Register", "Document",
                   rig.Path("till1.PLU"));
    IniWriteString(rig.Path("SYSTEM.CFG"), "Registers", "Chosen", "Till-2");
    Open();
    form->show(); // the tool bar lays its widgets out when shown
    EXPECT_TRUE(form->RegisterBox->isVisible());
    EXPECT_EQ(form->RegisterBox->count(), 2);
    EXPECT_EQ(form->ChosenRegister(), "Till-2") << "the choice of the last run";
    EXPECT_EQ(SystemCfgPath(), rig.Path("registers/Till-2/SYSTEM.CFG"));
    EXPECT_EQ(PortNumber, 3);
    EXPECT_EQ(BaudIndex, 4);
    EXPECT_EQ(form->windowTitle(), "Quorve PLU manager - Till-2");
    EXPECT_TRUE(form->Status1->Caption().startsWith("Till-2: COM3 ("))
        << form->Status1->Caption().toStdString();
    EXPECT_EQ(form->backupRoot, DefaultBackupRoot() + "/Till-2");

    emit form->RegisterBox->activated(0);
    EXPECT_EQ(SystemCfgPath(), rig.Path("registers/Till-1/SYSTEM.CFG"));
    EXPECT_EQ(PortNumber, 1);
    EXPECT_EQ(BaudIndex, 0);
    EXPECT_EQ(form->PLUModel()->Table().Cell(1, 2), "TILL ONE'S OWN") << "its own document";
    EXPECT_EQ(form->windowTitle().toStdString(),
              "Quorve PLU manager~[" + rig.Path("till1.PLU") + "] - Till-1");
    EXPECT_EQ(IniReadString(rig.Path("SYSTEM.CFG"), "Registers", "Chosen", ""), "Till-1");
    EXPECT_EQ(IniReadInteger(rig.Path("SYSTEM.CFG"), "Comm", "Port", 0), 2)
        << "today's settings are not the register's";
}

// Four registers take one document at once; the one that hangs up midway is named with its
// error, the others are done, and "Retry failed" completes it once it is back.
TEST_F(RegistersWindow, SendsToFourRegistersAtOnceAndRetryFailedCompletesTheOneThatHungUp) {
    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(
            rig.StartSim(i, i == 3 ? QStringList{"--hangup-after", "40"} : QStringList{}, &fresh));
        ASSERT_EQ(rig.Add(Till(i), i).exit, 0);
    }
    Open();
    form->FillTestData();
    QString firstSummary, secondSummary, failedState, failedError;
    Steps steps;
    steps.Add([&] {
        TDownloadDlg* dlg = form->DownloadDlg;
        if (!dlg->isVisible())
            return false;
        EXPECT_TRUE(dlg->Picker()->isVisible());
        EXPECT_EQ(dlg->Picker()->Ticked(), std::vector<std::string>{"Till-1"});
        dlg->findChild<QListWidget*>("CheckListBox1")->item(0)->setCheckState(Qt::Checked);
        dlg->findChild<QSpinBox*>("RangeEndEdit")->setValue(900);
        for (int i = 2; i <= 4; ++i)
            QTest::mouseClick(dlg->Picker()->RegisterBox(Till(i).toStdString()), Qt::LeftButton);
        QTest::mouseClick(dlg->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        return true;
    });
    steps.Add([&] { return form->JobsForm->isVisible() && form->JobsForm->CloseBtn->isEnabled(); });
    steps.Add([&] {
        firstSummary = form->JobsForm->Summary();
        failedState = Cell(2, TJobModel::State);
        failedError = Cell(2, TJobModel::Error);
        EXPECT_TRUE(rig.StartSim(3));
        QTest::mouseClick(form->JobsForm->RetryBtn, Qt::LeftButton);
        return true;
    });
    steps.Add([&] { return form->JobsForm->CloseBtn->isEnabled(); });
    steps.Add([&] {
        secondSummary = form->JobsForm->Summary();
        QTest::mouseClick(form->JobsForm->CloseBtn, Qt::LeftButton);
        return true;
    });
    form->DownloadItemClick();
    ASSERT_TRUE(steps.AllDone());
    EXPECT_EQ(firstSummary, "3 of 4 done, 1 failed.");
    EXPECT_EQ(failedState, "Failed");
    EXPECT_FALSE(failedError.isEmpty());
    EXPECT_EQ(secondSummary, "4 of 4 done.");
    ASSERT_TRUE(form->SaveDocument(rig.Path("sent.PLU")));
    const TRigRun compare =
        rig.Run({"compare", "sent.PLU", "--all", "--kinds", "plu", "--range", "1-900"});
    EXPECT_EQ(compare.exit, 0) << compare.err.toStdString();
}

// Two registers on one adapter: each is asked for before its job, one after the other.
TEST_F(RegistersWindow, RegistersOnOnePortAreAskedForOneAfterAnother) {
    ASSERT_TRUE(rig.StartSim(1, {}, &fresh));
    ASSERT_EQ(rig.Add("Till-1", 1).exit, 0);
    ASSERT_EQ(rig.Add("Till-1b", 1).exit, 0);
    Open();
    QStringList questions;
    form->JobsForm->askTurn = [&](const QString& question, std::function<void(bool)> answer) {
        questions << question;
        QTimer::singleShot(20, [answer] { answer(true); });
    };
    QString summary;
    Steps steps;
    steps.Add([&] { return form->JobsForm->isVisible() && form->JobsForm->CloseBtn->isEnabled(); });
    steps.Add([&] {
        summary = form->JobsForm->Summary();
        QTest::mouseClick(form->JobsForm->CloseBtn, Qt::LeftButton);
        return true;
    });
    form->RunOnRegisters({"Till-1", "Till-1b"}, {"test"}, "Test registers");
    EXPECT_EQ(summary, "2 of 2 done.");
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].startsWith("Connect the register \"Till-1\" to "))
        << questions[0].toStdString();
    EXPECT_TRUE(questions[1].startsWith("Connect the register \"Till-1b\" to "));
    EXPECT_EQ(form->Registers().Find("Till-1b")->identification, "QUORVE SIM ECR 1.0");
}

// The first register takes today's settings; detection finds a register on a free adapter;
// Test all says which answer; rename and remove follow.
TEST_F(RegistersWindow, RegistersDialogAddsTestsRenamesAndRemoves) {
    ASSERT_TRUE(rig.StartSim(1, {}, &fresh));
    ASSERT_TRUE(rig.StartSim(2, {}, &fresh));
    IniWriteString(rig.Path("SYSTEM.CFG"), "Ports", "COM2", rig.Link(1));
    FakeSerialTree tree(rig.Path("machine"));
    const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio",
                 "usb-FTDI_FT232R_USB_UART_A1-if00-port0", ""});
    std::filesystem::remove(tree.Path("/dev/ttyUSB0"));
    std::filesystem::create_symlink(rig.Link(2), tree.Path("/dev/ttyUSB0"));
    Open();
    TRegistersDlg* dlg = form->RegistersDlg;
    TAddRegisterDlg* add = dlg->AddDlg;
    add->discoveryRoot = tree.Root();
    QString found, status1, status2;
    bool firstNoteShown = false;
    dlg->askText = [](const QString&, const QString&) { return std::optional<QString>("Back"); };
    dlg->askYes = [](const QString&) { return true; };
    Steps steps;
    steps.Add([&] { return dlg->isVisible(); });
    steps.Add([&] {
        QTest::mouseClick(dlg->AddBtn, Qt::LeftButton);
        return true;
    });
    steps.Add([&] {
        if (!add->isVisible())
            return false;
        firstNoteShown = add->FirstLbl->isVisible();
        add->NameEd->setText("Till 1"); // today's COM2, at today's rate
        QTest::mouseClick(add->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        return true;
    });
    steps.Add([&] {
        if (add->isVisible())
            return false;
        QTest::mouseClick(dlg->AddBtn, Qt::LeftButton);
        return true;
    });
    steps.Add([&] {
        if (!add->isVisible())
            return false;
        add->DetectBtnClick();
        found = add->FoundList->currentItem() ? add->FoundList->currentItem()->text() : QString();
        add->NameEd->setText("Till 2");
        add->GroupsEd->setText("Front");
        QTest::mouseClick(add->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        return true;
    });
    steps.Add([&] {
        if (add->isVisible())
            return false;
        QTest::mouseClick(dlg->TestAllBtn, Qt::LeftButton);
        return true;
    });
    steps.Add([&] { return dlg->Tests() && !dlg->Tests()->Running(); });
    steps.Add([&] {
        status1 = dlg->Table->item(0, TRegistersDlg::Status)->text();
        status2 = dlg->Table->item(1, TRegistersDlg::Status)->text();
        dlg->Table->selectRow(1);
        dlg->RenameClick(); // "Till 2" becomes "Back", the first of the list
        dlg->Table->selectRow(1);
        dlg->RemoveClick();
        QTest::mouseClick(dlg->CloseBtn, Qt::LeftButton);
        return true;
    });
    form->RegistersItemClick();
    ASSERT_TRUE(steps.AllDone());
    EXPECT_TRUE(firstNoteShown);
    EXPECT_TRUE(found.startsWith(QString::fromStdString(adapter) + ": QUORVE SIM ECR 1.0"))
        << found.toStdString();
    EXPECT_EQ(status1, "Answers");
    EXPECT_TRUE(status2.startsWith("No answer: ")) << "its adapter is in the test's tree only";

    const TRegisterList& list = form->Registers();
    ASSERT_EQ(list.Registers().size(), 1u);
    const TRegister& back = list.Registers()[0];
    EXPECT_EQ(back.name, "Back");
    EXPECT_EQ(back.groups, std::vector<std::string>{"Front"});
    EXPECT_EQ(PortOf(back).device, adapter);
    EXPECT_EQ(form->ChosenRegister(), "Back") << "the chosen one was removed";
    EXPECT_EQ(form->RegisterBox->count(), 1);
    EXPECT_TRUE(
        QDir(rig.dir.filePath("registers/.removed")).entryList({"Till 1_*"}, QDir::Dirs).size() ==
        1);
}

} // namespace
