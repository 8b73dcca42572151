// The history commands: the archived reports, the journal, sales over time, the file's own
// check and pruning.
#include "CommandSupport.h"

#include "AtomicFile.h"
#include "Counted.h"
#include "HistoryPush.h"
#include "HistoryServer.h"
#include "HistoryStore.h"
#include "HistoryTime.h"
#include "Journal.h"
#include "Language.h"
#include "Pruning.h"
#include "ReportArchive.h"
#include "SalesHistory.h"
#include "Settings.h"
#include "SheetExport.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <cerrno>
#include <charconv>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("history", text);
}

// A server's rows come from every shop of the chain.
bool ReadsServer(const THistoryStore& store) {
    return store.Dialect() == TSqlDialect::PostgreSQL;
}

// A query the history file could not answer (damaged on the way, or taken away).
int FailedRead(const THistoryStore& store, const TOutput& output, const QString& error) {
    const QString text = Local(store.Path()) + ": " + error;
    output.Error(text);
    return output.Finish(ExitFile, {{"message", text}});
}

// Newest first: ID, date, register, first line.
int Reports(THistoryStore& store, const TCommandLine& line, const TOutput& output) {
    TReportFilter filter;
    filter.since = line.since;
    filter.until = line.until;
    filter.registerName = QString::fromLocal8Bit(line.registerName);
    filter.words = QString::fromLocal8Bit(line.grep);
    QString error;
    const std::vector<TArchivedReport> reports = ListReports(store, filter, &error);
    if (!error.isEmpty())
        return FailedRead(store, output, error);
    QByteArray text;
    for (const TArchivedReport& r : reports) {
        if (output.Json())
            output.Event({{"event", "report"},
                          {"id", r.id},
                          {"uuid", r.uuid},
                          {"read_at", r.readAt},
                          {"shop", r.shop},
                          {"register", r.registerName},
                          {"port", r.port},
                          {"first_line", r.firstLine},
                          {"cleared", r.cleared}});
        else if (ReadsServer(store))
            text += QString("%1  %2  %3  %4  %5\n")
                        .arg(r.id, 6)
                        .arg(LocalTimeText(r.readAt), r.shop, r.registerName, r.firstLine)
                        .toUtf8();
        else
            text += QString("%1  %2  %3  %4\n")
                        .arg(r.id, 6)
                        .arg(LocalTimeText(r.readAt), r.registerName, r.firstLine)
                        .toUtf8();
    }
    if (!output.Json())
        output.Data(text);
    if (reports.empty())
        output.Note(CliText::tr("No archived report matches."));
    return output.Finish(ExitDone, {{"reports", int(reports.size())}});
}

int Show(THistoryStore& store, const TCommandLine& line, const TOutput& output) {
    int64_t id = 0;
    const std::string& arg = line.files[1];
    const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), id);
    if (ec != std::errc() || end != arg.data() + arg.size() || id <= 0) {
        const QString text =
            CliText::tr("history show takes the ID of a report, as history reports lists");
        output.Error(text);
        return output.Finish(ExitUsage, {{"message", text}});
    }
    QString error;
    const std::optional<TArchivedReport> report = ArchivedReport(store, id, &error);
    if (!error.isEmpty())
        return FailedRead(store, output, error);
    if (!report) {
        const QString text = CliText::tr("no archived report has the ID %1").arg(id);
        output.Error(text);
        return output.Finish(ExitFile, {{"message", text}});
    }
    const QByteArray bytes = line.raw ? report->RawText() : report->text.toUtf8();
    QJsonObject fields{{"id", report->id},
                       {"uuid", report->uuid},
                       {"read_at", report->readAt},
                       {"shop", report->shop},
                       {"register", report->registerName},
                       {"port", report->port}};
    if (!line.output.empty()) {
        if (!WriteFileAtomically(line.output, std::string_view(bytes.constData(), bytes.size())))
            return FileFailed(output, line.output, errno);
        fields.insert("file", Local(line.output));
    } else if (output.Json()) {
        fields.insert(line.raw ? "report_base64" : "report",
                      line.raw ? QString::fromLatin1(bytes.toBase64()) : report->text);
    } else {
        output.Data(bytes);
    }
    return output.Finish(ExitDone, fields);
}

