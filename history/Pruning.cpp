#include "Pruning.h"

#include "HistoryStore.h"
#include "HistoryTime.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// The tables and the column that dates their rows.
struct Dated {
    const char* table;
    const char* column;
};
constexpr Dated Reports{"reports", "read_at"};
constexpr Dated Journal{"journal", "started_at"};
constexpr Dated Snapshots{"sales_snapshots", "taken_at"};

bool Count(QSqlDatabase& db, const QString& sql, const QString& before, qint64& count,
           QString* error) {
    QSqlQuery query(db);
    query.prepare(sql);
    query.addBindValue(before);
    if (!query.exec() || !query.next()) {
        *error = QueryError(query);
        return false;
    }
    count = query.value(0).toLongLong();
    return true;
}

QString CountSql(const Dated& d) {
    return QString("SELECT count(*) FROM %1 WHERE %2 < ?").arg(d.table, d.column);
}

} // namespace

TPruneCounts CountBefore(THistoryStore& store, const QDateTime& before, QString* error) {
    TPruneCounts counts;
    QSqlDatabase db = store.Database();
    const QString at = StoredTime(before);
    qint64 reports = 0, journal = 0, snapshots = 0;
    if (Count(db, CountSql(Reports), at, reports, error) &&
        Count(db, CountSql(Journal), at, journal, error) &&
        Count(db, CountSql(Snapshots), at, snapshots, error) &&
        Count(db,
              "SELECT count(*) FROM sales WHERE snapshot_id IN "
              "(SELECT id FROM sales_snapshots WHERE taken_at < ?)",
              at, counts.salesLines, error)) {
        counts.reports = int(reports);
        counts.journalEntries = int(journal);
        counts.snapshots = int(snapshots);
    }
    return counts;
}

QString PruneBefore(THistoryStore& store, const QDateTime& before, TPruneCounts* deleted) {
    TPruneCounts counts;
    const QString at = StoredTime(before);
    const QString error = store.Write([&](QSqlDatabase& db) -> QString {
        QString failed;
        counts = CountBefore(store, before, &failed);
        if (!failed.isEmpty())
            return failed;
        // The sales lines go with their snapshots (ON DELETE CASCADE), the search index with
        // its reports (a trigger).
        for (const Dated& d : {Reports, Journal, Snapshots}) {
            QSqlQuery query(db);
            query.prepare(QString("DELETE FROM %1 WHERE %2 < ?").arg(d.table, d.column));
            query.addBindValue(at);
            if (!query.exec())
                return QueryError(query);
        }
        return {};
    });
    if (!error.isEmpty())
        return error;
    store.ReleaseFreeSpace();
    if (deleted)
        *deleted = counts;
    return {};
}
