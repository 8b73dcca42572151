#include "ReportArchive.h"

#include "CodePage.h"
#include "HistoryStore.h"
#include "HistoryTime.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

constexpr int FirstLineChars = 200;

struct Words {
    Q_DECLARE_TR_FUNCTIONS(ReportArchive)
};

QString FirstLine(const QString& text) {
    for (const QString& line : text.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts))
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty())
            return trimmed.left(FirstLineChars);
    return {};
}

// The filter's conditions, with their values in the order of the placeholders.
QString Where(const TReportFilter& filter, TSqlDialect dialect, QVariantList& values) {
    QStringList conditions;
    if (filter.since) {
        conditions << "read_at >= ?";
        values << StoredTime(*filter.since);
    }
    if (filter.until) {
        conditions << "read_at < ?";
        values << StoredTime(*filter.until);
    }
    if (!filter.registerName.isEmpty()) {
        QString pattern = filter.registerName.toLower();
        pattern.replace("\\", "\\\\").replace("%", "\\%").replace("_", "\\_");
        conditions << "lower(register) LIKE ? ESCAPE '\\'";
        values << "%" + pattern + "%";
    }
    if (dialect == TSqlDialect::PostgreSQL) {
        // The server's index is on the words of every text, matched as SQLite's are, but for
        // accents.
        if (const QString query = ServerSearchQuery(filter.words); !query.isEmpty()) {
            conditions << "id IN (SELECT report_id FROM report_texts WHERE "
                          "to_tsvector('simple', text) @@ to_tsquery('simple', ?))";
            values << query;
        }
    } else if (const QString query = SearchQuery(filter.words); !query.isEmpty()) {
        // "+id" keeps the planner walking the time index: a page of the newest stops at its
        // last row instead of fetching and sorting every match first.
        conditions << "+id IN (SELECT rowid FROM reports_search WHERE reports_search MATCH ?)";
        values << query;
    }
    return conditions.isEmpty() ? QString() : " WHERE " + conditions.join(" AND ");
}

void Bind(QSqlQuery& query, const QVariantList& values) {
    for (const QVariant& value : values)
        query.addBindValue(value);
}

} // namespace

QByteArray TArchivedReport::RawText() const {
    return QByteArray::fromStdString(ReportText(raw.toStdString()));
}

QString SearchQuery(const QString& words) {
    QStringList terms;
    for (QString word : words.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        terms << "\"" + word.replace("\"", "\"\"") + "\"*";
    return terms.join(' ');
}

QString ServerSearchQuery(const QString& words) {
    QStringList terms;
    for (QString word : words.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        terms << "'" + word.replace("\\", "\\\\").replace("'", "''") + "':*";
    return terms.join(" & ");
}

QString ArchiveReport(THistoryStore& store, const TReportRead& report, const QDateTime& readAt,
                      QString* uuid) {
    const CodePage& codePage = DocumentCodePage();
    const QString text = codePage.ToUnicode(report.text);
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString error = store.Write([&](QSqlDatabase& db) {
        QSqlQuery insert(db);
        insert.prepare("INSERT INTO reports (uuid, read_at, shop, register, port, code_page, "
                       "first_line) VALUES (?, ?, ?, ?, ?, ?, ?)");
        insert.addBindValue(id);
        insert.addBindValue(StoredTime(readAt));
        insert.addBindValue(TextValue(store.Shop()));
        insert.addBindValue(TextValue(codePage.ToUnicode(report.identification)));
        insert.addBindValue(TextValue(QString::fromLocal8Bit(report.port)));
        insert.addBindValue(TextValue(QString::fromStdString(codePage.Name())));
        insert.addBindValue(TextValue(FirstLine(text)));
        if (!insert.exec())
            return QueryError(insert);
        const QVariant reportId = insert.lastInsertId();
        insert.prepare("INSERT INTO report_texts (report_id, text, raw) VALUES (?, ?, ?)");
        insert.addBindValue(reportId);
        insert.addBindValue(TextValue(text));
        insert.addBindValue(QByteArray::fromStdString(report.blocks));
        return insert.exec() ? QString() : QueryError(insert);
    });
    if (error.isEmpty() && uuid)
        *uuid = id;
    return error;
}

QString MarkReportCleared(THistoryStore& store, const QString& uuid) {
    return store.Write([&](QSqlDatabase& db) {
        QSqlQuery update(db);
        update.prepare("UPDATE reports SET cleared = 1 WHERE uuid = ?");
        update.addBindValue(uuid);
        return update.exec() ? QString() : QueryError(update);
    });
}

TReportKeeper ArchiveKeeper(THistoryStore* store, QString* uuid) {
    return [store, uuid](const TReportRead& report) -> std::string {
        if (!store)
            return Words::tr("no history file is open").toStdString();
        if (!store->IsOpen())
            return store->Problem().toStdString();
        const QString error = ArchiveReport(*store, report, QDateTime::currentDateTimeUtc(), uuid);
        if (error.isEmpty())
            return {};
        return (QString::fromLocal8Bit(store->Path()) + ": " + error).toStdString();
    };
}

QString NotArchivedText(const QString& reason) {
    return Words::tr("The report was not archived (%1), so the register keeps it.").arg(reason);
}

std::vector<TArchivedReport> ListReports(THistoryStore& store, const TReportFilter& filter,
                                         QString* error) {
    std::vector<TArchivedReport> reports;
    QVariantList values;
    QString sql = "SELECT id, uuid, read_at, shop, register, port, code_page, first_line, cleared "
                  "FROM reports" +
                  Where(filter, store.Dialect(), values) + " ORDER BY read_at DESC, id DESC";
    if (filter.limit >= 0)
        sql += QString(" LIMIT %1 OFFSET %2").arg(filter.limit).arg(filter.offset);
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(sql);
    Bind(query, values);
    if (!query.exec()) {
        *error = QueryError(query);
        return reports;
    }
    while (query.next()) {
        TArchivedReport r;
        r.id = query.value(0).toLongLong();
        r.uuid = query.value(1).toString();
        r.readAt = query.value(2).toString();
        r.shop = query.value(3).toString();
        r.registerName = query.value(4).toString();
        r.port = query.value(5).toString();
        r.codePage = query.value(6).toString();
        r.firstLine = query.value(7).toString();
        r.cleared = query.value(8).toInt() != 0;
        reports.push_back(std::move(r));
    }
    return reports;
}

int CountReports(THistoryStore& store, const TReportFilter& filter, QString* error) {
    QVariantList values;
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.prepare("SELECT count(*) FROM reports" + Where(filter, store.Dialect(), values));
    Bind(query, values);
    if (!query.exec() || !query.next()) {
        *error = QueryError(query);
        return 0;
    }
    return query.value(0).toInt();
}

std::optional<TArchivedReport> ArchivedReport(THistoryStore& store, qint64 id, QString* error) {
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.prepare("SELECT uuid, read_at, shop, register, port, code_page, first_line, cleared, "
                  "text, raw FROM reports JOIN report_texts ON report_id = id WHERE id = ?");
    query.addBindValue(id);
    if (!query.exec()) {
        *error = QueryError(query);
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    TArchivedReport r;
    r.id = id;
    r.uuid = query.value(0).toString();
    r.readAt = query.value(1).toString();
    r.shop = query.value(2).toString();
    r.registerName = query.value(3).toString();
    r.port = query.value(4).toString();
    r.codePage = query.value(5).toString();
    r.firstLine = query.value(6).toString();
    r.cleared = query.value(7).toInt() != 0;
    r.text = query.value(8).toString();
    r.raw = query.value(9).toByteArray();
    return r;
}
