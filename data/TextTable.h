#pragma once
// Rows of byte-string cells: the store of a grid's texts. Rows and columns are counted from 1,
// as PLU and department numbers are; the row number itself is not a cell.

#include <span>
#include <string>
#include <vector>

class TextTable {
public:
    TextTable(int rows, int cols, std::vector<std::string> defaults);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }

    const std::string& Cell(int row, int col) const { return cells_[Index(row, col)]; }
    std::string& Cell(int row, int col) { return cells_[Index(row, col)]; }
    const std::string& Default(int col) const { return defaults_[size_t(col - 1)]; }

    void ResetRows(int first, int last);
    void ResetCell(int row, int col) { Cell(row, col) = Default(col); }
    bool RowIsDefault(int row) const;
    // Moves the content of row `from` to row `to`; the rows between shift by one.
    void MoveRow(int from, int to);

private:
    size_t Index(int row, int col) const {
        return size_t(row - 1) * size_t(cols_) + size_t(col - 1);
    }

    int rows_;
    int cols_;
    std::vector<std::string> defaults_;
    std::vector<std::string> cells_;
};
