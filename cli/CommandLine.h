#pragma once
// What the user asked quorve-plu-cli for: the command, its files and its options.

#include "Backup.h"
#include "RegisterList.h"
#include "SalesHistory.h"
#include "SheetImport.h"
#include "TransferContext.h"

#include <QDateTime>

#include <optional>
#include <string>
#include <vector>

enum class TCliCommand {
    Download,
    Upload,
    Report,
    Test,
    Detect,
    Dump,
    Program,
    Font,
    Check,
    Compare,
    Backup,
    Backups,
    Restore,
    Import,
    Export,
    Ports,
    Registers, // the register list: files[0] names what to do (none: list it)
    History,   // the history's subcommands: files[0] names it
    Help,
    Version,
    Paths, // --paths: where the program's files live
};

struct TCommandLine {
    TCliCommand command = TCliCommand::Help;
    std::vector<std::string> files; // the command's file arguments

    // download, upload
    KindSet kinds = AllKinds;
    int rangeBegin = MinPluRange;
    int rangeEnd = MaxPluRange;
    bool force = false;   // upload: replace an existing document; restore: onto another register
    bool changed = false; // download: only what differs from the register
    bool backupFirst = false; // download: back the register up first

    // backup
    int keep = DefaultBackupsKept; // 0 keeps all

    // report, dump
    std::string output; // -o FILE
    bool raw = false;   // report: the register's bytes as they came

    // detect
    bool apply = false;
    bool others = false; // also try the devices no COM name opens

    // dump
    int32_t base = 0;
    int32_t count = 8;
    bool ram = false;

    // import, export
    SheetTable table = SheetTable::PLU;
    ImportOptions importOptions;
    std::optional<bool> header; // import: --header or --no-header; by the names otherwise
    // import --map: 1-based file column and the table column's name ("ignore" feeds none)
    std::vector<std::pair<int, std::string>> columnMap;
    std::optional<std::string> dialect; // export: excel, calc or tsv
    bool codePage = false;              // export: the document's code page, not UTF-8

    // The register list: one register (its own SYSTEM.CFG, trace and backups), or several,
    // each in a job of its own. registers add: --group names the new register's groups.
    // history reports: registerName is a part of the register's identification instead.
    std::string registerName;
    TRegisterSelection registers;
    // The arguments as given: what each register's job runs.
    std::vector<std::string> args;
    // history: files[0] is reports, show, journal, sales, check or prune; show takes the ID
    bool noArchive = false;          // report: clear without keeping the report
    std::optional<QDateTime> since;  // reports, journal: from this moment on
    std::optional<QDateTime> until;  // reports: before this moment
    std::optional<QDateTime> from;   // sales
    std::optional<QDateTime> to;     // sales: before this moment
    std::optional<QDateTime> before; // prune
    std::string grep;                // reports: words of the text
    std::string operation;           // journal
    bool failed = false;             // journal: failed and unfinished entries only
    TSalesBy salesBy = TSalesBy::Item;
    std::string csv;     // sales: the spreadsheet file
    bool dryRun = false; // prune: say what would go, delete nothing

    // Common
    std::string historyPath; // --history FILE: the history file (default beside the backups)
    // --history postgresql://...: the chain's server (default SYSTEM.CFG's [History] Server)
    std::string historyServer;
    int waitSeconds = 60; // history push: how long a server that cannot be reached is waited for
    std::optional<std::string> port; // COMn, or a device path used as it is
    std::optional<int> baudIndex;
    std::string config; // the SYSTEM.CFG to use
    // Where port discovery reads /sys and /dev; no option sets it, tests running the commands
    // in-process point it at a tree of their own.
    std::string discoveryRoot = "/";
    bool json = false;
    bool quiet = false;
    std::string language; // --lang: "pl" or "en"; empty: the environment's
};

struct TParsedCommandLine {
    std::optional<TCommandLine> line;
    std::string error; // why the arguments are not a command line
};

// args without the program name.
TParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --lang and --json the arguments hold, read before the rest so the errors of the command
// line are already in the language asked for (and English for --json).
struct TLanguageRequest {
    std::string language; // "pl", "en", or empty: the environment's
    bool json = false;
};
TLanguageRequest ScanLanguage(const std::vector<std::string>& args);

// The commands that run for several registers at once.
bool RunsOnSeveral(TCliCommand command);

// --help: every command with an example.
std::string HelpText();
