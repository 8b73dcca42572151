#include "HistorySalesTab.h"

#include "AtomicFile.h"
#include "Defs.h"
#include "HistoryForm.h"
#include "HistoryStore.h"
#include "HistoryTime.h"
#include "SheetExport.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace {

// The newest snapshots offered to choose from; older ones are reached by dates.
constexpr int OfferedSnapshots = 500;

int64_t Power10(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

QString SnapshotText(const TSnapshotInfo& s) {
    return QString("%1  %2  (%3%4)")
        .arg(ShownTime(s.takenAt), s.registerName, s.port,
             s.shop.isEmpty() ? QString() : ", " + s.shop);
}

QChartView* ChartView(const char* name) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    auto* view = new QChartView(chart);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(280, 200);
    return view;
}

void Clear(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

} // namespace

THistorySalesTab::THistorySalesTab(THistoryStore& store, THistoryForm& form)
    : store_(store), form_(form) {
    setObjectName("SalesTab");
    byDates_ = new QRadioButton(tr("Between &dates"));
    byDates_->setObjectName("SalesByDates");
    bySnapshots_ = new QRadioButton(tr("Between s&napshots"));
    bySnapshots_->setObjectName("SalesBySnapshots");
    auto* group = new QButtonGroup(this);
    group->addButton(byDates_);
    group->addButton(bySnapshots_);
    byDates_->setChecked(true);

    from_ = new QDateEdit(QDate::currentDate().addDays(-30));
    from_->setObjectName("SalesFrom");
    to_ = new QDateEdit(QDate::currentDate());
    to_->setObjectName("SalesTo");
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat("yyyy-MM-dd");
        connect(edit, &QDateEdit::dateChanged, this, &THistorySalesTab::Show);
    }
    firstSnapshot_ = new QComboBox;
    firstSnapshot_->setObjectName("SalesFirstSnapshot");
    lastSnapshot_ = new QComboBox;
    lastSnapshot_->setObjectName("SalesLastSnapshot");
    for (QComboBox* box : {firstSnapshot_, lastSnapshot_}) {
        // A register's long name must not widen the window past a small screen.
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(28);
        connect(box, &QComboBox::currentIndexChanged, this, &THistorySalesTab::Show);
    }
    by_ = new QComboBox;
    by_->setObjectName("SalesBy");
    by_->addItem(tr("Item"));
    by_->addItem(tr("Department"));
    connect(by_, &QComboBox::currentIndexChanged, this, &THistorySalesTab::Show);
    connect(byDates_, &QRadioButton::toggled, this, [this] {
        ChooseSpan();
        Show();
    });
    export_ = new QPushButton(tr("&Export CSV..."));
    export_->setObjectName("SalesExportBtn");
    export_->setAutoDefault(false);
    connect(export_, &QPushButton::clicked, this, &THistorySalesTab::Export);
    summary_ = new QLabel;
    summary_->setObjectName("SalesSummary");

    auto* toLabel = new QLabel(tr("&to"));
    toLabel->setBuddy(to_);
    auto* afterLabel = new QLabel(tr("a&fter"));
    afterLabel->setBuddy(firstSnapshot_);
    auto* uptoLabel = new QLabel(tr("&up to"));
    uptoLabel->setBuddy(lastSnapshot_);
    auto* byLabel = new QLabel(tr("&By:"));
    byLabel->setBuddy(by_);
    auto* choice = new QGridLayout;
    choice->addWidget(byDates_, 0, 0);
    choice->addWidget(from_, 0, 1);
    choice->addWidget(toLabel, 0, 2);
    choice->addWidget(to_, 0, 3, Qt::AlignLeft);
    choice->addWidget(byLabel, 0, 5);
    choice->addWidget(by_, 0, 6);
    choice->addWidget(export_, 0, 7);
    choice->addWidget(bySnapshots_, 1, 0);
    choice->addWidget(afterLabel, 1, 1, Qt::AlignRight);
    auto* snapshots = new QHBoxLayout;
    snapshots->addWidget(firstSnapshot_);
    snapshots->addWidget(uptoLabel);
    snapshots->addWidget(lastSnapshot_);
    snapshots->addStretch();
    choice->addLayout(snapshots, 1, 2, 1, 6);
    choice->setColumnStretch(4, 1);

    model_ = new QStandardItemModel(this);
    list_ = NewHistoryList("SalesList", model_);

    topView_ = ChartView("TopItemsChart");
    dayView_ = ChartView("DayTotalsChart");
    auto* charts = new QSplitter(Qt::Vertical);
    charts->addWidget(topView_);
    charts->addWidget(dayView_);
    charts->setChildrenCollapsible(false);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(list_, 1);
    leftLayout->addWidget(summary_);
    auto* splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(charts);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(splitter, 1);

    setTabOrder(byDates_, from_);
    setTabOrder(from_, to_);
    setTabOrder(to_, bySnapshots_);
    setTabOrder(bySnapshots_, firstSnapshot_);
    setTabOrder(firstSnapshot_, lastSnapshot_);
    setTabOrder(lastSnapshot_, by_);
    setTabOrder(by_, export_);
    setTabOrder(export_, list_);
    setFocusProxy(list_);
    ChooseSpan();
}

