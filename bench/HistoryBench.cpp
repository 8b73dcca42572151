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

constexpr int Registers = 4;
constexpr int Days = 5 * 365 + 1;
constexpr int Catalogue = 3000;
constexpr int ItemsSoldADay = 275;
constexpr int OperationsADay = 8;
const QDateTime FirstDay = Utc(2021, 1, 1, 0);

std::string StorePath() {
    const QByteArray chosen = qgetenv("QPLU_HISTORY_BENCH_STORE");
    return chosen.isEmpty()
               ? (QCoreApplication::applicationDirPath() + "/history-bench-5y.sqlite").toStdString()
               : chosen.toStdString();
}

QString Uuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

int64_t Barcode(int item) {
    return 5900000000000LL + item * 7;
}

// A report of about 2 KB whose lines vary, so the search index is no toy.
std::string ReportText(std::mt19937& random, int day, int reg, bool z) {
    static const char* const words[] = {"MILK",   "BREAD", "COFFEE", "SUGAR", "APPLES", "RICE",
                                        "BUTTER", "TEA",   "CHEESE", "EGGS",  "REFUND", "VOID"};
    std::string text = std::string(z ? "Z" : "X") + " REPORT " + std::to_string(day * 10 + reg) +
                       "\r\nDATE " + FirstDay.addDays(day).toString("yyyy-MM-dd").toStdString() +
                       "\r\n";
    for (int line = 0; line < 60; ++line)
        text += std::string(words[random() % 12]) + " " + std::to_string(random() % 100) + " x " +
                std::to_string(random() % 5000) + "\r\n";
    return text + "TOTAL " + std::to_string(random() % 1000000) + "\r\n";
}

bool Generate(THistoryStore& store) {
    std::mt19937 random(2026);
    QSqlDatabase db = store.Database();
    Exec(db, "PRAGMA synchronous=OFF");
    for (int day = 0; day < Days; ++day) {
        const QString error = store.Write([&](QSqlDatabase& db) -> QString {
            QSqlQuery report(db), reportText(db), journal(db), snapshot(db), sale(db);
            report.prepare("INSERT INTO reports (uuid, read_at, shop, register, port, code_page, "
                           "first_line, cleared) VALUES (?, ?, 'SHOP', ?, ?, 'CP1250', ?, 1)");
            reportText.prepare("INSERT INTO report_texts VALUES (?, ?, ?)");
            journal.prepare("INSERT INTO journal (uuid, started_at, ended_at, shop, register, "
                            "port, device, rate, operation, kinds, result, error, blocks, bytes, "
                            "seconds, document, document_sha256, report_uuid, snapshot_uuid) "
                            "VALUES (?, ?, ?, 'SHOP', ?, ?, '/dev/ttyUSB0', 115200, ?, "
                            "'plu,dept', ?, '', 800, 250000, 12.5, '', '', '', '')");
            snapshot.prepare("INSERT INTO sales_snapshots (uuid, taken_at, shop, register, port, "
                             "decimals, items, previous_uuid) VALUES (?, ?, 'SHOP', ?, ?, 2, ?, "
                             "'')");
            sale.prepare("INSERT INTO sales VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            for (int reg = 0; reg < Registers; ++reg) {
                const QString name = QString("ECR %1").arg(reg + 1);
                const QString port = QString("COM%1").arg(reg + 1);
                for (bool z : {false, true}) {
                    const std::string text = ReportText(random, day, reg, z);
                    const QDateTime at = FirstDay.addDays(day).addSecs(z ? 75600 : 46800);
                    for (const QVariant& v :
                         {QVariant(Uuid()), QVariant(StoredTime(at)), QVariant(name),
                          QVariant(port),
                          QVariant(QString::fromStdString(text).section('\r', 0, 0))})
                        report.addBindValue(v);
                    if (!report.exec())
                        return QueryError(report);
                    reportText.addBindValue(report.lastInsertId());
                    reportText.addBindValue(QString::fromStdString(text));
                    reportText.addBindValue(QByteArray::fromStdString(SampleReport(text).blocks));
                    if (!reportText.exec())
                        return QueryError(reportText);
                }
                for (int op = 0; op < OperationsADay; ++op) {
                    const QDateTime at = FirstDay.addDays(day).addSecs(28800 + op * 3600);
                    for (const QVariant& v :
                         {QVariant(Uuid()), QVariant(StoredTime(at)),
                          QVariant(StoredTime(at.addSecs(12))), QVariant(name), QVariant(port),
                          QVariant(op % 3 ? "upload" : "download"),
                          QVariant(op == 5 ? "failed" : "done")})
                        journal.addBindValue(v);
                    if (!journal.exec())
                        return QueryError(journal);
                }
                const QDateTime at = FirstDay.addDays(day).addSecs(75700);
                for (const QVariant& v : {QVariant(Uuid()), QVariant(StoredTime(at)),
                                          QVariant(name), QVariant(port), QVariant(ItemsSoldADay)})
                    snapshot.addBindValue(v);
                if (!snapshot.exec())
                    return QueryError(snapshot);
                const qint64 id = snapshot.lastInsertId().toLongLong();
                // Popular items sell most days: a skewed pick from the catalogue.
                std::vector<int> items;
                while (items.size() < size_t(ItemsSoldADay)) {
                    const int item =
                        int(std::pow(double(random() % 1000000) / 1e6, 2.0) * Catalogue) + 1;
                    if (std::find(items.begin(), items.end(), item) == items.end())
                        items.push_back(item);
                }
                for (int item : items) {
                    const qint64 quantity = 1000 * (1 + random() % 20);
                    const qint64 total = quantity / 1000 * (100 + item % 900);
                    for (const QVariant& v :
                         {QVariant(id), QVariant(qint64(Barcode(item))), QVariant(item),
                          QVariant(QString("ITEM %1").arg(item)), QVariant(1 + item % 8),
                          QVariant(quantity), QVariant(total), QVariant(quantity), QVariant(total)})
                        sale.addBindValue(v);
                    if (!sale.exec())
                        return QueryError(sale);
                }
            }
            return {};
        });
        if (!error.isEmpty()) {
            std::fprintf(stderr, "history bench: %s\n", error.toLocal8Bit().constData());
            return false;
        }
    }
    Exec(db, "PRAGMA synchronous=FULL");
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    return true;
}

// Closed before the application goes, as Qt's SQL drivers need.
std::unique_ptr<THistoryStore> TheStore;

THistoryStore& Store() {
    if (!TheStore) {
        TheStore = std::make_unique<THistoryStore>();
        const std::string path = StorePath();
        const bool made = QFileInfo::exists(QString::fromStdString(path));
        if (!TheStore->Open(path) || (!made && !Generate(*TheStore)))
            std::fprintf(stderr, "history bench: %s\n",
                         TheStore->Problem().toLocal8Bit().constData());
    }
    return *TheStore;
}

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
