// The PLU steps of a download and an upload against the simulated register pacing its line at
// wire speed: wall time against the wire time of the blocks, the program's processor share,
// the longest stall of the user-interface thread (the longest gap of a 20 ms heartbeat timer:
// fine enough to see a 50 ms stall, coarse enough not to weigh on the processor share) and the
// progress bar's repaint rate.
#include "Defs.h"
#include "Document.h"
#include "Download.h"
#include "GridModel.h"
#include "ProgressForm.h"
#include "RecordLayouts.h"
#include "RegisterState.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TolvIBus.h"
#include "Upload.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

namespace {

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

TRegisterState RegisterWithSales(int items) {
    TRegisterState state = TRegisterState::Default();
    const RegisterStatus status{2, 0};
    for (int n = 1; n <= items; ++n) {
        PluRowTexts row{std::to_string(4000000000000LL + n),
                        "ITEM " + std::to_string(n),
                        "1.25",
                        "2",
                        "3.000",
                        "0",
                        "0",
                        "0"};
        EncodePluRecord(row, status, state.plu[n]);
        std::array<uint8_t, PluSalesRecordSize> sale{};
        EncodePluSalesRecord({4000000000000LL + n, 1000, 125}, sale);
        state.sales.push_back(sale);
    }
    return state;
}

struct Rig {
    QTemporaryDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    TProgressForm progress;
    TGridModel plu{MakePLUTable(), PLUTitles};
    TGridModel dept{MakeDeptTable(), DeptTitles};
    RecyTable recy;
    TPortSettings port;
    RegisterStatus status;
    bool ok = false;

    Rig(int baudIndex, int items) : port{"COM2", baudIndex} {
        SetProgramDir(dir.path().toStdString());
        InitialRecyTable(recy);
        const std::string state = dir.path().toStdString() + "/state.txt";
        if (!RegisterWithSales(items).Save(state))
            return;
        if (!sim.Start(QPLU_SIM_PATH, dir.path().toStdString() + "/tty", SystemCfgPath(),
                       {"--rate", "0", "--wire-time", "--state", QString::fromStdString(state)}))
            return;
        progress.SetAbortHandler([this] { bus.Abort(); });
        bus.ShowErrorBox = [](const std::string&, const ECommsError&) {};
        bus.SetCommName("COM2");
        bus.SetBaudRate(TBaudRate(baudIndex));
        FillTestData(plu.Table(), dept.Table(), recy);
        progress.show();
        TTransferContext ctx = Context(1, 1);
        ok = bus.SetActive(true) && bus.Connect(RegisterAddress, false) && CheckRegisterStatus(ctx);
        status = ctx.status;
    }
    ~Rig() {
        if (bus.isActive()) {
            bus.Disconnect(RegisterAddress, EndStatusDone);
            bus.SetActive(false);
        }
    }
    TTransferContext Context(int begin, int end) {
        return {bus,  progress,        plu,   dept, recy, KindSet{}, begin, end,
                port, SystemCfgPath(), status};
    }
};

// Runs the step and reports wall time against `wireSeconds`.
void Measure(benchmark::State& state, Rig& rig, TransferStep step, int begin, int end,
             double wireSeconds) {
    if (!rig.ok) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    auto* bar = rig.progress.findChild<QProgressBar*>("ProgressBar1");
    for (auto _ : state) {
        int barUpdates = 0;
        auto counter = QObject::connect(bar, &QProgressBar::valueChanged, [&] { ++barUpdates; });
        QElapsedTimer sinceBeat;
        double longestStall = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, double(sinceBeat.nsecsElapsed()) * 1e-6);
            sinceBeat.restart();
        });
        heartbeat.start(20);
        sinceBeat.start();

        TTransferContext ctx = rig.Context(begin, end);
        const double cpu0 = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const bool ok = step(ctx);
        const double seconds = double(wall.nsecsElapsed()) * 1e-9;
        const double cpu = CpuSeconds() - cpu0;
        heartbeat.stop();
        QObject::disconnect(counter);
        if (!ok) {
            state.SkipWithError("the step failed");
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["wire_s"] = wireSeconds;
        state.counters["wall_over_wire"] = seconds / wireSeconds;
        state.counters["cpu_pct_of_wall"] = 100.0 * cpu / seconds;
        state.counters["longest_stall_ms"] = longestStall;
        state.counters["bar_updates_per_s"] = barUpdates / seconds;
    }
}

double WireSeconds(int blocks, int bytesPerBlock, int baudIndex) {
    return blocks * bytesPerBlock * 10.0 / BaudTable[size_t(baudIndex)];
}

// A write block: the frame, its trailing byte and the acknowledge.
constexpr int WriteExchangeBytes = WireFrameSize + 1;
// A read block: the request frame with its trailing byte and the answer frame.
constexpr int ReadExchangeBytes = WireFrameSize + FrameSize;

void DownloadPlu(benchmark::State& state, int baudIndex, int lastPlu) {
    Rig rig(baudIndex, 0);
    const int blocks = PluWriteBlockCount(1, lastPlu);
    Measure(state, rig, DownloadPLU, 1, lastPlu,
            WireSeconds(blocks, WriteExchangeBytes, baudIndex));
}

void UploadPlu(benchmark::State& state, int baudIndex, int lastPlu) {
    Rig rig(baudIndex, lastPlu); // as many sales records as items
    const int blocks = PluReadBlocks(1, lastPlu).Count() + int(SalesBlockCount(uint32_t(lastPlu)));
    Measure(state, rig, UploadPLU, 1, lastPlu, WireSeconds(blocks, ReadExchangeBytes, baudIndex));
}

void BM_DownloadPlu3000At115200(benchmark::State& s) {
    DownloadPlu(s, 4, 3000);
}
void BM_UploadPlu3000At115200(benchmark::State& s) {
    UploadPlu(s, 4, 3000);
}
void BM_DownloadPlu90At9600(benchmark::State& s) {
    DownloadPlu(s, 0, 90); // 30 blocks
}
void BM_UploadPlu60At9600(benchmark::State& s) {
    UploadPlu(s, 0, 60); // 15 item blocks and 4 sales blocks
}
BENCHMARK(BM_DownloadPlu3000At115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_UploadPlu3000At115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_DownloadPlu90At9600)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_UploadPlu60At9600)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

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
