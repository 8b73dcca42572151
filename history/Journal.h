#pragma once
// The journal: one entry for every operation that talked to a register (or tried to), written
// when it starts and completed when it ends, so that one cut short by a crash still shows.

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class THistoryStore;

// The operations' names, as the journal keeps them and --operation takes them.
namespace operations {
inline constexpr char Download[] = "download";
inline constexpr char SendChanges[] = "send-changes";
inline constexpr char Upload[] = "upload";
inline constexpr char Compare[] = "compare";
inline constexpr char Backup[] = "backup";
inline constexpr char Restore[] = "restore";
inline constexpr char Report[] = "report";
inline constexpr char Test[] = "test";
inline constexpr char Detect[] = "detect";
inline constexpr char Dump[] = "dump";
inline constexpr char Program[] = "program";
inline constexpr char Font[] = "font";
} // namespace operations
bool IsOperationName(const QString& name);

// Results: done, failed (with the step's error text), cancelled; unfinished until the end is
// written, which a crash never does.
namespace results {
inline constexpr char Done[] = "done";
inline constexpr char Failed[] = "failed";
inline constexpr char Cancelled[] = "cancelled";
inline constexpr char Unfinished[] = "unfinished";
} // namespace results

struct TJournalEntry {
    qint64 id = 0;
    QString uuid;
    QDateTime started;
    QDateTime ended;
    QString shop;
    QString registerName; // the identification the register gave, empty before it gave one
    QString port;         // as asked: COM2, or a device path
    QString device;       // the device opened, empty when none was
    int rate = 0;         // baud
    QString operation;
    QString kinds; // "plu,dept,recy,param" as chosen; empty where the operation has none
    std::optional<int> rangeBegin;
    std::optional<int> rangeEnd;
    QString result = results::Unfinished;
    QString error;
    qint64 blocks = 0; // data blocks read and written
    qint64 bytes = 0;  // bytes on the line, both ways
    double seconds = 0;
    QString document;       // the file sent (downloads) or loaded (program, font)
    QString documentSha256; // of the data blocks sent
    QString reportUuid;     // the report archived by this operation
    QString snapshotUuid;   // the sales snapshot it took
};

// Writes a new entry (entry.uuid empty) or completes one; sets uuid and id. Empty when written.
QString WriteJournalEntry(THistoryStore& store, TJournalEntry& entry);

struct TJournalFilter {
    std::optional<QDateTime> since{};
    std::optional<QDateTime> until{};
    QString operation{};
    QString registerName{};  // a part of it, any case
    bool failedOnly = false; // failed and unfinished
    QString result{};        // one result only; empty: any
    int limit = -1;
    int offset = 0;
};

// Newest first.
std::vector<TJournalEntry> ListJournal(THistoryStore& store, const TJournalFilter& filter,
                                       QString* error);
