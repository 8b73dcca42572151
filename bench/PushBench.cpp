// Pushing a shop's history to a chain's server: 100000 rows (sales lines, journal entries,
// reports) to a PostgreSQL server on this machine, started for the benchmark.
#include "HistoryPush.h"
#include "HistoryServer.h"
#include "HistoryStore.h"
#include "Journal.h"
#include "PgCluster.h"
#include "ReportArchive.h"
#include "SalesHistory.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Snapshots = 95;
constexpr int LinesPerSnapshot = 1000;
constexpr int Entries = 4000;
constexpr int Reports = 1000; // 95000 + 4000 + 1000 + 95 rows

TPgCluster* Cluster = nullptr;

bool FillStore(THistoryStore& store) {
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC);
    for (int r = 0; r < Reports; ++r) {
        TReportRead report;
        report.text = "Z REPORT " + std::to_string(r) + "\r\nGROSS 1234.50\r\nCASH 1200.00\r\n";
        report.blocks = report.text;
        report.identification = "QUORVE ECR 1";
        report.port = "COM2";
        QString uuid;
        if (!ArchiveReport(store, report, start.addSecs(3600 * r), &uuid).isEmpty() ||
            !MarkReportCleared(store, uuid).isEmpty())
            return false;
    }
    for (int e = 0; e < Entries; ++e) {
        TJournalEntry entry;
        entry.started = start.addSecs(600 * e);
        entry.ended = entry.started.addSecs(20);
        entry.registerName = "QUORVE ECR 1";
        entry.port = "COM2";
        entry.rate = 115200;
        entry.operation = operations::Upload;
        entry.result = results::Done;
        if (!WriteJournalEntry(store, entry).isEmpty())
            return false;
    }
    for (int s = 0; s < Snapshots; ++s) {
        TSalesSnapshot snapshot;
        snapshot.taken = start.addDays(s);
        snapshot.registerName = "QUORVE ECR 1";
        snapshot.port = "COM2";
        snapshot.decimals = 2;
        for (int l = 0; l < LinesPerSnapshot; ++l)
            snapshot.items.push_back({5900000000000 + l, l + 1, QString("ITEM %1").arg(l),
                                      1 + l % 8, int64_t(1000) * (s + 1), int64_t(99) * (s + 1)});
        if (!StoreSalesSnapshot(store, snapshot).isEmpty())
            return false;
    }
    return true;
}

void BM_Push100000Rows(benchmark::State& state) {
    QTemporaryDir dir;
    THistoryStore local;
    if (!Cluster || !local.Open(dir.filePath("history.sqlite").toStdString()) ||
        !FillStore(local)) {
        state.SkipWithError("no server or no store");
        return;
    }
    int round = 0;
    TPushCounts sent;
    for (auto _ : state) {
        // A new database each time: everything is new to it.
        state.PauseTiming();
        const std::string database = "bench_" + std::to_string(++round);
        Cluster->CreateDatabase(database, "bench", "bench-pw");
        QString error;
        const THistoryServer server = *ParseServerAddress(
            QString("postgresql://bench@") +
                QUrl::toPercentEncoding(QString::fromStdString(Cluster->SocketDir())) + ":" +
                QString::number(Cluster->Port()) + "/" + QString::fromStdString(database),
            &error);
        state.ResumeTiming();
        const TPushResult result = PushToServer(local, server, 0);
        if (!result.error.isEmpty()) {
            state.SkipWithError(result.error.toStdString().c_str());
            return;
        }
        sent = result.sent;
    }
    state.counters["rows"] = double(sent.Rows());
}
BENCHMARK(BM_Push100000Rows)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TPgCluster cluster;
    if (const std::string problem = cluster.Start(); problem.empty())
        Cluster = &cluster;
    else
        std::fprintf(stderr, "no PostgreSQL server: %s\n", problem.c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
