#include "SheetText.h"

#include "CodePage.h"
#include "SheetTestUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

// "2[a|b]" per record: its line, then its fields.
QString Records(const SheetText& sheet) {
    QString text;
    for (size_t r = 0; r < sheet.Records(); ++r) {
        text += QString::number(sheet.Line(r)) + u'[';
        for (int f = 0; f < sheet.Fields(r); ++f)
            text += (f ? QStringLiteral("|") : QString()) + sheet.Field(r, f).toString();
        text += QStringLiteral("] ");
    }
    return text.trimmed();
}

TEST(SheetText, FindsTheDialectAsExcelCalcAndShopSystemsWriteIt) {
    SetDocumentCodePage("CP1250");
    struct Case {
        const char* what;
        std::string bytes;
        SheetEncoding encoding;
        bool bom;
        char separator;
        char decimal;
        const char16_t* records;
    } cases[] = {
        {"Excel, comma locale: BOM, ';', decimal comma, CR LF",
         "\xEF\xBB\xBF"
         "Barcode;Name;Unit price\r\n5907890;Mleko \xC5\xBC;2,50\r\n;;\r\n",
         SheetEncoding::Utf8, true, ';', ',',
         u"1[Barcode|Name|Unit price] 2[5907890|Mleko ż|2,50]"},
        {"Calc: ',' with quoted separators, quotes and a line break",
         "NO.,Name,Unit price\n1,\"Milk, fresh\",1.50\n2,\"Say \"\"hi\"\"\nthere\",\"2.00\"\n"
         "3,Bread \"rye\",0.99",
         SheetEncoding::Utf8, false, ',', '.',
         u"1[NO.|Name|Unit price] 2[1|Milk, fresh|1.50] 3[2|Say \"hi\"\nthere|2.00] "
         u"5[3|Bread \"rye\"|0.99]"},
        {"',' with quoted decimal commas, lone CR line ends",
         "Name,Price\r\"Tea\",\"1,25\"\r\rCoffee,\"3,10\"", SheetEncoding::Utf8, false, ',', ',',
         u"1[Name|Price] 2[Tea|1,25] 4[Coffee|3,10]"},
        {"TSV without a header", "123\tBread\t1.20\n456\tRolls\t0.30\n", SheetEncoding::Utf8, false,
         '\t', '.', u"1[123|Bread|1.20] 2[456|Rolls|0.30]"},
        {"UTF-16 LE with BOM", Utf16(QStringLiteral("Name\tPrice\r\nŻółć\t2,5\r\n"), false),
         SheetEncoding::Utf16LE, true, '\t', ',', u"1[Name|Price] 2[Żółć|2,5]"},
        {"UTF-16 BE with BOM", Utf16(QStringLiteral("Name;Price\nČaj;1,5\n"), true),
         SheetEncoding::Utf16BE, true, ';', ',', u"1[Name|Price] 2[Čaj|1,5]"},
        {"code page bytes: no valid UTF-8",
         "Name;Price\r\n\xBF"
         "ab\xEA;1,5\r\n",
         SheetEncoding::CodePage, false, ';', ',', u"1[Name|Price] 2[żabę|1,5]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SheetText sheet = ReadSheet(c.bytes);
        EXPECT_EQ(Problems(sheet.problems), QString());
        EXPECT_EQ(sheet.dialect.encoding, c.encoding);
        EXPECT_EQ(sheet.dialect.bom, c.bom);
        EXPECT_EQ(sheet.dialect.separator, c.separator);
        EXPECT_EQ(sheet.dialect.decimal, c.decimal);
        EXPECT_EQ(Records(sheet), QString::fromUtf16(c.records));
        // The dialect found reads the same when given back, as the preview does.
        EXPECT_EQ(Records(ReadSheet(c.bytes, sheet.dialect)), Records(sheet));
    }
}

TEST(SheetText, AGivenDialectOverridesTheFoundOne) {
    SheetDialect dialect;
    dialect.separator = ',';
    const SheetText sheet = ReadSheet("a;b,c\n", dialect);
    EXPECT_EQ(Records(sheet), QStringLiteral("1[a;b|c]"));
    dialect.encoding = SheetEncoding::CodePage;
    EXPECT_EQ(Records(ReadSheet("\xEF\xBB\xBFx", dialect)), QStringLiteral("1[ď»żx]"))
        << "a UTF-8 BOM is text in a code page";
}

TEST(SheetText, ReportsWhatItCannotRead) {
    std::string rows;
    for (int i = 0; i < MaxSheetRows + 2; ++i)
        rows += "x\n";
    SheetDialect utf16;
    utf16.encoding = SheetEncoding::Utf16LE;
    struct Case {
        std::string bytes;
        std::optional<SheetDialect> dialect;
        const char* problems;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "a;b\nc;\xC3\x28\n",
         {},
         "line 2: not valid UTF-8"},
        {"a;b\n\xC3", SheetDialect{}, "line 2: not valid UTF-8"},
        {std::string("\xFF\xFE"
                     "a\0\n\0\0",
                     7),
         {},
         "line 2: not valid UTF-16"},
        {std::string("a\0\n\0\x00\xD8", 6), utf16, "line 2: not valid UTF-16"},
        {"a;b\n1;\"open\n2;3\n", {}, "line 2: a quoted field is never closed"},
        {rows, {}, "line 30002: more rows than a table holds (30000)"},
        {std::string(MaxSheetFileBytes + 1, 'x'), {}, "the file is larger than 32 MiB"},
    };
    for (const Case& c : cases) {
        const SheetText sheet = c.dialect ? ReadSheet(c.bytes, *c.dialect) : ReadSheet(c.bytes);
        EXPECT_EQ(Problems(sheet.problems), QString::fromUtf8(c.problems));
    }
}

