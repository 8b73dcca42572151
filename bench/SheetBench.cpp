// Spreadsheet exchange on a full PLU table: importing a 30000-row CSV (read, dialect found,
// columns mapped, every cell checked and the whole document checked for repeats), exporting it,
// and the whole-document check on its own.

#include "DocumentCheck.h"
#include "SheetExport.h"
#include "SheetImport.h"

#include <benchmark/benchmark.h>

namespace {

struct FullDoc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    FullDoc() {
        FillTestData(plu, dept, recy);
        for (int r = 1; r <= plu.Rows(); ++r)
            plu.Cell(r, 5) = FormatFixed(r % 1000 * 0.5, 3);
    }
};

const FullDoc& Full() {
    static const FullDoc doc;
    return doc;
}

void BM_ImportCsv30000Rows(benchmark::State& state) {
    const FullDoc& doc = Full();
    const std::string csv =
        ExportSheet(SheetTable::PLU, doc.plu, doc.dept, doc.recy, DefaultExportDialect());
    const TextTable plu = MakePLUTable();
    for (auto _ : state) {
        const SheetText sheet = ReadSheet(csv);
        ImportResult result = ImportSheet(sheet, MapColumns(sheet, SheetTable::PLU),
                                          {ImportMode::Replace}, plu, doc.dept, doc.recy);
        if (!result.Ok() || result.added != PLURowCount)
            state.SkipWithError("the import failed");
        benchmark::DoNotOptimize(result.plu->Cell(30000, 3));
    }
    state.counters["MiB"] = double(csv.size()) / (1 << 20);
}
BENCHMARK(BM_ImportCsv30000Rows)->Unit(benchmark::kMillisecond);

// The reading and splitting alone, to tell it from the checks.
void BM_ReadCsv30000Rows(benchmark::State& state) {
    const FullDoc& doc = Full();
    const std::string csv =
        ExportSheet(SheetTable::PLU, doc.plu, doc.dept, doc.recy, DefaultExportDialect());
    for (auto _ : state) {
        const SheetText sheet = ReadSheet(csv);
        benchmark::DoNotOptimize(sheet.Records());
    }
}
BENCHMARK(BM_ReadCsv30000Rows)->Unit(benchmark::kMillisecond);

void BM_ExportCsv30000Rows(benchmark::State& state) {
    const FullDoc& doc = Full();
    for (auto _ : state) {
        std::string csv =
            ExportSheet(SheetTable::PLU, doc.plu, doc.dept, doc.recy, DefaultExportDialect());
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(BM_ExportCsv30000Rows)->Unit(benchmark::kMillisecond);

void BM_CheckDocument30000Rows(benchmark::State& state) {
    const FullDoc& doc = Full();
    for (auto _ : state) {
        auto problems = CheckDocument(doc.plu, doc.dept, doc.recy);
        if (!problems.empty())
            state.SkipWithError("the test data has problems");
        benchmark::DoNotOptimize(problems.data());
    }
}
BENCHMARK(BM_CheckDocument30000Rows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
