// The History window over a small store: the rows each tab shows, the filters and the search
// that narrow them, a failed operation's text, the sales between dates and snapshots (a cleared
// counter among them) with their charts, and what leaves the window: files, print, clipboard.
#include "Defs.h"
#include "HistoryForm.h"
#include "HistoryJournalTab.h"
#include "HistoryReportsTab.h"
#include "HistorySalesTab.h"
#include "HistoryStore.h"
#include "HistoryTestSupport.h"
#include "Journal.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "PagedTableModel.h"
#include "PdfText.h"
#include "ReportArchive.h"
#include "SheetExport.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TSalesItem Item(int64_t barcode, int64_t quantity, int64_t total, int department) {
    TSalesItem item;
    item.barcode = barcode;
    item.plu = int(barcode % 1000);
    item.name = QString("ITEM %1").arg(barcode % 1000);
    item.department = department;
    item.quantity = quantity;
    item.total = total;
    return item;
}

QStringList Cells(const QAbstractItemModel* model, int row) {
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->index(row, c).data().toString();
    return cells;
}

QStringList Column(const QAbstractItemModel* model, int column) {
    QStringList cells;
    for (int r = 0; r < model->rowCount(); ++r)
        cells << model->index(r, column).data().toString();
    return cells;
}

struct HistoryBrowser : ::testing::Test {
    TempProgramDir dir;
    THistoryStore store;
    std::unique_ptr<THistoryForm> form;
    char separator = DecimalSeparator();
    QStringList snapshots; // S1..S4

    void SetUp() override {
        ASSERT_TRUE(store.Open(dir.Path("history.sqlite")));
        Archive("X REPORT 1\r\nREFUND 2.00\r\n", "ECR A", Utc(2026, 1, 10, 9));
        Archive("Z REPORT 2\r\nTOTAL 12.00\r\n", "ECR B", Utc(2026, 1, 11, 21));
        // The register writes its own code page: É is 0xC9.
        Archive("Z REPORT 3\r\nCAF\xC9 3.50\r\n", "ECR A", Utc(2026, 1, 12, 21));

        Journal(operations::Download, results::Done, "ECR A", Utc(2026, 2, 1, 10), "");
        Journal(operations::Upload, results::Failed, "ECR B", Utc(2026, 2, 2, 10),
                "No answer from the register (block 3)");
        Journal(operations::Upload, results::Cancelled, "ECR A", Utc(2026, 2, 20, 10), "");

        // ECR A at two decimals; its third snapshot follows a Z report that cleared item 901.
        snapshots << Take(Utc(2026, 3, 1), 2, {Item(5901, 5000, 500, 1), Item(5902, 1000, 250, 2)})
                  << Take(Utc(2026, 3, 2), 2, {Item(5901, 8000, 800, 1), Item(5902, 3000, 750, 2)})
                  << Take(Utc(2026, 3, 3), 2, {Item(5901, 2000, 200, 1), Item(5902, 3000, 750, 2)})
                  << Take(Utc(2026, 3, 2, 15), 3, {Item(5901, 1000, 1500, 1)}, "ECR B");
    }
    void TearDown() override {
        form.reset();
        SetDecimalSeparator(separator);
    }

