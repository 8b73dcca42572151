#include "DifferenceModel.h"

#include "CodePage.h"
#include "Comparison.h"
#include "Counted.h"
#include "DisplayTexts.h"

#include <QFont>

namespace {

// Internal id of a kind's row; a difference's row carries its group's number plus one.
constexpr quintptr GroupRowId = 0;

} // namespace

void TDifferenceModel::SetComparison(const TComparison* comparison) {
    beginResetModel();
    comparison_ = comparison;
    groups_.clear();
    chosen_.reset();
    sent_.reset();
    if (comparison_) {
        // The list runs kind by kind, in kind order.
        size_t at = 0;
        for (int kind = KindPLU; kind <= KindParameter; ++kind) {
            if (!comparison_->kinds.test(size_t(kind)))
                continue;
            Group group{kind, at, 0};
            while (at < comparison_->differences.size() &&
                   comparison_->differences[at].kind == kind)
                ++at;
            group.count = at - group.first;
            chosen_.set(size_t(kind), group.count > 0);
            groups_.push_back(group);
        }
    }
    endResetModel();
    emit ChosenChanged();
}

void TDifferenceModel::MarkSent(KindSet kinds) {
    sent_ |= kinds;
    chosen_ &= ~sent_;
    for (const Group& group : groups_)
        if (kinds.test(size_t(group.kind))) {
            const QModelIndex row = KindIndex(group.kind);
            emit dataChanged(row, row.siblingAtColumn(ColumnCount - 1));
        }
    emit ChosenChanged();
}

KindSet TDifferenceModel::Unsent() const {
    KindSet kinds;
    for (const Group& group : groups_)
        kinds.set(size_t(group.kind), group.count > 0 && !sent_.test(size_t(group.kind)));
    return kinds;
}

bool TDifferenceModel::Choosable(const Group& group) const {
    return group.count > 0 && !sent_.test(size_t(group.kind));
}

QModelIndex TDifferenceModel::KindIndex(int kind) const {
    for (size_t g = 0; g < groups_.size(); ++g)
        if (groups_[g].kind == kind)
            return createIndex(int(g), 0, GroupRowId);
    return {};
}

QModelIndex TDifferenceModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < int(groups_.size()) ? createIndex(row, column, GroupRowId) : QModelIndex();
    if (parent.internalId() != GroupRowId || parent.row() >= int(groups_.size()))
        return {};
    if (size_t(row) >= groups_[size_t(parent.row())].count)
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex TDifferenceModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == GroupRowId)
        return {};
    return createIndex(int(child.internalId() - 1), 0, GroupRowId);
}

int TDifferenceModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(groups_.size());
    if (parent.internalId() != GroupRowId || parent.column() != 0 ||
        parent.row() >= int(groups_.size()))
        return 0;
    return int(groups_[size_t(parent.row())].count);
}

int TDifferenceModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant TDifferenceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !comparison_)
        return {};
    const CodePage& cp = DocumentCodePage();
    if (index.internalId() == GroupRowId) {
        const Group& group = groups_[size_t(index.row())];
        if (index.column() != ItemColumn)
            return {};
        switch (role) {
        case Qt::DisplayRole: {
            QString text = KindSummaryText(*comparison_, group.kind);
            if (sent_.test(size_t(group.kind)))
                text += tr(" (sent)");
            return text;
        }
        case Qt::CheckStateRole:
            return chosen_.test(size_t(group.kind)) ? Qt::Checked : Qt::Unchecked;
        case Qt::FontRole: {
            QFont font;
            font.setBold(true);
            return font;
        }
        default:
            return {};
        }
    }
    const Group& group = groups_[size_t(index.internalId() - 1)];
    const TDifference& d = comparison_->differences[group.first + size_t(index.row())];
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case ItemColumn:
        return d.kind == KindParameter ? QVariant() : QVariant(ItemText(d));
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

bool TDifferenceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.internalId() != GroupRowId || role != Qt::CheckStateRole)
        return false;
    const Group& group = groups_[size_t(index.row())];
    if (!Choosable(group))
        return false;
    chosen_.set(size_t(group.kind), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit ChosenChanged();
    return true;
}

Qt::ItemFlags TDifferenceModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.internalId() != GroupRowId)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A kind without differences is shown greyed: there is nothing of it to send.
    const Group& group = groups_[size_t(index.row())];
    if (group.count == 0)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ItemColumn && Choosable(group))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TDifferenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char* const titles[ColumnCount] = {QT_TR_NOOP("Item"), QT_TR_NOOP("Field"),
                                                    QT_TR_NOOP("PC"), QT_TR_NOOP("Register")};
    return section >= 0 && section < ColumnCount ? QVariant(tr(titles[section])) : QVariant();
}

QString ItemText(const TDifference& d) {
    // A language file's kind names are shown as the engine writes them.
    static const char* const builtIn[] = {"PLU", "department", "recycling", "parameter"};
    if (DownloadKindNames[size_t(d.kind)] != builtIn[size_t(d.kind)])
        return DocumentCodePage().ToUnicode(ItemName(d));
    switch (d.kind) {
    case KindPLU:
        return TDifferenceModel::tr("PLU %1").arg(d.item);
    case KindDepartment:
        return TDifferenceModel::tr("department %1").arg(d.item);
    default:
        return TDifferenceModel::tr("recycling %1").arg(d.item);
    }
}

QString KindSummaryText(const TComparison& c, int kind) {
    const QString name = DisplayWord(DownloadKindNames[size_t(kind)]);
    const int n = c.differencesOfKind[size_t(kind)];
    if (n == 0)
        return TDifferenceModel::tr("%1: no difference").arg(name);
    if (kind == KindParameter)
        return TDifferenceModel::tr("%1: %2").arg(name, Counted(n, "difference", "differences"));
    // "PLU: 3 differences in 2 items"; the items' count takes the case the sentence needs.
    return TDifferenceModel::tr("%1: %2 in %3")
        .arg(name, Counted(n, "difference", "differences"),
             PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n items (in)"), c.itemsOfKind[size_t(kind)],
                      Counted(c.itemsOfKind[size_t(kind)], "item", "items")));
}

QString ComparisonSummaryText(const TComparison& c) {
    QStringList parts;
    for (int kind = KindPLU; kind <= KindParameter; ++kind)
        if (c.kinds.test(size_t(kind)))
            parts << KindSummaryText(c, kind);
    return parts.join("; ");
}
