// Opening the parameter dialog (load every key from SYSTEM.CFG and show it) and writing every
// key back, and opening the communication settings dialog while it lists a busy machine's
// serial devices: each should stay far below what a user notices.
#include "CommDlg.h"
#include "FakeSerialTree.h"
#include "Ini.h"
#include "ParaDlg.h"
#include "Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

// A SYSTEM.CFG as a register upload leaves it: all 32 flags, every text filled.
void WriteFullConfig(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "[Comm]\r\nPort=2\r\nBaudRate=0\r\n[Version]\r\nCompanyName=Shop\r\n[Default]\r\n";
    out << "-% rate=05.00\r\n+% rate=10.00\r\nPrint Speed=5\r\n";
    for (int g = 0; g < 4; ++g)
        for (int b = 0; b < 8; ++b)
            out << "Flag" << g << b << "=" << ((g + b) % 2) << "\r\n";
    for (int n = 1; n <= 4; ++n)
        out << "ClerkName" << n << "=Clerk " << n << "\r\nClerkPWD" << n << "=" << n * 1111
            << "\r\n";
    for (int n = 1; n <= 5; ++n)
        out << "Header" << n << "=Header line " << n << " of the receipt....\r\n";
    for (int n = 1; n <= 2; ++n)
        out << "Tail" << n << "=Thank you, come again " << n << "\r\n";
    for (int n = 1; n <= 10; ++n)
        out << "BCode" << n << "=" << n << "\r\n";
    for (int n = 1; n <= 9; ++n)
        out << "VAT" << n << "=" << n << "0.00\r\n";
    out << "Tax-free=4\r\n";
}

struct Fixture {
    Fixture() {
        SetProgramDir(dir.path().toStdString());
        WriteFullConfig(SystemCfgPath());
    }
    QTemporaryDir dir;
};

void BM_OpenParameterDialog(benchmark::State& state) {
    Fixture fixture;
    TParaDlg dlg;
    for (auto _ : state) {
        dlg.LoadParameters(SystemCfgPath());
        dlg.show();
        QApplication::processEvents();
        state.PauseTiming();
        dlg.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenParameterDialog)->Unit(benchmark::kMillisecond);

void BM_WriteAllParameters(benchmark::State& state) {
    Fixture fixture;
    TParaDlg dlg;
    dlg.LoadParameters(SystemCfgPath());
    for (auto _ : state) {
        if (!dlg.SaveParameters(SystemCfgPath()))
            state.SkipWithError("SYSTEM.CFG could not be written");
    }
}
BENCHMARK(BM_WriteAllParameters)->Unit(benchmark::kMillisecond);

// Reading [Comm] and [Ports], listing 64 adapters (with the hot-plug watcher listening) and
// showing the dialog with the list filled.
void BM_OpenCommDialog(benchmark::State& state) {
    Fixture fixture;
    FakeSerialTree tree(fixture.dir.filePath("machine").toStdString());
    tree.AddBusyMachine(int(state.range(0)));
    IniFile cfg(SystemCfgPath());
    cfg.WriteString("Ports", "COM2", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9-if00-port0");
    if (!cfg.Save())
        state.SkipWithError("SYSTEM.CFG could not be written");
    TCommDlg dlg;
    dlg.discoveryRoot = tree.Root();
    for (auto _ : state) {
        dlg.LoadCommSettings();
        dlg.show();
        QApplication::processEvents();
        state.PauseTiming();
        dlg.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["devices"] = double(dlg.findChild<QComboBox*>("DeviceCB")->count() - 1);
}
BENCHMARK(BM_OpenCommDialog)->Arg(64)->Unit(benchmark::kMillisecond);

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
