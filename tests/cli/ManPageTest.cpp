// The manual page and --help tell of the same commands, options and exit codes, whatever order
// either lists them in.
#include "CommandLine.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Listed {
    QSet<QString> commands;
    QSet<QString> options;
    QSet<QString> exitCodes;
};

QSet<QString> Matches(const QString& text, const QString& pattern) {
    QSet<QString> found;
    for (const QRegularExpressionMatch& m : QRegularExpression(pattern).globalMatch(text))
        found << m.captured(1);
    return found;
}

// "Commands:" lines indented by two spaces start with the command; options are every "-x" or
// "--word" anywhere; the exit codes are the numbers that open the "Exit codes:" paragraph's
// items.
Listed FromHelp(const QString& help) {
    Listed listed;
    const qsizetype commands = help.indexOf("\nCommands:\n");
    const qsizetype options = help.indexOf("\nOptions:\n");
    const qsizetype exits = help.indexOf("\nExit codes:");
    EXPECT_TRUE(commands >= 0 && options > commands && exits > options) << help.toStdString();
    listed.commands = Matches(help.mid(commands, options - commands), R"(\n  ([a-z]+)\b)");
    listed.options = Matches(help, R"((?<![\w-])(--?[a-z][a-z-]*))");
    const QString codes = help.mid(exits).simplified();
    listed.exitCodes = Matches(codes, R"((?:: |; )(\d+) )");
    return listed;
}

// Troff: "\-" is a minus. Under .SH COMMANDS each .TP's tag starts with the command; options
// are every "-x" or "--word" of the page; under .SH EXIT STATUS each .TP's tag is a code.
Listed FromManPage(QString page) {
    page.replace("\\-", "-").replace("\\fR", "").replace("\\fP", "").replace("\\fI", "");
    const auto section = [&](const QString& name) {
        const qsizetype start = page.indexOf("\n.SH " + name + "\n");
        EXPECT_GE(start, 0) << name.toStdString();
        const qsizetype end = page.indexOf("\n.SH ", start + 1);
        return page.mid(start, end - start);
    };
    Listed listed;
    listed.commands = Matches(section("COMMANDS"), R"(\n\.TP\n\.B[IR]? "?([a-z]+)\b)");
    listed.options = Matches(page, R"((?<![\w-])(--?[a-z][a-z-]*))");
    listed.exitCodes = Matches(section("EXIT STATUS"), R"(\n\.TP\n\.B (\d+)\n)");
    return listed;
}

QStringList Sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

TEST(ManPage, ListsEveryCommandOptionAndExitCodeOfHelp) {
    QFile file(QPLU_CLI_MAN_PAGE);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    const Listed help = FromHelp(QString::fromStdString(HelpText()));
    const Listed man = FromManPage(page);

    EXPECT_GE(help.commands.size(), 16) << Sorted(help.commands).join(' ').toStdString();
    EXPECT_EQ(Sorted(man.commands), Sorted(help.commands));
    EXPECT_EQ(Sorted(help.options - man.options), QStringList())
        << "in --help, missing from the manual page";
    EXPECT_TRUE(help.exitCodes.contains("10") && help.exitCodes.contains("5"));
    EXPECT_EQ(Sorted(man.exitCodes), Sorted(help.exitCodes));
    EXPECT_TRUE(page.startsWith(".TH QUORVE-PLU-CLI 1 \"") &&
                page.section('\n', 0, 0).contains("\"quorve-plu " QPLU_VERSION "\""))
        << page.section('\n', 0, 0).toStdString();
}

} // namespace
