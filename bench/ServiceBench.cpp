// The service commands against the simulator pacing its line at wire speed: a 64 KiB program
// download and a 256-page memory dump, each against its wire time plus the waits the load
// itself asks for; and printing 30000 named PLU rows to a PDF file.
#include "Document.h"
#include "MemoryDump.h"
#include "PrinterJob.h"
#include "ProgramLoad.h"
#include "ProgressForm.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TextTable.h"
#include "TolvIBus.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

double WireSeconds(double bytes, double rate) {
    return bytes * 10.0 / rate;
}

// A request frame and its answer: an acknowledge byte or a frame.
constexpr double Acked = WireFrameSize + 1;
constexpr double Answered = WireFrameSize + FrameSize;

struct Link {
    QTemporaryDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    TProgressForm progress;
    const TPortSettings port{"COM2", 4};
    bool ok = false;
    Link() {
        SetProgramDir(dir.path().toStdString());
        ok = sim.Start(QPLU_SIM_PATH, dir.path().toStdString() + "/tty", SystemCfgPath(),
                       {"--rate", "0", "--wire-time"});
        SetUpRegisterComponent(bus, ProgramDir + "DEBUG.LOG");
        bus.ShowErrorBox = [](const std::string&, const ECommsError&) {};
    }
};

// The handshake goes at 9600, where the register listens; the rest at 115200.
double ConnectWire() {
    return WireSeconds(Acked, 9600) + WireSeconds(Answered, 115200);
}

void BM_ProgramDownload64KiB(benchmark::State& state) {
    Link link;
    if (!link.ok) {
        state.SkipWithError("no simulator");
        return;
    }
    const std::string path = link.dir.path().toStdString() + "/prog.hex";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 65536; ++i)
            out.put(char(i * 7));
    }
    const int blocks = 256 - FirstProgramBlock;
    const double bursts = 3 * WireSeconds(64, 4800);
    const double wire =
        ConnectWire() + WireSeconds(Acked, 115200) * (1 + blocks + 1) + bursts; // begin, end
    const double expected = wire + 1.0; // the pause between the first two bursts
    TFileMessages messages{[] {}, [](const std::string&) {}};
    TQuietProgress quiet;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        TProgress& view = state.range(0) ? static_cast<TProgress&>(quiet) : link.progress;
        if (DownloadProgram(link.bus, view, link.port, path, FirstProgramBlock, messages) !=
            TFlowResult::Done) {
            state.SkipWithError("download failed");
            return;
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(wall);
        state.counters["expected_s"] = expected;
        state.counters["wall_over_expected"] = wall / expected;
    }
}
// Argument 1: without the progress window.
BENCHMARK(BM_ProgramDownload64KiB)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_MemoryDump256Pages(benchmark::State& state) {
    Link link;
    if (!link.ok) {
        state.SkipWithError("no simulator");
        return;
    }
    const double expected =
        ConnectWire() + WireSeconds(Answered, 115200) * 256 + WireSeconds(Acked, 115200);
    TQuietProgress quiet;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        TProgress& view = state.range(0) ? static_cast<TProgress&>(quiet) : link.progress;
        if (DumpRegisterMemory(link.bus, view, link.port, {0, 256, 0},
                               MemoryDumpFiles(link.dir.path().toStdString()),
                               nullptr) != TFlowResult::Done) {
            state.SkipWithError("dump failed");
            return;
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(wall);
        state.counters["expected_s"] = expected;
        state.counters["wall_over_expected"] = wall / expected;
    }
}
// Argument 1: without the progress window, to tell its share apart.
BENCHMARK(BM_MemoryDump256Pages)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_Print30000RowsToPdf(benchmark::State& state) {
    QTemporaryDir dir;
    TextTable table = MakePLUTable();
    for (int row = 1; row <= table.Rows(); ++row) {
        table.Cell(row, 1) = std::to_string(5900000000000LL + row);
        table.Cell(row, 2) = "PLU ITEM " + std::to_string(row);
        table.Cell(row, 3) = "12.50";
    }
    for (auto _ : state) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.path() + "/list.pdf");
        TPrinterJob job(printer);
        if (!PrintPLUList(table, job).isEmpty()) {
            state.SkipWithError("printing failed");
            return;
        }
        state.counters["pages"] = job.Pages();
    }
}
BENCHMARK(BM_Print30000RowsToPdf)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
