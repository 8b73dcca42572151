// The job runner against a stand-in for quorve-plu-cli (a shell script that answers as the
// tool's --json does, and logs when each register's job starts and ends): what runs at the same
// time and what one after another, failures, retries, cancelling and crashes.
#include "RegisterJobs.h"
#include "TempDir.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <unistd.h>

namespace {

// Behaves by the register's name: ok*, fail*, slow* (until SIGTERM, then cancelled as the tool
// is), crash*; a fail* register does well once the file FIXED exists.
const char* const FakeTool = R"sh(#!/bin/sh
dir=$(dirname "$0")
while [ $# -gt 0 ]; do [ "$1" = --register ] && name=$2; shift; done
now() { date +%s%N; }
echo "start $name $(now)" >>"$dir/log"
echo '{"event":"status","text":"Connect..."}'
echo '{"event":"status","text":"Download:PLU..."}'
echo '{"event":"package","current":3,"total":10}'
case "$name" in
ok*) sleep 0.4; echo '{"event":"package","current":10,"total":10}'
     echo '{"exit":0,"identification":"ECR '"$name"'","result":"done"}'; code=0 ;;
fail*) if [ -e "$dir/FIXED" ]; then sleep 0.1; echo '{"exit":0,"result":"done"}'; code=0
       else echo '{"event":"error","text":"Download:PLU...Error!"}'
            echo "quorve-plu-cli: Download:PLU...Error!" >&2
            echo '{"exit":1,"message":"Download:PLU...Error!","result":"register-failed"}'
            code=1; fi ;;
slow*) trap 'echo "{\"event\":\"cancel\"}"; echo "{\"exit\":130,\"result\":\"cancelled\"}";
             echo "end $name $(now)" >>"$dir/log"; exit 130' TERM
       while :; do sleep 0.05; done ;;
crash*) kill -9 $$ ;;
esac
echo "end $name $(now)" >>"$dir/log"
exit $code
)sh";

struct Span {
    long long start = -1, end = -1;
    int runs = 0;
    bool Overlaps(const Span& o) const { return start < o.end && o.start < end; }
};

struct RegisterJobsTest : ::testing::Test {
    TempProgramDir dir;
    QString tool = QString::fromStdString(dir.Path("quorve-plu-cli"));

    void SetUp() override {
        WriteFileBytes(tool.toStdString(), FakeTool);
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* device : {"ttyA", "ttyB", "ttyC", "ttyD"})
            WriteFileBytes(dir.Path(device), "");
        // One adapter under two names.
        ASSERT_EQ(::symlink(dir.Path("ttyA").c_str(), dir.Path("by-id-A").c_str()), 0);
    }
    TRegister Register(const std::string& name, const std::string& device) {
        TRegister reg{name, dir.Path(name + "/"), {}, {}, {}};
        QDir().mkpath(QString::fromStdString(reg.folder));
        WriteFileBytes(reg.SettingsPath(),
                       "[Comm]\nPort=1\nBaudRate=4\n[Ports]\nCOM1=" + dir.Path(device) + "\n");
        return reg;
    }
    std::map<std::string, Span> Log() {
        std::map<std::string, Span> spans;
        std::istringstream in(ReadFileBytes(dir.Path("log")));
        std::string what, name;
        long long at = 0;
        while (in >> what >> name >> at) {
            Span& s = spans[name];
            if (what == "start") {
                s.start = at;
                ++s.runs;
            } else {
                s.end = at;
            }
        }
        return spans;
    }
    // Runs until the runner says it is finished, or fails the test after 20 s.
    static void Wait(TJobRunner& runner) {
        QEventLoop loop;
        QObject::connect(&runner, &TJobRunner::Finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (runner.Running())
            loop.exec();
        ASSERT_FALSE(runner.Running()) << "the jobs did not finish";
    }
};

