// The main window's spreadsheet commands: import, export, the clipboard of the grids and the
// whole-document check with its list of problems.
#include "MainForm.h"

#include "CheckTexts.h"
#include "CodePage.h"
#include "Counted.h"
#include "DisplayTexts.h"
#include "DocumentFile.h"
#include "ExportDlg.h"
#include "FindBar.h"
#include "ImportDlg.h"
#include "ProblemList.h"
#include "RecyForm.h"
#include "SheetClipboard.h"
#include "SheetExport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

namespace {

constexpr int MessageMilliseconds = 30000;

QString TableName(CellProblem::Table table) {
    return DisplayWord(DownloadKindNames[size_t(table)]);
}

QString ColumnTitle(const CellProblem& problem) {
    switch (problem.table) {
    case CellProblem::PLU:
        return DocumentCodePage().ToUnicode(PLUTitles[size_t(problem.col)]);
    case CellProblem::Department:
        return DocumentCodePage().ToUnicode(DeptTitles[size_t(problem.col)]);
    default:
        return DocumentCodePage().ToUnicode(RecyTitles[1]);
    }
}

QString Plural(size_t count, const char* word) {
    return QString("%1 %2%3").arg(count).arg(word).arg(count == 1 ? "" : "s");
}

} // namespace

void TMainForm::CreateSheetWindows() {
    ImportDlg = new TImportDlg(this);
    AddTextWindow(ImportDlg);
    ExportDlg = new TExportDlg(this);
    AddTextWindow(ExportDlg);
    CheckList = new TProblemList(this);
    CheckList->setObjectName("CheckList");
    CheckList->setWindowTitle(tr("Check document"));
    AddTextWindow(CheckList);
    CheckList->onActivated = [this](int line) {
        if (size_t(line) < checkProblems_.size())
            GoToProblem(checkProblems_[size_t(line)]);
    };
    CheckList->SetCheckAgain([this] { CheckItemClick(); });
}

void TMainForm::ConnectSheetCommands() {
    connect(ImportItem, &QAction::triggered, this, &TMainForm::ImportItemClick);
    connect(ExportItem, &QAction::triggered, this, &TMainForm::ExportItemClick);
    connect(CutItem, &QAction::triggered, this, &TMainForm::CutItemClick);
    connect(CopyItem, &QAction::triggered, this, &TMainForm::CopyItemClick);
    connect(PasteItem, &QAction::triggered, this, &TMainForm::PasteItemClick);
    connect(CheckItem, &QAction::triggered, this, &TMainForm::CheckItemClick);
}

void TMainForm::ShowMessage(const QString& text) {
    messageLabel_->setText(text);
    messageLabel_->setVisible(!text.isEmpty());
    if (text.isEmpty())
        messageTimer_.stop();
    else
        messageTimer_.start(MessageMilliseconds);
}

QString TMainForm::Message() const {
    return messageLabel_->text();
}

// ---- Import and export ----

void TMainForm::ImportItemClick() {
    // An open cell editor would otherwise write its text over an imported row.
    if (!ValidateActiveCell())
        return;
    const QString path = chooseImportFile();
    if (path.isEmpty())
        return;
    SheetFile file = LoadSheetFile(path.toLocal8Bit().toStdString());
    if (!file.error.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, windowTitle(), file.error, QMessageBox::Ok, this);
        box.setInformativeText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
        box.exec();
        return;
    }
    if (!ImportDlg->Execute(path, std::move(file.bytes), pluModel_->Table(), deptModel_->Table(),
                            recy_))
        return;
    ApplyImport(ImportDlg->TakeResult(), QFileInfo(path).fileName());
}

void TMainForm::ApplyImport(ImportResult result, const QString& fileName) {
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Import"));
    if (result.plu)
        step.Diff(DocTable::PLU, pluModel_->Table(), *result.plu);
    if (result.dept)
        step.Diff(DocTable::Dept, deptModel_->Table(), *result.dept);
    if (result.recy)
        step.Diff(recy_, *result.recy);
    RecordEdit(std::move(step));
    if (result.plu) {
        pluModel_->Table() = std::move(*result.plu);
        pluModel_->TableChanged();
    }
    if (result.dept) {
        deptModel_->Table() = std::move(*result.dept);
        deptModel_->TableChanged();
    }
    if (result.recy)
        recy_ = *result.recy;
    modified_ = true;
    QString text =
        PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Imported %1: %n rows added, %2 changed"),
                 result.added,
                 "Imported %1: " + Plural(size_t(result.added), "row") + " added, %2 changed")
            .arg(fileName, QString::number(result.changed));
    if (result.removed > 0)
        text += tr(", %1 emptied").arg(result.removed);
    text += '.';
    if (const QString error = ImportDlg->ColumnMemoryError(); !error.isEmpty())
        text += tr(" The columns chosen could not be remembered: %1.").arg(error);
    ShowMessage(text);
}

