#pragma once
// The comparison's differences as a table: kind, number, field, the PC's value, the register's.
// Texts are converted from the code page only when a row is shown, so 30000 rows cost nothing.

#include <QAbstractTableModel>

#include <vector>

struct TDifference;

class TDifferenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { KindColumn, ItemColumn, FieldColumn, PcColumn, RegisterColumn, ColumnCount };

    explicit TDifferenceModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The list must stay in place while the model shows it.
    void SetDifferences(const std::vector<TDifference>* differences);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<TDifference>* differences_ = nullptr;
};
