#include "HistoryServer.h"

#include "HistoryStore.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <map>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("THistoryServer", text);
}

// Any key that may carry a secret is refused rather than passed on.
const std::map<QString, QString THistoryServer::*>& TextKeys() {
    static const std::map<QString, QString THistoryServer::*> keys{
        {"host", &THistoryServer::host},         {"user", &THistoryServer::user},
        {"dbname", &THistoryServer::database},   {"service", &THistoryServer::service},
        {"sslmode", &THistoryServer::sslMode},   {"sslrootcert", &THistoryServer::sslRootCert},
        {"sslcert", &THistoryServer::sslCert},   {"sslkey", &THistoryServer::sslKey},
        {"passfile", &THistoryServer::passFile},
    };
    return keys;
}

QString Decoded(const QString& text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// A value as libpq's keyword=value syntax takes it, whatever it holds.
QString Quoted(const QString& value) {
    QString text = value;
    text.replace("\\", "\\\\").replace("'", "\\'");
    return "'" + text + "'";
}

bool SetNumber(const QString& text, int* value) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok && number >= 0 && number <= 65535)
        *value = number;
    return ok && number >= 0 && number <= 65535;
}

QString PasswordRefused() {
    return Tr("the history server's address holds a password; it is not taken: keep the "
              "password in ~/.pgpass or a service file (pg_service.conf) and give the address "
              "without it");
}

} // namespace

bool IsServerAddress(const std::string& text) {
    return text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0 ||
           text.rfind("service=", 0) == 0;
}

QString RedactedAddress(const QString& text) {
    QString redacted = text;
    // user:secret@ in the authority
    redacted.replace(QRegularExpression("^(postgres(?:ql)?://[^/@?]*?):[^/@?]*@"), "\\1:***@");
    // password=secret anywhere (a query or a keyword string)
    redacted.replace(QRegularExpression("(password=)('[^']*'|[^&\\s]*)",
                                        QRegularExpression::CaseInsensitiveOption),
                     "\\1***");
    return redacted;
}

