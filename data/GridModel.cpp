#include "GridModel.h"

#include "CodePage.h"

TGridModel::TGridModel(TextTable table, std::span<const std::string> titles, QObject* parent)
    : QAbstractTableModel(parent), table_(std::move(table)), titles_(titles) {}

void TGridModel::SetCell(int row, int col, std::string text) {
    table_.Cell(row, col) = std::move(text);
    const QModelIndex at = CellIndex(row, col);
    emit dataChanged(at, at);
}

void TGridModel::CellChanged(int row, int col) {
    const QModelIndex at = CellIndex(row, col);
    emit dataChanged(at, at);
}

void TGridModel::CellsChanged(int top, int left, int bottom, int right) {
    emit dataChanged(CellIndex(top, left), CellIndex(bottom, right));
}

void TGridModel::ResetRows(int first, int last) {
    table_.ResetRows(first, last);
    emit dataChanged(CellIndex(first, 1), CellIndex(last, table_.Cols()));
}

void TGridModel::MoveRow(int from, int to) {
    table_.MoveRow(from, to);
    emit dataChanged(CellIndex(std::min(from, to), 1),
                     CellIndex(std::max(from, to), table_.Cols()));
}

void TGridModel::TableChanged() {
    emit dataChanged(CellIndex(1, 1), CellIndex(table_.Rows(), table_.Cols()));
    emit headerDataChanged(Qt::Horizontal, 0, table_.Cols() - 1);
}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.Rows();
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.Cols();
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return DocumentCodePage().ToUnicode(table_.Cell(index.row() + 1, index.column() + 1));
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    auto bytes = DocumentCodePage().FromUnicode(value.toString());
    if (!bytes)
        return false;
    SetCell(index.row() + 1, index.column() + 1, std::move(*bytes));
    return true;
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    if (size_t(section + 1) < titles_.size())
        return DocumentCodePage().ToUnicode(titles_[size_t(section + 1)]);
    return {};
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
