#include "FilePlaces.h"

#include "TempDir.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(FilePlaces, BesideAWritableProgramOtherwiseInTheXdgFolders) {
    struct Case {
        const char* name;
        TPlaceFacts facts;
        bool installed;
        const char* settings;
        const char* state;
        const char* guide;
    } cases[] = {
        {"build or unpacked folder",
         {"/home/ann", "", "", true, false},
         false,
         "/opt/q/bin/",
         "/opt/q/bin/",
         "/opt/q/bin/guide/index.html"},
        // root may write /usr/bin; the share folder still marks the installed copy
        {"installed, writable",
         {"/root", "", "", true, true},
         true,
         "/root/.config/quorve-plu/",
         "/root/.local/state/quorve-plu/",
         "/opt/q/share/quorve-plu/guide/index.html"},
        {"read-only folder without share",
         {"/home/ann", "", "", false, false},
         true,
         "/home/ann/.config/quorve-plu/",
         "/home/ann/.local/state/quorve-plu/",
         ""},
        {"XDG folders set",
         {"/home/ann", "/cfg/", "/var/st", false, true},
         true,
         "/cfg/quorve-plu/",
         "/var/st/quorve-plu/",
         "/opt/q/share/quorve-plu/guide/index.html"},
        {"relative XDG folders are ignored",
         {"/home/ann/", "cfg", "st", false, true},
         true,
         "/home/ann/.config/quorve-plu/",
         "/home/ann/.local/state/quorve-plu/",
         "/opt/q/share/quorve-plu/guide/index.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TFilePlaces places = FindFilePlaces("/opt/q/bin", c.facts);
        EXPECT_EQ(places.programDir, "/opt/q/bin/");
        EXPECT_EQ(places.installed, c.installed);
        EXPECT_EQ(places.settingsDir, c.settings);
        EXPECT_EQ(places.stateDir, c.state);
        EXPECT_EQ(places.guideFile, c.guide);
    }
}

TEST(FilePlaces, TheSystemsFactsComeFromTheTreeAndTheEnvironment) {
    QTemporaryDir tree;
    ASSERT_TRUE(QDir(tree.path()).mkpath("bin") && QDir(tree.path()).mkpath("other"));
    const std::string bin = tree.filePath("bin").toStdString();
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_FALSE(TPlaceFacts::Current(bin).shareDirPresent);
    ASSERT_TRUE(QDir(tree.path()).mkpath("share/quorve-plu"));
    const TPlaceFacts facts = TPlaceFacts::Current(bin);
    EXPECT_TRUE(facts.shareDirPresent);
    EXPECT_TRUE(facts.programDirWritable);
    EXPECT_EQ(facts.configHome, "/somewhere/config");
    EXPECT_EQ(ShareDirOf(bin), tree.filePath("share/quorve-plu").toStdString() + "/");
    if (before.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", before);
}

struct Installed : ::testing::Test {
    QTemporaryDir root;
    TFilePlaces places;
    void SetUp() override {
        places.installed = true;
        places.settingsDir = Path("home/.config/quorve-plu/");
        places.stateDir = Path("home/.local/state/quorve-plu/");
        places.shareDir = Path("share/");
        ASSERT_TRUE(QDir(root.path()).mkpath("share"));
    }
    std::string Path(const char* name) const { return root.filePath(name).toStdString(); }
};

TEST_F(Installed, FirstStartMakesPrivateFoldersAndCopiesTheSharedSettingsOnce) {
    WriteFileBytes(Path("share/SYSTEM.CFG"), "[Version]\r\nCompanyName=Shop\r\n");
    ASSERT_EQ(PrepareFilePlaces(places), "");
    EXPECT_EQ(ReadFileBytes(places.settingsDir + "SYSTEM.CFG"),
              "[Version]\r\nCompanyName=Shop\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(places.stateDir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "others have no business with the logs";

    WriteFileBytes(places.settingsDir + "SYSTEM.CFG", "[Comm]\r\nPort=1\r\n");
    ASSERT_EQ(PrepareFilePlaces(places), "");
    EXPECT_EQ(ReadFileBytes(places.settingsDir + "SYSTEM.CFG"), "[Comm]\r\nPort=1\r\n")
        << "the user's own settings are never replaced";
}

TEST_F(Installed, AFolderThatCannotBeMadeIsReportedWithItsReason) {
    WriteFileBytes(Path("home"), "a file where the home folder should be");
    const std::string problem = PrepareFilePlaces(places);
    EXPECT_NE(problem.find("Cannot create the folder " + Path("home")), std::string::npos)
        << problem;
    EXPECT_NE(problem.find("Not a directory"), std::string::npos) << problem;
}

} // namespace
