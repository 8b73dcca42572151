// Block exchanges over TComm and a pseudo-terminal against the simulator pacing its line at
// 115200 bits per second: how close the program comes to the wire time, what it adds per
// exchange, how much processor it takes while waiting, and how fast Cancel ends a wait.
#include "Settings.h"
#include "SimProcess.h"
#include "TolvIBus.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Session {
    QTemporaryDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    bool ok = false;
    explicit Session(const QStringList& flags) {
        SetProgramDir(dir.path().toStdString());
        std::string link = dir.path().toStdString() + "/tty";
        if (!sim.Start(QPLU_SIM_PATH, link, SystemCfgPath(), flags))
            return;
        bus.ShowErrorBox = [](const std::string&, const ECommsError&) {};
        bus.SetCommName("COM2");
        bus.SetBaudRate(tbr115200);
        bus.RetryInterval = 2000;
        bus.SetRetryCount(10);
        ok = bus.SetActive(true) && bus.Connect(RegisterAddress, false);
    }
    ~Session() {
        if (bus.isActive()) {
            bus.Disconnect(RegisterAddress, EndStatusDone);
            bus.SetActive(false);
        }
    }
};

// count exchanges of (request + answer) bytes each; read = false writes blocks.
void RunBlocks(benchmark::State& state, bool read, int count, int wireBytes) {
    Session s({"--rate", "0", "--wire-time"});
    if (!s.ok) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    const double wirePerExchange = wireBytes * 10.0 / 115200.0;
    for (auto _ : state) {
        std::vector<double> exchange;
        exchange.reserve(size_t(count));
        double cpu0 = CpuSeconds();
        Clock::time_point start = Clock::now();
        for (int i = 0; i < count; ++i) {
            Clock::time_point t0 = Clock::now();
            Block block;
            for (int j = 0; j < 256; ++j)
                block[size_t(j)] = uint8_t(i + j);
            bool ok = read ? s.bus.ReadBlock(CmdReadPlu, uint16_t(i), block).has_value()
                           : s.bus.WriteBlock(CmdWriteRecycling, uint16_t(i % 7), block);
            if (!ok) {
                state.SkipWithError("exchange failed");
                return;
            }
            exchange.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
        }
        double wall = std::chrono::duration<double>(Clock::now() - start).count();
        double cpu = CpuSeconds() - cpu0;
        state.SetIterationTime(wall);
        std::sort(exchange.begin(), exchange.end());
        double wire = wirePerExchange * count;
        state.counters["wire_s"] = wire;
        state.counters["wall_over_wire"] = wall / wire;
        // The tail tells a slow wake-up from a slow program.
        auto overheadUs = [&](double share) {
            return (exchange[size_t(double(exchange.size() - 1) * share)] - wirePerExchange) * 1e6;
        };
        state.counters["median_overhead_us"] = overheadUs(0.5);
        state.counters["p90_overhead_us"] = overheadUs(0.9);
        state.counters["max_overhead_us"] = overheadUs(1.0);
        state.counters["cpu_pct_of_wall"] = 100.0 * cpu / wall;
    }
}

void BM_WriteBlocks1000(benchmark::State& state) {
    RunBlocks(state, false, 1000, WireFrameSize + 1);
}
BENCHMARK(BM_WriteBlocks1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_ReadBlocks750(benchmark::State& state) {
    RunBlocks(state, true, 750, WireFrameSize + FrameSize);
}
BENCHMARK(BM_ReadBlocks750)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Cancel pressed during the answer wait of an unanswered block: time from Abort to return.
void BM_CancelDuringWait(benchmark::State& state) {
    Session s({"--rate", "4", "--silent", "100000", "--faults-after", "2"});
    if (!s.ok) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    s.bus.RetryInterval = 60000;
    double worst = 0;
    for (auto _ : state) {
        Clock::time_point aborted;
        QTimer::singleShot(20, [&] {
            aborted = Clock::now();
            s.bus.Abort();
        });
        bool ok = s.bus.WriteBlock(CmdWritePlu, 0, Block{});
        double latency = std::chrono::duration<double>(Clock::now() - aborted).count();
        if (ok) {
            state.SkipWithError("the block went through");
            return;
        }
        state.SetIterationTime(latency);
        worst = std::max(worst, latency);
    }
    state.counters["worst_ms"] = worst * 1e3;
}
BENCHMARK(BM_CancelDuringWait)->Iterations(30)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
