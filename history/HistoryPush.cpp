#include "HistoryPush.h"

#include "HistoryServer.h"
#include "HistoryStore.h"
#include "HistoryTime.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Row = QVariantList;

// One server statement carries at most this many rows: big enough that round trips do not
// count, small enough that the statement's text stays a few hundred kilobytes.
constexpr int RowsPerStatement = 500;
// A report's text may be long; fewer of them go at once.
constexpr int ReportsPerBatch = 200;

// A row may still change while it is young: a journal entry is completed when its operation
// ends, a report is marked cleared once the register took the request. The mark stays before
// the first row that may still change (and such rows are sent again, harmlessly), until it is
// old enough that nothing will change it any more.
constexpr qint64 UnsettledSeconds = 24 * 3600;

struct Table {
    const char* name;
    const char* settled; // SQL: the row will not change any more
};

const Table Reports{"reports", "(cleared <> 0 OR read_at < ?)"};
const Table Journal{"journal", "(result <> 'unfinished' OR started_at < ?)"};
const Table Snapshots{"sales_snapshots", "(1 = 1 OR ? IS NULL)"};

QString LocalError(const THistoryStore& local, const QString& error) {
    return QString::fromLocal8Bit(local.Path()) + ": " + error;
}

QString ServerError(const THistoryStore& server, const QString& error) {
    return QString::fromStdString(server.Path()) + ": " + RedactedAddress(error);
}

// The key of a table's mark: per server, so that a new server gets everything.
QString MarkKey(const Table& table, const THistoryStore& server) {
    return QString("pushed %1 %2").arg(table.name, QString::fromStdString(server.Path()));
}

// The last local row known to be on the server for good, or 0. A mark whose row is now
// another (ids given again after a prune emptied the table) starts over: sending again is
// harmless, missing a row is not.
qint64 ReadMark(THistoryStore& local, const Table& table, const QString& key, QString* error) {
    QSqlDatabase db = local.Database();
    QSqlQuery query(db);
    query.prepare("SELECT value FROM store_info WHERE key = ?");
    query.addBindValue(key);
    if (!query.exec()) {
        *error = QueryError(query);
        return 0;
    }
    if (!query.next())
        return 0;
    const QStringList parts = query.value(0).toString().split(' ');
    const qint64 id = parts.value(0).toLongLong();
    query.prepare(QString("SELECT (SELECT uuid FROM %1 WHERE id = ?), (SELECT max(id) FROM %1)")
                      .arg(table.name));
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        *error = QueryError(query);
        return 0;
    }
    const QVariant uuid = query.value(0);
    const qint64 last = query.value(1).toLongLong();
    if (last < id || (!uuid.isNull() && uuid.toString() != parts.value(1)))
        return 0;
    return id;
}

QString WriteMark(THistoryStore& local, const QString& key, qint64 id, const QString& uuid) {
    return local.Write([&](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare("INSERT INTO store_info (key, value) VALUES (?, ?) "
                      "ON CONFLICT (key) DO UPDATE SET value = excluded.value");
        query.addBindValue(key);
        query.addBindValue(QString("%1 %2").arg(id).arg(uuid));
        return query.exec() ? QString() : QueryError(query);
    });
}

// Rows after `after`, in id order; each row starts with its id, its uuid and whether it is
// settled, then the columns.
std::vector<Row> ReadRows(THistoryStore& local, const Table& table, const QString& columns,
                          qint64 after, int limit, QString* error) {
    std::vector<Row> rows;
    QSqlDatabase db = local.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QString("SELECT id, uuid, %1, %2 FROM %3 WHERE id > ? ORDER BY id LIMIT ?")
                      .arg(table.settled, columns, table.name));
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-UnsettledSeconds);
    query.addBindValue(StoredTime(old));
    query.addBindValue(after);
    query.addBindValue(limit);
    if (!query.exec()) {
        *error = QueryError(query);
        return rows;
    }
    const int count = query.record().count();
    while (query.next()) {
        Row row;
        row.reserve(count);
        for (int c = 0; c < count; ++c)
            row << query.value(c);
        rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        *error = QueryError(query);
    return rows;
}

