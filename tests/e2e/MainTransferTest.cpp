// The transfer commands of the main window against the simulated register: F9 and F6 through
// their range dialogs, the question about unsaved work before an upload, the parameters-only
// download of Ctrl+Alt+F4, and an upload whose port is missing.
#include "BackupForm.h"
#include "CompareForm.h"
#include "Ini.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "ParaDlg.h"
#include "TransferFixture.h"
#include "TransferRangeDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTreeView>

namespace {

std::string Text(const QString& text) {
    return text.toStdString();
}

class MainTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        TRegisterState initial = TRegisterState::Default();
        std::string error;
        ASSERT_TRUE(initial.ParseText("decimals 2\nplu 1 barcode=77 price=3.10 dept=1 stocks=0 "
                                      "flag=0 name=\"FROM REGISTER\"\n",
                                      &error))
            << error;
        ASSERT_TRUE(initial.Save(dir.Path("state.txt")));
        ASSERT_TRUE(
            sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(),
                      {"--rate", "0", "--state", QString::fromStdString(dir.Path("state.txt"))}));
        IniFile cfg(SystemCfgPath());
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteInteger("Comm", "BaudRate", 4);
        ASSERT_TRUE(cfg.Save());
        form = std::make_unique<TMainForm>();
        form->TolvIBusComm1->TimeScale = 0.25;
        form->TolvIBusComm1->ShowErrorBox = [this](const std::string& text, const ECommsError&) {
            boxes.push_back(text);
        };
        form->resize(1000, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override {
        form->SetModified(false);
        form.reset();
    }
    // A key to the main window, as the user presses it after any box has closed.
    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form->PLUGrid(), key, mods);
    }
    TRegisterState StoppedState() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState state;
        std::string error;
        EXPECT_TRUE(state.Load(dir.Path("state.txt"), &error)) << error;
        return state;
    }

    // Once the dialog is up: tick the lines, type the range, press OK.
    void AnswerRangeDialog(TTransferRangeDlg* dialog, std::vector<int> lines, int from, int to) {
        auto* timer = new QTimer(dialog);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, dialog, [=] {
            if (!dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            auto* list = dialog->findChild<QListWidget*>("CheckListBox1");
            for (int line : lines)
                list->item(line)->setCheckState(Qt::Checked);
            for (auto [name, value] : {std::pair{"RangeBeginEdit", from}, {"RangeEndEdit", to}}) {
                auto* spin = dialog->findChild<QSpinBox*>(name);
                spin->selectAll();
                QTest::keyClicks(spin, QString::number(value));
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        timer->start();
    }

    TempProgramDir dir;
    TSimProcess sim;
    std::unique_ptr<TMainForm> form;
    std::vector<std::string> boxes;
};

TEST_F(MainTransfer, F9SendsTheChosenRangeWhileTheWindowIsDisabled) {
    TGridModel* plu = form->PLUModel();
    for (int r = 1; r <= 12; ++r)
        plu->SetCell(r, 2, "ROW " + std::to_string(r));
    ProgressWatcher watcher(*form->ProgressForm);
    bool disabledWhileShown = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (form->ProgressForm->isVisible() && form->isEnabled())
            disabledWhileShown = false;
    });
    probe.start(2);
    AnswerRangeDialog(form->DownloadDlg, {0}, 5, 9);
    Press(Qt::Key_F9);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !watcher.titles.empty() && !form->ProgressForm->isVisible(); }));
    EXPECT_TRUE(disabledWhileShown);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(watcher.okPressed) << watcher.errorText;
    EXPECT_EQ(watcher.titles[2], "Download:PLU...");
    EXPECT_FALSE(form->TolvIBusComm1->isActive());
    EXPECT_TRUE(form->Message().startsWith("Download done: 5 items in ")) << Text(form->Message());

    const TRegisterState state = StoppedState();
    ASSERT_EQ(state.plu.size(), 6u); // 1 from before, 5 to 9 sent
    for (int r = 5; r <= 9; ++r)
        EXPECT_EQ(GetTextField(std::span(state.plu.at(r)).subspan(7, 18)),
                  "ROW " + std::to_string(r));
}

