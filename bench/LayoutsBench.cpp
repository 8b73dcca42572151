// Packing the whole PLU table for a download: 30000 rows into 10000 command-13 blocks.
// Target: at most 20 ms for the lot.
#include "Defs.h"
#include "RecordLayouts.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<PluRowTexts> FilledTable() {
    std::vector<PluRowTexts> rows(PLURowCount);
    for (int i = 0; i < PLURowCount; ++i) {
        const std::string n = std::to_string(i + 1);
        rows[size_t(i)] = {std::to_string(5900000000000LL + i),
                           std::string("Item \xB9\xE6\xEA ").append(n),
                           std::to_string(i % 100000) + ".99",
                           std::to_string(i % 8 + 1),
                           std::to_string(-(i % 79999)) + ".125",
                           std::to_string(i % 101),
                           "0",
                           "0"};
    }
    return rows;
}

void EncodeAllPluRows(benchmark::State& state) {
    SetDecimalSeparator('.');
    const std::vector<PluRowTexts> rows = FilledTable();
    const PluRowSource source = [&rows](int plu) -> const PluRowTexts& {
        return rows[size_t(plu - 1)];
    };
    RegisterStatus status;
    status.Decimals = 2;
    const int blocks = PluWriteBlockCount(1, PLURowCount);
    Block block{};
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int j = 0; j < blocks; ++j) {
            EncodePluWriteBlock(1, PLURowCount, j, source, status, block);
            sum += block[1 + 25];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * PLURowCount);
}
BENCHMARK(EncodeAllPluRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
