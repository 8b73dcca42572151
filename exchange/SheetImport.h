#pragma once
// Spreadsheet rows into one of the document's tables. Columns are found by the header's names or
// by position; every cell goes through the checks typing applies and takes the document's form;
// all or nothing: either the new table or the list of problems. Pure: the caller decides what to
// do with the result.

#include "Document.h"
#include "SheetText.h"

#include <optional>
#include <string>
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

enum class ImportMode {
    Replace, // the file's rows become the table: at their number column, else rows 1 to n
    Update,  // only the rows the file names change, and only in its non-empty cells
};
// How update mode finds a file row's table row; replace mode places rows by number or order.
enum class MatchBy {
    Number,  // the number column names the row
    Barcode, // PLU only: the row with that barcode; a new one goes to its number column's row
             // when there is one, else after the last used row
};
struct ImportOptions {
    ImportMode mode = ImportMode::Update; // replace empties rows, so it is asked for
    MatchBy by = MatchBy::Number;
};

struct ImportResult {
    std::vector<SheetProblem> problems; // by line; when there is any, no table is filled
    // The imported table; the document's other tables are not touched.
    std::optional<TextTable> plu;
    std::optional<TextTable> dept;
    std::optional<RecyTable> recy;
    int added = 0;   // rows that were empty (all defaults) and now hold something
    int changed = 0; // rows that held something and now hold something else
    int removed = 0; // rows that held something and are now empty (replace mode)
    int placed = 0;  // rows the file gives
    bool Ok() const { return problems.empty(); }
};

inline constexpr size_t MaxSheetProblems = 1000;
// Update by number of a file without a number column.
inline constexpr const char* NoNumberColumn = "no number column to match rows by";

ImportResult ImportSheet(const SheetText& sheet, const ColumnMap& map, const ImportOptions& options,
                         const TextTable& plu, const TextTable& dept, const RecyTable& recy);

// One field as a cell of the table's column: the characters typing would take (digits, one
// minus sign, one decimal separator, no control characters), the file's decimal separator
// turned into the document's, the code page's bytes, then the cell's own check, which
// normalises. Repeats are not looked for: they depend on the whole document. With `exact`, a
// number with more decimals than its cell keeps is refused instead of rounded as typing does.
struct CellText {
    std::string text; // the cell in the document's form
    QString reason;   // why the field cannot be the cell; empty when it can
    bool Ok() const { return reason.isEmpty(); }
};
CellText PrepareCell(SheetTable table, int col, QStringView field, char decimal,
                     bool exact = false);

// PrepareCell for many fields of one table: runs the grid's own checks on a one-row scratch
// table made once, so the rules cannot drift apart; the empty other tables make them look for
// no repeats.
class CellPreparer {
public:
    CellPreparer(SheetTable table, char decimal, bool exact = false);
    CellText Prepare(int col, QStringView field);

private:
    static std::string TextBytes(QStringView field, QString& reason);
    std::string NumberBytes(QStringView field, int col, QString& reason) const;

    SheetTable table_;
    QChar decimal_;
    bool exact_;
    TextTable scratch_;
    const TextTable noPLU_;
    const TextTable noDept_;
};
