#include "RecordLayouts.h"
#include "LayoutTestUtil.h"

#include <gtest/gtest.h>

#include <map>

namespace {

RegisterStatus WithDecimals(int decimals) {
    RegisterStatus status;
    status.Decimals = uint8_t(decimals);
    return status;
}

TEST(StatusAnswer, DecodesDecimalsAndCountAndRefusesUnusableAnswers) {
    struct Case {
        uint8_t decimals;
        uint32_t count;
        bool usable;
    } cases[] = {
        {2, 16, true},          {0, 0, true},
        {9, 0x01020304, false}, // more records than 16-bit block numbers reach
        {9, 986895, true},      // exactly 65536 blocks
        {9, 986896, false},     {10, 0, false},
        {255, 5, false},
    };
    for (const Case& c : cases) {
        Block answer = EncodeStatusAnswer({c.decimals, c.count});
        answer[1] = 0x5A; // status bytes are not acted upon
        answer[3] = 0xFF;
        auto status = DecodeStatusAnswer(answer);
        ASSERT_EQ(status.has_value(), c.usable) << int(c.decimals) << " " << c.count;
        if (status) {
            EXPECT_EQ(status->Decimals, c.decimals);
            EXPECT_EQ(status->SalesRecordCount, c.count);
        }
    }
    const Block answer = EncodeStatusAnswer({2, 0x01020304});
    EXPECT_EQ(Slice(answer, 7, 4), Hex("01 02 03 04"));
    EXPECT_FALSE(DecodeStatusAnswer(std::span(answer).first(10)));
}

TEST(TextToNumber, DecimalTextsRoundHalfToEvenOnTheirDecimalValue) {
    struct Case {
        char separator;
        const char* text;
        int decimals;
        int64_t value;
    } cases[] = {
        {'.', "0.125", 2, 12},
        {'.', "0.375", 2, 38},
        {'.', "12.50", 2, 1250},
        {'.', "-1.5", 3, -1500},
        {'.', "7", 0, 7},
        {'.', "2.5", 0, 2},
        {'.', "3.5", 0, 4},
        {'.', "-2.5", 0, -2},
        {'.', "-3.5", 0, -4},
        {'.', "1.015", 2, 102}, // a half in decimal even where the binary double is below it
        {'.', "1.005", 2, 100},
        {'.', "0.1250001", 2, 13},
        {'.', "0.005", 2, 0},
        {'.', "0.0051", 2, 1},
        {'.', "-0.004", 2, 0},
        {'.', "999999.99", 2, 99999999},
        {'.', "79999.999", 3, 79999999},
        {'.', "1e3", 2, 100000},
        {'.', "5.", 2, 500},
        {'.', "00.00", 2, 0},
        {'.', "", 2, 0},
        {'.', "abc", 2, 0},
        {'.', "1.2.3", 2, 0},
        {'.', "12,50", 2, 0},
        {',', "12,50", 2, 1250},
        {',', "0,125", 2, 12},
        {',', "12.50", 2, 0},
        {'.', "12.345", 3, 12345},
        {'.', "12.3456", 9, 12345600000},
        // Far beyond the fields: the low bits are still those of the exact product.
        {'.', "1e20", 2, 1864712049423024128},
        {'.', "99999999999999999999", 2, 1864712049423024028},
    };
    for (const Case& c : cases) {
        SeparatorScope scope(c.separator);
        EXPECT_EQ(ScaleDecimalText(c.text, c.decimals), c.value)
            << c.separator << " '" << c.text << "' " << c.decimals;
    }
}

TEST(TextToNumber, IntegersAndBarcodes) {
    struct Case {
        const char* text;
        int64_t integer;
        int64_t barcode;
    } cases[] = {
        {"0456", 456, 456}, {"", 0, 0},   {"x1", 0, 0},  {"-5", -5, 0}, // no BCD form
        {"+7", 7, 7},       {" 7", 0, 0}, {"1.0", 0, 0}, {"99999999999999999999", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntegerTextValue(c.text), c.integer) << c.text;
        EXPECT_EQ(BarcodeTextValue(c.text), c.barcode) << c.text;
    }
}

TEST(NumberToText, MoneyQuantitiesAndRates) {
    for (char separator : {'.', ','}) {
        SeparatorScope scope(separator);
        EXPECT_EQ(MoneyText(700, WithDecimals(2)), Local("7.00"));
        EXPECT_EQ(MoneyText(7, WithDecimals(0)), Local("7.00"));
        EXPECT_EQ(MoneyText(12500, WithDecimals(3)), Local("12.50"));
        EXPECT_EQ(MoneyText(-1250, WithDecimals(2)), Local("-12.50"));
        EXPECT_EQ(MoneyText(int64_t(0xFFFFFFFFFFFF), WithDecimals(2)), Local("2814749767106.55"));
        // Every decimal the register counts; up to two the texts are the upload's own.
        const struct {
            int64_t amount;
            int decimals;
            const char* text;
        } exact[] = {
            {7, 0, "7.00"},
            {-1250, 2, "-12.50"},
            {1234, 3, "1.234"},
            {-5, 3, "-0.005"},
            {12500, 3, "12.500"},
            {2147483647, 3, "2147483.647"},
            {-2147483648, 9, "-2.147483648"},
            {int64_t(0xFFFFFFFFFFFF), 3, "281474976710.655"},
        };
        for (const auto& e : exact)
            EXPECT_EQ(ExactMoneyText(e.amount, WithDecimals(e.decimals)), Local(e.text)) << e.text;
        EXPECT_EQ(QuantityText(-1500), Local("-1.500"));
        EXPECT_EQ(QuantityText(0), Local("0.000"));
        EXPECT_EQ(RateText(750), Local("07.50"));
        EXPECT_EQ(RateText(0), Local("00.00"));
        EXPECT_EQ(RateText(1250), Local("12.50"));
        EXPECT_EQ(RateText(10000), Local("100.00"));
    }
}

TEST(TextFields, FixedWidthCopyWithoutConversion) {
    struct Case {
        std::string text;
        std::string stored; // 18 bytes
        std::string readBack;
    } cases[] = {
        {"ABCDEFGHIJKLMNOPQR", "ABCDEFGHIJKLMNOPQR", "ABCDEFGHIJKLMNOPQR"}, // no terminator
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQR", "ABCDEFGHIJKLMNOPQR"},
        {"\x80\xB9\xE6\xFF", std::string("\x80\xB9\xE6\xFF") + std::string(14, '\0'),
         "\x80\xB9\xE6\xFF"},
        {"", std::string(18, '\0'), ""},
        {std::string("ab\0cd", 5), std::string("ab\0cd", 5) + std::string(13, '\0'), "ab"},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, 18> field;
        field.fill(0xEE);
        PutTextField(field, c.text);
        EXPECT_EQ(std::string(field.begin(), field.end()), c.stored);
        EXPECT_EQ(GetTextField(field), c.readBack);
    }
}

PluRowTexts Row(std::string barcode, std::string name, std::string price, std::string dept,
                std::string stocks, std::string flag) {
    return {barcode, name, price, dept, stocks, flag, "0", "0"};
}

TEST(PluRecord, FieldBytes) {
    struct Case {
        const char* what;
        int decimals;
        PluRowTexts row;
        size_t offset;
        std::string bytes;
    } cases[] = {
        {"barcode", 2, Row("5907000000028", "", "0.00", "1", "0.000", "0"), 0,
         "05 90 70 00 00 00 28"},
        {"barcode 13 nines", 2, Row("9999999999999", "", "", "1", "", ""), 0,
         "09 99 99 99 99 99 99"},
        {"negative barcode", 2, Row("-5907", "", "", "1", "", ""), 0, "00 00 00 00 00 00 00"},
        {"price", 2, Row("", "", "12.50", "1", "", ""), 25, "00 00 04 E2"},
        {"price half even", 2, Row("", "", "0.125", "1", "", ""), 25, "00 00 00 0C"},
        {"price half even up", 2, Row("", "", "0.375", "1", "", ""), 25, "00 00 00 26"},
        {"negative price", 2, Row("", "", "-0.01", "1", "", ""), 25, "FF FF FF FF"},
        {"price decimals 0", 0, Row("", "", "7", "1", "", ""), 25, "00 00 00 07"},
        {"price decimals 3", 3, Row("", "", "1.25", "1", "", ""), 25, "00 00 04 E2"},
        {"department", 2, Row("", "", "", "8", "", ""), 44, "07"},
        {"empty department", 2, Row("", "", "", "", "", ""), 44, "FF"},
        {"invalid department", 2, Row("", "", "", "x", "", ""), 44, "FF"},
        {"department low bits", 2, Row("", "", "", "258", "", ""), 44, "01"},
        {"stocks", 2, Row("", "", "", "1", "-1.5", ""), 45, "FF FF FA 24"},
        {"flag", 2, Row("", "", "", "1", "", "100"), 49, "64"},
        {"flag low bits", 2, Row("", "", "", "1", "", "300"), 49, "2C"},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, PluRecordSize> record;
        record.fill(0xEE);
        EncodePluRecord(c.row, WithDecimals(c.decimals), record);
        const std::vector<uint8_t> expected = Hex(c.bytes);
        EXPECT_EQ(Slice(record, c.offset, expected.size()), expected) << c.what;
        EXPECT_EQ(Slice(record, 29, 15), std::vector<uint8_t>(15, 0)) << c.what;
        EXPECT_EQ(Slice(record, 50, 14), std::vector<uint8_t>(14, 0)) << c.what;
    }
}

TEST(PluRecord, DefaultRowAndWriteRecordIndex) {
    PluRowTexts defaults;
    for (size_t c = 0; c < defaults.size(); ++c)
        defaults[c] = PLUDefaults[c];
    std::array<uint8_t, PluWriteRecordSize> record;
    record.fill(0xEE);
    EncodePluWriteRecord(300, defaults, WithDecimals(2), record);
    std::vector<uint8_t> expected(PluWriteRecordSize, 0);
    expected[0] = 0x2B; // index 299, little-endian
    expected[1] = 0x01;
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.end()), expected);

    EncodePluWriteRecord(30000, defaults, WithDecimals(2), record);
    EXPECT_EQ(Slice(record, 0, 4), Hex("2F 75 00 00"));
}

