#pragma once
// The find bar under the PLU grid: a piece of text found in the name and the barcode, or in one
// chosen column; Enter and Shift+Enter go to the next and the previous match, Esc closes the bar
// and leaves the cursor on the match. Its switch shows only the matching rows; a row the user
// edits there stays in sight until the find itself changes, as a spreadsheet's filter keeps it.

#include "EditGrid.h"
#include "RowFilterModel.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

class TFindBar : public QWidget {
    Q_OBJECT
public:
    explicit TFindBar(TEditGrid* grid, QWidget* parent = nullptr);

    void Open();
    void Close();
    void Next();
    void Previous();
    // Finds again after the document changed; the cursor stays where it is.
    void Refresh();
    // The document was replaced (New, Open, an upload): rows edited before are no longer kept.
    void ForgetEdits();

    // The document rows that match, ascending, and the one the cursor is on (0 = none).
    const std::vector<int>& Matches() const { return matches_; }
    int Current() const { return current_; }
    // Rows edited in the filtered view that no longer need to match to be shown, ascending.
    const std::vector<int>& KeptRows() const { return kept_; }
    QString CountText() const;

    QLineEdit* TextEdit() const { return text_; }
    QComboBox* ColumnBox() const { return column_; }
    QCheckBox* AccentsBox() const { return accents_; }
    QCheckBox* FilterBox() const { return filter_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A new find: the text, the column or the accents changed.
    void Search(bool move);
    void Find();
    void GoTo(int index);
    void ApplyFilter();
    void NoteShownRowsChanged(int top, int bottom);
    void KeepTouchedRows();
    // The index (1-based) of the match on the cursor's row, or 0.
    int MatchAtCursor() const;
    std::vector<int> Columns() const;

    TEditGrid* grid_;
    TRowFilterModel* rowFilter_;
    QLineEdit* text_;
    QComboBox* column_;
    QCheckBox* accents_;
    QCheckBox* filter_;
    QLabel* count_;
    QToolButton* previous_;
    QToolButton* next_;
    std::vector<int> matches_;
    std::vector<int> kept_;    // shown though they no longer match
    std::vector<int> touched_; // shown rows changed since the last find
    int current_ = 0;          // 1-based index into matches_
    QTimer refreshTimer_;
};