QString RangeText(const TJournalEntry& e) {
    if (!e.rangeBegin || !e.rangeEnd)
        return {};
    return QString("%1-%2").arg(*e.rangeBegin).arg(*e.rangeEnd);
}

int Journal(THistoryStore& store, const TCommandLine& line, const TOutput& output) {
    TJournalFilter filter;
    filter.since = line.since;
    filter.until = line.until;
    filter.operation = QString::fromStdString(line.operation);
    filter.registerName = QString::fromLocal8Bit(line.registerName);
    filter.failedOnly = line.failed;
    QString error;
    const std::vector<TJournalEntry> entries = ListJournal(store, filter, &error);
    if (!error.isEmpty())
        return FailedRead(store, output, error);
    QByteArray text;
    for (const TJournalEntry& e : entries) {
        if (output.Json()) {
            QJsonObject event{{"event", "operation"},
                              {"id", e.id},
                              {"uuid", e.uuid},
                              {"started_at", StoredTime(e.started)},
                              {"ended_at", StoredTime(e.ended)},
                              {"shop", e.shop},
                              {"register", e.registerName},
                              {"port", e.port},
                              {"device", e.device},
                              {"rate", e.rate},
                              {"operation", e.operation},
                              {"kinds", e.kinds},
                              {"range", RangeText(e)},
                              {"result", e.result},
                              {"error", e.error},
                              {"blocks", e.blocks},
                              {"bytes", e.bytes},
                              {"seconds", e.seconds},
                              {"document", e.document},
                              {"document_sha256", e.documentSha256},
                              {"report_uuid", e.reportUuid},
                              {"snapshot_uuid", e.snapshotUuid}};
            output.Event(event);
            continue;
        }
        QStringList what{e.operation};
        if (!e.kinds.isEmpty())
            what << e.kinds;
        if (const QString range = RangeText(e); !range.isEmpty())
            what << range;
        QString row =
            QString("%1  %2  %3  %4  %5 at %6  %7 blocks, %8 bytes, %9 s")
                .arg(e.started.toLocalTime().toString("yyyy-MM-dd HH:mm:ss"), what.join(' '),
                     e.result, e.registerName.isEmpty() ? QString("-") : e.registerName, e.port)
                .arg(e.rate)
                .arg(e.blocks)
                .arg(e.bytes)
                .arg(e.seconds, 0, 'f', 1);
        if (ReadsServer(store))
            row = e.shop + "  " + row;
        if (!e.document.isEmpty())
            row += "  " + e.document;
        if (!e.error.isEmpty())
            row += "  " + QString(e.error).replace("\r\n", " ").replace('\n', ' ');
        text += (row + '\n').toUtf8();
    }
    if (!output.Json())
        output.Data(text);
    if (entries.empty())
        output.Note(CliText::tr("No journal entry matches."));
    return output.Finish(ExitDone, {{"entries", int(entries.size())}});
}

