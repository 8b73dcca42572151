// quorve-plu-cli: the window program's commands from a shell, a script or a nightly job, on
// the same engine and with the same SYSTEM.CFG, DEBUG.LOG and language file.
#include "CodePage.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Defs.h"
#include "DisplayTexts.h"
#include "Ini.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    const TParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.line) {
        const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
        const TOutput output(json, false);
        output.Error(QString::fromStdString(parsed.error) + " (see quorve-plu-cli --help)");
        return output.Finish(ExitUsage, {{"message", QString::fromStdString(parsed.error)}});
    }
    const TCommandLine& line = *parsed.line;
    if (line.command == TCliCommand::Help) {
        std::fputs(HelpText().c_str(), stdout);
        return ExitDone;
    }
    if (line.command == TCliCommand::Version) {
        std::puts("quorve-plu-cli " QPLU_VERSION);
        return ExitDone;
    }

    // The window program's files: SYSTEM.CFG, DEBUG.LOG and the language file beside it.
    SetProgramDir(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
    if (!line.config.empty())
        SetSystemCfgPath(line.config);
    ReadStartSettings();
    ReadCommSettings();
    SetDocumentCodePage(ConfiguredCodePage());
    const QString point = QLocale().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode())
                                                                      : '.');
    LoadDisplayTables(IniFile(LanguageFileOf(ProgramDir + "quorve-plu")));

    return RunCommand(line, TOutput(line.json, line.quiet));
}
