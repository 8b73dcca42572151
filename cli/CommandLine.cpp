#include "CommandLine.h"

#include "HistoryServer.h"
#include "HistoryTime.h"
#include "IBusNames.h"
#include "Journal.h"
#include "Language.h"
#include "MemoryDump.h"
#include "Output.h"
#include "SheetExport.h"

#include <QCoreApplication>

#include <charconv>
#include <map>

namespace {

struct CommandInfo {
    TCliCommand command;
    int files;        // how many file arguments it takes
    int optional = 0; // of which this many may be left out
};

const std::map<std::string, CommandInfo>& Commands() {
    static const std::map<std::string, CommandInfo> commands{
        {"download", {TCliCommand::Download, 1}},  {"upload", {TCliCommand::Upload, 1}},
        {"report", {TCliCommand::Report, 0}},      {"test", {TCliCommand::Test, 0}},
        {"detect", {TCliCommand::Detect, 0}},      {"dump", {TCliCommand::Dump, 0}},
        {"program", {TCliCommand::Program, 1}},    {"font", {TCliCommand::Font, 1}},
        {"check", {TCliCommand::Check, 1}},        {"compare", {TCliCommand::Compare, 1}},
        {"backup", {TCliCommand::Backup, 1, 1}},   {"backups", {TCliCommand::Backups, 1, 1}},
        {"restore", {TCliCommand::Restore, 1}},    {"import", {TCliCommand::Import, 2}},
        {"export", {TCliCommand::Export, 2}},      {"ports", {TCliCommand::Ports, 0}},
        {"history", {TCliCommand::History, 2, 1}}, {"registers", {TCliCommand::Registers, 3, 3}},
    };
    return commands;
}

std::optional<int> ParseNumber(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<KindSet> ParseKinds(const std::string& text) {
    static const std::map<std::string, int> names{{"plu", KindPLU},
                                                  {"dept", KindDepartment},
                                                  {"recy", KindRecycling},
                                                  {"param", KindParameter}};
    if (text == "all")
        return AllKinds;
    KindSet kinds;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const auto found = names.find(text.substr(start, comma - start));
        if (found == names.end())
            return std::nullopt;
        kinds.set(size_t(found->second));
        start = comma + 1;
    }
    return kinds;
}

// The same bounds the range dialogs keep.
bool ParseRange(const std::string& text, int& begin, int& end) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos)
        return false;
    const auto first = ParseNumber(text.substr(0, dash));
    const auto last = ParseNumber(text.substr(dash + 1));
    if (!first || !last || *first < MinPluRange || *last > MaxPluRange || *first > *last)
        return false;
    begin = *first;
    end = *last;
    return true;
}

template <typename T>
std::optional<T> Named(const std::string& text,
                       std::initializer_list<std::pair<const char*, T>> names) {
    for (const auto& [name, value] : names)
        if (text == name)
            return value;
    return std::nullopt;
}

// A message with the user's word in it; the word's bytes as they came.
std::string Say(const QString& message, const std::string& word) {
    return message.arg(QString::fromLocal8Bit(word.c_str())).toStdString();
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// "1=Barcode, 2=Name, 3=Unit price": file columns from 1, each named once.
std::optional<std::vector<std::pair<int, std::string>>> ParseColumnMap(const std::string& text) {
    std::vector<std::pair<int, std::string>> pairs;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string pair = text.substr(start, comma - start);
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const auto column = ParseNumber(Trimmed(pair.substr(0, equals)));
        const std::string name = Trimmed(pair.substr(equals + 1));
        if (!column || *column < 1 || *column > MaxSheetColumns || name.empty())
            return std::nullopt;
        for (const auto& [earlier, _] : pairs)
            if (earlier == *column)
                return std::nullopt;
        pairs.emplace_back(*column, name);
        start = comma + 1;
    }
    return pairs;
}