// What comes back when a row goes to the register and is read again.
TEST(PluRecord, RoundTripIncludingWhatTheLayoutLoses) {
    struct Case {
        const char* what;
        int decimals;
        PluRowTexts sent;
        PluRecordTexts back;
    } cases[] = {
        {"normal row",
         2,
         Row("5907000000028", "Mleko \xB3\xB9\xEA\x80\xFF", "12.50", "3", "-1.500", "7"),
         {"5907000000028", "Mleko \xB3\xB9\xEA\x80\xFF", "12.50", "3", "-1.500", "7"}},
        {"decimals 3",
         3,
         Row("1", "A", "999999.99", "8", "79999.999", "100"),
         {"1", "A", "999999.99", "8", "79999.999", "100"}},
        {"decimals 0",
         0,
         Row("1", "A", "7", "1", "0.000", "0"),
         {"1", "A", "7.00", "1", "0.000", "0"}},
        {"default row",
         2,
         Row("", "", "0.00", "1", "0.000", "0"),
         {"", "", "0.00", "1", "0.000", "0"}},
        {"name of 18 bytes",
         2,
         Row("2", "ABCDEFGHIJKLMNOPQR", "1.00", "1", "1.000", "1"),
         {"2", "ABCDEFGHIJKLMNOPQR", "1.00", "1", "1.000", "1"}},
        // Losses:
        {"leading zeros of the barcode",
         2,
         Row("0456", "", "0.00", "1", "0.000", "0"),
         {"456", "", "0.00", "1", "0.000", "0"}},
        {"digits beyond the fourteenth",
         2,
         Row("123456789012345678", "", "0.00", "1", "0.000", "0"),
         {"56789012345678", "", "0.00", "1", "0.000", "0"}},
        {"name beyond 18 bytes",
         2,
         Row("", "ABCDEFGHIJKLMNOPQRSTU", "0.00", "1", "0.000", "0"),
         {"", "ABCDEFGHIJKLMNOPQR", "0.00", "1", "0.000", "0"}},
        {"cents with decimals 0",
         0,
         Row("", "", "12.50", "1", "0.000", "0"),
         {"", "", "12.00", "1", "0.000", "0"}},
        {"price beyond 32 bits",
         4,
         Row("", "", "999999.99", "1", "0.000", "0"),
         {"", "", "141006.53", "1", "0.000", "0"}},
        {"empty department",
         2,
         Row("", "", "0.00", "", "0.000", "0"),
         {"", "", "0.00", "256", "0.000", "0"}},
        {"department 0",
         2,
         Row("", "", "0.00", "0", "0.000", "0"),
         {"", "", "0.00", "256", "0.000", "0"}},
        {"fourth decimal of the stocks",
         2,
         Row("", "", "0.00", "1", "1.2345", "0"),
         {"", "", "0.00", "1", "1.234", "0"}},
        {"flag above a byte",
         2,
         Row("", "", "0.00", "1", "0.000", "300"),
         {"", "", "0.00", "1", "0.000", "44"}},
        {"invalid number texts",
         2,
         Row("12a", "", "x", "y", "z", "w"),
         {"", "", "0.00", "256", "0.000", "0"}},
    };
    for (char separator : {'.', ','}) {
        SeparatorScope scope(separator);
        for (const Case& c : cases) {
            PluRowTexts sent = c.sent;
            sent[2] = Local(sent[2]);
            sent[4] = Local(sent[4]);
            std::array<uint8_t, PluRecordSize> record;
            EncodePluRecord(sent, WithDecimals(c.decimals), record);
            PluRecordTexts expected = c.back;
            expected[2] = Local(expected[2]);
            expected[4] = Local(expected[4]);
            EXPECT_EQ(DecodePluRecord(record, WithDecimals(c.decimals)), expected)
                << c.what << " separator " << separator;
        }
    }
}