// One damaged byte must not turn a UTF-8 file into code page text (every Polish letter wrong),
// nor may a code page file whose capitals happen to pair up as UTF-8 be refused.
TEST(SheetText, UTF8WithABadByteIsAProblemNotACodePage) {
    SetDocumentCodePage("CP1250");
    struct Case {
        std::string bytes;
        SheetEncoding encoding;
        const char* problems;
        const char16_t* records;
    } cases[] = {
        {"Name;Price\n\xC5\xBB\xC3\xB3\xC5\x82w;1,5\nB\xFF;2\n", SheetEncoding::Utf8,
         "line 3: not valid UTF-8", u"1[Name|Price] 2[Żółw|1,5] 3[B\uFFFD|2]"},
        {"Name;Price\n\xE2\x82\xAC;1\nCaf\xE9;2\n", SheetEncoding::Utf8, "line 3: not valid UTF-8",
         u"1[Name|Price] 2[€|1] 3[Caf\uFFFD|2]"},
        {"Name;Price\r\nMLEKO P\xD3\xA3T\xA3USTE;2,5\r\n", SheetEncoding::CodePage, "",
         u"1[Name|Price] 2[MLEKO PÓŁTŁUSTE|2,5]"},
        {"Name;Price\n\xAF\xD3\xA3W;1\n", SheetEncoding::CodePage, "", u"1[Name|Price] 2[ŻÓŁW|1]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const SheetText sheet = ReadSheet(c.bytes);
        EXPECT_EQ(sheet.dialect.encoding, c.encoding);
        EXPECT_EQ(Problems(sheet.problems), QString::fromUtf8(c.problems));
        EXPECT_EQ(Records(sheet), QString::fromUtf16(c.records));
    }
}

// Grouped thousands ("1,299", "12.500") vote only when no other number tells the separator.
TEST(SheetText, NumbersThatMayBeThousandsDoNotDecideTheDecimalSeparator) {
    struct Case {
        const char* bytes;
        char decimal;
    } cases[] = {
        {"Name,Price\nA,2.50\nB,\"1,299\"\nC,\"1,399\"\n", '.'},
        {"Name;Preis;Bestand\nA;2,5;12.500\nB;1;3.000\n", ','},
        {"Name,Price\nA,2\nB,\"1,299\"\n", ','},
        {"Name,Price\nA,0.125\nB,\"1,299\"\n", '.'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadSheet(c.bytes).dialect.decimal, c.decimal) << c.bytes;
}

TEST(SheetText, BlankLinesKeepTheirPlaces) {
    const SheetText sheet = ReadSheet("a;b\n\n\nc;d\r\n;\r\n\"e\nf\";g\n\nh;i");
    std::vector<int> positions;
    for (size_t r = 0; r < sheet.Records(); ++r)
        positions.push_back(sheet.Position(r));
    EXPECT_EQ(positions, (std::vector<int>{0, 3, 5, 7}));
}

TEST(SheetText, HugeFieldsLongLinesAndJunkStayBounded) {
    std::string junk(1 << 20, '\0');
    uint32_t seed = 12345;
    for (char& b : junk) {
        seed = seed * 1103515245u + 12345u;
        b = char(seed >> 16);
    }
    const std::string inputs[] = {
        std::string(1 << 20, 'a') + ";b\n",
        std::string(100000, ';') + "x\n",
        "\"" + std::string(1 << 20, ';'),
        junk,
    };
    for (const std::string& bytes : inputs) {
        const SheetText sheet = ReadSheet(bytes);
        ASSERT_LE(sheet.Records(), size_t(MaxSheetRows + 1));
        for (size_t r = 0; r < sheet.Records(); ++r) {
            ASSERT_LE(sheet.Fields(r), MaxSheetColumns);
            for (int f = 0; f < sheet.Fields(r); ++f)
                ASSERT_LE(sheet.Field(r, f).size(), MaxSheetFieldChars);
        }
    }
    const SheetText first = ReadSheet(inputs[0]);
    EXPECT_EQ(first.Field(0, 0).size(), MaxSheetFieldChars);
    EXPECT_EQ(first.Field(0, 1), QStringLiteral("b"));
    EXPECT_EQ(first.Field(0, 2), QString()) << "beyond the last field";
    EXPECT_EQ(ReadSheet(inputs[1]).Fields(0), MaxSheetColumns);
}

TEST(SheetText, LoadsAWholeFileOrSaysWhyNot) {
    TempProgramDir dir;
    WriteFileBytes(dir.Path("prices.csv"), "a;b\r\n");
    EXPECT_EQ(LoadSheetFile(dir.Path("prices.csv")).bytes, "a;b\r\n");
    EXPECT_EQ(LoadSheetFile(dir.Path("missing.csv")).error, QStringLiteral("File not found"));
    EXPECT_EQ(LoadSheetFile(dir.Path()).error, QStringLiteral("File access denied"));
}

} // namespace