std::optional<int> BaudIndexOf(const std::string& text) {
    const auto rate = ParseNumber(text);
    for (size_t i = 0; rate && i < BaudTable.size(); ++i)
        if (uint32_t(*rate) == BaudTable[i])
            return int(i);
    return std::nullopt;
}

// What `registers` was asked for: nothing (the list), or an action and its names.
std::string CheckRegistersLine(const TCommandLine& line) {
    static const std::map<std::string, size_t> actions{
        {"add", 2}, {"remove", 2}, {"rename", 3}, {"detect", 1}};
    if (line.files.empty()) {
        if (line.registers.group.empty())
            return {};
        return CliText::tr("--group goes with registers add").toStdString();
    }
    const auto found = actions.find(line.files[0]);
    if (found == actions.end())
        return CliText::tr("registers takes add, remove, rename or detect").toStdString();
    if (line.files.size() != found->second)
        return (found->first == "rename"
                    ? CliText::tr("registers rename takes the old name and the new one")
                : found->first == "detect" ? CliText::tr("registers detect takes no name")
                                           : CliText::tr("registers %1 takes the register's name")
                                                 .arg(QString::fromStdString(found->first)))
            .toStdString();
    if (found->first != "add" && (line.port || line.baudIndex || !line.registers.group.empty()))
        return CliText::tr("--port, --baud and --group go with registers add").toStdString();
    return {};
}

// Choosing registers: one by name, or several; not both, and not with another settings file.
std::string CheckRegisterChoice(const TCommandLine& line) {
    const TRegisterSelection& several = line.registers;
    const bool many = several.all || !several.names.empty() ||
                      (!several.group.empty() && line.command != TCliCommand::Registers);
    // history's --register is a part of the name the journal has, not the list's.
    if (line.command == TCliCommand::History)
        return several.Any()
                   ? CliText::tr("history takes no --registers, --group or --all").toStdString()
                   : std::string();
    if (line.command == TCliCommand::Registers)
        return line.registerName.empty() && !several.all && several.names.empty()
                   ? std::string()
                   : CliText::tr("registers takes no --register, --registers or --all")
                         .toStdString();
    if (!line.registerName.empty() && many)
        return CliText::tr(
                   "--register names one register; --registers, --group and --all choose several")
            .toStdString();
    if ((!line.registerName.empty() || many) && !line.config.empty())
        return CliText::tr("a register of the list has its own settings file: --config goes with "
                           "neither --register nor --registers, --group and --all")
            .toStdString();
    if (!many)
        return {};
    if (!RunsOnSeveral(line.command))
        return CliText::tr("--registers, --group and --all go with download, report, backup, "
                           "compare and test")
            .toStdString();
    if (line.port || line.baudIndex)
        return CliText::tr("each register has its own port: --port and --baud go with one register")
            .toStdString();
    if (line.command == TCliCommand::Compare && !line.output.empty())
        return CliText::tr("-o goes with one register for compare").toStdString();
    return {};
}

// The history's subcommands and whether they take an argument (show: the report's ID).
const std::map<std::string, bool>& HistorySubcommands() {
    static const std::map<std::string, bool> subcommands{
        {"reports", false}, {"show", true},   {"journal", false}, {"sales", false},
        {"check", false},   {"prune", false}, {"push", false},
    };
    return subcommands;
}

std::string CheckHistoryLine(const TCommandLine& line) {
    const auto found = HistorySubcommands().find(line.files.empty() ? "" : line.files[0]);
    if (found == HistorySubcommands().end())
        return CliText::tr("history takes reports, show, journal, sales, check, prune or push")
            .toStdString();
    const std::string& sub = found->first;
    if (line.files.size() != (found->second ? 2u : 1u))
        return found->second ? CliText::tr("history show takes the ID of a report").toStdString()
                             : CliText::tr("history %1 takes no other argument")
                                   .arg(QString::fromStdString(sub))
                                   .toStdString();
    if (sub == "sales" && (!line.from || !line.to))
        return CliText::tr("history sales needs --from DATE and --to DATE").toStdString();
    if (sub == "prune" && !line.before)
        return CliText::tr("history prune needs --before DATE").toStdString();
    if (!line.csv.empty() && sub != "sales")
        return CliText::tr("--csv goes with history sales").toStdString();
    return {};
}

} // namespace