QChart* THistorySalesTab::TopChart() const {
    return topView_->chart();
}

QChart* THistorySalesTab::DayChart() const {
    return dayView_->chart();
}

TSalesBy THistorySalesTab::By() const {
    return by_->currentIndex() == 1 ? TSalesBy::Department : TSalesBy::Item;
}

void THistorySalesTab::ChooseSpan() {
    const bool dates = byDates_->isChecked();
    from_->setEnabled(dates);
    to_->setEnabled(dates);
    firstSnapshot_->setEnabled(!dates);
    lastSnapshot_->setEnabled(!dates);
}

void THistorySalesTab::Reload() {
    reloading_ = true;
    QString error;
    snapshots_ = ListSnapshots(store_, OfferedSnapshots, &error);
    const std::vector<TSnapshotInfo>& snapshots = snapshots_;
    const QString first = firstSnapshot_->currentData().toString();
    const QString last = lastSnapshot_->currentData().toString();
    for (QComboBox* box : {firstSnapshot_, lastSnapshot_}) {
        box->clear();
        for (const TSnapshotInfo& s : snapshots)
            box->addItem(SnapshotText(s), s.uuid);
    }
    // By default the newest snapshot and the one before it of the same register.
    int previous = snapshots.empty() ? -1 : 0;
    for (size_t i = 1; i < snapshots.size(); ++i)
        if (snapshots[i].registerName == snapshots[0].registerName &&
            snapshots[i].port == snapshots[0].port) {
            previous = int(i);
            break;
        }
    const int firstAt = firstSnapshot_->findData(first);
    firstSnapshot_->setCurrentIndex(firstAt >= 0 ? firstAt : previous);
    const int lastAt = lastSnapshot_->findData(last);
    lastSnapshot_->setCurrentIndex(lastAt >= 0 ? lastAt : 0);
    reloading_ = false;
    if (!error.isEmpty())
        form_.ShowMessage(tr("The sales could not be read (%1).").arg(error));
    Show();
}

void THistorySalesTab::Show() {
    if (reloading_)
        return;
    QString error;
    const TSalesBy by = By();
    std::vector<TSnapshotTotal> totals;
    if (byDates_->isChecked()) {
        const QDate first = std::min(from_->date(), to_->date());
        const QDate last = std::max(from_->date(), to_->date());
        lines_ = SoldBetween(store_, DayStart(first), DayStart(last.addDays(1)), by, -1, &error);
        if (error.isEmpty())
            totals = SnapshotTotals(store_, DayStart(first), DayStart(last.addDays(1)), &error);
    } else if (firstSnapshot_->currentIndex() >= 0 && lastSnapshot_->currentIndex() >= 0) {
        const QString first = firstSnapshot_->currentData().toString();
        const QString last = lastSnapshot_->currentData().toString();
        lines_ = SoldBetweenSnapshots(store_, first, last, by, &error);
        // The day line of the same register between the two.
        const int a = std::max(firstSnapshot_->currentIndex(), lastSnapshot_->currentIndex());
        const int b = std::min(firstSnapshot_->currentIndex(), lastSnapshot_->currentIndex());
        const TSnapshotInfo* from = &snapshots_[size_t(a)];
        const TSnapshotInfo* to = &snapshots_[size_t(b)];
        if (error.isEmpty()) {
            const QDateTime start = FromStoredTime(from->takenAt).addMSecs(1);
            const QDateTime end = FromStoredTime(to->takenAt).addMSecs(1);
            for (TSnapshotTotal& t : SnapshotTotals(store_, start, end, &error))
                if (t.registerName == from->registerName && t.port == from->port)
                    totals.push_back(std::move(t));
        }
    } else {
        lines_.clear();
    }
    if (!error.isEmpty()) {
        lines_.clear();
        totals.clear();
        form_.ShowMessage(tr("The sales could not be shown (%1).").arg(error));
    } else {
        form_.ShowMessage({});
    }
    shownBy_ = by;
    ShowLines();
    ShowTopChart();
    ShowDayChart(totals);
    export_->setEnabled(!lines_.empty());
}

