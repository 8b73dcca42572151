#pragma once
// A read-only table that asks its source for rows a page at a time, as the view scrolls to
// them: a list of years of history is never held whole.

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

struct TPagedRow {
    qint64 id = 0;
    QStringList cells;
    QString detail;     // shown beside the table for the current row
    bool alert = false; // a row to notice: shown in the error colour
};

class TPagedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows offset.. offset+count-1 of the source; fewer at its end. Sets *error when it fails.
    using Source = std::function<std::vector<TPagedRow>(int offset, int count, QString* error)>;

    explicit TPagedTableModel(QStringList headers, QObject* parent = nullptr);

    // Starts again from the source's first page.
    void Reset(Source source);
    const TPagedRow* Row(int row) const;
    // Why the last page could not be read; empty when it could.
    const QString& Error() const { return error_; }

    static constexpr int PageSize = 200;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    void failed(const QString& error);

private:
    std::vector<TPagedRow> FetchPage();

    QStringList headers_;
    Source source_;
    std::vector<TPagedRow> rows_;
    bool atEnd_ = true;
    QString error_;
};
