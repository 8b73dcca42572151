#pragma once
// The rows of the results window: one per register's job, with its state, block n of N, its
// time and the error text. It reads the runner's jobs; a job that changed repaints its own row
// only, and the running jobs' times tick once a second.

#include <QAbstractTableModel>
#include <QTimer>

class TJobRunner;

class TJobModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Register, Port, State, Block, Time, Error, ColumnCount };

    explicit TJobModel(const TJobRunner& runner, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The runner's job changed (a new step, a block, its end).
    void JobChanged(int job);
    // The runner has a new set of jobs.
    void Reset();
    // "3 of 4 done, 1 failed".
    QString Summary() const;

private:
    void Tick();

    const TJobRunner& runner_;
    QTimer clock_;
};
