#include "SheetImport.h"

#include "CodePage.h"
#include "SheetTestUtil.h"

#include <gtest/gtest.h>

namespace {

// Made after the separator is set, so the defaults are in its form.
struct Doc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    Doc() {
        SetDocumentCodePage("CP1250");
        InitialRecyTable(recy);
        plu.Cell(1, 1) = "5900000000001";
        plu.Cell(1, 2) = "Old";
        plu.Cell(2, 1) = "5900000000002";
        plu.Cell(2, 2) = "Kept";
        plu.Cell(2, 3) = LocaleDefault("4.00");
        dept.Cell(1, 1) = "Bakery";
    }
};

ImportResult Import(const Doc& doc, const std::string& bytes, SheetTable table,
                    ImportOptions options = {ImportMode::Replace}) {
    const SheetText sheet = ReadSheet(bytes);
    return ImportSheet(sheet, MapColumns(sheet, table), options, doc.plu, doc.dept, doc.recy);
}

struct Cell {
    int row, col;
    const char* text; // code page bytes
};

// The imported table's cell; recycling prices are column 1.
std::string CellOf(const ImportResult& result, int row, int col) {
    if (result.plu)
        return result.plu->Cell(row, col);
    if (result.dept)
        return result.dept->Cell(row, col);
    return result.recy ? (*result.recy)[size_t(row - 1)].price : "<no table>";
}

