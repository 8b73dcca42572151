#include "TextTable.h"

#include <algorithm>

TextTable::TextTable(int rows, int cols, std::vector<std::string> defaults)
    : rows_(rows), cols_(cols), defaults_(std::move(defaults)),
      cells_(size_t(rows) * size_t(cols)) {
    ResetRows(1, rows);
}

void TextTable::ResetRows(int first, int last) {
    for (int r = first; r <= last; ++r)
        for (int c = 1; c <= cols_; ++c)
            Cell(r, c) = Default(c);
}

bool TextTable::RowIsDefault(int row) const {
    for (int c = 1; c <= cols_; ++c)
        if (Cell(row, c) != Default(c))
            return false;
    return true;
}

void TextTable::MoveRow(int from, int to) {
    if (from == to)
        return;
    auto rowBegin = [this](int r) { return cells_.begin() + long(Index(r, 1)); };
    if (from < to)
        std::rotate(rowBegin(from), rowBegin(from + 1), rowBegin(to + 1));
    else
        std::rotate(rowBegin(to), rowBegin(from), rowBegin(from + 1));
}
