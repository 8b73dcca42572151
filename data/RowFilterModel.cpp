#include "RowFilterModel.h"

#include <algorithm>

TRowFilterModel::TRowFilterModel(TGridModel* source, QObject* parent)
    : QAbstractTableModel(parent), source_(source) {
    connect(source, &QAbstractItemModel::dataChanged, this, &TRowFilterModel::SourceChanged);
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation, int first, int last) {
                if (orientation == Qt::Horizontal)
                    emit headerDataChanged(orientation, first, last);
            });
}

void TRowFilterModel::SetRows(std::vector<int> rows) {
    if (rows == rows_)
        return;
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TRowFilterModel::ViewRow(int sourceRow) const {
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), sourceRow);
    return at != rows_.end() && *at == sourceRow ? int(at - rows_.begin()) + 1 : 0;
}

void TRowFilterModel::SourceChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    const auto first = std::lower_bound(rows_.begin(), rows_.end(), topLeft.row() + 1);
    const auto last = std::upper_bound(first, rows_.end(), bottomRight.row() + 1);
    if (first == last)
        return;
    emit dataChanged(index(int(first - rows_.begin()), topLeft.column()),
                     index(int(last - rows_.begin()) - 1, bottomRight.column()));
}

int TRowFilterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TRowFilterModel::columnCount(const QModelIndex& parent) const {
    return source_->columnCount(parent);
}

QVariant TRowFilterModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    return source_->data(source_->CellIndex(SourceRow(index.row() + 1), index.column() + 1), role);
}

bool TRowFilterModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid())
        return false;
    return source_->setData(source_->CellIndex(SourceRow(index.row() + 1), index.column() + 1),
                            value, role);
}

QVariant TRowFilterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole && size_t(section) < rows_.size()
                   ? QVariant(QString::number(rows_[size_t(section)]))
                   : QVariant();
    return source_->headerData(section, orientation, role);
}

Qt::ItemFlags TRowFilterModel::flags(const QModelIndex& index) const {
    return source_->flags(index);
}
