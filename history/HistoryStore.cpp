#include "HistoryStore.h"

#include "HistoryTime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUuid>
#include <QVariant>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Why the store is not open: told to people, in the program's language.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(THistoryStore)
};

// A writer waits this long for another to finish before SQLite gives up, and the write is then
// tried again this many times: a minute in all, far beyond any of our transactions.
constexpr int BusyTimeoutMs = 5000;
constexpr int WriteTries = 12;

// SQLite's result codes as QSQLITE reports them.
const QString SqliteBusy = "5";
const QString SqliteLocked = "6";
const QString SqliteCorrupt = "11";
const QString SqliteNotADatabase = "26";

QString NextConnectionName() {
    static std::atomic<int> next{0};
    return QString("quorve-history-%1").arg(next++);
}

QString ErrorText(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? Words::tr("unknown error") : text;
}

bool IsBusy(const QSqlError& error) {
    return error.nativeErrorCode() == SqliteBusy || error.nativeErrorCode() == SqliteLocked;
}

bool IsDamage(const QSqlError& error) {
    return error.nativeErrorCode() == SqliteCorrupt ||
           error.nativeErrorCode() == SqliteNotADatabase;
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The copy must be on the disk before it is named as the backup's.
bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QVariant TextValue(const QString& text) {
    return text.isNull() ? QVariant(QString("")) : QVariant(text);
}

QString QueryError(const QSqlQuery& query) {
    return ErrorText(query.lastError());
}

QString Exec(QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    return query.exec(sql) ? QString() : QueryError(query);
}

THistoryStore::THistoryStore() : connection_(NextConnectionName()) {}

THistoryStore::~THistoryStore() {
    Close();
}

std::string THistoryStore::DefaultPath() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            "/quorve-plu/history.sqlite")
        .toLocal8Bit()
        .toStdString();
}

QSqlDatabase THistoryStore::Database() const {
    return QSqlDatabase::database(connection_, false);
}

void THistoryStore::Close() {
    if (QSqlDatabase::contains(connection_)) {
        {
            QSqlDatabase db = Database();
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }
    state_ = TStoreState::Closed;
    version_ = 0;
}

bool THistoryStore::Fail(TStoreState state, const QString& reason) {
    Close();
    state_ = state;
    reason_ = reason;
    problem_ = QString::fromLocal8Bit(path_) + ": " + reason;
    return false;
}

bool THistoryStore::Open(const std::string& path) {
    return Open(path, HistoryMigrations());
}

bool THistoryStore::Open(const std::string& path, const std::vector<TMigration>& migrations) {
    Close();
    dialect_ = TSqlDialect::SQLite;
    path_ = path;
    problem_.clear();
    reason_.clear();
    const QFileInfo info(QString::fromLocal8Bit(path));
    if (!QDir().mkpath(info.absolutePath()))
        return Fail(
            TStoreState::Unavailable,
            Words::tr("its folder cannot be made: %1").arg(SystemReason(errno ? errno : EACCES)));
    if (info.exists() && !info.isFile())
        return Fail(TStoreState::Unavailable, Words::tr("it is not a file"));
    if (!QSqlDatabase::isDriverAvailable("QSQLITE"))
        return Fail(TStoreState::Unavailable,
                    Words::tr("Qt's SQLite driver is not installed (package libqt6sql6-sqlite)"));
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection_);
        db.setDatabaseName(info.filePath());
        db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open())
            reason = ErrorText(db.lastError());
    }
    if (!reason.isEmpty())
        return Fail(TStoreState::Unavailable, reason);
    int version = 0;
    TStoreState failed = TStoreState::Open;
    {
        // The first read looks at the file's header and its table list: a file that is no
        // database, or whose header or list is damaged, fails here before anything is written.
        QSqlDatabase db = Database();
        QSqlQuery query(db);
        bool read = query.exec("PRAGMA user_version") && query.next();
        if (read)
            version = query.value(0).toInt();
        read = read && query.exec("SELECT count(*) FROM sqlite_master") && query.next();
        if (!read) {
            const QSqlError error = query.lastError();
            failed = IsDamage(error) ? TStoreState::Damaged : TStoreState::Unavailable;
            reason = IsDamage(error) ? Words::tr("it is damaged or is no history file: %1; it is "
                                                 "left as it is")
                                           .arg(ErrorText(error))
                                     : ErrorText(error);
        }
    }
    if (failed != TStoreState::Open)
        return Fail(failed, reason);
    const int latest = migrations.empty() ? 0 : migrations.back().version;
    if (version > latest)
        return Fail(TStoreState::Newer,
                    Words::tr("it was written by a newer version of this program: history version "
                              "%1, this one knows %2; it is left as it is")
                        .arg(version)
                        .arg(latest));
    {
        // WAL: readers never wait for the writer and writers of several processes take turns.
        // FULL: a commit is on the disk when it returns; "archived" must survive a power cut
        // that comes after the register was told to clear its report.
        QSqlDatabase db = Database();
        Exec(db, "PRAGMA journal_mode=WAL");
        Exec(db, "PRAGMA synchronous=FULL");
        Exec(db, "PRAGMA foreign_keys=ON");
    }
    state_ = TStoreState::Open;
    version_ = version;
    if (version < latest && !Migrate(migrations))
        return false;
    ReadIdentity();
    return true;
}

