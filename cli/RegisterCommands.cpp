// The register list from the command line: listing it, adding, removing and renaming registers,
// finding new ones on the free ports; and --register, which makes one register's own settings
// file, trace and backup folder those of the run.
#include "CommandSupport.h"

#include "AtomicFile.h"
#include "IBusNames.h"
#include "Ini.h"
#include "Language.h"
#include "PortDetection.h"
#include "PortDiscovery.h"
#include "RegisterDetection.h"
#include "Settings.h"

#include <QJsonArray>

#include <optional>

namespace {

std::optional<TRegister> chosen;

QString Name(const std::string& name) {
    return QString::fromStdString(name);
}

int Failed(const TOutput& output, TExitCode code, const std::string& problem) {
    const QString text = Local(problem);
    output.Error(text);
    return output.Finish(code, {{"message", text}});
}

QString RateText(int baudIndex) {
    return QString::number(BaudTable[size_t(baudIndex)]);
}

QJsonObject Described(const TRegister& reg) {
    const TRegisterPort port = PortOf(reg);
    QJsonArray groups;
    for (const std::string& g : reg.groups)
        groups.append(Name(g));
    return {{"name", Name(reg.name)},
            {"port", Local(port.name)},
            {"device", Local(port.device)},
            {"rate", int(BaudTable[size_t(port.baudIndex)])},
            {"groups", groups},
            {"identification", Readable(reg.identification)},
            {"document", Local(reg.document)},
            {"folder", Local(reg.folder)}};
}

int ListRegisters(const TRegisterList& list, const TOutput& output) {
    QJsonArray registers;
    QStringList rows{"NAME\tPORT\tDEVICE\tRATE\tGROUPS\tIDENTIFICATION"};
    for (const TRegister& reg : list.Registers()) {
        const QJsonObject described = Described(reg);
        registers.append(described);
        QStringList groups;
        for (const std::string& g : reg.groups)
            groups << Name(g);
        rows << QStringList{Name(reg.name),
                            described["port"].toString(),
                            described["device"].toString(),
                            described["rate"].toVariant().toString(),
                            groups.join(','),
                            described["identification"].toString()}
                    .join('\t');
    }
    QJsonArray groups;
    for (const std::string& g : list.Groups())
        groups.append(Name(g));
    if (list.Empty()) {
        output.Note(CliText::tr("The register list is empty, so the program works with %1 "
                                "alone. Add a register with: quorve-plu-cli registers add NAME")
                        .arg(Local(SystemCfgPath())));
    } else if (!output.Json()) {
        // Columns as wide as their widest text.
        std::vector<qsizetype> widths;
        for (const QString& row : rows) {
            const QStringList cells = row.split('\t');
            widths.resize(std::max(widths.size(), size_t(cells.size())));
            for (qsizetype i = 0; i < cells.size(); ++i)
                widths[size_t(i)] = std::max(widths[size_t(i)], cells[i].size());
        }
        QString table;
        for (const QString& row : rows) {
            const QStringList cells = row.split('\t');
            QString line;
            for (qsizetype i = 0; i < cells.size(); ++i)
                line +=
                    i + 1 < cells.size() ? cells[i].leftJustified(widths[size_t(i)] + 2) : cells[i];
            table += line.trimmed() + '\n';
        }
        output.Data(table.toUtf8());
    }
    return output.Finish(
        ExitDone, {{"registers", registers}, {"groups", groups}, {"folder", Local(list.Dir())}});
}

int AddRegister(TRegisterList& list, const TCommandLine& line, const TOutput& output) {
    const bool first = list.Empty();
    TNewRegister reg{line.files[1], line.port.value_or(""), line.baudIndex,
                     SplitNames(line.registers.group)};
    if (const std::string problem = list.Add(reg, SystemCfgPath()); !problem.empty())
        return Failed(output, problem.starts_with("Cannot") ? ExitFile : ExitUsage, problem);
    const TRegister* added = list.Find(reg.name);
    const TRegisterPort port = PortOf(*added);
    output.Note(CliText::tr("%1 is on the list: %2 (%3) at %4, its settings in %5.")
                    .arg(Name(added->name), Local(port.name), Local(port.device),
                         RateText(port.baudIndex), Local(added->SettingsPath())));
    if (first)
        output.Note(CliText::tr("It starts from today's settings (%1), which commands without "
                                "--register keep using.")
                        .arg(Local(SystemCfgPath())));
    return output.Finish(ExitDone, Described(*added));
}

int DetectRegisters(const TRegisterList& list, const TCommandLine& line, const TOutput& output) {
    const std::string& root = line.discoveryRoot;
    const std::vector<SerialDevice> devices = FreeDevices(ListSerialDevices(root), list, root);
    if (devices.empty()) {
        const QString text = CliText::tr("No serial device is free: every one present belongs to "
                                         "a register of the list.");
        output.Error(text);
        return output.Finish(ExitRegister, {{"message", text}});
    }
    // Detection's own component at the component's defaults: a quick scan, as detect has it.
    TTolvIBusComm bus;
    bus.TraceFile = TracePath();
    bool cancelled = false;
    TCancelSignals cancelSignals([&] {
        cancelled = true;
        bus.Abort();
        output.Note(CliText::tr("Cancelled."));
    });
    TProbeHooks hooks;
    hooks.SetOutcome = [&](size_t i, const std::string& text) {
        output.Note(Local(devices[i].path) + ": " + Local(text));
    };
    hooks.StillShown = [&] { return !cancelled; };
    const std::vector<TFoundRegister> found = FindRegisters(bus, devices, hooks, root);
    if (cancelled)
        return output.Finish(ExitCancelled);
    QJsonArray list2;
    for (const TFoundRegister& f : found) {
        const QJsonObject event{{"event", "found"},
                                {"path", Local(f.device.path)},
                                {"description", Local(f.device.description)},
                                {"identification", Readable(f.identification)}};
        output.Event(event);
        list2.append(event);
        if (!output.Json())
            output.Data((Local(f.device.path) + '\t' + Readable(f.identification) + '\t' +
                         Local(f.device.description) + '\n')
                            .toUtf8());
        output.Note(CliText::tr("Add it with: quorve-plu-cli registers add NAME --port %1")
                        .arg(Local(f.device.path)));
    }
    if (found.empty()) {
        output.Error(PeopleText(NotFoundText));
        return output.Finish(ExitRegister, {{"message", NotFoundText}});
    }
    return output.Finish(ExitDone, {{"found", list2}});
}

} // namespace

