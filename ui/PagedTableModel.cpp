#include "PagedTableModel.h"

#include <QBrush>
#include <QColor>

TPagedTableModel::TPagedTableModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void TPagedTableModel::Reset(Source source) {
    beginResetModel();
    source_ = std::move(source);
    rows_.clear();
    atEnd_ = false;
    rows_ = FetchPage();
    endResetModel();
}

std::vector<TPagedRow> TPagedTableModel::FetchPage() {
    error_.clear();
    std::vector<TPagedRow> page;
    if (source_)
        page = source_(int(rows_.size()), PageSize, &error_);
    // A failed page ends the list: asking again would fail again at every scroll.
    if (!error_.isEmpty() || page.size() < size_t(PageSize))
        atEnd_ = true;
    if (!error_.isEmpty())
        emit failed(error_);
    return page;
}

const TPagedRow* TPagedTableModel::Row(int row) const {
    return row >= 0 && size_t(row) < rows_.size() ? &rows_[size_t(row)] : nullptr;
}

int TPagedTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TPagedTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(headers_.size());
}

QVariant TPagedTableModel::data(const QModelIndex& index, int role) const {
    const TPagedRow* row = Row(index.row());
    if (!row)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return row->cells.value(index.column());
    if (role == Qt::ForegroundRole && row->alert)
        return QBrush(QColor(0xB0, 0x00, 0x20));
    return {};
}

QVariant TPagedTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers_.value(section);
    return {};
}

bool TPagedTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void TPagedTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    std::vector<TPagedRow> page = FetchPage();
    if (page.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(page.size()) - 1);
    for (TPagedRow& row : page)
        rows_.push_back(std::move(row));
    endInsertRows();
}
