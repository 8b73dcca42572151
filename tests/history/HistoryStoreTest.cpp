// The history file itself: made and migrated, shared by several writing processes, and left
// exactly as it is when it is damaged, newer or not ours to write.
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "Journal.h"
#include "ReportArchive.h"
#include "TempDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray FileHash(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QString Pragma(THistoryStore& store, const QString& name) {
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    return query.exec("PRAGMA " + name) && query.next() ? query.value(0).toString() : QString();
}

// Version 2 of a store, as a later program might write it: a column more, rows kept.
std::vector<TMigration> WithVersion2() {
    std::vector<TMigration> migrations = HistoryMigrations();
    migrations.push_back({2, {{"ALTER TABLE reports ADD COLUMN note TEXT NOT NULL DEFAULT ''"}}});
    return migrations;
}

} // namespace

TEST(HistoryStore, NewStoreIsMadeInWalModeAndMigratedOnlyForward) {
    TempProgramDir dir;
    const std::string path = dir.Path("deep/folder/history.sqlite");
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(path)) << store.Problem().toStdString();
        EXPECT_EQ(store.Version(), HistorySchemaVersion());
        EXPECT_EQ(Pragma(store, "journal_mode"), "wal");
        EXPECT_EQ(Pragma(store, "synchronous"), "2") << "FULL: a commit is on the disk";
        EXPECT_FALSE(store.StoreId().isEmpty());
        ASSERT_TRUE(
            ArchiveReport(store, SampleReport("Z REPORT 1"), Utc(2026, 1, 5), nullptr).isEmpty());
    }
    // A later program brings it to version 2 and keeps the row.
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(path, WithVersion2())) << store.Problem().toStdString();
        EXPECT_EQ(store.Version(), 2);
        QString error;
        EXPECT_EQ(ListReports(store, {}, &error).size(), 1u) << error.toStdString();
        EXPECT_EQ(Pragma(store, "user_version"), "2");
    }
    // This program never takes it back down, nor writes into it.
    const QByteArray before = FileHash(path);
    THistoryStore store;
    EXPECT_FALSE(store.Open(path));
    EXPECT_EQ(store.State(), TStoreState::Newer);
    EXPECT_TRUE(store.Problem().startsWith(QString::fromStdString(path)));
    EXPECT_TRUE(store.Problem().contains("newer version")) << store.Problem().toStdString();
    EXPECT_EQ(FileHash(path), before);
    EXPECT_FALSE(ArchiveKeeper(&store, nullptr)(SampleReport("X")).empty());
}

TEST(HistoryStore, DamagedOrUnusableFilesAreToldWithTheirPathAndLeftAlone) {
    TempProgramDir dir;
    // A real store with its header spoiled: the file of a crash or a bad disk.
    const std::string spoiled = dir.Path("spoiled.sqlite");
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(spoiled));
        ArchiveReport(store, SampleReport("Z"), Utc(2026, 1, 5), nullptr);
    }
    QFile::remove(QString::fromStdString(spoiled + "-wal"));
    QFile::remove(QString::fromStdString(spoiled + "-shm"));
    {
        std::string bytes = ReadFileBytes(spoiled);
        for (size_t i = 16; i < 100; ++i)
            bytes[i] = char(0xA5);
        WriteFileBytes(spoiled, bytes);
    }
    WriteFileBytes(dir.Path("text.sqlite"), "these are a shop's notes, not a database\n");
    WriteFileBytes(dir.Path("afile"), "x");
    QDir().mkpath(QString::fromStdString(dir.Path("folder.sqlite")));
    struct Case {
        const char* name;
        std::string path;
        TStoreState state;
        const char* reason;
    } cases[] = {
        {"not a database", dir.Path("text.sqlite"), TStoreState::Damaged, "damaged"},
        {"damaged header", spoiled, TStoreState::Damaged, "damaged"},
        {"a folder", dir.Path("folder.sqlite"), TStoreState::Unavailable, "not a file"},
        {"below a file", dir.Path("afile/history.sqlite"), TStoreState::Unavailable,
         "cannot be made"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = FileHash(c.path);
        THistoryStore store;
        EXPECT_FALSE(store.Open(c.path));
        EXPECT_EQ(store.State(), c.state);
        EXPECT_TRUE(store.Problem().startsWith(QString::fromStdString(c.path)));
        EXPECT_TRUE(store.Problem().contains(c.reason)) << store.Problem().toStdString();
        EXPECT_EQ(FileHash(c.path), before) << "the file was changed";
        EXPECT_NE(store.Write([](QSqlDatabase&) { return QString(); }), "");
    }
}

