#include "SalesHistory.h"

#include "CodePage.h"
#include "HistoryStore.h"
#include "HistoryTime.h"
#include "SheetExport.h"

#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

int64_t Power10(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// A total at other decimals, exactly where it grows; rounded half away from zero where it
// shrinks.
int64_t Rescale(int64_t units, int from, int to) {
    if (to >= from) {
        int64_t scaled = 0;
        if (__builtin_mul_overflow(units, Power10(to - from), &scaled))
            return units < 0 ? std::numeric_limits<int64_t>::min()
                             : std::numeric_limits<int64_t>::max();
        return scaled;
    }
    const int64_t divisor = Power10(from - to);
    const int64_t half = divisor / 2;
    return units >= 0 ? (units + half) / divisor : -((-units + half) / divisor);
}

struct Counters {
    int64_t quantity = 0;
    int64_t total = 0;
};

// What a group of the sales table summed: its key, its snapshots' decimals and the sums.
struct SoldGroup {
    int64_t key = 0;
    bool keyNull = false;
    int decimals = 0;
    int64_t quantity = 0;
    int64_t total = 0;
    std::optional<int> plu;
    QString name;
};

// Brings the groups of one key together at the most decimals any of them has.
std::vector<TSoldLine> Combine(const std::vector<SoldGroup>& groups, TSalesBy by, int count) {
    int decimals = 0;
    for (const SoldGroup& g : groups)
        decimals = std::max(decimals, g.decimals);
    std::map<std::pair<bool, int64_t>, TSoldLine> lines;
    for (const SoldGroup& g : groups) {
        TSoldLine& line = lines[{g.keyNull, g.key}];
        line.decimals = decimals;
        line.quantity += g.quantity;
        line.total += Rescale(g.total, g.decimals, decimals);
        if (by == TSalesBy::Item) {
            line.barcode = g.key;
            if (line.name.isEmpty() || g.plu) {
                line.plu = g.plu;
                line.name = g.name;
            }
        } else if (!g.keyNull) {
            line.department = int(g.key);
        }
    }
    std::vector<TSoldLine> result;
    for (auto& [key, line] : lines)
        if (line.quantity != 0 || line.total != 0)
            result.push_back(std::move(line));
    std::stable_sort(result.begin(), result.end(), [](const TSoldLine& a, const TSoldLine& b) {
        return a.total != b.total ? a.total > b.total : a.quantity > b.quantity;
    });
    if (count >= 0 && result.size() > size_t(count))
        result.resize(size_t(count));
    return result;
}

// The sums of the snapshots `where` picks, per item or department and decimals.
std::vector<TSoldLine> Sold(THistoryStore& store, const QString& where, const QVariantList& values,
                            TSalesBy by, int count, QString* error) {
    const QString from =
        " FROM sales s JOIN sales_snapshots sn ON sn.id = s.snapshot_id WHERE " + where;
    const QString sql =
        by == TSalesBy::Item
            // The name and PLU number an item had in the latest snapshot that sold it.
            ? "WITH sold AS (SELECT s.barcode AS barcode, sn.decimals AS decimals, "
              "SUM(s.sold_quantity) AS quantity, SUM(s.sold_total) AS total, "
              "MAX(s.snapshot_id) AS last" +
                  from +
                  " GROUP BY s.barcode, sn.decimals) "
                  "SELECT sold.barcode, 0, sold.decimals, sold.quantity, sold.total, l.plu, l.name "
                  "FROM sold JOIN sales l ON l.snapshot_id = sold.last AND l.barcode = sold.barcode"
            : "SELECT s.department, s.department IS NULL, sn.decimals, SUM(s.sold_quantity), "
              "SUM(s.sold_total), NULL, ''" +
                  from + " GROUP BY s.department, sn.decimals";
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    std::vector<SoldGroup> groups;
    if (!query.exec()) {
        *error = QueryError(query);
        return {};
    }
    while (query.next()) {
        SoldGroup g;
        g.key = query.value(0).toLongLong();
        g.keyNull = query.value(0).isNull() || query.value(1).toInt() != 0;
        g.decimals = query.value(2).toInt();
        g.quantity = query.value(3).toLongLong();
        g.total = query.value(4).toLongLong();
        if (!query.value(5).isNull())
            g.plu = query.value(5).toInt();
        g.name = query.value(6).toString();
        groups.push_back(std::move(g));
    }
    return Combine(groups, by, count);
}

} // namespace

