#pragma once
// Sales over time: every upload that reads the register's sales counters keeps them as a
// snapshot, and what was sold between two moments (or two snapshots) is the sum of what each
// snapshot sold since the one before it, per item or per department.

#include "IBusNames.h"
#include "RecordLayouts.h"

#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

class THistoryStore;
struct SheetDialect;

struct TSalesItem {
    int64_t barcode = 0;
    std::optional<int> plu;        // the lowest PLU number read with this barcode, if any was
    QString name;                  // empty when no PLU item with the barcode was read
    std::optional<int> department; // 1 to 8
    int64_t quantity = 0;          // thousandths
    int64_t total = 0;             // money units at the register's decimals
};

// What the register sent during one operation, gathered block by block: the status, the PLU
// items and the sales counters.
class TSalesReading {
public:
    void BlockRead(uint8_t command, uint16_t blockNo, const Block& data);

    bool StatusRead() const { return status_.has_value(); }
    int Decimals() const { return status_ ? status_->Decimals : 0; }
    uint32_t RecordCount() const { return status_ ? status_->SalesRecordCount : 0; }
    // Every sales block the status announced has been read (and there was at least one).
    bool Whole() const;
    // The items with a counter that is not zero, by barcode; a later record of a barcode wins,
    // as in the upload.
    std::vector<TSalesItem> Items() const;

private:
    std::optional<RegisterStatus> status_;
    std::map<int, PluFields> plus_; // by PLU number
    std::vector<uint8_t> stream_;
};

struct TSalesSnapshot {
    QString uuid;
    QDateTime taken;
    QString registerName;
    QString port;
    int decimals = 0;
    std::vector<TSalesItem> items;
};

// Stores the snapshot and what each item sold since the previous snapshot of the same register
// and port: the difference of the counters, or the whole counter where it went down (the
// register cleared it) or where there is no previous snapshot. Sets snapshot.uuid.
QString StoreSalesSnapshot(THistoryStore& store, TSalesSnapshot& snapshot);

enum class TSalesBy { Item, Department };

// What was sold, for one item or one department. Totals of snapshots at other decimals are
// brought to the most decimals among them, exactly.
struct TSoldLine {
    int64_t barcode = 0;           // by item
    std::optional<int> plu;        // by item: as the latest snapshot named it
    QString name;                  // by item
    std::optional<int> department; // by department (empty: items no PLU named)
    int64_t quantity = 0;          // thousandths
    int64_t total = 0;             // money units at `decimals`
    int decimals = 0;
};

// Snapshots taken from <= t < to; largest total first. count < 0: every line.
std::vector<TSoldLine> SoldBetween(THistoryStore& store, const QDateTime& from, const QDateTime& to,
                                   TSalesBy by, int count, QString* error);
// Snapshots of the register of `first` after it, up to and including `last`.
std::vector<TSoldLine> SoldBetweenSnapshots(THistoryStore& store, const QString& first,
                                            const QString& last, TSalesBy by, QString* error);

// One item's sales, snapshot by snapshot, oldest first.
struct TItemSale {
    QString takenAt; // UTC, as stored
    QString registerName;
    int64_t quantity = 0;
    int64_t total = 0;
    int decimals = 0;
};
std::vector<TItemSale> ItemSales(THistoryStore& store, int64_t barcode, const QDateTime& from,
                                 const QDateTime& to, QString* error);

// A snapshot as a list offers it to choose from.
struct TSnapshotInfo {
    QString uuid;
    QString takenAt; // UTC, as stored
    QString shop;
    QString registerName;
    QString port;
    int items = 0;
};
// Newest first; count < 0: every one.
std::vector<TSnapshotInfo> ListSnapshots(THistoryStore& store, int count, QString* error);

// What each snapshot taken from <= t < to sold in all, oldest first: the points of a line of
// totals over time.
struct TSnapshotTotal {
    QString takenAt; // UTC, as stored
    QString registerName;
    QString port;
    int64_t total = 0; // money units at `decimals`
    int decimals = 0;
};
std::vector<TSnapshotTotal> SnapshotTotals(THistoryStore& store, const QDateTime& from,
                                           const QDateTime& to, QString* error);

// "12.345" for 12345 thousandths; "-0.05" for -5 at two decimals.
QString FixedText(int64_t units, int decimals, char separator = '.');

// The lines as a spreadsheet file in an export dialect: a header row, then one row a line.
std::string SalesSheet(const std::vector<TSoldLine>& lines, TSalesBy by,
                       const SheetDialect& dialect);