int Sales(THistoryStore& store, const TCommandLine& line, const TOutput& output) {
    QString error;
    const std::vector<TSoldLine> lines =
        SoldBetween(store, *line.from, *line.to, line.salesBy, -1, &error);
    if (!error.isEmpty())
        return FailedRead(store, output, error);
    const bool byItem = line.salesBy == TSalesBy::Item;
    if (!line.csv.empty()) {
        const SheetDialect dialect =
            line.dialect ? *ExportDialect(*line.dialect) : DefaultExportDialect();
        if (!WriteFileAtomically(line.csv, SalesSheet(lines, line.salesBy, dialect)))
            return FileFailed(output, line.csv, errno);
        output.Note(PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n lines written to %1."),
                             qint64(lines.size()),
                             QString("%1 line%2 written to ")
                                     .arg(lines.size())
                                     .arg(lines.size() == 1 ? "" : "s") +
                                 "%1.")
                        .arg(Local(line.csv)));
        return output.Finish(ExitDone, {{"lines", int(lines.size())}, {"file", Local(line.csv)}});
    }
    const char point = DecimalSeparator();
    QByteArray text;
    for (const TSoldLine& l : lines) {
        const QString quantity = FixedText(l.quantity, 3, point);
        const QString total = FixedText(l.total, l.decimals, point);
        const QString department = l.department ? QString::number(*l.department) : QString("-");
        if (output.Json()) {
            QJsonObject event{{"event", byItem ? "item" : "department"},
                              {"quantity", quantity},
                              {"total", total}};
            if (byItem) {
                event.insert("barcode", QString::number(l.barcode));
                event.insert("plu", l.plu ? QJsonValue(*l.plu) : QJsonValue());
                event.insert("name", l.name);
            } else {
                event.insert("department", l.department ? QJsonValue(*l.department) : QJsonValue());
            }
            output.Event(event);
        } else if (byItem) {
            text += QString("%1  %2  %3  %4  %5\n")
                        .arg(QString::number(l.barcode), 14)
                        .arg(l.plu ? QString::number(*l.plu) : QString("-"), 5)
                        .arg(l.name.leftJustified(18), quantity.rightJustified(12),
                             total.rightJustified(14))
                        .toUtf8();
        } else {
            text += QString("%1  %2  %3\n")
                        .arg(department, 3)
                        .arg(quantity.rightJustified(12), total.rightJustified(14))
                        .toUtf8();
        }
    }
    if (!output.Json())
        output.Data(text);
    if (lines.empty())
        output.Note(
            CliText::tr("Nothing was sold between these dates, as far as the snapshots tell."));
    return output.Finish(ExitDone, {{"lines", int(lines.size())}});
}

// A file too damaged to be checked (or opened) is damaged all the same.
int CheckFile(THistoryStore& store, const TOutput& output) {
    QString error;
    QStringList lines = store.IsOpen() ? store.Check(&error) : QStringList();
    if (!store.IsOpen())
        lines << store.Reason();
    else if (!error.isEmpty())
        lines << error;
    const bool whole = lines == QStringList{"ok"};
    if (!output.Json())
        output.Data((lines.join('\n') + '\n').toUtf8());
    if (!whole)
        output.Error(CliText::tr("%1 is damaged; a backup folder holds a copy of it.")
                         .arg(Local(store.Path())));
    return output.Finish(whole ? ExitDone : ExitProblems,
                         {{"file", Local(store.Path())},
                          {"problems", whole ? QJsonArray() : QJsonArray::fromStringList(lines)}});
}

