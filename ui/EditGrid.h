#pragma once
// The editing grid of the main window and the recycling editor: a fixed row-number column and
// title row, browse and edit states, keys filtered while typing, and every cell checked before
// the user may leave it.

#include "EditHistory.h"
#include "GridModel.h"
#include "RowFilterModel.h"
#include "SheetClipboard.h"

#include <QHeaderView>
#include <QTableView>

#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class QLineEdit;

// Which typed characters a column takes.
enum class KeyClass { AnyChar, Digits, Numeric };

// The key filter: whether a typed byte may go into a cell whose text is currentText.
bool AcceptsTypedChar(KeyClass keys, int maxLen, std::string_view currentText, bool hasSelection,
                      char typed);

// The text of a fixed cell: navy, one line, centred when it fits, else left-aligned.
void DrawFixedCellText(QPainter& painter, const QRect& rect, const QString& text);

// Draws the fixed cells with DrawFixedCellText.
class TFixedHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TFixedHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

class TEditGrid : public QTableView {
    Q_OBJECT
public:
    enum class State {
        Initial, // editing allowed, no editor open yet: typing opens the editor on the text
        Browse,
        Edit,
    };

    // keyClasses and maxLen are indexed by column, 0 being the row-number column.
    TEditGrid(TGridModel* model, std::vector<KeyClass> keyClasses, std::span<const int> maxLen,
              QWidget* parent = nullptr);

    TGridModel* Model() const { return model_; }
    State EditState() const { return state_; }

    // Checks and normalises a cell (1-based); may show a message. Set by the owner.
    std::function<bool(int col, int row)> validateCell;
    // The first printable key in browse state: the owner sets its modified flag.
    std::function<void()> onStartTyping;
    // Whether losing the keyboard focus checks the current cell.
    bool checkOnFocusLoss = true;
    // Paste: the owner checks the clipboard's text as cells from the top left of the target and,
    // when every one passes, puts them in and returns where; otherwise it tells the user why and
    // returns nothing. Unset: the grid takes no pasted blocks.
    std::function<std::optional<CellRect>(const QString& text, const CellRect& target)> pasteBlock;
    // After Cut has cleared the selected cells.
    std::function<void()> onCut;
    // Every change the grid makes to the document itself (a typed cell once it passed its check,
    // cleared cells, a moved row), for the owner's undo history. Unset: nothing is recorded.
    std::function<void(EditStep step)> onEdit;
    DocTable docTable = DocTable::PLU;

    // Shows only the filter's rows (nullptr: every row). Rows cannot be dragged then: the hidden
    // rows between would move with them. False when the cell being typed does not pass its check.
    bool SetRowFilter(TRowFilterModel* filter);
    TRowFilterModel* RowFilter() const { return filter_; }
    // Rows as the view counts them (1-based) to document rows and back.
    int DocRow(int viewRow) const { return filter_ ? filter_->SourceRow(viewRow) : viewRow; }
    QModelIndex ViewIndex(int docRow, int col) const;
    int ViewRowCount() const { return model()->rowCount(); }

    // The document row and column of the current cell.
    int CurrentRow() const;
    int CurrentCol() const { return currentIndex().column() + 1; }
    // Moves the current cell (a document row) without checking the one being left; false when
    // the filter hides the row.
    bool SetCurrentCell(int row, int col);

    bool ValidateActiveCell();
    void SetEditing(bool on);
    void ClearSelection();
    // The selected block in view rows; the current cell when nothing is selected.
    CellRect SelectedBlock() const;
    // The document rows of the selection, ascending.
    std::vector<int> SelectedRows() const;
    void SelectBlock(const CellRect& block);
    // The clipboard, as Ctrl+C, Ctrl+X and Ctrl+V have it: the cell editor's text while it is
    // open, else blocks of cells as tab-separated lines.
    void Copy();
    void Cut();
    void Paste();
    void FitColumns();
    QLineEdit* Editor() const { return editor_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TCellDelegate;
    void EditorCreated(QLineEdit* editor);
    void EditorDestroyed(QLineEdit* editor);
    bool MayLeaveCurrentCell();
    bool HandleEditorKey(QKeyEvent* event);
    void PasteIntoEditor();
    bool FilterTypedText(const QString& text);
    void HandleEnter();
    void HandleUpDown(bool up);
    void TypeIntoEditor(QKeyEvent* event);
    void OnFocusChanged(QWidget* old, QWidget* now);
    bool Contains(const QWidget* widget) const;
    void PaintCorner(QWidget* corner);
    void NoteEditStart();
    void ResetModel(QAbstractItemModel* model);

    TGridModel* model_;
    std::vector<KeyClass> keyClasses_;
    std::vector<int> maxLen_;
    State state_ = State::Initial;
    QLineEdit* editor_ = nullptr;
    bool validating_ = false;
    bool leaveApproved_ = false;
    QWidget* corner_ = nullptr;
    TRowFilterModel* filter_ = nullptr;
    // The cell's bytes when its editing began, so the finished edit can be recorded.
    struct EditStart {
        int row = 0;
        int col = 0;
        std::string text;
    };
    std::optional<EditStart> editStart_;
};
