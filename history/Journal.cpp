#include "Journal.h"

#include "HistoryStore.h"
#include "HistoryTime.h"

#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

const char* const Columns = "id, uuid, started_at, ended_at, shop, register, port, device, rate, "
                            "operation, kinds, range_begin, range_end, result, error, blocks, "
                            "bytes, seconds, document, document_sha256, report_uuid, "
                            "snapshot_uuid";

QVariant Optional(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

std::optional<int> OptionalInt(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

} // namespace

bool IsOperationName(const QString& name) {
    using namespace operations;
    for (const char* known : {Download, SendChanges, Upload, Compare, Backup, Restore, Report, Test,
                              Detect, Dump, Program, Font})
        if (name == known)
            return true;
    return false;
}

QString WriteJournalEntry(THistoryStore& store, TJournalEntry& entry) {
    const bool fresh = entry.uuid.isEmpty();
    const QString uuid = fresh ? QUuid::createUuid().toString(QUuid::WithoutBraces) : entry.uuid;
    if (entry.shop.isEmpty())
        entry.shop = store.Shop();
    qint64 id = entry.id;
    const QString error = store.Write([&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (fresh)
            query.prepare("INSERT INTO journal (started_at, ended_at, shop, register, port, "
                          "device, rate, operation, kinds, range_begin, range_end, result, "
                          "error, blocks, bytes, seconds, document, document_sha256, "
                          "report_uuid, snapshot_uuid, uuid) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        else
            query.prepare("UPDATE journal SET started_at = ?, ended_at = ?, shop = ?, "
                          "register = ?, port = ?, device = ?, rate = ?, operation = ?, "
                          "kinds = ?, range_begin = ?, range_end = ?, result = ?, error = ?, "
                          "blocks = ?, bytes = ?, seconds = ?, document = ?, "
                          "document_sha256 = ?, report_uuid = ?, snapshot_uuid = ? "
                          "WHERE uuid = ?");
        const QDateTime ended = entry.ended.isValid() ? entry.ended : entry.started;
        for (const QVariant& value : {QVariant(StoredTime(entry.started)),
                                      QVariant(StoredTime(ended)),
                                      TextValue(entry.shop),
                                      TextValue(entry.registerName),
                                      TextValue(entry.port),
                                      TextValue(entry.device),
                                      QVariant(entry.rate),
                                      TextValue(entry.operation),
                                      TextValue(entry.kinds),
                                      Optional(entry.rangeBegin),
                                      Optional(entry.rangeEnd),
                                      TextValue(entry.result),
                                      TextValue(entry.error),
                                      QVariant(entry.blocks),
                                      QVariant(entry.bytes),
                                      QVariant(entry.seconds),
                                      TextValue(entry.document),
                                      TextValue(entry.documentSha256),
                                      TextValue(entry.reportUuid),
                                      TextValue(entry.snapshotUuid),
                                      QVariant(uuid)})
            query.addBindValue(value);
        if (!query.exec())
            return QueryError(query);
        if (fresh)
            id = query.lastInsertId().toLongLong();
        return QString();
    });
    if (error.isEmpty()) {
        entry.uuid = uuid;
        entry.id = id;
    }
    return error;
}

std::vector<TJournalEntry> ListJournal(THistoryStore& store, const TJournalFilter& filter,
                                       QString* error) {
    QStringList conditions;
    QVariantList values;
    if (filter.since) {
        conditions << "started_at >= ?";
        values << StoredTime(*filter.since);
    }
    if (filter.until) {
        conditions << "started_at < ?";
        values << StoredTime(*filter.until);
    }
    if (!filter.operation.isEmpty()) {
        conditions << "operation = ?";
        values << filter.operation;
    }
    if (!filter.registerName.isEmpty()) {
        QString pattern = filter.registerName.toLower();
        pattern.replace("\\", "\\\\").replace("%", "\\%").replace("_", "\\_");
        conditions << "lower(register) LIKE ? ESCAPE '\\'";
        values << "%" + pattern + "%";
    }
    if (!filter.result.isEmpty()) {
        conditions << "result = ?";
        values << filter.result;
    }
    if (filter.failedOnly)
        conditions << QString("result IN ('%1', '%2')").arg(results::Failed, results::Unfinished);
    QString sql = QString("SELECT %1 FROM journal").arg(Columns);
    if (!conditions.isEmpty())
        sql += " WHERE " + conditions.join(" AND ");
    sql += " ORDER BY started_at DESC, id DESC";
    if (filter.limit >= 0)
        sql += QString(" LIMIT %1 OFFSET %2").arg(filter.limit).arg(filter.offset);

    std::vector<TJournalEntry> entries;
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        *error = QueryError(query);
        return entries;
    }
    while (query.next()) {
        TJournalEntry e;
        int c = 0;
        e.id = query.value(c++).toLongLong();
        e.uuid = query.value(c++).toString();
        e.started = FromStoredTime(query.value(c++).toString());
        e.ended = FromStoredTime(query.value(c++).toString());
        e.shop = query.value(c++).toString();
        e.registerName = query.value(c++).toString();
        e.port = query.value(c++).toString();
        e.device = query.value(c++).toString();
        e.rate = query.value(c++).toInt();
        e.operation = query.value(c++).toString();
        e.kinds = query.value(c++).toString();
        e.rangeBegin = OptionalInt(query.value(c++));
        e.rangeEnd = OptionalInt(query.value(c++));
        e.result = query.value(c++).toString();
        e.error = query.value(c++).toString();
        e.blocks = query.value(c++).toLongLong();
        e.bytes = query.value(c++).toLongLong();
        e.seconds = query.value(c++).toDouble();
        e.document = query.value(c++).toString();
        e.documentSha256 = query.value(c++).toString();
        e.reportUuid = query.value(c++).toString();
        e.snapshotUuid = query.value(c++).toString();
        entries.push_back(std::move(e));
    }
    return entries;
}
