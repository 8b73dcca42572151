// Sales over time: the counters gathered from the register's blocks, what each snapshot sold
// since the one before, and the sums between dates or snapshots at any money decimals.
#include "SalesHistory.h"
#include "CodePage.h"
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "SheetExport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

Block PluBlock(int blockNo, const std::vector<std::pair<int, PluRowTexts>>& items) {
    Block block;
    block.fill(0xFF);
    for (const auto& [plu, row] : items) {
        const int j = plu - 1 - PlusPerReadBlock * blockNo;
        EncodePluRecord(
            row, {2, 0},
            std::span<uint8_t, PluRecordSize>(block.data() + PluRecordSize * j, PluRecordSize));
    }
    return block;
}

TSalesItem Item(int64_t barcode, int64_t quantity, int64_t total, int department = 1) {
    TSalesItem item;
    item.barcode = barcode;
    item.plu = int(barcode % 1000);
    item.name = QString("ITEM %1").arg(barcode % 1000);
    item.department = department;
    item.quantity = quantity;
    item.total = total;
    return item;
}

struct Sales : ::testing::Test {
    TempProgramDir dir;
    THistoryStore store;
    void SetUp() override { ASSERT_TRUE(store.Open(dir.Path("history.sqlite"))); }
    QString Take(const QDateTime& at, int decimals, std::vector<TSalesItem> items,
                 const QString& reg = "ECR A", const QString& port = "COM2") {
        TSalesSnapshot snapshot;
        snapshot.taken = at;
        snapshot.registerName = reg;
        snapshot.port = port;
        snapshot.decimals = decimals;
        snapshot.items = std::move(items);
        EXPECT_EQ(StoreSalesSnapshot(store, snapshot), "");
        return snapshot.uuid;
    }
    std::vector<TSoldLine> Between(const QDateTime& from, const QDateTime& to,
                                   TSalesBy by = TSalesBy::Item, int count = -1) {
        QString error;
        auto lines = SoldBetween(store, from, to, by, count, &error);
        EXPECT_EQ(error, "");
        return lines;
    }
};

} // namespace

TEST(SalesReading, CountersAreTakenOnlyWhenEverySalesBlockCameAndNamedByTheLowestPlu) {
    SetDocumentCodePage("CP1250");
    const PluRowTexts milk{
        "5900000000017", "MLEKO \xB3\xF3\x64\x9F", "2.50", "3", "0", "0", "0", "0"};
    const PluRowTexts copy{"5900000000017", "COPY", "1.00", "5", "0", "0", "0", "0"};
    // 16 records run over two blocks; a later record of a barcode wins, zero counters and
    // barcode 0 are no sales.
    std::vector<PluSalesRecord> records(16, PluSalesRecord{5900000000100, 1000, 250});
    records[0] = {5900000000017, 1500, 375};
    records[3] = {5900000000017, 2500, 625};
    records[4] = {0, 9000, 9000};
    records[5] = {5900000000200, 0, 0};
    const std::vector<Block> sales = SalesBlocks(records);
    ASSERT_EQ(sales.size(), 2u);

    TSalesReading reading;
    reading.BlockRead(CmdReadStatus, 0, StatusBlock(2, uint32_t(records.size())));
    reading.BlockRead(CmdReadPlu, 1, PluBlock(1, {{6, copy}}));
    reading.BlockRead(CmdReadPlu, 0, PluBlock(0, {{2, milk}}));
    reading.BlockRead(CmdReadSales, 0, sales[0]);
    EXPECT_FALSE(reading.Whole()) << "one block of two";
    EXPECT_TRUE(reading.Items().empty());
    reading.BlockRead(CmdReadSales, 0, sales[1]); // out of place: not taken
    EXPECT_FALSE(reading.Whole());
    reading.BlockRead(CmdReadSales, 1, sales[1]);
    ASSERT_TRUE(reading.Whole());
    const std::vector<TSalesItem> items = reading.Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].barcode, 5900000000017);
    EXPECT_EQ(items[0].plu, 2);
    EXPECT_EQ(items[0].name, QString::fromUtf8("MLEKO łódź"));
    EXPECT_EQ(items[0].department, 3);
    EXPECT_EQ(items[0].quantity, 2500);
    EXPECT_EQ(items[0].total, 625);
    EXPECT_EQ(items[1].barcode, 5900000000100);
    EXPECT_FALSE(items[1].plu) << "no PLU item with its barcode was read";

    // A new status starts another connection: the blocks before it are dropped.
    reading.BlockRead(CmdReadStatus, 0, StatusBlock(2, 3));
    EXPECT_FALSE(reading.Whole());
}

