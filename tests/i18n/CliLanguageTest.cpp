// The command line in Polish: its help and its messages for people are Polish, while what
// scripts read (stdout of check, --json) is byte for byte what English gives.
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exit = -1;
    QByteArray out;
    QByteArray err;
};

class CliLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        cli = dir.filePath("quorve-plu-cli");
        ASSERT_TRUE(QFile::copy(QPLU_CLI_PATH, cli));
        // The .qm files of the build beside the copy, where the program looks first.
        ASSERT_TRUE(QDir(dir.path()).mkpath("translations"));
        ASSERT_TRUE(QFile::copy(QString(QPLU_QM_DIR) + "quorve-plu_pl.qm",
                                dir.filePath("translations/quorve-plu_pl.qm")));
        WriteFileBytes(dir.filePath("bad.PLU").toStdString(), "12a\tMILK\t1.5x\r\n");
    }
    ToolRun Tool(const QStringList& args, const QString& lang = "C") {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(name);
        env.insert("LANG", lang);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(cli, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    QTemporaryDir dir;
    QString cli;
};

TEST_F(CliLanguage, HelpAndMessagesFollowTheLanguage) {
    struct Case {
        QStringList args;
        QString lang;
        const char* part; // of stdout for --help, of stderr otherwise
    };
    const Case cases[] = {
        {{"--help", "--lang", "pl"}, "C", "Polecenia:"},
        {{"--help"}, "pl_PL.UTF-8", "Polecenia:"},
        {{"--help", "--lang", "en"}, "pl_PL.UTF-8", "Commands:"},
        {{"--help"}, "C", "Commands:"},
        {{"frobnicate", "--lang", "pl"}, "C", "nieznane polecenie frobnicate"},
        {{"frobnicate"}, "pl_PL.UTF-8", "(zobacz quorve-plu-cli --help)"},
        {{"frobnicate"}, "C", "unknown command frobnicate (see quorve-plu-cli --help)"},
        {{"check", "bad.PLU", "--lang", "pl"}, "C", "2 problemy w bad.PLU."},
        {{"check", "bad.PLU"}, "C", "2 problems in bad.PLU."},
        {{"test", "--lang", "xx"}, "C", "--lang takes pl or en"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.args, c.lang);
        const QByteArray& text = c.args.contains("--help") ? run.out : run.err;
        EXPECT_TRUE(text.contains(c.part))
            << c.args.join(' ').toStdString() << " LANG=" << c.lang.toStdString() << "\n"
            << text.toStdString();
    }
}

TEST_F(CliLanguage, WhatScriptsReadIsTheSameInEveryLanguage) {
    const QStringList commands[] = {
        {"check", "bad.PLU"},
        {"check", "bad.PLU", "--json"},
        {"frobnicate", "--json"},
        {"download", "missing.PLU", "--json"},
        {"history", "journal", "--json", "--history", "h.sqlite"},
    };
    for (const QStringList& args : commands) {
        const ToolRun english = Tool(args + QStringList{"--lang", "en"});
        const ToolRun polish = Tool(args + QStringList{"--lang", "pl"});
        EXPECT_EQ(polish.exit, english.exit) << args.join(' ').toStdString();
        EXPECT_EQ(polish.out, english.out) << args.join(' ').toStdString();
        if (args.contains("--json")) {
            EXPECT_EQ(polish.err, english.err) << args.join(' ').toStdString();
        }
    }
    EXPECT_EQ(Tool({"check", "bad.PLU", "--lang", "pl"}).out,
              QByteArray("bad.PLU:1:1: Barcode \"12a\": not a whole number\n"
                         "bad.PLU:1:3: Unit price \"1.5x\": not a number\n"));
}

} // namespace
