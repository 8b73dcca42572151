// quorve-plu-cli with a register list, against simulated registers on pseudo-terminals of their
// own: one document to four registers at once, a register that hangs up midway, Ctrl+C during a
// parallel send, two registers on one port, a list copied to another folder, and no list at all.
#include "Defs.h"
#include "DocumentFile.h"
#include "RegisterRig.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

struct RegistersCli : ::testing::Test {
    TRegisterRig rig;

    void SetUp() override {
        ASSERT_TRUE(rig.Prepare(QPLU_CLI_PATH));
        SetDecimalSeparator('.');
        TextTable plu = MakePLUTable(), dept = MakeDeptTable();
        RecyTable recy;
        InitialRecyTable(recy);
        FillTestData(plu, dept, recy);
        ASSERT_EQ(WriteDocumentFiles(rig.Path("shop.PLU"), plu, dept, recy), 0);
    }
    // Registers Till-1 to Till-n, each on its own simulator.
    void Shop(int n, const QStringList& flags = {}) {
        const TRegisterState fresh = TRegisterState::Default();
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(rig.StartSim(i, flags, &fresh));
            const TRigRun add = rig.Add(Till(i), i);
            ASSERT_EQ(add.exit, 0) << add.err.toStdString();
        }
    }
    static QString Till(int n) { return QString("Till-%1").arg(n); }
};

TEST_F(RegistersCli, OneDocumentReachesFourRegistersAtOnceAndEachThenEqualsIt) {
    Shop(4);
    const TRigRun down = rig.Run({"download", "shop.PLU", "--all", "--range", "1-90", "--json"});
    ASSERT_EQ(down.exit, 0) << down.err.toStdString();
    const auto jobs = down.Registers();
    ASSERT_EQ(jobs.size(), 4u) << down.out.toStdString();
    for (int i = 1; i <= 4; ++i) {
        const QJsonObject job = jobs.at(Till(i));
        EXPECT_EQ(job["state"].toString(), "done") << Till(i).toStdString();
        EXPECT_EQ(job["exit"].toInt(), 0);
        EXPECT_EQ(job["identification"].toString(), "QUORVE SIM ECR 1.0");
        EXPECT_EQ(job["device"].toString().toStdString(), rig.Link(i));
    }
    EXPECT_EQ(down.Result()["result"].toString(), "done");
    EXPECT_EQ(down.Result()["done"].toArray().size(), 4);

    const TRigRun compare = rig.Run({"compare", "shop.PLU", "--all", "--range", "1-90"});
    EXPECT_EQ(compare.exit, 0) << compare.err.toStdString();
    EXPECT_TRUE(compare.err.contains("4 registers: 4 done, 0 failed."))
        << compare.err.toStdString();

    // Reports and backups of several: a file and a folder of each register's own.
    ASSERT_TRUE(QDir().mkpath(rig.dir.filePath("reports")));
    const TRigRun reports = rig.Run({"report", "--all", "-o", "reports"});
    EXPECT_EQ(reports.exit, 0) << reports.err.toStdString();
    EXPECT_EQ(QDir(rig.dir.filePath("reports")).entryList({"Till-?_*.txt"}, QDir::Files).size(), 4);
    const TRigRun backups = rig.Run({"backup", "backups", "--all", "--range", "1-90"});
    EXPECT_EQ(backups.exit, 0) << backups.err.toStdString();
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(QDir(rig.dir.filePath(QString("backups/Till-%1").arg(i)))
                      .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                      .size(),
                  1)
            << i;

    // Each job kept its own trace: none wrote over another's.
    for (int i = 1; i <= 4; ++i)
        EXPECT_GT(QFileInfo(QString::fromStdString(
                                rig.Path("registers/Till-" + std::to_string(i) + "/DEBUG.LOG")))
                      .size(),
                  1000)
            << i;
    // What each answered is on the list.
    const TRigRun list = rig.Run({"registers", "--json"});
    ASSERT_EQ(list.exit, 0);
    for (const QJsonValue reg : list.Result()["registers"].toArray())
        EXPECT_EQ(reg["identification"].toString(), "QUORVE SIM ECR 1.0");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(rig.StoppedState(i).plu.size(), 90u) << "register " << i;
}

