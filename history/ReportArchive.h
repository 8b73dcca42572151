#pragma once
// The report archive: every report the register gave, kept before it was cleared there, and
// found again by date, register or the words in it.

#include "HistorySchema.h"
#include "ReportUpload.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class THistoryStore;

struct TArchivedReport {
    qint64 id = 0;
    QString uuid;
    QString readAt; // UTC, as stored
    QString shop;
    QString registerName;
    QString port;
    QString codePage;
    QString firstLine;
    QString text;   // the report as Unicode
    QByteArray raw; // the blocks as the register sent them
    bool cleared = false;

    // The report's bytes as the register wrote them (its code page), as `report --raw` gives.
    QByteArray RawText() const;
};

// Stores the report, synced to disk, before the register is told to clear it. Empty when
// stored (and *uuid set), else why not.
QString ArchiveReport(THistoryStore& store, const TReportRead& report, const QDateTime& readAt,
                      QString* uuid);
// The register took the request to clear it.
QString MarkReportCleared(THistoryStore& store, const QString& uuid);

// The keeper the report upload asks: the report goes into the store, or the store's reason is
// the refusal. *uuid gets the archived report's UUID.
TReportKeeper ArchiveKeeper(THistoryStore* store, QString* uuid);

// "The report was not archived (reason), so the register keeps it."
QString NotArchivedText(const QString& reason);

struct TReportFilter {
    std::optional<QDateTime> since{}; // read_at >= since
    std::optional<QDateTime> until{}; // read_at < until
    QString registerName{};           // a part of the register's identification, any case
    QString words{};                  // every word, or the start of a word, in the text
    int limit = -1;                   // -1: all
    int offset = 0;
};

// Newest first, without the text and the raw bytes.
std::vector<TArchivedReport> ListReports(THistoryStore& store, const TReportFilter& filter,
                                         QString* error);
int CountReports(THistoryStore& store, const TReportFilter& filter, QString* error);
std::optional<TArchivedReport> ArchivedReport(THistoryStore& store, qint64 id, QString* error);

// The search words as a full-text query: each word quoted (so no word is taken as an operator)
// and matched as the start of a word.
QString SearchQuery(const QString& words);
// The same for a server's text search: each word quoted and matched as a prefix, all of them.
QString ServerSearchQuery(const QString& words);
