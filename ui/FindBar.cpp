#include "FindBar.h"

#include "CodePage.h"
#include "Counted.h"
#include "Defs.h"
#include "TextFinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int NameCol = 2;
constexpr int BarcodeCol = 1;

} // namespace

TFindBar::TFindBar(TEditGrid* grid, QWidget* parent)
    : QWidget(parent), grid_(grid), rowFilter_(new TRowFilterModel(grid->Model(), this)) {
    setObjectName("FindBar");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    auto* label = new QLabel(tr("Fi&nd:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName("FindEdit");
    text_->setClearButtonEnabled(true);
    text_->setPlaceholderText(tr("Name or barcode"));
    text_->installEventFilter(this);
    label->setBuddy(text_);

    column_ = new QComboBox(this);
    column_->setObjectName("FindColumn");
    column_->addItem(tr("Name and barcode"));
    for (int c = 1; c < PLUColCount; ++c)
        column_->addItem(DocumentCodePage().ToUnicode(PLUTitles[size_t(c)]), c);

    accents_ = new QCheckBox(tr("Ignore &accents"), this);
    accents_->setObjectName("FindAccents");
    accents_->setChecked(true);
    filter_ = new QCheckBox(tr("Show &only matches"), this);
    filter_->setObjectName("FindFilter");

    previous_ = new QToolButton(this);
    previous_->setObjectName("FindPrevious");
    previous_->setArrowType(Qt::UpArrow);
    previous_->setToolTip(tr("Previous match (Shift+Enter)"));
    next_ = new QToolButton(this);
    next_->setObjectName("FindNext");
    next_->setArrowType(Qt::DownArrow);
    next_->setToolTip(tr("Next match (Enter)"));
    count_ = new QLabel(this);
    count_->setObjectName("FindCount");
    count_->setMinimumWidth(
        std::max(count_->fontMetrics().horizontalAdvance(tr("%1 of %2").arg("00000", "00000")),
                 count_->fontMetrics().horizontalAdvance(
                     Counted(88888, "match", "matches").replace('8', '0'))));
    auto* close = new QToolButton(this);
    close->setObjectName("FindClose");
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close (Esc)"));

    layout->addWidget(label);
    layout->addWidget(text_, 1);
    layout->addWidget(column_);
    layout->addWidget(accents_);
    layout->addWidget(filter_);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(count_);
    layout->addWidget(close);
    for (QWidget* w : {static_cast<QWidget*>(previous_), static_cast<QWidget*>(next_),
                       static_cast<QWidget*>(close)})
        w->setFocusPolicy(Qt::NoFocus);

    connect(text_, &QLineEdit::textChanged, this, [this] { Search(true); });
    connect(column_, &QComboBox::currentIndexChanged, this, [this] { Search(true); });
    connect(accents_, &QCheckBox::toggled, this, [this] { Search(true); });
    connect(filter_, &QCheckBox::toggled, this, [this] {
        touched_.clear();
        kept_.clear();
        ApplyFilter();
        current_ = MatchAtCursor();
        count_->setText(CountText());
    });
    connect(previous_, &QToolButton::clicked, this, &TFindBar::Previous);
    connect(next_, &QToolButton::clicked, this, &TFindBar::Next);
    connect(close, &QToolButton::clicked, this, &TFindBar::Close);
    // Esc closes the bar from any of its controls, not only the text.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TFindBar::Close,
                  Qt::WidgetWithChildrenShortcut);

    // Edits change what matches; found again once the edit is finished.
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &TFindBar::Refresh);
    connect(grid->Model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (!isVisible() || text_->text().isEmpty())
                    return;
                NoteShownRowsChanged(topLeft.row() + 1, bottomRight.row() + 1);
                refreshTimer_.start(0);
            });
    hide();
}

void TFindBar::Open() {
    // Ctrl+F in an open bar only goes back to its text: the find, and the rows kept, stay.
    const bool opening = isHidden();
    show();
    text_->setFocus();
    text_->selectAll();
    if (opening)
        Search(false);
}

void TFindBar::Close() {
    if (!grid_->SetRowFilter(nullptr))
        return;
    refreshTimer_.stop();
    ForgetEdits();
    hide();
    grid_->setFocus();
}

void TFindBar::ForgetEdits() {
    touched_.clear();
    if (kept_.empty())
        return;
    kept_.clear();
    if (isVisible())
        refreshTimer_.start(0);
}

void TFindBar::NoteShownRowsChanged(int top, int bottom) {
    if (grid_->RowFilter() != rowFilter_)
        return;
    const std::vector<int>& shown = rowFilter_->Rows();
    const auto first = std::lower_bound(shown.begin(), shown.end(), top);
    const auto last = std::upper_bound(first, shown.end(), bottom);
    std::vector<int> merged;
    merged.reserve(touched_.size() + size_t(last - first));
    std::set_union(touched_.begin(), touched_.end(), first, last, std::back_inserter(merged));
    touched_ = std::move(merged);
}

