#include "EditGrid.h"

#include "CodePage.h"
#include "Defs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QValidator>

bool AcceptsTypedChar(KeyClass keys, int maxLen, std::string_view currentText, bool hasSelection,
                      char typed) {
    if (int(currentText.size()) >= maxLen && !hasSelection)
        return false;
    switch (keys) {
    case KeyClass::AnyChar:
        return true;
    case KeyClass::Digits:
        return IsDigitChar(typed);
    case KeyClass::Numeric:
        return IsNumericChar(currentText, typed);
    }
    return false;
}

TFixedHeader::TFixedHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {}

void TFixedHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();

    const QString text =
        model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    DrawFixedCellText(*painter, rect, text);
}

void DrawFixedCellText(QPainter& painter, const QRect& rect, const QString& text) {
    const QFontMetrics metrics(painter.font());
    const int align =
        metrics.horizontalAdvance(text) <= rect.width() ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.save();
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(rect, align | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

namespace {

// The current cell changes only after the cell being left has passed its check.
class GuardedSelectionModel : public QItemSelectionModel {
public:
    GuardedSelectionModel(QAbstractItemModel* model, std::function<bool()> mayLeave)
        : QItemSelectionModel(model), mayLeave_(std::move(mayLeave)) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
        if (index != currentIndex() && currentIndex().isValid() && !mayLeave_())
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    std::function<bool()> mayLeave_;
};

// Typed and pasted text must fit the code page: the cell keeps bytes. A tab or a line break
// would split the row in the document's tab-separated files.
class CodePageValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() < 32 || c.unicode() == 127)
                return Invalid;
        return DocumentCodePage().FromUnicode(input) ? Acceptable : Invalid;
    }
};

// The clipboard keys, but not Shift+Delete: Delete with or without Shift clears in browse state,
// as it always has.
enum class ClipboardKey { None, Copy, Cut, Paste };
ClipboardKey ClipboardKeyOf(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete)
        return ClipboardKey::None;
    if (event->matches(QKeySequence::Copy))
        return ClipboardKey::Copy;
    if (event->matches(QKeySequence::Cut))
        return ClipboardKey::Cut;
    if (event->matches(QKeySequence::Paste))
        return ClipboardKey::Paste;
    return ClipboardKey::None;
}

} // namespace

class TCellDelegate : public QStyledItemDelegate {
public:
    explicit TCellDelegate(TEditGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new CodePageValidator(editor));
        grid_->EditorCreated(editor);
        return editor;
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        grid_->EditorDestroyed(static_cast<QLineEdit*>(editor));
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    // The grid decides when the editor commits and closes, not focus changes or keys.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    TEditGrid* grid_;
};

TEditGrid::TEditGrid(TGridModel* model, std::vector<KeyClass> keyClasses,
                     std::span<const int> maxLen, QWidget* parent)
    : QTableView(parent), model_(model), keyClasses_(std::move(keyClasses)),
      maxLen_(maxLen.begin(), maxLen.end()) {
    setHorizontalHeader(new TFixedHeader(Qt::Horizontal, this));
    setVerticalHeader(new TFixedHeader(Qt::Vertical, this));
    ResetModel(model);
    setItemDelegate(new TCellDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);

    // Dragging a row number moves the row's content; the numbers stay with the positions, so
    // the header order is put back at once.
    verticalHeader()->setSectionsMovable(true);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int oldVisual, int newVisual) {
                QHeaderView* header = verticalHeader();
                header->blockSignals(true);
                header->moveSection(newVisual, oldVisual);
                header->blockSignals(false);
                if (filter_)
                    return;
                model_->MoveRow(oldVisual + 1, newVisual + 1);
                if (onEdit) {
                    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Move row"));
                    step.Move(docTable, oldVisual + 1, newVisual + 1);
                    onEdit(std::move(step));
                }
            });

    if (auto* corner = findChild<QAbstractButton*>()) {
        corner_ = corner;
        corner->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &TEditGrid::OnFocusChanged);
    selectionModel()->setCurrentIndex(model->index(0, 0), QItemSelectionModel::ClearAndSelect);
}

void TEditGrid::ResetModel(QAbstractItemModel* model) {
    QItemSelectionModel* old = selectionModel();
    setModel(model);
    setSelectionModel(new GuardedSelectionModel(model, [this] { return MayLeaveCurrentCell(); }));
    if (old)
        old->deleteLater();
}

