// Editing at speed on the real main window: undo and redo by the keys, the find bar and its
// filter over accented names, the bulk change dialog driven by its controls, and the widths of
// the two panels.
#include "BulkChangeDlg.h"
#include "CodePage.h"
#include "FindBar.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainFormEdit : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        SetDocumentCodePage("CP1250");
        form = std::make_unique<TMainForm>();
        form->resize(1000, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Grid()->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override {
        form->SetModified(false);
        form.reset();
    }
    TEditGrid* Grid() { return form->PLUGrid(); }
    QWidget* KeyTarget() {
        TEditGrid* grid = Grid();
        return grid->Editor() && grid->Editor()->hasFocus() ? static_cast<QWidget*>(grid->Editor())
                                                            : grid;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(), key, mods);
    }
    void Type(const QString& text) {
        QTest::keyClicks(KeyTarget(), text);
        Key(Qt::Key_Return);
    }
    void At(int row, int col) {
        Grid()->SetCurrentCell(row, col);
        ASSERT_TRUE(Grid()->ValidateActiveCell());
    }
    std::string Cell(int row, int col) { return form->PLUModel()->Cell(row, col); }
    void SetName(int row, const char16_t* name) {
        form->PLUModel()->SetCell(row, 2,
                                  *DocumentCodePage().FromUnicode(QString::fromUtf16(name)));
    }

    TempProgramDir dir;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormEdit, UndoAndRedoAcrossTypingPasteAndMovedRows) {
    form->FillTestData();
    EXPECT_FALSE(form->Modified()) << "the filler leaves the flag as it is";
    const TextTable filled = form->PLUModel()->Table();
    EXPECT_TRUE(form->UndoItem->isEnabled());
    EXPECT_FALSE(form->RedoItem->isEnabled());

    At(3, 3);
    Type("7.5"); // typed over in browse state: the cell is emptied first
    EXPECT_EQ(Cell(3, 3), "7.50");
    At(4, 2);
    QApplication::clipboard()->setText("Tea\t1.25\nCoffee\t3\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(5, 2), "Coffee");
    EXPECT_EQ(Cell(5, 3), "3.00");
    Grid()->verticalHeader()->moveSection(2, 9); // row 3 dragged to row 10
    EXPECT_EQ(Cell(10, 3), "7.50");
    EXPECT_EQ(Cell(3, 2), "Tea");
    At(1, 2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Cell(1, 2), "");
    const TextTable edited = form->PLUModel()->Table();

    form->SetModified(false);
    for (int i = 0; i < 4; ++i)
        Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form->Modified()) << "an undone change is still a change to save";
    EXPECT_EQ(form->History().UndoName(), "Test data");
    for (int r = 1; r <= 30000; ++r)
        for (int c = 1; c <= 8; ++c)
            ASSERT_EQ(Cell(r, c), filled.Cell(r, c)) << r << "," << c;
    EXPECT_TRUE(form->RedoItem->isEnabled());

    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    for (int r = 1; r <= 30000; ++r)
        for (int c = 1; c <= 8; ++c)
            ASSERT_EQ(Cell(r, c), edited.Cell(r, c)) << r << "," << c;
    EXPECT_FALSE(form->RedoItem->isEnabled());

    // A cell still being typed is finished by Undo, and is what it takes back.
    At(20, 2);
    QTest::keyClicks(KeyTarget(), "Half");
    form->UndoItem->trigger();
    EXPECT_EQ(Cell(20, 2), "PLU-20");

    // An import is one step, whatever tables it filled.
    ImportResult imported;
    imported.plu = form->PLUModel()->Table();
    imported.plu->Cell(100, 2) = "Imported";
    imported.recy = form->Recy();
    (*imported.recy)[0].price = "9.99";
    form->ApplyImport(std::move(imported), "shop.csv");
    EXPECT_EQ(Cell(100, 2), "Imported");
    form->UndoItem->trigger();
    EXPECT_EQ(Cell(100, 2), "PLU-100");
    EXPECT_EQ(form->Recy()[0].price, "9.00");

    form->SetModified(false);
    form->NewItemClick();
    EXPECT_FALSE(form->UndoItem->isEnabled()) << "New starts a new history";
    EXPECT_FALSE(form->RedoItem->isEnabled());
}