void THistorySalesTab::ShowLines() {
    const char point = DecimalSeparator();
    const bool byItem = shownBy_ == TSalesBy::Item;
    model_->clear();
    if (byItem)
        model_->setHorizontalHeaderLabels(
            {tr("Barcode"), tr("PLU"), tr("Name"), tr("Quantity"), tr("Total")});
    else
        model_->setHorizontalHeaderLabels({tr("Department"), tr("Quantity"), tr("Total")});
    int64_t sum = 0;
    int decimals = 0;
    for (const TSoldLine& line : lines_) {
        QList<QStandardItem*> row;
        if (byItem) {
            row << new QStandardItem(QString::number(line.barcode))
                << new QStandardItem(line.plu ? QString::number(*line.plu) : QString())
                << new QStandardItem(line.name);
        } else {
            row << new QStandardItem(line.department ? QString::number(*line.department)
                                                     : tr("none"));
        }
        row << new QStandardItem(FixedText(line.quantity, 3, point))
            << new QStandardItem(FixedText(line.total, line.decimals, point));
        for (int c = int(row.size()) - 2; c < int(row.size()); ++c)
            row[c]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model_->appendRow(row);
        sum += line.total;
        decimals = line.decimals;
    }
    if (byItem)
        FitColumns(list_,
                   {"5900000000000", "00000", "WWWWWWWWWWWWWWWWWW", "00000.000", "0000000.00"});
    else
        FitColumns(list_, {tr("Department"), "00000.000", "0000000.00"});
    summary_->setText(
        (byItem ? tr("%n item(s)", nullptr, int(lines_.size()))
                : tr("%n department(s)", nullptr, int(lines_.size()))) +
        (lines_.empty() ? QString() : "  " + tr("Total: %1").arg(FixedText(sum, decimals, point))));
}

void THistorySalesTab::ShowTopChart() {
    QChart* chart = TopChart();
    Clear(chart);
    const bool byItem = shownBy_ == TSalesBy::Item;
    chart->setTitle(byItem ? tr("Top items by total") : tr("Departments by total"));
    const size_t shown = std::min(lines_.size(), size_t(TopItems));
    if (shown == 0)
        return;
    auto* set = new QBarSet(tr("Total"));
    QStringList categories;
    // The largest at the top: horizontal bars grow upwards from the first.
    for (size_t i = shown; i-- > 0;) {
        const TSoldLine& line = lines_[i];
        *set << double(line.total) / double(Power10(line.decimals));
        if (byItem)
            categories << (line.name.isEmpty() ? QString::number(line.barcode) : line.name);
        else
            categories << (line.department ? tr("Department %1").arg(*line.department)
                                           : tr("none"));
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* values = new QValueAxis;
    values->setLabelFormat("%.0f");
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    values->applyNiceNumbers();
}

std::map<QDate, std::pair<int64_t, int>>
THistorySalesTab::DayTotals(const std::vector<TSnapshotTotal>& totals) {
    int decimals = 0;
    for (const TSnapshotTotal& t : totals)
        decimals = std::max(decimals, t.decimals);
    std::map<QDate, std::pair<int64_t, int>> days;
    for (const TSnapshotTotal& t : totals) {
        auto& day = days[FromStoredTime(t.takenAt).toLocalTime().date()];
        day.first += t.total * Power10(decimals - t.decimals);
        day.second = decimals;
    }
    return days;
}

void THistorySalesTab::ShowDayChart(const std::vector<TSnapshotTotal>& totals) {
    QChart* chart = DayChart();
    Clear(chart);
    chart->setTitle(tr("Total per day"));
    const auto days = DayTotals(totals);
    if (days.empty())
        return;
    auto* series = new QLineSeries;
    series->setPointsVisible(days.size() < 60);
    for (const auto& [day, total] : days)
        series->append(double(day.startOfDay().toMSecsSinceEpoch()),
                       double(total.first) / double(Power10(total.second)));
    chart->addSeries(series);
    auto* time = new QDateTimeAxis;
    time->setFormat(days.size() > 400 ? "yyyy-MM" : "MM-dd");
    time->setTickCount(std::clamp(int(days.size()), 2, 7));
    if (days.size() == 1) {
        const QDateTime day = days.begin()->first.startOfDay();
        time->setRange(day.addDays(-1), day.addDays(1));
    }
    chart->addAxis(time, Qt::AlignBottom);
    series->attachAxis(time);
    auto* values = new QValueAxis;
    values->setLabelFormat("%.0f");
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    values->setMin(0);
    values->applyNiceNumbers();
}

void THistorySalesTab::Export() {
    if (lines_.empty())
        return;
    SheetDialect dialect = DefaultExportDialect();
    const QString path = form_.chooseSheetFile(&dialect);
    if (path.isEmpty())
        return;
    if (!WriteFileAtomically(path.toLocal8Bit().toStdString(),
                             SalesSheet(lines_, shownBy_, dialect))) {
        form_.ShowWriteError(path, errno);
        return;
    }
    form_.ShowMessage(tr("%n line(s) written to %1.", nullptr, int(lines_.size()))
                          .arg(QFileInfo(path).fileName()));
}