void TFindBar::KeepTouchedRows() {
    // A shown row that an edit made stop matching stays: pulled away from under the cursor, it
    // would send the next value typed to its neighbour.
    std::vector<int> rows;
    std::set_union(kept_.begin(), kept_.end(), touched_.begin(), touched_.end(),
                   std::back_inserter(rows));
    kept_.clear();
    std::set_difference(rows.begin(), rows.end(), matches_.begin(), matches_.end(),
                        std::back_inserter(kept_));
    touched_.clear();
}

std::vector<int> TFindBar::Columns() const {
    const int col = column_->currentData().toInt();
    if (col > 0)
        return {col};
    return {NameCol, BarcodeCol};
}

void TFindBar::Find() {
    const TextFinder finder(DocumentCodePage(), text_->text(), accents_->isChecked());
    matches_ = finder.Rows(grid_->Model()->Table(), Columns());
}

int TFindBar::MatchAtCursor() const {
    const int row = grid_->CurrentRow();
    const auto at = std::lower_bound(matches_.begin(), matches_.end(), row);
    return at != matches_.end() && *at == row ? int(at - matches_.begin()) + 1 : 0;
}

void TFindBar::Search(bool move) {
    touched_.clear();
    kept_.clear();
    Find();
    ApplyFilter();
    current_ = MatchAtCursor();
    if (move && !matches_.empty()) {
        // From the cursor on: typing more letters keeps a match that still matches.
        const int from = std::max(grid_->CurrentRow(), 1);
        const auto at = std::lower_bound(matches_.begin(), matches_.end(), from);
        GoTo(at == matches_.end() ? 1 : int(at - matches_.begin()) + 1);
    }
    count_->setText(CountText());
}

void TFindBar::Refresh() {
    if (!isVisible())
        return;
    // A cell still being typed keeps its editor: finding again waits for the edit to finish.
    if (grid_->EditState() == TEditGrid::State::Edit) {
        refreshTimer_.start(200);
        return;
    }
    Find();
    KeepTouchedRows();
    ApplyFilter();
    current_ = MatchAtCursor();
    count_->setText(CountText());
}

void TFindBar::ApplyFilter() {
    if (!filter_->isChecked() || text_->text().isEmpty()) {
        if (!grid_->SetRowFilter(nullptr)) {
            const QSignalBlocker quiet(filter_);
            filter_->setChecked(true);
        }
        return;
    }
    std::vector<int> rows;
    rows.reserve(matches_.size() + kept_.size());
    std::set_union(matches_.begin(), matches_.end(), kept_.begin(), kept_.end(),
                   std::back_inserter(rows));
    const int row = grid_->CurrentRow();
    const int col = std::max(grid_->CurrentCol(), 1);
    if (grid_->RowFilter() == rowFilter_) {
        rowFilter_->SetRows(rows);
        if (!grid_->currentIndex().isValid() || grid_->CurrentRow() != row) {
            const auto at = std::lower_bound(rows.begin(), rows.end(), row);
            if (at != rows.end())
                grid_->SetCurrentCell(*at, col);
            else if (!rows.empty())
                grid_->SetCurrentCell(rows.back(), col);
        }
        return;
    }
    if (grid_->EditState() == TEditGrid::State::Edit && !grid_->ValidateActiveCell()) {
        const QSignalBlocker quiet(filter_);
        filter_->setChecked(false);
        return;
    }
    rowFilter_->SetRows(std::move(rows));
    grid_->SetRowFilter(rowFilter_);
}

void TFindBar::GoTo(int index) {
    if (matches_.empty())
        return;
    const int row = matches_[size_t(index - 1)];
    int col = column_->currentData().toInt();
    if (col == 0) {
        const TextFinder finder(DocumentCodePage(), text_->text(), accents_->isChecked());
        col = finder.Matches(grid_->Model()->Cell(row, NameCol)) ? NameCol : BarcodeCol;
    }
    // The cell being left is checked first, as any move of the cursor does.
    if (grid_->currentIndex().isValid() && grid_->CurrentRow() != row &&
        !grid_->ValidateActiveCell())
        return;
    grid_->SetCurrentCell(row, col);
    current_ = index;
    count_->setText(CountText());
}

// Next and Previous count from the cursor's row, which need not be a match: the user may have
// moved, or edited the row out of the matches.
void TFindBar::Next() {
    if (matches_.empty())
        return;
    const auto at = std::upper_bound(matches_.begin(), matches_.end(), grid_->CurrentRow());
    GoTo(at == matches_.end() ? 1 : int(at - matches_.begin()) + 1);
}

void TFindBar::Previous() {
    if (matches_.empty())
        return;
    const auto at = std::lower_bound(matches_.begin(), matches_.end(), grid_->CurrentRow());
    GoTo(at == matches_.begin() ? int(matches_.size()) : int(at - matches_.begin()));
}

QString TFindBar::CountText() const {
    if (text_->text().isEmpty())
        return {};
    if (matches_.empty())
        return tr("No match");
    if (current_ == 0)
        return Counted(qint64(matches_.size()), "match", "matches");
    return tr("%1 of %2").arg(current_).arg(matches_.size());
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            (key->modifiers() & Qt::ShiftModifier) ? Previous() : Next();
            return true;
        case Qt::Key_Escape:
            Close();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
