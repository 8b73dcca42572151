// The register list on disk: names that can be folders, today's settings as the first entry,
// ports and groups, a list copied elsewhere, and writes that fail leaving no half register.
#include "RegisterList.h"
#include "FailingSaveCalls.h"
#include "Ini.h"
#include "Settings.h"
#include "TempDir.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RegisterListTest : ::testing::Test {
    TempProgramDir dir;
    std::string cfg = dir.Path("SYSTEM.CFG");
    TRegisterList list{dir.Path("registers")};

    void SetUp() override {
        WriteFileBytes(cfg, "[Comm]\r\nPort=3\r\nBaudRate=4\r\n[Ports]\r\nCOM3=/dev/ttyUSB7\r\n"
                            "[Default]\r\nHeader1=\"  CORNER SHOP  \"\r\n");
    }
    std::vector<std::string> Names(const std::vector<TRegister>& registers) {
        std::vector<std::string> names;
        for (const TRegister& r : registers)
            names.push_back(r.name);
        return names;
    }
};

TEST(RegisterNames, ThoseThatCanBeFoldersOnAnyStickAndWordsOfACommandLine) {
    const struct {
        std::string name;
        bool ok;
    } cases[] = {
        {"Till 1", true},
        {"Kasa G\xC5\x82\xC3\xB3wna", true}, // UTF-8 letters
        {"Back-till_2.old", true},
        {"", false},
        {"   ", false},
        {" Till", false},
        {"Till ", false},
        {".hidden", false},
        {"-x", false},
        {"a/b", false},
        {"a,b", false},
        {"a:b", false},
        {"a\tb", false},
        {"a\"b", false},
        {std::string(40, 'x'), true},
        {std::string(41, 'x'), false},
        {"\xFF\xFE", false}, // not UTF-8
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameProblem(c.name).empty(), c.ok)
            << '"' << c.name << "\" " << NameProblem(c.name);
}

