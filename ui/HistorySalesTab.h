#pragma once
// The History window's sales: what was sold between two dates or two snapshots, per item or
// per department, with a bar chart of the best sellers and a line of the totals per day, and
// the list as a spreadsheet file.

#include "SalesHistory.h"

#include <QWidget>

#include <map>

class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class THistoryForm;
class THistoryStore;

class THistorySalesTab : public QWidget {
    Q_OBJECT
public:
    THistorySalesTab(THistoryStore& store, THistoryForm& form);

    // The snapshots offered afresh, then the sales.
    void Reload();
    // The sales for what is chosen now.
    void Show();
    void Export();

    static constexpr int TopItems = 10;

    QRadioButton* DatesButton() const { return byDates_; }
    QRadioButton* SnapshotsButton() const { return bySnapshots_; }
    QDateEdit* FromBox() const { return from_; }
    QDateEdit* ToBox() const { return to_; }
    QComboBox* FirstSnapshotBox() const { return firstSnapshot_; }
    QComboBox* LastSnapshotBox() const { return lastSnapshot_; }
    QComboBox* ByBox() const { return by_; }
    QTableView* List() const { return list_; }
    QChart* TopChart() const;
    QChart* DayChart() const;
    const std::vector<TSoldLine>& Lines() const { return lines_; }
    TSalesBy By() const;

    // The day's totals over the span, at the most decimals among them, by local day.
    static std::map<QDate, std::pair<int64_t, int>>
    DayTotals(const std::vector<TSnapshotTotal>& totals);

private:
    void ShowLines();
    void ShowTopChart();
    void ShowDayChart(const std::vector<TSnapshotTotal>& totals);
    void ChooseSpan();

    THistoryStore& store_;
    THistoryForm& form_;
    QRadioButton* byDates_ = nullptr;
    QRadioButton* bySnapshots_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* firstSnapshot_ = nullptr;
    QComboBox* lastSnapshot_ = nullptr;
    QComboBox* by_ = nullptr;
    QPushButton* export_ = nullptr;
    QLabel* summary_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QChartView* topView_ = nullptr;
    QChartView* dayView_ = nullptr;
    std::vector<TSnapshotInfo> snapshots_; // as the two boxes offer them
    std::vector<TSoldLine> lines_;
    TSalesBy shownBy_ = TSalesBy::Item;
    bool reloading_ = false;
};
