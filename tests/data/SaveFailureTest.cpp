// A save that fails at any step leaves the document's three files as they were, names the file
// that failed and leaves nothing behind; one cut off between its renames is put back on opening.
#include "AtomicFile.h"
#include "DocumentFile.h"
#include "FailingSaveCalls.h"
#include "TempDir.h"
#include "Unprivileged.h"

#include <QDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

struct Document {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    explicit Document(const std::string& word) {
        InitialRecyTable(recy);
        plu.Cell(1, 2) = word;
        dept.Cell(1, 1) = word;
        recy[0].price = word;
    }
    std::array<std::string, 3> Texts() const {
        return {GridFileText(plu), GridFileText(dept), RecyFileText(recy)};
    }
};

struct SaveFailures : ::testing::Test {
    TempProgramDir dir;
    const std::string path = dir.Path("shop.PLU");
    const std::array<std::string, 3> paths{path, dir.Path("shop.DEP"), dir.Path("shop.RCY")};
    const Document oldDoc{"OLD"};
    const Document newDoc{"NEW"};

    std::array<std::string, 3> OnDisk() const {
        std::array<std::string, 3> bytes;
        for (size_t i = 0; i < 3; ++i)
            bytes[i] = std::filesystem::exists(paths[i]) ? ReadFileBytes(paths[i]) : "(none)";
        return bytes;
    }
    QStringList Names() const {
        return QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(SaveFailures, EveryFailingStepLeavesTheOldFilesAndNamesTheFailedOne) {
    struct Case {
        const char* name;
        std::vector<SaveCallFailure> failures;
        int error;
        std::string failed; // the file name told, relative to the folder
        bool plu = true;    // shop.PLU was there before the save
    };
    const std::vector<Case> cases{
        {"FirstRename", {{SaveCall::Rename, 1, EPERM}}, EPERM, "shop.PLU"},
        {"SecondRenameImmutable", {{SaveCall::Rename, 2, EPERM}}, EPERM, "shop.DEP"},
        {"LastRenameDiskFull", {{SaveCall::Rename, 3, ENOSPC}}, ENOSPC, "shop.RCY"},
        {"WriteOfTheSecondFile", {{SaveCall::Write, 2, ENOSPC}}, ENOSPC, "shop.DEP"},
        {"SyncOfTheThirdFile", {{SaveCall::Fsync, 3, EIO}}, EIO, "shop.RCY"},
        {"TheJournal", {{SaveCall::Fsync, 4, EIO}}, EIO, "shop.PLU-journal"},
        {"TheFolderBeforeTheRenames", {{SaveCall::Fsync, 5, EIO}}, EIO, ""},
        {"NoHardLinksAndAFailingRename",
         {{SaveCall::Link, 1, EPERM, true}, {SaveCall::Rename, 3, EPERM}},
         EPERM,
         "shop.RCY"},
        {"ANewPLUFileIsRemovedAgain", {{SaveCall::Rename, 2, EIO}}, EIO, "shop.DEP", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(WriteDocumentFiles(path, oldDoc.plu, oldDoc.dept, oldDoc.recy), 0);
        if (!c.plu)
            std::filesystem::remove(path);
        const std::array<std::string, 3> before = OnDisk();
        const QStringList names = Names();
        std::string failed = "untold";
        int error = 0;
        {
            FailingSaveCalls failing(c.failures);
            error = WriteDocumentFiles(path, newDoc.plu, newDoc.dept, newDoc.recy, &failed);
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(failed, c.failed.empty() ? std::filesystem::path(path).parent_path().string()
                                           : dir.Path(c.failed));
        EXPECT_EQ(OnDisk(), before);
        EXPECT_EQ(Names(), names) << "temporaries, old versions or the journal left behind";
    }
}

// After the renames the save has happened; a folder that cannot be synced then is still told.
TEST_F(SaveFailures, AFolderThatCannotBeSyncedAfterTheRenamesIsTold) {
    ASSERT_EQ(WriteDocumentFiles(path, oldDoc.plu, oldDoc.dept, oldDoc.recy), 0);
    std::string failed;
    int error = 0;
    {
        FailingSaveCalls failing({{SaveCall::Fsync, 6, EIO}});
        error = WriteDocumentFiles(path, newDoc.plu, newDoc.dept, newDoc.recy, &failed);
    }
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(failed, std::filesystem::path(path).parent_path().string());
    EXPECT_EQ(OnDisk(), newDoc.Texts());
    EXPECT_EQ(Names().size(), 3);
}

// When even putting the old files back fails, the journal stays, and opening the document puts
// them back.
TEST_F(SaveFailures, AnUndoThatFailsIsFinishedOnOpening) {
    ASSERT_EQ(WriteDocumentFiles(path, oldDoc.plu, oldDoc.dept, oldDoc.recy), 0);
    {
        FailingSaveCalls failing({{SaveCall::Rename, 3, EPERM, true}});
        EXPECT_EQ(WriteDocumentFiles(path, newDoc.plu, newDoc.dept, newDoc.recy), EPERM);
    }
    const std::array<std::string, 3> mixed = OnDisk();
    EXPECT_EQ(mixed[0], newDoc.Texts()[0]);
    EXPECT_EQ(mixed[2], oldDoc.Texts()[2]);
    ASSERT_TRUE(std::filesystem::exists(DocumentJournalPath(path)));

    Document read("");
    ASSERT_EQ(ReadDocumentFiles(path, read.plu, read.dept, read.recy), 0);
    EXPECT_EQ(read.Texts(), oldDoc.Texts());
    EXPECT_EQ(OnDisk(), oldDoc.Texts());
    EXPECT_EQ(Names().size(), 3);
}

// The real thing where the file system has it: an immutable .DEP.
TEST_F(SaveFailures, AnImmutableCompanionLeavesTheDocumentAsItWas) {
    ASSERT_EQ(WriteDocumentFiles(path, oldDoc.plu, oldDoc.dept, oldDoc.recy), 0);
    const std::string chattr = "chattr +i '" + paths[1] + "' 2>/dev/null";
    if (std::system(chattr.c_str()) != 0)
        GTEST_SKIP() << "chattr +i needs root and a file system that has the flag";
    std::string failed;
    const int error = WriteDocumentFiles(path, newDoc.plu, newDoc.dept, newDoc.recy, &failed);
    EXPECT_EQ(std::system(("chattr -i '" + paths[1] + "'").c_str()), 0);
    EXPECT_EQ(FileErrorText(error), "File access denied");
    EXPECT_EQ(failed, paths[1]);
    EXPECT_EQ(OnDisk(), oldDoc.Texts());
    EXPECT_EQ(Names().size(), 3);
}

// A folder the user may not write into: nothing is written and the .PLU file is named.
TEST_F(SaveFailures, AReadOnlyFolderAsAUser) {
    ASSERT_EQ(WriteDocumentFiles(path, oldDoc.plu, oldDoc.dept, oldDoc.recy), 0);
    GiveToUnprivilegedUser(dir.Path());
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    RunAsUnprivilegedUser([&] {
        std::string failed;
        EXPECT_EQ(
            FileErrorText(WriteDocumentFiles(path, newDoc.plu, newDoc.dept, newDoc.recy, &failed)),
            "File access denied");
        EXPECT_EQ(failed, path);
        const bool written = WriteFileAtomically(dir.Path("SYSTEM.CFG"), "x");
        const int error = errno;
        EXPECT_FALSE(written);
        EXPECT_EQ(error, EACCES);
    });
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(OnDisk(), oldDoc.Texts());
    EXPECT_EQ(Names().size(), 3);
}

TEST(SaveHelpers, MakeDirectoriesAndCopiesTellTheRealReason) {
    TempProgramDir dir;
    WriteFileBytes(dir.Path("file"), "bytes");
    const auto error = [](bool done) { return done ? 0 : errno; };
    EXPECT_EQ(error(MakeDirectories(dir.Path("a/b/c"))), 0);
    EXPECT_EQ(error(MakeDirectories(dir.Path("a/b/c/"))), 0);
    EXPECT_EQ(error(MakeDirectories(dir.Path("file/x"))), ENOTDIR);
    EXPECT_EQ(error(MakeDirectories(dir.Path("file"))), ENOTDIR);
    EXPECT_EQ(error(CopyFileAtomically(dir.Path("file"), dir.Path("a/copy"))), 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("a/copy")), "bytes");
    EXPECT_EQ(error(CopyFileAtomically(dir.Path("missing"), dir.Path("a/copy"))), ENOENT);
    EXPECT_EQ(error(CopyFileAtomically(dir.Path("a"), dir.Path("a/copy"))), EISDIR);
    EXPECT_EQ(error(CopyFileAtomically(dir.Path("file"), dir.Path("no/copy"))), ENOENT);
    EXPECT_EQ(error(RenameWithoutReplacing(dir.Path("a/b"), dir.Path("a/copy"))), EEXIST);
    EXPECT_EQ(error(RenameWithoutReplacing(dir.Path("a/b"), dir.Path("no/b"))), ENOENT);
    EXPECT_EQ(error(RenameWithoutReplacing(dir.Path("a/b"), dir.Path("a/moved"))), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("a/moved/c")));
}

// Replacing such a node by a plain file would break it, as root even /dev/full for everyone.
TEST(SaveHelpers, ADeviceOrFifoNamedAsTheFileIsWrittenIntoNeverReplaced) {
    TempProgramDir dir;
    const std::string fifo = dir.Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto error = [](bool done) { return done ? 0 : errno; };
    EXPECT_EQ(error(WriteFileAtomically(fifo, "no reader")), ENXIO);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(error(WriteFileAtomically(fifo, "report")), 0);
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 6);
    EXPECT_STREQ(got, "report");
    ::close(reader);
    Document doc("X");
    EXPECT_EQ(WriteDocumentFiles(fifo, doc.plu, doc.dept, doc.recy), EINVAL);
    EXPECT_EQ(error(WriteFileAtomically("/dev/full", "x")), ENOSPC);
    EXPECT_EQ(error(WriteFileAtomically("/dev/null", "x")), 0);
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode));
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 0);
}

} // namespace
