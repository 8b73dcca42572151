#pragma once
// Every cell of a document through the checks typing applies (lengths, numbers, ranges and the
// repeat rules), in one list: what a download would send that the grids would not have taken.

#include "Document.h"

#include <string>
#include <vector>

struct CellProblem {
    enum Table { PLU, Department, Recycling } table = PLU;
    int row = 0; // PLU or department number, or recycling entry 1 to 100
    int col = 0; // the grid's column, 1-based; recycling prices are column 2
    std::string value;
    std::string reason; // CellCheck::reason
};

// Each cell is judged against the others as they stand, as if the user had just typed it; the
// problems come table by table, row by row, column by column.
std::vector<CellProblem> CheckDocument(const TextTable& plu, const TextTable& dept,
                                       const RecyTable& recy);
