#pragma once
// The history benchmarks' store: five years of four registers, about 15000 reports, 60000
// journal entries and 2 million sales lines (one Z report and one X report a day each, eight
// operations a day, a daily snapshot of about 275 items sold). Made once beside the program
// (history-bench-5y.sqlite, about a minute) and reused; QPLU_HISTORY_BENCH_STORE names another.

#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "HistoryTime.h"
#include "ReportArchive.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace history_bench {

inline constexpr int Registers = 4;
inline constexpr int Days = 5 * 365 + 1;
inline constexpr int Catalogue = 3000;
inline constexpr int ItemsSoldADay = 275;
inline constexpr int OperationsADay = 8;
inline const QDateTime FirstDay = Utc(2021, 1, 1, 0);

inline std::string StorePath() {
    const QByteArray chosen = qgetenv("QPLU_HISTORY_BENCH_STORE");
    return chosen.isEmpty()
               ? (QCoreApplication::applicationDirPath() + "/history-bench-5y.sqlite").toStdString()
               : chosen.toStdString();
}

inline QString Uuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

inline int64_t Barcode(int item) {
    return 5900000000000LL + item * 7;
}

// A report of about 2 KB whose lines vary, so the search index is no toy.
inline std::string ReportText(std::mt19937& random, int day, int reg, bool z) {
    static const char* const words[] = {"MILK",   "BREAD", "COFFEE", "SUGAR", "APPLES", "RICE",
                                        "BUTTER", "TEA",   "CHEESE", "EGGS",  "REFUND", "VOID"};
    std::string text = std::string(z ? "Z" : "X") + " REPORT " + std::to_string(day * 10 + reg) +
                       "\r\nDATE " + FirstDay.addDays(day).toString("yyyy-MM-dd").toStdString() +
                       "\r\n";
    for (int line = 0; line < 60; ++line)
        text += std::string(words[random() % 12]) + " " + std::to_string(random() % 100) + " x " +
                std::to_string(random() % 5000) + "\r\n";
    return text + "TOTAL " + std::to_string(random() % 1000000) + "\r\n";
}

inline bool Generate(THistoryStore& store) {
    std::mt19937 random(2026);
    QSqlDatabase db = store.Database();
    Exec(db, "PRAGMA synchronous=OFF");
    for (int day = 0; day < Days; ++day) {
        const QString error = store.Write([&](QSqlDatabase& db) -> QString {
            QSqlQuery report(db), reportText(db), journal(db), snapshot(db), sale(db);
            report.prepare("INSERT INTO reports (uuid, read_at, shop, register, port, code_page, "
                           "first_line, cleared) VALUES (?, ?, 'SHOP', ?, ?, 'CP1250', ?, 1)");
            reportText.prepare("INSERT INTO report_texts VALUES (?, ?, ?)");
            journal.prepare("INSERT INTO journal (uuid, started_at, ended_at, shop, register, "
                            "port, device, rate, operation, kinds, result, error, blocks, bytes, "
                            "seconds, document, document_sha256, report_uuid, snapshot_uuid) "
                            "VALUES (?, ?, ?, 'SHOP', ?, ?, '/dev/ttyUSB0', 115200, ?, "
                            "'plu,dept', ?, '', 800, 250000, 12.5, '', '', '', '')");
            snapshot.prepare("INSERT INTO sales_snapshots (uuid, taken_at, shop, register, port, "
                             "decimals, items, previous_uuid) VALUES (?, ?, 'SHOP', ?, ?, 2, ?, "
                             "'')");
            sale.prepare("INSERT INTO sales VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            for (int reg = 0; reg < Registers; ++reg) {
                const QString name = QString("ECR %1").arg(reg + 1);
                const QString port = QString("COM%1").arg(reg + 1);
                for (bool z : {false, true}) {
                    const std::string text = ReportText(random, day, reg, z);
                    const QDateTime at = FirstDay.addDays(day).addSecs(z ? 75600 : 46800);
                    for (const QVariant& v :
                         {QVariant(Uuid()), QVariant(StoredTime(at)), QVariant(name),
                          QVariant(port),
                          QVariant(QString::fromStdString(text).section('\r', 0, 0))})
                        report.addBindValue(v);
                    if (!report.exec())
                        return QueryError(report);
                    reportText.addBindValue(report.lastInsertId());
                    reportText.addBindValue(QString::fromStdString(text));
                    reportText.addBindValue(QByteArray::fromStdString(SampleReport(text).blocks));
                    if (!reportText.exec())
                        return QueryError(reportText);
                }
                for (int op = 0; op < OperationsADay; ++op) {
                    const QDateTime at = FirstDay.addDays(day).addSecs(28800 + op * 3600);
                    for (const QVariant& v :
                         {QVariant(Uuid()), QVariant(StoredTime(at)),
                          QVariant(StoredTime(at.addSecs(12))), QVariant(name), QVariant(port),
                          QVariant(op % 3 ? "upload" : "download"),
                          QVariant(op == 5 ? "failed" : "done")})
                        journal.addBindValue(v);
                    if (!journal.exec())
                        return QueryError(journal);
                }
                const QDateTime at = FirstDay.addDays(day).addSecs(75700);
                for (const QVariant& v : {QVariant(Uuid()), QVariant(StoredTime(at)),
                                          QVariant(name), QVariant(port), QVariant(ItemsSoldADay)})
                    snapshot.addBindValue(v);
                if (!snapshot.exec())
                    return QueryError(snapshot);
                const qint64 id = snapshot.lastInsertId().toLongLong();
                // Popular items sell most days: a skewed pick from the catalogue.
                std::vector<int> items;
                while (items.size() < size_t(ItemsSoldADay)) {
                    const int item =
                        int(std::pow(double(random() % 1000000) / 1e6, 2.0) * Catalogue) + 1;
                    if (std::find(items.begin(), items.end(), item) == items.end())
                        items.push_back(item);
                }
                for (int item : items) {
                    const qint64 quantity = 1000 * (1 + random() % 20);
                    const qint64 total = quantity / 1000 * (100 + item % 900);
                    for (const QVariant& v :
                         {QVariant(id), QVariant(qint64(Barcode(item))), QVariant(item),
                          QVariant(QString("ITEM %1").arg(item)), QVariant(1 + item % 8),
                          QVariant(quantity), QVariant(total), QVariant(quantity), QVariant(total)})
                        sale.addBindValue(v);
                    if (!sale.exec())
                        return QueryError(sale);
                }
            }
            return {};
        });
        if (!error.isEmpty()) {
            std::fprintf(stderr, "history bench: %s\n", error.toLocal8Bit().constData());
            return false;
        }
    }
    Exec(db, "PRAGMA synchronous=FULL");
    Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    return true;
}

// Closed before the application goes, as Qt's SQL drivers need.
inline std::unique_ptr<THistoryStore> TheStore;

inline THistoryStore& Store() {
    if (!TheStore) {
        TheStore = std::make_unique<THistoryStore>();
        const std::string path = StorePath();
        const bool made = QFileInfo::exists(QString::fromStdString(path));
        if (!TheStore->Open(path) || (!made && !Generate(*TheStore)))
            std::fprintf(stderr, "history bench: %s\n",
                         TheStore->Problem().toLocal8Bit().constData());
    }
    return *TheStore;
}

} // namespace history_bench
