#pragma once
// A table model over a TextTable: the grids show the cell bytes through the document's code
// page and write typed text back as bytes. Row and column headers are the fixed cells: the row
// number and the column titles.

#include "TextTable.h"

#include <QAbstractTableModel>

#include <span>
#include <string>

class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // titles: column 0 (the row-number column) first; kept by reference so a language file
    // loaded later shows.
    TGridModel(TextTable table, std::span<const std::string> titles, QObject* parent = nullptr);

    TextTable& Table() { return table_; }
    const TextTable& Table() const { return table_; }
    const std::string& Title(int col) const { return titles_[size_t(col)]; }

    // 1-based, as the document counts.
    const std::string& Cell(int row, int col) const { return table_.Cell(row, col); }
    void SetCell(int row, int col, std::string text);
    void CellChanged(int row, int col);
    // After the cells of a block were written straight into Table().
    void CellsChanged(int top, int left, int bottom, int right);
    void ResetRows(int first, int last);
    void MoveRow(int from, int to);
    // After the table was changed behind the model's back (loading, test data, upload).
    void TableChanged();

    QModelIndex CellIndex(int row, int col) const { return index(row - 1, col - 1); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TextTable table_;
    std::span<const std::string> titles_;
};
