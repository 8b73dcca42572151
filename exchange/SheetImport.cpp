#include "SheetImport.h"

#include "CodePage.h"
#include "DocumentCheck.h"

#include <QCoreApplication>

#include <algorithm>
#include <unordered_map>

namespace {

using Kind = SheetColumnKind;

int MaxLength(SheetTable table, int col) {
    switch (table) {
    case SheetTable::PLU:
        return PLUMaxLen[size_t(col)];
    case SheetTable::Department:
        return DeptMaxLen[size_t(col)];
    default:
        return RecyMaxLen[size_t(col)];
    }
}

// The decimals a number cell keeps after its check; -1 where the cell stays as typed.
int KeptDecimals(SheetTable table, int col) {
    switch (table) {
    case SheetTable::PLU:
        return col == 3 ? 2 : col == 5 ? 3 : -1;
    case SheetTable::Department:
        return col == 3 ? 2 : -1;
    default:
        return 2;
    }
}

TextTable EmptyTable(SheetTable table, int rows) {
    std::vector<std::string> defaults;
    switch (table) {
    case SheetTable::PLU:
        for (const char* text : PLUDefaults)
            defaults.push_back(LocaleDefault(text));
        break;
    case SheetTable::Department:
        for (const char* text : DeptDefaults)
            defaults.push_back(LocaleDefault(text));
        break;
    default:
        defaults.push_back(LocaleDefault(RecyDefaults[1]));
    }
    const int cols = int(defaults.size()); // before the vector moves into the table
    return TextTable(rows, cols, std::move(defaults));
}

// The recycling prices as a one-column table, so the import handles the three tables alike.
TextTable RecyPrices(const RecyTable& recy) {
    TextTable prices = EmptyTable(SheetTable::Recycling, RecyEntryCount);
    for (int k = 0; k < RecyEntryCount; ++k)
        prices.Cell(k + 1, 1) = recy[size_t(k)].price;
    return prices;
}

// The row a number field names; 0 with a reason when it names none.
int RowNumber(SheetTable table, QStringView field, QString& reason) {
    const QStringView digits = field.trimmed();
    bool ok = !digits.isEmpty() && digits.size() <= 6;
    for (QChar c : digits)
        ok = ok && c >= u'0' && c <= u'9';
    const int row = ok ? digits.toInt() : 0;
    if (row >= 1 && row <= SheetRows(table))
        return row;
    reason = QCoreApplication::translate("Sheet", "not a %1 number from 1 to %2")
                 .arg(QCoreApplication::translate("Sheet", SheetRowWord(table)))
                 .arg(SheetRows(table));
    return 0;
}

bool RowsDiffer(const TextTable& a, const TextTable& b, int row) {
    for (int c = 1; c <= a.Cols(); ++c)
        if (a.Cell(row, c) != b.Cell(row, c))
            return true;
    return false;
}

} // namespace

CellPreparer::CellPreparer(SheetTable table, char decimal, bool exact)
    : table_(table), decimal_(QLatin1Char(decimal)), exact_(exact), scratch_(EmptyTable(table, 1)),
      noPLU_(EmptyTable(SheetTable::PLU, 0)), noDept_(EmptyTable(SheetTable::Department, 0)) {}

