#include "Document.h"

#include <gtest/gtest.h>

namespace {

struct SeparatorScope {
    explicit SeparatorScope(char c) : previous(DecimalSeparator()) { SetDecimalSeparator(c); }
    ~SeparatorScope() { SetDecimalSeparator(previous); }
    char previous;
};

struct Tables {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
};

TEST(Document, NewTablesHoldTheDefaults) {
    Tables t;
    EXPECT_EQ(t.plu.Rows(), 30000);
    EXPECT_EQ(t.plu.Cols(), 8);
    EXPECT_EQ(t.plu.Cell(30000, 3), "0.00");
    EXPECT_EQ(t.plu.Cell(1, 5), "0.000");
    EXPECT_EQ(t.plu.Cell(1, 4), "1");
    EXPECT_EQ(t.dept.Cell(8, 2), "1");
    RecyTable recy;
    InitialRecyTable(recy);
    EXPECT_EQ(recy[0].number, "1");
    EXPECT_EQ(recy[99].number, "100");
    EXPECT_EQ(recy[99].price, "0.00");
}

TEST(Document, PLUCellsAreCheckedAndNormalised) {
    struct Case {
        char separator;
        int col;
        const char* typed;
        CellCheck::Result result;
        const char* stored; // after the check
    } cases[] = {
        {'.', 1, "0098765", CellCheck::Valid, "98765"},
        {'.', 1, "12a", CellCheck::Invalid, "12a"},
        {'.', 1, "99999999999999", CellCheck::Invalid, "99999999999999"}, // 14 > max length
        {'.', 3, "5", CellCheck::Valid, "5.00"},
        {',', 3, "5", CellCheck::Valid, "5,00"},
        {',', 3, "12,5", CellCheck::Valid, "12,50"},
        {',', 3, "12.5", CellCheck::Invalid, "12.5"},
        {'.', 3, "999999.99", CellCheck::Valid, "999999.99"},
        {'.', 3, "1000000", CellCheck::Invalid, "1000000"},
        {'.', 3, "abc", CellCheck::Invalid, "abc"},
        {'.', 3, "", CellCheck::Valid, "0.00"},
        {'.', 5, "1", CellCheck::Valid, "1.000"},
        {'.', 5, "79999.999", CellCheck::Valid, "79999.999"},
        {'.', 5, "-80000", CellCheck::Invalid, "-80000"},
        {'.', 5, "-54321.6", CellCheck::Valid, "-54321.600"},
        // Longer than typing allows (9), but the form an upload writes a register's stocks in.
        {'.', 5, "-54321.600", CellCheck::Valid, "-54321.600"},
        {',', 5, "-79999,999", CellCheck::Valid, "-79999,999"},
        {'.', 5, "-54321.6000", CellCheck::Invalid, "-54321.6000"}, // not that form: too long
        {'.', 5, "0000000001", CellCheck::Invalid, "0000000001"},
        {'.', 4, "8", CellCheck::Valid, "8"},
        {'.', 4, "9", CellCheck::Invalid, "9"},
        {'.', 4, "0", CellCheck::Invalid, "0"},
        {'.', 4, "", CellCheck::Valid, "1"},
        {'.', 6, "100", CellCheck::Valid, "100"},
        {'.', 6, "007", CellCheck::Valid, "7"},
        {'.', 6, "101", CellCheck::Invalid, "101"},
        {'.', 7, "1.2.3", CellCheck::Valid, "1.2.3"}, // Quantity and Total stay as typed
        {'.', 8, "-", CellCheck::Valid, "-"},
    };
    for (const Case& c : cases) {
        SeparatorScope scope(c.separator);
        Tables t;
        t.plu.Cell(5, c.col) = c.typed;
        const CellCheck check = ValidatePLUCell(t.plu, t.dept, c.col, 5);
        EXPECT_EQ(check.result, c.result) << "col " << c.col << " '" << c.typed << "'";
        EXPECT_EQ(t.plu.Cell(5, c.col), c.stored) << "col " << c.col << " '" << c.typed << "'";
    }
}

TEST(Document, DuplicatesAreRefusedWithTheirMessages) {
    struct Case {
        const char* name;
        void (*prepare)(Tables&);
        bool plu; // check a PLU cell (else a department cell)
        int col, row;
        const char* message; // empty: valid
    } cases[] = {
        {"name repeat names the lowest other row",
         [](Tables& t) { t.plu.Cell(7, 2) = t.plu.Cell(3000, 2) = t.plu.Cell(12, 2) = "Milk"; },
         true, 2, 12, "PLU name repeat: No. 12 and No. 7"},
        {"rows after 3000 are not scanned",
         [](Tables& t) { t.plu.Cell(3001, 2) = t.plu.Cell(4, 2) = "Milk"; }, true, 2, 4, ""},
        {"row 3000 is scanned", [](Tables& t) { t.plu.Cell(3000, 2) = t.plu.Cell(4, 2) = "Milk"; },
         true, 2, 4, "PLU name repeat: No. 4 and No. 3000"},
        {"PLU name equal to a department",
         [](Tables& t) {
             t.plu.Cell(9, 2) = "Bread";
             t.dept.Cell(6, 1) = "Bread";
         },
         true, 2, 9, "PLU name and Dept name repeat: No. 9 and No. 6"},
        {"names differ in case",
         [](Tables& t) { t.plu.Cell(1, 2) = "milk", t.plu.Cell(2, 2) = "Milk"; }, true, 2, 2, ""},
        {"two empty names", [](Tables&) {}, true, 2, 2, ""},
        {"barcode compared as typed",
         [](Tables& t) { t.plu.Cell(2, 1) = "123", t.plu.Cell(3, 1) = "0123"; }, true, 1, 3, ""},
        {"barcode repeat", [](Tables& t) { t.plu.Cell(2, 1) = "123", t.plu.Cell(3, 1) = "123"; },
         true, 1, 3, "PLU BCode repeat: No. 3 and No. 2"},
        {"department repeat",
         [](Tables& t) { t.dept.Cell(2, 1) = "Food", t.dept.Cell(5, 1) = "Food"; }, false, 1, 5,
         "Dept name repeat: No. 5 and No. 2"},
        {"department equal to a PLU",
         [](Tables& t) { t.dept.Cell(2, 1) = "Food", t.plu.Cell(44, 2) = "Food"; }, false, 1, 2,
         "Dept name and PLU name repeat: No. 2 and No. 44"},
    };
    for (const Case& c : cases) {
        Tables t;
        c.prepare(t);
        const CellCheck check = c.plu ? ValidatePLUCell(t.plu, t.dept, c.col, c.row)
                                      : ValidateDeptCell(t.dept, t.plu, c.col, c.row);
        EXPECT_EQ(check.message, c.message) << c.name;
        EXPECT_EQ(check.result, *c.message ? CellCheck::Duplicate : CellCheck::Valid) << c.name;
    }
}

TEST(Document, DepartmentCells) {
    SeparatorScope scope('.');
    Tables t;
    t.dept.Cell(1, 2) = "9";
    EXPECT_TRUE(ValidateDeptCell(t.dept, t.plu, 2, 1).Ok());
    t.dept.Cell(1, 2) = "0";
    EXPECT_FALSE(ValidateDeptCell(t.dept, t.plu, 2, 1).Ok());
    t.dept.Cell(1, 3) = "1234567.8";
    EXPECT_TRUE(ValidateDeptCell(t.dept, t.plu, 3, 1).Ok()) << "no range limit";
    EXPECT_EQ(t.dept.Cell(1, 3), "1234567.80");
}

TEST(Document, RecyclingPrice) {
    struct Case {
        char separator;
        const char* typed;
        bool ok;
        const char* stored;
    } cases[] = {{',', "1,5", true, "1,50"},
                 {'.', "", true, "0.00"},
                 {'.', "-2", true, "-2.00"},
                 {'.', "123456789", false, "123456789"},
                 {'.', "1,5", false, "1,5"}};
    for (const Case& c : cases) {
        SeparatorScope scope(c.separator);
        std::string text = c.typed;
        EXPECT_EQ(ValidateRecyPrice(text).Ok(), c.ok) << c.typed;
        EXPECT_EQ(text, c.stored);
    }
}

TEST(Document, DefaultsPassTheirOwnChecksUnderACommaLocale) {
    SeparatorScope scope(',');
    Tables t;
    EXPECT_EQ(t.plu.Cell(1, 3), "0,00");
    EXPECT_EQ(t.plu.Cell(1, 5), "0,000");
    for (int col = 1; col <= 8; ++col)
        EXPECT_TRUE(ValidatePLUCell(t.plu, t.dept, col, 1).Ok()) << col;
    for (int col = 1; col <= 3; ++col)
        EXPECT_TRUE(ValidateDeptCell(t.dept, t.plu, col, 1).Ok()) << col;
    RecyTable recy;
    InitialRecyTable(recy);
    EXPECT_TRUE(ValidateRecyPrice(recy[0].price).Ok());
    EXPECT_EQ(recy[0].price, "0,00");
}

TEST(Document, MovingARowShiftsTheOthers) {
    TextTable t(5, 1, {""});
    for (int r = 1; r <= 5; ++r)
        t.Cell(r, 1) = std::to_string(r);
    t.MoveRow(1, 4);
    auto column = [&] {
        std::string s;
        for (int r = 1; r <= 5; ++r)
            s += t.Cell(r, 1);
        return s;
    };
    EXPECT_EQ(column(), "23415");
    t.MoveRow(5, 1);
    EXPECT_EQ(column(), "52341");
}

TEST(Document, FillTestDataGeneratesEveryRow) {
    SeparatorScope scope(',');
    Tables t;
    t.plu.Cell(8, 5) = "3,000";
    RecyTable recy;
    FillTestData(t.plu, t.dept, recy);
    EXPECT_EQ(t.plu.Cell(1, 1), "1234567800001");
    EXPECT_EQ(t.plu.Cell(30000, 1), "1234567830000");
    EXPECT_EQ(t.plu.Cell(30000, 2), "PLU-30000");
    EXPECT_EQ(t.plu.Cell(8, 4), "1");
    EXPECT_EQ(t.plu.Cell(7, 4), "8");
    EXPECT_EQ(t.plu.Cell(8, 3), "80,00");
    EXPECT_EQ(t.plu.Cell(8, 5), "3,000") << "stocks are left as they are";
    EXPECT_EQ(t.dept.Cell(8, 1), "Deptment-8");
    EXPECT_EQ(t.dept.Cell(8, 2), "9");
    EXPECT_EQ(t.dept.Cell(1, 2), "2");
    EXPECT_EQ(recy[99].price, "900,00");
}

} // namespace
