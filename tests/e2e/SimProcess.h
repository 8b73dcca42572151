#pragma once
// Starts quorve-sim as a child process on a pseudo-terminal and stops it again.

#include <QProcess>
#include <QStringList>

#include <csignal>
#include <string>

class TSimProcess {
public:
    // The link and SYSTEM.CFG entry: [Ports] <port>=<link>, written by the simulator itself.
    bool Start(const std::string& simPath, const std::string& link, const std::string& cfg,
               const QStringList& extra, const std::string& port = "COM2") {
        QStringList args{"--link", QString::fromStdString(link),
                         "--cfg",  QString::fromStdString(cfg),
                         "--port", QString::fromStdString(port)};
        args += extra;
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QString::fromStdString(simPath), args);
        if (!process_.waitForStarted(5000))
            return false;
        while (process_.waitForReadyRead(5000)) {
            if (process_.readAll().contains("READY"))
                return true;
        }
        return false;
    }
    // SIGTERM: the simulator saves its state and removes its link.
    bool Stop() {
        if (process_.state() == QProcess::NotRunning)
            return true;
        ::kill(pid_t(process_.processId()), SIGTERM);
        return process_.waitForFinished(5000);
    }
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    bool WaitForExit(int ms) { return process_.waitForFinished(ms); }
    ~TSimProcess() {
        if (!Stop())
            process_.kill();
        process_.waitForFinished(2000);
    }

private:
    QProcess process_;
};
