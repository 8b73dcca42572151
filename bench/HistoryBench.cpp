// The history over five years of four registers: about 15000 reports, 60000 journal entries and
// 2 million sales lines (one Z report and one X report a day each, eight operations a day, a
// daily snapshot of about 275 items sold). The store is made once beside this program
// (history-bench-5y.sqlite, about a minute) and reused; QPLU_HISTORY_BENCH_STORE names another.
//   BM_ArchiveReport: one report kept, synced to disk, as the report command does before the
//     register clears it; with the mark that the register cleared it.
//   BM_JournalEntry: an operation's entry written at its start and completed at its end.
//   BM_ReportList: the list, whole and its first page of 100.
//   BM_FullTextSearch: every report holding a word, over all 15000.
//   BM_ItemSales5Years: one item's sales, snapshot by snapshot.
//   BM_TopItemsOfMonth, BM_DepartmentsOfYear: sums between two dates.
#include "HistoryBenchStore.h"
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "HistoryTime.h"
#include "Journal.h"
#include "ReportArchive.h"
#include "SalesHistory.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUuid>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

using namespace history_bench;

void StoreSize(benchmark::State& state) {
    state.counters["store_MB"] =
        double(QFileInfo(QString::fromStdString(StorePath())).size()) / (1024.0 * 1024.0);
}

void BM_ArchiveReport(benchmark::State& state) {
    THistoryStore& store = Store();
    std::mt19937 random(7);
    const TReportRead report = SampleReport(ReportText(random, 1, 1, true));
    const bool markCleared = state.range(0) != 0;
    for (auto _ : state) {
        QString uuid;
        if (!ArchiveReport(store, report, QDateTime::currentDateTimeUtc(), &uuid).isEmpty() ||
            (markCleared && !MarkReportCleared(store, uuid).isEmpty()))
            state.SkipWithError("not archived");
    }
    StoreSize(state);
}
BENCHMARK(BM_ArchiveReport)->Arg(0)->Arg(1)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_JournalEntry(benchmark::State& state) {
    THistoryStore& store = Store();
    for (auto _ : state) {
        TJournalEntry entry;
        entry.started = QDateTime::currentDateTimeUtc();
        entry.operation = operations::Upload;
        const QString started = WriteJournalEntry(store, entry);
        entry.result = results::Done;
        if (!started.isEmpty() || !WriteJournalEntry(store, entry).isEmpty())
            state.SkipWithError("not written");
    }
}
BENCHMARK(BM_JournalEntry)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_ReportList(benchmark::State& state) {
    THistoryStore& store = Store();
    TReportFilter filter;
    filter.limit = int(state.range(0));
    size_t listed = 0;
    for (auto _ : state) {
        QString error;
        listed = ListReports(store, filter, &error).size();
        if (!error.isEmpty())
            state.SkipWithError("no list");
    }
    state.counters["reports"] = double(listed);
}
BENCHMARK(BM_ReportList)->Arg(-1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_FullTextSearch(benchmark::State& state) {
    THistoryStore& store = Store();
    TReportFilter filter;
    filter.words = state.range(0) ? "refund tea" : "Z REPORT 1234";
    size_t found = 0;
    for (auto _ : state) {
        QString error;
        found = ListReports(store, filter, &error).size();
        if (!error.isEmpty())
            state.SkipWithError("no search");
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_FullTextSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ItemSales5Years(benchmark::State& state) {
    THistoryStore& store = Store();
    size_t rows = 0;
    for (auto _ : state) {
        QString error;
        rows =
            ItemSales(store, Barcode(int(state.range(0))), FirstDay, FirstDay.addDays(Days), &error)
                .size();
        if (!error.isEmpty())
            state.SkipWithError("no sales");
    }
    state.counters["snapshots"] = double(rows);
}
BENCHMARK(BM_ItemSales5Years)->Arg(1)->Arg(2500)->Unit(benchmark::kMillisecond);

void BM_TopItemsOfMonth(benchmark::State& state) {
    THistoryStore& store = Store();
    const QDateTime from = Utc(2024, 6, 1, 0);
    for (auto _ : state) {
        QString error;
        const auto top = SoldBetween(store, from, from.addMonths(1), TSalesBy::Item, 20, &error);
        if (!error.isEmpty() || top.size() != 20)
            state.SkipWithError("no top 20");
    }
}
BENCHMARK(BM_TopItemsOfMonth)->Unit(benchmark::kMillisecond);

void BM_DepartmentsOfYear(benchmark::State& state) {
    THistoryStore& store = Store();
    const QDateTime from = Utc(2024, 1, 1, 0);
    for (auto _ : state) {
        QString error;
        const auto lines =
            SoldBetween(store, from, from.addYears(1), TSalesBy::Department, -1, &error);
        if (!error.isEmpty() || lines.size() != 8)
            state.SkipWithError("no departments");
    }
}
BENCHMARK(BM_DepartmentsOfYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheStore.reset();
    return 0;
}