    void Archive(const std::string& text, const std::string& reg, const QDateTime& at) {
        QString uuid;
        ASSERT_EQ(ArchiveReport(store, SampleReport(text, reg), at, &uuid), "");
    }
    void Journal(const char* operation, const char* result, const QString& reg, const QDateTime& at,
                 const QString& error) {
        TJournalEntry entry;
        entry.started = at;
        entry.ended = at.addSecs(5);
        entry.operation = operation;
        entry.registerName = reg;
        entry.port = "COM2";
        entry.rate = 9600;
        entry.result = result;
        entry.error = error;
        ASSERT_EQ(WriteJournalEntry(store, entry), "");
    }
    QString Take(const QDateTime& at, int decimals, std::vector<TSalesItem> items,
                 const QString& reg = "ECR A") {
        TSalesSnapshot snapshot;
        snapshot.taken = at;
        snapshot.registerName = reg;
        snapshot.port = "COM2";
        snapshot.decimals = decimals;
        snapshot.items = std::move(items);
        EXPECT_EQ(StoreSalesSnapshot(store, snapshot), "");
        return snapshot.uuid;
    }
    void Open() {
        form = std::make_unique<THistoryForm>(store);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    THistoryReportsTab& Reports() { return *form->ReportsTab(); }
    THistoryJournalTab& Journal() { return *form->JournalTab(); }
    THistorySalesTab& Sales() { return *form->SalesTab(); }
    void Dates(const QDate& from, const QDate& to) {
        Sales().DatesButton()->setChecked(true);
        Sales().FromBox()->setDate(from);
        Sales().ToBox()->setDate(to);
    }
};

TEST_F(HistoryBrowser, ReportsShowNewestFirstAndTheSearchNarrowsThem) {
    Open();
    const QAbstractItemModel* model = Reports().List()->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(Cells(model, 0).mid(1), (QStringList{"ECR A", store.Shop(), "Z REPORT 3"}));
    EXPECT_EQ(Column(model, 3), (QStringList{"Z REPORT 3", "Z REPORT 2", "X REPORT 1"}));
    EXPECT_EQ(Reports().Text()->toPlainText(), "Z REPORT 3\nCAFÉ 3.50\n");
    EXPECT_EQ(Reports().Count()->text(), "3 report(s)");

    const struct {
        const char* words;
        QStringList firstLines;
    } searches[] = {
        {"refund", {"X REPORT 1"}},
        {"cafe", {"Z REPORT 3"}},                // accents and case do not matter
        {"z rep", {"Z REPORT 3", "Z REPORT 2"}}, // every word, as the start of a word
        {"\"total", {"Z REPORT 2"}},             // a quote is no syntax: the word is still found
        {"", {"Z REPORT 3", "Z REPORT 2", "X REPORT 1"}},
    };
    for (const auto& s : searches) {
        Reports().SearchBox()->setText(s.words);
        QTest::keyClick(Reports().SearchBox(), Qt::Key_Return);
        EXPECT_EQ(Column(model, 3), s.firstLines) << s.words;
        EXPECT_EQ(form->Message(), "") << s.words;
    }
    // The search also runs by itself once the typing pauses.
    Reports().SearchBox()->setText("12.00");
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 1; }, 3000));
    EXPECT_EQ(Reports().Text()->toPlainText(), "Z REPORT 2\nTOTAL 12.00\n");
}

// More matches than a page: every one comes, once, newest first (the same minute by the order
// they were archived), and the count is of all of them, not of the page.
TEST_F(HistoryBrowser, ASearchOverManyPagesShowsEveryMatchInOrder) {
    const int many = 2 * TPagedTableModel::PageSize + 37;
    for (int i = 0; i < many; ++i)
        Archive("SALE " + std::to_string(i) + (i % 3 == 0 ? "\r\nMILK 1.00\r\n" : "\r\n"), "ECR C",
                Utc(2025, 6, 1).addSecs(60 * (i / 2)));
    Open();
    TPagedTableModel* model = Reports().Model();
    const auto sales = [&](int step) {
        QStringList lines;
        for (int i = many - 1; i >= 0; --i)
            if (i % step == 0)
                lines << QString("SALE %1").arg(i);
        return lines;
    };
    const struct {
        const char* words;
        QStringList firstLines;
    } searches[] = {
        {"sale", sales(1)},
        {"milk", sales(3)},
        {"", QStringList{"Z REPORT 3", "Z REPORT 2", "X REPORT 1"} + sales(1)},
        {"bread", {}},
    };
    for (const auto& s : searches) {
        Reports().SearchBox()->setText(s.words);
        Reports().Search();
        EXPECT_EQ(model->rowCount(), std::min<int>(s.firstLines.size(), TPagedTableModel::PageSize))
            << s.words;
        EXPECT_EQ(Reports().Count()->text(), QString("%1 report(s)").arg(s.firstLines.size()))
            << s.words;
        for (int page = 0; page < 5 && model->canFetchMore({}); ++page)
            model->fetchMore({});
        EXPECT_EQ(Column(model, 3), s.firstLines) << s.words;
    }
}

