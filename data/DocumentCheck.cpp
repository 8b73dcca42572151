#include "DocumentCheck.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>

namespace {

// The rows of a column's texts among the first `rows`, in order: ValidateCell names the first
// other row with the same text, and only the first two rows of a text can be that row.
class TextIndex {
public:
    TextIndex(const TextTable& table, int col, int rows) {
        rows_.reserve(size_t(rows));
        for (int r = 1; r <= rows; ++r) {
            auto& found = rows_[table.Cell(r, col)];
            if (found.second == 0)
                (found.first == 0 ? found.first : found.second) = r;
        }
    }
    // The first row other than `row` holding text; 0 when there is none.
    int OtherRow(std::string_view text, int row) const {
        auto it = rows_.find(text);
        if (it == rows_.end())
            return 0;
        return it->second.first != row ? it->second.first : it->second.second;
    }

private:
    std::unordered_map<std::string_view, std::pair<int, int>> rows_;
};

// Duplicate checks go through the indexes; every other rule through ValidateCell's own code on
// a one-row scratch table, so the two cannot drift apart.
class Checker {
public:
    Checker(const TextTable& plu, const TextTable& dept)
        : plu_(plu), dept_(dept), pluNames_(plu, 2, std::min(DuplicateScanRows, plu.Rows())),
          barcodes_(plu, 1, std::min(DuplicateScanRows, plu.Rows())),
          deptNames_(dept, 1, dept.Rows()), pluScratch_(OneRow(plu)), deptScratch_(OneRow(dept)) {}

    CellCheck PluCell(int row, int col) {
        const std::string& text = plu_.Cell(row, col);
        pluScratch_.Cell(1, col) = text;
        CellCheck check = ValidatePLUCell(pluScratch_, noDept_, col, 1);
        if (!check.Ok() || text.empty())
            return check;
        if (col == 1) {
            if (int other = barcodes_.OtherRow(text, row))
                return Repeat("PLU BCode repeat: No. %d and No. %d", row, other);
        } else if (col == 2) {
            if (int other = pluNames_.OtherRow(text, row))
                return Repeat("PLU name repeat: No. %d and No. %d", row, other);
            if (int other = deptNames_.OtherRow(text, 0))
                return Repeat("PLU name and Dept name repeat: No. %d and No. %d", row, other);
        }
        return check;
    }

    CellCheck DeptCell(int row, int col) {
        const std::string& text = dept_.Cell(row, col);
        deptScratch_.Cell(1, col) = text;
        CellCheck check = ValidateDeptCell(deptScratch_, noPlu_, col, 1);
        if (!check.Ok() || text.empty() || col != 1)
            return check;
        if (int other = deptNames_.OtherRow(text, row))
            return Repeat("Dept name repeat: No. %d and No. %d", row, other);
        if (int other = pluNames_.OtherRow(text, 0))
            return Repeat("Dept name and PLU name repeat: No. %d and No. %d", row, other);
        return check;
    }

private:
    static TextTable OneRow(const TextTable& table) {
        std::vector<std::string> defaults;
        for (int c = 1; c <= table.Cols(); ++c)
            defaults.push_back(table.Default(c));
        return TextTable(1, table.Cols(), std::move(defaults));
    }

    static CellCheck Repeat(const char* format, int row, int other) {
        char text[96];
        std::snprintf(text, sizeof text, format, row, other);
        return {CellCheck::Duplicate, text, text};
    }

    const TextTable& plu_;
    const TextTable& dept_;
    TextIndex pluNames_;
    TextIndex barcodes_;
    TextIndex deptNames_;
    TextTable pluScratch_;
    TextTable deptScratch_;
    // A one-row scratch table repeats nothing; the indexes find the repeats.
    const TextTable noDept_{0, DeptColCount - 1, std::vector<std::string>(DeptColCount - 1)};
    const TextTable noPlu_{0, PLUColCount - 1, std::vector<std::string>(PLUColCount - 1)};
};

} // namespace

std::vector<CellProblem> CheckDocument(const TextTable& plu, const TextTable& dept,
                                       const RecyTable& recy) {
    std::vector<CellProblem> problems;
    Checker checker(plu, dept);
    auto note = [&](CellProblem::Table table, int row, int col, const std::string& value,
                    const CellCheck& check) {
        if (!check.Ok())
            problems.push_back({table, row, col, value, check.reason});
    };
    for (int row = 1; row <= plu.Rows(); ++row) {
        if (plu.RowIsDefault(row))
            continue;
        for (int col = 1; col <= plu.Cols(); ++col)
            note(CellProblem::PLU, row, col, plu.Cell(row, col), checker.PluCell(row, col));
    }
    for (int row = 1; row <= dept.Rows(); ++row)
        for (int col = 1; col <= dept.Cols(); ++col)
            note(CellProblem::Department, row, col, dept.Cell(row, col),
                 checker.DeptCell(row, col));
    for (int k = 0; k < RecyEntryCount; ++k) {
        std::string price = recy[size_t(k)].price;
        note(CellProblem::Recycling, k + 1, 2, recy[size_t(k)].price, ValidateRecyPrice(price));
    }
    return problems;
}