TEST_F(MainFormEdit, FindGoesThroughAccentedNamesAndBarcodes) {
    SetName(4, u"Jabłko żółte");
    SetName(9, u"Masło");
    SetName(15, u"ŻÓŁTY ser");
    form->PLUModel()->SetCell(22, 1, "590123400");
    At(1, 1);
    Key(Qt::Key_F, Qt::ControlModifier);
    TFindBar* bar = form->FindBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(bar->TextEdit()->hasFocus());

    QTest::keyClicks(bar->TextEdit(), "zolt");
    EXPECT_EQ(bar->CountText(), "1 of 2");
    EXPECT_EQ(Grid()->CurrentRow(), 4);
    EXPECT_EQ(Grid()->CurrentCol(), 2);
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return);
    EXPECT_EQ(Grid()->CurrentRow(), 15);
    EXPECT_EQ(bar->CountText(), "2 of 2");
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return);
    EXPECT_EQ(Grid()->CurrentRow(), 4) << "past the last match it starts again";
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Grid()->CurrentRow(), 15);

    bar->AccentsBox()->setChecked(false);
    EXPECT_EQ(bar->CountText(), "No match");
    bar->TextEdit()->setText(QString::fromUtf16(u"ŁKO"));
    EXPECT_EQ(bar->Matches(), (std::vector<int>{4}));
    bar->TextEdit()->setText("01234");
    EXPECT_EQ(bar->Matches(), (std::vector<int>{22}));
    EXPECT_EQ(Grid()->CurrentCol(), 1) << "the barcode that matched";
    bar->ColumnBox()->setCurrentIndex(2); // Name alone
    EXPECT_EQ(bar->CountText(), "No match");

    bar->TextEdit()->setText("mas");
    QTest::keyClick(bar->TextEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(Grid()->hasFocus());
    EXPECT_EQ(Grid()->CurrentRow(), 9) << "Esc leaves the cursor on the match";
    EXPECT_EQ(form->OpenItem->shortcut(), QKeySequence(Qt::Key_F3)) << "F3 stays Open";
}

TEST_F(MainFormEdit, TheFilteredViewEditsValidatesAndPastesIntoTheRightRows) {
    SetName(4, u"Mąka");
    SetName(9, u"Mleko");
    SetName(15, u"Makaron");
    SetName(30, u"Chleb");
    At(1, 1);
    form->FindItem->trigger();
    TFindBar* bar = form->FindBar();
    QTest::keyClicks(bar->TextEdit(), "ma");
    bar->FilterBox()->setChecked(true);
    ASSERT_EQ(Grid()->ViewRowCount(), 2);
    EXPECT_EQ(Grid()->model()->headerData(1, Qt::Vertical).toString(), "15");
    EXPECT_EQ(form->PLUModel()->rowCount(), 30000) << "the document keeps every row";

    // Typing in the second shown row goes to PLU 15; a bad department stays in its cell.
    Grid()->setFocus();
    At(15, 4);
    Type("9");
    EXPECT_EQ(Grid()->EditState(), TEditGrid::State::Edit);
    bar->FilterBox()->setChecked(false); // the view stays while its cell is not valid
    EXPECT_TRUE(bar->FilterBox()->isChecked());
    EXPECT_EQ(Grid()->ViewRowCount(), 2);
    Key(Qt::Key_Escape);
    Grid()->Editor()->setText("3");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(15, 4), "3");
    EXPECT_EQ(Cell(5, 4), "1") << "the fifth document row is untouched";

    // A name repeated in a hidden row is refused as typing it would be.
    At(4, 2);
    {
        ModalAnswer ok(QMessageBox::Ok);
        Type("Chleb");
        EXPECT_EQ(ok.Text(), "PLU name repeat: No. 4 and No. 30");
    }
    Key(Qt::Key_Escape);
    Grid()->Editor()->setText(QString::fromUtf16(u"Mąka"));
    Key(Qt::Key_Return);
    ASSERT_EQ(Grid()->EditState(), TEditGrid::State::Browse);

    // Copy and paste over the shown rows.
    At(4, 3);
    Grid()->SelectBlock({1, 3, 2, 3});
    QApplication::clipboard()->setText("1.10\n2.20\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(4, 3), "1.10");
    EXPECT_EQ(Cell(15, 3), "2.20");
    EXPECT_EQ(Cell(5, 3), "0.00");
    EXPECT_EQ(Grid()->SelectedRows(), (std::vector<int>{4, 15})) << "what Change prices takes";
    Grid()->SelectBlock({1, 2, 2, 3});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromUtf16(u"Mąka\t1.10\nMakaron\t2.20\n"));
    QApplication::clipboard()->setText("Chleb\n");
    At(15, 2);
    {
        ModalAnswer ok(QMessageBox::Ok);
        Key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(ok.Text().contains("PLU 15")) << ok.Text().toStdString();
    }
    EXPECT_EQ(Cell(15, 2), "Makaron") << "all or nothing";
    QApplication::setActiveWindow(form.get()); // the message box had it
    Grid()->setFocus();

    // The matches follow edits; a renamed row stays in the view while the find is the same.
    At(15, 2);
    EXPECT_EQ(Grid()->SelectedRows(), (std::vector<int>{15}));
    Type("Ser");
    EXPECT_EQ(Cell(15, 2), "Ser");
    QTest::qWait(20);
    EXPECT_EQ(bar->Matches(), (std::vector<int>{4}));
    EXPECT_EQ(Grid()->ViewRowCount(), 2);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QTest::qWait(20);
    EXPECT_EQ(Cell(15, 2), "Makaron");
    EXPECT_EQ(Grid()->ViewRowCount(), 2);
    bar->Close();
    EXPECT_EQ(Grid()->ViewRowCount(), 30000);
}

