#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size()) {
        const size_t space = std::min(text.find(' ', start), text.size());
        if (space > start)
            words.push_back(text.substr(start, space - start));
        start = space + 1;
    }
    return words;
}

TEST(CommandLine, OptionsAndTheirLimits) {
    struct Case {
        const char* args;
        const char* error; // empty: parses
    } cases[] = {
        {"download shop.PLU --kinds plu,param --range 5-3000 --port COM1 --baud 57600", ""},
        {"upload x.PLU --force --kinds all --port /dev/ttyUSB0 --config /etc/q.cfg", ""},
        {"dump --base 1f00 --count 16 --ram -o ram.log --json --quiet", ""},
        {"", "no command given"},
        {"frob", "unknown command frob"},
        {"download", "this command takes exactly one file"},
        {"test extra.PLU", "this command takes no file"},
        {"download a.PLU --kinds plu,stock", "--kinds takes"},
        {"download a.PLU --kinds ,", "--kinds takes"},
        {"download a.PLU --range 0-10", "Invalid PLU range"},
        {"download a.PLU --range 10-10001", "Invalid PLU range"},
        {"download a.PLU --range 20-10", "Invalid PLU range"},
        {"download a.PLU --range 7", "Invalid PLU range"},
        {"test --baud 4800", "--baud takes"},
        {"test --port", "--port needs"},
        {"dump --base 123456789", "--base takes"},
        {"dump --count x", "--count takes"},
        {"test --colour", "unknown option --colour"},
        {"compare shop.PLU --kinds plu --range 1-3000 -o diff.txt", ""},
        {"download --changed shop.PLU", ""},
        {"backup", ""},
        {"backup /media/usb --keep 0 --range 1-500", ""},
        {"backups", ""},
        {"restore /media/usb/2025-01-31_14-03-22 --force", ""},
        {"compare", "this command takes exactly one file"},
        {"backup a b", "this command takes at most one folder"},
        {"restore", "this command takes exactly one file"},
        {"backup --keep -1", "--keep takes"},
        {"upload x.PLU --changed", "--changed goes with download"},
        {"download x.PLU --changed --backup-first", "--changed and --backup-first"},
        {"import a.csv b.PLU --table dept --mode update", ""},
        {"import a.csv b.PLU --mode update --by barcode", ""},
        {"import a.csv", "this command takes exactly two files"},
        {"import a.csv b.PLU --table stock", "--table takes"},
        {"import a.csv b.PLU --mode merge", "--mode takes"},
        {"import a.csv b.PLU --mode replace --by barcode", "--by barcode matches PLU rows in"},
        {"import a.csv b.PLU --table dept --mode update --by barcode", "--by barcode"},
        {"export b.PLU a.csv --dialect calc --codepage --table recy", ""},
        {"export b.PLU a.csv --dialect numbers", "--dialect takes"},
        {"--paths --config /etc/q.cfg --json", ""},
        {"--paths test", "--paths takes no command"},
        {"report --no-archive -o z.txt", ""},
        {"test --no-archive", "--no-archive goes with report"},
        {"history reports --since 2026-01-01 --until 2026-01-31T18:00 --grep refund", ""},
        {"history show 12 --raw -o z.txt --history /srv/h.sqlite", ""},
        {"history journal --operation send-changes --failed --json", ""},
        {"history sales --from 2026-01-01 --to 2026-01-31 --by department --csv s.csv", ""},
        {"history prune --before 2016-01-01 --dry-run", ""},
        {"history push --history postgresql://shop1@hq/chain --history /srv/h.sqlite --wait 0", ""},
        {"history reports --history service=chain", ""},
        {"history push --wait -1", "--wait takes the seconds"},
        {"history push --wait soon", "--wait takes the seconds"},
        {"history push --history postgresql://shop1:pw@hq/chain",
         "the history server's address holds a password"},
        {"history push --history postgres://hq/chain?sslmode=require&pwd=x",
         "the history server's address has an unknown setting: pwd"},
        {"history", "history takes reports, show"},
        {"history frob", "history takes reports, show"},
        {"history show", "history show takes the ID"},
        {"history reports 12", "history reports takes no other argument"},
        {"history reports --since 31.01.2026", "--since takes a date"},
        {"history reports --until 2026-02-30", "--until takes a date"},
        {"history journal --operation reboot", "--operation takes"},
        {"history sales --from 2026-01-01", "history sales needs --from DATE and --to DATE"},
        {"history sales --from 2026-01-01 --to 2026-01-02 --by barcode", "--by takes item"},
        {"history prune --dry-run", "history prune needs --before DATE"},
        {"history reports --csv x.csv", "--csv goes with history sales"},
        {"import a.csv b.PLU --by item", "--by takes number or barcode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const TParsedCommandLine parsed = ParseCommandLine(Split(c.args));
        EXPECT_EQ(parsed.line.has_value(), *c.error == 0);
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << parsed.error;
    }
    const TCommandLine line =
        *ParseCommandLine(Split("download shop.PLU --kinds dept,param --range 5-3000 --baud "
                                "57600"))
             .line;
    EXPECT_EQ(line.command, TCliCommand::Download);
    EXPECT_EQ(line.files, std::vector<std::string>{"shop.PLU"});
    EXPECT_EQ(line.kinds, KindSet(0b1010));
    EXPECT_EQ(line.rangeBegin, 5);
    EXPECT_EQ(line.rangeEnd, 3000);
    EXPECT_EQ(line.baudIndex, 3);
    const TCommandLine dump = *ParseCommandLine(Split("dump --base FFFFFFFF --ram")).line;
    EXPECT_EQ(dump.base, -1);
    EXPECT_EQ(dump.count, 8) << "the range dialog's default";
    EXPECT_TRUE(dump.ram);
    // --by means the sales' grouping after history, the import's matching after import.
    const TCommandLine sales =
        *ParseCommandLine(Split("--by department history sales --from 2026-01-01 --to "
                                "2026-01-31"))
             .line;
    EXPECT_EQ(sales.salesBy, TSalesBy::Department);
    EXPECT_EQ(*sales.to, QDateTime(QDate(2026, 2, 1), QTime(0, 0))) << "the whole last day";
    const struct {
        std::vector<std::string> args;
        const char* error;
    } maps[] = {
        {{"import", "a", "b", "--map", "1=Barcode, 3 = Unit price ,2=ignore", "--no-header"}, ""},
        {{"import", "a", "b", "--map", "1=Barcode,1=Name"}, "--map takes"},
        {{"import", "a", "b", "--map", "0=Name"}, "--map takes"},
        {{"import", "a", "b", "--map", "1=Name,"}, "--map takes"},
        {{"import", "a", "b", "--map", "Name"}, "--map takes"},
        {{"import", "a", "b", "--header", "--no-header"}, "--header and --no-header"},
        {{"export", "a", "b", "--map", "1=Name"}, "--map, --header and --no-header go with import"},
    };
    for (const auto& c : maps) {
        const TParsedCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << parsed.error;
    }
    const TCommandLine import = *ParseCommandLine(maps[0].args).line;
    EXPECT_EQ(import.columnMap, (std::vector<std::pair<int, std::string>>{
                                    {1, "Barcode"}, {3, "Unit price"}, {2, "ignore"}}));
    EXPECT_EQ(import.header, false);
    EXPECT_EQ(import.importOptions.mode, ImportMode::Update) << "replace is asked for";
    const TCommandLine paths = *ParseCommandLine(Split("--json --paths")).line;
    EXPECT_EQ(paths.command, TCliCommand::Paths);
    EXPECT_TRUE(paths.json);
}

// One register of the list by name, or several at once, and the list's own command.
TEST(CommandLine, RegistersOneOrSeveral) {
    struct Case {
        const char* args;
        const char* error; // empty: parses
    } cases[] = {
        {"download shop.PLU --registers Till-1,Till-2 --changed", ""},
        {"download --all --backup-first", ""},
        {"download --register Till-1", ""},
        {"report --group Front -o reports --raw", ""},
        {"compare shop.PLU --group Front --range 1-40", ""},
        {"test --register Till-1 --port COM3", ""},
        {"registers --json", ""},
        {"registers add Till-3 --port COM2 --baud 115200 --group Front,Back", ""},
        {"registers remove Till-3", ""},
        {"registers rename A B", ""},
        {"registers detect", ""},
        {"download", "this command takes exactly one file"},
        {"download a.PLU b.PLU --all", "this command takes exactly one file"},
        {"registers add", "registers add takes the register's name"},
        {"registers rename A", "registers rename takes the old name and the new one"},
        {"registers detect A", "registers detect takes no name"},
        {"registers frob", "registers takes add, remove, rename or detect"},
        {"registers remove A --port COM1", "--port, --baud and --group go with registers add"},
        {"registers --group X", "--group goes with registers add"},
        {"registers --all", "registers takes no --register"},
        {"upload x.PLU --all", "--registers, --group and --all go with"},
        {"dump --group Front", "--registers, --group and --all go with"},
        {"download x.PLU --register A --all", "--register names one register"},
        {"test --register A --config x.cfg", "a register of the list has its own settings file"},
        {"test --all --port COM1", "each register has its own port"},
        {"test --group G --baud 9600", "each register has its own port"},
        {"compare x.PLU --all -o d.txt", "-o goes with one register for compare"},
        {"test --registers ,", "--registers needs names"},
        {"test --register", "--register needs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const TParsedCommandLine parsed = ParseCommandLine(Split(c.args));
        EXPECT_EQ(parsed.line.has_value(), *c.error == 0);
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << parsed.error;
    }
    const TCommandLine line =
        *ParseCommandLine(Split("test --registers A,Front --group Back --json")).line;
    EXPECT_EQ(line.registers.names, (std::vector<std::string>{"A", "Front"}));
    EXPECT_EQ(line.registers.group, "Back");
    EXPECT_EQ(line.args.size(), 6u) << "as given, for the jobs";
}

} // namespace
