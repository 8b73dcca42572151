// A document's save as the disk sees it: three files written and synced, the old versions kept
// as links, the renames and the folder synced. A full document and a small one, whose time is
// nearly all syncs; a single file (SYSTEM.CFG, an export) beside them.
#include "AtomicFile.h"
#include "Document.h"
#include "DocumentFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Tables {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    explicit Tables(bool full) {
        InitialRecyTable(recy);
        if (full)
            FillTestData(plu, dept, recy);
        else
            plu.Cell(17, 2) = "MILK";
    }
};

void SaveDocument(benchmark::State& state, bool full) {
    // Beside the user's files, not in a RAM-backed /tmp, so the syncs cost what they cost there.
    QTemporaryDir dir(QDir::currentPath() + "/save-bench-XXXXXX");
    const Tables tables(full);
    const std::string path = dir.path().toStdString() + "/shop.PLU";
    for (auto _ : state)
        if (WriteDocumentFiles(path, tables.plu, tables.dept, tables.recy) != 0)
            state.SkipWithError("the save failed");
}

void BM_SaveFullDocument(benchmark::State& state) {
    SaveDocument(state, true);
}
BENCHMARK(BM_SaveFullDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveSmallDocument(benchmark::State& state) {
    SaveDocument(state, false);
}
BENCHMARK(BM_SaveSmallDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteOneFile(benchmark::State& state) {
    QTemporaryDir dir(QDir::currentPath() + "/save-bench-XXXXXX");
    const std::string path = dir.path().toStdString() + "/SYSTEM.CFG";
    const std::string bytes(4096, 'x');
    for (auto _ : state)
        if (!WriteFileAtomically(path, bytes))
            state.SkipWithError("the write failed");
}
BENCHMARK(BM_WriteOneFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