void TSalesReading::BlockRead(uint8_t command, uint16_t blockNo, const Block& data) {
    switch (command) {
    case CmdReadStatus:
        // Every transfer starts with it: sales blocks before it belonged to another connection.
        status_ = DecodeStatusAnswer(data);
        stream_.clear();
        break;
    case CmdReadPlu:
        for (int j = 0; j < PlusPerReadBlock; ++j) {
            const auto record = std::span<const uint8_t, PluRecordSize>(
                data.data() + PluRecordSize * j, PluRecordSize);
            if (!IsEmptyPluSlot(record))
                plus_[PlusPerReadBlock * blockNo + j + 1] = DecodePluFields(record);
        }
        break;
    case CmdReadSales:
        if (size_t(blockNo) * BlockSize == stream_.size())
            stream_.insert(stream_.end(), data.begin(), data.end());
        break;
    default:
        break;
    }
}

bool TSalesReading::Whole() const {
    return status_ && status_->SalesRecordCount > 0 &&
           stream_.size() >= size_t(SalesBlockCount(status_->SalesRecordCount)) * BlockSize;
}

std::vector<TSalesItem> TSalesReading::Items() const {
    std::vector<TSalesItem> items;
    if (!Whole())
        return items;
    std::unordered_map<int64_t, int> pluOfBarcode;
    for (const auto& [plu, fields] : plus_)
        pluOfBarcode.try_emplace(fields.barcode, plu);
    std::map<int64_t, PluSalesRecord> latest;
    for (const PluSalesRecord& record : DecodeSalesStream(stream_, status_->SalesRecordCount))
        if (record.barcode != 0)
            latest[record.barcode] = record;
    const CodePage& codePage = DocumentCodePage();
    for (const auto& [barcode, record] : latest) {
        if (record.quantity == 0 && record.total == 0)
            continue;
        TSalesItem item;
        item.barcode = barcode;
        item.quantity = record.quantity;
        item.total = int64_t(record.total);
        if (const auto found = pluOfBarcode.find(barcode); found != pluOfBarcode.end()) {
            const PluFields& fields = plus_.at(found->second);
            item.plu = found->second;
            item.name = codePage.ToUnicode(fields.name);
            item.department = fields.department + 1;
        }
        items.push_back(std::move(item));
    }
    return items;
}