// Cells the grids would not take are asked about before they go to the register; problems
// outside what is sent are no reason to ask.
TEST_F(MainTransfer, F9AsksBeforeSendingCellsThatFailTheirCheck) {
    TGridModel* plu = form->PLUModel();
    plu->SetCell(2, 2, "TWICE");
    plu->SetCell(3, 2, "TWICE");
    plu->SetCell(20, 4, "9"); // beyond the range sent
    {
        ModalAnswer no(QMessageBox::No);
        AnswerRangeDialog(form->DownloadDlg, {0}, 1, 5);
        Press(Qt::Key_F9);
        EXPECT_TRUE(QTest::qWaitFor([&] { return no.Count() == 1; }));
        EXPECT_EQ(no.Text(), "The data to download has 2 problems that the grids would not take "
                             "as they stand.");
    }
    EXPECT_EQ(ReadFileBytes(dir.Path("DEBUG.LOG")), "") << "the port was never opened";

    ProgressWatcher watcher(*form->ProgressForm);
    {
        ModalAnswer yes(QMessageBox::Yes);
        AnswerRangeDialog(form->DownloadDlg, {0}, 1, 5);
        Press(Qt::Key_F9);
        EXPECT_EQ(yes.Count(), 1);
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !watcher.titles.empty() && !form->ProgressForm->isVisible(); }));
    EXPECT_FALSE(watcher.okPressed) << watcher.errorText;

    plu->SetCell(3, 2, "ONCE");
    ModalAnswer none(QMessageBox::Yes);
    AnswerRangeDialog(form->DownloadDlg, {0}, 1, 5);
    Press(Qt::Key_F9);
    EXPECT_EQ(none.Count(), 0) << "without problems nothing is asked";
    const TRegisterState state = StoppedState();
    EXPECT_EQ(GetTextField(std::span(state.plu.at(3)).subspan(7, 18)), "ONCE");
}

TEST_F(MainTransfer, TextStillBeingTypedIsSentAndNeverLandsOnAnUploadedRow) {
    TEditGrid* grid = form->PLUGrid();
    grid->setFocus();
    grid->SetCurrentCell(2, 2);
    ASSERT_TRUE(grid->ValidateActiveCell());
    QTest::keyClicks(grid, "TYPED");
    ASSERT_NE(grid->Editor(), nullptr);
    ASSERT_TRUE(grid->Editor()->isVisible());
    AnswerRangeDialog(form->DownloadDlg, {0}, 2, 2);
    QTest::keyClick(grid->Editor(), Qt::Key_F9);
    EXPECT_EQ(form->PLUModel()->Cell(2, 2), "TYPED");

    // The same typing before an upload: it is kept or discarded by the user's answer, and
    // never written over the row the register sent.
    grid->SetCurrentCell(1, 2);
    ASSERT_TRUE(grid->ValidateActiveCell());
    QTest::keyClicks(grid, "LATE");
    ModalAnswer discard(QMessageBox::No);
    AnswerRangeDialog(form->UploadDlg, {0}, 1, 4);
    QTest::keyClick(grid->Editor() ? static_cast<QWidget*>(grid->Editor()) : grid, Qt::Key_F6);
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form->PLUModel()->Cell(1, 2), "FROM REGISTER");
    EXPECT_FALSE(form->Modified());

    const TRegisterState state = StoppedState();
    EXPECT_EQ(GetTextField(std::span(state.plu.at(2)).subspan(7, 18)), "TYPED");
}

TEST_F(MainTransfer, UploadAsksBeforeItReplacesUnsavedWork) {
    TGridModel* plu = form->PLUModel();
    plu->SetCell(1, 2, "TYPED");
    form->SetModified(true);
    {
        ModalAnswer cancel(QMessageBox::Cancel);
        AnswerRangeDialog(form->UploadDlg, {0}, 1, 4);
        Press(Qt::Key_F6);
        EXPECT_TRUE(QTest::qWaitFor([&] { return cancel.Count() == 1; }));
        EXPECT_EQ(cancel.Text(), "File has not been saved,save it now?");
    }
    EXPECT_EQ(plu->Cell(1, 2), "TYPED");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(ReadFileBytes(dir.Path("DEBUG.LOG")), ""); // the port was never opened

    {
        ModalAnswer discard(QMessageBox::No);
        AnswerRangeDialog(form->UploadDlg, {0}, 1, 4);
        Press(Qt::Key_F6);
        EXPECT_TRUE(QTest::qWaitFor([&] { return discard.Count() == 1; }));
    }
    EXPECT_EQ(plu->Cell(1, 2), "FROM REGISTER");
    EXPECT_EQ(plu->Cell(1, 3), "3.10");
    EXPECT_EQ(plu->Cell(2, 2), ""); // an empty slot gives the default row
    EXPECT_TRUE(form->Message().startsWith("Upload done: 4 items in ")) << Text(form->Message());
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->FileName(), "");
    EXPECT_FALSE(form->TolvIBusComm1->isActive());
}