// One register hangs up in the middle of the blocks: the other three are done, it is named on
// stderr with its error, and sending to it alone once it is back completes it.
TEST_F(RegistersCli, ARegisterThatHangsUpStopsOnlyItsOwnJob) {
    Shop(4);
    ASSERT_TRUE(rig.StopSim(3));
    ASSERT_TRUE(rig.StartSim(3, {"--hangup-after", "40"}));
    const TRigRun down =
        rig.Run({"download", "shop.PLU", "--all", "--range", "1-900", "--kinds", "plu", "--json"});
    EXPECT_EQ(down.exit, 1);
    const auto jobs = down.Registers();
    ASSERT_EQ(jobs.size(), 4u);
    for (int i : {1, 2, 4})
        EXPECT_EQ(jobs.at(Till(i))["state"].toString(), "done") << i;
    const QJsonObject failed = jobs.at("Till-3");
    EXPECT_EQ(failed["state"].toString(), "failed");
    const QString message = failed["message"].toString();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(down.err.contains(("quorve-plu-cli: Till-3: " + message).toUtf8()))
        << down.err.toStdString();
    EXPECT_EQ(down.Result()["failed"].toArray(), QJsonArray{"Till-3"});

    ASSERT_TRUE(rig.StartSim(3));
    const TRigRun retry = rig.Run(
        {"download", "shop.PLU", "--registers", "Till-3", "--range", "1-900", "--kinds", "plu"});
    EXPECT_EQ(retry.exit, 0) << retry.err.toStdString();
    EXPECT_EQ(rig.Run({"compare", "shop.PLU", "--all", "--range", "1-900", "--kinds", "plu"}).exit,
              0);
}

// Ctrl+C while four registers take a long document, sent to the command alone or, as a
// terminal sends it, to its whole process group: every register is told the connection ended,
// no job is left running, and the whole ends with 130.
TEST_F(RegistersCli, CtrlCDuringAParallelSendEndsEveryConnection) {
    Shop(4, {"--wire-time"});
    std::vector<size_t> ends(5, 0); // end-of-connection packets each register heard before
    for (const bool wholeGroup : {false, true}) {
        SCOPED_TRACE(wholeGroup ? "Ctrl+C to the process group" : "SIGINT to the command");
        QProcess process;
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        rig.Start(process,
                  {"download", "shop.PLU", "--all", "--range", "1-3000", "--kinds", "plu"});
        process.setReadChannel(QProcess::StandardError);
        QByteArray err;
        while (err.count("started on") < 4 && process.waitForReadyRead(20000))
            err += process.readAllStandardError();
        ASSERT_EQ(err.count("started on"), 4) << err.toStdString();
        const pid_t pid = pid_t(process.processId());
        const std::vector<pid_t> jobs = ChildrenOf(pid);
        ASSERT_EQ(jobs.size(), 4u);
        QThread::msleep(1500); // well into the blocks
        ::kill(wholeGroup ? -pid : pid, SIGINT);
        ASSERT_TRUE(process.waitForFinished(30000));
        err += process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 130) << err.toStdString();
        for (const pid_t job : jobs)
            EXPECT_FALSE(StillRunning(job)) << "job " << job << " outlived the command";
        for (int i = 1; i <= 4; ++i) {
            const TRegisterState state = rig.StoppedState(i);
            ASSERT_GT(state.disconnects.size(), ends[size_t(i)]) << "register " << i;
            EXPECT_EQ(state.disconnects.back(), 1) << "register " << i << " told it failed";
            ends[size_t(i)] = state.disconnects.size();
            ASSERT_TRUE(rig.StartSim(i, {"--wire-time"}));
        }
    }
}

