// quorve-plu-cli: the window program's commands from a shell, a script or a nightly job, on
// the same engine and with the same SYSTEM.CFG, DEBUG.LOG and language file.
#include "CodePage.h"
#include "CommandLine.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "Defs.h"
#include "DisplayTexts.h"
#include "FilePlaces.h"
#include "Ini.h"
#include "Language.h"
#include "Output.h"
#include "Release.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QLocale>

#include <csignal>

namespace {

int Run(const TCommandLine& line, const TOutput& output);

// --json asks for English throughout: its messages are read by programs. The lines of check
// stay English in every language, as scripts read them too.
void ChooseCliLanguage(const std::string& option, const QString& programDir) {
    SetTranslationsDir(TranslationsDirOf(programDir.toLocal8Bit().toStdString()));
    InstallLanguage(ChooseLanguage(QString::fromStdString(option), QString()), {"CellCheck"});
}

} // namespace

int main(int argc, char** argv) {
    GuardStandardStreams();
    QCoreApplication app(argc, argv);
    // A reader that went away is a write error to tell, not a silent death that loses a report.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    // Before the arguments are checked, so their errors are in the language asked for.
    const TLanguageRequest language = ScanLanguage(args);
    if (!language.json)
        ChooseCliLanguage(language.language, QCoreApplication::applicationDirPath());
    const TParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.line) {
        const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
        const TOutput output(json, false);
        output.Error(QCoreApplication::translate("CommandLine", "%1 (see quorve-plu-cli --help)")
                         .arg(QString::fromStdString(parsed.error)));
        return output.Close(
            output.Finish(ExitUsage, {{"message", QString::fromStdString(parsed.error)}}));
    }
    const TCommandLine& line = *parsed.line;
    const TOutput output(line.json, line.quiet);
    return output.Close(Run(line, output));
}

namespace {

int Run(const TCommandLine& line, const TOutput& output) {
    if (line.command == TCliCommand::Help)
        return output.Data(QByteArray::fromStdString(HelpText())) ? ExitDone : ExitFile;
    if (line.command == TCliCommand::Version)
        return output.Data(QByteArray::fromStdString("quorve-plu-cli " + ReleaseText() + "\n"))
                   ? ExitDone
                   : ExitFile;

    // The window program's files, in the places it uses: beside the program, or in the XDG
    // folders when it is installed.
    const TFilePlaces places =
        FindFilePlaces(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
    SetFilePlaces(places);
    if (!line.config.empty())
        SetSystemCfgPath(line.config);
    if (line.command == TCliCommand::Paths)
        return ShowPaths(places, output);
    if (const std::string problem = PrepareFilePlaces(places); !problem.empty())
        output.Error(QString::fromLocal8Bit(problem.c_str()));
    if (const int code = UseRegister(line, output); code != ExitDone)
        return code;

    ReadStartSettings();
    ReadCommSettings();
    SetDocumentCodePage(ConfiguredCodePage());
    const QString point = QLocale().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode())
                                                                      : '.');
    LoadDisplayTables(IniFile(LanguageFileOf(SettingsDir + "quorve-plu")));

    return RunCommand(line, output);
}

} // namespace
