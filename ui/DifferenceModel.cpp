#include "DifferenceModel.h"

#include "CodePage.h"
#include "Comparison.h"

void TDifferenceModel::SetDifferences(const std::vector<TDifference>* differences) {
    beginResetModel();
    differences_ = differences;
    endResetModel();
}

int TDifferenceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !differences_ ? 0 : int(differences_->size());
}

int TDifferenceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TDifferenceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !differences_ || index.row() >= rowCount())
        return {};
    const TDifference& d = (*differences_)[size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == ItemColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const CodePage& cp = DocumentCodePage();
    switch (index.column()) {
    case KindColumn:
        return cp.ToUnicode(DownloadKindNames[d.kind]);
    case ItemColumn:
        return d.kind == KindParameter ? QVariant() : QVariant(d.item);
    case FieldColumn:
        return cp.ToUnicode(FieldName(d));
    case PcColumn:
        return cp.ToUnicode(d.pc);
    case RegisterColumn:
        return cp.ToUnicode(d.reg);
    default:
        return {};
    }
}

QVariant TDifferenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char* const titles[ColumnCount] = {"Kind", "No.", "Field", "PC", "Register"};
    return section >= 0 && section < ColumnCount ? QVariant(titles[section]) : QVariant();
}
