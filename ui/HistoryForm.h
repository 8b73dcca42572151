#pragma once
// The History window: the archived reports, the journal of operations and the sales between
// two dates or two snapshots, read from the history file as the user looks at them.

#include "SheetText.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QTabWidget;
class THistoryStore;
class THistoryReportsTab;
class THistoryJournalTab;
class THistorySalesTab;

class THistoryForm : public QDialog {
    Q_OBJECT
public:
    THistoryForm(THistoryStore& store, QWidget* parent = nullptr);
    ~THistoryForm() override;

    // Every tab read again from the file: what was archived since shows.
    void Reload();

    THistoryReportsTab* ReportsTab() const { return reports_; }
    THistoryJournalTab* JournalTab() const { return journal_; }
    THistorySalesTab* SalesTab() const { return sales_; }
    QTabWidget* Tabs() const { return tabs_; }
    QString Message() const;

    // What the window asks the user for; tests answer instead.
    std::function<std::unique_ptr<QPrinter>(QString& error)> openPrinter;
    std::function<QString()> chooseTextFile;
    // The file and the dialect of a spreadsheet export; empty when the user chose none.
    std::function<QString(SheetDialect* dialect)> chooseSheetFile;

    void ShowMessage(const QString& text);
    // A file that could not be written: the file error's text, with the path and the reason.
    void ShowWriteError(const QString& path, int error);

private:
    QTabWidget* tabs_ = nullptr;
    THistoryReportsTab* reports_ = nullptr;
    THistoryJournalTab* journal_ = nullptr;
    THistorySalesTab* sales_ = nullptr;
    QLabel* message_ = nullptr;
};

// The local day's first moment, in UTC; a date span's end is the next day's.
QDateTime DayStart(const QDate& day);
// A stored UTC time as the user reads it: "2026-01-31 14:03".
QString ShownTime(const QString& stored);
class QAbstractItemModel;
class QTableView;
// A tab's list: whole rows, read only, Tab leaving it, one line per row.
QTableView* NewHistoryList(const char* name, QAbstractItemModel* model);
// Fits each column to its title and a sample of its widest text, the last one taking the rest.
void FitColumns(QTableView* view, const QStringList& samples);