bool TEditGrid::SetRowFilter(TRowFilterModel* filter) {
    if (filter == filter_)
        return true;
    // A cell being typed is finished first: the view it is typed in goes away.
    if (state_ == State::Edit && !ValidateActiveCell())
        return false;
    const int row = CurrentRow();
    const int col = std::max(CurrentCol(), 1);
    SetEditing(false);
    filter_ = filter;
    ResetModel(filter_ ? static_cast<QAbstractItemModel*>(filter_) : model_);
    verticalHeader()->setSectionsMovable(!filter_);
    if (row < 1 || !SetCurrentCell(row, col)) {
        if (ViewRowCount() > 0)
            SetCurrentCell(DocRow(1), col);
    }
    return true;
}

QModelIndex TEditGrid::ViewIndex(int docRow, int col) const {
    const int viewRow = filter_ ? filter_->ViewRow(docRow) : docRow;
    return viewRow > 0 ? model()->index(viewRow - 1, col - 1) : QModelIndex();
}

int TEditGrid::CurrentRow() const {
    const QModelIndex at = currentIndex();
    return at.isValid() ? DocRow(at.row() + 1) : 0;
}

bool TEditGrid::SetCurrentCell(int row, int col) {
    const QModelIndex at = ViewIndex(row, col);
    if (!at.isValid())
        return false;
    leaveApproved_ = true;
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    leaveApproved_ = false;
    scrollTo(currentIndex());
    return true;
}

bool TEditGrid::MayLeaveCurrentCell() {
    if (leaveApproved_ || validating_)
        return true;
    return ValidateActiveCell();
}

bool TEditGrid::ValidateActiveCell() {
    if (validating_)
        return false;
    if (!currentIndex().isValid()) // a filter that shows no row
        return true;
    validating_ = true;
    const int row = CurrentRow();
    const int col = CurrentCol();
    const bool started = editStart_ && editStart_->row == row && editStart_->col == col;
    const std::string before = started || row < 1 ? std::string() : model_->Cell(row, col);
    if (editor_)
        commitData(editor_);
    const bool ok = !validateCell || validateCell(col, row);
    if (row > 0)
        model_->CellChanged(row, col); // the check may have normalised it
    validating_ = false;
    if (ok) {
        if (onEdit && row > 0) {
            EditStep step(QT_TRANSLATE_NOOP("EditStep", "Typing"));
            step.Cell(docTable, row, col, started ? editStart_->text : before,
                      model_->Cell(row, col));
            onEdit(std::move(step));
        }
        editStart_.reset();
        SetEditing(false);
    } else {
        QApplication::beep();
        SetEditing(true);
        if (editor_ && editor_->text() != model()->data(currentIndex(), Qt::EditRole).toString())
            editor_->setText(model()->data(currentIndex(), Qt::EditRole).toString());
    }
    return ok;
}

void TEditGrid::SetEditing(bool on) {
    if (on) {
        state_ = State::Edit;
        NoteEditStart();
        if (!editor_ && currentIndex().isValid())
            edit(currentIndex());
        if (editor_ && (hasFocus() || Contains(QApplication::focusWidget())))
            editor_->setFocus();
        return;
    }
    state_ = State::Browse;
    if (editor_) {
        QLineEdit* editor = editor_;
        const bool hadFocus = editor->hasFocus();
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        if (hadFocus)
            setFocus();
    }
}

void TEditGrid::NoteEditStart() {
    const int row = CurrentRow();
    const int col = CurrentCol();
    if (row < 1 || (editStart_ && editStart_->row == row && editStart_->col == col))
        return;
    editStart_ = EditStart{row, col, model_->Cell(row, col)};
}

void TEditGrid::ClearSelection() {
    // Range by range, one signal each: a whole selected table is 240000 cells.
    QItemSelection selected = selectionModel()->selection();
    if (selected.isEmpty() && currentIndex().isValid())
        selected.select(currentIndex(), currentIndex());
    TextTable& table = model_->Table();
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Clear"));
    for (const QItemSelectionRange& range : selected) {
        const int left = range.left() + 1;
        const int right = range.right() + 1;
        std::vector<int> rows;
        for (int v = range.top() + 1; v <= range.bottom() + 1; ++v)
            rows.push_back(DocRow(v));
        const BlockSnapshot before(table, rows, left, right);
        for (int r : rows)
            for (int c = left; c <= right; ++c)
                table.ResetCell(r, c);
        if (onEdit)
            before.Record(step, docTable, table);
        model_->CellsChanged(rows.front(), left, rows.back(), right);
    }
    if (onEdit)
        onEdit(std::move(step));
}

