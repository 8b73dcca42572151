#pragma once
// Pushing the local history to the chain's server. The local file is always written first; a
// push sends what the server does not have yet, batch by batch, each batch in one server
// transaction. Every row is known by its UUID there, so a batch sent twice (a push killed
// between the server's commit and the local mark, two pushes at once, a push run again) is
// stored once.

#include <QString>

#include <atomic>
#include <functional>

class THistoryStore;
struct THistoryServer;

struct TPushCounts {
    qint64 reports = 0;
    qint64 journalEntries = 0;
    qint64 snapshots = 0;
    qint64 salesLines = 0;
    qint64 Rows() const { return reports + journalEntries + snapshots + salesLines; }
};

struct TPushResult {
    QString error;             // empty when everything the local file holds is on the server
    bool serverFailed = false; // the server (not the local file) failed: trying later helps
    TPushCounts sent;          // rows sent, including ones the server already had
};

struct TPushOptions {
    int batchRows = 5000; // rows of one server transaction, about
    // Between batches: stop early (what was sent stays sent).
    const std::atomic<bool>* stop = nullptr;
    std::function<void(const TPushCounts&)> progress{};
};

// One pass over the local file with the server open.
TPushResult PushHistory(THistoryStore& local, THistoryStore& server,
                        const TPushOptions& options = {});

// Opens the server and pushes; while the server cannot be reached or fails, tries again for
// up to waitSeconds (0: once), so a server restarting meanwhile loses nothing.
TPushResult PushToServer(THistoryStore& local, const THistoryServer& server, int waitSeconds,
                         const TPushOptions& options = {});