TEST_F(HistoryBrowser, EnterOnAReportShowsItAndEscCloses) {
    Open();
    Reports().List()->setFocus();
    QTest::keyClick(Reports().List(), Qt::Key_Down);
    QTest::keyClick(Reports().List(), Qt::Key_Return);
    EXPECT_EQ(Reports().Text()->toPlainText(), "Z REPORT 2\nTOTAL 12.00\n");
    EXPECT_TRUE(Reports().Text()->hasFocus());
    EXPECT_TRUE(form->isVisible()); // Enter never closes the window
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(HistoryBrowser, AReportIsSavedPrintedAndCopiedAsItsText) {
    Open();
    form->chooseTextFile = [this] { return QString::fromStdString(dir.Path("z3.txt")); };
    Reports().SaveAs();
    EXPECT_EQ(ReadFileBytes(dir.Path("z3.txt")), "Z REPORT 3\nCAF\xC3\x89 3.50\n");
    EXPECT_EQ(form->Message(), "The report was saved as z3.txt.");

    // A file that cannot be written says why and leaves nothing behind.
    for (const std::string& path : {dir.Path("gone/z3.txt"), std::string("/dev/full")}) {
        form->chooseTextFile = [path] { return QString::fromStdString(path); };
        ModalAnswer failed(QMessageBox::Ok);
        Reports().SaveAs();
        EXPECT_EQ(failed.Count(), 1) << path;
        EXPECT_TRUE(failed.InformativeText().startsWith(QString::fromStdString(path) + ": "))
            << failed.InformativeText().toStdString();
    }

    form->openPrinter = [this](QString&) {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir.Path("z3.pdf")));
        return printer;
    };
    Reports().Print();
    const std::string printed = PdfText(dir.Path("z3.pdf"));
    EXPECT_NE(printed.find("Z REPORT 3"), std::string::npos) << printed;
    EXPECT_NE(printed.find("CAFÉ 3.50"), std::string::npos) << printed;
    // A printer that cannot start is told, not taken for printed.
    form->openPrinter = [this](QString&) {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir.Path("gone/z3.pdf")));
        return printer;
    };
    ModalAnswer refused(QMessageBox::Ok);
    Reports().Print();
    EXPECT_TRUE(refused.Text().startsWith("Cannot start printing")) << refused.Text().toStdString();

    Reports().Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "Z REPORT 3\nCAFÉ 3.50\n");
}

TEST_F(HistoryBrowser, TheJournalFiltersByRegisterOperationResultAndDate) {
    Open();
    const QAbstractItemModel* model = Journal().List()->model();
    ASSERT_EQ(model->rowCount(), 3);
    const int operation = 4, result = 5, error = 9;
    EXPECT_EQ(Column(model, operation), (QStringList{"upload", "upload", "download"}));
    EXPECT_EQ(Column(model, result), (QStringList{"cancelled", "failed", "done"}));
    EXPECT_EQ(model->index(1, error).data().toString(), "No answer from the register (block 3)");

    // The failed entry's text is in its details.
    Journal().List()->setCurrentIndex(model->index(1, 0));
    EXPECT_TRUE(Journal().Detail()->toPlainText().contains("No answer from the register (block 3)"))
        << Journal().Detail()->toPlainText().toStdString();
    EXPECT_TRUE(Journal().Detail()->toPlainText().startsWith("upload on COM2"));

    const auto choose = [](QComboBox* box, const QString& data) {
        box->setCurrentIndex(box->findData(data));
    };
    choose(Journal().ResultBox(), results::Failed);
    EXPECT_EQ(Column(model, 1), (QStringList{"ECR B"}));
    choose(Journal().ResultBox(), QString());
    choose(Journal().OperationBox(), operations::Download);
    EXPECT_EQ(Column(model, 1), (QStringList{"ECR A"}));
    choose(Journal().OperationBox(), QString());
    Journal().RegisterBox()->setText("ecr a");
    QTest::keyClick(Journal().RegisterBox(), Qt::Key_Return);
    EXPECT_EQ(Column(model, result), (QStringList{"cancelled", "done"}));
    Journal().RegisterBox()->clear();
    QTest::keyClick(Journal().RegisterBox(), Qt::Key_Return);
    // Both ends of the dates are whole days, in whichever order they are typed.
    Journal().FromBox()->setDate(QDate(2026, 2, 2));
    Journal().ToBox()->setDate(QDate(2026, 2, 20));
    Journal().DatesBox()->setChecked(true);
    EXPECT_EQ(Column(model, result), (QStringList{"cancelled", "failed"}));
    Journal().FromBox()->setDate(QDate(2026, 2, 19));
    Journal().ToBox()->setDate(QDate(2026, 2, 1));
    EXPECT_EQ(Column(model, result), (QStringList{"failed", "done"}));
    Journal().DatesBox()->setChecked(false);
    EXPECT_EQ(model->rowCount(), 3);
}

