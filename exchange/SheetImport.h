#pragma once
// Spreadsheet rows into one of the document's tables. Columns are found by the header's names or
// by position; every cell goes through the checks typing applies and takes the document's form;
// all or nothing: either the new table or the list of problems. Pure: the caller decides what to
// do with the result.

#include "Document.h"
#include "SheetColumns.h"
#include "SheetText.h"

#include <optional>
#include <string>
#include <vector>

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
inline constexpr const char* NoNumberColumn =
    QT_TRANSLATE_NOOP("Sheet", "no number column to match rows by");

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
