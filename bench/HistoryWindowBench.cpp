// The History window over the five-year store of HistoryBenchStore.h (15000 reports, 60000
// journal entries, 2 million sales lines).
//   BM_WindowOpen: the window made and shown, every tab read (the sales of the last 30 days).
//   BM_WindowReportList: the report list read again, as the search box emptied does.
//   BM_WindowSearch: the list of the reports holding words, over all 15000.
//   BM_WindowSalesOfMonth: a month's sales per item with both charts.
//   BM_WindowItemSales5Years: one item's sales over the five years.
//   BM_WindowMemory: resident memory with the window open, the whole report list and 15000
//     journal entries scrolled through.
#include "HistoryBenchStore.h"
#include "HistoryForm.h"
#include "HistoryJournalTab.h"
#include "HistoryReportsTab.h"
#include "HistorySalesTab.h"
#include "PagedTableModel.h"
#include "SalesHistory.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <benchmark/benchmark.h>

namespace {

using namespace history_bench;

double ResidentMB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void BM_WindowOpen(benchmark::State& state) {
    THistoryStore& store = Store();
    for (auto _ : state) {
        THistoryForm form(store);
        form.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form.ReportsTab()->Model()->rowCount());
    }
}
BENCHMARK(BM_WindowOpen)->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_WindowReportList(benchmark::State& state) {
    THistoryForm form(Store());
    for (auto _ : state)
        form.ReportsTab()->Reload();
    state.counters["rows"] = form.ReportsTab()->Model()->rowCount();
}
BENCHMARK(BM_WindowReportList)->Unit(benchmark::kMillisecond);

void BM_WindowSearch(benchmark::State& state) {
    THistoryForm form(Store());
    const QString words = state.range(0) ? "refund tea" : "Z REPORT 1234";
    for (auto _ : state) {
        state.PauseTiming();
        form.ReportsTab()->SearchBox()->setText({});
        state.ResumeTiming();
        form.ReportsTab()->SearchBox()->setText(words);
        form.ReportsTab()->Search();
    }
    state.counters["rows"] = form.ReportsTab()->Model()->rowCount();
}
BENCHMARK(BM_WindowSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WindowSalesOfMonth(benchmark::State& state) {
    THistoryForm form(Store());
    THistorySalesTab& sales = *form.SalesTab();
    sales.DatesButton()->setChecked(true);
    const QDate month(2024, 6, 1);
    for (auto _ : state) {
        state.PauseTiming();
        sales.FromBox()->setDate(month.addMonths(-2));
        state.ResumeTiming();
        sales.FromBox()->setDate(month);
        sales.ToBox()->setDate(month.addMonths(1).addDays(-1));
    }
    state.counters["items"] = double(sales.Lines().size());
}
BENCHMARK(BM_WindowSalesOfMonth)->Unit(benchmark::kMillisecond);

void BM_WindowItemSales5Years(benchmark::State& state) {
    THistoryStore& store = Store();
    size_t rows = 0;
    for (auto _ : state) {
        QString error;
        rows = ItemSales(store, Barcode(1), FirstDay, FirstDay.addDays(Days), &error).size();
    }
    state.counters["snapshots"] = double(rows);
}
BENCHMARK(BM_WindowItemSales5Years)->Unit(benchmark::kMillisecond);

void BM_WindowMemory(benchmark::State& state) {
    THistoryStore& store = Store();
    const double before = ResidentMB();
    double with = 0;
    for (auto _ : state) {
        THistoryForm form(store);
        form.show();
        QApplication::processEvents();
        for (TPagedTableModel* model : {form.ReportsTab()->Model(), form.JournalTab()->Model()})
            while (model->canFetchMore({}) && model->rowCount() < 15000)
                model->fetchMore({});
        QApplication::processEvents();
        with = ResidentMB();
        state.counters["reports"] = form.ReportsTab()->Model()->rowCount();
        state.counters["journal"] = form.JournalTab()->Model()->rowCount();
    }
    state.counters["rss_before_MB"] = before;
    state.counters["rss_MB"] = with;
}
BENCHMARK(BM_WindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheStore.reset();
    return 0;
}