TEST_F(HistoryBrowser, ALongJournalIsReadAPageAtATime) {
    for (int i = 0; i < 2 * TPagedTableModel::PageSize + 50; ++i)
        Journal(operations::Test, results::Done, "ECR C", Utc(2025, 1, 1).addSecs(60 * i), "");
    Open();
    TPagedTableModel* model = Journal().Model();
    EXPECT_EQ(model->rowCount(), TPagedTableModel::PageSize);
    // Scrolling to the end fetches the rest, each row once.
    for (int page = 0; page < 4 && model->canFetchMore({}); ++page)
        model->fetchMore({});
    EXPECT_EQ(model->rowCount(), 2 * TPagedTableModel::PageSize + 53);
    EXPECT_FALSE(model->canFetchMore({}));
    QStringList started = Column(model, 0);
    started.removeDuplicates();
    EXPECT_EQ(started.size(), 2 * TPagedTableModel::PageSize + 53);
    EXPECT_EQ(model->index(model->rowCount() - 1, 0).data().toString(),
              Utc(2025, 1, 1).toLocalTime().toString("yyyy-MM-dd HH:mm"));
}

TEST_F(HistoryBrowser, SalesBetweenDatesPerItemAndDepartmentAtEitherSeparator) {
    Open();
    const struct {
        char separator;
        int by;
        std::vector<QStringList> rows;
        QString summary;
    } cases[] = {
        // ECR A's item 901 sold 3 then 2 (its counter cleared), ECR B's at three decimals 1.
        {'.',
         0,
         {{"5901", "901", "ITEM 901", "6.000", "6.500"},
          {"5902", "902", "ITEM 902", "2.000", "5.000"}},
         "2 item(s)  Total: 11.500"},
        {',',
         0,
         {{"5901", "901", "ITEM 901", "6,000", "6,500"},
          {"5902", "902", "ITEM 902", "2,000", "5,000"}},
         "2 item(s)  Total: 11,500"},
        {'.',
         1,
         {{"1", "6.000", "6.500"}, {"2", "2.000", "5.000"}},
         "2 department(s)  Total: 11.500"},
    };
    for (const auto& c : cases) {
        SetDecimalSeparator(c.separator);
        Sales().ByBox()->setCurrentIndex(c.by);
        Dates(QDate(2026, 3, 2), QDate(2026, 3, 3));
        Sales().Show();
        const QAbstractItemModel* model = Sales().List()->model();
        std::vector<QStringList> rows;
        for (int r = 0; r < model->rowCount(); ++r)
            rows.push_back(Cells(model, r));
        EXPECT_EQ(rows, c.rows) << c.separator << c.by;
        EXPECT_EQ(Sales().findChild<QLabel*>("SalesSummary")->text(), c.summary);
    }
    // The first day alone: S2 and ECR B's first snapshot.
    SetDecimalSeparator('.');
    Sales().ByBox()->setCurrentIndex(0);
    Dates(QDate(2026, 3, 2), QDate(2026, 3, 2));
    EXPECT_EQ(Column(Sales().List()->model(), 3), (QStringList{"2.000", "4.000"}));
    // Days with no snapshot: nothing, and nothing to export.
    Dates(QDate(2026, 4, 1), QDate(2026, 4, 30));
    EXPECT_EQ(Sales().List()->model()->rowCount(), 0);
    EXPECT_FALSE(Sales().findChild<QPushButton*>("SalesExportBtn")->isEnabled());
}

TEST_F(HistoryBrowser, SalesBetweenTwoSnapshotsCountOnlyThatRegister) {
    Open();
    Sales().SnapshotsButton()->setChecked(true);
    QComboBox* first = Sales().FirstSnapshotBox();
    QComboBox* last = Sales().LastSnapshotBox();
    ASSERT_EQ(first->count(), 4);
    // By default the newest one and the one before it of the same register.
    EXPECT_EQ(first->currentData().toString(), snapshots[1]);
    EXPECT_EQ(last->currentData().toString(), snapshots[2]);
    first->setCurrentIndex(first->findData(snapshots[0]));
    last->setCurrentIndex(last->findData(snapshots[2]));
    const QAbstractItemModel* model = Sales().List()->model();
    EXPECT_EQ(Column(model, 0), (QStringList{"5901", "5902"}));
    EXPECT_EQ(Column(model, 3), (QStringList{"5.000", "2.000"}));
    EXPECT_EQ(Column(model, 4), (QStringList{"5.00", "5.00"}));
    // Snapshots of two registers are not compared.
    last->setCurrentIndex(last->findData(snapshots[3]));
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(form->Message(),
              "The sales could not be shown (the two snapshots are of different registers).");
}

