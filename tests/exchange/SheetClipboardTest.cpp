#include "SheetClipboard.h"

#include "CodePage.h"
#include "SheetTestUtil.h"

#include <gtest/gtest.h>

namespace {

struct Doc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    Doc() {
        SetDocumentCodePage("CP1250");
        plu.Cell(2, 1) = "555";
        plu.Cell(2, 2) = "Milk";
        plu.Cell(3, 2) = "\"Best\" milk";
        plu.Cell(3, 3) = LocaleDefault("2.50");
        dept.Cell(3, 1) = "Food";
    }
};

std::string Joined(const std::vector<std::string>& cells) {
    std::string text;
    for (const std::string& cell : cells)
        text += (text.empty() ? "" : "|") + cell;
    return text;
}

TEST(SheetClipboard, PastedBlocksAreCheckedAndPlacedCellByCell) {
    struct Case {
        SheetTable kind;
        const char* text;
        CellRect target;
        CellRect block;
        const char* cells;   // '|' between cells, code page bytes
        const char* problem; // the first one, when the paste is refused
    } cases[] = {
        {SheetTable::PLU, "5\t1.5\t3\r\n", {4, 1, 4, 1}, {4, 1, 4, 3}, "5|1.5|3.00", nullptr},
        // A short line and an empty one take the columns' defaults, as emptied cells do.
        {SheetTable::PLU,
         "2\t1\n\n7\n",
         {1, 4, 1, 4},
         {1, 4, 3, 5},
         "2|1.000|1|0.000|7|0.000",
         nullptr},
        {SheetTable::PLU, "3", {1, 4, 3, 4}, {1, 4, 3, 4}, "3|3|3", nullptr},
        {SheetTable::PLU,
         "\xC5\x81\xC3\xB3\x64\xC5\xBA",
         {9, 2, 9, 2},
         {9, 2, 9, 2},
         "\xA3\xF3\x64\x9F",
         nullptr},
        {SheetTable::PLU,
         "1\nabc\n",
         {1, 3, 1, 3},
         {},
         nullptr,
         "PLU 2, Unit price \"abc\": not a number"},
        {SheetTable::PLU,
         "1\t2\n",
         {1, 8, 1, 8},
         {},
         nullptr,
         "2 columns do not fit from Total on: the table has 1 more"},
        {SheetTable::PLU,
         "1\n2\n",
         {30000, 4, 30000, 4},
         {},
         nullptr,
         "2 rows do not fit from PLU 30000 on: the table ends at 30000"},
        {SheetTable::PLU,
         "Milk\n",
         {4, 2, 4, 2},
         {},
         nullptr,
         "PLU 4, Name \"Milk\": PLU name repeat: No. 4 and No. 2"},
        {SheetTable::PLU,
         "Soap\nSoap\n",
         {5, 2, 5, 2},
         {},
         nullptr,
         "PLU 5, Name \"Soap\": PLU name repeat: No. 5 and No. 6"},
        {SheetTable::PLU,
         "0555\n",
         {7, 1, 7, 1},
         {},
         nullptr,
         "PLU 7, Barcode \"555\": PLU BCode repeat: No. 7 and No. 2"},
        {SheetTable::PLU,
         "\xE6\x97\xA5",
         {1, 2, 1, 2},
         {},
         nullptr,
         "PLU 1, Name \"\xE6\x97\xA5\": \xE6\x97\xA5 is not in the code page CP1250"},
        {SheetTable::PLU,
         "\"12\n\"",
         {1, 3, 1, 3},
         {},
         nullptr,
         "PLU 1, Unit price \"12\n\": holds a line break"},
        {SheetTable::PLU, "\n\t\n", {1, 1, 1, 1}, {}, nullptr, "the clipboard holds no cells"},
        {SheetTable::Department,
         "Milk\t2\n",
         {5, 1, 5, 1},
         {},
         nullptr,
         "Department 5, Name \"Milk\": Dept name and PLU name repeat: No. 5 and No. 2"},
        {SheetTable::Department,
         "Drinks\t0\n",
         {5, 1, 5, 1},
         {},
         nullptr,
         "Department 5, Tax \"0\": not a whole number from 1 to 9"},
    };
    for (const Case& c : cases) {
        Doc doc;
        const bool plu = c.kind == SheetTable::PLU;
        const QString text = QString::fromUtf8(c.text);
        PastedCells pasted =
            PasteCells(c.kind, text, c.target, plu ? doc.plu : doc.dept, plu ? doc.dept : doc.plu);
        if (c.problem) {
            ASSERT_FALSE(pasted.Ok()) << c.text;
            EXPECT_EQ(PasteProblemText(c.kind, pasted.problems.front()),
                      QString::fromUtf8(c.problem));
            continue;
        }
        ASSERT_TRUE(pasted.Ok()) << c.text << ": "
                                 << PasteProblemText(c.kind, pasted.problems.front()).toStdString();
        EXPECT_EQ(pasted.block, c.block) << c.text;
        EXPECT_EQ(Joined(pasted.cells), c.cells) << c.text;
    }
}

TEST(SheetClipboard, ACopiedBlockPastesBackToTheSameBytesInEitherLocale) {
    for (char separator : {'.', ','}) {
        SeparatorScope scope(separator);
        Doc doc;
        const CellRect from{2, 1, 3, 8};
        const QString text = CopyCells(doc.plu, from);
        if (separator == '.') {
            EXPECT_EQ(text, "555\tMilk\t0.00\t1\t0.000\t0\t0\t0\n"
                            "\t\"\"\"Best\"\" milk\"\t2.50\t1\t0.000\t0\t0\t0\n");
        }
        // Pasted over the same rows emptied first, so the names repeat nothing.
        TextTable emptied = doc.plu;
        emptied.ResetRows(2, 3);
        PastedCells pasted = PasteCells(SheetTable::PLU, text, {2, 1, 2, 1}, emptied, doc.dept);
        ASSERT_TRUE(pasted.Ok())
            << PasteProblemText(SheetTable::PLU, pasted.problems.front()).toStdString();
        ApplyCells(emptied, pasted);
        for (int r = 1; r <= 4; ++r)
            for (int col = 1; col <= 8; ++col)
                EXPECT_EQ(emptied.Cell(r, col), doc.plu.Cell(r, col)) << r << "," << col;
    }
}

} // namespace
