#pragma once
// The history file: one SQLite database (history.sqlite beside the backups) that the window
// program and any number of command-line runs read and write at once. Opening brings its
// tables up to this program's version; a file that is no database, is damaged, or was written
// by a newer program is told with its path and left exactly as it is.

#include "HistorySchema.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <string>
#include <vector>

class QSqlQuery;
struct THistoryServer;

enum class TStoreState {
    Closed,
    Open,
    Unavailable, // the file or its folder cannot be opened or created
    Damaged,     // not a database, or a damaged one
    Newer,       // written by a newer program: its tables are not ours to change
};

class THistoryStore {
public:
    THistoryStore();
    ~THistoryStore();
    THistoryStore(const THistoryStore&) = delete;
    THistoryStore& operator=(const THistoryStore&) = delete;

    // $XDG_DATA_HOME/quorve-plu/history.sqlite (by default ~/.local/share/quorve-plu/).
    static std::string DefaultPath();

    // Opens the file (creating it and its folder when missing) and migrates it to this
    // program's version. False with Problem() set when it cannot be used.
    bool Open(const std::string& path);
    // The same with other migrations (tests of the migration path).
    bool Open(const std::string& path, const std::vector<TMigration>& migrations);
    // The same tables on a chain's PostgreSQL server (HistoryServer.cpp), made or brought up to
    // this version there. Path() is then the server's address, which never holds a password.
    bool OpenServer(const THistoryServer& server);
    void Close();

    bool IsOpen() const { return state_ == TStoreState::Open; }
    TStoreState State() const { return state_; }
    const std::string& Path() const { return path_; }
    // Why the store is not open, with its path; the program's own words and SQLite's.
    const QString& Problem() const { return problem_; }
    // The same without the path, to go inside another sentence.
    const QString& Reason() const { return reason_; }
    int Version() const { return version_; }
    TSqlDialect Dialect() const { return dialect_; }
    // This store's own identity and the shop it writes for (the computer's name).
    const QString& StoreId() const { return storeId_; }
    const QString& Shop() const { return shop_; }
    // The shop's name as the chain knows it ([History] Shop), instead of the computer's.
    void SetShop(const QString& shop) {
        if (!shop.trimmed().isEmpty())
            shop_ = shop.trimmed();
    }

    QSqlDatabase Database() const;

    // One write transaction, synced to disk when it returns: BEGIN IMMEDIATE, the body, COMMIT.
    // Another writer holding the file is waited for (the busy timeout, then a few more tries),
    // never reported as "database is locked". The body returns an error text to roll back.
    // Returns empty when committed, else why not.
    QString Write(const std::function<QString(QSqlDatabase&)>& body);

    // SQLite's integrity check: "ok" as the only line when the file is whole.
    QStringList Check(QString* error);
    // A consistent copy of the whole store in a new file (VACUUM INTO), written under a
    // temporary name and renamed into place. Empty when made, else why not.
    QString CopyTo(const std::string& path);
    // Gives the space of deleted rows back to the file system.
    void ReleaseFreeSpace();

private:
    bool Fail(TStoreState state, const QString& reason);
    bool Migrate(const std::vector<TMigration>& migrations);
    bool ReadIdentity();

    QString connection_;
    TSqlDialect dialect_ = TSqlDialect::SQLite;
    TStoreState state_ = TStoreState::Closed;
    std::string path_;
    QString problem_;
    QString reason_;
    int version_ = 0;
    QString storeId_;
    QString shop_;
};

// A text to bind: never NULL, even when the QString is (Qt binds a null QString as NULL).
QVariant TextValue(const QString& text);
// The text of a failed query: what SQLite said.
QString QueryError(const QSqlQuery& query);
// Runs one statement; its error text, empty when done.
QString Exec(QSqlDatabase& db, const QString& sql);