// Two registers on one adapter take their turns; a job that finds the port taken names who
// holds it.
TEST_F(RegistersCli, TwoRegistersOnOnePortTakeTurnsAndAThirdIsToldWhoHoldsIt) {
    Shop(1, {"--wire-time"});
    ASSERT_EQ(rig.Add("Till-1b", 1).exit, 0);
    const TRigRun both = rig.Run({"test", "--registers", "Till-1,Till-1b", "--json"});
    EXPECT_EQ(both.exit, 0) << both.err.toStdString();
    EXPECT_TRUE(both.err.contains("Till-1, Till-1b share")) << both.err.toStdString();
    for (const auto& [name, job] : both.Registers())
        EXPECT_EQ(job["state"].toString(), "done") << name.toStdString();

    ASSERT_EQ(IniWriteInteger(rig.Path("registers/Till-1/SYSTEM.CFG"), "Comm", "BaudRate", 0),
              true);
    QProcess holder;
    rig.Start(holder, {"download", "shop.PLU", "--register", "Till-1", "--range", "1-3000",
                       "--kinds", "plu", "--json"});
    QByteArray said;
    while (!said.contains("\"package\"") && holder.waitForReadyRead(20000))
        said += holder.readAllStandardOutput();
    ASSERT_TRUE(said.contains("\"package\"")) << said.toStdString();
    const TRigRun second = rig.Run({"test", "--register", "Till-1b", "--json"});
    EXPECT_EQ(second.exit, 3);
    EXPECT_EQ(second.Result()["reason"].toString(), "in-use");
    EXPECT_TRUE(second.err.contains(
        QString("quorve-plu-cli (process %1)").arg(holder.processId()).toUtf8()))
        << second.err.toStdString();
    ::kill(pid_t(holder.processId()), SIGTERM);
    EXPECT_TRUE(holder.waitForFinished(30000));
}

// The list is plain files: copied beside another copy of the tool, it works there. Without a
// list the tool says so and works with SYSTEM.CFG as ever.
TEST_F(RegistersCli, AListCopiedToAnotherFolderWorksThereAndNoListIsToday) {
    const TRigRun none = rig.Run({"registers", "--json"});
    EXPECT_EQ(none.exit, 0);
    EXPECT_TRUE(none.Result()["registers"].toArray().isEmpty());
    EXPECT_TRUE(none.err.contains("The register list is empty")) << none.err.toStdString();
    const TRigRun unknown = rig.Run({"test", "--register", "Till-1"});
    EXPECT_EQ(unknown.exit, 2);
    EXPECT_TRUE(unknown.err.contains("no register of the list is named \"Till-1\""));

    Shop(2);
    ASSERT_EQ(rig.Run({"registers", "add", "Back", "--port", "COM1", "--group", "Office"}).exit, 0);
    TRegisterRig other;
    ASSERT_TRUE(other.Prepare(QPLU_CLI_PATH));
    ASSERT_EQ(QProcess::execute(
                  "cp", {"-a", QString::fromStdString(rig.Path("registers")), other.dir.path()}),
              0);
    const TRigRun list = other.Run({"registers", "--json"});
    ASSERT_EQ(list.exit, 0);
    QStringList names;
    for (const QJsonValue reg : list.Result()["registers"].toArray())
        names << reg["name"].toString();
    EXPECT_EQ(names, (QStringList{"Back", "Till-1", "Till-2"}));
    EXPECT_EQ(list.Result()["groups"].toArray(), QJsonArray{"Office"});
    const TRigRun test = other.Run({"test", "--register", "Till-2", "--json"});
    EXPECT_EQ(test.exit, 0) << test.err.toStdString();
    EXPECT_EQ(test.Result()["identification"].toString(), "QUORVE SIM ECR 1.0");
    const TRigRun group = other.Run({"test", "--group", "Office"});
    EXPECT_EQ(group.exit, 1) << "Back's COM1 has no register";
    EXPECT_TRUE(group.err.contains("quorve-plu-cli: Back: ")) << group.err.toStdString();
}

} // namespace
