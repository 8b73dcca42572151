#include "HistorySchema.h"

namespace {

// Times are UTC ISO-8601 texts with milliseconds ("2026-01-31T14:03:22.120Z"): they sort as
// they happened, in either database. Every row a chain's head office will want carries a UUID,
// so that sending it twice stores it once. A sales line is known by its snapshot's UUID and its
// barcode; a UUID of its own would make the largest table half as big again for nothing.
const std::vector<TMigration> Migrations{
    {1,
     {
         {"CREATE TABLE store_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)"},
         // The list reads only these small rows; a report's text and bytes lie beside them.
         {"CREATE TABLE reports ("
          " id {id},"
          " uuid TEXT NOT NULL UNIQUE,"
          " read_at TEXT NOT NULL,"
          " shop TEXT NOT NULL,"
          " register TEXT NOT NULL,"
          " port TEXT NOT NULL,"
          " code_page TEXT NOT NULL,"
          " first_line TEXT NOT NULL,"
          // 1 once the register took the request to clear it
          " cleared INTEGER NOT NULL DEFAULT 0)"},
         {"CREATE INDEX reports_by_time ON reports (read_at)"},
         {"CREATE TABLE report_texts ("
          " report_id {key} REFERENCES reports (id) ON DELETE CASCADE,"
          " text TEXT NOT NULL,"
          " raw {blob} NOT NULL)"},
         // Words match whatever their case and accents: "cafe" finds "CAFÉ".
         {"CREATE VIRTUAL TABLE reports_search USING fts5(text, content='report_texts', "
          "content_rowid='report_id', tokenize='unicode61 remove_diacritics 2')",
          true},
         {"CREATE TRIGGER reports_search_insert AFTER INSERT ON report_texts BEGIN "
          "INSERT INTO reports_search (rowid, text) VALUES (new.report_id, new.text); END",
          true},
         {"CREATE TRIGGER reports_search_delete AFTER DELETE ON report_texts BEGIN "
          "INSERT INTO reports_search (reports_search, rowid, text) "
          "VALUES ('delete', old.report_id, old.text); END",
          true},
         {"CREATE INDEX reports_search ON report_texts USING gin (to_tsvector('simple', text))",
          false, true},
         {"CREATE TABLE journal ("
          " id {id},"
          " uuid TEXT NOT NULL UNIQUE,"
          " started_at TEXT NOT NULL,"
          " ended_at TEXT NOT NULL,"
          " shop TEXT NOT NULL,"
          " register TEXT NOT NULL,"
          " port TEXT NOT NULL,"
          " device TEXT NOT NULL,"
          " rate INTEGER NOT NULL,"
          " operation TEXT NOT NULL,"
          " kinds TEXT NOT NULL,"
          " range_begin INTEGER,"
          " range_end INTEGER,"
          // done, failed, cancelled; unfinished until the operation has ended
          " result TEXT NOT NULL,"
          " error TEXT NOT NULL,"
          " blocks INTEGER NOT NULL,"
          " bytes BIGINT NOT NULL,"
          " seconds {real} NOT NULL,"
          " document TEXT NOT NULL,"
          " document_sha256 TEXT NOT NULL,"
          " report_uuid TEXT NOT NULL,"
          " snapshot_uuid TEXT NOT NULL)"},
         {"CREATE INDEX journal_by_time ON journal (started_at)"},
         {"CREATE TABLE sales_snapshots ("
          " id {id},"
          " uuid TEXT NOT NULL UNIQUE,"
          " taken_at TEXT NOT NULL,"
          " shop TEXT NOT NULL,"
          " register TEXT NOT NULL,"
          " port TEXT NOT NULL,"
          " decimals INTEGER NOT NULL,"
          " items INTEGER NOT NULL,"
          // what was sold is counted from this one, of the same register and port
          " previous_uuid TEXT NOT NULL)"},
         {"CREATE INDEX sales_snapshots_by_time ON sales_snapshots (taken_at)"},
         {"CREATE INDEX sales_snapshots_by_register ON sales_snapshots (register, port, "
          "taken_at)"},
         {"CREATE TABLE sales ("
          " snapshot_id BIGINT NOT NULL REFERENCES sales_snapshots (id) ON DELETE CASCADE,"
          " barcode BIGINT NOT NULL,"
          " plu INTEGER,"
          " name TEXT NOT NULL,"
          " department INTEGER,"
          // the register's counters: thousandths, and money units at the snapshot's decimals
          " quantity BIGINT NOT NULL,"
          " total BIGINT NOT NULL,"
          // what was sold since the previous snapshot
          " sold_quantity BIGINT NOT NULL,"
          " sold_total BIGINT NOT NULL,"
          " PRIMARY KEY (snapshot_id, barcode)) {without_rowid}"},
         // One item's sales over the years come from this index alone.
         {"CREATE INDEX sales_by_item ON sales (barcode, snapshot_id, sold_quantity, "
          "sold_total)"},
     }},
};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

const std::vector<TMigration>& HistoryMigrations() {
    return Migrations;
}

int HistorySchemaVersion() {
    return Migrations.back().version;
}

std::string Dialect(const std::string& sql, TSqlDialect dialect) {
    const bool lite = dialect == TSqlDialect::SQLite;
    std::string text = sql;
    ReplaceAll(text, "{id}",
               lite ? "INTEGER PRIMARY KEY"
                    : "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    ReplaceAll(text, "{key}", lite ? "INTEGER PRIMARY KEY" : "BIGINT PRIMARY KEY");
    ReplaceAll(text, "{blob}", lite ? "BLOB" : "BYTEA");
    ReplaceAll(text, "{real}", lite ? "REAL" : "DOUBLE PRECISION");
    ReplaceAll(text, " {without_rowid}", lite ? " WITHOUT ROWID" : "");
    return text;
}

std::vector<std::string> MigrationStatements(const TMigration& migration, TSqlDialect dialect) {
    std::vector<std::string> statements;
    for (const TSchemaStatement& s : migration.statements) {
        if ((s.sqliteOnly && dialect != TSqlDialect::SQLite) ||
            (s.postgresqlOnly && dialect != TSqlDialect::PostgreSQL))
            continue;
        statements.push_back(Dialect(s.sql, dialect));
    }
    return statements;
}
