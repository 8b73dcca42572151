#include "SheetImport.h"

#include "CodePage.h"
#include "DocumentCheck.h"

#include <QHash>

#include <algorithm>
#include <span>
#include <unordered_map>

namespace {

struct Alias {
    int col;
    const char* name;
};
// Besides the grid's own titles; compared after NormalName.
constexpr Alias PLUAliases[] = {
    {0, "plu"},         {0, "number"},     {0, "no"},    {0, "plu number"}, {0, "plu no"},
    {1, "barcode"},     {1, "bar code"},   {1, "ean"},   {1, "gtin"},       {2, "name"},
    {2, "description"}, {3, "unit price"}, {3, "price"}, {4, "department"}, {4, "dept"},
    {5, "stocks"},      {5, "stock"},      {6, "flag"},  {7, "quantity"},   {8, "total"},
};
constexpr Alias DeptAliases[] = {
    {0, "number"}, {0, "no"},  {1, "name"},       {1, "description"},
    {2, "tax"},    {2, "vat"}, {3, "unit price"}, {3, "price"},
};
constexpr Alias RecyAliases[] = {{0, "number"}, {0, "no"}, {1, "package price"}, {1, "price"}};

std::span<const Alias> AliasesOf(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLUAliases;
    case SheetTable::Department:
        return DeptAliases;
    default:
        return RecyAliases;
    }
}

// "Unit_Price", "unit price" and "UNIT PRICE" are one name, as are "No." and "no".
QString NormalName(QStringView name) {
    QString n = name.toString().toCaseFolded();
    n.replace(u'_', u' ').replace(u'-', u' ');
    n = n.simplified();
    if (n.endsWith(u'.'))
        n.chop(1);
    return n;
}

QHash<QString, int> KnownNames(SheetTable table) {
    QHash<QString, int> known;
    // The titles first: a language file's title outranks an English alias of another column.
    auto add = [&](const QString& name, int col) {
        if (!known.contains(name))
            known.insert(name, col);
    };
    for (int col = 0; col <= SheetColumns(table); ++col)
        add(NormalName(SheetColumnTitle(table, col)), col);
    for (const Alias& alias : AliasesOf(table))
        add(QString::fromLatin1(alias.name), alias.col);
    return known;
}

const char* RowWord(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return "PLU";
    case SheetTable::Department:
        return "department";
    default:
        return "recycling entry";
    }
}

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
    reason = QStringLiteral("not a %1 number from 1 to %2")
                 .arg(QLatin1String(RowWord(table)))
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

CellPreparer::CellPreparer(SheetTable table, char decimal)
    : table_(table), decimal_(QLatin1Char(decimal)), scratch_(EmptyTable(table, 1)),
      noPLU_(EmptyTable(SheetTable::PLU, 0)), noDept_(EmptyTable(SheetTable::Department, 0)) {}

CellText CellPreparer::Prepare(int col, QStringView field) {
    CellText cell;
    const Kind kind = ColumnKind(table_, col);
    std::string bytes =
        kind == Kind::Text ? TextBytes(field, cell.reason) : NumberBytes(field, kind, cell.reason);
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
    } else if (int limit = MaxLength(table_, col); int(text.size()) > limit) {
        // -54321.6 is a valid stock that "%.3f" makes one character too long to keep.
        cell.reason = QStringLiteral("becomes %1, longer than %2 characters")
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
            reason = QStringLiteral("holds a tab, line break or other control character");
            return {};
        }
        if (c.unicode() < 0x80) {
            bytes += char(c.unicode());
        } else if (auto b = codePage.ByteFor(c)) {
            bytes += *b;
        } else {
            const qsizetype width = c.isHighSurrogate() && i + 1 < field.size() ? 2 : 1;
            reason = QStringLiteral("%1 is not in the code page %2")
                         .arg(field.sliced(i, width).toString(),
                              QString::fromStdString(codePage.Name()));
            return {};
        }
    }
    return bytes;
}

std::string CellPreparer::NumberBytes(QStringView field, SheetColumnKind kind,
                                      QString& reason) const {
    std::string bytes;
    int minus = 0, separators = 0;
    bool foreign = false;
    for (QChar c : field.trimmed()) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            bytes += char(u);
        } else if (kind == Kind::Number && c == decimal_) {
            bytes += DecimalSeparator();
            ++separators;
        } else if (kind == Kind::Number && (u == u'.' || u == u',')) {
            reason = QStringLiteral("holds %1 but the file's decimal separator is %2")
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
        reason = QStringLiteral("may hold digits only");
    else if (foreign || minus > 1 || separators > 1)
        reason = QStringLiteral("not a number");
    return bytes;
}

SheetColumnKind ColumnKind(SheetTable table, int col) {
    using enum SheetColumnKind;
    switch (table) {
    case SheetTable::PLU:
        return col == 2 ? Text : (col == 1 || col == 4 || col == 6) ? Digits : Number;
    case SheetTable::Department:
        return col == 1 ? Text : col == 2 ? Digits : Number;
    default:
        return Number;
    }
}

int SheetColumns(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLUColCount - 1;
    case SheetTable::Department:
        return DeptColCount - 1;
    default:
        return 1;
    }
}

int SheetRows(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return PLURowCount;
    case SheetTable::Department:
        return DeptRowCount;
    default:
        return RecyEntryCount;
    }
}

QString SheetColumnTitle(SheetTable table, int col) {
    const std::string& title = table == SheetTable::PLU          ? PLUTitles[size_t(col)]
                               : table == SheetTable::Department ? DeptTitles[size_t(col)]
                                                                 : RecyTitles[size_t(col)];
    return DocumentCodePage().ToUnicode(title);
}