TEST(PluWriteBlock, RangesSplitIntoBlocksOfThree) {
    struct Case {
        int begin, end;
        int blocks;
        std::vector<int> lastCounts; // counts of the last blocks, in order
    } cases[] = {
        {1, 1, 1, {1}},       {10, 16, 3, {3, 3, 1}},   {1, 7, 3, {3, 3, 1}},
        {1, 3000, 1000, {3}}, {1, 10000, 3334, {3, 1}}, {5, 6, 1, {2}},
    };
    std::map<int, PluRowTexts> rows;
    const PluRowSource source = [&rows](int plu) -> const PluRowTexts& {
        auto [it, fresh] = rows.try_emplace(plu);
        if (fresh)
            it->second =
                Row(std::to_string(plu), "N" + std::to_string(plu), "1.00", "1", "0.000", "0");
        return it->second;
    };
    for (const Case& c : cases) {
        ASSERT_EQ(PluWriteBlockCount(c.begin, c.end), c.blocks);
        int expectedPlu = c.begin;
        for (int j = 0; j < c.blocks; ++j) {
            Block block;
            block.fill(0xEE);
            const int count =
                EncodePluWriteBlock(c.begin, c.end, j, source, WithDecimals(2), block);
            EXPECT_EQ(block[0], count);
            const size_t fromLast = size_t(c.blocks - 1 - j);
            if (fromLast < c.lastCounts.size()) {
                EXPECT_EQ(count, c.lastCounts[c.lastCounts.size() - 1 - fromLast])
                    << c.begin << "-" << c.end << " block " << j;
            }
            for (size_t at = size_t(1 + count * PluWriteRecordSize); at < block.size(); ++at)
                ASSERT_EQ(block[at], 0) << "filler at " << at;
            const auto items = DecodePluWriteBlock(block);
            ASSERT_EQ(int(items.size()), count);
            for (const PluWriteItem& item : items) {
                EXPECT_EQ(int(item.pluIndex), expectedPlu - 1);
                EXPECT_EQ(DecodePluRecord(item.record, WithDecimals(2))[1],
                          "N" + std::to_string(expectedPlu));
                ++expectedPlu;
            }
        }
        EXPECT_EQ(expectedPlu, c.end + 1) << "every row of the range is sent once";
    }
}