TEST_F(RegisterListTest, TheFirstTakesTodaysSettingsAndEachHasItsOwnPortAndGroups) {
    ASSERT_EQ(list.Load(), "") << "a missing folder is an empty list";
    EXPECT_TRUE(list.Empty());
    ASSERT_EQ(list.Add({"Till 1", "", std::nullopt, {"Front"}}, cfg), "");
    const TRegister* first = list.Find("till 1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ReadFileBytes(first->SettingsPath()), ReadFileBytes(cfg)) << "byte for byte";
    const TRegisterPort port = PortOf(*first);
    EXPECT_EQ(port.name, "COM3");
    EXPECT_EQ(port.device, "/dev/ttyUSB7");
    EXPECT_EQ(port.baudIndex, 4);

    const struct {
        TNewRegister reg;
        std::string problem; // a part of it; empty: added
        std::string device;
        int baudIndex;
    } cases[] = {
        {{"Till 2", "/dev/serial/by-id/usb-FTDI_A1", 1, {"Front", "Back"}},
         "",
         "/dev/serial/by-id/usb-FTDI_A1",
         1},
        {{"Till 10", "com3", std::nullopt, {}}, "", "/dev/ttyUSB7", 4},
        {{"Till 4", "COM1", 0, {}}, "", "/dev/ttyS0", 0},
        {{"TILL 2", "COM1", std::nullopt, {}}, "already", "", 0},
        {{"Front", "COM1", std::nullopt, {}}, "names a group", "", 0},
        {{"Till 5", "COM1", std::nullopt, {"Till 1"}}, "names a register", "", 0},
        {{"Till 5", "COM5", std::nullopt, {}}, "COM1 to COM4", "", 0},
        {{"Till 5", "ttyUSB0", std::nullopt, {}}, "COM1 to COM4", "", 0},
        {{"Till,5", "COM1", std::nullopt, {}}, "commas", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reg.name);
        const std::string problem = list.Add(c.reg, cfg);
        if (!c.problem.empty()) {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
            continue;
        }
        ASSERT_EQ(problem, "");
        const TRegister* reg = list.Find(c.reg.name);
        ASSERT_NE(reg, nullptr);
        EXPECT_EQ(PortOf(*reg).device, c.device);
        EXPECT_EQ(PortOf(*reg).baudIndex, c.baudIndex);
        EXPECT_EQ(reg->groups, c.reg.groups);
        EXPECT_EQ(IniReadString(reg->SettingsPath(), "Default", "Header1", ""), "  CORNER SHOP  ");
    }
    EXPECT_EQ(Names(list.Registers()),
              (std::vector<std::string>{"Till 1", "Till 2", "Till 4", "Till 10"}))
        << "numbers in names sort as numbers";
    EXPECT_EQ(list.Groups(), (std::vector<std::string>{"Back", "Front"}));
    EXPECT_EQ(ReadFileBytes(cfg).find("usb-FTDI"), std::string::npos) << "today's file untouched";

    // A list copied to another folder (another PC) is the same list there.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.Path("elsewhere"))));
    ASSERT_EQ(QProcess::execute("cp", {"-a", QString::fromStdString(dir.Path("registers")),
                                       QString::fromStdString(dir.Path("elsewhere"))}),
              0);
    TRegisterList copied(dir.Path("elsewhere/registers"));
    ASSERT_EQ(copied.Load(), "");
    ASSERT_EQ(Names(copied.Registers()), Names(list.Registers()));
    EXPECT_EQ(PortOf(*copied.Find("Till 2")).device, "/dev/serial/by-id/usb-FTDI_A1");
    EXPECT_EQ(copied.Find("Till 2")->groups, (std::vector<std::string>{"Front", "Back"}));
}

TEST_F(RegisterListTest, SelectionRenameRemoveAndWhatTheRegisterLastSaid) {
    for (const char* name : {"A", "B", "C"})
        ASSERT_EQ(list.Add({name, "COM1", std::nullopt, {name[0] == 'C' ? "Back" : "Front"}}, cfg),
                  "");
    const struct {
        TRegisterSelection selection;
        std::vector<std::string> chosen;
        std::string problem;
    } cases[] = {
        {{{"c", "A"}, "", false}, {"A", "C"}, ""}, {{{"Front", "A"}, "", false}, {"A", "B"}, ""},
        {{{}, "back", false}, {"C"}, ""},          {{{}, "", true}, {"A", "B", "C"}, ""},
        {{{"A", "Z"}, "", false}, {}, "\"Z\""},    {{{}, "Side", false}, {}, "\"Side\""},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(Names(list.Select(c.selection, &problem)), c.chosen);
        EXPECT_EQ(problem.empty(), c.problem.empty()) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }

    EXPECT_NE(list.Rename("A", "b").find("already"), std::string::npos);
    ASSERT_EQ(list.Rename("a", "a"), "") << "a change of case alone";
    EXPECT_EQ(list.Registers()[0].name, "a");
    ASSERT_EQ(list.SetIdentification("a", "QUORVE ECR 2.1\r\n\x01"), "");
    EXPECT_EQ(list.Find("a")->identification, "QUORVE ECR 2.1");
    ASSERT_EQ(list.Remove("B"), "");
    EXPECT_EQ(Names(list.Registers()), (std::vector<std::string>{"a", "C"}));
    const QStringList removed = QDir(QString::fromStdString(list.Dir() + ".removed"))
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_TRUE(removed[0].startsWith("B_"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(list.Dir() + ".removed/") + removed[0] +
                              "/SYSTEM.CFG"))
        << "its parameters can still be found";
}

// A write or a rename that fails leaves the list as it was: no register half made, no hidden
// folder left behind, and the path and the system's reason told.
TEST_F(RegisterListTest, FailedWritesLeaveNoHalfRegister) {
    ASSERT_EQ(list.Add({"A", "COM1", std::nullopt, {}}, cfg), "");
    {
        FailingSaveCalls full({{SaveCall::Write, 1, ENOSPC, true}});
        const std::string problem = list.Add({"B", "COM2", std::nullopt, {}}, cfg);
        EXPECT_NE(problem.find("SYSTEM.CFG: No space left on device"), std::string::npos)
            << problem;
    }
    WriteFileBytes(list.Dir() + "C", "not a register"); // the folder's name is taken
    const std::string problem = list.Add({"C", "COM2", std::nullopt, {}}, cfg);
    EXPECT_NE(problem.find("Cannot rename"), std::string::npos) << problem;
    EXPECT_NE(problem.find("File exists"), std::string::npos) << problem;
    ASSERT_EQ(list.Load(), "");
    EXPECT_EQ(Names(list.Registers()), std::vector<std::string>{"A"});
    EXPECT_TRUE(QDir(QString::fromStdString(list.Dir()))
                    .entryList({".new-*"}, QDir::Dirs | QDir::Hidden)
                    .isEmpty());

    // A folder this user may not write: told, and nothing changes.
    GiveToUnprivilegedUser(dir.Path());
    ::chmod(list.Dir().c_str(), 0555);
    RunAsUnprivilegedUser([&] {
        TRegisterList mine(list.Dir());
        ASSERT_EQ(mine.Load(), "");
        const std::string denied = mine.Add({"D", "COM1", std::nullopt, {}}, cfg);
        EXPECT_NE(denied.find("Permission denied"), std::string::npos) << denied;
        EXPECT_NE(mine.Remove("A").find("Permission denied"), std::string::npos);
        ASSERT_EQ(mine.Load(), "");
        EXPECT_EQ(mine.Registers().size(), 1u);
    });
    ::chmod(list.Dir().c_str(), 0755);
}

} // namespace
