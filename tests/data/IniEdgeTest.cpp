#include "Ini.h"
#include "Settings.h"
#include "TempDir.h"
#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace std::string_literals;

// Damaged or foreign files: each reads what it can, the rest as defaults.
TEST(IniInput, DamagedFilesReadWhatTheyCan) {
    const std::string hugeValue(200000, 'x');
    struct Case {
        const char* what;
        std::string text;
        int port;           // [Comm] Port with default 2
        std::string header; // [Default] Header1 with default "-"
    };
    const Case cases[] = {
        {"CR-only line ends", "[Comm]\rPort=3\r[Default]\rHeader1=Shop\r", 3, "Shop"},
        {"LF-only line ends", "[Comm]\nPort=4\n[Default]\nHeader1=Shop\n", 4, "Shop"},
        {"no end on the last line", "[Default]\r\nHeader1=Shop", 2, "Shop"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF[Comm]\r\nPort=1\r\n", 1, "-"},
        {"line without equals", "[Comm]\r\nPort 3\r\nPort=1\r\n", 1, "-"},
        {"non-numeric integer", "[Comm]\r\nPort=three\r\n", 2, "-"},
        {"number with trailing text", "[Comm]\r\nPort=3x\r\n", 2, "-"},
        {"integer overflow", "[Comm]\r\nPort=99999999999999999999\r\n", 2, "-"},
        {"duplicate sections: the first counts", "[Comm]\nPort=1\n[Comm]\nPort=3\n", 1, "-"},
        {"duplicate keys: the first counts", "[Comm]\nPort=4\nPort=3\n", 4, "-"},
        {"binary bytes around", "\x00\xFF\x01\n[Comm]\nPort=3\n\x80\x81=\x00\n"s, 3, "-"},
        {"binary bytes inside a value", "[Default]\nHeader1=a\x00\x1B\xFFz\n"s, 2,
         "a\x00\x1B\xFFz"s},
        {"section without closing bracket", "[Comm\nPort=3\n", 2, "-"},
        {"huge line", "[Default]\nJunk=" + hugeValue + "\nHeader1=ok\n", 2, "ok"},
        {"key before any section", "Port=3\n[Comm]\n", 2, "-"},
        {"quoted value loses its quotes", "[Default]\nHeader1=\"  Shop  \"\n", 2, "  Shop  "},
        {"single quotes too", "[Default]\nHeader1='Shop'\n", 2, "Shop"},
        {"a lone quote stays", "[Default]\nHeader1=\"Shop\n", 2, "\"Shop"},
    };
    for (const Case& c : cases) {
        const IniFile ini = IniFile::FromText(c.text);
        EXPECT_EQ(ini.ReadInteger("Comm", "Port", 2), c.port) << c.what;
        EXPECT_EQ(ini.ReadString("Default", "Header1", "-"), c.header) << c.what;
        EXPECT_EQ(ini.Text(), c.text) << c.what;
    }
}

// A written value reads back exactly, whatever spaces and quotes it carries, and the rest of the
// file stays byte for byte.
TEST(IniInput, WrittenTextsReadBackExactly) {
    const std::string before = "; note\r\n[Default]\r\nVAT1=05.00\r\n\r\n[Ports]\nCOM3=/dev/x\n";
    const char* values[] = {"  centred  ", "trailing ", "\tTab", "\"quoted\"",   "'single'",
                            "\"",          "a=b;c",     "",      "\xE9\xB9\x8A", "[Section]"};
    for (const char* v : values) {
        IniFile ini = IniFile::FromText(before);
        ini.WriteString("Default", "Header1", v);
        const IniFile reread = IniFile::FromText(ini.Text());
        EXPECT_EQ(reread.ReadString("Default", "Header1", "-"), v) << v;
        EXPECT_EQ(reread.ReadString("Default", "VAT1", "-"), "05.00") << v;
        EXPECT_EQ(reread.ReadString("Ports", "COM3", "-"), "/dev/x") << v;
        // Only the one new line came in.
        std::string text = ini.Text();
        const size_t at = text.find("Header1=");
        ASSERT_NE(at, std::string::npos);
        text.erase(at, text.find("\r\n", at) + 2 - at);
        EXPECT_EQ(text, before) << v;
    }
    // Plain values are written unchanged, without quotes.
    IniFile ini = IniFile::FromText("");
    ini.WriteString("Default", "Header1", "My shop");
    EXPECT_EQ(ini.Text(), "[Default]\r\nHeader1=My shop\r\n");
}

TEST(IniInput, AFileThatCannotBeReadIsNeverReplaced) {
    TempProgramDir dir;
    // A directory where the file should be: unreadable as a file, and not to be renamed over.
    std::filesystem::create_directory(SystemCfgPath());
    IniFile asDirectory(SystemCfgPath());
    EXPECT_FALSE(asDirectory.Readable());
    asDirectory.WriteInteger("Comm", "Port", 1);
    EXPECT_FALSE(asDirectory.Save());
    EXPECT_TRUE(std::filesystem::is_directory(SystemCfgPath()));
    std::filesystem::remove(SystemCfgPath());

    GiveToUnprivilegedUser(dir.Path());
    WriteFileBytes(SystemCfgPath(), "[Secret]\nKeep=1\n");
    ::chmod(SystemCfgPath().c_str(), 0);
    RunAsUnprivilegedUser([] {
        IniFile locked(SystemCfgPath());
        EXPECT_FALSE(locked.Readable());
        locked.WriteInteger("Comm", "Port", 1);
        EXPECT_FALSE(locked.Save());
    });
    ::chmod(SystemCfgPath().c_str(), 0600);
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), "[Secret]\nKeep=1\n");
    // A missing file is simply empty, and writable.
    std::filesystem::remove(SystemCfgPath());
    IniFile missing(SystemCfgPath());
    EXPECT_TRUE(missing.Readable());
    missing.WriteInteger("Comm", "Port", 1);
    EXPECT_TRUE(missing.Save());
}

