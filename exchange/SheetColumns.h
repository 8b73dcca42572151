#pragma once
// The document's tables as spreadsheet files see them, and which column of a file feeds which
// column of a table: by the header's names (in English, Polish or German), by position, or as
// the user chose.

#include "SheetText.h"

#include <optional>
#include <vector>

enum class SheetTable { PLU, Department, Recycling };

// Columns of a table as the import and export see them: 0 is the row's number (PLU number,
// department number, recycling entry number), 1 to SheetColumns() the cells, as in the grids.
int SheetColumns(SheetTable table);
int SheetRows(SheetTable table);
QString SheetColumnTitle(SheetTable table, int col);
// What typing takes in a column: any text (names), digits (barcode, department, flag, tax) or a
// number with the locale's decimal separator (prices, stocks, quantity, total).
enum class SheetColumnKind { Text, Digits, Number };
SheetColumnKind ColumnKind(SheetTable table, int col);

// Which file column feeds which table column.
struct ColumnMap {
    SheetTable table = SheetTable::PLU;
    bool header = false; // the first record names the columns and is no row
    // For each table column 0 to SheetColumns(table), the 0-based file column, or -1.
    std::vector<int> fileColumn;
    // For each file column, the table column it feeds, or -1.
    std::vector<int> feeds;
    std::vector<QString> names;         // of each file column: its header text, or "column 3"
    std::vector<QString> ignored;       // file columns that feed no table column
    std::vector<SheetProblem> problems; // a column named twice, no column of the table at all

    int FileColumns() const { return int(names.size()); }
    // What the user calls a file column: its header text, else the title of the table column
    // it feeds, else "column 3".
    QString Name(int fileCol) const;
};

// For each file column, the table column it feeds (0 to SheetColumns), or -1 to ignore it.
using ColumnChoice = std::vector<int>;

// By `chosen` when given. Otherwise by the header's names when the first record holds one of
// the table's column names (the grid's titles and the usual others in English, Polish and
// German: EAN, Kod, Nazwa, Preis, Dział...; without regard to case or accents), or when
// `header` says so; otherwise by position, in the order of the table's own document file
// (.PLU: Barcode, Name, ...; .DEP: Name, Tax, Unit price; .RCY: No., Package price).
ColumnMap MapColumns(const SheetText& sheet, SheetTable table, std::optional<bool> header = {},
                     const std::optional<ColumnChoice>& chosen = {});

// The table column a name stands for, as a header would name it; -1 when none.
int ColumnNamed(SheetTable table, QStringView name);
// A header's text as names are compared: "Ilość", "ILOSC" and " ilosc " are one name.
QString FoldedName(QStringView name);

// "PLU", "department" or "recycling entry": what one row of the table is.
const char* SheetRowWord(SheetTable table);
