#pragma once
// The history's tables, version by version. Each version's statements bring a store of the
// version before it up to that version; a new store runs them all from version 1. The SQL is
// written once for SQLite and PostgreSQL: the few words they spell differently are placeholders
// that Dialect() fills in, and what only one of them has (SQLite's full-text table) is marked.

#include <string>
#include <vector>

enum class TSqlDialect { SQLite, PostgreSQL };

struct TSchemaStatement {
    std::string sql;
    // Runs on SQLite only, or on PostgreSQL only; both when neither is set.
    bool sqliteOnly = false;
    bool postgresqlOnly = false;
};

struct TMigration {
    int version = 0; // the version the store has once these statements ran
    std::vector<TSchemaStatement> statements;
};

// Every version this program knows, oldest first; the last is the version it writes.
const std::vector<TMigration>& HistoryMigrations();
int HistorySchemaVersion();

// The statement in the dialect's words: {id} an integer key numbered by the database, {key} an
// integer key given by the row, {blob} bytes, {real} a floating-point number, {without_rowid}
// SQLite's clustered table.
std::string Dialect(const std::string& sql, TSqlDialect dialect);
// The statements of one migration that run on the dialect, in its words.
std::vector<std::string> MigrationStatements(const TMigration& migration, TSqlDialect dialect);
