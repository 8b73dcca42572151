#include "SheetClipboard.h"

#include "CodePage.h"
#include "DocumentCheck.h"

#include <QCoreApplication>

namespace {

const char* RowWord(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return QT_TRANSLATE_NOOP("Sheet", "PLU");
    case SheetTable::Department:
        return QT_TRANSLATE_NOOP("Sheet", "Department");
    default:
        return QT_TRANSLATE_NOOP("Sheet", "Entry");
    }
}

// Only names and barcodes can repeat: a block without them needs no look at the whole document.
bool MayRepeat(SheetTable kind, const CellRect& block) {
    switch (kind) {
    case SheetTable::PLU:
        return block.left <= 2;
    case SheetTable::Department:
        return block.left <= 1;
    default:
        return false;
    }
}

PastedCells Refused(QString reason) {
    PastedCells out;
    out.problems.push_back({0, 0, {}, std::move(reason)});
    return out;
}

} // namespace

QString CopyCells(const TextTable& table, const CellRect& block) {
    const CodePage& codePage = DocumentCodePage();
    QString text;
    text.reserve(block.Rows() * block.Cols() * 8);
    for (int r = block.top; r <= block.bottom; ++r) {
        for (int c = block.left; c <= block.right; ++c) {
            if (c > block.left)
                text += u'\t';
            const QString field = codePage.ToUnicode(table.Cell(r, c));
            if (field.contains(u'\t') || field.contains(u'\n') || field.contains(u'\r') ||
                field.contains(u'"')) {
                text += u'"';
                text += QString(field).replace(u'"', QStringLiteral("\"\""));
                text += u'"';
            } else {
                text += field;
            }
        }
        text += u'\n';
    }
    return text;
}

QString PasteProblemText(SheetTable table, const PasteProblem& problem) {
    if (problem.row == 0)
        return problem.reason;
    return QStringLiteral("%1 %2, %3 \"%4\": %5")
        .arg(QCoreApplication::translate("Sheet", RowWord(table)))
        .arg(problem.row)
        .arg(SheetColumnTitle(table, problem.col), problem.value, problem.reason);
}

PastedCells PasteCells(SheetTable kind, const QString& text, const CellRect& target,
                       const TextTable& table, const TextTable& other) {
    SheetDialect dialect;
    dialect.encoding = SheetEncoding::Utf8;
    dialect.separator = '\t';
    dialect.decimal = DecimalSeparator(); // as typing takes numbers
    const QByteArray utf8 = text.toUtf8();
    const SheetText sheet =
        ReadSheet(std::string_view(utf8.constData(), size_t(utf8.size())), dialect);
    if (!sheet.problems.empty())
        return Refused(sheet.problems.front().reason);
    if (sheet.Records() == 0)
        return Refused(QCoreApplication::translate("Sheet", "the clipboard holds no cells"));

    // Lines keep their places: an empty line between others is a row of emptied cells. A record
    // spans lines only where a quoted field holds a line break, which no cell takes.
    const int rows = sheet.Line(sheet.Records() - 1);
    int cols = 1;
    std::vector<int> recordOfLine(size_t(rows) + 1, -1);
    for (size_t i = 0; i < sheet.Records(); ++i) {
        recordOfLine[size_t(sheet.Line(i))] = int(i);
        cols = std::max(cols, sheet.Fields(i));
    }
    const bool fill = rows == 1 && cols == 1;
    PastedCells out;
    out.block =
        fill ? target
             : CellRect{target.top, target.left, target.top + rows - 1, target.left + cols - 1};
    if (out.block.right > table.Cols())
        return Refused(QCoreApplication::translate(
                           "Sheet", "%1 columns do not fit from %2 on: the table has %3 more")
                           .arg(cols)
                           .arg(SheetColumnTitle(kind, target.left))
                           .arg(table.Cols() - target.left + 1));
    if (out.block.bottom > table.Rows())
        return Refused(QCoreApplication::translate(
                           "Sheet", "%1 rows do not fit from %2 %3 on: the table ends at %4")
                           .arg(rows)
                           .arg(QCoreApplication::translate("Sheet", RowWord(kind)))
                           .arg(target.top)
                           .arg(table.Rows()));

    CellPreparer preparer(kind, dialect.decimal);
    const CellRect& block = out.block;
    out.cells.reserve(size_t(block.Rows()) * size_t(block.Cols()));
    std::vector<PasteProblem>& problems = out.problems;
    for (int r = 0; r < block.Rows(); ++r) {
        const int record = fill ? 0 : recordOfLine[size_t(r) + 1];
        for (int c = 0; c < block.Cols(); ++c) {
            const QStringView field =
                record < 0 ? QStringView() : sheet.Field(size_t(record), fill ? 0 : c);
            const int col = block.left + c;
            if (field.isEmpty()) {
                out.cells.push_back(table.Default(col));
                continue;
            }
            CellText cell = preparer.Prepare(col, field);
            // Numbers are trimmed before their check; a line break would still be no number.
            if (cell.Ok() && (field.contains(u'\n') || field.contains(u'\r')))
                cell.reason = QCoreApplication::translate("Sheet", "holds a line break");
            if (!cell.Ok() && problems.size() < MaxSheetProblems)
                problems.push_back({block.top + r, col, field.toString(), cell.reason});
            out.cells.push_back(std::move(cell.text));
        }
    }
    if (!problems.empty() || !MayRepeat(kind, block))
        return out;

    // Repeats against the document as it would be; a repeat elsewhere that the document already
    // had does not stop the paste.
    TextTable after = table;
    ApplyCells(after, out);
    RecyTable noRecy;
    InitialRecyTable(noRecy);
    const bool plu = kind == SheetTable::PLU;
    for (const CellProblem& found :
         CheckDocument(plu ? after : other, plu ? other : after, noRecy)) {
        if (found.table != (plu ? CellProblem::PLU : CellProblem::Department) ||
            !block.Contains(found.row, found.col) || found.value.empty())
            continue;
        problems.push_back({found.row, found.col, DocumentCodePage().ToUnicode(found.value),
                            QString::fromStdString(found.reason)});
        if (problems.size() >= MaxSheetProblems)
            break;
    }
    return out;
}

void ApplyCells(TextTable& table, const PastedCells& pasted) {
    const CellRect& block = pasted.block;
    size_t i = 0;
    for (int r = block.top; r <= block.bottom; ++r)
        for (int c = block.left; c <= block.right; ++c)
            table.Cell(r, c) = pasted.cells[i++];
}