TEST(SheetImport, ColumnsAreFoundByNameOrPosition) {
    SetDocumentCodePage("CP1250");
    struct Case {
        SheetTable table;
        std::string bytes;
        std::optional<bool> header;
        std::vector<int> fileColumn;
        const char* ignored;
        const char* problems;
    } cases[] = {
        {SheetTable::PLU,
         "EAN;description;PRICE;Dept;stock;Flag;Colour\n1;a;1;1;1;1;x\n",
         {},
         {-1, 0, 1, 2, 3, 4, 5, -1, -1},
         "Colour",
         ""},
        {SheetTable::PLU,
         "PLU No.,GTIN,Unit_Price,Name,Total,quantity\n",
         {},
         {0, 1, 3, 2, -1, -1, -1, 5, 4},
         "",
         ""},
        {SheetTable::PLU,
         "Barcode;EAN;Name\n",
         {},
         {-1, 0, 2, -1, -1, -1, -1, -1, -1},
         "",
         "line 1: EAN names the same column as Barcode"},
        {SheetTable::PLU,
         "5907890\tMilk\t2.50\t1\t0.000\t0\t0\t0\textra\n",
         {},
         {-1, 0, 1, 2, 3, 4, 5, 6, 7},
         "column 9",
         ""},
        {SheetTable::Department, "Nazwa;Stawka\nA;1\n", {}, {-1, 0, 1, -1}, "", ""},
        {SheetTable::Department, "No.;Name;VAT;Price\n", {}, {0, 1, 2, 3}, "", ""},
        {SheetTable::Recycling, "1\t2.50\n", {}, {0, 1}, "", ""},
        {SheetTable::Recycling,
         "Colour;Size\n",
         true,
         {-1, -1},
         "Colour, Size",
         "line 1: no column of the recycling entry table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const ColumnMap map = MapColumns(ReadSheet(c.bytes), c.table, c.header);
        EXPECT_EQ(map.fileColumn, c.fileColumn);
        EXPECT_EQ(QStringList(map.ignored.begin(), map.ignored.end()).join(QStringLiteral(", ")),
                  QString::fromUtf8(c.ignored));
        EXPECT_EQ(Problems(map.problems), QString::fromUtf8(c.problems));
    }
}

TEST(SheetImport, HeadersInPolishEnglishOrGermanAndColumnsChosenByHand) {
    SetDocumentCodePage("CP1250");
    struct Case {
        SheetTable table;
        std::string bytes;
        std::optional<bool> header;
        std::optional<ColumnChoice> chosen;
        std::vector<int> fileColumn;
        const char* ignored;
        const char* problems;
    } cases[] = {
        {SheetTable::PLU,
         "Kod kreskowy;NAZWA;Cena brutto;DZIA\xC5\x81;Ilo\xC5\x9B\xC4\x87;Stawka VAT\n",
         {},
         {},
         {-1, 0, 1, 2, 3, 4, -1, -1, -1},
         "Stawka VAT",
         ""},
        {SheetTable::PLU,
         "Nr;EAN;Bezeichnung;Preis;Abteilung;Bestand;MwSt\n",
         {},
         {},
         {0, 1, 2, 3, 4, 5, -1, -1, -1},
         "MwSt",
         ""},
        {SheetTable::PLU, " kod ;grupa;stan\n", {}, {}, {-1, 0, -1, -1, 1, 2, -1, -1, -1}, "", ""},
        {SheetTable::Department, "Numer;Nazwa;Stawka;Cena\n", {}, {}, {0, 1, 2, 3}, "", ""},
        // By hand: the header's own names count for nothing, columns left out feed nothing.
        {SheetTable::PLU,
         "Artikel;Text;VK\n",
         true,
         ColumnChoice{1, -1, 3},
         {-1, 0, -1, 2, -1, -1, -1, -1, -1},
         "Text",
         ""},
        {SheetTable::PLU,
         "1;Milk;2.50\n",
         false,
         ColumnChoice{-1, 2, -1, -1, 3},
         {-1, -1, 1, -1, -1, -1, -1, -1, -1},
         "column 1, column 3",
         "column 5 is to feed Unit price, but the file has 3 columns"},
        {SheetTable::PLU,
         "Name;Price\n",
         {},
         ColumnChoice{0, -1},
         {0, -1, -1, -1, -1, -1, -1, -1, -1},
         "Price",
         "line 1: no column of the PLU table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const ColumnMap map = MapColumns(ReadSheet(c.bytes), c.table, c.header, c.chosen);
        EXPECT_EQ(map.fileColumn, c.fileColumn);
        EXPECT_EQ(QStringList(map.ignored.begin(), map.ignored.end()).join(QStringLiteral(", ")),
                  QString::fromUtf8(c.ignored));
        EXPECT_EQ(Problems(map.problems), QString::fromUtf8(c.problems));
    }
}

// Nothing in a file is read on a guess: a field too many, a number in the other separator or
// with more decimals than its cell keeps is a problem; blank lines hold their rows.
TEST(SheetImport, ImportsNeverGuess) {
    struct Case {
        const char* what;
        char locale;
        SheetTable table;
        ImportMode mode;
        std::string bytes;
        const char* problems;
        std::vector<Cell> cells;
        int placed;
    } cases[] = {
        {"a decimal comma splits a field",
         '.',
         SheetTable::PLU,
         ImportMode::Replace,
         "Name,Price\nMilk,2,50\nTea,3,,\n",
         "line 2: 3 fields where the header has 2",
         {},
         0},
        {"quoted decimal comma in a point file",
         '.',
         SheetTable::PLU,
         ImportMode::Replace,
         "Name,Price\nA,2.50\nB,\"1,299\"\nC,\"1,399\"\n",
         "line 3, Price \"1,299\": holds , but the file's decimal separator is .\n"
         "line 4, Price \"1,399\": holds , but the file's decimal separator is .",
         {},
         0},
        {"a thousand or 1.299",
         '.',
         SheetTable::PLU,
         ImportMode::Replace,
         "Name,Price\nA,2\nB,\"1,299\"\n",
         "line 3, Price \"1,299\": 3 decimals where the column keeps 2",
         {},
         0},
        {"stocks keep 3 decimals, prices 2, in a comma document",
         ',',
         SheetTable::PLU,
         ImportMode::Update,
         "No;Cena;Stan\n1;1,005;1,2345\n2;2,500;-0,125\n",
         "line 2, Cena \"1,005\": 3 decimals where the column keeps 2\n"
         "line 2, Stan \"1,2345\": 4 decimals where the column keeps 3",
         {},
         0},
        {"zeros past the kept decimals lose nothing",
         ',',
         SheetTable::PLU,
         ImportMode::Update,
         "No;Cena;Stan\n2;2,500;-0,125\n",
         "",
         {{2, 3, "2,50"}, {2, 5, "-0,125"}},
         1},
        {"department prices",
         '.',
         SheetTable::Department,
         ImportMode::Replace,
         "Name;Price\nBakery;1,999\n",
         "line 2, Price \"1,999\": 3 decimals where the column keeps 2",
         {},
         0},
        {"blank lines keep their rows",
         '.',
         SheetTable::PLU,
         ImportMode::Replace,
         "Name\nA\n\nB\n,\n\"C\"\n\n",
         "",
         {{1, 2, "A"}, {2, 2, ""}, {3, 2, "B"}, {4, 2, ""}, {5, 2, "C"}, {6, 2, ""}},
         3},
        {"blank lines before any row, no header",
         '.',
         SheetTable::Department,
         ImportMode::Replace,
         "\n\nBakery\t2\n\nDairy\t3\n",
         "",
         {{1, 1, ""}, {3, 1, "Bakery"}, {5, 1, "Dairy"}},
         2},
        {"blank lines push a row past the end",
         '.',
         SheetTable::Department,
         ImportMode::Replace,
         "Name\nA\n\n\n\n\n\n\nH\n\nI\n",
         "line 11: more rows than the department table holds (8)",
         {},
         0},
        {"without a header a problem names the table column",
         '.',
         SheetTable::PLU,
         ImportMode::Replace,
         "12a;Milk;x\n",
         "line 1, Barcode \"12a\": may hold digits only\nline 1, Unit price \"x\": not a number",
         {},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SeparatorScope locale(c.locale);
        const Doc doc;
        const ImportResult result = Import(doc, c.bytes, c.table, {c.mode, MatchBy::Number});
        EXPECT_EQ(Problems(result.problems), QString::fromUtf8(c.problems));
        for (const Cell& cell : c.cells)
            EXPECT_EQ(CellOf(result, cell.row, cell.col), cell.text)
                << "row " << cell.row << " col " << cell.col;
        EXPECT_EQ(result.Ok() ? result.placed : 0, c.placed);
    }
}

TEST(SheetImport, ReplaceTakesTheFileInTheDocumentsForm) {
    struct Case {
        const char* what;
        char locale;
        SheetTable table;
        std::string bytes;
        std::vector<Cell> cells;
        int added, changed, removed;
    } cases[] = {
        {"Excel in a comma locale into a point document",
         '.',
         SheetTable::PLU,
         "\xEF\xBB\xBFNO.;Barcode;Name;Unit price;Department;Stocks\r\n"
         "3;0005907890;Mleko \xC5\xBC;2,5;2;-1,25\r\n7;;Chleb;;;\r\n",
         {{3, 1, "5907890"},
          {3, 2, "Mleko \xBF"},
          {3, 3, "2.50"},
          {3, 4, "2"},
          {3, 5, "-1.250"},
          {7, 2, "Chleb"},
          {7, 3, "0.00"},
          {1, 2, ""},
          {2, 3, "0.00"}},
         2,
         0,
         2},
        {"Calc with quoted decimal commas into a comma document, rows 1 to n",
         ',',
         SheetTable::PLU,
         "Name,Price,Quantity\n\"Milk, fresh\",\"2,50\",\"1,5\"\nBread,3,\n",
         {{1, 2, "Milk, fresh"}, {1, 3, "2,50"}, {1, 7, "1,5"}, {2, 3, "3,00"}, {2, 1, ""}},
         0,
         2,
         0},
        {"TSV without a header into the departments",
         '.',
         SheetTable::Department,
         "Bakery\t2\t1.5\nDairy\t3\t\n",
         {{1, 1, "Bakery"}, {1, 2, "2"}, {1, 3, "1.50"}, {2, 1, "Dairy"}, {2, 3, "0.00"}},
         1,
         1,
         0},
        {"UTF-16 package prices",
         ',',
         SheetTable::Recycling,
         Utf16(QStringLiteral("No.\tPrice\r\n5\t0,5\r\n"), false),
         {{5, 1, "0,50"}, {1, 1, "0,00"}},
         0,
         1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SeparatorScope locale(c.locale);
        const Doc doc;
        const ImportResult result = Import(doc, c.bytes, c.table);
        ASSERT_EQ(Problems(result.problems), QString());
        for (const Cell& cell : c.cells)
            EXPECT_EQ(CellOf(result, cell.row, cell.col), cell.text)
                << "row " << cell.row << " col " << cell.col;
        EXPECT_EQ(result.added, c.added);
        EXPECT_EQ(result.changed, c.changed);
        EXPECT_EQ(result.removed, c.removed);
        EXPECT_EQ(int(result.plu.has_value()) + result.dept.has_value() + result.recy.has_value(),
                  1);
    }
}

TEST(SheetImport, EveryProblemIsListedAndNothingChanges) {
    SeparatorScope locale('.');
    const Doc doc;
    const ImportOptions replace{ImportMode::Replace};
    const ImportOptions update{ImportMode::Update, MatchBy::Number};
    const ImportOptions byBarcode{ImportMode::Update, MatchBy::Barcode};
    std::string tooMany = "Name\n";
    for (int i = 0; i < 9; ++i)
        tooMany += "D" + std::to_string(i) + "\n";
    struct Case {
        SheetTable table;
        ImportOptions options;
        std::string bytes;
        const char* problems;
    } cases[] = {
        {SheetTable::PLU, replace, "\xEF\xBB\xBFName\n\xFF\n", "line 2: not valid UTF-8"},
        {SheetTable::PLU, replace, "Name;Price\n", "the file holds no rows"},
        {SheetTable::PLU, replace, "Barcode;EAN\n1;2\n",
         "line 1: EAN names the same column as Barcode"},
        {SheetTable::Department, replace, tooMany,
         "line 10: more rows than the department table holds (8)"},
        {SheetTable::PLU, replace,
         "No;Barcode;Name;Price;Stocks\n"
         "0;1;A;1.25;1\n"
         "4;5.90789E+12;B;1,5;1\n"
         "5;;\"Line\nbreak\";1000000;-54321.6\n"
         "5;;E;;\n"
         "6;;\xE5\xAD\x97;;\n"
         "7;;A name far too long for it;;\n",
         "line 2, No \"0\": not a PLU number from 1 to 30000\n"
         "line 3, Barcode \"5.90789E+12\": may hold digits only\n"
         "line 3, Price \"1,5\": holds , but the file's decimal separator is .\n"
         "line 4, Name \"Line\\nbreak\": holds a tab, line break or other control character\n"
         "line 4, Price \"1000000\": above 999999.99\n"
         "line 6, No \"5\": PLU 5 is already given on line 4\n"
         "line 7, Name \"\xE5\xAD\x97\": \xE5\xAD\x97 is not in the code page CP1250\n"
         "line 8, Name \"A name far too long for it\": longer than 18 characters"},
        {SheetTable::PLU, replace, "Barcode;Name\n11;Twin\n12;Twin\n5900000000002;Bakery\n",
         "line 2, Name \"Twin\": PLU name repeat: No. 1 and No. 2\n"
         "line 3, Name \"Twin\": PLU name repeat: No. 2 and No. 1\n"
         "line 4, Name \"Bakery\": PLU name and Dept name repeat: No. 3 and No. 1"},
        {SheetTable::PLU, update, "No;Barcode\n3;005900000000001\n",
         "line 2, Barcode \"005900000000001\": PLU BCode repeat: No. 3 and No. 1"},
        {SheetTable::PLU, update, "No;Barcode\n3;59000000000011\n",
         "line 2, Barcode \"59000000000011\": longer than 13 characters"},
        {SheetTable::PLU, update, "Name\nA\n", "no number column to match rows by"},
        {SheetTable::Department, byBarcode, "No;Name\n1;A\n",
         "only PLU rows have barcodes to match by"},
        {SheetTable::PLU, byBarcode, "Barcode;Name\n;A\n",
         "line 2, Barcode \"\": no barcode to match"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const ImportResult result = Import(doc, c.bytes, c.table, c.options);
        EXPECT_EQ(Problems(result.problems), QString::fromUtf8(c.problems));
        EXPECT_FALSE(result.plu || result.dept || result.recy);
    }
    // A file wrong throughout gives a list that ends, not one line for each cell.
    std::string wrong = "Department\n";
    for (int i = 0; i < 2000; ++i)
        wrong += "x\n";
    const std::vector<SheetProblem> problems = Import(doc, wrong, SheetTable::PLU).problems;
    ASSERT_EQ(problems.size(), MaxSheetProblems + 1);
    EXPECT_EQ(ProblemText(problems.back()),
              QStringLiteral("more problems follow; the first 1000 are listed"));
}

TEST(SheetImport, UpdateMatchesByBarcodeOrNumberAndKeepsEmptyCells) {
    SeparatorScope locale(',');
    Doc doc;
    doc.plu.Cell(29999, 1) = "42";
    const ImportOptions byBarcode{ImportMode::Update, MatchBy::Barcode};
    // Known barcodes, one written with leading zeros, update in place; new ones go to their
    // number's row or after the last used row.
    ImportResult result = Import(doc,
                                 "PLU;EAN;Description;Price\r\n"
                                 "9;005900000000002;;\"7,5\"\r\n"
                                 ";5900000000001;Renamed;\r\n"
                                 "12;777;New at 12;1\r\n"
                                 ";888;Appended;\r\n",
                                 SheetTable::PLU, byBarcode);
    ASSERT_EQ(Problems(result.problems), QString());
    const TextTable& plu = *result.plu;
    EXPECT_EQ(plu.Cell(2, 2), "Kept");
    EXPECT_EQ(plu.Cell(2, 3), "7,50");
    EXPECT_EQ(plu.Cell(1, 2), "Renamed");
    EXPECT_EQ(plu.Cell(12, 1), "777");
    EXPECT_EQ(plu.Cell(12, 3), "1,00");
    EXPECT_EQ(plu.Cell(30000, 2), "Appended");
    EXPECT_TRUE(plu.RowIsDefault(9));
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.changed, 2);

    // The last row is taken now: a further new barcode has nowhere to go, and a number that
    // holds an item is refused.
    doc.plu = plu;
    result = Import(doc, "No;Barcode;Name\n;999;X\n2;998;Y\n", SheetTable::PLU, byBarcode);
    EXPECT_EQ(Problems(result.problems),
              QStringLiteral("line 2, Barcode \"999\": no free PLU row left for a new item\n"
                             "line 3, No \"2\": PLU 2 already holds another item"));

    result = Import(doc, "No;Stocks;Name\n2;-3;\n40;;Forty\n", SheetTable::PLU,
                    {ImportMode::Update, MatchBy::Number});
    ASSERT_EQ(Problems(result.problems), QString());
    EXPECT_EQ(result.plu->Cell(2, 5), "-3,000");
    EXPECT_EQ(result.plu->Cell(2, 2), "Kept");
    EXPECT_EQ(result.plu->Cell(40, 2), "Forty");
    EXPECT_EQ(result.plu->Cell(1, 2), "Renamed");
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.changed, 1);
}

} // namespace