std::optional<THistoryServer> ParseServerAddress(const QString& text, QString* error) {
    THistoryServer server;
    if (text.startsWith("service=")) {
        server.service = text.mid(8).trimmed();
        if (server.service.isEmpty() || server.service.contains(QRegularExpression("[\\s'\\\\]"))) {
            *error = Tr("service= needs the name of a section of pg_service.conf");
            return std::nullopt;
        }
        return server;
    }
    const QRegularExpression url("^postgres(?:ql)?://([^/?]*)(?:/([^?]*))?(?:\\?(.*))?$");
    const QRegularExpressionMatch match = url.match(text);
    if (!match.hasMatch()) {
        *error = Tr("the history server's address is not of the form "
                    "postgresql://user@host/database");
        return std::nullopt;
    }
    QString authority = match.captured(1);
    if (const qsizetype at = authority.lastIndexOf('@'); at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(':')) {
            *error = PasswordRefused();
            return std::nullopt;
        }
        server.user = Decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    QString host = authority;
    QString port;
    if (authority.startsWith('[')) {
        const qsizetype close = authority.indexOf(']');
        host = authority.mid(1, close - 1);
        port = authority.mid(close + 1).startsWith(':') ? authority.mid(close + 2) : QString();
    } else if (const qsizetype colon = authority.lastIndexOf(':'); colon >= 0) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    server.host = Decoded(host);
    if (!port.isEmpty() && !SetNumber(port, &server.port)) {
        *error = Tr("the history server's port is not a number from 1 to 65535");
        return std::nullopt;
    }
    server.database = Decoded(match.captured(2));
    for (const QString& pair : match.captured(3).split('&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf('=');
        const QString key = Decoded(pair.left(equals)).toLower();
        const QString value = equals < 0 ? QString() : Decoded(pair.mid(equals + 1));
        if (key == "password") {
            *error = PasswordRefused();
            return std::nullopt;
        }
        if (const auto found = TextKeys().find(key); found != TextKeys().end()) {
            server.*(found->second) = value;
        } else if (key == "port" || key == "connect_timeout") {
            if (!SetNumber(value, key == "port" ? &server.port : &server.connectTimeout)) {
                *error = Tr("%1 in the history server's address is not a number").arg(key);
                return std::nullopt;
            }
        } else {
            *error = Tr("the history server's address has an unknown setting: %1").arg(key);
            return std::nullopt;
        }
    }
    if (server.host.isEmpty() && server.service.isEmpty() && server.database.isEmpty()) {
        *error = Tr("the history server's address names no host, database or service");
        return std::nullopt;
    }
    return server;
}

QString THistoryServer::Display() const {
    if (!service.isEmpty() && host.isEmpty() && database.isEmpty())
        return "service=" + service;
    QString text = "postgresql://";
    if (!user.isEmpty())
        text += QUrl::toPercentEncoding(user) + "@";
    if (host.contains(':'))
        text += "[" + host + "]";
    else
        text += QUrl::toPercentEncoding(host);
    if (port > 0)
        text += QString(":%1").arg(port);
    text += "/" + QUrl::toPercentEncoding(database);
    QStringList query;
    if (!service.isEmpty())
        query << "service=" + service;
    if (!sslMode.isEmpty())
        query << "sslmode=" + sslMode;
    if (!sslRootCert.isEmpty())
        query << "sslrootcert=" + sslRootCert;
    return query.isEmpty() ? text : text + "?" + query.join('&');
}

QString THistoryServer::ConnectOptions() const {
    QStringList options{QString("connect_timeout=%1").arg(connectTimeout),
                        "application_name=quorve-plu"};
    const std::pair<const char*, const QString*> keys[] = {
        {"service", &service}, {"sslmode", &sslMode}, {"sslrootcert", &sslRootCert},
        {"sslcert", &sslCert}, {"sslkey", &sslKey},   {"passfile", &passFile},
    };
    for (const auto& [key, value] : keys)
        if (!value->isEmpty())
            options << QString(key) + "=" + Quoted(*value);
    return options.join(';');
}

// ---- The store on a server ----

namespace {

// Every shop opening the server at once brings it up to date one after the other.
constexpr qint64 MigrationLock = 0x71706c7568697374; // "qpluhist"

QString ServerError(const QSqlError& error) {
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    text = RedactedAddress(text.trimmed());
    return text.isEmpty() ? Tr("unknown error") : text;
}

} // namespace

bool THistoryStore::OpenServer(const THistoryServer& server) {
    Close();
    dialect_ = TSqlDialect::PostgreSQL;
    path_ = server.Display().toStdString();
    problem_.clear();
    reason_.clear();
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        return Fail(TStoreState::Unavailable,
                    Tr("Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)"));
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connection_);
        db.setHostName(server.host);
        if (server.port > 0)
            db.setPort(server.port);
        db.setDatabaseName(server.database);
        db.setUserName(server.user);
        db.setConnectOptions(server.ConnectOptions());
        if (!db.open())
            reason = Tr("the server cannot be reached: %1").arg(ServerError(db.lastError()));
    }
    if (!reason.isEmpty())
        return Fail(TStoreState::Unavailable, reason);
    state_ = TStoreState::Open;
    const int latest = HistorySchemaVersion();
    int reached = 0;
    bool newer = false;
    const QString error = Write([&](QSqlDatabase& db) -> QString {
        QSqlQuery query(db);
        if (!query.exec(QString("SELECT pg_advisory_xact_lock(%1)").arg(MigrationLock)))
            return ServerError(query.lastError());
        if (!query.exec("SELECT to_regclass('store_info') IS NOT NULL") || !query.next())
            return ServerError(query.lastError());
        int version = 0;
        if (query.value(0).toBool()) {
            if (!query.exec("SELECT value FROM store_info WHERE key = 'version'"))
                return ServerError(query.lastError());
            version = query.next() ? query.value(0).toInt() : 0;
        }
        if (version > latest) {
            newer = true;
            reached = version;
            return QString("newer");
        }
        for (const TMigration& migration : HistoryMigrations()) {
            if (migration.version <= version)
                continue;
            for (const std::string& sql : MigrationStatements(migration, TSqlDialect::PostgreSQL))
                if (!query.exec(QString::fromStdString(sql)))
                    return ServerError(query.lastError());
            version = migration.version;
        }
        query.prepare("INSERT INTO store_info (key, value) VALUES ('version', ?) "
                      "ON CONFLICT (key) DO UPDATE SET value = excluded.value");
        query.addBindValue(QString::number(version));
        if (!query.exec())
            return ServerError(query.lastError());
        reached = version;
        return {};
    });
    if (newer)
        return Fail(TStoreState::Newer,
                    Tr("it was written by a newer version of this program: history version "
                       "%1, this one knows %2; it is left as it is")
                        .arg(reached)
                        .arg(latest));
    if (!error.isEmpty())
        return Fail(TStoreState::Unavailable,
                    Tr("its tables cannot be made or brought up to this version: %1").arg(error));
    version_ = reached;
    shop_.clear();
    storeId_.clear();
    return true;
}
