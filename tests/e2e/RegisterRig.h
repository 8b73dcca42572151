#pragma once
// A shop with several registers: a copy of quorve-plu-cli in a folder of its own beside
// SYSTEM.CFG (COM2 at 115200), and simulated registers on pseudo-terminals of their own, register
// n on the link "ttySIMn" keeping its state in "staten.txt". The tool runs as a shell runs it:
// no display, the C locale, the folder as its working directory.

#include "CliProcess.h"
#include "Ini.h"
#include "RegisterState.h"
#include "SimProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <QDir>

#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// The processes whose parent is `parent` now, as /proc lists them.
inline std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = pid_t(entry.toInt(&number));
        QFile stat("/proc/" + entry + "/stat");
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces, so read after its ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == parent)
            children.push_back(pid);
    }
    return children;
}

// Whether pid still runs: gone, or a zombie left only to be reaped, is ended.
inline bool StillRunning(pid_t pid) {
    QFile stat("/proc/" + QString::number(pid) + "/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return !line.mid(line.lastIndexOf(')') + 2).startsWith('Z');
}

struct TRigRun {
    int exit = -1;
    QByteArray out;
    QByteArray err;
    // The --json lines of stdout.
    std::vector<QJsonObject> Lines() const {
        std::vector<QJsonObject> lines;
        for (const QByteArray& line : out.split('\n'))
            if (const QJsonDocument doc = QJsonDocument::fromJson(line); doc.isObject())
                lines.push_back(doc.object());
        return lines;
    }
    // The objects of the registers' jobs, by register.
    std::map<QString, QJsonObject> Registers() const {
        std::map<QString, QJsonObject> jobs;
        for (const QJsonObject& line : Lines())
            if (line.value("event").toString() == "register")
                jobs[line.value("register").toString()] = line;
        return jobs;
    }
    QJsonObject Result() const {
        const std::vector<QJsonObject> lines = Lines();
        return lines.empty() ? QJsonObject() : lines.back();
    }
};

class TRegisterRig {
public:
    QTemporaryDir dir;
    QString cli;

    // False when the copy or SYSTEM.CFG could not be made.
    bool Prepare(const char* cliPath) {
        cli = dir.filePath("quorve-plu-cli");
        IniFile cfg(Path("SYSTEM.CFG"));
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteInteger("Comm", "BaudRate", 4);
        cfg.WriteString("Default", "Header1", "PC SHOP");
        return QFile::copy(cliPath, cli) && cfg.Save();
    }
    std::string Path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string Link(int n) const { return Path("ttySIM" + std::to_string(n)); }
    std::string StatePath(int n) const { return Path("state" + std::to_string(n) + ".txt"); }

    // Register n's simulator; a state saved before is kept unless one is given.
    bool StartSim(int n, QStringList flags = {}, const TRegisterState* state = nullptr) {
        if (state && !state->Save(StatePath(n)))
            return false;
        flags << "--rate"
              << "0"
              << "--state" << QString::fromStdString(StatePath(n));
        auto& sim = sims_[n];
        sim = std::make_unique<TSimProcess>();
        return sim->Start(QPLU_SIM_PATH, Link(n), Path("sims.cfg"), flags);
    }
    bool StopSim(int n) { return !sims_[n] || sims_[n]->Stop(); }
    TRegisterState StoppedState(int n) {
        TRegisterState state;
        if (!StopSim(n) || !state.Load(StatePath(n), nullptr))
            state.ident = "(not saved)";
        return state;
    }

    void Start(QProcess& process, const QStringList& args) const {
        StartCli(process, cli, dir.path(), args);
    }
    TRigRun Run(const QStringList& args, int timeoutMs = 120000) const {
        QProcess process;
        Start(process, args);
        TRigRun run;
        process.waitForFinished(timeoutMs);
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }
    // registers add NAME --port ttySIMn, at 115200 unless told otherwise.
    TRigRun Add(const QString& name, int n, const QStringList& more = {}) const {
        return Run(QStringList{"registers", "add", name, "--port", QString::fromStdString(Link(n)),
                               "--baud", "115200"} +
                   more);
    }

private:
    std::map<int, std::unique_ptr<TSimProcess>> sims_;
};
