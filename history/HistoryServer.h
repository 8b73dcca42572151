#pragma once
// A chain's shared history: the same tables on a PostgreSQL server, reached through Qt's QPSQL
// driver. An address never holds a password: libpq finds it in ~/.pgpass (or the passfile
// named) or in a service file, so none ever stands in the settings, the journal or a message.

#include <QString>

#include <optional>
#include <string>

struct THistoryServer {
    QString host; // a name, an address, or a folder holding the server's Unix socket
    int port = 0; // 0: libpq's default
    QString user;
    QString database;
    QString service; // a section of pg_service.conf
    QString sslMode;
    QString sslRootCert;
    QString sslCert;
    QString sslKey;
    QString passFile;
    int connectTimeout = 10; // seconds

    // The address as the user may see it: "postgresql://shop1@hq.example/chain?sslmode=...".
    QString Display() const;
    // libpq's keywords beyond host, port, user and database, as QPSQL takes them.
    QString ConnectOptions() const;
};

// "postgresql://", "postgres://" or "service=": a server, not a file.
bool IsServerAddress(const std::string& text);

// postgresql://[user@]host[:port][/database][?key=value&...] (host and values percent-encoded;
// a host starting with '/' is a socket folder), or service=NAME. An address with a password in
// it is refused: the error says where the password goes, and never repeats it.
std::optional<THistoryServer> ParseServerAddress(const QString& text, QString* error);

// The text with any password in it replaced by "***": for the messages that must show an
// address the program refused.
QString RedactedAddress(const QString& text);
