// The main window's editing commands: undo and redo, the find bar, the bulk change of prices,
// the Edit menu's state, and the widths of the two panels.
#include "MainForm.h"

#include "BulkChangeDlg.h"
#include "Counted.h"
#include "FindBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QTextEdit>

namespace {

// Steps are named in English in the document's history; people read them in their language.
QString StepName(const std::string& step) {
    return QCoreApplication::translate("EditStep", step.c_str());
}

} // namespace

void TMainForm::ConnectEditCommands() {
    BulkChangeDlg = new TBulkChangeDlg(this);
    AddTextWindow(BulkChangeDlg);
    connect(UndoItem, &QAction::triggered, this, &TMainForm::UndoItemClick);
    connect(RedoItem, &QAction::triggered, this, &TMainForm::RedoItemClick);
    connect(FindItem, &QAction::triggered, this, &TMainForm::FindItemClick);
    connect(BulkChangeItem, &QAction::triggered, this, &TMainForm::BulkChangeItemClick);
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditItems(); });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { UpdateEditItems(); });
    connect(rptEd_, &QTextEdit::copyAvailable, this, [this] { UpdateEditItems(); });
    UpdateEditItems();
}

void TMainForm::UpdateEditItems() {
    UndoItem->setEnabled(history_.CanUndo());
    RedoItem->setEnabled(history_.CanRedo());
    const auto name = [](const std::string& step) {
        return step.empty() ? QString() : QString(" (%1)").arg(StepName(step));
    };
    UndoItem->setStatusTip(tr("Undo") + name(history_.UndoName()));
    RedoItem->setStatusTip(tr("Redo") + name(history_.RedoName()));
    // The report is the register's: it can be copied, never cut or pasted into.
    const bool report = QApplication::focusWidget() == rptEd_;
    CutItem->setEnabled(!report);
    CopyItem->setEnabled(!report || rptEd_->textCursor().hasSelection());
    PasteItem->setEnabled(!report && !QApplication::clipboard()->text().isEmpty());
}

void TMainForm::RecordEdit(EditStep step) {
    if (step.Empty())
        return;
    history_.Push(std::move(step));
    UpdateEditItems();
}

void TMainForm::ClearHistory() {
    history_.Clear();
    findBar_->ForgetEdits(); // another document's rows
    UpdateEditItems();
}

void TMainForm::ShowTouched(const TouchedCells& touched) {
    const std::pair<TGridModel*, TEditGrid*> grids[] = {{pluModel_, pluGrid_},
                                                        {deptModel_, deptGrid_}};
    for (size_t t = 0; t < 2; ++t) {
        const std::optional<TouchedSpan>& span = touched[t];
        if (!span || span->top == 0)
            continue;
        auto [model, grid] = grids[t];
        model->CellsChanged(span->top, span->left, span->bottom, span->right);
        // The cursor goes to what changed, so the user sees what was taken back.
        if (grid->SetCurrentCell(span->top, span->left) && !grid->RowFilter())
            grid->SelectBlock({span->top, span->left, span->bottom, span->right});
    }
}

void TMainForm::UndoItemClick() {
    // Text being typed is finished first: it is the step the user takes back.
    if (!ValidateActiveCell() || !history_.CanUndo())
        return;
    const QString name = StepName(history_.UndoName());
    ShowTouched(history_.Undo(Tables()));
    modified_ = true;
    UpdateEditItems();
    ShowMessage(tr("Undone: %1.").arg(name));
}

void TMainForm::RedoItemClick() {
    if (!ValidateActiveCell() || !history_.CanRedo())
        return;
    const QString name = StepName(history_.RedoName());
    ShowTouched(history_.Redo(Tables()));
    modified_ = true;
    UpdateEditItems();
    ShowMessage(tr("Redone: %1.").arg(name));
}

void TMainForm::FindItemClick() {
    if (!ValidateActiveCell())
        return;
    findBar_->Open();
}

void TMainForm::BulkChangeItemClick() {
    if (!ValidateActiveCell())
        return;
    if (!BulkChangeDlg->Execute(pluModel_->Table(), deptModel_->Table(), pluGrid_->SelectedRows()))
        return;
    const BulkPlan& plan = BulkChangeDlg->Plan();
    RecordEdit(ApplyBulkPlan(pluModel_->Table(), plan));
    pluModel_->CellsChanged(plan.changes.front().row, 1, plan.changes.back().row,
                            pluModel_->columnCount());
    modified_ = true;
    ShowMessage(PluralOr(
        QT_TRANSLATE_N_NOOP("Plural", "Changed %n rows."), plan.rowsChanged,
        QString("Changed %1 row%2.").arg(plan.rowsChanged).arg(plan.rowsChanged == 1 ? "" : "s")));
}

void TMainForm::FitPanels() {
    // The department panel as wide as its columns, so Tax and Unit price show beside the name.
    int dept = deptGrid_->verticalHeader()->width() + 2 * deptGrid_->frameWidth();
    for (int c = 0; c < deptModel_->columnCount(); ++c)
        dept += deptGrid_->columnWidth(c);
    const int rowsHeight = deptGrid_->horizontalHeader()->height() +
                           deptGrid_->verticalHeader()->length() + 2 * deptGrid_->frameWidth();
    if (rowsHeight > deptGrid_->height())
        dept += deptGrid_->verticalScrollBar()->sizeHint().width();
    QList<int> sizes = hSplitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > dept)
        hSplitter_->setSizes({total - dept, dept});
    FitNameColumn();
}

void TMainForm::FitNameColumn() {
    // The PLU grid's spare width goes to the name, never below what the font asks for.
    constexpr int NameIndex = 1;
    int others = 0;
    for (int c = 0; c < pluModel_->columnCount(); ++c)
        if (c != NameIndex)
            others += pluGrid_->columnWidth(c);
    const int spare = pluGrid_->viewport()->width() - others;
    pluGrid_->setColumnWidth(NameIndex, std::max(fittedNameWidth_, spare));
}