CellRect TEditGrid::SelectedBlock() const {
    const QItemSelection selected = selectionModel()->selection();
    if (selected.isEmpty())
        return {currentIndex().row() + 1, CurrentCol(), currentIndex().row() + 1, CurrentCol()};
    CellRect block{ViewRowCount(), model()->columnCount(), 1, 1};
    for (const QItemSelectionRange& range : selected) {
        block.top = std::min(block.top, range.top() + 1);
        block.left = std::min(block.left, range.left() + 1);
        block.bottom = std::max(block.bottom, range.bottom() + 1);
        block.right = std::max(block.right, range.right() + 1);
    }
    return block;
}

std::vector<int> TEditGrid::SelectedRows() const {
    std::vector<int> rows;
    if (!currentIndex().isValid())
        return rows;
    const CellRect block = SelectedBlock();
    for (int v = block.top; v <= block.bottom; ++v)
        rows.push_back(DocRow(v));
    return rows;
}

void TEditGrid::SelectBlock(const CellRect& block) {
    selectionModel()->select(QItemSelection(model()->index(block.top - 1, block.left - 1),
                                            model()->index(block.bottom - 1, block.right - 1)),
                             QItemSelectionModel::ClearAndSelect);
}

void TEditGrid::Copy() {
    if (state_ == State::Edit && editor_) {
        editor_->copy();
        return;
    }
    if (!currentIndex().isValid())
        return;
    const CellRect block = SelectedBlock();
    if (!filter_) {
        QApplication::clipboard()->setText(CopyCells(model_->Table(), block));
        return;
    }
    // The rows the view shows, one line each, as an unfiltered block would give them.
    QString text;
    for (int v = block.top; v <= block.bottom; ++v)
        text += CopyCells(model_->Table(), {DocRow(v), block.left, DocRow(v), block.right});
    QApplication::clipboard()->setText(text);
}

void TEditGrid::Cut() {
    if (state_ == State::Edit && editor_) {
        editor_->cut();
        return;
    }
    if (!currentIndex().isValid())
        return;
    Copy();
    ClearSelection();
    if (onCut)
        onCut();
}

void TEditGrid::Paste() {
    if (state_ == State::Edit && editor_) {
        PasteIntoEditor();
        return;
    }
    const QString text = QApplication::clipboard()->text();
    if (!pasteBlock || !currentIndex().isValid() || text.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (const std::optional<CellRect> pasted = pasteBlock(text, SelectedBlock()))
        SelectBlock(*pasted);
}

void TEditGrid::PasteIntoEditor() {
    QString text = QApplication::clipboard()->text();
    // Calc and Excel end even a single cell with a line break.
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    if (text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r')) {
        // A block of cells: the cell being edited is finished first, as leaving it would be.
        if (ValidateActiveCell())
            Paste();
        return;
    }
    editor_->insert(text); // the validator refuses what the code page cannot hold
}

void TEditGrid::FitColumns() {
    const QFontMetrics metrics(font());
    horizontalHeader()->setFont(font());
    verticalHeader()->setFont(font());
    verticalHeader()->setDefaultSectionSize(metrics.height() + metrics.leading() + 4);
    horizontalHeader()->setFixedHeight(metrics.height() + metrics.leading() + 4);
    auto width = [&](int col) {
        const int fromLength = metrics.averageCharWidth() * maxLen_[size_t(col)] * 3 / 2;
        const QString title = DocumentCodePage().ToUnicode(model_->Title(col));
        return std::max(fromLength, metrics.horizontalAdvance(title) + 4);
    };
    verticalHeader()->setFixedWidth(width(0));
    for (int c = 1; c < int(maxLen_.size()); ++c)
        setColumnWidth(c - 1, width(c));
}

void TEditGrid::EditorCreated(QLineEdit* editor) {
    editor_ = editor;
    editor->installEventFilter(this);
}

void TEditGrid::EditorDestroyed(QLineEdit* editor) {
    if (editor_ == editor)
        editor_ = nullptr;
}

bool TEditGrid::Contains(const QWidget* widget) const {
    return widget && (widget == this || isAncestorOf(widget));
}

void TEditGrid::OnFocusChanged(QWidget* old, QWidget* now) {
    if (!checkOnFocusLoss || validating_ || !now || !Contains(old) || Contains(now))
        return;
    // A message box of the check itself takes the focus for a moment; that is no leaving.
    if (now->window() != window() && now->window()->isModal())
        return;
    if (!ValidateActiveCell()) {
        if (editor_)
            editor_->setFocus();
        else
            setFocus();
    }
}

bool TEditGrid::FilterTypedText(const QString& text) {
    const int col = CurrentCol();
    const std::string current = DocumentCodePage()
                                    .FromUnicode(editor_ ? editor_->text() : QString())
                                    .value_or(std::string());
    const bool hasSelection = editor_ && editor_->hasSelectedText();
    for (QChar c : text) {
        auto byte = DocumentCodePage().ByteFor(c);
        if (!byte || !AcceptsTypedChar(keyClasses_[size_t(col)], maxLen_[size_t(col)], current,
                                       hasSelection, *byte))
            return false;
    }
    return true;
}

namespace {

bool IsPrintable(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    for (QChar c : text)
        if (c.unicode() < 32 || c.unicode() == 127)
            return false;
    return true;
}

} // namespace

void TEditGrid::TypeIntoEditor(QKeyEvent* event) {
    if (!editor_)
        return;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), ushort(event->count()));
    QApplication::sendEvent(editor_, &copy);
}