void TMainForm::ExportItemClick() {
    // Text still being typed into a cell belongs to what the user exports.
    if (!ValidateActiveCell())
        return;
    if (ExportDlg->exec() != QDialog::Accepted)
        return;
    const QString path = chooseExportFile(ExportDlg->Suffix());
    if (path.isEmpty())
        return;
    const SheetTable table = ExportDlg->Table();
    FileError error = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        error = ExportSheetFile(path.toLocal8Bit().toStdString(), table, pluModel_->Table(),
                                deptModel_->Table(), recy_, ExportDlg->Dialect());
        QApplication::restoreOverrideCursor();
    }
    if (error) {
        ShowFileError(error);
        return;
    }
    const int rows = ExportRowCount(table, pluModel_->Table(), deptModel_->Table());
    ShowMessage(PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Exported %n rows to %1."), rows,
                         "Exported " + Plural(size_t(rows), "row") + " to %1.")
                    .arg(QFileInfo(path).fileName()));
}

// ---- The clipboard ----

TEditGrid* TMainForm::ActiveGrid() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == deptGrid_ || deptGrid_->isAncestorOf(focus)))
        return deptGrid_;
    return pluGrid_;
}

// The menu items do what the keys do in the control that has the focus: the cell editor and
// the report pane have their own clipboard.
void TMainForm::CutItemClick() {
    if (QApplication::focusWidget() == rptEd_) {
        QApplication::beep(); // the report is the register's, never cut
        return;
    }
    ActiveGrid()->Cut();
}

void TMainForm::CopyItemClick() {
    if (QApplication::focusWidget() == rptEd_) {
        rptEd_->copy();
        return;
    }
    ActiveGrid()->Copy();
}

void TMainForm::PasteItemClick() {
    if (QApplication::focusWidget() == rptEd_) {
        QApplication::beep();
        return;
    }
    ActiveGrid()->Paste();
}

std::optional<CellRect> TMainForm::PasteBlock(TEditGrid* grid, const QString& text,
                                              const CellRect& target) {
    const bool plu = grid == pluGrid_;
    const SheetTable kind = plu ? SheetTable::PLU : SheetTable::Department;
    TextTable& table = grid->Model()->Table();
    const TextTable& other = (plu ? deptModel_ : pluModel_)->Table();
    TRowFilterModel* filter = grid->RowFilter();
    PastedCells pasted;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!filter) {
            pasted = PasteCells(kind, text, target, table, other);
        } else {
            // The shown rows as a table of their own: the block lands on them in view order.
            TextTable shown(filter->rowCount(), table.Cols(), [&] {
                std::vector<std::string> defaults;
                for (int c = 1; c <= table.Cols(); ++c)
                    defaults.push_back(table.Default(c));
                return defaults;
            }());
            for (int v = 1; v <= shown.Rows(); ++v)
                for (int c = 1; c <= table.Cols(); ++c)
                    shown.Cell(v, c) = table.Cell(filter->SourceRow(v), c);
            pasted = PasteCells(kind, text, target, shown, other);
        }
        QApplication::restoreOverrideCursor();
    }
    std::vector<int> rows;
    for (int v = pasted.block.top; v <= pasted.block.bottom && pasted.Ok(); ++v)
        rows.push_back(filter ? filter->SourceRow(v) : v);
    if (filter) {
        for (PasteProblem& problem : pasted.problems)
            if (problem.row > 0 && problem.row <= filter->rowCount())
                problem.row = filter->SourceRow(problem.row);
    }
    const CellRect& block = pasted.block;
    std::optional<BlockSnapshot> before;
    if (pasted.Ok()) {
        before.emplace(table, rows, block.left, block.right);
        size_t i = 0;
        for (int r : rows)
            for (int c = block.left; c <= block.right; ++c)
                table.Cell(r, c) = pasted.cells[i++];
        // Hidden rows were not part of the block's check: names and barcodes are checked again
        // against the whole document, and the paste is taken back when one repeats.
        for (int r : rows) {
            for (int c = block.left; c <= block.right && filter; ++c) {
                if (table.Cell(r, c) == table.Default(c) || (plu ? c > 2 : c != 1))
                    continue;
                TextTable& plus = pluModel_->Table();
                TextTable& depts = deptModel_->Table();
                const std::string typed = table.Cell(r, c);
                const CellCheck check =
                    plu ? ValidatePLUCell(plus, depts, c, r) : ValidateDeptCell(depts, plus, c, r);
                table.Cell(r, c) = typed;
                if (!check.Ok())
                    pasted.problems.push_back({r, c, DocumentCodePage().ToUnicode(typed),
                                               QString::fromStdString(check.reason)});
            }
        }
        if (!pasted.Ok())
            before->Restore(table);
    }
    if (!pasted.Ok()) {
        ShowPasteRefused(this, kind, pasted);
        return std::nullopt;
    }
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Paste"));
    before->Record(step, grid->docTable, table);
    RecordEdit(std::move(step));
    grid->Model()->CellsChanged(rows.front(), block.left, rows.back(), block.right);
    modified_ = true;
    return block;
}