bool RunsOnSeveral(TCliCommand command) {
    return command == TCliCommand::Download || command == TCliCommand::Report ||
           command == TCliCommand::Backup || command == TCliCommand::Compare ||
           command == TCliCommand::Test;
}

TParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    line.args = args;
    std::optional<std::string> by;
    bool haveCommand = false;
    bool paths = false;
    int fileCount = 0;
    int optionalFiles = 0;
    auto fail = [](std::string why) { return TParsedCommandLine{std::nullopt, std::move(why)}; };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            line.command = TCliCommand::Help;
            return {line, {}};
        }
        if (arg == "--version") {
            line.command = TCliCommand::Version;
            return {line, {}};
        }
        if (arg == "--paths") {
            paths = true;
        } else if (arg == "--json") {
            line.json = true;
        } else if (arg == "--quiet" || arg == "-q") {
            line.quiet = true;
        } else if (arg == "--force") {
            line.force = true;
        } else if (arg == "--raw") {
            line.raw = true;
        } else if (arg == "--apply") {
            line.apply = true;
        } else if (arg == "--others") {
            line.others = true;
        } else if (arg == "--ram") {
            line.ram = true;
        } else if (arg == "--changed") {
            line.changed = true;
        } else if (arg == "--backup-first") {
            line.backupFirst = true;
        } else if (arg == "--keep") {
            std::optional<int> keep;
            if (!value(v) || !(keep = ParseNumber(v)) || *keep < 0)
                return fail(CliText::tr("--keep takes the number of backups to keep (0 keeps all)")
                                .toStdString());
            line.keep = *keep;
        } else if (arg == "--port") {
            if (!value(v) || v.empty())
                return fail(
                    CliText::tr("--port needs COM1 to COM4 or a device path").toStdString());
            line.port = v;
        } else if (arg == "--baud") {
            if (!value(v) || !(line.baudIndex = BaudIndexOf(v)))
                return fail(
                    CliText::tr("--baud takes 9600, 19200, 38400, 57600 or 115200").toStdString());
        } else if (arg == "--config") {
            if (!value(line.config) || line.config.empty())
                return fail(CliText::tr("--config needs the path of a SYSTEM.CFG").toStdString());
        } else if (arg == "--kinds") {
            std::optional<KindSet> kinds;
            if (!value(v) || !(kinds = ParseKinds(v)) || kinds->none())
                return fail(
                    CliText::tr("--kinds takes plu, dept, recy and param, separated by commas")
                        .toStdString());
            line.kinds = *kinds;
        } else if (arg == "--range") {
            if (!value(v) || !ParseRange(v, line.rangeBegin, line.rangeEnd))
                return fail(
                    CliText::tr("Invalid PLU range: --range takes A-B with 1 <= A <= B <= 10000")
                        .toStdString());
        } else if (arg == "-o" || arg == "--output") {
            if (!value(line.output) || line.output.empty())
                return fail(Say(CliText::tr("%1 needs a file name"), arg));
        } else if (arg == "--base") {
            std::optional<int32_t> base;
            if (!value(v) || !(base = ParseHexBase(v)))
                return fail(
                    CliText::tr("--base takes a hexadecimal page number of at most 8 digits")
                        .toStdString());
            line.base = *base;
        } else if (arg == "--count") {
            std::optional<int32_t> count;
            if (!value(v) || !(count = ParseCount(v)))
                return fail(CliText::tr("--count takes a number of pages").toStdString());
            line.count = *count;
        } else if (arg == "--table") {
            std::optional<SheetTable> table;
            if (!value(v) || !(table = Named<SheetTable>(v, {{"plu", SheetTable::PLU},
                                                             {"dept", SheetTable::Department},
                                                             {"recy", SheetTable::Recycling}})))
                return fail(CliText::tr("--table takes plu, dept or recy").toStdString());
            line.table = *table;
        } else if (arg == "--mode") {
            std::optional<ImportMode> mode;
            if (!value(v) || !(mode = Named<ImportMode>(v, {{"replace", ImportMode::Replace},
                                                            {"update", ImportMode::Update}})))
                return fail(CliText::tr("--mode takes replace or update").toStdString());
            line.importOptions.mode = *mode;
        } else if (arg == "--by") {
            // import matches by number or barcode, history sales sums by item or department;
            // which one is known once the command has been read.
            if (!value(v))
                return fail(CliText::tr("--by needs a value").toStdString());
            by = v;
        } else if (arg == "--map") {
            std::optional<std::vector<std::pair<int, std::string>>> pairs;
            if (!value(v) || !(pairs = ParseColumnMap(v)))
                return fail(CliText::tr("--map takes FILE-COLUMN=TABLE-COLUMN pairs separated by "
                                        "commas, each file column once: --map "
                                        "\"1=Barcode,2=Name,3=Unit price\"")
                                .toStdString());
            line.columnMap = std::move(*pairs);
        } else if (arg == "--header" || arg == "--no-header") {
            if (line.header && *line.header != (arg == "--header"))
                return fail(
                    CliText::tr("--header and --no-header do not go together").toStdString());
            line.header = arg == "--header";
        } else if (arg == "--dialect") {
            if (!value(v) || !ExportDialect(v))
                return fail(CliText::tr("--dialect takes excel, calc or tsv").toStdString());
            line.dialect = v;
        } else if (arg == "--codepage") {
            line.codePage = true;
        } else if (arg == "--register") {
            if (!value(line.registerName) || line.registerName.empty())
                return fail(
                    "--register needs the name of a register of the list (history: a part of "
                    "the register's name)");
        } else if (arg == "--registers") {
            if (!value(v) || SplitNames(v).empty())
                return fail(CliText::tr("--registers needs names of registers or groups, separated "
                                        "by commas")
                                .toStdString());
            for (std::string& name : SplitNames(v))
                line.registers.names.push_back(std::move(name));
        } else if (arg == "--group") {
            if (!value(line.registers.group) || SplitNames(line.registers.group).empty())
                return fail(CliText::tr("--group needs the name of a group").toStdString());
        } else if (arg == "--all") {
            line.registers.all = true;
        } else if (arg == "--no-archive") {
            line.noArchive = true;
        } else if (arg == "--failed") {
            line.failed = true;
        } else if (arg == "--dry-run") {
            line.dryRun = true;
        } else if (arg == "--since" || arg == "--until" || arg == "--from" || arg == "--to" ||
                   arg == "--before") {
            // A span's end takes in the whole day or minute it names.
            const bool end = arg == "--until" || arg == "--to";
            std::optional<QDateTime> at;
            if (!value(v) || !(at = ParseUserTime(QString::fromStdString(v), end)))
                return fail(Say(
                    CliText::tr("%1 takes a date, YYYY-MM-DD, or a time, YYYY-MM-DDTHH:MM"), arg));
            (arg == "--since"   ? line.since
             : arg == "--until" ? line.until
             : arg == "--from"  ? line.from
             : arg == "--to"    ? line.to
                                : line.before) = at;
        } else if (arg == "--grep") {
            if (!value(line.grep) || line.grep.empty())
                return fail(CliText::tr("--grep needs the words to look for").toStdString());
        } else if (arg == "--operation") {
            if (!value(line.operation) || !IsOperationName(QString::fromStdString(line.operation)))
                return fail(CliText::tr("--operation takes download, send-changes, upload, "
                                        "compare, backup, restore, report, test, detect, dump, "
                                        "program or font")
                                .toStdString());
        } else if (arg == "--csv") {
            if (!value(line.csv) || line.csv.empty())
                return fail(CliText::tr("--csv needs a file name").toStdString());
        } else if (arg == "--lang") {
            if (!value(v) || LanguageCode(QString::fromStdString(v)).isEmpty())
                return fail(CliText::tr("--lang takes pl or en").toStdString());
            line.language = LanguageCode(QString::fromStdString(v)).toStdString();
        } else if (arg == "--history") {
            // A file, a server, or one of each.
            std::string given;
            if (!value(given) || given.empty())
                return fail(
                    CliText::tr("--history needs the path of a history file").toStdString());
            if (IsServerAddress(given)) {
                QString problem;
                if (!ParseServerAddress(QString::fromLocal8Bit(given), &problem))
                    return fail(problem.toLocal8Bit().toStdString());
                line.historyServer = given;
            } else {
                line.historyPath = given;
            }
        } else if (arg == "--wait") {
            std::string seconds;
            const auto number = value(seconds) ? ParseNumber(seconds) : std::nullopt;
            if (!number || *number < 0 || *number > 86400)
                return fail(QCoreApplication::translate("TCommandLine",
                                                        "--wait takes the seconds to wait for the "
                                                        "history server, 0 to 86400")
                                .toLocal8Bit()
                                .toStdString());
            line.waitSeconds = int(*number);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail(Say(CliText::tr("unknown option %1"), arg));
        } else if (!haveCommand) {
            const auto found = Commands().find(arg);
            if (found == Commands().end())
                return fail(Say(CliText::tr("unknown command %1"), arg));
            line.command = found->second.command;
            fileCount = found->second.files;
            optionalFiles = found->second.optional;
            haveCommand = true;
        } else {
            line.files.push_back(arg);
        }
    }
    if (paths) {
        if (haveCommand)
            return fail(CliText::tr("--paths takes no command").toStdString());
        line.command = TCliCommand::Paths;
        return {line, {}};
    }
    if (!haveCommand)
        return fail(CliText::tr("no command given").toStdString());
    if (const std::string problem = CheckRegisterChoice(line); !problem.empty())
        return fail(problem);
    if (line.command == TCliCommand::Registers)
        if (const std::string problem = CheckRegistersLine(line); !problem.empty())
            return fail(problem);
    // A register of the list may have a document of its own.
    const bool ownDocument = line.command == TCliCommand::Download && line.files.empty() &&
                             (!line.registerName.empty() || line.registers.Any());
    if (by && line.command == TCliCommand::History) {
        const std::optional<TSalesBy> salesBy =
            Named<TSalesBy>(*by, {{"item", TSalesBy::Item}, {"department", TSalesBy::Department}});
        if (!salesBy)
            return fail(CliText::tr("--by takes item or department").toStdString());
        line.salesBy = *salesBy;
    } else if (by) {
        const std::optional<MatchBy> matchBy =
            Named<MatchBy>(*by, {{"number", MatchBy::Number}, {"barcode", MatchBy::Barcode}});
        if (!matchBy)
            return fail(CliText::tr("--by takes number or barcode").toStdString());
        line.importOptions.by = *matchBy;
    }
    if (line.command == TCliCommand::History)
        if (const std::string problem = CheckHistoryLine(line); !problem.empty())
            return fail(problem);
    if (line.noArchive && line.command != TCliCommand::Report)
        return fail(CliText::tr("--no-archive goes with report").toStdString());
    const int files = int(line.files.size());
    if (files > fileCount || (files < fileCount - optionalFiles && !ownDocument))
        return fail((fileCount == 0 ? CliText::tr("this command takes no file")
                     : line.command == TCliCommand::Registers
                         ? CliText::tr("registers takes an action and at most two names")
                     : optionalFiles > 0 ? CliText::tr("this command takes at most one folder")
                     : fileCount == 1    ? CliText::tr("this command takes exactly one file")
                                         : CliText::tr("this command takes exactly two files"))
                        .toStdString());
    if (line.importOptions.by == MatchBy::Barcode &&
        (line.importOptions.mode != ImportMode::Update || line.table != SheetTable::PLU))
        return fail(
            CliText::tr("--by barcode matches PLU rows in --mode update only").toStdString());
    if ((line.header || !line.columnMap.empty()) && line.command != TCliCommand::Import)
        return fail(CliText::tr("--map, --header and --no-header go with import").toStdString());
    if (line.changed && line.command != TCliCommand::Download)
        return fail(CliText::tr("--changed goes with download").toStdString());
    if (line.changed && line.backupFirst)
        return fail(CliText::tr("--changed and --backup-first do not go together").toStdString());
    return {line, {}};
}