TEST_F(MainTransfer, UploadWithoutAPortStillResetsTheDocument) {
    IniWriteInteger(SystemCfgPath(), "Comm", "Port", 0);
    ReadCommSettings();
    form->PLUModel()->SetCell(3, 2, "OLD");
    AnswerRangeDialog(form->UploadDlg, {0, 1}, 1, 10);
    Press(Qt::Key_F6);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error opening COM0!\r\nplease select other ports.");
    EXPECT_EQ(form->Message(), "") << "nothing was done";
    EXPECT_EQ(form->PLUModel()->Cell(3, 2), "");
    EXPECT_FALSE(form->ProgressForm->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(MainTransfer, CtrlAltF4OpensTheParameterDialogAndItsOKSendsTheParameters) {
    QTimer okWhenShown;
    QObject::connect(&okWhenShown, &QTimer::timeout, [&] {
        if (!form->ParaDlg->isVisible())
            return;
        okWhenShown.stop();
        QTest::mouseClick(form->ParaDlg->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    okWhenShown.start(5);
    ProgressWatcher watcher(*form->ProgressForm);
    Press(Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(okWhenShown.isActive());
    ASSERT_FALSE(watcher.titles.empty());
    EXPECT_EQ(watcher.titles[2], "Download:parameter...");
    const TRegisterState state = StoppedState();
    EXPECT_TRUE(state.images.count({"param", 0}));
    EXPECT_TRUE(state.images.count({"param", 1}));
}

TEST_F(MainTransfer, CtrlAltF4SendsTheParametersAloneAfterTheDialogsOK) {
    form->PLUModel()->SetCell(1, 2, "NOT SENT");
    ASSERT_TRUE(IniWriteString(SystemCfgPath(), "Default", "Header2", "PARAMETERS ONLY"));
    int asked = 0;
    form->paraExecute = [&] { return ++asked > 1; }; // Cancel first, OK the second time
    Press(Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFileBytes(dir.Path("DEBUG.LOG")), "");
    ProgressWatcher watcher(*form->ProgressForm);
    Press(Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(asked, 2);
    const std::vector<std::string> titles{"Connect...", "Check ecr status...",
                                          "Download:parameter...", "Disconnect..."};
    EXPECT_EQ(watcher.titles, titles);
    EXPECT_TRUE(form->Message().startsWith("Download done: parameters in "))
        << Text(form->Message());

    const TRegisterState state = StoppedState();
    EXPECT_EQ(GetTextField(std::span(state.images.at({"param", 0})).subspan(45 + 32, 32)),
              "PARAMETERS ONLY");
    EXPECT_EQ(GetTextField(std::span(state.plu.at(1)).subspan(7, 18)), "FROM REGISTER");
}

// ---- Comparison and backups ----

// Runs `whileOpen` once the window is up; the window is closed afterwards.
void WhenShown(QDialog* window, std::function<void()> whileOpen) {
    auto* timer = new QTimer(window);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, window, [=] {
        if (!window->isVisible() || !window->isEnabled())
            return;
        timer->stop();
        timer->deleteLater();
        whileOpen();
        window->accept();
    });
    timer->start();
}

TEST_F(MainTransfer, CompareFromTheMenuListsTheDifferenceAndSendsOnlyIt) {
    form->PLUModel()->SetCell(1, 1, "0077"); // the register's 77: no difference
    form->PLUModel()->SetCell(1, 2, "FROM PC");
    form->PLUModel()->SetCell(1, 3, "3.1");
    ProgressWatcher watcher(*form->ProgressForm);
    QString summary;
    int rows = -1;
    WhenShown(form->CompareForm, [&] {
        // Only the PLU items go, whatever else differs.
        QAbstractItemModel* model =
            form->CompareForm->findChild<QTreeView*>("DifferenceTree")->model();
        rows = 0;
        for (int kind = 0; kind < model->rowCount(); ++kind) {
            const QModelIndex group = model->index(kind, 0);
            rows += model->rowCount(group);
            if (kind != KindPLU)
                model->setData(group, Qt::Unchecked, Qt::CheckStateRole);
        }
        QTest::mouseClick(form->CompareForm->findChild<QPushButton*>("SendBtn"), Qt::LeftButton);
        summary = form->CompareForm->findChild<QLabel*>("SummaryLabel")->text();
    });
    AnswerRangeDialog(form->CompareDlg, {}, 1, 2);
    form->CompareItem->trigger();
    EXPECT_FALSE(watcher.okPressed) << watcher.errorText;
    const auto& differences = form->CompareForm->Comparison().differences;
    ASSERT_FALSE(differences.empty());
    EXPECT_EQ(DifferenceLine(differences[0]),
              "PLU 1 Name: PC \"FROM PC\", register \"FROM REGISTER\"");
    EXPECT_EQ(rows, int(differences.size()));
    EXPECT_TRUE(summary.contains("The changes have been sent")) << summary.toStdString();
    EXPECT_TRUE(form->Message().startsWith(
        differences.size() == 1
            ? QString("Compare done: 1 difference in ")
            : QString("Compare done: %1 differences in ").arg(differences.size())))
        << Text(form->Message());

    const TRegisterState state = StoppedState();
    for (const TWriteHeard& write : state.writes)
        EXPECT_EQ(write.command, CmdWritePlu);
    EXPECT_EQ(GetTextField(std::span(state.plu.at(1)).subspan(7, 18)), "FROM PC");
    EXPECT_EQ(state.plu.count(2), 0u) << "an empty row is not sent over an empty slot";
}

TEST_F(MainTransfer, BackupsFromTheMenuMakeAndRestore) {
    form->backupRoot = dir.Path("backups");
    QString made, restored;
    QString backupMessage;
    WhenShown(form->BackupForm, [&] {
        form->BackupForm->findChild<QSpinBox*>("BackupToEdit")->setValue(8);
        QTest::mouseClick(form->BackupForm->findChild<QPushButton*>("BackupBtn"), Qt::LeftButton);
        made = form->BackupForm->findChild<QLabel*>("OutcomeLabel")->text();
        backupMessage = form->Message();
        // The register holds one named item in 1 to 8; every title and count reads whole.
        auto* list = form->BackupForm->findChild<QTableWidget*>("BackupList");
        EXPECT_EQ(list->item(0, 3)->text(), "1");
        QHeaderView* header = list->horizontalHeader();
        for (int column = 0; column < list->columnCount(); ++column)
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column))
                << list->horizontalHeaderItem(column)->text().toStdString();
        ModalAnswer yes(QMessageBox::Yes);
        QTest::mouseClick(form->BackupForm->findChild<QPushButton*>("RestoreBtn"), Qt::LeftButton);
        restored = form->BackupForm->findChild<QLabel*>("OutcomeLabel")->text();
        EXPECT_EQ(yes.Count(), 1);
        EXPECT_TRUE(yes.InformativeText().contains("PLU 1-8: 1 named item, 0 sales records\n"))
            << yes.InformativeText().toStdString();
    });
    form->BackupItem->trigger();
    ASSERT_EQ(form->BackupForm->Backups().size(), 1u);
    EXPECT_EQ(made,
              "Backup made in " + QString::fromStdString(form->BackupForm->Backups()[0].folder));
    EXPECT_EQ(form->BackupForm->Backups()[0].manifest.pluItems, 1);
    EXPECT_EQ(restored, "The register already held this backup; nothing was sent.");
    EXPECT_TRUE(backupMessage.startsWith("Backup done: 1 item, ") &&
                backupMessage.contains(", parameters in "))
        << Text(backupMessage);
    EXPECT_TRUE(form->Message().startsWith(
        "Restore done: the register already held the backup, checked in "))
        << Text(form->Message());
}

TEST_F(MainTransfer, ADownloadWhoseBackupFailsSendsNothing) {
    form->backupRoot = dir.Path("backups");
    IniWriteInteger(SystemCfgPath(), "Comm", "Port", 0);
    ReadCommSettings();
    ModalAnswer box(QMessageBox::Ok);
    QTimer tickBackupFirst;
    QObject::connect(&tickBackupFirst, &QTimer::timeout, [&] {
        if (auto* check = form->DownloadDlg->findChild<QCheckBox*>("BackupFirstCheck");
            form->DownloadDlg->isVisible() && !check->isChecked())
            check->setChecked(true);
    });
    tickBackupFirst.start(1);
    AnswerRangeDialog(form->DownloadDlg, {0}, 1, 4);
    Press(Qt::Key_F9);
    QTest::qWait(50);
    EXPECT_EQ(box.Count(), 0) << "the port's box has told the failure: " << Text(box.Text());
    EXPECT_EQ(form->Message(), "The register was not backed up, so nothing was sent.");
    EXPECT_EQ(boxes.size(), 1u) << "the backup's port failure, and no download after it";
    EXPECT_EQ(IniReadString(SystemCfgPath(), "Safety", "BackupBeforeDownload", ""), "1");
    EXPECT_TRUE(QDir(QString::fromStdString(form->backupRoot))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
}

} // namespace
