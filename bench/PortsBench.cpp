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
    tree.AddBusyMachine(count);
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