QString StoreSalesSnapshot(THistoryStore& store, TSalesSnapshot& snapshot) {
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString error = store.Write([&](QSqlDatabase& db) -> QString {
        QSqlQuery query(db);
        query.prepare("SELECT id, uuid, decimals FROM sales_snapshots WHERE register = ? AND "
                      "port = ? ORDER BY taken_at DESC, id DESC LIMIT 1");
        query.addBindValue(snapshot.registerName);
        query.addBindValue(snapshot.port);
        if (!query.exec())
            return QueryError(query);
        QString previousUuid;
        std::unordered_map<int64_t, Counters> previous;
        if (query.next()) {
            const qint64 previousId = query.value(0).toLongLong();
            previousUuid = query.value(1).toString();
            const int previousDecimals = query.value(2).toInt();
            query.prepare("SELECT barcode, quantity, total FROM sales WHERE snapshot_id = ?");
            query.addBindValue(previousId);
            if (!query.exec())
                return QueryError(query);
            while (query.next())
                previous[query.value(0).toLongLong()] = {
                    query.value(1).toLongLong(),
                    Rescale(query.value(2).toLongLong(), previousDecimals, snapshot.decimals)};
        }
        query.prepare("INSERT INTO sales_snapshots (uuid, taken_at, shop, register, port, "
                      "decimals, items, previous_uuid) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        for (const QVariant& value :
             {QVariant(uuid), QVariant(StoredTime(snapshot.taken)), TextValue(store.Shop()),
              TextValue(snapshot.registerName), TextValue(snapshot.port),
              QVariant(snapshot.decimals), QVariant(int(snapshot.items.size())),
              TextValue(previousUuid)})
            query.addBindValue(value);
        if (!query.exec())
            return QueryError(query);
        const qint64 id = query.lastInsertId().toLongLong();
        QSqlQuery insert(db);
        insert.prepare("INSERT INTO sales (snapshot_id, barcode, plu, name, department, "
                       "quantity, total, sold_quantity, sold_total) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const TSalesItem& item : snapshot.items) {
            Counters sold{item.quantity, item.total};
            if (const auto found = previous.find(item.barcode); found != previous.end()) {
                const Counters& before = found->second;
                if (item.quantity >= before.quantity && item.total >= before.total)
                    sold = {item.quantity - before.quantity, item.total - before.total};
            }
            insert.addBindValue(id);
            insert.addBindValue(qint64(item.barcode));
            insert.addBindValue(item.plu ? QVariant(*item.plu)
                                         : QVariant(QMetaType(QMetaType::Int)));
            insert.addBindValue(TextValue(item.name));
            insert.addBindValue(item.department ? QVariant(*item.department)
                                                : QVariant(QMetaType(QMetaType::Int)));
            insert.addBindValue(qint64(item.quantity));
            insert.addBindValue(qint64(item.total));
            insert.addBindValue(qint64(sold.quantity));
            insert.addBindValue(qint64(sold.total));
            if (!insert.exec())
                return QueryError(insert);
        }
        return {};
    });
    if (error.isEmpty())
        snapshot.uuid = uuid;
    return error;
}

std::vector<TSoldLine> SoldBetween(THistoryStore& store, const QDateTime& from, const QDateTime& to,
                                   TSalesBy by, int count, QString* error) {
    return Sold(store, "sn.taken_at >= ? AND sn.taken_at < ?", {StoredTime(from), StoredTime(to)},
                by, count, error);
}

std::vector<TSoldLine> SoldBetweenSnapshots(THistoryStore& store, const QString& first,
                                            const QString& last, TSalesBy by, QString* error) {
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.prepare(
        "SELECT uuid, taken_at, register, port FROM sales_snapshots WHERE uuid IN (?, ?)");
    query.addBindValue(first);
    query.addBindValue(last);
    if (!query.exec()) {
        *error = QueryError(query);
        return {};
    }
    std::map<QString, QStringList> found;
    while (query.next())
        found[query.value(0).toString()] = {query.value(1).toString(), query.value(2).toString(),
                                            query.value(3).toString()};
    if (!found.count(first) || !found.count(last)) {
        *error = "no such snapshot";
        return {};
    }
    const QStringList& a = found[first];
    const QStringList& b = found[last];
    if (a[1] != b[1] || a[2] != b[2]) {
        *error = "the two snapshots are of different registers";
        return {};
    }
    return Sold(store, "sn.register = ? AND sn.port = ? AND sn.taken_at > ? AND sn.taken_at <= ?",
                {a[1], a[2], std::min(a[0], b[0]), std::max(a[0], b[0])}, by, -1, error);
}