bool TEditGrid::event(QEvent* event) {
    // The grid's own clipboard keys come before the window's shortcuts for them.
    if (event->type() == QEvent::ShortcutOverride &&
        ClipboardKeyOf(static_cast<QKeyEvent*>(event)) != ClipboardKey::None) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void TEditGrid::keyPressEvent(QKeyEvent* event) {
    switch (ClipboardKeyOf(event)) {
    case ClipboardKey::Copy:
        Copy();
        return;
    case ClipboardKey::Cut:
        Cut();
        return;
    case ClipboardKey::Paste:
        Paste();
        return;
    case ClipboardKey::None:
        break;
    }
    if (IsPrintable(event) && currentIndex().isValid()) {
        if (state_ == State::Browse) {
            if (onStartTyping)
                onStartTyping();
            NoteEditStart();
            model_->SetCell(CurrentRow(), CurrentCol(), std::string());
        }
        SetEditing(true);
        TypeIntoEditor(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Delete:
        if (state_ == State::Browse) {
            ClearSelection();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HandleEnter();
        return;
    case Qt::Key_F2:
        SetEditing(true);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (state_ == State::Edit && !(event->modifiers() & Qt::ShiftModifier)) {
            HandleUpDown(event->key() == Qt::Key_Up);
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
    leaveApproved_ = false;
}

bool TEditGrid::HandleEditorKey(QKeyEvent* event) {
    if (IsPrintable(event))
        return !FilterTypedText(event->text());
    if (ClipboardKeyOf(event) == ClipboardKey::Paste) {
        PasteIntoEditor();
        return true;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HandleEnter();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        HandleUpDown(event->key() == Qt::Key_Up);
        return true;
    case Qt::Key_Escape:
        // Back to the text the cell holds; the editor stays so the cell can be put right.
        editor_->setText(model()->data(currentIndex(), Qt::EditRole).toString());
        editor_->selectAll();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QApplication::sendEvent(this, event);
        return true;
    default:
        return false;
    }
}

void TEditGrid::HandleEnter() {
    if (!ValidateActiveCell())
        return;
    int row = currentIndex().row() + 1; // as the view counts
    int col = CurrentCol();
    if (col < model()->columnCount()) {
        ++col;
    } else if (row < ViewRowCount()) {
        ++row;
        col = 1;
    } else {
        return;
    }
    SetCurrentCell(DocRow(row), col);
}

void TEditGrid::HandleUpDown(bool up) {
    if (!ValidateActiveCell())
        return;
    const int row = currentIndex().row() + 1 + (up ? -1 : 1);
    if (row < 1 || row > ViewRowCount())
        return;
    SetCurrentCell(DocRow(row), CurrentCol());
}

void TEditGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    if (target.isValid() && target != currentIndex()) {
        if (!MayLeaveCurrentCell())
            return;
        leaveApproved_ = true;
        QTableView::mousePressEvent(event);
        leaveApproved_ = false;
        return;
    }
    QTableView::mousePressEvent(event);
}

void TEditGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (indexAt(event->position().toPoint()) == currentIndex())
        SetEditing(true);
}

QModelIndex TEditGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (target.isValid() && target != currentIndex()) {
        if (!MayLeaveCurrentCell())
            return currentIndex();
        leaveApproved_ = true; // until the view has set the new current cell
    }
    return target;
}

bool TEditGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress)
        return HandleEditorKey(static_cast<QKeyEvent*>(event));
    if (watched == corner_ && event->type() == QEvent::Paint) {
        corner_->removeEventFilter(this);
        QApplication::sendEvent(corner_, event);
        corner_->installEventFilter(this);
        PaintCorner(corner_);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TEditGrid::PaintCorner(QWidget* corner) {
    QPainter painter(corner);
    painter.setFont(font());
    DrawFixedCellText(painter, corner->rect(), DocumentCodePage().ToUnicode(model_->Title(0)));
}
