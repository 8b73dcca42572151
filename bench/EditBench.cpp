// Editing at speed on a full document: a find per keystroke, the filter shown in the real grid,
// a bulk price change of every row and its undo, and what a history of 100 steps holds.

#include "BulkChange.h"
#include "FindBar.h"
#include "MainForm.h"
#include "Settings.h"
#include "TextFinder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

TMainForm* Form() {
    static TMainForm* form = [] {
        auto* f = new TMainForm;
        f->resize(1280, 1024);
        f->show();
        f->FillTestData();
        QApplication::processEvents();
        return f;
    }();
    return form;
}

std::vector<int> AllRows() {
    std::vector<int> rows;
    for (int r = 1; r <= PLURowCount; ++r)
        rows.push_back(r);
    return rows;
}

// One keystroke: the folding table for the text so far and every name and barcode searched.
void BM_FindKeystroke(benchmark::State& state) {
    const TextTable& plu = Form()->PLUModel()->Table();
    const int cols[] = {2, 1};
    const QString typed = "plu-2999";
    size_t found = 0;
    int length = 0;
    for (auto _ : state) {
        length = length % int(typed.size()) + 1;
        const TextFinder finder(DocumentCodePage(), typed.left(length), true);
        found += finder.Rows(plu, cols).size();
    }
    benchmark::DoNotOptimize(found);
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMillisecond);

// The find bar in the window: a keystroke, the cursor moved to the match, "n of m" shown.
void BM_FindBarKeystroke(benchmark::State& state) {
    TFindBar* bar = Form()->FindBar();
    bar->Open();
    const QString typed[] = {"p", "pl", "plu", "plu-", "plu-2", "plu-29", "plu-299"};
    size_t i = 0;
    for (auto _ : state)
        bar->TextEdit()->setText(typed[i++ % std::size(typed)]);
    bar->Close();
}
BENCHMARK(BM_FindBarKeystroke)->Unit(benchmark::kMillisecond);