// INSERT of many rows in one statement; `tail` is the ON CONFLICT and RETURNING part. The
// returned rows' first two columns (a server id and a uuid) go to *returned.
QString InsertRows(QSqlDatabase& db, const QString& head, const std::vector<Row>& rows, int first,
                   int width, const QString& tail,
                   std::vector<std::pair<qint64, QString>>* returned = nullptr) {
    for (size_t begin = 0; begin < rows.size(); begin += RowsPerStatement) {
        const size_t end = std::min(rows.size(), begin + RowsPerStatement);
        QString marks = "(" + QString("?, ").repeated(width - 1) + "?)";
        QStringList values;
        for (size_t r = begin; r < end; ++r)
            values << marks;
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(head + " VALUES " + values.join(", ") + " " + tail))
            return QueryError(query);
        for (size_t r = begin; r < end; ++r)
            for (int c = first; c < first + width; ++c)
                query.addBindValue(rows[r][c]);
        if (!query.exec())
            return QueryError(query);
        while (returned && query.next())
            returned->emplace_back(query.value(0).toLongLong(), query.value(1).toString());
    }
    return {};
}

// The mark moves over settled rows as long as no row before them is unsettled.
struct MarkCursor {
    qint64 sentUpTo = 0; // the last row sent in this push
    qint64 mark = 0;     // the last row of the settled start
    QString markUuid;
    bool blocked = false;

    void Sent(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            sentUpTo = row[0].toLongLong();
            if (!blocked && row[2].toInt() != 0) {
                mark = sentUpTo;
                markUuid = row[1].toString();
            } else {
                blocked = true;
            }
        }
    }
};

// ---- The tables ----

const QString ReportColumns = "uuid, read_at, shop, register, port, code_page, first_line, "
                              "cleared";
const QString JournalColumns =
    "uuid, started_at, ended_at, shop, register, port, device, rate, operation, kinds, "
    "range_begin, range_end, result, error, blocks, bytes, seconds, document, document_sha256, "
    "report_uuid, snapshot_uuid";
const QString SnapshotColumns = "uuid, taken_at, shop, register, port, decimals, items, "
                                "previous_uuid";

QString PushReports(THistoryStore& local, QSqlDatabase& db, const std::vector<Row>& rows) {
    std::vector<std::pair<qint64, QString>> ids;
    if (QString error = InsertRows(db, "INSERT INTO reports (" + ReportColumns + ")", rows, 3, 8,
                                   "ON CONFLICT (uuid) DO UPDATE SET cleared = "
                                   "GREATEST(reports.cleared, excluded.cleared) RETURNING id, uuid",
                                   &ids);
        !error.isEmpty())
        return error;
    // A report and its text reach the server in one transaction: one on the server has both.
    std::vector<Row> texts;
    QSqlDatabase localDb = local.Database();
    QSqlQuery query(localDb);
    query.prepare("SELECT text, raw FROM report_texts JOIN reports ON id = report_id "
                  "WHERE uuid = ?");
    for (const auto& [serverId, uuid] : ids) {
        query.addBindValue(uuid);
        if (!query.exec())
            return QueryError(query);
        if (query.next())
            texts.push_back({serverId, query.value(0), query.value(1)});
    }
    return InsertRows(db, "INSERT INTO report_texts (report_id, text, raw)", texts, 0, 3,
                      "ON CONFLICT (report_id) DO NOTHING");
}

QString PushJournal(QSqlDatabase& db, const std::vector<Row>& rows) {
    // An entry sent while its operation ran is completed by the later push.
    QStringList updates;
    for (const QString& column : JournalColumns.split(", "))
        if (column != "uuid")
            updates << column + " = excluded." + column;
    return InsertRows(db, "INSERT INTO journal (" + JournalColumns + ")", rows, 3, 21,
                      "ON CONFLICT (uuid) DO UPDATE SET " + updates.join(", ") +
                          " WHERE journal.result = 'unfinished'");
}

QString PushSnapshots(THistoryStore& local, QSqlDatabase& db, const std::vector<Row>& rows,
                      qint64* lines) {
    std::vector<std::pair<qint64, QString>> ids;
    if (QString error =
            InsertRows(db, "INSERT INTO sales_snapshots (" + SnapshotColumns + ")", rows, 3, 8,
                       "ON CONFLICT (uuid) DO NOTHING RETURNING id, uuid", &ids);
        !error.isEmpty())
        return error;
    // Only a snapshot new to the server takes its lines: one already there has them all.
    std::vector<Row> sales;
    QSqlDatabase localDb = local.Database();
    QSqlQuery query(localDb);
    query.setForwardOnly(true);
    query.prepare("SELECT barcode, plu, name, department, quantity, total, sold_quantity, "
                  "sold_total FROM sales JOIN sales_snapshots ON id = snapshot_id WHERE uuid = ?");
    for (const auto& [serverId, uuid] : ids) {
        query.addBindValue(uuid);
        if (!query.exec())
            return QueryError(query);
        while (query.next()) {
            Row row{serverId};
            for (int c = 0; c < 8; ++c)
                row << query.value(c);
            sales.push_back(std::move(row));
        }
    }
    *lines += qint64(sales.size());
    return InsertRows(db,
                      "INSERT INTO sales (snapshot_id, barcode, plu, name, department, quantity, "
                      "total, sold_quantity, sold_total)",
                      sales, 0, 9, "ON CONFLICT DO NOTHING");
}

