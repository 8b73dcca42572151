// The file commands: the document's own check, spreadsheets in and out.
#include "CommandSupport.h"

#include "Counted.h"
#include "DocumentCheck.h"
#include "DocumentFile.h"
#include "SheetExport.h"
#include "SheetImport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <cerrno>
#include <unistd.h>

int commands::Check(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    const std::vector<CellProblem> problems = CheckDocument(doc.plu, doc.dept, doc.recy);
    QJsonArray list;
    for (const CellProblem& p : problems) {
        std::string file = path;
        QString title;
        switch (p.table) {
        case CellProblem::PLU:
            title = Readable(PLUTitles[size_t(p.col)]);
            break;
        case CellProblem::Department:
            file = WithExtension(path, ".DEP");
            title = Readable(DeptTitles[size_t(p.col)]);
            break;
        case CellProblem::Recycling:
            file = WithExtension(path, ".RCY");
            title = Readable(RecyTitles[1]);
            break;
        }
        const QString reason =
            title + " \"" + Readable(p.value) + "\": " + QString::fromStdString(p.reason);
        if (output.Json())
            output.Event({{"event", "problem"},
                          {"file", Local(file)},
                          {"row", p.row},
                          {"column", p.col},
                          {"value", Readable(p.value)},
                          {"reason", QString::fromStdString(p.reason)}});
        else
            output.Data(QString("%1:%2:%3: %4\n")
                            .arg(Local(file))
                            .arg(p.row)
                            .arg(p.col)
                            .arg(reason)
                            .toUtf8());
    }
    if (problems.empty())
        return output.Finish(ExitDone, {{"problems", 0}});
    output.Note(
        PluralOr(
            QT_TRANSLATE_N_NOOP("Plural", "%n problems in %1."), qint64(problems.size()),
            QString("%1 problem%2 in ").arg(problems.size()).arg(problems.size() == 1 ? "" : "s") +
                "%1.")
            .arg(Local(path)));
    return output.Finish(ExitProblems, {{"problems", int(problems.size())}});
}

namespace {

// --map's names as table columns; nullopt with the reason when one names none or two feed one.
std::optional<ColumnChoice> ChosenColumns(const std::vector<std::pair<int, std::string>>& pairs,
                                          SheetTable table, QString& why) {
    ColumnChoice chosen;
    for (const auto& [column, name] : pairs) {
        const QString text = QString::fromLocal8Bit(name);
        const QString folded = FoldedName(text);
        const bool ignore = folded == "ignore" || folded == "(ignore)";
        const int col = ignore ? -1 : ColumnNamed(table, text);
        if (!ignore && col < 0) {
            QStringList titles;
            for (int c = 0; c <= SheetColumns(table); ++c)
                titles << SheetColumnTitle(table, c);
            why = QString("--map: \"%1\" names no column of the table (%2, or ignore)")
                      .arg(text, titles.join(", "));
            return std::nullopt;
        }
        if (size_t(column) > chosen.size())
            chosen.resize(size_t(column), -1);
        for (size_t other = 0; col >= 0 && other < chosen.size(); ++other) {
            if (chosen[other] == col) {
                why = QString("--map: columns %1 and %2 both feed %3")
                          .arg(other + 1)
                          .arg(column)
                          .arg(SheetColumnTitle(table, col));
                return std::nullopt;
            }
        }
        chosen[size_t(column - 1)] = col;
    }
    return chosen;
}

// Which encoding, separators and columns the import took, so that nothing is read on a guess
// the user cannot see.
void TellHowRead(const TOutput& output, const QString& name, const SheetText& sheet,
                 const ColumnMap& map) {
    output.Note(QString("%1: %2, %3")
                    .arg(name, DialectText(sheet.dialect),
                         map.header ? CliText::tr("header on line %1").arg(sheet.Line(0))
                                    : CliText::tr("no header line")));
    QStringList fed;
    QJsonArray columns;
    for (int fc = 0; fc < map.FileColumns(); ++fc) {
        const int col = map.feeds[size_t(fc)];
        const QString title = col >= 0 ? SheetColumnTitle(map.table, col) : QString();
        if (col >= 0)
            fed << QString("%1%2 = %3")
                       .arg(fc + 1)
                       .arg(map.header ? " " + map.names[size_t(fc)] : QString(), title);
        columns.append(QJsonObject{{"column", fc + 1},
                                   {"name", map.header ? map.names[size_t(fc)] : QString()},
                                   {"feeds", col >= 0 ? QJsonValue(title) : QJsonValue()}});
    }
    if (!fed.isEmpty())
        output.Note(CliText::tr("%1: columns %2").arg(name, fed.join(", ")));
    if (!map.ignored.empty())
        output.Note(CliText::tr("%1: ignored columns: %2")
                        .arg(name, QStringList(map.ignored.begin(), map.ignored.end()).join(", ")));
    output.Event({{"event", "sheet"},
                  {"encoding", EncodingText(sheet.dialect)},
                  {"separator", QString(QChar::fromLatin1(sheet.dialect.separator))},
                  {"decimal", QString(QChar::fromLatin1(sheet.dialect.decimal))},
                  {"header", map.header},
                  {"columns", columns}});
}

} // namespace