TEST_F(Sales, EachSnapshotSellsTheRiseOfItsCountersOrAllOfACounterThatWasCleared) {
    Take(Utc(2026, 1, 1), 2, {Item(1001, 5000, 1000), Item(1002, 1000, 300)});
    // 1001 sold 2 more; 1002 was cleared and sold 1 since; 1003 is new.
    Take(Utc(2026, 1, 2), 2,
         {Item(1001, 7000, 1400), Item(1002, 1000, 300 - 200 + 100), Item(1003, 3000, 900)});
    // Another register with the same counters sells on its own.
    Take(Utc(2026, 1, 2, 13), 2, {Item(1001, 1000, 200)}, "ECR B");
    // The first register changes to three decimals: 14.000 before becomes the base.
    Take(Utc(2026, 1, 3), 3, {Item(1001, 8000, 15500)});

    const auto day2 = Between(Utc(2026, 1, 2, 0), Utc(2026, 1, 3, 0));
    ASSERT_EQ(day2.size(), 3u);
    EXPECT_EQ(day2[0].barcode, 1003);
    EXPECT_EQ(day2[0].total, 900);
    const auto find = [](const std::vector<TSoldLine>& lines, int64_t barcode) {
        return *std::find_if(lines.begin(), lines.end(),
                             [&](const TSoldLine& l) { return l.barcode == barcode; });
    };
    EXPECT_EQ(find(day2, 1001).quantity, 2000 + 1000) << "A sold 2, B 1";
    EXPECT_EQ(find(day2, 1001).total, 400 + 200);
    EXPECT_EQ(find(day2, 1002).quantity, 1000) << "cleared: the whole counter";
    EXPECT_EQ(find(day2, 1002).total, 200);

    // All of it, with the three-decimal day: totals come out exact at three decimals.
    const auto all = Between(Utc(2026, 1, 1, 0), Utc(2026, 1, 4, 0));
    EXPECT_EQ(find(all, 1001).decimals, 3);
    EXPECT_EQ(find(all, 1001).total, 10000 + 4000 + 2000 + 1500);
    EXPECT_EQ(find(all, 1001).quantity, 5000 + 2000 + 1000 + 1000);

    const auto top = Between(Utc(2026, 1, 1, 0), Utc(2026, 1, 4, 0), TSalesBy::Item, 1);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].barcode, 1001);
}

TEST_F(Sales, BetweenSnapshotsAndPerDepartment) {
    const QString a = Take(Utc(2026, 2, 1), 2, {Item(1001, 1000, 100, 1), Item(1002, 1000, 50, 2)});
    Take(Utc(2026, 2, 2), 2, {Item(1001, 3000, 300, 1), Item(1002, 1000, 50, 2)});
    const QString c =
        Take(Utc(2026, 2, 3), 2, {Item(1001, 4000, 400, 1), Item(1002, 5000, 250, 2)});
    const QString other = Take(Utc(2026, 2, 3), 2, {Item(1001, 1000, 100)}, "ECR B");
    QString error;
    const auto lines = SoldBetweenSnapshots(store, a, c, TSalesBy::Department, &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].department, 1);
    EXPECT_EQ(lines[0].total, 300);
    EXPECT_EQ(lines[1].department, 2);
    EXPECT_EQ(lines[1].quantity, 4000);
    EXPECT_EQ(SoldBetweenSnapshots(store, c, a, TSalesBy::Item, &error).size(), 2u)
        << "either order";
    SoldBetweenSnapshots(store, a, other, TSalesBy::Item, &error);
    EXPECT_NE(error, "");
    const auto history = ItemSales(store, 1001, Utc(2026, 1, 1), Utc(2026, 3, 1), &error);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history[1].quantity, 2000);
}

TEST(SalesText, FixedTextAndTheSheetInEveryExportDialect) {
    struct Case {
        int64_t units;
        int decimals;
        char point;
        const char* text;
    } cases[] = {
        {12345, 3, '.', "12.345"}, {5, 2, ',', "0,05"},
        {-5, 2, '.', "-0.05"},     {700, 0, '.', "700"},
        {-1000, 3, ',', "-1,000"}, {INT64_MIN, 2, '.', "-92233720368547758.08"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixedText(c.units, c.decimals, c.point), c.text);

    TSoldLine line;
    line.barcode = 5900000000017;
    line.plu = 2;
    line.name = QString::fromUtf8("Mleko; \"łaciate\"");
    line.quantity = 1500;
    line.total = 375;
    line.decimals = 2;
    SetDecimalSeparator(',');
    const std::string excel = SalesSheet({line}, TSalesBy::Item, *ExportDialect("excel"));
    EXPECT_EQ(excel, "\xEF\xBB\xBF"
                     "Barcode;PLU;Name;Quantity;Total\r\n"
                     "5900000000017;2;\"Mleko; \"\"\xC5\x82"
                     "aciate\"\"\";1,500;3,75\r\n");
    SetDecimalSeparator('.');
    line.department = 4;
    EXPECT_EQ(SalesSheet({line}, TSalesBy::Department, *ExportDialect("tsv")),
              "\xEF\xBB\xBF"
              "Department\tQuantity\tTotal\n4\t1.500\t3.75\n");
}