int UseRegister(const TCommandLine& line, const TOutput& output) {
    if (line.registerName.empty())
        return ExitDone;
    TRegisterList list;
    if (const std::string problem = list.Load(); !problem.empty())
        return Failed(output, ExitFile, problem);
    const TRegister* reg = list.Find(line.registerName);
    if (!reg)
        return Failed(output, ExitUsage,
                      "no register of the list is named \"" + line.registerName +
                          "\" (quorve-plu-cli registers lists them)");
    chosen = *reg;
    SetSystemCfgPath(reg->SettingsPath());
    return ExitDone;
}

const TRegister* ChosenRegister() {
    return chosen ? &*chosen : nullptr;
}

void RememberIdentification(const std::string& identification, const TOutput& output) {
    if (!chosen)
        return;
    TRegisterList list(chosen->folder + "../");
    if (std::string problem = list.Load(); problem.empty())
        if (problem = list.SetIdentification(chosen->name, identification); !problem.empty())
            output.Note(Local(problem));
}

std::string TracePath() {
    if (!chosen)
        return StateDir + "DEBUG.LOG";
    // Each register its own: jobs running at once would otherwise write over each other's.
    const std::string dir = RegisterTraceDir(chosen->name);
    MakeDirectories(dir, 0700);
    return dir + "DEBUG.LOG";
}

std::string BackupRootFor(const std::string& root) {
    return chosen ? RegisterBackupRoot(root, chosen->name) : root;
}

int commands::Registers(const TCommandLine& line, const TOutput& output) {
    TRegisterList list;
    if (const std::string problem = list.Load(); !problem.empty())
        return Failed(output, ExitFile, problem);
    const std::string action = line.files.empty() ? std::string() : line.files[0];
    const auto done = [&](const std::string& problem, const QString& note) {
        if (!problem.empty())
            return Failed(output, problem.starts_with("Cannot") ? ExitFile : ExitUsage, problem);
        output.Note(note);
        return output.Finish(ExitDone);
    };
    if (action.empty())
        return ListRegisters(list, output);
    if (action == "add")
        return AddRegister(list, line, output);
    if (action == "detect")
        return DetectRegisters(list, line, output);
    const std::string& name = line.files[1];
    if (action == "remove")
        return done(list.Remove(name), Name(name) + " is off the list; its folder is kept in " +
                                           Local(list.Dir() + ".removed/") + ".");
    const std::string to = line.files[2];
    const TRegister* old = list.Find(name);
    const std::string oldName = old ? old->name : name;
    std::string problem = list.Rename(name, to);
    if (problem.empty())
        problem = MoveRegisterFiles(oldName, to);
    return done(problem, Name(name) + " is now named " + Name(to) + ".");
}