QString CountsText(const TPruneCounts& c) {
    const QString english =
        QString("%1 report%2, %3 journal entr%4 and %5 sales snapshot%6 (%7 sales lines)")
            .arg(c.reports)
            .arg(c.reports == 1 ? "" : "s")
            .arg(c.journalEntries)
            .arg(c.journalEntries == 1 ? "y" : "ies")
            .arg(c.snapshots)
            .arg(c.snapshots == 1 ? "" : "s")
            .arg(c.salesLines);
    if (CurrentLanguage() == EnglishLanguage)
        return english;
    return CliText::tr("%1, %2 and %3 (%4)")
        .arg(PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n reports"), c.reports, {}),
             PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n journal entries"), c.journalEntries, {}),
             PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n sales snapshots"), c.snapshots, {}),
             PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n sales lines"), c.salesLines, {}));
}

QJsonObject CountsFields(const TPruneCounts& c, bool dryRun) {
    return {{"reports", c.reports},
            {"journal_entries", c.journalEntries},
            {"snapshots", c.snapshots},
            {"sales_lines", c.salesLines},
            {"dry_run", dryRun}};
}

int Prune(THistoryStore& store, const TCommandLine& line, const TOutput& output) {
    const QString before = line.before->toString("yyyy-MM-dd HH:mm");
    QString error;
    TPruneCounts counts;
    if (line.dryRun) {
        counts = CountBefore(store, *line.before, &error);
        if (!error.isEmpty())
            return FailedRead(store, output, error);
        output.Note(CliText::tr("Would delete %1 from before %2.").arg(CountsText(counts), before));
        return output.Finish(ExitDone, CountsFields(counts, true));
    }
    if (const QString failed = PruneBefore(store, *line.before, &counts); !failed.isEmpty()) {
        const QString text =
            CliText::tr("%1: nothing was deleted (%2)").arg(Local(store.Path()), failed);
        output.Error(text);
        return output.Finish(ExitFile, {{"message", text}});
    }
    output.Note(CliText::tr("Deleted %1 from before %2.").arg(CountsText(counts), before));
    return output.Finish(ExitDone, CountsFields(counts, false));
}

QJsonObject PushFields(const TPushCounts& c) {
    return {{"reports", c.reports},
            {"journal_entries", c.journalEntries},
            {"snapshots", c.snapshots},
            {"sales_lines", c.salesLines}};
}

QString NoServerText() {
    return Tr("no history server is set: give --history postgresql://user@host/database, or "
              "Server in the [History] section of SYSTEM.CFG");
}

int Push(const TCommandLine& line, const TOutput& output) {
    QString problem;
    const QString address = HistoryServerAddress(line, output, &problem);
    const std::optional<THistoryServer> server =
        address.isEmpty() ? std::nullopt : ParseServerAddress(address, &problem);
    if (!server) {
        const QString text = problem.isEmpty() ? NoServerText() : problem;
        output.Error(text);
        return output.Finish(ExitUsage, {{"message", text}});
    }
    THistoryStore& local = OpenHistory(line, output);
    if (!local.IsOpen())
        return output.Finish(ExitFile, {{"message", local.Problem()}});
    TPushOptions options;
    if (output.Json())
        options.progress = [&output](const TPushCounts& sent) {
            QJsonObject event = PushFields(sent);
            event.insert("event", "pushed");
            output.Event(event);
        };
    const TPushResult pushed = PushToServer(local, *server, line.waitSeconds, options);
    QJsonObject fields = PushFields(pushed.sent);
    fields.insert("server", server->Display());
    if (!pushed.error.isEmpty()) {
        const QString text = Tr("The history was not all sent (%1); what was sent stays sent, "
                                "and the next push sends the rest.")
                                 .arg(pushed.error);
        output.Error(text);
        fields.insert("message", text);
        return output.Finish(ExitFile, fields);
    }
    output.Note(Tr("History sent to %1: %2 reports, %3 journal entries, %4 sales snapshots (%5 "
                   "sales lines).")
                    .arg(server->Display())
                    .arg(pushed.sent.reports)
                    .arg(pushed.sent.journalEntries)
                    .arg(pushed.sent.snapshots)
                    .arg(pushed.sent.salesLines));
    return output.Finish(ExitDone, fields);
}

} // namespace

int commands::History(const TCommandLine& line, const TOutput& output) {
    const std::string& sub = line.files[0];
    if (sub == "push")
        return Push(line, output);
    if (sub == "reports" || sub == "show" || sub == "journal" || sub == "sales") {
        // With a server set these read the whole chain there.
        QString problem;
        const QString address = HistoryServerAddress(line, output, &problem);
        if (!problem.isEmpty()) {
            output.Error(problem);
            return output.Finish(ExitUsage, {{"message", problem}});
        }
        if (!address.isEmpty()) {
            THistoryStore server;
            if (!server.OpenServer(*ParseServerAddress(address, &problem))) {
                const QString text =
                    Tr("The history server cannot be read: %1").arg(server.Problem());
                output.Error(text);
                return output.Finish(ExitFile, {{"message", text}});
            }
            if (sub == "reports")
                return Reports(server, line, output);
            if (sub == "show")
                return Show(server, line, output);
            if (sub == "journal")
                return Journal(server, line, output);
            return Sales(server, line, output);
        }
    }
    THistoryStore& store = OpenHistory(line, output);
    if (sub == "check" && store.State() == TStoreState::Damaged)
        return CheckFile(store, output);
    if (!store.IsOpen())
        return output.Finish(ExitFile, {{"message", store.Problem()}});
    if (sub == "reports")
        return Reports(store, line, output);
    if (sub == "show")
        return Show(store, line, output);
    if (sub == "journal")
        return Journal(store, line, output);
    if (sub == "sales")
        return Sales(store, line, output);
    if (sub == "check")
        return CheckFile(store, output);
    return Prune(store, line, output);
}
