// Listing the machine's serial devices: what the settings dialog and the port detection pay each
// time the list is read, here for 64 devices in a tree laid out as sysfs and udev lay it out.
#include "FakeSerialTree.h"
#include "PortDiscovery.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_ListSerialDevices(benchmark::State& state) {
    char pattern[] = "/tmp/qplu-ports-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root) {
        state.SkipWithError("no temporary folder");
        return;
    }
    FakeSerialTree tree(root);
    const int count = int(state.range(0));
    // Half FTDI adapters with serial numbers, a quarter CH340 without, a quarter ACM devices,
    // and the 32 ttyS the serial core reserves plus the virtual consoles of every machine.
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        if (i % 4 < 2)
            tree.AddUsb({"ttyUSB" + n, "0403", "6001", "FTDI", "FT232R USB UART", "A" + n,
                         "ftdi_sio", "usb-FTDI_FT232R_USB_UART_A" + n + "-if00-port0",
                         "pci-0000:00:14.0-usb-0:" + n + ":1.0-port0", 16});
        else if (i % 4 == 2)
            tree.AddUsb({"ttyUSB" + n, "1a86", "7523", "", "USB Serial", "", "ch341",
                         "usb-1a86_USB_Serial-if00-port0",
                         "pci-0000:00:14.0-usb-0:" + n + ":1.0-port0"});
        else
            tree.AddUsb({"ttyACM" + n, "2341", "0043", "Arduino", "Uno", "S" + n, "cdc_acm",
                         "usb-Arduino_Uno_S" + n + "-if00", ""});
    }
    for (int i = 0; i < 32; ++i)
        tree.AddBuiltIn("ttyS" + std::to_string(i), i == 0 ? 4 : 0);
    for (int i = 0; i < 64; ++i)
        tree.AddVirtual("tty" + std::to_string(i));
    size_t listed = 0;
    for (auto _ : state) {
        const std::vector<SerialDevice> devices = ListSerialDevices(root);
        listed = devices.size();
        benchmark::DoNotOptimize(devices.data());
    }
    std::filesystem::remove_all(root);
    if (listed != size_t(count) + 1)
        state.SkipWithError("wrong number of devices listed");
    state.counters["devices"] = double(listed);
}
BENCHMARK(BM_ListSerialDevices)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
