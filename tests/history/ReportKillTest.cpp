// quorve-plu-cli report killed with SIGKILL at random moments against the simulated register:
// after every kill the report is in the archive or still in the register, never neither, and
// never half cleared.
#include "CliProcess.h"
#include "HistoryStore.h"
#include "ReportArchive.h"
#include "StressCycles.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace {

bool Archived(const std::string& path, const QString& firstLine) {
    THistoryStore store;
    if (!store.Open(path))
        return false;
    QString error;
    for (const TArchivedReport& r : ListReports(store, {}, &error))
        if (r.firstLine == firstLine)
            return true;
    return false;
}

} // namespace

TEST(ReportKill, EveryKillLeavesTheReportArchivedOrInTheRegister) {
    TCliRig rig;
    ASSERT_TRUE(rig.Prepare(QPLU_CLI_PATH));
    const std::string history = rig.Path("history.sqlite");
    const QStringList args{"report", "--quiet", "--history", QString::fromStdString(history)};
    TRegisterState state = TRegisterState::Default();
    auto reportOf = [](int k) {
        return "Z REPORT " + std::to_string(k) + "\r\n" + std::string(1500, '.') + "\r\n";
    };

    // The quickest of a few whole runs sets the range of the kill moments.
    qint64 runMs = 0;
    for (int run = 1; run <= 3; ++run) {
        state.report = reportOf(-run);
        ASSERT_TRUE(rig.StartSim(QPLU_SIM_PATH, state));
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(rig.Run(args).exit, 0);
        runMs = run == 1 ? clock.elapsed() : std::min(runMs, clock.elapsed());
        ASSERT_TRUE(rig.StoppedState().report.empty());
        ASSERT_TRUE(Archived(history, QString::fromStdString("Z REPORT -" + std::to_string(run))));
    }
    runMs = std::max<qint64>(50, runMs);

    std::mt19937 random(20260122);
    const int kills = StressCycles(200, 1000);
    int killed = 0, onlyArchived = 0, onlyInRegister = 0, both = 0, finished = 0;
    // Runs that end before their moment do not count: there are this many kills.
    for (int k = 0; killed < kills && k < 3 * kills; ++k) {
        state.report = reportOf(k);
        ASSERT_TRUE(rig.StartSim(QPLU_SIM_PATH, state));
        QProcess process;
        rig.Start(process, args);
        QThread::msleep(std::uniform_int_distribution<unsigned long>(0, runMs)(random));
        // A run that already ended is not killed: its process id may be another's by now.
        if (process.state() == QProcess::Running)
            ::kill(pid_t(process.processId()), SIGKILL);
        ASSERT_TRUE(process.waitForFinished(10000));
        const bool ended = process.exitStatus() == QProcess::NormalExit;
        finished += ended;
        killed += !ended;
        const TRegisterState kept = rig.StoppedState();
        ASSERT_NE(kept.ident, "(not saved)");
        const bool inRegister = kept.report == state.report;
        ASSERT_TRUE(inRegister || kept.report.empty())
            << "kill " << k << ": the register holds " << kept.report.size() << " bytes";
        const bool archived =
            Archived(history, QString::fromStdString("Z REPORT " + std::to_string(k)));
        ASSERT_TRUE(inRegister || archived) << "kill " << k << ": the report is lost";
        if (ended)
            continue;
        onlyArchived += archived && !inRegister;
        onlyInRegister += inRegister && !archived;
        both += archived && inRegister;
    }
    EXPECT_EQ(killed, kills);
    std::printf("%d kills: %d archived and cleared, %d still only in the register, %d archived "
                "and still in the register; %d runs had ended before their kill\n",
                killed, onlyArchived, onlyInRegister, both, finished);
    THistoryStore store;
    ASSERT_TRUE(store.Open(history));
    QString error;
    EXPECT_EQ(store.Check(&error), QStringList{"ok"});
}