TEST(PluWriteBlock, CountByteAboveThreeReadsThreeRecords) {
    Block block{};
    block[0] = 200;
    EXPECT_EQ(DecodePluWriteBlock(block).size(), 3u);
}

TEST(PluReadBlock, OnlyRowsInsideTheRangeAndEmptySlots) {
    struct Case {
        int begin, end;
        int firstBlock, lastBlock;
    } spans[] = {{5, 9, 1, 2}, {4, 4, 0, 0}, {1, 10000, 0, 2499}, {1, 1, 0, 0}};
    for (const auto& s : spans) {
        const BlockSpan span = PluReadBlocks(s.begin, s.end);
        EXPECT_EQ(span.first, s.firstBlock);
        EXPECT_EQ(span.last, s.lastBlock);
    }

    // Block 2 holds PLU 9 to 12: an item, an empty slot, two more items.
    Block block{};
    const RegisterStatus status = WithDecimals(2);
    auto record = [&block](int j) {
        return std::span(block).subspan(size_t(PluRecordSize * j)).first<PluRecordSize>();
    };
    EncodePluRecord(Row("111", "Nine", "1.00", "2", "3.000", "4"), status, record(0));
    EncodePluRecord(Row("", "", "", "", "", ""), status, record(1));
    record(1)[0] = 0xFF;
    EncodePluRecord(Row("113", "Eleven", "1.00", "2", "3.000", "4"), status, record(2));
    EncodePluRecord(Row("114", "Twelve", "1.00", "2", "3.000", "4"), status, record(3));

    auto numbers = [](const std::vector<DecodedPlu>& items) {
        std::vector<int> n;
        for (const auto& item : items)
            n.push_back(item.pluNumber);
        return n;
    };
    EXPECT_EQ(numbers(DecodePluReadBlock(block, 2, 5, 9, status)), std::vector<int>{9});
    EXPECT_EQ(numbers(DecodePluReadBlock(block, 2, 10, 11, status)), (std::vector<int>{10, 11}));
    EXPECT_EQ(numbers(DecodePluReadBlock(block, 2, 1, 30000, status)),
              (std::vector<int>{9, 10, 11, 12}));

    const auto items = DecodePluReadBlock(block, 2, 9, 10, status);
    ASSERT_EQ(items.size(), 2u);
    PluRowTexts row{"x", "x", "x", "x", "x", "x", "5.000", "9.99"};
    ApplyDecodedPlu(items[0], row);
    EXPECT_EQ(row, (PluRowTexts{"111", "Nine", "1.00", "2", "3.000", "4", "5.000", "9.99"}))
        << "Quantity and Total stay";
    EXPECT_TRUE(items[1].emptySlot);
    ApplyDecodedPlu(items[1], row);
    EXPECT_EQ(row, (PluRowTexts{"", "", "0.00", "1", "0.000", "0", "0", "0"}));
}

