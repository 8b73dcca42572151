// Damaged and odd files handed to every reader the command-line tool has: each ends with a clear
// message on stderr within a few seconds, never a crash or a hang. The window shows the same
// texts: it calls the same readers.
#include "Ini.h"
#include "Output.h"
#include "Unprivileged.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes one kind of bad input at the path.
struct BadInput {
    const char* name;
    std::function<void(const std::string& path)> make;
};

void Write(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

const std::vector<BadInput>& BadInputs() {
    static const std::vector<BadInput> inputs{
        {"BinaryJunk",
         [](const std::string& path) {
             std::mt19937 random(15);
             std::string bytes(65536, '\0');
             for (char& c : bytes)
                 c = char(random());
             Write(path, bytes);
         }},
        {"SparseTwoGigabytes",
         [](const std::string& path) {
             const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(0, ::ftruncate(fd, off_t(2) << 30));
             ::close(fd);
         }},
        {"Fifo", [](const std::string& path) { ASSERT_EQ(0, ::mkfifo(path.c_str(), 0644)); }},
        {"Directory",
         [](const std::string& path) { ASSERT_TRUE(std::filesystem::create_directory(path)); }},
        {"NoPermission",
         [](const std::string& path) {
             Write(path, "[Default]\r\nHeader1=X\r\n");
             ASSERT_EQ(0, ::chmod(path.c_str(), 0));
         }},
        {"TenMegabyteLine",
         [](const std::string& path) { Write(path, std::string(10 << 20, 'A') + "\r\n"); }},
        {"InvalidUtf8",
         [](const std::string& path) {
             Write(path, "Barcode,Name\r\n1,\xC3\x28\xFF\xFE\xED\xA0\x80\r\n");
         }},
        {"InvalidUtf16",
         [](const std::string& path) {
             // A BOM, then a lone high surrogate and an odd last byte.
             Write(path, std::string("\xFF\xFE"
                                     "B\0,\0N\0\n\0"
                                     "1\0,\0\x00\xD8"
                                     "x\0\n",
                                     19));
         }},
    };
    return inputs;
}

struct Reader {
    const char* name;
    QStringList args;          // BAD stands for the bad file's path
    bool languageFile = false; // the bad file is the tool's language file instead
};

struct Expected {
    int exit;
    const char* stderrHas; // empty: nothing on stderr
};

struct BadFiles : ::testing::Test {
    QTemporaryDir dir;
    QString cli;
    void SetUp() override {
        cli = dir.filePath("quorve-plu-cli");
        ASSERT_TRUE(QFile::copy(QPLU_CLI_PATH, cli));
        IniFile cfg(dir.filePath("SYSTEM.CFG").toStdString());
        // Programs and fonts are read before the port is opened, and the port is nowhere.
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteString("Ports", "COM2", dir.filePath("no-such-port").toStdString());
        ASSERT_TRUE(cfg.Save());
        Write(dir.filePath("good.PLU").toStdString(), "1\tGOOD\r\n");
        // The tool runs as nobody for the unreadable file, root reading whatever the mode says.
        GiveToUnprivilegedUser(dir.path().toStdString());
    }
};

} // namespace