std::vector<TItemSale> ItemSales(THistoryStore& store, int64_t barcode, const QDateTime& from,
                                 const QDateTime& to, QString* error) {
    std::vector<TItemSale> sales;
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare("SELECT sn.taken_at, sn.register, s.sold_quantity, s.sold_total, sn.decimals "
                  "FROM sales s JOIN sales_snapshots sn ON sn.id = s.snapshot_id "
                  "WHERE s.barcode = ? AND sn.taken_at >= ? AND sn.taken_at < ? "
                  "ORDER BY sn.taken_at, sn.id");
    query.addBindValue(qint64(barcode));
    query.addBindValue(StoredTime(from));
    query.addBindValue(StoredTime(to));
    if (!query.exec()) {
        *error = QueryError(query);
        return sales;
    }
    while (query.next())
        sales.push_back({query.value(0).toString(), query.value(1).toString(),
                         query.value(2).toLongLong(), query.value(3).toLongLong(),
                         query.value(4).toInt()});
    return sales;
}

std::vector<TSnapshotInfo> ListSnapshots(THistoryStore& store, int count, QString* error) {
    std::vector<TSnapshotInfo> snapshots;
    QString sql = "SELECT uuid, taken_at, shop, register, port, items FROM sales_snapshots "
                  "ORDER BY taken_at DESC, id DESC";
    if (count >= 0)
        sql += QString(" LIMIT %1").arg(count);
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        *error = QueryError(query);
        return snapshots;
    }
    while (query.next())
        snapshots.push_back({query.value(0).toString(), query.value(1).toString(),
                             query.value(2).toString(), query.value(3).toString(),
                             query.value(4).toString(), query.value(5).toInt()});
    return snapshots;
}

std::vector<TSnapshotTotal> SnapshotTotals(THistoryStore& store, const QDateTime& from,
                                           const QDateTime& to, QString* error) {
    std::vector<TSnapshotTotal> totals;
    QSqlDatabase db = store.Database();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare("SELECT sn.taken_at, sn.register, sn.port, SUM(s.sold_total), sn.decimals "
                  "FROM sales s JOIN sales_snapshots sn ON sn.id = s.snapshot_id "
                  "WHERE sn.taken_at >= ? AND sn.taken_at < ? "
                  "GROUP BY sn.id, sn.taken_at, sn.register, sn.port, sn.decimals "
                  "ORDER BY sn.taken_at, sn.id");
    query.addBindValue(StoredTime(from));
    query.addBindValue(StoredTime(to));
    if (!query.exec()) {
        *error = QueryError(query);
        return totals;
    }
    while (query.next())
        totals.push_back({query.value(0).toString(), query.value(1).toString(),
                          query.value(2).toString(), query.value(3).toLongLong(),
                          query.value(4).toInt()});
    return totals;
}

QString FixedText(int64_t units, int decimals, char separator) {
    const bool negative = units < 0;
    // The magnitude of the lowest value still fits an unsigned 64-bit number.
    const uint64_t magnitude = negative ? uint64_t(0) - uint64_t(units) : uint64_t(units);
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        if (digits.size() <= size_t(decimals))
            digits.insert(0, size_t(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - size_t(decimals), 1, separator);
    }
    return QString::fromStdString((negative ? "-" : "") + digits);
}

std::string SalesSheet(const std::vector<TSoldLine>& lines, TSalesBy by,
                       const SheetDialect& dialect) {
    std::vector<std::vector<QString>> rows;
    if (by == TSalesBy::Item)
        rows.push_back({"Barcode", "PLU", "Name", "Quantity", "Total"});
    else
        rows.push_back({"Department", "Quantity", "Total"});
    for (const TSoldLine& line : lines) {
        const QString quantity = FixedText(line.quantity, 3, dialect.decimal);
        const QString total = FixedText(line.total, line.decimals, dialect.decimal);
        if (by == TSalesBy::Item)
            rows.push_back({QString::number(line.barcode),
                            line.plu ? QString::number(*line.plu) : QString(), line.name, quantity,
                            total});
        else
            rows.push_back(
                {line.department ? QString::number(*line.department) : QString(), quantity, total});
    }
    return SheetRowsText(rows, dialect);
}