// ---- The whole-document check ----

void TMainForm::CheckItemClick() {
    // Text still being typed is part of the document the user asks about.
    if (!ValidateActiveCell())
        return;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        checkProblems_ = CheckDocument(pluModel_->Table(), deptModel_->Table(), recy_);
        QApplication::restoreOverrideCursor();
    }
    ShowCheckList();
}

void TMainForm::ShowCheckList() {
    const size_t count = checkProblems_.size();
    const QString summary =
        count == 0 ? tr("No problems: every cell passes its check.")
                   : PluralOr(QT_TRANSLATE_N_NOOP("Plural",
                                                  "%n problems: cells the grids would not take as "
                                                  "they stand. Double-click a line to go to its "
                                                  "cell."),
                              qint64(count),
                              Plural(count, "problem") +
                                  ": cells the grids would not take as they stand. Double-click "
                                  "a line to go to its cell.");
    CheckList->SetProblems(summary,
                           {tr("Table"), tr("Row"), tr("Column"), tr("Value"), tr("Reason")},
                           int(count), [this](int line, int column) {
                               const CellProblem& p = checkProblems_[size_t(line)];
                               switch (column) {
                               case 0:
                                   return TableName(p.table);
                               case 1:
                                   return QString::number(p.row);
                               case 2:
                                   return ColumnTitle(p);
                               case 3:
                                   return DocumentCodePage().ToUnicode(p.value);
                               default:
                                   return CheckReasonText(p.reason);
                               }
                           });
    CheckList->show();
    CheckList->raise();
    CheckList->activateWindow();
}

void TMainForm::GoToProblem(const CellProblem& problem) {
    raise();
    activateWindow();
    if (!ValidateActiveCell())
        return;
    if (problem.table == CellProblem::Recycling) {
        RecyForm->RecyExecute(recy_, problem.row);
        return;
    }
    TEditGrid* grid = problem.table == CellProblem::PLU ? pluGrid_ : deptGrid_;
    grid->setFocus();
    if (!grid->SetCurrentCell(problem.row, problem.col)) {
        findBar_->FilterBox()->setChecked(false); // the filter hides the row
        grid->SetCurrentCell(problem.row, problem.col);
    }
}

bool TMainForm::ConfirmDownloadProblems(KindSet kinds, int rangeBegin, int rangeEnd) {
    if (!kinds.test(KindPLU) && !kinds.test(KindDepartment) && !kinds.test(KindRecycling))
        return true;
    std::vector<CellProblem> problems;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        problems = CheckDocument(pluModel_->Table(), deptModel_->Table(), recy_);
        QApplication::restoreOverrideCursor();
    }
    // Only what this download sends: the ticked kinds, the PLU rows of its range.
    std::erase_if(problems, [&](const CellProblem& p) {
        switch (p.table) {
        case CellProblem::PLU:
            return !kinds.test(KindPLU) || p.row < rangeBegin || p.row > rangeEnd;
        case CellProblem::Department:
            return !kinds.test(KindDepartment);
        default:
            return !kinds.test(KindRecycling);
        }
    });
    if (problems.empty())
        return true;
    QMessageBox box(
        QMessageBox::Warning, windowTitle(),
        PluralOr(QT_TRANSLATE_N_NOOP("Plural", "The data to download has %n problems that the "
                                               "grids would not take as they stand."),
                 qint64(problems.size()),
                 QString("The data to download has %1 that the grids would not take "
                         "as they stand.")
                     .arg(Plural(problems.size(), "problem"))),
        QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("DownloadProblemsBox");
    box.setInformativeText(tr("Download anyway?"));
    QPushButton* show = box.addButton(tr("Show &problems"), QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    const int answer = box.exec();
    if (box.clickedButton() == show) {
        checkProblems_ = std::move(problems);
        ShowCheckList();
        return false;
    }
    return answer == QMessageBox::Yes;
}
