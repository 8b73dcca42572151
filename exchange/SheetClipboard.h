#pragma once
// Blocks of cells through the clipboard, in the form Calc and Excel put there and take: one line
// a row, ended by a line feed, fields separated by tabs, a field holding a tab, a line break or a
// quote in quotes. Pasting is all or nothing, every cell through the checks typing applies.

#include "SheetImport.h"

#include <string>
#include <vector>

// Cells of a table, rows and columns 1-based and inclusive, as the grids count them.
struct CellRect {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
    int Rows() const { return bottom - top + 1; }
    int Cols() const { return right - left + 1; }
    bool Contains(int row, int col) const {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
    bool operator==(const CellRect&) const = default;
};

QString CopyCells(const TextTable& table, const CellRect& block);

struct PasteProblem {
    int row = 0; // 0: the block as a whole
    int col = 0;
    QString value;
    QString reason;
};
// One line of what the user is told: PLU 12, Unit price "abc": not a number
QString PasteProblemText(SheetTable table, const PasteProblem& problem);

struct PastedCells {
    CellRect block;                     // the cells that change
    std::vector<std::string> cells;     // row by row, in the document's form
    std::vector<PasteProblem> problems; // in block order; when there is any, nothing changes
    bool Ok() const { return problems.empty(); }
};

// The clipboard's text as cells of `table` (whose kind is `kind`) from the top left of
// `target`; a single value fills the whole of `target`. An empty field or a missing one at the
// end of a line is the column's default, as an emptied cell is. Repeated names and barcodes are
// judged against the document as it would be: `other` is the department table when pasting PLU
// rows and the PLU table when pasting departments.
PastedCells PasteCells(SheetTable kind, const QString& text, const CellRect& target,
                       const TextTable& table, const TextTable& other);

void ApplyCells(TextTable& table, const PastedCells& pasted);
