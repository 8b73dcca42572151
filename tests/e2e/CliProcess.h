#pragma once
// quorve-plu-cli run as a shell runs it, against the simulated register: its copy in a folder of
// its own beside SYSTEM.CFG (COM2 at 115200) and DEBUG.LOG, no display, the C locale.

#include "Ini.h"
#include "RegisterState.h"
#include "SimProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <string>
#include <vector>

// The command line started as a shell in FOLDER starts it: no display, the C locale.
inline void StartCli(QProcess& process, const QString& cli, const QString& folder,
                     const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
        env.remove(name);
    env.insert("LC_ALL", "C");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(cli, args);
    process.waitForStarted(5000);
}

struct TToolRun {
    int exit = -1;
    QByteArray out;
    QByteArray err;
    // The last --json line: the result.
    QJsonObject Result() const {
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QJsonDocument::fromJson(lines.back()).object();
    }
};

class TCliRig {
public:
    QTemporaryDir dir;
    TSimProcess sim;
    QString cli;

    // False when the copy or SYSTEM.CFG could not be made.
    bool Prepare(const char* cliPath) {
        cli = dir.filePath("quorve-plu-cli");
        IniFile cfg(Path("SYSTEM.CFG"));
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteInteger("Comm", "BaudRate", 4);
        return QFile::copy(cliPath, cli) && cfg.Save();
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    bool StartSim(const char* simPath, const TRegisterState& state, QStringList flags = {}) {
        if (!state.Save(Path("state.txt")))
            return false;
        flags << "--state" << QString::fromStdString(Path("state.txt"));
        return sim.Start(simPath, Path("ttySIM"), Path("SYSTEM.CFG"), flags);
    }
    // The simulator stopped, and what it kept.
    TRegisterState StoppedState() {
        TRegisterState state;
        if (!sim.Stop() || !state.Load(Path("state.txt"), nullptr))
            state.ident = "(not saved)";
        return state;
    }
    void Start(QProcess& process, const QStringList& args) const {
        StartCli(process, cli, dir.path(), args);
    }
    TToolRun Run(const QStringList& args) const {
        QProcess process;
        Start(process, args);
        TToolRun run;
        process.waitForFinished(60000);
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }
};
