// The report archive and the journal as the command line and the History window read them:
// found by date, register and words, the register's own bytes given back, pruned only before a
// date.
#include "ReportArchive.h"
#include "CodePage.h"
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "HistoryTime.h"
#include "Journal.h"
#include "Pruning.h"
#include "SalesHistory.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

struct Archive : ::testing::Test {
    TempProgramDir dir;
    THistoryStore store;
    void SetUp() override {
        SetDocumentCodePage("CP1250");
        ASSERT_TRUE(store.Open(dir.Path("history.sqlite")));
        Keep("\r\n   Z REPORT 0001\r\nGROSS  12.50\r\nREFUND 1.00\r\n", Utc(2026, 1, 5, 20),
             "ECR KRAKOW");
        Keep("X REPORT 0002\r\nKASJER \xA3UKASZ\r\n", Utc(2026, 1, 6, 20), "ECR KRAKOW");
        Keep("Z REPORT 0003\r\nGROSS 99.00\r\n", Utc(2026, 1, 7, 20), "ECR GDANSK");
    }
    void Keep(const std::string& text, const QDateTime& at, const std::string& reg) {
        ASSERT_EQ(ArchiveReport(store, SampleReport(text, reg), at, nullptr), "");
    }
    std::vector<QString> FirstLines(const TReportFilter& filter) {
        QString error;
        std::vector<QString> lines;
        for (const TArchivedReport& r : ListReports(store, filter, &error))
            lines.push_back(r.firstLine);
        EXPECT_EQ(error, "");
        return lines;
    }
};

using Lines = std::vector<QString>;

} // namespace

TEST_F(Archive, ReportsAreFoundByDateRegisterAndWords) {
    struct Case {
        const char* name;
        TReportFilter filter;
        Lines lines;
    } cases[] = {
        {"all, newest first", {}, {"Z REPORT 0003", "X REPORT 0002", "Z REPORT 0001"}},
        {"since", {.since = Utc(2026, 1, 6, 0)}, {"Z REPORT 0003", "X REPORT 0002"}},
        {"until", {.until = Utc(2026, 1, 6, 0)}, {"Z REPORT 0001"}},
        {"register, any case", {.registerName = "krakow"}, {"X REPORT 0002", "Z REPORT 0001"}},
        {"a word's start", {.words = "refu"}, {"Z REPORT 0001"}},
        {"every word", {.words = "gross 99"}, {"Z REPORT 0003"}},
        {"any case, without accents", {.words = "łukas"}, {"X REPORT 0002"}},
        {"operators are words", {.words = "NOT \"OR\" gross*"}, {}},
        {"paged", {.limit = 1, .offset = 1}, {"X REPORT 0002"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FirstLines(c.filter), c.lines);
    }
    QString error;
    EXPECT_EQ(CountReports(store, {.registerName = "krakow"}, &error), 2);
}

TEST_F(Archive, ShownReportGivesTheRegistersBytesBack) {
    const std::string text = "KASA \xA3\xF3\x64\x9F\r\n";
    QString uuid;
    TReportRead read = SampleReport(text, "ECR \xA3");
    read.blocks[200] = '\x7F'; // what followed the zero in the register's block is kept too
    ASSERT_EQ(ArchiveReport(store, read, Utc(2026, 2, 1), &uuid), "");
    QString error;
    const auto list = ListReports(store, {.since = Utc(2026, 2, 1, 0)}, &error);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_FALSE(list[0].cleared);
    ASSERT_EQ(MarkReportCleared(store, uuid), "");
    const std::optional<TArchivedReport> shown = ArchivedReport(store, list[0].id, &error);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->uuid, uuid);
    EXPECT_TRUE(shown->cleared);
    EXPECT_EQ(shown->text, QString::fromUtf8("KASA Łódź\r\n"));
    EXPECT_EQ(shown->registerName, QString::fromUtf8("ECR Ł"));
    EXPECT_EQ(shown->RawText().toStdString(), text);
    EXPECT_EQ(shown->raw.size(), BlockSize);
    EXPECT_EQ(shown->codePage, "CP1250");
    EXPECT_FALSE(ArchivedReport(store, 999, &error));
}

TEST_F(Archive, PruneDeletesOnlyWhatIsOlderAndSaysSoFirst) {
    TJournalEntry old;
    old.started = Utc(2026, 1, 5, 8);
    old.operation = operations::Report;
    ASSERT_EQ(WriteJournalEntry(store, old), "");
    TJournalEntry recent = old;
    recent.uuid.clear();
    recent.started = Utc(2026, 1, 7, 8);
    ASSERT_EQ(WriteJournalEntry(store, recent), "");
    TSalesSnapshot snapshot;
    snapshot.taken = Utc(2026, 1, 5);
    snapshot.registerName = "ECR KRAKOW";
    snapshot.items = {TSalesItem{1001, 1, "A", 1, 1000, 100}, TSalesItem{1002, 2, "B", 1, 1, 1}};
    ASSERT_EQ(StoreSalesSnapshot(store, snapshot), "");

    QString error;
    const QDateTime before = Utc(2026, 1, 7, 0);
    const TPruneCounts counts = CountBefore(store, before, &error);
    EXPECT_EQ(counts.reports, 2);
    EXPECT_EQ(counts.journalEntries, 1);
    EXPECT_EQ(counts.snapshots, 1);
    EXPECT_EQ(counts.salesLines, 2);
    EXPECT_EQ(FirstLines({}).size(), 3u) << "counting deletes nothing";

    TPruneCounts deleted;
    ASSERT_EQ(PruneBefore(store, before, &deleted), "");
    EXPECT_EQ(deleted.reports, counts.reports);
    EXPECT_EQ(FirstLines({}), Lines{"Z REPORT 0003"});
    EXPECT_EQ(FirstLines({.words = "refund"}), Lines{}) << "the search forgot it too";
    EXPECT_EQ(ListJournal(store, {}, &error).size(), 1u);
    EXPECT_TRUE(CountBefore(store, Utc(2027, 1, 1), &error).salesLines == 0);
    EXPECT_EQ(store.Check(&error), QStringList{"ok"});
}

TEST(HistoryTime, TypedDatesAreLocalAndEndsTakeInTheWholeDayOrMinute) {
    struct Case {
        const char* text;
        bool end;
        QDateTime local; // invalid: refused
    } cases[] = {
        {"2026-01-31", false, QDateTime(QDate(2026, 1, 31), QTime(0, 0))},
        {"2026-01-31", true, QDateTime(QDate(2026, 2, 1), QTime(0, 0))},
        {"2026-01-31 14:03", true, QDateTime(QDate(2026, 1, 31), QTime(14, 4))},
        {"2026-01-31T14:03:22", false, QDateTime(QDate(2026, 1, 31), QTime(14, 3, 22))},
        {"2026-02-30", false, {}},
        {"31.01.2026", false, {}},
        {"2026-01-31T25:00", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<QDateTime> parsed = ParseUserTime(c.text, c.end);
        ASSERT_EQ(parsed.has_value(), c.local.isValid());
        if (parsed) {
            EXPECT_EQ(*parsed, c.local);
        }
    }
    const QDateTime at = Utc(2026, 1, 31, 13, 3);
    EXPECT_EQ(StoredTime(at), "2026-01-31T13:03:00.000Z");
    EXPECT_EQ(FromStoredTime(StoredTime(at)), at);
}
