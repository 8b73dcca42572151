#pragma once
// A throwaway PostgreSQL cluster for the tests that need a real server: made with initdb in a
// temporary folder, listening on a socket in that folder and on a free TCP port of 127.0.0.1,
// with TLS from a certificate authority made for it. The server runs as an unprivileged user
// when the tests run as root (PostgreSQL refuses root), and is stopped when the object goes,
// whether the test passed or not.

#include <QTemporaryDir>

#include <string>

class TPgCluster {
public:
    TPgCluster();
    ~TPgCluster();
    TPgCluster(const TPgCluster&) = delete;
    TPgCluster& operator=(const TPgCluster&) = delete;

    // The folder of initdb, pg_ctl and psql; empty when the server is not installed.
    static std::string BinDir();

    // initdb, certificates, start. Empty when running, else why not.
    std::string Start();
    // Stops the server (fast shutdown) and starts it again on the same port.
    bool Stop();
    bool Restart();
    bool Running() const { return running_; }

    int Port() const { return port_; }
    std::string SocketDir() const { return dir_.path().toStdString() + "/run"; }
    std::string CaFile() const { return dir_.path().toStdString() + "/tls/ca.crt"; }
    std::string Path(const std::string& name) const {
        return dir_.path().toStdString() + "/" + name;
    }

    // Runs SQL as the superuser on the socket; the output (psql -At) or "ERROR: ..." on failure.
    std::string Sql(const std::string& database, const std::string& sql) const;
    // A role with a password (kept in a passfile the client is given) that owns a new database.
    bool CreateDatabase(const std::string& database, const std::string& role,
                        const std::string& password);
    // A passfile (0600) for the role, as ~/.pgpass is.
    std::string PassFile(const std::string& role, const std::string& password) const;

private:
    bool RunAsServerUser(const std::string& program, const std::vector<std::string>& args,
                         int timeoutMs, std::string* output = nullptr) const;
    bool StartServer();
    std::string MakeCertificates();

    QTemporaryDir dir_;
    int port_ = 0;
    bool running_ = false;
};