TEST(Settings, DefaultsWithoutAFileAndRangesOfTheValues) {
    TempProgramDir dir;
    CompanyText = "stale";
    ReadStartSettings();
    ReadCommSettings();
    EXPECT_EQ(PortNumber, 2);
    EXPECT_EQ(BaudIndex, 0);
    EXPECT_EQ(CompanyText, "");
    EXPECT_EQ(FirstProgramBlock, 16);
    EXPECT_EQ(ConfiguredCodePage(), "CP1250");
    EXPECT_FALSE(std::filesystem::exists(SystemCfgPath())) << "reading creates nothing";

    struct Case {
        const char* file;
        int port, baud, block;
    };
    const Case cases[] = {
        {"[Comm]\nPort=0\nBaudRate=4\n[Address]\nUpdate=0\n", 0, 4, 0},
        {"[Comm]\nPort=5\nBaudRate=5\n[Address]\nUpdate=-1\n", 2, 0, 16},
        {"[Comm]\nPort=-1\nBaudRate=-1\n[Address]\nUpdate=65536\n", 2, 0, 16},
        {"[comm]\nport=4\nbaudrate=3\n[address]\nupdate=65535\n", 4, 3, 65535},
    };
    for (const Case& c : cases) {
        WriteFileBytes(SystemCfgPath(), c.file);
        ReadStartSettings();
        ReadCommSettings();
        EXPECT_EQ(PortNumber, c.port) << c.file;
        EXPECT_EQ(BaudIndex, c.baud) << c.file;
        EXPECT_EQ(FirstProgramBlock, c.block) << c.file;
    }
}

TEST(Settings, StoringThePortKeepsTheRate) {
    TempProgramDir dir;
    WriteFileBytes(SystemCfgPath(),
                   "[Comm]\r\nPort=1\r\nBaudRate=3\r\n[Version]\r\nCompanyName=X\r\n");
    ASSERT_TRUE(WriteCommPort(4));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()),
              "[Comm]\r\nPort=4\r\nBaudRate=3\r\n[Version]\r\nCompanyName=X\r\n");
    ASSERT_TRUE(WriteCommSettings(0, 2));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()),
              "[Comm]\r\nPort=0\r\nBaudRate=2\r\n[Version]\r\nCompanyName=X\r\n");
}

} // namespace
