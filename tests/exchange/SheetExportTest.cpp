#include "SheetExport.h"

#include "CodePage.h"
#include "FailingSaveCalls.h"
#include "SheetTestUtil.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct Doc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    Doc() {
        SetDocumentCodePage("CP1250");
        InitialRecyTable(recy);
    }
};

// Every kind of cell: quotes, separators and code page letters in names, negative stocks,
// sold quantities with decimals, a row with content but no name near the end.
Doc SampleDoc() {
    Doc doc;
    for (int r = 1; r <= 60; ++r) {
        doc.plu.Cell(r, 1) = std::to_string(5900000000000LL + r);
        doc.plu.Cell(r, 2) = "Item " + std::to_string(r);
        doc.plu.Cell(r, 3) = FormatFixed(r * 1.25, 2);
        doc.plu.Cell(r, 4) = std::to_string(r % 8 + 1);
        doc.plu.Cell(r, 5) = FormatFixed(-r * 0.5, 3);
        doc.plu.Cell(r, 6) = std::to_string(r);
        doc.plu.Cell(r, 7) = FormatFixed(r * 1.5, 1);
        doc.plu.Cell(r, 8) = std::to_string(r * 7);
    }
    doc.plu.Cell(2, 2) = "Milk; \"fresh\", 1l";
    doc.plu.Cell(3, 2) = "\xAF\xF3\xB3\xE6 \xBF\xF3\xB3ty"; // Żółć żółty
    doc.plu.Cell(29999, 1) = "42";
    doc.plu.Cell(29999, 3) = FormatFixed(9.99, 2);
    doc.dept.Cell(1, 1) = "Bread, rolls";
    doc.dept.Cell(1, 3) = FormatFixed(3.5, 2);
    doc.dept.Cell(4, 1) = "Dairy";
    doc.dept.Cell(4, 2) = "9";
    for (int k = 0; k < RecyEntryCount; k += 7)
        doc.recy[size_t(k)].price = FormatFixed(k * 0.1, 2);
    return doc;
}

std::string FirstDifference(const TextTable& a, const TextTable& b) {
    for (int r = 1; r <= a.Rows(); ++r)
        for (int c = 1; c <= a.Cols(); ++c)
            if (a.Cell(r, c) != b.Cell(r, c))
                return std::to_string(r) + ":" + std::to_string(c) + " [" + a.Cell(r, c) + "] [" +
                       b.Cell(r, c) + "]";
    return {};
}