int commands::Import(const TCommandLine& line, const TOutput& output) {
    const std::string& sheetPath = line.files[0];
    const std::string& path = line.files[1];
    TDocumentTables doc;
    // A document that does not exist yet starts new, as the window's New does.
    if (::access(path.c_str(), F_OK) == 0) {
        if (const int error = doc.Read(path))
            return FileFailed(output, path, error);
    } else if (const int error = errno == ENOENT ? WritableDirectory(path) : errno; error) {
        return FileFailed(output, path, error);
    }
    const SheetFile file = LoadSheetFile(sheetPath);
    if (!file.error.isEmpty()) {
        const QString text = Local(sheetPath) + ": " + file.error;
        output.Error(text);
        return output.Finish(ExitFile, {{"message", text}});
    }
    const SheetText sheet = ReadSheet(file.bytes);
    std::optional<ColumnChoice> chosen;
    if (!line.columnMap.empty()) {
        QString why;
        chosen = ChosenColumns(line.columnMap, line.table, why);
        if (!chosen) {
            output.Error(why);
            return output.Finish(ExitUsage, {{"message", why}});
        }
    }
    const ColumnMap map = MapColumns(sheet, line.table, line.header, chosen);
    TellHowRead(output, Local(sheetPath), sheet, map);
    ImportResult result = ImportSheet(sheet, map, line.importOptions, doc.plu, doc.dept, doc.recy);
    if (!result.Ok()) {
        for (const SheetProblem& p : result.problems) {
            output.Error(Local(sheetPath) + ": " + ProblemText(p));
            output.Event({{"event", "problem"},
                          {"line", p.line},
                          {"column", p.column},
                          {"value", p.value},
                          {"reason", p.reason}});
        }
        if (result.problems.size() == 1 &&
            result.problems[0].reason == QCoreApplication::translate("Sheet", NoNumberColumn))
            output.Note(CliText::tr("Rows are matched by PLU number unless --by barcode is "
                                    "given; --mode replace puts the file's rows in their order "
                                    "and empties the others."));
        output.Error(PluralOr(QT_TRANSLATE_N_NOOP(
                                  "Plural", "Nothing imported: %n problems; %1 is as it was."),
                              qint64(result.problems.size()),
                              QString("Nothing imported: %1 problem%2; ")
                                      .arg(result.problems.size())
                                      .arg(result.problems.size() == 1 ? "" : "s") +
                                  "%1 is as it was.")
                         .arg(Local(path)));
        return output.Finish(ExitProblems, {{"problems", int(result.problems.size())}});
    }
    if (result.plu)
        doc.plu = std::move(*result.plu);
    if (result.dept)
        doc.dept = std::move(*result.dept);
    if (result.recy)
        doc.recy = *result.recy;
    std::string failed;
    if (const int error = WriteDocumentFiles(path, doc.plu, doc.dept, doc.recy, &failed))
        return FileFailed(output, failed, error);
    output.Note(CliText::tr("Imported %1 into %2: %3 added, %4 changed, %5 emptied.")
                    .arg(Local(sheetPath), Local(path))
                    .arg(result.added)
                    .arg(result.changed)
                    .arg(result.removed));
    return output.Finish(ExitDone, {{"document", QFileInfo(Local(path)).absoluteFilePath()},
                                    {"added", result.added},
                                    {"changed", result.changed},
                                    {"removed", result.removed}});
}

int commands::Export(const TCommandLine& line, const TOutput& output) {
    const std::string& path = line.files[0];
    const std::string& sheetPath = line.files[1];
    TDocumentTables doc;
    if (const int error = doc.Read(path))
        return FileFailed(output, path, error);
    SheetDialect dialect = line.dialect ? *ExportDialect(*line.dialect) : DefaultExportDialect();
    if (line.codePage) {
        dialect.encoding = SheetEncoding::CodePage;
        dialect.bom = false;
    }
    if (const int error =
            ExportSheetFile(sheetPath, line.table, doc.plu, doc.dept, doc.recy, dialect))
        return FileFailed(output, sheetPath, error);
    const int rows = ExportRowCount(line.table, doc.plu, doc.dept);
    output.Note(
        CliText::tr("Exported %1 to %2.").arg(Counted(rows, "row", "rows"), Local(sheetPath)));
    return output.Finish(
        ExitDone, {{"file", QFileInfo(Local(sheetPath)).absoluteFilePath()}, {"rows", rows}});
}
