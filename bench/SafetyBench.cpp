// The comparison and the sending of only what differs against the simulated register pacing its
// line at wire speed, and the building of a long difference list.
//   BM_ComparePlu3000At115200: connect, status, the 750 item blocks, disconnect and the list,
//     against the wire time of its reads (the item blocks, identification and status); and the
//     item blocks alone against theirs.
//   BM_SendOneChangeAmong3000: "send these changes" after a comparison found one changed price.
//   BM_DifferenceList30000: 10000 items differing in three fields each, no register.
#include "ChangedDownload.h"
#include "Comparison.h"
#include "Defs.h"
#include "GridModel.h"
#include "ProgressForm.h"
#include "RegisterState.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TolvIBus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

PluRowTexts Item(int n) {
    return {std::to_string(4000000000000LL + n),
            "ITEM " + std::to_string(n),
            "1.25",
            "2",
            "3.000",
            "0",
            "0",
            "0"};
}

struct Rig {
    QTemporaryDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    TProgressForm progress;
    TGridModel plu{MakePLUTable(), PLUTitles};
    TGridModel dept{MakeDeptTable(), DeptTitles};
    RecyTable recy;
    TPortSettings port{"COM2", 4};
    bool ok = false;

    explicit Rig(int items) {
        SetDecimalSeparator('.');
        SetProgramDir(dir.path().toStdString());
        InitialRecyTable(recy);
        TRegisterState state = TRegisterState::Default();
        for (int n = 1; n <= items; ++n) {
            const PluRowTexts row = Item(n);
            EncodePluRecord(row, {2, 0}, state.plu[n]);
            for (int col = 1; col <= 8; ++col)
                plu.Table().Cell(n, col) = row[size_t(col - 1)];
        }
        const std::string path = dir.path().toStdString() + "/state.txt";
        ok = state.Save(path) &&
             sim.Start(QPLU_SIM_PATH, dir.path().toStdString() + "/tty", SystemCfgPath(),
                       {"--rate", "0", "--wire-time", "--state", QString::fromStdString(path)});
        progress.SetAbortHandler([this] { bus.Abort(); });
        bus.ShowErrorBox = [](const std::string&, const ECommsError&) {};
    }
    TTransferContext Context(KindSet kinds, int end) { return Context(kinds, end, progress); }
    TTransferContext Context(KindSet kinds, int end, TProgress& shown) {
        return {bus, shown, plu, dept, recy, kinds, 1, end, port, SystemCfgPath()};
    }
};

constexpr int ReadExchangeBytes = WireFrameSize + FrameSize;

// The progress window, and when the item blocks began and ended (the step's status texts).
class TTimedProgress : public TProgress {
public:
    explicit TTimedProgress(TProgress& shown) : shown_(shown) { clock_.start(); }
    void Show() override { shown_.Show(); }
    void Close() override { shown_.Close(); }
    void ShowStatus(StatusKind kind, const std::string& text) override {
        if (text == "Upload:PLU...")
            itemsBegin = clock_.nsecsElapsed();
        else if (itemsBegin > 0 && itemsEnd == 0)
            itemsEnd = clock_.nsecsElapsed();
        shown_.ShowStatus(kind, text);
    }
    void SetTotalPackages(int n) override { shown_.SetTotalPackages(n); }
    void SetCurrentPackage(int n) override { shown_.SetCurrentPackage(n); }
    ProgressStates ProgressState() const override { return shown_.ProgressState(); }
    void WaitForClose() override { shown_.WaitForClose(); }
    double ItemSeconds() const { return double(itemsEnd - itemsBegin) * 1e-9; }

private:
    TProgress& shown_;
    QElapsedTimer clock_;
    qint64 itemsBegin = 0;
    qint64 itemsEnd = 0;
};

double WireSeconds(int blocks, int bytesPerBlock) {
    return blocks * bytesPerBlock * 10.0 / BaudTable[4];
}

void BM_ComparePlu3000At115200(benchmark::State& state) {
    Rig rig(3000);
    if (!rig.ok) {
        state.SkipWithError("no simulator");
        return;
    }
    KindSet kinds;
    kinds.set(KindPLU);
    // The item blocks, the identification and the status.
    const double wire = WireSeconds(PluReadBlocks(1, 3000).Count() + 2, ReadExchangeBytes);
    const double itemWire = WireSeconds(PluReadBlocks(1, 3000).Count(), ReadExchangeBytes);
    for (auto _ : state) {
        TTimedProgress timed(rig.progress);
        TTransferContext ctx = rig.Context(kinds, 3000, timed);
        TComparison comparison;
        QElapsedTimer clock;
        clock.start();
        const bool done = CompareWithRegister(ctx, comparison).Done();
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        if (!done || !comparison.Equal()) {
            state.SkipWithError("the comparison failed or found differences");
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["wire_s"] = wire;
        state.counters["wall_over_wire"] = seconds / wire;
        // The item blocks alone, without the connection's handshake at 9600 and its ending.
        state.counters["items_over_wire"] = timed.ItemSeconds() / itemWire;
    }
}

void BM_SendOneChangeAmong3000(benchmark::State& state) {
    Rig rig(3000);
    if (!rig.ok) {
        state.SkipWithError("no simulator");
        return;
    }
    KindSet kinds;
    kinds.set(KindPLU);
    rig.plu.Table().Cell(1234, 3) = "1.30";
    TTransferContext ctx = rig.Context(kinds, 3000);
    TComparison comparison;
    if (!CompareWithRegister(ctx, comparison).Done() || comparison.differences.size() != 1) {
        state.SkipWithError("the comparison did not find the one change");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const bool done = SendChanges(ctx, comparison).Done();
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        if (!done) {
            state.SkipWithError("the send failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_DifferenceList30000(benchmark::State& state) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    TRegisterCopy reg;
    reg.kinds.set(KindPLU);
    reg.rangeBegin = 1;
    reg.rangeEnd = MaxPluRange;
    reg.status = {2, 0};
    reg.plu.resize(MaxPluRange);
    for (int n = 1; n <= MaxPluRange; ++n) {
        const PluRowTexts row = Item(n);
        EncodePluRecord(row, reg.status, reg.plu[size_t(n - 1)]);
        for (int col = 1; col <= 8; ++col)
            plu.Cell(n, col) = row[size_t(col - 1)];
        plu.Cell(n, 2) = "CHANGED " + std::to_string(n);
        plu.Cell(n, 3) = "2.50";
        plu.Cell(n, 5) = "-1.000";
    }
    const ParameterImage parameters{};
    size_t rows = 0;
    for (auto _ : state) {
        const TComparison c = CompareWithRegister(plu, dept, recy, parameters, reg);
        rows = c.differences.size();
        benchmark::DoNotOptimize(c.differences.data());
    }
    state.counters["rows"] = double(rows);
}

BENCHMARK(BM_ComparePlu3000At115200)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_SendOneChangeAmong3000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferenceList30000)->Unit(benchmark::kMillisecond);

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
