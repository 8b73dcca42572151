// quorve-plu-cli as a shop system runs it: a download of PLUs 1-3000 against the simulated
// register pacing its line at 115200, wall time against the wire time of every exchange of the
// command and the tool's processor share; and the time from the tool's start to the first byte
// on the line.
#include "Defs.h"
#include "Document.h"
#include "DocumentFile.h"
#include "IBusNames.h"
#include "Ini.h"
#include "RecordLayouts.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A folder holding a copy of the tool, its SYSTEM.CFG and a 3000-row document.
struct ToolFolder {
    QTemporaryDir dir;
    std::string cli = dir.filePath("quorve-plu-cli").toStdString();
    bool ok = false;
    ToolFolder() {
        TextTable plu = MakePLUTable(), dept = MakeDeptTable();
        RecyTable recy;
        InitialRecyTable(recy);
        FillTestData(plu, dept, recy);
        plu.ResetRows(3001, PLURowCount);
        IniFile cfg(Path("SYSTEM.CFG"));
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteInteger("Comm", "BaudRate", 4);
        ok = QFile::copy(QPLU_CLI_PATH, QString::fromStdString(cli)) && cfg.Save() &&
             WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy) == 0;
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
};

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

double WireSeconds(double bytes, double rate) {
    return bytes * 10.0 / rate;
}

void BM_CliDownloadPlu3000At115200(benchmark::State& state) {
    ToolFolder folder;
    TSimProcess sim;
    if (!folder.ok || !sim.Start(QPLU_SIM_PATH, folder.Path("ttySIM"), folder.Path("SYSTEM.CFG"),
                                 {"--rate", "0", "--wire-time"})) {
        state.SkipWithError("no tool or simulator");
        return;
    }
    const double acked = WireFrameSize + 1, answered = WireFrameSize + FrameSize;
    // The handshake at 9600, the identification and status reads, the blocks and the end of
    // the connection at 115200.
    const double wire =
        WireSeconds(acked, 9600) +
        WireSeconds(2 * answered + (PluWriteBlockCount(1, 3000) + 1) * acked, 115200);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const pid_t pid = Spawn({folder.cli, "download", folder.Path("shop.PLU"), "--kinds", "plu",
                                 "--range", "1-3000"});
        int status = 0;
        rusage usage{};
        if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("the download failed");
            return;
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
        state.SetIterationTime(wall);
        state.counters["wire_s"] = wire;
        state.counters["wall_over_wire"] = wall / wire;
        state.counters["cpu_pct_of_wall"] = 100.0 * cpu / wall;
    }
}
BENCHMARK(BM_CliDownloadPlu3000At115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The line is a pseudo-terminal of the benchmark's own: the first byte the tool writes there
// (the handshake at 9600) ends the measurement, and SIGTERM the tool.
void BM_CliStartToFirstByte(benchmark::State& state) {
    ToolFolder folder;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (!folder.ok || master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        state.SkipWithError("no tool or pseudo-terminal");
        return;
    }
    IniWriteString(folder.Path("SYSTEM.CFG"), "Ports", "COM2", ptsname(master));
    // A master whose slave nobody holds reports a hang-up, not bytes: keep one open.
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    std::vector<double> times;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const pid_t pid = Spawn({folder.cli, "download", folder.Path("shop.PLU")});
        pollfd p{master, POLLIN, 0};
        const bool heard = pid > 0 && poll(&p, 1, 5000) == 1 && (p.revents & POLLIN);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        char drain[4096];
        while (read(master, drain, sizeof drain) > 0 && poll(&p, 1, 0) == 1) {
        }
        if (!heard) {
            state.SkipWithError("nothing on the line");
            break;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000);
    }
    close(slave);
    close(master);
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        state.counters["median_ms"] = times[times.size() / 2];
        state.counters["max_ms"] = times.back();
    }
}
BENCHMARK(BM_CliStartToFirstByte)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