TLanguageRequest ScanLanguage(const std::vector<std::string>& args) {
    TLanguageRequest request;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json")
            request.json = true;
        else if (args[i] == "--lang" && i + 1 < args.size())
            request.language = LanguageCode(QString::fromStdString(args[++i])).toStdString();
    }
    return request;
}

std::string HelpText() {
    return QCoreApplication::translate("CommandLine",
                                       R"(usage: quorve-plu-cli COMMAND [FILE] [OPTIONS]
       quorve-plu-cli --paths [--config PATH] [--json]

Moves a shop's PLU items, departments, package prices and parameters between the PC and the
Quorve register, as the window program does.

Commands:
  download FILE.PLU [--kinds K] [--range A-B]
        send the document (and the parameters of SYSTEM.CFG) to the register
        quorve-plu-cli download shop.PLU --kinds plu,dept --range 1-3000
  upload FILE.PLU [--kinds K] [--range A-B] [--force]
        read the register into a new document (and its parameters into SYSTEM.CFG);
        an existing document is replaced only with --force
        quorve-plu-cli upload register.PLU --force
  report [-o FILE] [--raw] [--no-archive]
        read the register's report text (UTF-8; the register's bytes with --raw); it is kept
        in the history before the register is told to clear it, and when it cannot be kept
        the register keeps it (exit 4); --no-archive clears it without keeping it
        quorve-plu-cli report -o z-report.txt
  test
        connect to the register and disconnect again
        quorve-plu-cli test --port COM1
  detect [--apply] [--others]
        look for the register on COM1 to COM4; --apply keeps the port found in SYSTEM.CFG;
        --others then tries the serial devices no COM name opens, and with --apply maps the
        one the register answered on to the configured COM name
        quorve-plu-cli detect --others --apply
  ports
        list the serial devices of this computer and the COM names that open them
        quorve-plu-cli ports --json
  dump [--base HEX] [--count N] [--ram] [-o FILE]
        copy register memory pages (default base 0, 8 pages, ROM) into a listing (default
        TEMP.LOG in the program's log folder, see --paths) and the raw bytes (TEMP.BIN)
        quorve-plu-cli dump --base 1F00 --count 16 --ram -o ram.log
  program IMAGE
        load a program image (.hex) into the register
        quorve-plu-cli program firmware.hex
  font FILE
        load a font (.fnt) into the register
        quorve-plu-cli font receipt.fnt
  check FILE.PLU
        check every cell as typing would; one line "FILE:row:column: reason" per problem
        quorve-plu-cli check shop.PLU
  import SHEET DOC.PLU [--table T] [--mode update|replace] [--by number|barcode]
         [--map MAP] [--header|--no-header]
        put a spreadsheet file (CSV or TSV as Excel, Calc or a shop system writes it; the
        separator, decimal separator and encoding are found and told on stderr) into a table
        of the document; every cell is checked as typing would check it, and on any problem
        nothing is written and the problems are listed; a missing DOC.PLU is made from a new
        document.
        update (the default): only the rows the file names change, matched by PLU number or
        barcode, and its empty cells keep the document's value; replace: the file's rows
        become the table (by their number column, else by their place in the file) and every
        other row is emptied.
        Columns are found by the header's names (English, Polish or German) or by position;
        --map assigns them: 1 is the file's first column, the names are the table's column
        titles, "ignore" feeds none, and columns --map leaves out are ignored
        quorve-plu-cli import prices.csv shop.PLU --by barcode
        quorve-plu-cli import list.csv shop.PLU --no-header --map "1=Barcode,2=Name,3=Unit price"
  export DOC.PLU SHEET [--table T] [--dialect excel|calc|tsv] [--codepage]
        write a table of the document as a spreadsheet file with a header row, UTF-8 with a
        BOM (the document's code page with --codepage)
        quorve-plu-cli export shop.PLU prices.csv --dialect calc
  compare FILE.PLU [--kinds K] [--range A-B] [-o FILE]
        read the register and list what a download would change, one line per difference
        (exit 0 when equal, 10 when different); -o also saves the list
        quorve-plu-cli compare shop.PLU --kinds plu --range 1-3000
  download --changed FILE.PLU [--kinds K] [--range A-B]
        compare first, then send only the PLU blocks, departments, package prices and
        parameters that differ
        quorve-plu-cli download --changed shop.PLU --range 1-3000
  backup [DIR] [--range A-B] [--keep N]
        read everything the register holds into a new dated folder of DIR (default
        ~/.local/share/quorve-plu/backups); the newest N (default 20, 0 = all) are kept
        quorve-plu-cli backup
  backups [DIR]
        list the backups, newest first: date, register, PLU range and counts, folder
        quorve-plu-cli backups
  restore DIR [--force]
        put a backup folder back on the register: what differs is sent; --force restores
        onto a register with another identification
        quorve-plu-cli restore ~/.local/share/quorve-plu/backups/2025-01-31_14-03-22
  registers [--json]
        the shop's registers: name, port and device, rate, groups, the identification each
        last answered with, its own document
        quorve-plu-cli registers --json
  registers add NAME [--port P] [--baud R] [--group G]
        put a register on the list; its own SYSTEM.CFG starts as a copy of today's (the first
        register so takes today's settings), with the port and rate given (default today's);
        G: its groups, separated by commas
        quorve-plu-cli registers add Till-2 --port /dev/serial/by-id/usb-FTDI_A1-if00-port0
  registers remove NAME
        take a register off the list; its folder is kept in the list's .removed folder
        quorve-plu-cli registers remove Till-2
  registers rename OLD NEW
        give a register another name
        quorve-plu-cli registers rename Till-2 Back-till
  registers detect
        try the serial devices no register of the list uses, and offer each one a register
        answers on
        quorve-plu-cli registers detect
  history reports [--since DATE] [--until DATE] [--register NAME] [--grep TEXT]
        the archived reports, newest first: ID, date, register, first line; --grep finds
        the reports holding every word of TEXT (or words starting so)
        quorve-plu-cli history reports --since 2026-01-01 --grep refund
  history show ID [-o FILE] [--raw]
        one archived report's text (the register's bytes with --raw)
        quorve-plu-cli history show 1021 -o z-report.txt
  history journal [--since DATE] [--operation OP] [--failed]
        every operation with a register: when, which register and port, what, the result,
        blocks and bytes moved
        quorve-plu-cli history journal --operation download --failed
  history sales --from DATE --to DATE [--by item|department] [--csv FILE] [--dialect D]
        what was sold between the dates (from the sales counters of the uploads and
        backups), per item or per department, largest total first; --csv writes it as a
        spreadsheet file
        quorve-plu-cli history sales --from 2026-01-01 --to 2026-01-31 --by department
  history check
        SQLite's check of the whole history file ("ok", or what is damaged: exit 5)
  history push [--wait SECONDS]
        sends what is new in the history file to the chain's server (--history
        postgresql://..., or Server in SYSTEM.CFG's [History]); each row once, however
        often it runs; waits up to SECONDS (default 60) for a server that is down
        quorve-plu-cli history push --history postgresql://shop1@hq.example.com/chain
  history prune --before DATE [--dry-run]
        delete the reports, journal entries and sales snapshots from before DATE (nothing is
        ever deleted otherwise); --dry-run only says what would be deleted
        quorve-plu-cli history prune --before 2016-01-01 --dry-run

Options:
  --kinds K      plu, dept, recy, param, separated by commas (default all four)
  --range A-B    PLU numbers, 1 <= A <= B <= 10000 (default 1-10000)
  --port P       COM1 to COM4 (mapped to a device by [Ports] of SYSTEM.CFG), or a device
                 path used as it is (default the port SYSTEM.CFG configures)
  --baud R       9600, 19200, 38400, 57600 or 115200 (default from SYSTEM.CFG)
  --config PATH  the SYSTEM.CFG to use (default the program's own, see --paths)
  --table T      plu, dept or recy: the PLU items, the departments or the package prices
                 (default plu)
  --map MAP      import: which table column each file column feeds, e.g.
                 "1=Barcode,2=Name,3=Unit price,4=ignore"
  --header       import: the first line names the columns (found by its names otherwise)
  --no-header    import: the first line is a row like the others
  --dialect D    excel: ';' and decimal comma where the locale writes a decimal comma, ','
                 and point otherwise (the default); calc: ',' and the locale's decimal
                 separator; tsv: tabs
  --backup-first download: back the register up (as backup does) and send nothing if
                 that fails
  --register NAME
                 the register of the list to talk to: its own SYSTEM.CFG (port, rate,
                 parameters), its DEBUG.LOG and its own backup folder; download without
                 FILE.PLU sends its own document
  --registers A,B
                 download, report, backup, compare or test for several registers (or groups)
                 of the list, each in a job of its own: registers on different ports at the
                 same time, registers that share a port one after another; one failing
                 stops only its own job. With --json one object per register; exit 0 when
                 all are done, 1 when any failed (named on stderr), 10 when compare found
                 differences; report -o takes a folder (a dated file per register)
                 quorve-plu-cli download shop.PLU --registers Till-1,Till-2 --changed
  --group G      the registers of a group, as --registers (registers add: the new
                 register's groups)
  --all          every register of the list, as --registers
  --history FILE the history file (default ~/.local/share/quorve-plu/history.sqlite,
                 XDG_DATA_HOME)
  --history postgresql://USER@HOST[:PORT]/DATABASE[?sslmode=verify-full&...]
                 the chain's shared server (or service=NAME); never with a password in it:
                 ~/.pgpass or pg_service.conf holds it. The history commands read it
  DATE           YYYY-MM-DD or YYYY-MM-DDTHH:MM in local time; --until and --to take in the
                 whole day (or minute) they name
  --json         one JSON object per line on standard output: progress events and a final
                 {"result": ...}
  --quiet        no progress, only errors
  --lang L       pl or en: the language of the texts for people (default from LANG and
                 LANGUAGE); --json output and check's lines stay English
  --paths        where SYSTEM.CFG, the language file, DEBUG.LOG, the dumps and the guide
                 are: beside the program when its folder is writable, otherwise (installed)
                 ~/.config/quorve-plu/ and ~/.local/state/quorve-plu/ (XDG_CONFIG_HOME,
                 XDG_STATE_HOME)
  --help         this text
  --version      the program's version

Exit codes: 0 done; 1 the register failed or refused; 2 wrong command line; 3 the port could not
be opened; 4 a file could not be read or written (also: upload would replace a document without
--force; report: the report could not be archived); 5 check, import or history check found
problems; 10 compare found differences; 130 cancelled
(Ctrl+C, SIGTERM).
)")
        .toStdString();
}
