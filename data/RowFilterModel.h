#pragma once
// Some rows of a grid's model, in document order: the view of a filter. Cells are read and
// written through to the grid's model, so editing here edits the document; the row header shows
// the row's own number (the PLU number).

#include "GridModel.h"

#include <QAbstractTableModel>

#include <vector>

class TRowFilterModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRowFilterModel(TGridModel* source, QObject* parent = nullptr);

    TGridModel* Source() const { return source_; }
    // Document rows (1-based), ascending.
    void SetRows(std::vector<int> rows);
    const std::vector<int>& Rows() const { return rows_; }
    int SourceRow(int viewRow) const { return rows_[size_t(viewRow - 1)]; }
    // 0 when the row is not shown.
    int ViewRow(int sourceRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void SourceChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    TGridModel* source_;
    std::vector<int> rows_;
};
