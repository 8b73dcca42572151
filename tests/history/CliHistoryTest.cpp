// The history from a shell: report archives by default and keeps the register's report when
// it cannot; the history commands list, show, sum, check and prune what the runs left.
#include "CliProcess.h"
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "ReportArchive.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct CliHistory : ::testing::Test {
    TCliRig rig;
    QString history;
    void SetUp() override {
        ASSERT_TRUE(rig.Prepare(QPLU_CLI_PATH));
        history = rig.dir.filePath("data/history.sqlite");
    }
    TToolRun Tool(QStringList args) {
        args << "--history" << history;
        return rig.Run(args);
    }
};

} // namespace

TEST_F(CliHistory, ReportIsArchivedOrKeptInTheRegister) {
    TRegisterState state = TRegisterState::Default();
    state.report = "Z REPORT 7\r\nGROSS 1.00\r\n";
    WriteFileBytes(rig.Path("afile"), "x");
    struct Case {
        const char* name;
        QStringList extra;
        QString historyFile;
        int exit;
        bool cleared;
        const char* stderrPart;
    } cases[] = {
        {"archived", {}, history, 0, true, ""},
        {"store below a file",
         {},
         rig.dir.filePath("afile/history.sqlite"),
         4,
         false,
         "The report was not archived ("},
        {"not archived on purpose",
         {"--no-archive"},
         rig.dir.filePath("afile/history.sqlite"),
         0,
         true,
         "The history is not kept: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(rig.StartSim(QPLU_SIM_PATH, state));
        const TToolRun run = rig.Run(QStringList{"report", "--history", c.historyFile} + c.extra);
        EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
        EXPECT_EQ(run.out, "Z REPORT 7\r\nGROSS 1.00\r\n") << "shown in every case";
        EXPECT_TRUE(run.err.contains(c.stderrPart)) << run.err.toStdString();
        EXPECT_EQ(run.err.contains("), so the register keeps it."), c.exit == 4);
        EXPECT_EQ(rig.StoppedState().report.empty(), c.cleared);
    }
    const TToolRun list = Tool({"history", "reports", "--json"});
    ASSERT_EQ(list.exit, 0);
    EXPECT_TRUE(list.out.contains("\"first_line\":\"Z REPORT 7\"")) << list.out.toStdString();
    EXPECT_EQ(list.Result()["reports"].toInt(), 1);
    const TToolRun shown = Tool({"history", "show", "1", "--raw", "-o", "z.txt"});
    EXPECT_EQ(shown.exit, 0) << shown.err.toStdString();
    EXPECT_EQ(ReadFileBytes(rig.Path("z.txt")), state.report);
    EXPECT_EQ(Tool({"history", "show", "2"}).exit, 4);
    const TToolRun journal = Tool({"history", "journal", "--operation", "report"});
    EXPECT_EQ(journal.out.count("\n"), 1) << "only the run that had the history";
    EXPECT_TRUE(journal.out.contains(" report  done  QUORVE SIM ECR 1.0  COM2 at 115200"))
        << journal.out.toStdString();
}

TEST_F(CliHistory, UploadsKeepSalesAndFailuresAreInTheJournal) {
    TRegisterState state = TRegisterState::Default();
    EncodePluRecord({"5900000000017", "MILK", "2.50", "3", "0.000", "0", "0", "0"}, {2, 0},
                    state.plu[1]);
    std::array<uint8_t, 17> sale{};
    EncodePluSalesRecord({5900000000017, 1500, 375}, sale);
    state.sales = {sale};
    ASSERT_TRUE(rig.StartSim(QPLU_SIM_PATH, state));
    ASSERT_EQ(Tool({"upload", "shop.PLU", "--range", "1-8", "--quiet"}).exit, 0);
    rig.StoppedState();
    EXPECT_EQ(Tool({"test", "--port", "/nonexistent/ttyX"}).exit, 3);

    const TToolRun failed = Tool({"history", "journal", "--failed", "--json"});
    ASSERT_EQ(failed.Result()["entries"].toInt(), 1) << failed.out.toStdString();
    EXPECT_TRUE(failed.out.contains("\"error\":\"Error opening /nonexistent/ttyX!"))
        << failed.out.toStdString();
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const TToolRun sales = Tool({"history", "sales", "--from", today, "--to", today, "--csv",
                                 "sold.csv", "--dialect", "tsv"});
    ASSERT_EQ(sales.exit, 0) << sales.err.toStdString();
    EXPECT_EQ(ReadFileBytes(rig.Path("sold.csv")), "\xEF\xBB\xBF"
                                                   "Barcode\tPLU\tName\tQuantity\tTotal\n"
                                                   "5900000000017\t1\tMILK\t1.500\t3.75\n");
    const TToolRun departments =
        Tool({"history", "sales", "--from", today, "--to", today, "--by", "department"});
    EXPECT_EQ(departments.out, "  3         1.500            3.75\n");
    const TToolRun usage = Tool({"history", "sales", "--from", today});
    EXPECT_EQ(usage.exit, 2);
    EXPECT_TRUE(usage.err.contains("needs --from DATE and --to DATE"));
}

TEST_F(CliHistory, CheckPruneAndTheCopyInABackup) {
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(history.toStdString()));
        for (int i = 0; i < 60; ++i)
            ASSERT_EQ(ArchiveReport(store, SampleReport(std::string(3000, char('a' + i % 26))),
                                    Utc(2020 + i / 20, 1, 1 + i % 20), nullptr),
                      "");
    }
    EXPECT_EQ(Tool({"history", "check"}).out, "ok\n");
    const TToolRun dry = Tool({"history", "prune", "--before", "2021-01-01", "--dry-run"});
    EXPECT_EQ(dry.exit, 0);
    EXPECT_TRUE(dry.err.contains("Would delete 20 reports, 0 journal entries and 0 sales "
                                 "snapshots (0 sales lines) from before 2021-01-01 00:00."))
        << dry.err.toStdString();
    ASSERT_EQ(Tool({"history", "prune", "--before", "2021-01-01"}).exit, 0);
    EXPECT_EQ(Tool({"history", "reports", "--json"}).Result()["reports"].toInt(), 40);

    ASSERT_TRUE(rig.StartSim(QPLU_SIM_PATH, TRegisterState::Default()));
    const TToolRun backup = Tool({"backup", rig.dir.filePath("backups"), "--range", "1-8"});
    ASSERT_EQ(backup.exit, 0) << backup.err.toStdString();
    THistoryStore copy;
    ASSERT_TRUE(copy.Open(backup.out.trimmed().toStdString() + "/history.sqlite"));
    QString error;
    EXPECT_EQ(ListReports(copy, {}, &error).size(), 40u);
    copy.Close();

    // Pages spoiled in the middle of the file: the check names them and exits 5.
    std::string bytes = ReadFileBytes(history.toStdString());
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 8192; ++i)
        bytes[i] = char(0x55);
    WriteFileBytes(history.toStdString(), bytes);
    const TToolRun check = Tool({"history", "check"});
    EXPECT_EQ(check.exit, 5) << check.out.toStdString();
    EXPECT_NE(check.out, "ok\n");
}