TEST(SalesStream, RecordsRunAcrossBlockBorders) {
    EXPECT_EQ(SalesBlockCount(0), 0u);
    EXPECT_EQ(SalesBlockCount(15), 1u);
    EXPECT_EQ(SalesBlockCount(16), 2u);
    EXPECT_EQ(SalesBlockCount(986895), 65536u);

    std::array<uint8_t, PluSalesRecordSize> one;
    EncodePluSalesRecord({5907000000028, -1500, 9999}, one);
    EXPECT_EQ(std::vector<uint8_t>(one.begin(), one.end()),
              Hex("05 90 70 00 00 00 28 FF FF FA 24 00 00 00 00 27 0F"));

    // Two blocks joined; record 15 starts at byte 255 of the first.
    std::vector<uint8_t> stream(2 * BlockSize, 0xAB);
    for (int k = 0; k < 16; ++k) {
        PluSalesRecord record{1000 + k, k * 1000, uint64_t(k) * 100 + 0xFFFFFF000000};
        EncodePluSalesRecord(record,
                             std::span(stream).subspan(size_t(17 * k)).first<PluSalesRecordSize>());
    }
    EXPECT_EQ(stream[255], 0x00); // first barcode byte of record 15
    const auto records = DecodeSalesStream(stream, 16);
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(records[15].barcode, 1015);
    EXPECT_EQ(records[15].quantity, 15000);
    EXPECT_EQ(records[15].total, 1500u + 0xFFFFFF000000);
    EXPECT_EQ(DecodeSalesStream(std::span(stream).first(271), 16).size(), 15u)
        << "a record cut short by the stream is not read";
}

TEST(SalesStream, MatchingRowsByBarcodeText) {
    // PLU number -> barcode cell
    std::map<int, std::string> cells{{1, "111"}, {2, "222"}, {3, "222"}, {4, "0333"},
                                     {5, ""},    {6, "444"}, {7, "555"}};
    const BarcodeSource barcodes = [&cells](int plu) -> std::string_view {
        auto found = cells.find(plu);
        return found == cells.end() ? std::string_view() : std::string_view(found->second);
    };
    const std::vector<PluSalesRecord> records{
        {111, 1000, 100},  // row 1
        {222, 2000, 200},  // rows 2 and 3: the lower number
        {333, 3000, 300},  // row 4 has a leading zero: no match
        {0, 4000, 400},    // no barcode
        {555, 5000, 500},  // row 7 outside the range below
        {111, 6000, 9999}, // a later record for row 1 wins
    };
    const auto matched = MatchSalesRecords(records, 1, 6, barcodes, WithDecimals(2));
    ASSERT_EQ(matched.size(), 2u);
    EXPECT_EQ(matched[0].pluNumber, 1);
    EXPECT_EQ(matched[0].quantity, "6.000");
    EXPECT_EQ(matched[0].total, "99.99");
    EXPECT_EQ(matched[1].pluNumber, 2);
    EXPECT_EQ(matched[1].quantity, "2.000");
    EXPECT_EQ(matched[1].total, "2.00");
}