TEST(SheetExport, WritesWhatExcelAndCalcRead) {
    SeparatorScope locale(',');
    Doc doc;
    doc.plu.Cell(2, 1) = "5907890";
    doc.plu.Cell(2, 2) = "Milk; \"fresh\"";
    doc.plu.Cell(2, 3) = "2,50";
    doc.dept.Cell(1, 1) = "\xAF\xF3\xB3\xE6";
    SheetDialect codePageTsv = *ExportDialect("tsv");
    codePageTsv.encoding = SheetEncoding::CodePage;
    SheetDialect pointNoBom = *ExportDialect("calc");
    pointNoBom.decimal = '.';
    pointNoBom.bom = false;
    struct Case {
        SheetTable table;
        SheetDialect dialect;
        std::string bytes;
    } cases[] = {
        {SheetTable::PLU, DefaultExportDialect(),
         "\xEF\xBB\xBFNO.;Barcode;Name;Unit price;Department;Stocks;Flag;Quantity;Total\r\n"
         "2;5907890;\"Milk; \"\"fresh\"\"\";2,50;1;0,000;0;0;0\r\n"},
        {SheetTable::PLU, *ExportDialect("calc"),
         "\xEF\xBB\xBFNO.,Barcode,Name,Unit price,Department,Stocks,Flag,Quantity,Total\n"
         "2,5907890,\"Milk; \"\"fresh\"\"\",\"2,50\",1,\"0,000\",0,0,0\n"},
        {SheetTable::PLU, pointNoBom,
         "NO.,Barcode,Name,Unit price,Department,Stocks,Flag,Quantity,Total\n"
         "2,5907890,\"Milk; \"\"fresh\"\"\",2.50,1,0.000,0,0,0\n"},
        {SheetTable::Department, *ExportDialect("tsv"),
         "\xEF\xBB\xBFNO.\tName\tTax\tUnit price\n1\t\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\t1\t0,00\n"},
        {SheetTable::Department, codePageTsv,
         "NO.\tName\tTax\tUnit price\n1\t\xAF\xF3\xB3\xE6\t1\t0,00\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportSheet(c.table, doc.plu, doc.dept, doc.recy, c.dialect), c.bytes);
    SetDecimalSeparator('.');
    EXPECT_EQ(DefaultExportDialect().separator, ',');
    EXPECT_EQ(DefaultExportDialect().decimal, '.');
    EXPECT_FALSE(ExportDialect("lotus"));
}

TEST(SheetExport, AnExportedFileImportsBackToTheSameDocument) {
    for (char locale : {'.', ','}) {
        SeparatorScope scope(locale);
        const Doc doc = SampleDoc();
        for (const char* name : {"excel", "calc", "tsv"}) {
            for (SheetEncoding encoding : {SheetEncoding::Utf8, SheetEncoding::CodePage}) {
                for (SheetTable table :
                     {SheetTable::PLU, SheetTable::Department, SheetTable::Recycling}) {
                    SCOPED_TRACE(std::string(1, locale) + " " + name + " " +
                                 std::to_string(int(encoding)) + " " + std::to_string(int(table)));
                    SheetDialect dialect = *ExportDialect(name);
                    dialect.encoding = encoding;
                    const SheetText sheet =
                        ReadSheet(ExportSheet(table, doc.plu, doc.dept, doc.recy, dialect));
                    const Doc fresh;
                    const ImportResult result = ImportSheet(sheet, MapColumns(sheet, table), {},
                                                            fresh.plu, fresh.dept, fresh.recy);
                    ASSERT_EQ(Problems(result.problems), QString());
                    if (result.plu) {
                        EXPECT_EQ(FirstDifference(*result.plu, doc.plu), "");
                    } else if (result.dept) {
                        EXPECT_EQ(FirstDifference(*result.dept, doc.dept), "");
                    } else {
                        ASSERT_TRUE(result.recy);
                        for (int k = 0; k < RecyEntryCount; ++k)
                            EXPECT_EQ((*result.recy)[size_t(k)].price, doc.recy[size_t(k)].price);
                    }
                }
            }
        }
    }
}

TEST(SheetExport, WritesTheFileWholeOrNotAtAll) {
    TempProgramDir dir;
    const Doc doc = SampleDoc();
    const SheetDialect dialect = DefaultExportDialect();
    ASSERT_EQ(ExportSheetFile(dir.Path("prices.csv"), SheetTable::PLU, doc.plu, doc.dept, doc.recy,
                              dialect),
              0);
    EXPECT_EQ(ReadFileBytes(dir.Path("prices.csv")),
              ExportSheet(SheetTable::PLU, doc.plu, doc.dept, doc.recy, dialect));
    EXPECT_EQ(ExportSheetFile(dir.Path("missing/prices.csv"), SheetTable::PLU, doc.plu, doc.dept,
                              doc.recy, dialect),
              ENOENT);

    // A failing write, sync or rename keeps the older export whole, and no temporary behind.
    const std::string older = ReadFileBytes(dir.Path("prices.csv"));
    for (const SaveCallFailure& failure :
         {SaveCallFailure{SaveCall::Write, 1, ENOSPC}, SaveCallFailure{SaveCall::Fsync, 1, EIO},
          SaveCallFailure{SaveCall::Rename, 1, EPERM}}) {
        SCOPED_TRACE(failure.error);
        FailingSaveCalls failing({failure});
        EXPECT_EQ(ExportSheetFile(dir.Path("prices.csv"), SheetTable::Department, doc.plu, doc.dept,
                                  doc.recy, dialect),
                  failure.error);
        EXPECT_EQ(ReadFileBytes(dir.Path("prices.csv")), older);
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 1);
    }
}

} // namespace