// An edit that makes a shown row stop matching keeps it in sight, and the cursor on it, until
// the find itself changes; Enter and Shift+Enter go on from there.
TEST_F(MainFormEdit, AnEditedRowStaysInTheFilteredViewUntilTheFindChanges) {
    form->FillTestData();
    At(1, 2);
    form->FindItem->trigger();
    TFindBar* bar = form->FindBar();
    QTest::keyClicks(bar->TextEdit(), "plu-12");
    bar->FilterBox()->setChecked(true);
    ASSERT_EQ(Grid()->ViewRowCount(), 1111);
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_EQ(Grid()->CurrentRow(), 12999);
    EXPECT_EQ(bar->CountText(), "1111 of 1111");

    Grid()->setFocus();
    Type("Bread");
    QTest::qWait(20); // the bar finds again once the edit is done
    Type("5.50");
    QTest::qWait(20);
    EXPECT_EQ(Cell(12999, 2), "Bread");
    EXPECT_EQ(Cell(12999, 3), "5.50");
    EXPECT_EQ(Cell(12998, 3), "129980.00") << "the neighbour keeps its price";
    EXPECT_EQ(Grid()->CurrentRow(), 12999);
    EXPECT_EQ(Grid()->ViewRowCount(), 1111);
    EXPECT_EQ(bar->CountText(), "1110 matches") << "the cursor is on no match";

    // A row in the middle: the keys go on from it, not from the first match.
    At(125, 2);
    Type("Rye");
    QTest::qWait(20);
    EXPECT_EQ(bar->KeptRows(), (std::vector<int>{125, 12999}));
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return);
    EXPECT_EQ(Grid()->CurrentRow(), 126);
    EXPECT_EQ(bar->CountText(), "7 of 1109");
    At(125, 2);
    QTest::keyClick(bar->TextEdit(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Grid()->CurrentRow(), 124);

    // Another find shows the matches alone again; so does switching the filter off and on.
    bar->TextEdit()->setText("plu-129");
    EXPECT_TRUE(bar->KeptRows().empty());
    EXPECT_EQ(Grid()->ViewRowCount(), 110) << "PLU 12999 is Bread now";
    At(129, 2);
    Type("Oats");
    QTest::qWait(20);
    EXPECT_EQ(Grid()->ViewRowCount(), 110);
    EXPECT_EQ(bar->CountText(), "109 matches");
    bar->FilterBox()->setChecked(false);
    bar->FilterBox()->setChecked(true);
    EXPECT_EQ(Grid()->ViewRowCount(), 109);
    EXPECT_EQ(Grid()->CurrentRow(), 1290);
    EXPECT_EQ(bar->CountText(), "1 of 109");
    bar->TextEdit()->setText("oats");
    EXPECT_EQ(bar->CountText(), "1 of 1");
}

