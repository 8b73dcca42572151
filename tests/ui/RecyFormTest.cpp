#include "RecyForm.h"
#include "Defs.h"
#include "EditGrid.h"
#include "GridModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class RecyFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        InitialRecyTable(table);
    }
    void TearDown() override { SetDecimalSeparator('.'); }

    // Runs RecyExecute with `user` acting on the open dialog.
    bool Run(const std::function<void()>& user) {
        QTimer::singleShot(0, form.get(), [&] {
            QApplication::setActiveWindow(form.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
            Grid()->setFocus();
            QApplication::processEvents();
            user();
            if (form->isVisible()) // a failed step must not leave the test blocked
                form->reject();
        });
        return form->RecyExecute(table);
    }
    TEditGrid* Grid() { return form->Grid(); }
    QWidget* KeyTarget() {
        QLineEdit* editor = Grid()->Editor();
        return editor && editor->hasFocus() ? static_cast<QWidget*>(editor) : Grid();
    }
    void Type(const QString& text) {
        for (QChar c : text)
            QTest::keyClick(KeyTarget(), c.toLatin1());
    }
    void Key(Qt::Key key) { QTest::keyClick(KeyTarget(), key); }
    // Puts the grid in browse state on the price of entry row-1.
    void Browse(int row) {
        Grid()->SetCurrentCell(row, 1);
        ASSERT_TRUE(Grid()->ValidateActiveCell());
    }
    std::string Price(int row) { return form->Model()->Cell(row, 1); }
    void ClickButton(const char* name) {
        QTest::mouseClick(form->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

    // The editor is made after the separator is set, as the program makes it at start.
    void Remake(char separator) {
        SetDecimalSeparator(separator);
        form = std::make_unique<TRecyForm>();
        for (RecyEntry& entry : table)
            entry.price = FormatFixed(0, 2);
    }

    std::unique_ptr<TRecyForm> form = std::make_unique<TRecyForm>();
    RecyTable table;
};

TEST_F(RecyFormTest, LooksLikeItsDefinition) {
    EXPECT_EQ(form->objectName(), "RecyForm");
    EXPECT_EQ(form->windowTitle(), "Recycling");
    EXPECT_EQ(form->size(), QSize(232, 284));
    EXPECT_EQ(Grid()->objectName(), "RecyGrid");
    const TGridModel* model = form->Model();
    EXPECT_EQ(model->rowCount(), 100);
    EXPECT_EQ(model->columnCount(), 1);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Package price");
    EXPECT_EQ(model->headerData(99, Qt::Vertical, Qt::DisplayRole).toString(), "100");
    EXPECT_EQ(Grid()->columnWidth(0), 138);
    EXPECT_EQ(Grid()->verticalHeader()->width(), 60);
    EXPECT_EQ(Grid()->rowHeight(5), 20);
    for (const char* name : {"OKBtn", "CancelBtn"})
        EXPECT_NE(form->findChild<QPushButton*>(QLatin1String(name)), nullptr) << name;
}

// Typed prices as the grid checks them on Enter.
TEST_F(RecyFormTest, EnteredPricesAreCheckedAndNormalised) {
    struct Case {
        char separator;
        const char* typed;
        const char* shown; // after Enter
    };
    const Case cases[] = {
        {',', "1,5", "1,50"}, {'.', "1,5", "15.00"}, // the comma is refused while typing
        {'.', "-2", "-2.00"}, {'.', "123456789", "12345678.00"},
        {'.', "7", "7.00"},
    };
    for (const Case& c : cases) {
        Remake(c.separator);
        EXPECT_TRUE(Run([&] {
            Browse(3);
            Type(c.typed);
            Key(Qt::Key_Return);
            EXPECT_EQ(Price(3), c.shown) << c.typed;
            EXPECT_TRUE(form->isVisible()) << "Enter belongs to the grid";
            ClickButton("OKBtn");
        }));
        EXPECT_EQ(table[2].price, c.shown) << c.typed;
    }
}

// An emptied or deleted price becomes zero written with the locale's separator, so that the
// next check of the cell accepts it.
TEST_F(RecyFormTest, EmptiedAndDeletedCellsBecomeZero) {
    for (char separator : {'.', ','}) {
        Remake(separator);
        const std::string zero = separator == '.' ? "0.00" : "0,00";
        const std::string five = separator == '.' ? "5.00" : "5,00";
        for (int k = 0; k < 3; ++k)
            table[size_t(k)].price = five;
        EXPECT_TRUE(Run([&] {
            Grid()->SetCurrentCell(1, 1);
            Key(Qt::Key_F2);
            ASSERT_NE(Grid()->Editor(), nullptr);
            Grid()->Editor()->clear();
            Key(Qt::Key_Return);
            EXPECT_EQ(Price(1), zero);
            // Delete in browse state over a selection of two prices.
            Browse(2);
            Grid()->selectionModel()->select(
                QItemSelection(form->Model()->CellIndex(2, 1), form->Model()->CellIndex(3, 1)),
                QItemSelectionModel::ClearAndSelect);
            Key(Qt::Key_Delete);
            EXPECT_EQ(Price(2), zero);
            EXPECT_EQ(Price(3), zero);
            EXPECT_EQ(Price(4), zero);
            // Every one of them passes its check again.
            Grid()->SetCurrentCell(1, 1);
            EXPECT_TRUE(Grid()->ValidateActiveCell());
            Grid()->SetCurrentCell(3, 1);
            ClickButton("OKBtn");
        }));
        EXPECT_EQ(table[0].price, zero);
        EXPECT_EQ(table[2].price, zero);
    }
}

TEST_F(RecyFormTest, CancelLeavesTheTableAndTheNextOpeningShowsItAgain) {
    table[4].price = "4.50";
    EXPECT_FALSE(Run([&] {
        Browse(5);
        Type("99");
        Key(Qt::Key_Return);
        EXPECT_EQ(Price(5), "99.00");
        ClickButton("CancelBtn");
    }));
    EXPECT_EQ(table[4].price, "4.50");
    EXPECT_FALSE(Run([&] {
        EXPECT_EQ(Price(5), "4.50");
        Key(Qt::Key_Escape);
    }));
    EXPECT_EQ(table[4].price, "4.50");
}

TEST_F(RecyFormTest, OkRenumbersEveryEntry) {
    table[0].number = "77";
    table[99].number = "x";
    table[50].price = "3.25";
    EXPECT_TRUE(Run([&] { ClickButton("OKBtn"); }));
    for (int k = 0; k < RecyEntryCount; ++k)
        EXPECT_EQ(table[size_t(k)].number, std::to_string(k + 1));
    EXPECT_EQ(table[50].price, "3.25");
}

TEST_F(RecyFormTest, OkWithAnInvalidCellKeepsTheUserInIt) {
    EXPECT_TRUE(Run([&] {
        Browse(2);
        Type("-");
        ClickButton("OKBtn");
        EXPECT_TRUE(form->isVisible()) << "a lone minus is no number";
        EXPECT_EQ(Grid()->EditState(), TEditGrid::State::Edit);
        ASSERT_NE(Grid()->Editor(), nullptr);
        EXPECT_TRUE(Grid()->Editor()->hasFocus());
        Type("3");
        ClickButton("OKBtn");
    }));
    EXPECT_EQ(table[1].price, "-3.00");
}

} // namespace
