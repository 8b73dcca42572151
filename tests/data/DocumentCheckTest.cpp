#include "DocumentCheck.h"

#include <gtest/gtest.h>

namespace {

// A document with one problem of each kind among valid rows, including repeats across the
// 3000-row border and between the tables.
struct Doc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    Doc() {
        InitialRecyTable(recy);
        for (int r = 1; r <= 40; ++r) {
            plu.Cell(r, 1) = std::to_string(5900000000000LL + r);
            plu.Cell(r, 2) = "Item " + std::to_string(r);
            plu.Cell(r, 3) = "1.50";
        }
        plu.Cell(3, 1) = "12a";                        // not a number
        plu.Cell(4, 2) = "A name far too long for it"; // 26 bytes
        plu.Cell(5, 3) = "1000000";                    // above the price limit
        plu.Cell(6, 4) = "9";                          // department out of range
        plu.Cell(7, 5) = "-80000";                     // stocks out of range
        plu.Cell(8, 6) = "x";                          // flag
        plu.Cell(9, 2) = "Item 2";                     // name repeat
        plu.Cell(10, 1) = plu.Cell(11, 1);             // barcode repeat, both ways
        plu.Cell(3000, 2) = "Item 1";                  // inside the scanned rows
        plu.Cell(3001, 2) = "Item 12";                 // beyond them: repeats only one way
        plu.Cell(12, 2) = "Bakery";
        dept.Cell(2, 1) = "Bakery"; // department and PLU name
        dept.Cell(3, 1) = "Dairy";
        dept.Cell(4, 1) = "Dairy";
        dept.Cell(5, 2) = "0";
        recy[6].price = "1.2.3";
    }
};

// What typing each cell into the grid would say, one cell at a time; the cell's own text is
// put back after each check, which may have normalised it.
std::vector<CellProblem> CellByCell(const Doc& doc) {
    std::vector<CellProblem> problems;
    TextTable plu = doc.plu;
    TextTable dept = doc.dept;
    for (int r = 1; r <= plu.Rows(); ++r) {
        if (plu.RowIsDefault(r))
            continue;
        for (int c = 1; c <= plu.Cols(); ++c) {
            const CellCheck check = ValidatePLUCell(plu, dept, c, r);
            plu.Cell(r, c) = doc.plu.Cell(r, c);
            if (!check.Ok())
                problems.push_back({CellProblem::PLU, r, c, doc.plu.Cell(r, c), check.reason});
        }
    }
    for (int r = 1; r <= dept.Rows(); ++r)
        for (int c = 1; c <= dept.Cols(); ++c) {
            const CellCheck check = ValidateDeptCell(dept, plu, c, r);
            dept.Cell(r, c) = doc.dept.Cell(r, c);
            if (!check.Ok())
                problems.push_back(
                    {CellProblem::Department, r, c, doc.dept.Cell(r, c), check.reason});
        }
    for (int k = 0; k < RecyEntryCount; ++k) {
        std::string price = doc.recy[size_t(k)].price;
        const CellCheck check = ValidateRecyPrice(price);
        if (!check.Ok())
            problems.push_back(
                {CellProblem::Recycling, k + 1, 2, doc.recy[size_t(k)].price, check.reason});
    }
    return problems;
}

std::string Describe(const std::vector<CellProblem>& problems) {
    std::string text;
    for (const CellProblem& p : problems)
        text += std::to_string(int(p.table)) + ":" + std::to_string(p.row) + ":" +
                std::to_string(p.col) + " [" + p.value + "] " + p.reason + "\n";
    return text;
}

TEST(DocumentCheck, FindsWhatTypingEachCellWouldRefuse) {
    const Doc doc;
    const std::vector<CellProblem> problems = CheckDocument(doc.plu, doc.dept, doc.recy);
    EXPECT_EQ(Describe(problems), Describe(CellByCell(doc)));
    EXPECT_EQ(problems.size(), 18u) << Describe(problems);
    auto reasonAt = [&](int row, int col) {
        for (const CellProblem& p : problems)
            if (p.table == CellProblem::PLU && p.row == row && p.col == col)
                return p.reason;
        return std::string();
    };
    EXPECT_EQ(reasonAt(3, 1), "not a whole number");
    EXPECT_EQ(reasonAt(4, 2), "longer than 18 characters");
    EXPECT_EQ(reasonAt(5, 3), "above 999999.99");
    EXPECT_EQ(reasonAt(7, 5), "outside -79999.999 to 79999.999");
    EXPECT_EQ(reasonAt(3001, 2), "") << "row 12 is not repeated by a row beyond 3000";
}

TEST(DocumentCheck, ACleanDocumentHasNoProblems) {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FillTestData(plu, dept, recy);
    EXPECT_EQ(Describe(CheckDocument(plu, dept, recy)), "");
}

} // namespace