// Each opening starts from no change, whatever the last one was left at.
TEST_F(MainFormEdit, ChangePricesOpensWithNoChangeAfterCancelAndAfterAChange) {
    form->FillTestData();
    TBulkChangeDlg* dlg = form->BulkChangeDlg;
    auto* op = dlg->findChild<QComboBox*>("PriceOpBox");
    auto* value = dlg->findChild<QLineEdit*>("ValueEdit");
    auto* change = dlg->findChild<QPushButton*>("ChangeBtn");
    auto* setFlag = dlg->findChild<QCheckBox*>("SetFlagBox");
    struct Opening {
        int op = 0;
        QString value;
        bool changeEnabled = false;
        bool flag = false;
    };
    const auto open = [&](std::function<void()> whileOpen) {
        Opening seen;
        QTimer::singleShot(0, dlg, [&] {
            seen = {op->currentIndex(), value->text(), change->isEnabled(), setFlag->isChecked()};
            whileOpen();
        });
        form->BulkChangeItem->trigger();
        return seen;
    };
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "after Cancel" : "after Change");
        open([&] {
            op->setCurrentIndex(1); // raise by %
            value->setText("10");
            setFlag->setChecked(true);
            ASSERT_TRUE(change->isEnabled());
            cancel ? dlg->reject() : change->click();
        });
        const Opening next = open([&] { dlg->reject(); });
        EXPECT_EQ(next.op, 0) << "the price is kept";
        EXPECT_EQ(next.value, "");
        EXPECT_FALSE(next.flag);
        EXPECT_FALSE(next.changeEnabled) << "Enter changes nothing";
    }
    EXPECT_EQ(Cell(3, 3), "33.00") << "the one change made";
}

TEST_F(MainFormEdit, BulkChangeThroughTheDialogAndItsUndo) {
    form->FillTestData();
    const TextTable before = form->PLUModel()->Table();
    At(2, 3);
    Grid()->SelectBlock({2, 3, 4, 3});
    TBulkChangeDlg* dlg = form->BulkChangeDlg;
    QString preview;
    QTimer::singleShot(0, dlg, [&] {
        dlg->findChild<QComboBox*>("PriceOpBox")->setCurrentIndex(1); // raise by %
        dlg->findChild<QLineEdit*>("ValueEdit")->setText("4");
        dlg->findChild<QComboBox*>("RoundingBox")->setCurrentIndex(2); // 0.10
        preview = dlg->findChild<QLabel*>("PreviewLbl")->text();
        dlg->findChild<QPushButton*>("ChangeBtn")->click();
    });
    form->BulkChangeItem->trigger();
    EXPECT_TRUE(preview.startsWith("3 rows change.")) << preview.toStdString();
    EXPECT_TRUE(preview.contains(u8"PLU 2 PLU-2: Unit price 20.00 \u2192 20.80"))
        << preview.toStdString();
    EXPECT_EQ(Cell(3, 3), "31.20");
    EXPECT_EQ(Cell(4, 3), "41.60");
    EXPECT_EQ(Cell(5, 3), "50.00");
    EXPECT_TRUE(form->Modified());

    // A price beyond its limit: nothing may change.
    form->PLUModel()->SetCell(30000, 3, "999999.00");
    QTimer::singleShot(0, dlg, [&] {
        dlg->findChild<QComboBox*>("PriceOpBox")->setCurrentIndex(3); // raise by amount
        dlg->findChild<QLineEdit*>("ValueEdit")->setText("1");
        dlg->findChild<QSpinBox*>("FromEdit")->setValue(29999);
        preview = dlg->findChild<QLabel*>("PreviewLbl")->text();
        EXPECT_FALSE(dlg->findChild<QPushButton*>("ChangeBtn")->isEnabled());
        dlg->reject();
    });
    form->BulkChangeItem->trigger();
    EXPECT_TRUE(preview.startsWith("Nothing changes: 1 cell")) << preview.toStdString();
    EXPECT_EQ(Cell(29999, 3), "299990.00");

    form->UndoItem->trigger();
    form->PLUModel()->SetCell(30000, 3, before.Cell(30000, 3));
    for (int r = 1; r <= 30000; ++r)
        ASSERT_EQ(Cell(r, 3), before.Cell(r, 3)) << r;
}

TEST_F(MainFormEdit, ThePanelsShareTheWidthByTheirColumns) {
    form->resize(1280, 1024);
    QApplication::processEvents();
    form->FitGridColumns();
    QApplication::processEvents();
    TEditGrid* dept = form->DeptmentGrid();
    int deptColumns = 0;
    for (int c = 0; c < 3; ++c)
        deptColumns += dept->columnWidth(c);
    EXPECT_GE(dept->viewport()->width(), deptColumns) << "Tax and Unit price in sight";
    EXPECT_FALSE(dept->horizontalScrollBar()->isVisible());
    EXPECT_LE(dept->viewport()->width(), deptColumns + 30) << "no more than the columns need";

    TEditGrid* plu = Grid();
    int pluColumns = 0;
    for (int c = 0; c < 8; ++c)
        pluColumns += plu->columnWidth(c);
    EXPECT_GE(pluColumns, plu->viewport()->width() - 2) << "the name takes the spare width";
    EXPECT_FALSE(plu->horizontalScrollBar()->isVisible());
}

} // namespace
