#pragma once
// The document: the PLU table, the department table and the recycling table, all held as the
// texts the grids show, plus the modified flag and the current file name.

#include "Defs.h"
#include "TextTable.h"

#include <array>
#include <string>

struct RecyEntry {
    std::string number;
    std::string price;
};
using RecyTable = std::array<RecyEntry, RecyEntryCount>;

// Entry k gets the number k+1 and the price "0.00" (in the locale's form).
void InitialRecyTable(RecyTable& table);

TextTable MakePLUTable();
TextTable MakeDeptTable();

// The register's checks on one cell. Apply normalises the text in place when it is valid.
struct CellCheck {
    enum Result { Valid, Invalid, Duplicate } result = Valid;
    std::string message; // for Duplicate: one of the repeat messages
    // Why the cell fails, for lists of problems (typing only beeps): "longer than 18
    // characters", "not a whole number from 1 to 8", or the repeat message.
    std::string reason;
    bool Ok() const { return result == Valid; }
};

// Stocks keep three decimals; an upload's -54321.600 is one character longer than typing takes.
inline constexpr int PLUStocksColumn = 5;
CellCheck ValidatePLUCell(TextTable& plu, const TextTable& dept, int col, int row);
CellCheck ValidateDeptCell(TextTable& dept, const TextTable& plu, int col, int row);
// The package price of the recycling editor.
CellCheck ValidateRecyPrice(std::string& text);

// Generated values for trying the register: names, prices, barcodes, departments.
void FillTestData(TextTable& plu, TextTable& dept, RecyTable& recy);