TEST_F(RegisterJobsTest, DifferentPortsAtOnceASharedPortInTurnFailuresStopOnlyTheirOwn) {
    TJobRunner runner(tool, {"download", "shop.PLU"});
    std::vector<std::string> asked;
    runner.askTurn = [&](size_t i, std::function<void(bool)> answer) {
        asked.push_back(runner.Jobs()[i].reg.name);
        QTimer::singleShot(10, [answer] { answer(true); });
    };
    runner.Start(TJobRunner::JobsFor({Register("ok1", "ttyA"), Register("ok2", "by-id-A"),
                                      Register("ok3", "ttyB"), Register("fail1", "ttyC"),
                                      Register("crash1", "ttyD")}));
    Wait(runner);
    const std::vector<TJob>& jobs = runner.Jobs();
    const struct {
        TJobState state;
        const char* error;
        const char* identification;
    } expected[] = {
        {TJobState::Done, "", "ECR ok1"},
        {TJobState::Done, "", "ECR ok2"},
        {TJobState::Done, "", "ECR ok3"},
        {TJobState::Failed, "Download:PLU...Error!", ""},
        {TJobState::Failed, "quorve-plu-cli ended by signal 9", ""},
    };
    for (size_t i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(jobs[i].reg.name);
        EXPECT_EQ(jobs[i].state, expected[i].state);
        EXPECT_EQ(jobs[i].error.toStdString(), expected[i].error);
        EXPECT_EQ(JobIdentification(jobs[i]).toStdString(), expected[i].identification);
    }
    EXPECT_EQ(jobs[0].current, 10);
    EXPECT_EQ(jobs[0].total, 10);
    EXPECT_EQ(jobs[3].step.toStdString(), "Download:PLU...");
    EXPECT_EQ(asked, (std::vector<std::string>{"ok1", "ok2"})) << "only the port's sharers ask";

    std::map<std::string, Span> log = Log();
    EXPECT_FALSE(log["ok1"].Overlaps(log["ok2"])) << "one port, one job";
    EXPECT_TRUE(log["ok1"].Overlaps(log["ok3"])) << "other ports at the same time";

    // Only the unfinished run again; the fixed one now goes through.
    WriteFileBytes(dir.Path("FIXED"), "");
    ASSERT_TRUE(runner.RetryUnfinished());
    Wait(runner);
    log = Log();
    EXPECT_EQ(log["ok1"].runs, 1);
    EXPECT_EQ(log["fail1"].runs, 2);
    EXPECT_EQ(jobs[3].state, TJobState::Done);
    EXPECT_EQ(jobs[3].error.toStdString(), "");
    EXPECT_EQ(jobs[4].state, TJobState::Failed) << "it crashes again";
}

// Cancel: the running jobs end as the tool's Ctrl+C ends them; one waiting for its port never
// starts; a turn refused leaves its job cancelled.
TEST_F(RegisterJobsTest, CancelStopsRunningJobsAndStartsNoOther) {
    TJobRunner runner(tool, {"download", "shop.PLU"});
    runner.Start(TJobRunner::JobsFor(
        {Register("slow1", "ttyA"), Register("slow2", "ttyB"), Register("ok-waiting", "by-id-A")}));
    QTimer::singleShot(500, &runner, [&] { runner.Cancel(); });
    Wait(runner);
    for (const TJob& job : runner.Jobs())
        EXPECT_EQ(job.state, TJobState::Cancelled) << job.reg.name;
    std::map<std::string, Span> log = Log();
    EXPECT_EQ(log["slow1"].runs, 1);
    EXPECT_NE(log["slow1"].end, -1) << "it ended its own way";
    EXPECT_EQ(log.count("ok-waiting"), 0u) << "never started";

    TJobRunner refusing(tool, {"test"});
    refusing.askTurn = [](size_t, std::function<void(bool)> answer) { answer(false); };
    refusing.Start(TJobRunner::JobsFor({Register("ok4", "ttyC"), Register("ok5", "ttyC")}));
    Wait(refusing);
    EXPECT_EQ(refusing.Jobs()[0].state, TJobState::Cancelled);
    EXPECT_EQ(Log().count("ok4"), 0u);
}

TEST(JobEvents, ExitCodesAndWhatTheUserIsTold) {
    const struct {
        int exit;
        bool crashed;
        QString notes;
        QString message;
        TJobState state;
        QString error;
    } cases[] = {
        {0, false, "", "", TJobState::Done, ""},
        {10, false, "", "", TJobState::Different, ""},
        {130, false, "", "", TJobState::Cancelled, ""},
        {3, false, "", "Error opening COM2!\nplease select other ports.", TJobState::Failed,
         "Error opening COM2!\nplease select other ports."},
        {4, false, "Note\nquorve-plu-cli: shop.PLU: File not found\n\n", "", TJobState::Failed,
         "quorve-plu-cli: shop.PLU: File not found"},
        {2, false, "", "", TJobState::Failed, "quorve-plu-cli ended with exit 2"},
        {6, true, "", "", TJobState::Failed, "quorve-plu-cli ended by signal 6"},
    };
    for (const auto& c : cases) {
        TJob job;
        job.notes = c.notes;
        if (!c.message.isEmpty())
            ApplyJobEvent(job, {{"result", "x"}, {"exit", c.exit}, {"message", c.message}});
        FinishJob(job, c.crashed, c.exit, c.exit);
        EXPECT_EQ(job.state, c.state) << c.exit;
        EXPECT_EQ(job.error, c.error) << c.exit;
    }
}

} // namespace
