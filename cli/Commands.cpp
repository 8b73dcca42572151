#include "Commands.h"

#include "CommandSupport.h"
#include "DisplayTexts.h"
#include "FilePlaces.h"
#include "MemoryDump.h"
#include "Settings.h"

int RunCommand(const TCommandLine& line, const TOutput& output) {
    if (line.command != TCliCommand::Registers && line.registers.Any())
        return commands::OnRegisters(line, output);
    switch (line.command) {
    case TCliCommand::Download:
        return commands::Download(line, output);
    case TCliCommand::Upload:
        return commands::Upload(line, output);
    case TCliCommand::Report:
        return commands::Report(line, output);
    case TCliCommand::Test:
        return commands::LinkTest(line, output);
    case TCliCommand::Detect:
        return commands::Detect(line, output);
    case TCliCommand::Dump:
        return commands::Dump(line, output);
    case TCliCommand::Program:
        return commands::Program(line, output);
    case TCliCommand::Font:
        return commands::Font(line, output);
    case TCliCommand::Check:
        return commands::Check(line, output);
    case TCliCommand::Compare:
        return commands::Compare(line, output);
    case TCliCommand::Backup:
        return commands::Backup(line, output);
    case TCliCommand::Backups:
        return commands::Backups(line, output);
    case TCliCommand::Restore:
        return commands::Restore(line, output);
    case TCliCommand::Import:
        return commands::Import(line, output);
    case TCliCommand::Export:
        return commands::Export(line, output);
    case TCliCommand::Ports:
        return commands::Ports(line, output);
    case TCliCommand::Registers:
        return commands::Registers(line, output);
    case TCliCommand::History:
        return commands::History(line, output);
    case TCliCommand::Help:
    case TCliCommand::Version:
    case TCliCommand::Paths:
        break;
    }
    return ExitUsage;
}

int ShowPaths(const TFilePlaces& places, const TOutput& output) {
    const DumpFiles dump = MemoryDumpFiles(StateDir);
    const struct {
        const char* key;
        const char* label;
        std::string path;
    } rows[] = {
        {"program", "program folder", places.programDir},
        {"settings", "settings folder", SettingsDir},
        {"state", "log folder", StateDir},
        {"systemCfg", "SYSTEM.CFG", SystemCfgPath()},
        {"languageFile", "language file", LanguageFileOf(SettingsDir + "quorve-plu")},
        {"debugLog", "DEBUG.LOG", TracePath()},
        {"tempBin", "TEMP.BIN", dump.binPath},
        {"tempLog", "TEMP.LOG", dump.logPath},
        {"guide", "user guide", places.guideFile},
    };
    QJsonObject fields{{"installed", places.installed}};
    QByteArray text;
    for (const auto& row : rows) {
        fields.insert(row.key, Local(row.path));
        text +=
            QByteArray(row.label).leftJustified(17) + QByteArray::fromStdString(row.path) + '\n';
    }
    if (!output.Json())
        output.Data(text);
    return output.Finish(ExitDone, fields);
}
