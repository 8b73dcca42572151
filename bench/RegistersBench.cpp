// One document to several registers at once: quorve-plu-cli download --all against simulated
// registers pacing their lines at 115200, each on a pseudo-terminal of its own, 3000 PLUs each.
// The wall time of N registers against one alone, and the processor time per register's job
// (the parent and its jobs together, divided by N). And the results window with 16 jobs: how
// long the user-interface thread takes over one update (the model's row and its repaint), and
// the longest stall of a 20 ms heartbeat.
#include "Defs.h"
#include "Document.h"
#include "DocumentFile.h"
#include "JobModel.h"
#include "JobsForm.h"
#include "RegisterJobs.h"
#include "RegisterRig.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Shop {
    TRegisterRig rig;
    bool ok = false;
    explicit Shop(int registers) {
        TextTable plu = MakePLUTable(), dept = MakeDeptTable();
        RecyTable recy;
        InitialRecyTable(recy);
        FillTestData(plu, dept, recy);
        plu.ResetRows(3001, PLURowCount);
        if (!rig.Prepare(QPLU_CLI_PATH) ||
            WriteDocumentFiles(rig.Path("shop.PLU"), plu, dept, recy) != 0)
            return;
        const TRegisterState fresh = TRegisterState::Default();
        for (int i = 1; i <= registers; ++i)
            if (!rig.StartSim(i, {"--wire-time"}, &fresh) ||
                rig.Add(QString("Till-%1").arg(i), i).exit != 0)
                return;
        ok = true;
    }
};

struct Timed {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

// The tool with every register of the list; its processor time includes its jobs'.
Timed DownloadToAll(const Shop& shop) {
    const std::string cli = shop.rig.cli.toStdString(), doc = shop.rig.Path("shop.PLU");
    std::vector<std::string> args{cli,       "download", doc,       "--all",
                                  "--kinds", "plu",      "--range", "1-3000"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string folder = shop.rig.dir.path().toStdString();
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    Timed timed;
    pid_t pid = -1;
    const Clock::time_point start = Clock::now();
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (!spawned || wait4(pid, &status, 0, &usage) != pid)
        return timed;
    timed.wall = std::chrono::duration<double>(Clock::now() - start).count();
    timed.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    timed.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return timed;
}

// One register alone, measured once for all the runs that compare with it.
const Timed& OneAlone() {
    static const Timed one = [] {
        Shop shop(1);
        return shop.ok ? DownloadToAll(shop) : Timed{};
    }();
    return one;
}

void BM_DownloadPlu3000ToRegisters(benchmark::State& state) {
    const int registers = int(state.range(0));
    const Timed& one = OneAlone();
    Shop shop(registers);
    if (!one.ok || !shop.ok) {
        state.SkipWithError("no tool, simulator or register list");
        return;
    }
    for (auto _ : state) {
        const Timed timed = DownloadToAll(shop);
        if (!timed.ok) {
            state.SkipWithError("a register's download failed");
            return;
        }
        state.SetIterationTime(timed.wall);
        state.counters["one_alone_s"] = one.wall;
        state.counters["over_one_alone"] = timed.wall / one.wall;
        state.counters["cpu_pct_per_job"] = 100.0 * timed.cpu / registers / timed.wall;
    }
}
BENCHMARK(BM_DownloadPlu3000ToRegisters)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// A stand-in for the tool that reports 300 blocks at the pace of a fast line (a package event
// every 10 ms, as often as the tool ever reports one).
const char* const FastJob = R"sh(#!/bin/sh
echo '{"event":"status","text":"Download:PLU..."}'
i=1
while [ $i -le 300 ]; do
  echo "{\"event\":\"package\",\"current\":$i,\"total\":300}"
  sleep 0.01
  i=$((i+1))
done
echo '{"exit":0,"result":"done"}'
)sh";

void BM_ResultsWindowWith16Jobs(benchmark::State& state) {
    TRegisterRig rig;
    const QString tool = rig.dir.filePath("fake-cli");
    {
        QFile file(tool);
        if (!file.open(QIODevice::WriteOnly) || file.write(FastJob) < 0) {
            state.SkipWithError("no stand-in");
            return;
        }
    }
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::vector<TRegister> registers;
    for (int i = 1; i <= 16; ++i) {
        TRegister reg{
            "Till-" + std::to_string(i), rig.Path("r" + std::to_string(i) + "/"), {}, {}, {}};
        QDir().mkpath(QString::fromStdString(reg.folder));
        IniWriteString(reg.SettingsPath(), "Ports", "COM1", rig.Path("tty" + std::to_string(i)));
        IniWriteInteger(reg.SettingsPath(), "Comm", "Port", 1);
        registers.push_back(reg);
    }
    for (auto _ : state) {
        TJobRunner runner(tool, {});
        TJobsForm form;
        std::vector<double> updates;
        double longestStall = 0;
        QElapsedTimer sinceBeat;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, double(sinceBeat.nsecsElapsed()) * 1e-6);
            sinceBeat.restart();
        });
        // From before the form's own handler (the model's row, the buttons) to the row painted
        // after it.
        QElapsedTimer update;
        QObject::connect(&runner, &TJobRunner::JobChanged, &form, [&](int) { update.start(); });
        QObject::connect(&runner, &TJobRunner::Finished, &form, [&] {
            heartbeat.stop();
            form.accept();
        });
        QTimer::singleShot(0, [&] {
            QObject::connect(&runner, &TJobRunner::JobChanged, &form, [&](int) {
                form.View()->viewport()->repaint();
                updates.push_back(double(update.nsecsElapsed()) * 1e-6);
            });
            heartbeat.start(20);
            sinceBeat.start();
        });
        form.show();
        QElapsedTimer wall;
        wall.start();
        form.Run(runner, TJobRunner::JobsFor(registers), "Download to registers");
        state.SetIterationTime(double(wall.nsecsElapsed()) * 1e-9);
        std::sort(updates.begin(), updates.end());
        if (updates.empty()) {
            state.SkipWithError("no updates");
            return;
        }
        state.counters["updates"] = double(updates.size());
        state.counters["update_ms_median"] = updates[updates.size() / 2];
        state.counters["update_ms_p99"] = updates[updates.size() * 99 / 100];
        state.counters["update_ms_max"] = updates.back();
        state.counters["longest_stall_ms"] = longestStall;
    }
}
BENCHMARK(BM_ResultsWindowWith16Jobs)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