struct TablePush {
    const Table& table;
    const QString& columns;
    int batch;
    std::function<QString(QSqlDatabase&, const std::vector<Row>&, TPushCounts&)> send;
};

} // namespace

TPushResult PushHistory(THistoryStore& local, THistoryStore& server, const TPushOptions& options) {
    TPushResult result;
    const int batch = std::max(1, options.batchRows);
    const TablePush tables[] = {
        {Reports, ReportColumns, std::min(batch, ReportsPerBatch),
         [&](QSqlDatabase& db, const std::vector<Row>& rows, TPushCounts& counts) {
             counts.reports += qint64(rows.size());
             return PushReports(local, db, rows);
         }},
        {Journal, JournalColumns, batch,
         [&](QSqlDatabase& db, const std::vector<Row>& rows, TPushCounts&) {
             return PushJournal(db, rows);
         }},
        // A snapshot carries its lines: about a batch of lines at once.
        {Snapshots, SnapshotColumns, std::max(1, batch / 200),
         [&](QSqlDatabase& db, const std::vector<Row>& rows, TPushCounts& counts) {
             return PushSnapshots(local, db, rows, &counts.salesLines);
         }},
    };
    for (const TablePush& push : tables) {
        const QString key = MarkKey(push.table, server);
        QString error;
        MarkCursor cursor;
        cursor.mark = cursor.sentUpTo = ReadMark(local, push.table, key, &error);
        if (!error.isEmpty()) {
            result.error = LocalError(local, error);
            return result;
        }
        for (;;) {
            if (options.stop && options.stop->load())
                return result;
            const std::vector<Row> rows =
                ReadRows(local, push.table, push.columns, cursor.sentUpTo, push.batch, &error);
            if (!error.isEmpty()) {
                result.error = LocalError(local, error);
                return result;
            }
            if (rows.empty())
                break;
            TPushCounts counts;
            error = server.Write([&](QSqlDatabase& db) { return push.send(db, rows, counts); });
            if (!error.isEmpty()) {
                result.error = ServerError(server, error);
                result.serverFailed = true;
                return result;
            }
            if (&push.table == &Journal)
                counts.journalEntries = qint64(rows.size());
            if (&push.table == &Snapshots)
                counts.snapshots = qint64(rows.size());
            result.sent.reports += counts.reports;
            result.sent.journalEntries += counts.journalEntries;
            result.sent.snapshots += counts.snapshots;
            result.sent.salesLines += counts.salesLines;
            const qint64 before = cursor.mark;
            cursor.Sent(rows);
            // Killed before this write, the batch is simply sent again next time.
            if (cursor.mark != before)
                if (error = WriteMark(local, key, cursor.mark, cursor.markUuid); !error.isEmpty()) {
                    result.error = LocalError(local, error);
                    return result;
                }
            if (options.progress)
                options.progress(result.sent);
        }
    }
    return result;
}

TPushResult PushToServer(THistoryStore& local, const THistoryServer& address, int waitSeconds,
                         const TPushOptions& options) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(std::max(0, waitSeconds));
    TPushCounts sent;
    int pauseMs = 500;
    for (;;) {
        THistoryStore server;
        TPushResult result;
        if (!server.OpenServer(address)) {
            result.error = server.Problem();
            result.serverFailed = server.State() == TStoreState::Unavailable;
        } else {
            result = PushHistory(local, server, options);
        }
        sent.reports += result.sent.reports;
        sent.journalEntries += result.sent.journalEntries;
        sent.snapshots += result.sent.snapshots;
        sent.salesLines += result.sent.salesLines;
        result.sent = sent;
        if (result.error.isEmpty() || !result.serverFailed || Clock::now() >= deadline ||
            (options.stop && options.stop->load()))
            return result;
        QThread::msleep(ulong(pauseMs));
        pauseMs = std::min(pauseMs * 2, 4000);
    }
}