// The filter switched in the window, on and off by turns: once with every row matching (each
// barcode holds a 1), the worst case, and once with the 11111 names that begin "PLU-2".
void BM_FilterInGrid(benchmark::State& state) {
    TFindBar* bar = Form()->FindBar();
    bar->Open();
    bar->ColumnBox()->setCurrentIndex(state.range(0) ? 0 : 2);
    bar->TextEdit()->setText(state.range(0) ? "1" : "plu-2");
    for (auto _ : state)
        bar->FilterBox()->setChecked(!bar->FilterBox()->isChecked());
    bar->FilterBox()->setChecked(false);
    state.counters["rows"] = double(bar->Matches().size());
    bar->Close();
}
BENCHMARK(BM_FilterInGrid)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The filter following a new text: found again and the view's rows replaced.
void BM_FilterKeystroke(benchmark::State& state) {
    TFindBar* bar = Form()->FindBar();
    bar->Open();
    bar->TextEdit()->setText("1");
    bar->FilterBox()->setChecked(true);
    const QString typed[] = {"1", "12", "2", "23"};
    size_t i = 0;
    for (auto _ : state)
        bar->TextEdit()->setText(typed[i++ % std::size(typed)]);
    bar->Close();
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

// An edit in the filtered view of every name: the cell changed and found again, the edited row
// kept in the view though it no longer matches; the kept rows grow by one per edit.
void BM_EditUnderFilter(benchmark::State& state) {
    TMainForm* form = Form();
    TFindBar* bar = form->FindBar();
    bar->Open();
    bar->ColumnBox()->setCurrentIndex(2); // Name
    bar->TextEdit()->setText("plu");
    bar->FilterBox()->setChecked(true);
    int row = 0;
    for (auto _ : state) {
        row = row % PLURowCount + 1;
        form->PLUModel()->SetCell(row, 2, "EDITED");
        bar->Refresh();
    }
    state.counters["kept"] = double(bar->KeptRows().size());
    bar->Close();
    form->FillTestData();
}
BENCHMARK(BM_EditUnderFilter)->Unit(benchmark::kMillisecond);

void BM_BulkChangeAllRows(benchmark::State& state) {
    TextTable plu = Form()->PLUModel()->Table();
    const TextTable& dept = Form()->DeptModel()->Table();
    const std::vector<int> rows = AllRows();
    BulkChange change;
    change.price = BulkChange::Price::UpPercent;
    change.value = 4;
    change.roundCents = 5;
    for (auto _ : state) {
        const BulkPlan plan = PlanBulkChange(plu, dept, rows, change);
        EditStep step = ApplyBulkPlan(plu, plan);
        benchmark::DoNotOptimize(step.Entries());
    }
}
BENCHMARK(BM_BulkChangeAllRows)->Unit(benchmark::kMillisecond);

void BM_UndoBulkChangeAllRows(benchmark::State& state) {
    TextTable plu = Form()->PLUModel()->Table();
    TextTable dept = Form()->DeptModel()->Table();
    RecyTable recy = Form()->Recy();
    BulkChange change;
    change.price = BulkChange::Price::UpPercent;
    change.value = 4;
    const BulkPlan plan = PlanBulkChange(plu, dept, AllRows(), change);
    EditHistory history;
    history.Push(ApplyBulkPlan(plu, plan));
    for (auto _ : state) {
        history.Undo({plu, dept, recy});
        state.PauseTiming();
        history.Redo({plu, dept, recy});
        state.ResumeTiming();
    }
    state.counters["cells"] = double(plan.changes.size());
}
BENCHMARK(BM_UndoBulkChangeAllRows)->Unit(benchmark::kMillisecond);

// 100 steps on a full document: typed cells, pasted blocks of 100 x 3 cells, moved rows, bulk
// changes of 3000 rows and four of every row. What the heap holds afterwards, beside the
// history's own count.
void BM_HistoryOf100Steps(benchmark::State& state) {
    TextTable plu = Form()->PLUModel()->Table();
    const TextTable& dept = Form()->DeptModel()->Table();
    for (auto _ : state) {
        const size_t heapBefore = mallinfo2().uordblks;
        EditHistory history;
        for (int i = 0; i < 100; ++i) {
            EditStep step;
            if (i % 25 == 24) {
                BulkChange change;
                change.price = BulkChange::Price::UpPercent;
                change.value = 1;
                step = ApplyBulkPlan(plu, PlanBulkChange(plu, dept, AllRows(), change));
            } else if (i % 5 == 4) {
                std::vector<int> rows;
                for (int r = 1 + i * 100; r <= 3000 + i * 100; ++r)
                    rows.push_back(r);
                BulkChange change;
                change.price = BulkChange::Price::UpAmount;
                change.value = 0.1;
                step = ApplyBulkPlan(plu, PlanBulkChange(plu, dept, rows, change));
            } else if (i % 5 == 3) {
                step = EditStep("Move row");
                plu.MoveRow(i + 1, i + 200);
                step.Move(DocTable::PLU, i + 1, i + 200);
            } else if (i % 5 == 2) {
                const BlockSnapshot before(plu, 100 * i + 1, 2, 100 * i + 100, 4);
                for (int r = 100 * i + 1; r <= 100 * i + 100; ++r)
                    plu.Cell(r, 2) = "Pasted " + std::to_string(r);
                step = EditStep("Paste");
                before.Record(step, DocTable::PLU, plu);
            } else {
                step = EditStep("Typing");
                step.Cell(DocTable::PLU, i + 1, 2, plu.Cell(i + 1, 2), "Typed name");
                plu.Cell(i + 1, 2) = "Typed name";
            }
            history.Push(std::move(step));
        }
        const size_t heapAfter = mallinfo2().uordblks;
        state.counters["heap_MiB"] = double(heapAfter - heapBefore) / (1 << 20);
        state.counters["history_MiB"] = double(history.Bytes()) / (1 << 20);
        state.counters["steps_kept"] = double(history.Steps());
    }
}
BENCHMARK(BM_HistoryOf100Steps)->Unit(benchmark::kMillisecond)->Iterations(1);

// The worst case: 100 changes of every row's price. The history keeps its byte limit by letting
// the oldest steps go.
void BM_HistoryOf100FullBulkChanges(benchmark::State& state) {
    TextTable plu = Form()->PLUModel()->Table();
    const TextTable& dept = Form()->DeptModel()->Table();
    for (auto _ : state) {
        const size_t heapBefore = mallinfo2().uordblks;
        EditHistory history;
        BulkChange change;
        change.price = BulkChange::Price::Set;
        for (int i = 0; i < 100; ++i) {
            change.value = 1 + i;
            history.Push(ApplyBulkPlan(plu, PlanBulkChange(plu, dept, AllRows(), change)));
        }
        state.counters["heap_MiB"] = double(mallinfo2().uordblks - heapBefore) / (1 << 20);
        state.counters["steps_kept"] = double(history.Steps());
    }
}
BENCHMARK(BM_HistoryOf100FullBulkChanges)->Unit(benchmark::kMillisecond)->Iterations(1);

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
