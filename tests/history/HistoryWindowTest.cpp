// The history through the main window: F7 archives before the register clears, or tells why
// the register keeps its report; every command with the register leaves its journal entry; the
// report pane saves its text.
#include "HistoryForm.h"
#include "HistoryJournalTab.h"
#include "HistoryReportsTab.h"
#include "HistoryStore.h"
#include "Ini.h"
#include "Journal.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "ProgressForm.h"
#include "RegisterState.h"
#include "ReportArchive.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "TolvIBus.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

struct HistoryWindow : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    std::unique_ptr<TMainForm> form;
    TRegisterState state = TRegisterState::Default();

    void SetUp() override {
        IniWriteInteger(SystemCfgPath(), "Comm", "BaudRate", 4);
        form = std::make_unique<TMainForm>();
        form->TolvIBusComm1->TimeScale = 0.05;
        ASSERT_TRUE(form->OpenHistory(dir.Path("history.sqlite")));
        form->resize(900, 600);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        state.report = "Z REPORT 9\r\nTOTAL 4.00\r\n";
    }
    void TearDown() override { form.reset(); }
    void Start() {
        ASSERT_TRUE(state.Save(dir.Path("state.txt")));
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(),
                              {"--state", QString::fromStdString(dir.Path("state.txt"))}));
    }
    TRegisterState Stopped() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState kept;
        EXPECT_TRUE(kept.Load(dir.Path("state.txt"), nullptr));
        return kept;
    }
};

} // namespace

TEST_F(HistoryWindow, F7ArchivesTheReportAndTheJournalKeepsTheRun) {
    Start();
    QTest::keyClick(form.get(), Qt::Key_F7);
    EXPECT_EQ(form->RptEd()->toPlainText(), "Z REPORT 9\nTOTAL 4.00\n");
    EXPECT_TRUE(Stopped().report.empty());
    QString error;
    const auto reports = ListReports(*form->HistoryStore(), {}, &error);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].cleared);
    const auto journal = ListJournal(*form->HistoryStore(), {}, &error);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].operation, "report");
    EXPECT_EQ(journal[0].result, "done");
    EXPECT_EQ(journal[0].reportUuid, reports[0].uuid);
    EXPECT_EQ(journal[0].registerName, "QUORVE SIM ECR 1.0");
}

TEST_F(HistoryWindow, F7WithoutAHistoryLeavesTheReportInTheRegisterAndSaysWhy) {
    WriteFileBytes(dir.Path("afile"), "x");
    EXPECT_FALSE(form->OpenHistory(dir.Path("afile/history.sqlite")));
    EXPECT_TRUE(form->Message().startsWith("The history is not kept: " +
                                           QString::fromStdString(dir.Path("afile"))))
        << form->Message().toStdString();
    Start();
    ModalAnswer ok(QMessageBox::Ok);
    QTest::keyClick(form.get(), Qt::Key_F7);
    EXPECT_TRUE(ok.Text().startsWith("The report was not archived (" +
                                     QString::fromStdString(dir.Path("afile"))));
    EXPECT_TRUE(ok.Text().endsWith("), so the register keeps it.")) << ok.Text().toStdString();
    EXPECT_EQ(form->RptEd()->toPlainText(), "Z REPORT 9\nTOTAL 4.00\n");
    EXPECT_EQ(Stopped().report, state.report);

    // The pane's text can be kept by hand.
    form->chooseReportFile = [this] { return QString::fromStdString(dir.Path("z.txt")); };
    form->SaveReportAs();
    EXPECT_EQ(ReadFileBytes(dir.Path("z.txt")), "Z REPORT 9\nTOTAL 4.00\n");
    form->chooseReportFile = [this] { return QString::fromStdString(dir.Path("afile/z.txt")); };
    ModalAnswer failed(QMessageBox::Ok);
    form->SaveReportAs();
    EXPECT_EQ(failed.Count(), 1);
    // Printing says so when the printer cannot start.
    form->openPrinter = [this](QString&) {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir.Path("gone/z.pdf")));
        return printer;
    };
    ModalAnswer refused(QMessageBox::Ok);
    form->PrintReport();
    EXPECT_TRUE(refused.Text().startsWith("Cannot start printing")) << refused.Text().toStdString();
}

TEST_F(HistoryWindow, TheReportOfF7IsInTheHistoryWindowAndClosingAsksNothingAboutIt) {
    Start();
    QTest::keyClick(form.get(), Qt::Key_F7);
    ASSERT_EQ(form->RptEd()->toPlainText(), "Z REPORT 9\nTOTAL 4.00\n");
    // The progress window has gone; the main window has the keyboard again.
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_H, Qt::ControlModifier);
    THistoryForm* window = form->HistoryWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->ReportsTab()->Text()->toPlainText(), "Z REPORT 9\nTOTAL 4.00\n");
    const QAbstractItemModel* journal = window->JournalTab()->List()->model();
    ASSERT_EQ(journal->rowCount(), 1);
    EXPECT_EQ(journal->index(0, 4).data().toString(), "report");
    EXPECT_EQ(journal->index(0, 5).data().toString(), "done");
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // The report is archived: closing the program does not ask about it.
    ModalAnswer asked(QMessageBox::Cancel);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(asked.Count(), 0);
}