TEST_F(HistoryBrowser, ChartsShowTheTopItemsAndTheTotalOfEachDay) {
    Open();
    Dates(QDate(2026, 3, 1), QDate(2026, 3, 3));
    const auto bars = Sales().TopChart()->series();
    ASSERT_EQ(bars.size(), 1);
    const auto* series = qobject_cast<QHorizontalBarSeries*>(bars[0]);
    ASSERT_TRUE(series);
    QBarSet* set = series->barSets().value(0);
    ASSERT_TRUE(set);
    // The largest on top, which is the last of a horizontal series.
    ASSERT_EQ(set->count(), 2);
    EXPECT_DOUBLE_EQ(set->at(0), 7.5);  // 902: 2.50 + 5.00 + nothing after the clear
    EXPECT_DOUBLE_EQ(set->at(1), 11.5); // 901: 5.00 + 3.00 + 2.00 + 1.500
    auto* names = qobject_cast<QBarCategoryAxis*>(Sales().TopChart()->axes(Qt::Vertical)[0]);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->categories(), (QStringList{"ITEM 902", "ITEM 901"}));

    const auto lines = Sales().DayChart()->series();
    ASSERT_EQ(lines.size(), 1);
    const auto* days = qobject_cast<QLineSeries*>(lines[0]);
    ASSERT_TRUE(days);
    const QList<QPointF> points = days->points();
    ASSERT_EQ(points.size(), 3);
    const double expected[] = {7.5, 9.5, 2.0}; // 03-02: 8.00 of ECR A and 1.500 of ECR B
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(qint64(points[i].x())).date(),
                  QDate(2026, 3, 1 + i));
        EXPECT_DOUBLE_EQ(points[i].y(), expected[i]) << i;
    }
}

TEST_F(HistoryBrowser, SalesExportAsTheTableExportDoes) {
    Open();
    const struct {
        char separator;
        const char* dialect;
        int by;
        std::string bytes;
    } cases[] = {
        {',', "excel", 0,
         "\xEF\xBB\xBF"
         "Barcode;PLU;Name;Quantity;Total\r\n5901;901;ITEM 901;6,000;6,500\r\n"
         "5902;902;ITEM 902;2,000;5,000\r\n"},
        {'.', "tsv", 1,
         "\xEF\xBB\xBF"
         "Department\tQuantity\tTotal\n1\t6.000\t6.500\n2\t2.000\t5.000\n"},
    };
    for (const auto& c : cases) {
        SetDecimalSeparator(c.separator);
        Sales().ByBox()->setCurrentIndex(c.by);
        Dates(QDate(2026, 3, 2), QDate(2026, 3, 3));
        form->chooseSheetFile = [&](SheetDialect* dialect) {
            *dialect = *ExportDialect(c.dialect);
            return QString::fromStdString(dir.Path("sales.csv"));
        };
        Sales().Export();
        EXPECT_EQ(ReadFileBytes(dir.Path("sales.csv")), c.bytes) << c.dialect;
        EXPECT_EQ(form->Message(), "2 line(s) written to sales.csv.");
    }
    form->chooseSheetFile = [](SheetDialect*) { return QString("/dev/full"); };
    ModalAnswer failed(QMessageBox::Ok);
    Sales().Export();
    EXPECT_EQ(failed.Count(), 1);
}

TEST_F(HistoryBrowser, ShowsWhatWasArchivedSinceItWasLastOpen) {
    Open();
    form->close();
    Archive("Z REPORT 4\r\n", "ECR C", Utc(2026, 1, 13, 21));
    form->Reload();
    EXPECT_EQ(Reports().List()->model()->index(0, 3).data().toString(), "Z REPORT 4");
}

TEST(HistoryMenu, CtrlHOpensTheWindowOrSaysWhyThereIsNone) {
    TempProgramDir dir;
    TMainForm main;
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    WriteFileBytes(dir.Path("afile"), "x");
    main.OpenHistory(dir.Path("afile/history.sqlite"));
    {
        ModalAnswer told(QMessageBox::Ok);
        QTest::keyClick(&main, Qt::Key_H, Qt::ControlModifier);
        EXPECT_TRUE(told.Text().startsWith("The history is not kept: "))
            << told.Text().toStdString();
        EXPECT_FALSE(main.HistoryWindow());
    }
    ASSERT_TRUE(main.OpenHistory(dir.Path("history.sqlite")));
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(main.HistoryWindow());
    EXPECT_TRUE(QTest::qWaitForWindowActive(main.HistoryWindow()));
    EXPECT_EQ(main.HistoryWindow()->Tabs()->currentIndex(), 0);
    EXPECT_EQ(main.findChild<QAction*>("HistoryItem")->text(), "&History...");
}

} // namespace