CellText CellPreparer::Prepare(int col, QStringView field) {
    CellText cell;
    const Kind kind = ColumnKind(table_, col);
    std::string bytes =
        kind == Kind::Text ? TextBytes(field, cell.reason) : NumberBytes(field, col, cell.reason);
    if (!cell.Ok())
        return cell;
    // Shop systems write GTIN-14 with a leading zero; the document keeps the number.
    if (table_ == SheetTable::PLU && col == 1 && bytes.size() > 1 && bytes[0] == '0') {
        bytes = StripLeadingChar(bytes, '0');
        if (bytes.empty())
            bytes = "0";
    }
    std::string& text = scratch_.Cell(1, col);
    text = std::move(bytes);
    const CellCheck check = table_ == SheetTable::PLU ? ValidatePLUCell(scratch_, noDept_, col, 1)
                            : table_ == SheetTable::Department
                                ? ValidateDeptCell(scratch_, noPLU_, col, 1)
                                : ValidateRecyPrice(text);
    if (!check.Ok()) {
        cell.reason = QString::fromStdString(check.reason);
    } else if (int limit = MaxLength(table_, col);
               int(text.size()) > limit && !(table_ == SheetTable::PLU && col == PLUStocksColumn)) {
        // Stocks in their three-decimal form may be one character longer than typing takes
        // (-54321.600), as an upload writes them; other cells must fit.
        cell.reason = QCoreApplication::translate("Sheet", "becomes %1, longer than %2 characters")
                          .arg(QString::fromStdString(text))
                          .arg(limit);
    } else {
        cell.text = std::move(text);
    }
    return cell;
}

std::string CellPreparer::TextBytes(QStringView field, QString& reason) {
    const CodePage& codePage = DocumentCodePage();
    std::string bytes;
    bytes.reserve(size_t(field.size()));
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        // A tab or line break would split the row in the document's own files.
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            reason = QCoreApplication::translate(
                "Sheet", "holds a tab, line break or other control character");
            return {};
        }
        if (c.unicode() < 0x80) {
            bytes += char(c.unicode());
        } else if (auto b = codePage.ByteFor(c)) {
            bytes += *b;
        } else {
            const qsizetype width = c.isHighSurrogate() && i + 1 < field.size() ? 2 : 1;
            reason = QCoreApplication::translate("Sheet", "%1 is not in the code page %2")
                         .arg(field.sliced(i, width).toString(),
                              QString::fromStdString(codePage.Name()));
            return {};
        }
    }
    return bytes;
}

std::string CellPreparer::NumberBytes(QStringView field, int col, QString& reason) const {
    const Kind kind = ColumnKind(table_, col);
    std::string bytes;
    int minus = 0, separators = 0;
    int decimals = 0; // up to the last one that is not 0
    bool foreign = false;
    for (QChar c : field.trimmed()) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            bytes += char(u);
            if (separators > 0 && u != u'0')
                decimals = int(bytes.size() - bytes.rfind(DecimalSeparator()) - 1);
        } else if (kind == Kind::Number && c == decimal_) {
            bytes += DecimalSeparator();
            ++separators;
        } else if (kind == Kind::Number && (u == u'.' || u == u',')) {
            reason = QCoreApplication::translate("Sheet",
                                                 "holds %1 but the file's decimal separator is %2")
                         .arg(c)
                         .arg(decimal_);
            return {};
        } else if (kind == Kind::Number && u == u'-') {
            bytes += '-';
            ++minus;
        } else {
            foreign = true;
            break;
        }
    }
    if (kind == Kind::Digits && foreign)
        reason = QCoreApplication::translate("Sheet", "may hold digits only");
    else if (foreign || minus > 1 || separators > 1)
        reason = QCoreApplication::translate("Sheet", "not a number");
    else if (const int kept = KeptDecimals(table_, col); exact_ && kept >= 0 && decimals > kept)
        // "1,299" may be a thousand written with a group separator: never make it 1.30.
        reason = QCoreApplication::translate("Sheet", "%1 decimals where the column keeps %2")
                     .arg(decimals)
                     .arg(kept);
    return bytes;
}

CellText PrepareCell(SheetTable table, int col, QStringView field, char decimal, bool exact) {
    return CellPreparer(table, decimal, exact).Prepare(col, field);
}