bool THistoryStore::Migrate(const std::vector<TMigration>& migrations) {
    {
        QSqlDatabase db = Database();
        // Only a store without tables takes this; deleted rows' pages can then be given back.
        if (version_ == 0)
            Exec(db, "PRAGMA auto_vacuum=INCREMENTAL");
    }
    int reached = version_;
    const QString error = Write([&](QSqlDatabase& db) -> QString {
        // Another program may have migrated the file while this one waited for it.
        QSqlQuery query(db);
        if (!query.exec("PRAGMA user_version") || !query.next())
            return QueryError(query);
        int version = query.value(0).toInt();
        for (const TMigration& migration : migrations) {
            if (migration.version <= version)
                continue;
            for (const std::string& sql : MigrationStatements(migration, TSqlDialect::SQLite))
                if (const QString failed = Exec(db, QString::fromStdString(sql)); !failed.isEmpty())
                    return failed;
            version = migration.version;
        }
        if (const QString failed = Exec(db, QString("PRAGMA user_version=%1").arg(version));
            !failed.isEmpty())
            return failed;
        reached = version;
        return {};
    });
    if (!error.isEmpty())
        return Fail(TStoreState::Unavailable,
                    Words::tr("it cannot be brought up to this version: %1").arg(error));
    version_ = reached;
    return true;
}

bool THistoryStore::ReadIdentity() {
    shop_ = QSysInfo::machineHostName();
    QSqlDatabase db = Database();
    QSqlQuery query(db);
    if (query.exec("SELECT value FROM store_info WHERE key = 'store'") && query.next()) {
        storeId_ = query.value(0).toString();
        return true;
    }
    query.finish();
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // A store that cannot be written still serves its readers.
    const QString error = Write([&](QSqlDatabase& db) {
        QSqlQuery insert(db);
        insert.prepare("INSERT INTO store_info (key, value) VALUES ('store', ?), ('created', ?) "
                       "ON CONFLICT (key) DO NOTHING");
        insert.addBindValue(id);
        insert.addBindValue(StoredTime(QDateTime::currentDateTimeUtc()));
        return insert.exec() ? QString() : QueryError(insert);
    });
    if (!error.isEmpty())
        return false;
    if (query.exec("SELECT value FROM store_info WHERE key = 'store'") && query.next())
        storeId_ = query.value(0).toString();
    return true;
}

QString THistoryStore::Write(const std::function<QString(QSqlDatabase&)>& body) {
    if (!IsOpen())
        return reason_.isEmpty() ? Words::tr("the history file is not open") : reason_;
    QSqlDatabase db = Database();
    QString error;
    for (int attempt = 0; attempt < WriteTries; ++attempt) {
        QSqlQuery begin(db);
        // A server's transactions take their locks as they go.
        if (!begin.exec(dialect_ == TSqlDialect::SQLite ? "BEGIN IMMEDIATE" : "BEGIN")) {
            error = QueryError(begin);
            if (IsBusy(begin.lastError()))
                continue;
            return error;
        }
        error = body(db);
        if (error.isEmpty()) {
            QSqlQuery commit(db);
            if (commit.exec("COMMIT"))
                return {};
            error = QueryError(commit);
            const bool busy = IsBusy(commit.lastError());
            Exec(db, "ROLLBACK");
            if (busy)
                continue;
            return error;
        }
        Exec(db, "ROLLBACK");
        return error;
    }
    return error;
}

QStringList THistoryStore::Check(QString* error) {
    QStringList lines;
    QSqlDatabase db = Database();
    QSqlQuery query(db);
    if (!query.exec("PRAGMA integrity_check")) {
        *error = QueryError(query);
        return lines;
    }
    while (query.next())
        lines << query.value(0).toString();
    if (query.lastError().isValid())
        *error = QueryError(query);
    return lines;
}

QString THistoryStore::CopyTo(const std::string& path) {
    if (!IsOpen())
        return reason_;
    const std::string partial = path + ".partial";
    std::remove(partial.c_str());
    QSqlDatabase db = Database();
    QSqlQuery query(db);
    query.prepare("VACUUM INTO ?");
    query.addBindValue(QString::fromLocal8Bit(partial));
    if (!query.exec()) {
        std::remove(partial.c_str());
        return QueryError(query);
    }
    if (!SyncFile(partial) || std::rename(partial.c_str(), path.c_str()) != 0) {
        const QString reason = SystemReason(errno);
        std::remove(partial.c_str());
        return reason;
    }
    SyncFolder(QFileInfo(QString::fromLocal8Bit(path)).absolutePath().toLocal8Bit().toStdString());
    return {};
}

void THistoryStore::ReleaseFreeSpace() {
    if (!IsOpen())
        return;
    QSqlDatabase db = Database();
    Exec(db, "PRAGMA incremental_vacuum");
}