QString ColumnMap::Name(int fileCol) const {
    if (fileCol >= 0 && size_t(fileCol) < names.size() && !names[size_t(fileCol)].isEmpty())
        return names[size_t(fileCol)];
    return QStringLiteral("column %1").arg(fileCol + 1);
}

ColumnMap MapColumns(const SheetText& sheet, SheetTable table, std::optional<bool> header) {
    ColumnMap map;
    map.table = table;
    map.fileColumn.assign(size_t(SheetColumns(table) + 1), -1);
    const QHash<QString, int> known = KnownNames(table);
    const bool any = sheet.Records() > 0;
    for (int fc = 0; any && !header && fc < sheet.Fields(0); ++fc)
        if (known.contains(NormalName(sheet.Field(0, fc))))
            header = true;
    map.header = any && header.value_or(false);
    if (map.header) {
        for (int fc = 0; fc < sheet.Fields(0); ++fc)
            map.names.push_back(sheet.Field(0, fc).toString());
        for (int fc = 0; fc < sheet.Fields(0); ++fc) {
            const QString& name = map.names[size_t(fc)];
            const int col = known.value(NormalName(name), -1);
            if (col < 0) {
                map.ignored.push_back(map.Name(fc));
            } else if (int& slot = map.fileColumn[size_t(col)]; slot >= 0) {
                map.problems.push_back(
                    {sheet.Line(0),
                     {},
                     {},
                     QStringLiteral("%1 names the same column as %2").arg(name, map.Name(slot))});
            } else {
                slot = fc;
            }
        }
    } else {
        size_t widest = 0;
        for (size_t r = 0; r < sheet.Records(); ++r)
            widest = std::max(widest, size_t(sheet.Fields(r)));
        // The recycling file begins with the entry's number, the grid files with their cells.
        const int offset = table == SheetTable::Recycling ? 0 : 1;
        for (size_t fc = 0; fc < widest; ++fc) {
            map.names.push_back(QStringLiteral("column %1").arg(fc + 1));
            if (int(fc) + offset <= SheetColumns(table))
                map.fileColumn[fc + size_t(offset)] = int(fc);
            else
                map.ignored.push_back(map.names.back());
        }
    }
    if (any && std::all_of(map.fileColumn.begin() + 1, map.fileColumn.end(),
                           [](int fc) { return fc < 0; }))
        map.problems.push_back(
            {map.header ? sheet.Line(0) : 0,
             {},
             {},
             QStringLiteral("no column of the %1 table").arg(QLatin1String(RowWord(table)))});
    return map;
}

CellText PrepareCell(SheetTable table, int col, QStringView field, char decimal) {
    return CellPreparer(table, decimal).Prepare(col, field);
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
    auto whole = [&](const char* reason) { problems.push_back({0, {}, {}, reason}); };
    if (sheet.Records() <= firstRow)
        whole("the file holds no rows");
    if (byBarcode && table != SheetTable::PLU)
        whole("only PLU rows have barcodes to match by");
    else if (byBarcode && barcodeCol < 0)
        whole("no barcode column to match rows by");
    else if (update && !byBarcode && keyCol < 0)
        whole("no number column to match rows by");
    if (!problems.empty())
        return result;

    const TextTable recyPrices =
        table == SheetTable::Recycling ? RecyPrices(recy) : EmptyTable(table, 0);
    const TextTable& before = table == SheetTable::PLU          ? plu
                              : table == SheetTable::Department ? dept
                                                                : recyPrices;
    const int rows = before.Rows();
    TextTable work = update ? before : EmptyTable(table, rows);
    CellPreparer preparer(table, sheet.dialect.decimal);

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
    int ordinal = 0;
    for (size_t i = firstRow; i < sheet.Records(); ++i) {
        if (problems.size() >= MaxSheetProblems)
            break;
        auto field = [&](int fc) { return sheet.Field(i, fc); };
        auto problem = [&](int fc, QString reason) {
            problems.push_back({sheet.Line(i), fc >= 0 ? map.Name(fc) : QString(),
                                field(fc).toString(), std::move(reason)});
        };
        QString reason;
        int row = 0;
        if (!update && keyCol < 0) {
            row = ++ordinal;
            if (row > rows) {
                problem(-1, QStringLiteral("more rows than the %1 table holds (%2)")
                                .arg(QLatin1String(RowWord(table)))
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
                problem(barcodeCol, QStringLiteral("no barcode to match"));
                continue;
            }
            if (auto it = barcodeRows.find(barcode.text); it != barcodeRows.end()) {
                row = it->second;
            } else if (!field(keyCol).trimmed().isEmpty()) {
                row = RowNumber(table, field(keyCol), reason);
                if (row > 0 && !work.RowIsDefault(row)) {
                    reason = QStringLiteral("PLU %1 already holds another item").arg(row);
                    row = 0;
                }
            } else {
                while (nextFree <= rows && !work.RowIsDefault(nextFree))
                    ++nextFree;
                if (nextFree > rows) {
                    problem(barcodeCol, QStringLiteral("no free PLU row left for a new item"));
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
            problem(keyCol, QStringLiteral("%1 %2 is already given on line %3")
                                .arg(QLatin1String(RowWord(table)))
                                .arg(row)
                                .arg(sheet.Line(size_t(earlier))));
            continue;
        }
        source[size_t(row)] = int(i);
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
        problems.push_back({0,
                            {},
                            {},
                            QStringLiteral("more problems follow; the first %1 are listed")
                                .arg(MaxSheetProblems)});
    }
    if (!problems.empty())
        return result;

    for (int r = 1; r <= rows; ++r) {
        const bool was = !before.RowIsDefault(r);
        const bool is = !work.RowIsDefault(r);
        if (table == SheetTable::Recycling)
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
