#pragma once
// The comparison's differences grouped by kind: one row per kind compared, with its counts and a
// check box that chooses whether its changes are sent (ticked where it has differences), and
// under it one row per difference: item, field, the PC's value, the register's. Texts are
// converted from the code page only when a row is shown, so 30000 rows cost nothing.

#include "TransferContext.h"

#include <QAbstractItemModel>

#include <vector>

struct TComparison;
struct TDifference;

class TDifferenceModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { ItemColumn, FieldColumn, PcColumn, RegisterColumn, ColumnCount };

    explicit TDifferenceModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    // The comparison must stay in place while the model shows it. Every kind with differences
    // is chosen.
    void SetComparison(const TComparison* comparison);

    // The kinds whose changes are chosen for sending and not sent yet.
    KindSet Chosen() const { return chosen_; }
    // These kinds' changes have gone: they are shown as sent and can no longer be chosen.
    void MarkSent(KindSet kinds);
    KindSet Sent() const { return sent_; }
    // Kinds with differences that have not been sent.
    KindSet Unsent() const;

    // The row of a kind; invalid when the kind was not compared.
    QModelIndex KindIndex(int kind) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void ChosenChanged();

private:
    struct Group {
        int kind = 0;
        size_t first = 0; // its differences in the comparison's list
        size_t count = 0;
    };
    bool Choosable(const Group& group) const;

    const TComparison* comparison_ = nullptr;
    std::vector<Group> groups_;
    KindSet chosen_;
    KindSet sent_;
};

// "PLU: 3 differences in 2 items" and the kinds compared in a row, as the window shows them.
QString KindSummaryText(const TComparison& c, int kind);
// "department 3" of a difference's line.
QString ItemText(const TDifference& d);
QString ComparisonSummaryText(const TComparison& c);