// For each reader, what the user is told about each input, in the order of BadInputs(): the
// exit code and a piece of stderr. A program image or font of whole blocks is valid, so it goes
// on to the port, which is absent here. SYSTEM.CFG and the language file are optional: a bad one
// is read as none and the command goes on with the defaults.
TEST_F(BadFiles, EveryReaderTellsAndNeverHangs) {
    const std::map<std::string, Expected> fileFailures{
        {"Fifo", {ExitFile, "Invalid filename (Invalid argument)"}},
        {"Directory", {ExitFile, "File access denied (Is a directory)"}},
        {"NoPermission", {ExitFile, "File access denied (Permission denied)"}},
    };
    const std::vector<Reader> readers{
        {"Document", {"check", "BAD"}},
        {"Spreadsheet", {"import", "BAD", "good.PLU", "--mode", "replace"}},
        {"ProgramImage", {"program", "BAD"}},
        {"Font", {"font", "BAD"}},
        {"SystemCfg", {"--config", "BAD", "check", "good.PLU"}},
        {"LanguageFile", {"check", "good.PLU"}, true},
    };
    const Expected port{ExitPort, "Error opening COM2!"};
    const Expected fine{ExitDone, ""};
    const std::map<std::string, std::vector<Expected>> expected{
        {"Document",
         {{ExitProblems, "475 problems in DIR/bad."},
          {ExitProblems, "1 problem in DIR/bad."},
          fileFailures.at("Fifo"),
          fileFailures.at("Directory"),
          fileFailures.at("NoPermission"),
          {ExitProblems, "1 problem in DIR/bad."},
          {ExitProblems, "2 problems in DIR/bad."},
          {ExitProblems, "2 problems in DIR/bad."}}},
        {"Spreadsheet",
         {{ExitProblems, "DIR/bad: line 1: not valid UTF-8"},
          {ExitFile, "DIR/bad: the file is larger than 32 MiB"},
          {ExitFile, "DIR/bad: Invalid filename"},
          {ExitFile, "DIR/bad: File access denied"},
          {ExitFile, "DIR/bad: File access denied"},
          {ExitProblems, "line 1, Barcode \"AAAA"},
          // Not UTF-8, so read in the document's code page.
          {ExitDone, "Imported DIR/bad into good.PLU: 0 added, 1 changed"},
          {ExitProblems, "DIR/bad: line 2: not valid UTF-16"}}},
        {"ProgramImage",
         {port,
          {ExitFile, "Not a valid file!"},
          {ExitFile, "Cannot read DIR/bad: Invalid argument"},
          {ExitFile, "Cannot read DIR/bad: Is a directory"},
          {ExitFile, "Cannot read DIR/bad: Permission denied"},
          {ExitFile, "Not a valid file!"},
          {ExitFile, "Not a valid file!"},
          {ExitFile, "Not a valid file!"}}},
        {"Font",
         {port,
          {ExitFile, "Not a valid file!"},
          {ExitFile, "Cannot read DIR/bad: Invalid argument"},
          {ExitFile, "Cannot read DIR/bad: Is a directory"},
          {ExitFile, "Cannot read DIR/bad: Permission denied"},
          port,
          port,
          port}},
        {"SystemCfg", std::vector<Expected>(8, fine)},
        {"LanguageFile", std::vector<Expected>(8, fine)},
    };
    for (const Reader& reader : readers) {
        for (size_t i = 0; i < BadInputs().size(); ++i) {
            const BadInput& input = BadInputs()[i];
            const Expected& want = expected.at(reader.name)[i];
            SCOPED_TRACE(std::string(reader.name) + " / " + input.name);
            const QString bad =
                reader.languageFile ? dir.filePath("quorve-plu.LNG") : dir.filePath("bad");
            std::filesystem::remove_all(bad.toStdString());
            input.make(bad.toStdString());
            QStringList args = reader.args;
            args.replaceInStrings("BAD", bad);
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LC_ALL", "C");
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(dir.path());
            if (std::string(input.name) == "NoPermission")
                process.setChildProcessModifier([] {
                    if (!DropToUnprivilegedUser())
                        ::_exit(126);
                });
            process.start(cli, args);
            ASSERT_TRUE(process.waitForStarted(5000));
            const bool finished = process.waitForFinished(30000);
            if (!finished)
                process.kill(), process.waitForFinished();
            EXPECT_TRUE(finished) << "hangs";
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "crashed";
            const QString err =
                QString::fromLocal8Bit(process.readAllStandardError()).replace(dir.path(), "DIR");
            EXPECT_EQ(process.exitCode(), want.exit) << err.toStdString();
            if (*want.stderrHas == '\0')
                EXPECT_TRUE(err.isEmpty()) << err.toStdString();
            else
                EXPECT_TRUE(err.contains(QString::fromUtf8(want.stderrHas))) << err.toStdString();
            std::filesystem::remove_all(bad.toStdString());
        }
    }
}
