// The file commands: the document's own check, spreadsheets in and out.
#include "CommandSupport.h"

#include "Counted.h"
#include "DocumentCheck.h"
#include "DocumentFile.h"
#include "SheetExport.h"
#include "SheetImport.h"

#include <QFileInfo>
#include <QJsonArray>

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
    output.Note(QString("%1 problem%2 in %3.")
                    .arg(problems.size())
                    .arg(problems.size() == 1 ? "" : "s")
                    .arg(Local(path)));
    return output.Finish(ExitProblems, {{"problems", int(problems.size())}});
}

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
    const ColumnMap map = MapColumns(sheet, line.table);
    if (!map.ignored.empty())
        output.Note(Local(sheetPath) + ": ignored columns: " +
                    QStringList(map.ignored.begin(), map.ignored.end()).join(", "));
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
        output.Error(QString("Nothing imported: %1 problem%2; %3 is as it was.")
                         .arg(result.problems.size())
                         .arg(result.problems.size() == 1 ? "" : "s")
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
    output.Note(QString("Imported %1 into %2: %3 added, %4 changed, %5 emptied.")
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
    output.Note(QString("Exported %1 to %2.").arg(Counted(rows, "row", "rows"), Local(sheetPath)));
    return output.Finish(
        ExitDone, {{"file", QFileInfo(Local(sheetPath)).absoluteFilePath()}, {"rows", rows}});
}