TEST(Departments, BytesAndRoundTrip) {
    SeparatorScope comma(',');
    std::array<DeptRowTexts, DeptCount> rows;
    for (size_t d = 0; d < DeptCount; ++d)
        rows[d] = {"Dept" + std::to_string(d + 1), std::to_string(d + 1),
                   std::to_string(d) + ",50"};
    rows[2] = {"\xA3\xF3\xBF\xEB\x80 exactly 18 b", "", "-3,25"};
    rows[7] = {"", "x", "0,125"};
    const Block block = EncodeDeptBlock(rows, WithDecimals(2));
    EXPECT_EQ(Slice(block, 0, 6), Hex("44 65 70 74 31 00"));
    EXPECT_EQ(Slice(block, 18, 6), Hex("00 00 00 00 00 32"));
    EXPECT_EQ(Slice(block, 24, 8), std::vector<uint8_t>(8, 0));
    EXPECT_EQ(Slice(block, 32 + 18, 6), Hex("01 00 00 00 00 96"));
    EXPECT_EQ(Slice(block, 64 + 18, 6), Hex("FF 00 FF FF FE BB"));
    EXPECT_EQ(Slice(block, 224 + 18, 6), Hex("FF 00 00 00 00 0C"));

    const auto back = DecodeDeptBlock(block, WithDecimals(2));
    EXPECT_EQ(back[0], (DeptRowTexts{"Dept1", "1", "0,50"}));
    EXPECT_EQ(back[1], (DeptRowTexts{"Dept2", "2", "1,50"}));
    EXPECT_EQ(back[2], (DeptRowTexts{"\xA3\xF3\xBF\xEB\x80 exactly 18 b", "256", "-3,25"}));
    EXPECT_EQ(back[7], (DeptRowTexts{"", "256", "0,12"}));
    EXPECT_EQ(DecodeDeptBlock(block, WithDecimals(3))[1][2], "0,15");
}

TEST(Recycling, EntriesArePlacedByTheirNumber) {
    std::vector<RecyEntryTexts> entries;
    for (int k = 0; k < 10; ++k)
        entries.push_back({std::to_string(k + 1), "1.00"});
    entries[5] = {"12", "2.50"};
    entries.push_back({"0", "9.99"});
    entries.push_back({"101", "9.99"});
    entries.push_back({"x", "9.99"});
    entries.push_back({"3", "7.00"}); // later entry for number 3 wins
    entries.push_back({"100", "-2.00"});
    const RecyclingImage image = EncodeRecyclingImage(entries, WithDecimals(2));

    EXPECT_EQ(Slice(image, 176, 16), Hex("00 00 00 00 00 00 00 00 00 00 00 00 FA 00 00 00"));
    EXPECT_EQ(Slice(image, 5 * 16 + 9, 4), Hex("00 00 00 00")) << "number 6 was not sent";
    EXPECT_EQ(Slice(image, 2 * 16 + 9, 4), Hex("00 00 02 BC"));
    EXPECT_EQ(Slice(image, 99 * 16 + 9, 4), Hex("FF FF FF 38"));
    EXPECT_EQ(Slice(image, 1600, 192), std::vector<uint8_t>(192, 0));
    EXPECT_EQ(
        std::vector<uint8_t>(RecyclingBlock(image, 6).begin(), RecyclingBlock(image, 6).end()),
        Slice(image, 1536, 256));

    const auto back = DecodeRecyclingImage(image, WithDecimals(2));
    EXPECT_EQ(back[0], (RecyEntryTexts{"1", "1.00"}));
    EXPECT_EQ(back[2], (RecyEntryTexts{"3", "7.00"}));
    EXPECT_EQ(back[5], (RecyEntryTexts{"6", "0.00"}));
    EXPECT_EQ(back[11], (RecyEntryTexts{"12", "2.50"}));
    // Loss: the price is read back unsigned, so a negative one returns as a large amount.
    EXPECT_EQ(back[99], (RecyEntryTexts{"100", "42949670.96"}));
}

TEST(MemoryPage, RequestHoldsPageAndAreaInFrontOfZeros) {
    Block expected{};
    expected[0] = 0x34;
    expected[1] = 0x12;
    expected[2] = 0x10;
    EXPECT_EQ(MemoryPageRequest(0x1234, MemoryRam), expected);
    const Block rom = MemoryPageRequest(7, MemoryRom);
    EXPECT_EQ(Slice(rom, 0, 4), Hex("07 00 00 00"));
}

} // namespace