ImportResult ImportSheet(const SheetText& sheet, const ColumnMap& map, const ImportOptions& options,
                         const TextTable& plu, const TextTable& dept, const RecyTable& recy) {
    ImportResult result;
    std::vector<SheetProblem>& problems = result.problems;
    problems = sheet.problems;
    problems.insert(problems.end(), map.problems.begin(), map.problems.end());
    const SheetTable table = map.table;
    const bool update = options.mode == ImportMode::Update;
    const bool byBarcode = update && options.by == MatchBy::Barcode;
    const int keyCol = map.fileColumn[0];
    const int barcodeCol = table == SheetTable::PLU ? map.fileColumn[1] : -1;
    const size_t firstRow = map.header ? 1 : 0;
    auto whole = [&](const char* reason) {
        problems.push_back({0, {}, {}, QCoreApplication::translate("Sheet", reason)});
    };
    if (sheet.Records() <= firstRow)
        whole(QT_TRANSLATE_NOOP("Sheet", "the file holds no rows"));
    if (byBarcode && table != SheetTable::PLU)
        whole(QT_TRANSLATE_NOOP("Sheet", "only PLU rows have barcodes to match by"));
    else if (byBarcode && barcodeCol < 0)
        whole(QT_TRANSLATE_NOOP("Sheet", "no barcode column to match rows by"));
    else if (update && !byBarcode && keyCol < 0)
        whole(NoNumberColumn);
    if (!problems.empty())
        return result;

    const TextTable recyPrices =
        table == SheetTable::Recycling ? RecyPrices(recy) : EmptyTable(table, 0);
    const TextTable& before = table == SheetTable::PLU          ? plu
                              : table == SheetTable::Department ? dept
                                                                : recyPrices;
    const int rows = before.Rows();
    TextTable work = update ? before : EmptyTable(table, rows);
    CellPreparer preparer(table, sheet.dialect.decimal, true);

    // Document barcodes in their stored form; the first row wins, as in the repeat check.
    std::unordered_map<std::string, int> barcodeRows;
    int nextFree = rows;
    if (byBarcode) {
        for (int r = 1; r <= rows; ++r)
            if (!before.Cell(r, 1).empty()) {
                auto value = ParseInt64(before.Cell(r, 1));
                barcodeRows.emplace(value ? std::to_string(*value) : before.Cell(r, 1), r);
            }
        while (nextFree > 0 && before.RowIsDefault(nextFree))
            --nextFree;
        ++nextFree;
    }

    std::vector<int> source(size_t(rows) + 1, -1); // the record that wrote each row
    // Rows numbered by their place count blank lines too, as a paste does: a blank line is an
    // empty row, not a reason for the rows below it to move up.
    const int firstPosition = map.header ? sheet.Position(0) + 1 : 0;
    for (size_t i = firstRow; i < sheet.Records(); ++i) {
        if (problems.size() >= MaxSheetProblems)
            break;
        auto field = [&](int fc) { return sheet.Field(i, fc); };
        auto problem = [&](int fc, QString reason) {
            problems.push_back({sheet.Line(i), fc >= 0 ? map.Name(fc) : QString(),
                                field(fc).toString(), std::move(reason)});
        };
        // A decimal comma in a comma-separated file makes one field two: "Milk,2,50".
        if (map.header) {
            int last = sheet.Fields(i) - 1;
            while (last >= map.FileColumns() && field(last).isEmpty())
                --last;
            if (last >= map.FileColumns()) {
                problem(-1,
                        QCoreApplication::translate("Sheet", "%1 fields where the header has %2")
                            .arg(last + 1)
                            .arg(map.FileColumns()));
                continue;
            }
        }
        QString reason;
        int row = 0;
        if (!update && keyCol < 0) {
            row = sheet.Position(i) - firstPosition + 1;
            if (row > rows) {
                problem(-1, QCoreApplication::translate("Sheet",
                                                        "more rows than the %1 table holds (%2)")
                                .arg(QCoreApplication::translate("Sheet", SheetRowWord(table)))
                                .arg(rows));
                break;
            }
        } else if (!byBarcode) {
            row = RowNumber(table, field(keyCol), reason);
        } else {
            CellText barcode = preparer.Prepare(1, field(barcodeCol));
            if (!barcode.Ok()) {
                problem(barcodeCol, barcode.reason);
                continue;
            }
            if (barcode.text.empty()) {
                problem(barcodeCol, QCoreApplication::translate("Sheet", "no barcode to match"));
                continue;
            }
            if (auto it = barcodeRows.find(barcode.text); it != barcodeRows.end()) {
                row = it->second;
            } else if (!field(keyCol).trimmed().isEmpty()) {
                row = RowNumber(table, field(keyCol), reason);
                if (row > 0 && !work.RowIsDefault(row)) {
                    reason =
                        QCoreApplication::translate("Sheet", "PLU %1 already holds another item")
                            .arg(row);
                    row = 0;
                }
            } else {
                while (nextFree <= rows && !work.RowIsDefault(nextFree))
                    ++nextFree;
                if (nextFree > rows) {
                    problem(barcodeCol, QCoreApplication::translate(
                                            "Sheet", "no free PLU row left for a new item"));
                    continue;
                }
                row = nextFree++;
            }
        }
        if (row == 0) {
            problem(keyCol, reason);
            continue;
        }
        if (int earlier = source[size_t(row)]; earlier >= 0) {
            problem(keyCol,
                    QCoreApplication::translate("Sheet", "%1 %2 is already given on line %3")
                        .arg(QCoreApplication::translate("Sheet", SheetRowWord(table)))
                        .arg(row)
                        .arg(sheet.Line(size_t(earlier))));
            continue;
        }
        source[size_t(row)] = int(i);
        ++result.placed;
        for (int c = 1; c <= work.Cols(); ++c) {
            const int fc = map.fileColumn[size_t(c)];
            if (fc < 0 || (update && field(fc).isEmpty()))
                continue;
            CellText cell = preparer.Prepare(c, field(fc));
            if (cell.Ok())
                work.Cell(row, c) = std::move(cell.text);
            else
                problem(fc, std::move(cell.reason));
        }
    }

    // Repeats against the whole document as it would be: only those of cells the file wrote
    // count, so a problem the document already had elsewhere does not block the import.
    if (problems.empty() && table != SheetTable::Recycling) {
        const bool isPLU = table == SheetTable::PLU;
        for (const CellProblem& found :
             CheckDocument(isPLU ? work : plu, isPLU ? dept : work, recy)) {
            if (found.table != (isPLU ? CellProblem::PLU : CellProblem::Department))
                continue;
            const int index = source[size_t(found.row)];
            const int fc = map.fileColumn[size_t(found.col)];
            if (index < 0 || fc < 0)
                continue;
            const QStringView value = sheet.Field(size_t(index), fc);
            if (update && value.isEmpty())
                continue;
            problems.push_back({sheet.Line(size_t(index)), map.Name(fc), value.toString(),
                                QString::fromStdString(found.reason)});
            if (problems.size() >= MaxSheetProblems)
                break;
        }
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const SheetProblem& a, const SheetProblem& b) { return a.line < b.line; });
    if (problems.size() >= MaxSheetProblems) {
        problems.resize(MaxSheetProblems);
        problems.push_back(
            {0,
             {},
             {},
             QCoreApplication::translate("Sheet", "more problems follow; the first %1 are listed")
                 .arg(MaxSheetProblems)});
    }
    if (!problems.empty())
        return result;

    for (int r = 1; r <= rows; ++r) {
        const bool was = !before.RowIsDefault(r);
        const bool is = !work.RowIsDefault(r);
        if (table == SheetTable::Recycling && !(was && !is))
            result.changed += RowsDiffer(before, work, r) ? 1 : 0;
        else if (!was && is)
            ++result.added;
        else if (was && !is)
            ++result.removed;
        else if (was && RowsDiffer(before, work, r))
            ++result.changed;
    }
    switch (table) {
    case SheetTable::PLU:
        result.plu = std::move(work);
        break;
    case SheetTable::Department:
        result.dept = std::move(work);
        break;
    case SheetTable::Recycling: {
        RecyTable entries = recy;
        if (!update)
            InitialRecyTable(entries);
        for (int k = 0; k < RecyEntryCount; ++k)
            entries[size_t(k)].price = work.Cell(k + 1, 1);
        result.recy = entries;
        break;
    }
    }
    return result;
}