// Writers in several processes at once (the window and nightly command-line jobs): every entry
// arrives, none of them sees "database is locked".
TEST(HistoryStore, SeveralProcessesWriteAtOnceWithoutLockErrors) {
    TempProgramDir dir;
    const std::string path = dir.Path("history.sqlite");
    constexpr int Writers = 6;
    constexpr int EntriesEach = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < Writers; ++w) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each process opens the file itself, the first ones making it.
            THistoryStore store;
            if (!store.Open(path))
                ::_exit(10);
            for (int i = 0; i < EntriesEach; ++i) {
                TJournalEntry entry;
                entry.started = QDateTime::currentDateTimeUtc();
                entry.operation = operations::Test;
                entry.registerName = QString("WRITER %1").arg(w);
                if (!WriteJournalEntry(store, entry).isEmpty())
                    ::_exit(11);
                entry.result = results::Done;
                if (!WriteJournalEntry(store, entry).isEmpty())
                    ::_exit(12);
                if (i % 8 == 0 &&
                    !ArchiveReport(store, SampleReport("Z"), Utc(2026, 2, 1), nullptr).isEmpty())
                    ::_exit(13);
            }
            store.Close();
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a writer failed with " << WEXITSTATUS(status);
    }
    THistoryStore store;
    ASSERT_TRUE(store.Open(path));
    QString error;
    const std::vector<TJournalEntry> entries = ListJournal(store, {}, &error);
    EXPECT_EQ(entries.size(), size_t(Writers * EntriesEach)) << error.toStdString();
    EXPECT_TRUE(std::all_of(entries.begin(), entries.end(),
                            [](const TJournalEntry& e) { return e.result == results::Done; }));
    EXPECT_EQ(ListReports(store, {}, &error).size(), size_t(Writers * EntriesEach / 8));
    EXPECT_EQ(store.Check(&error), QStringList{"ok"});
}

// A full disk while a report is archived: the archive says no, nothing half-written stays, and
// the file is whole afterwards. The file-size limit stands in for the full disk; it holds for
// root as well.
TEST(HistoryStore, FullDiskRefusesTheReportAndLeavesTheFileWhole) {
    TempProgramDir dir;
    const std::string path = dir.Path("history.sqlite");
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(path));
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        THistoryStore store;
        if (!store.Open(path))
            ::_exit(10);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const QString error =
            ArchiveReport(store, SampleReport(std::string(300000, 'R')), Utc(2026, 3, 1), nullptr);
        ::_exit(error.isEmpty() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the archive did not fail";
    THistoryStore store;
    ASSERT_TRUE(store.Open(path)) << store.Problem().toStdString();
    QString error;
    EXPECT_TRUE(ListReports(store, {}, &error).empty());
    EXPECT_EQ(store.Check(&error), QStringList{"ok"});
}

// A store a user may read but not write (a shared file set up by root): the report is refused
// with the reason. Run as that user even when the tests run as root.
TEST(HistoryStore, ReadOnlyStoreRefusesTheReportForAnOrdinaryUser) {
    TempProgramDir dir;
    const std::string folder = dir.Path("shared");
    QDir().mkpath(QString::fromStdString(folder));
    const std::string path = folder + "/history.sqlite";
    {
        THistoryStore store;
        ASSERT_TRUE(store.Open(path));
        ASSERT_TRUE(ArchiveReport(store, SampleReport("OLD"), Utc(2026, 1, 1), nullptr).isEmpty());
    }
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    ::chmod(path.c_str(), 0444);
    const int result = RunAsOrdinaryUser([&] {
        THistoryStore store;
        store.Open(path);
        const std::string refusal = ArchiveKeeper(&store, nullptr)(SampleReport("NEW"));
        return !refusal.empty() && refusal.find(path) != std::string::npos ? 0 : 1;
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(result, 0) << "the report was archived in a file the user may not write";
}
