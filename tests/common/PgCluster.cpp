#include "PgCluster.h"

#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A loaded machine starts a server slowly; a test waits rather than flakes.
constexpr int StartTimeoutMs = 180000;

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

QStringList Args(const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    return list;
}

bool Run(const QString& program, const QStringList& args, std::string* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool done = process.waitForFinished(60000);
    if (output)
        *output = process.readAll().toStdString();
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TPgCluster::TPgCluster() = default;

TPgCluster::~TPgCluster() {
    Stop();
}

std::string TPgCluster::BinDir() {
    // The newest installed version.
    std::string best;
    int bestVersion = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        const int version = std::atoi(entry.path().filename().c_str());
        const std::string bin = entry.path().string() + "/bin";
        if (version > bestVersion && ::access((bin + "/pg_ctl").c_str(), X_OK) == 0) {
            bestVersion = version;
            best = bin;
        }
    }
    return best;
}

bool TPgCluster::RunAsServerUser(const std::string& program, const std::vector<std::string>& args,
                                 int timeoutMs, std::string* output) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir_.path());
    process.setChildProcessModifier([] {
        if (!DropToUnprivilegedUser())
            ::_exit(127);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(BinDir() + "/" + program), Args(args));
    const bool done = process.waitForFinished(timeoutMs);
    if (!done)
        process.kill(), process.waitForFinished(5000);
    if (output)
        *output = process.readAll().toStdString();
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

std::string TPgCluster::MakeCertificates() {
    const QString tls = dir_.path() + "/tls";
    QDir().mkpath(tls);
    QFile extensions(tls + "/server.ext");
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=DNS:localhost\n") < 0)
        return "cannot write " + extensions.fileName().toStdString();
    extensions.close();
    std::string output;
    const QString ca = tls + "/ca";
    const QString server = tls + "/server";
    if (!Run("openssl",
             {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca + ".key", "-out",
              ca + ".crt", "-days", "2", "-subj", "/CN=quorve test CA"},
             &output) ||
        !Run("openssl",
             {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", server + ".key", "-out",
              server + ".csr", "-subj", "/CN=localhost"},
             &output) ||
        !Run("openssl",
             {"x509", "-req", "-in", server + ".csr", "-CA", ca + ".crt", "-CAkey", ca + ".key",
              "-CAcreateserial", "-out", server + ".crt", "-days", "2", "-extfile",
              tls + "/server.ext"},
             &output))
        return "openssl failed: " + output;
    ::chmod((server + ".key").toLocal8Bit().constData(), 0600);
    return {};
}

std::string TPgCluster::Start() {
    if (BinDir().empty())
        return "the PostgreSQL server is not installed (scripts/setup installs it)";
    if (!dir_.isValid())
        return "no temporary folder";
    if (std::string problem = MakeCertificates(); !problem.empty())
        return problem;
    QDir().mkpath(dir_.path() + "/run");
    ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
    GiveToUnprivilegedUser(dir_.path().toStdString());
    std::string output;
    if (!RunAsServerUser("initdb",
                         {"-D", Path("data"), "-U", "postgres", "--auth-local=trust",
                          "--auth-host=scram-sha-256", "--encoding=UTF8", "--locale=C",
                          "--no-sync"},
                         StartTimeoutMs, &output))
        return "initdb failed: " + output;
    QFile conf(QString::fromStdString(Path("data/postgresql.conf")));
    if (!conf.open(QIODevice::Append))
        return "cannot write postgresql.conf";
    conf.write(QString("unix_socket_directories = '%1'\n"
                       "listen_addresses = '127.0.0.1'\n"
                       "fsync = off\n"
                       "ssl = on\n"
                       "ssl_cert_file = '%2/tls/server.crt'\n"
                       "ssl_key_file = '%2/tls/server.key'\n")
                   .arg(QString::fromStdString(SocketDir()), dir_.path())
                   .toUtf8());
    conf.close();
    // A port taken between finding it and the start: another try with another one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreePort();
        if (StartServer())
            return {};
    }
    std::string log;
    Run("cat", {QString::fromStdString(Path("server.log"))}, &log);
    return "the server did not start: " + log;
}

bool TPgCluster::StartServer() {
    running_ = RunAsServerUser("pg_ctl",
                               {"-D", Path("data"), "-l", Path("server.log"), "-w", "-t",
                                std::to_string(StartTimeoutMs / 1000), "-o",
                                "-p " + std::to_string(port_), "start"},
                               StartTimeoutMs + 10000);
    return running_;
}

bool TPgCluster::Stop() {
    if (!running_)
        return true;
    running_ = !RunAsServerUser(
        "pg_ctl", {"-D", Path("data"), "-m", "fast", "-w", "-t", "120", "stop"}, 130000);
    if (running_) // as a last resort, so that no server outlives its test
        running_ =
            !RunAsServerUser("pg_ctl", {"-D", Path("data"), "-m", "immediate", "stop"}, 60000);
    return !running_;
}

bool TPgCluster::Restart() {
    return Stop() && StartServer();
}

std::string TPgCluster::Sql(const std::string& database, const std::string& sql) const {
    std::string output;
    const bool done =
        Run(QString::fromStdString(BinDir() + "/psql"),
            {"-X", "-q", "-At", "-v", "ON_ERROR_STOP=1", "-h", QString::fromStdString(SocketDir()),
             "-p", QString::number(port_), "-U", "postgres", "-d", QString::fromStdString(database),
             "-c", QString::fromStdString(sql)},
            &output);
    if (!done && output.find("ERROR") == std::string::npos)
        output = "ERROR: " + output;
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

bool TPgCluster::CreateDatabase(const std::string& database, const std::string& role,
                                const std::string& password) {
    const std::string created =
        Sql("postgres", "DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '" + role +
                            "') THEN CREATE ROLE " + role + " LOGIN PASSWORD '" + password +
                            "'; END IF; END $$");
    if (created.find("ERROR") != std::string::npos)
        return false;
    return Sql("postgres", "CREATE DATABASE " + database + " OWNER " + role).find("ERROR") ==
           std::string::npos;
}

std::string TPgCluster::PassFile(const std::string& role, const std::string& password) const {
    const std::string path = Path("pgpass-" + role);
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly))
        file.write(QString("*:*:*:%1:%2\n")
                       .arg(QString::fromStdString(role), QString::fromStdString(password))
                       .toUtf8());
    file.close();
    ::chmod(path.c_str(), 0600);
    return path;
}
