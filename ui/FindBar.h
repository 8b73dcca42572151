#pragma once
// The find bar under the PLU grid: a piece of text found in the name and the barcode, or in one
// chosen column; Enter and Shift+Enter go to the next and the previous match, Esc closes the bar
// and leaves the cursor on the match. Its switch shows only the matching rows.

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

    // The document rows that match, ascending, and the one the cursor went to (0 = none).
    const std::vector<int>& Matches() const { return matches_; }
    int Current() const { return current_; }
    QString CountText() const;

    QLineEdit* TextEdit() const { return text_; }
    QComboBox* ColumnBox() const { return column_; }
    QCheckBox* AccentsBox() const { return accents_; }
    QCheckBox* FilterBox() const { return filter_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Search(bool move);
    void GoTo(int index);
    void ApplyFilter();
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
    int current_ = 0; // 1-based index into matches_
    QTimer refreshTimer_;
};
