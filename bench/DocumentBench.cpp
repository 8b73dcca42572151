// The document's hot paths on a full table: reset, test data, a cell check with the duplicate
// scan, loading and saving 30000 rows against a baseline that only reads and splits the file,
// and a block of 3000 x 8 cells pasted through the clipboard.

#include "Document.h"
#include "DocumentFile.h"
#include "MainForm.h"
#include "Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

TMainForm* Form() {
    static TMainForm* form = [] {
        auto* f = new TMainForm;
        f->resize(1024, 700);
        f->show();
        QApplication::processEvents();
        return f;
    }();
    return form;
}

void BM_NewDocument(benchmark::State& state) {
    TMainForm* form = Form();
    form->FillTestData();
    for (auto _ : state) {
        form->NewDocument();
        benchmark::DoNotOptimize(form->PLUModel()->Cell(30000, 3));
    }
}
BENCHMARK(BM_NewDocument)->Unit(benchmark::kMillisecond);

void BM_FillTestData(benchmark::State& state) {
    TMainForm* form = Form();
    for (auto _ : state)
        form->FillTestData();
}
BENCHMARK(BM_FillTestData)->Unit(benchmark::kMillisecond);

void BM_ValidateNameWithDuplicateScan(benchmark::State& state) {
    TMainForm* form = Form();
    form->FillTestData();
    for (auto _ : state) {
        // A fresh name that equals no other: the whole scan of 3000 rows and 8 departments.
        form->PLUModel()->Table().Cell(2999, 2) = "Unique name";
        benchmark::DoNotOptimize(form->ValidateCell(form->PLUGrid(), 2, 2999));
    }
}
BENCHMARK(BM_ValidateNameWithDuplicateScan)->Unit(benchmark::kMicrosecond);

struct FullFile {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/full.PLU";
    FullFile() {
        TextTable plu = MakePLUTable();
        TextTable dept = MakeDeptTable();
        RecyTable recy;
        FillTestData(plu, dept, recy);
        WriteGridFile(path, plu);
    }
};

void BM_BaselineReadAndSplit(benchmark::State& state) {
    static FullFile file;
    for (auto _ : state) {
        std::ifstream in(file.path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> fields;
        fields.reserve(240000);
        size_t start = 0;
        while (start < bytes.size()) {
            size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos)
                end = bytes.size();
            SplitText(std::string_view(bytes).substr(start, end - start), '\t', fields);
            start = end + 2;
        }
        benchmark::DoNotOptimize(fields.data());
    }
}
BENCHMARK(BM_BaselineReadAndSplit)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state) {
    static FullFile file;
    TMainForm* form = Form();
    for (auto _ : state)
        form->LoadDocument(file.path);
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

void BM_SaveDocument(benchmark::State& state) {
    QTemporaryDir dir;
    TMainForm* form = Form();
    form->FillTestData();
    const std::string path = dir.path().toStdString() + "/save.PLU";
    for (auto _ : state)
        form->SaveDocument(path);
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

// Ctrl+V of 3000 rows of every column onto a full document: each cell read, checked and
// normalised, the names and barcodes against all 30000 rows, the grid told once.
void BM_Paste3000x8Cells(benchmark::State& state) {
    TMainForm* form = Form();
    form->FillTestData();
    TEditGrid* grid = form->PLUGrid();
    QApplication::clipboard()->setText(CopyCells(form->PLUModel()->Table(), {1, 1, 3000, 8}));
    grid->SetCurrentCell(1, 1);
    for (auto _ : state) {
        form->SetModified(false);
        grid->Paste();
        if (!form->Modified())
            state.SkipWithError("the paste was refused");
    }
    form->SetModified(false);
}
BENCHMARK(BM_Paste3000x8Cells)->Unit(benchmark::kMillisecond);

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void BM_ResidentMemoryWithFullDocument(benchmark::State& state) {
    TMainForm* form = Form();
    form->FillTestData();
    QApplication::processEvents();
    for (auto _ : state)
        benchmark::DoNotOptimize(form->PLUModel()->Cell(1, 1));
    state.counters["RSS_MiB"] = double(ResidentKiB()) / 1024.0;
}
BENCHMARK(BM_ResidentMemoryWithFullDocument)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    SetProgramDir(programDir.path().toStdString());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
