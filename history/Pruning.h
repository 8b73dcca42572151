#pragma once
// Keeping: nothing leaves the history by itself (reports must be kept for years). Pruning
// deletes what is older than a date, when the user asks, after showing what it would delete.

#include <QDateTime>
#include <QString>

class THistoryStore;

struct TPruneCounts {
    int reports = 0;
    int journalEntries = 0;
    int snapshots = 0;
    qint64 salesLines = 0;
    bool Empty() const { return reports == 0 && journalEntries == 0 && snapshots == 0; }
};

// What lies before the moment.
TPruneCounts CountBefore(THistoryStore& store, const QDateTime& before, QString* error);
// Deletes it in one transaction and gives the space back; *deleted says what went. Empty when
// done, else why not (and nothing was deleted).
QString PruneBefore(THistoryStore& store, const QDateTime& before, TPruneCounts* deleted);
