// The spreadsheet side of the main window as the user meets it: the Edit menu, blocks of cells
// through a real clipboard, the import dialog driven by its controls, export, and the
// whole-document check with its list.
#include "DocumentFile.h"
#include "ExportDlg.h"
#include "ImportColumnHeader.h"
#include "ImportDlg.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "ProblemList.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Runs act once the dialog is up (its modal loop is running).
void WhenShown(QWidget* dialog, std::function<void()> act) {
    auto* timer = new QTimer(dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, dialog, [=] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

// As a mouse does it: a click, then the second press that makes it a double click.
void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

template <typename T> T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class MainFormSheets : public ::testing::Test {
protected:
    void SetUp() override {
        SetDecimalSeparator('.');
        form = std::make_unique<TMainForm>();
        form->resize(1000, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Focus(form->PLUGrid());
    }
    void TearDown() override {
        form->SetModified(false);
        form.reset();
    }
    void Focus(TEditGrid* grid) {
        grid->setFocus();
        QApplication::processEvents();
    }
    QWidget* KeyTarget(TEditGrid* grid) {
        return grid->Editor() && grid->Editor()->hasFocus() ? static_cast<QWidget*>(grid->Editor())
                                                            : grid;
    }
    void Key(TEditGrid* grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(grid), key, mods);
    }
    void Browse(TEditGrid* grid, int row, int col) {
        grid->SetCurrentCell(row, col);
        ASSERT_TRUE(grid->ValidateActiveCell());
    }
    std::string Cell(int row, int col) { return form->PLUModel()->Cell(row, col); }
    QClipboard* Clipboard() { return QApplication::clipboard(); }

    TempProgramDir dir;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormSheets, TheEditMenuStandsBetweenFileAndCommunication) {
    QStringList menus;
    for (QAction* action : form->findChild<QMenuBar*>("MainMenu")->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Communication", "&Help"}));
    const std::pair<QAction*, const char*> items[] = {
        {form->CutItem, "Ctrl+X"},   {form->CopyItem, "Ctrl+C"},   {form->PasteItem, "Ctrl+V"},
        {form->CheckItem, "Ctrl+K"}, {form->ImportItem, "Ctrl+I"}, {form->ExportItem, "Ctrl+E"},
    };
    for (auto [action, keys] : items)
        EXPECT_EQ(action->shortcut().toString(), keys) << action->text().toStdString();
}

TEST_F(MainFormSheets, BlocksGoThroughTheClipboardAsSpreadsheetsTakeThem) {
    TGridModel* plu = form->PLUModel();
    plu->SetCell(1, 2, "Milk");
    plu->SetCell(1, 3, "2.50");
    plu->SetCell(2, 2, "Tea \"Earl\"");
    plu->SetCell(2, 3, "4.00");
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 1, 2);
    Key(grid, Qt::Key_Right, Qt::ShiftModifier);
    Key(grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->SelectedBlock(), (CellRect{1, 2, 2, 3}));
    Key(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard()->text(), "Milk\t2.50\n\"Tea \"\"Earl\"\"\"\t4.00\n");

    // Pasted under the originals the names repeat: nothing changes, the first problem is told.
    grid->SetCurrentCell(5, 2);
    {
        ModalAnswer ok(QMessageBox::Ok);
        Key(grid, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(ok.Text(), "Nothing was pasted: PLU 5, Name \"Milk\": PLU name repeat: No. 5 "
                             "and No. 1");
    }
    EXPECT_EQ(Cell(5, 2), "");
    EXPECT_FALSE(form->Modified());

    // Cut takes the originals away, so the same block now pastes.
    grid->SetCurrentCell(1, 2);
    grid->SelectBlock({1, 2, 2, 3});
    Key(grid, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 2), "");
    EXPECT_EQ(Cell(2, 3), "0.00");
    EXPECT_TRUE(form->Modified());
    grid->SetCurrentCell(5, 2);
    Key(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(5, 2), "Milk");
    EXPECT_EQ(Cell(6, 2), "Tea \"Earl\"");
    EXPECT_EQ(Cell(6, 3), "4.00");
    EXPECT_EQ(grid->SelectedBlock(), (CellRect{5, 2, 6, 3}));

    // A block made with the mouse; a price typed as 1.5 in a spreadsheet becomes 1.50 here.
    QWidget* cells = grid->viewport();
    const QPoint from = grid->visualRect(plu->CellIndex(8, 3)).center();
    const QPoint to = grid->visualRect(plu->CellIndex(9, 4)).center();
    QTest::mousePress(cells, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), cells->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(cells, &move);
    QTest::mouseRelease(cells, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(grid->SelectedBlock(), (CellRect{8, 3, 9, 4}));
    Clipboard()->setText("1.5\t3\r\n\t\r\n");
    form->PasteItem->trigger();
    EXPECT_EQ(Cell(8, 3), "1.50");
    EXPECT_EQ(Cell(8, 4), "3");
    EXPECT_EQ(Cell(9, 3), "0.00") << "an empty line empties its cells";

    // The department grid takes its own columns' checks.
    TEditGrid* depts = form->DeptmentGrid();
    Focus(depts);
    Browse(depts, 2, 1);
    Clipboard()->setText("Drinks\t5\t1.5\n");
    Key(depts, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->DeptModel()->Cell(2, 1), "Drinks");
    EXPECT_EQ(form->DeptModel()->Cell(2, 3), "1.50");
}

TEST_F(MainFormSheets, PastingWhileACellIsEditedNeverPutsATabIntoIt) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 7, 2);
    QTest::keyClicks(grid, "AB");
    ASSERT_NE(grid->Editor(), nullptr);
    Clipboard()->setText("C\r\n"); // one cell as Excel copies it
    Key(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->Editor()->text(), "ABC");
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(Cell(7, 2), "ABC");

    // A block while editing: the typed cell is finished, then the block lands on it.
    Browse(grid, 8, 2);
    QTest::keyClicks(grid, "X");
    Clipboard()->setText("Left\t3\n");
    Key(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(8, 2), "Left");
    EXPECT_EQ(Cell(8, 3), "3.00");
    EXPECT_EQ(grid->EditState(), TEditGrid::State::Browse);

    // Whatever reaches the editor itself (a middle click, a drop) cannot hold a tab either.
    Browse(grid, 9, 2);
    QTest::keyClicks(grid, "Y");
    grid->Editor()->insert("a\tb");
    EXPECT_EQ(grid->Editor()->text(), "Y");
}

TEST_F(MainFormSheets, TheImportDialogShowsWhatItFoundAndImportsAllOrNothing) {
    TGridModel* plu = form->PLUModel();
    plu->SetCell(1, 1, "5900000000001");
    plu->SetCell(1, 2, "Old");
    const std::string good = dir.Path("shop.csv");
    WriteFileBytes(good, "\xEF\xBB\xBF"
                         "EAN;Name;Price;Colour\r\n5900000000001;Milk;2,50;white\r\n"
                         "5900000000002;Bread;3,10;\r\n");
    form->chooseImportFile = [&] { return QString::fromStdString(good); };
    TImportDlg* dialog = form->ImportDlg;
    WhenShown(dialog, [&] {
        EXPECT_EQ(Child<QLabel>(dialog, "FoundLbl")->text(),
                  "Found: UTF-8 with BOM, semicolon between fields, decimal comma");
        auto* preview = Child<QTableWidget>(dialog, "PreviewGrid");
        EXPECT_EQ(preview->horizontalHeaderItem(0)->text(), "EAN");
        EXPECT_EQ(dialog->ColumnHeader()->Box(0)->currentText(), "Barcode");
        EXPECT_EQ(dialog->ColumnHeader()->Box(3)->currentText(), "(ignore)");
        EXPECT_EQ(preview->item(1, 2)->text(), "3,10");
        EXPECT_EQ(Child<QLabel>(dialog, "ColumnsLbl")->text(), "Ignored columns: Colour");
        // Read as commas, the header names nothing; back to semicolons, it does again.
        auto* separator = Child<QComboBox>(dialog, "SeparatorCB");
        separator->setCurrentIndex(separator->findData(int(',')));
        EXPECT_FALSE(Child<QCheckBox>(dialog, "HeaderChk")->isChecked());
        separator->setCurrentIndex(separator->findData(int(';')));
        EXPECT_TRUE(Child<QCheckBox>(dialog, "HeaderChk")->isChecked());
        auto* match = Child<QComboBox>(dialog, "MatchCB");
        EXPECT_TRUE(Child<QRadioButton>(dialog, "UpdateRB")->isChecked())
            << "never replace unasked";
        EXPECT_EQ(match->currentData(), int(MatchBy::Barcode)) << "the file has no PLU numbers";
        QTest::mouseClick(Child<QRadioButton>(dialog, "ReplaceRB"), Qt::LeftButton);
        EXPECT_FALSE(match->isEnabled()) << "replace mode places rows by number or order";
        QTest::mouseClick(Child<QRadioButton>(dialog, "UpdateRB"), Qt::LeftButton);
        ASSERT_TRUE(match->isEnabled());
        match->setCurrentIndex(match->findData(int(MatchBy::Barcode)));
        QTest::mouseClick(Child<QPushButton>(dialog, "ImportBtn"), Qt::LeftButton);
    });
    QTest::keyClick(form->PLUGrid(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Cell(1, 2), "Milk");
    EXPECT_EQ(Cell(1, 3), "2.50");
    EXPECT_EQ(Cell(2, 2), "Bread");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->Message(), "Imported shop.csv: 1 row added, 1 changed.");

    // A file with a problem: the list shows it, can be copied, and nothing changes.
    form->SetModified(false);
    const std::string bad = dir.Path("bad.csv");
    WriteFileBytes(bad, "EAN;Price\r\n5900000000001;abc\r\n");
    form->chooseImportFile = [&] { return QString::fromStdString(bad); };
    QString listed;
    WhenShown(dialog, [&] {
        TProblemList* list = dialog->Problems();
        WhenShown(list, [&] {
            listed = list->Summary();
            QTest::mouseClick(Child<QPushButton>(list, "CopyBtn"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(list, "CloseBtn"), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>(dialog, "ImportBtn"), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible()) << "the user may change the options and try again";
        QTest::mouseClick(Child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
    });
    form->ImportItem->trigger();
    EXPECT_EQ(listed, "Nothing was imported: 1 problem in the file.");
    EXPECT_EQ(Clipboard()->text(), "Line\tColumn\tValue\tReason\n2\tPrice\tabc\tnot a number\n");
    EXPECT_EQ(Cell(1, 3), "2.50");
    EXPECT_FALSE(form->Modified());
}

// A shop system's file whose header names nothing the program knows: the user says the first
// line is a header and picks each column's place with the keyboard; replace asks before it
// empties rows; the next file with that header comes up as chosen.
TEST_F(MainFormSheets, ImportColumnsAreChosenAboveThePreviewAndRemembered) {
    TGridModel* plu = form->PLUModel();
    for (int r = 1; r <= 4; ++r)
        plu->SetCell(r, 2, "Item " + std::to_string(r));
    const std::string path = dir.Path("artikel.csv");
    WriteFileBytes(path, "Artikel;Text;VK;Farbe\r\n111;Milch;2,50;weiss\r\n222;Brot;3,10;\r\n");
    form->chooseImportFile = [&] { return QString::fromStdString(path); };
    TImportDlg* dialog = form->ImportDlg;
    TImportColumnHeader* header = dialog->ColumnHeader();
    // Alt+O reaches the first box, Tab the next ones, the arrows pick an item.
    auto key = [](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    };
    auto choose = [&](int fc, int downs) {
        key(Qt::Key_O, Qt::AltModifier);
        for (int i = 0; i < fc; ++i)
            key(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), header->Box(fc));
        for (int i = 0; i < downs; ++i)
            key(Qt::Key_Down);
    };
    auto boxes = [&] {
        QStringList texts;
        for (int fc = 0; fc < header->Boxes(); ++fc)
            texts << header->Box(fc)->currentText();
        return texts.join(", ");
    };
    QStringList asked;
    WhenShown(dialog, [&] {
        QApplication::setActiveWindow(dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* problem = Child<QLabel>(dialog, "ReadProblemLbl");
        EXPECT_EQ(boxes(), "Barcode, Name, Unit price, Department") << "by position";
        QTest::mouseClick(Child<QCheckBox>(dialog, "HeaderChk"), Qt::LeftButton);
        EXPECT_EQ(boxes(), "(ignore), (ignore), (ignore), (ignore)");
        EXPECT_EQ(problem->text(), "line 1: no column of the PLU table");
        choose(0, 2);
        choose(1, 2);
        EXPECT_EQ(problem->text(), "line 1: Artikel and Text both feed Barcode")
            << "the keys pass through Barcode on their way";
        choose(1, 1);
        choose(2, 4);
        EXPECT_EQ(boxes(), "Barcode, Name, Unit price, (ignore)");
        EXPECT_FALSE(problem->isVisible());
        EXPECT_EQ(Child<QLabel>(dialog, "ColumnsLbl")->text(), "Ignored columns: Farbe");
        EXPECT_EQ(Child<QTableWidget>(dialog, "PreviewGrid")->horizontalHeaderItem(3)->text(),
                  "Farbe");
        QTest::mouseClick(Child<QRadioButton>(dialog, "ReplaceRB"), Qt::LeftButton);
        {
            ModalAnswer no(QMessageBox::No);
            QTest::mouseClick(Child<QPushButton>(dialog, "ImportBtn"), Qt::LeftButton);
            asked << no.Texts();
        }
        EXPECT_TRUE(dialog->isVisible()) << "No keeps the dialog for another choice";
        ModalAnswer yes(QMessageBox::Yes);
        QTest::mouseClick(Child<QPushButton>(dialog, "ImportBtn"), Qt::LeftButton);
        asked << yes.Texts();
    });
    form->ImportItem->trigger();
    EXPECT_EQ(asked,
              QStringList({"Replace the PLU table? 2 rows are set and 2 rows are emptied.",
                           "Replace the PLU table? 2 rows are set and 2 rows are emptied."}));
    EXPECT_EQ(Cell(1, 1), "111");
    EXPECT_EQ(Cell(2, 2), "Brot");
    EXPECT_EQ(Cell(2, 3), "3.10");
    EXPECT_EQ(Cell(3, 2), "");
    EXPECT_EQ(form->Message(), "Imported artikel.csv: 0 rows added, 2 changed, 2 emptied.");

    WriteFileBytes(path, "ARTIKEL;Text;VK;Farbe\r\n333;K\xC3\xA4se;5,00;gelb\r\n");
    WhenShown(dialog, [&] {
        EXPECT_TRUE(Child<QCheckBox>(dialog, "HeaderChk")->isChecked());
        EXPECT_EQ(boxes(), "Barcode, Name, Unit price, (ignore)");
        EXPECT_TRUE(Child<QLabel>(dialog, "ColumnsLbl")
                        ->text()
                        .endsWith("chosen before for files "
                                  "with this header."));
        QTest::mouseClick(Child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
    });
    form->ImportItem->trigger();
    EXPECT_EQ(Cell(1, 1), "111");
}

TEST_F(MainFormSheets, ExportWritesTheChosenDialectAndTellsFileErrors) {
    form->PLUModel()->SetCell(3, 2, "Milk");
    form->PLUModel()->SetCell(3, 3, "2.50");
    QString asked;
    std::string path = dir.Path("list.tsv");
    form->chooseExportFile = [&](const QString& suffix) {
        asked = suffix;
        return QString::fromStdString(path);
    };
    auto chooseTsv = [&] {
        WhenShown(form->ExportDlg, [&] {
            auto* dialect = Child<QComboBox>(form->ExportDlg, "DialectCB");
            dialect->setCurrentIndex(dialect->findData("tsv"));
            QTest::mouseClick(Child<QPushButton>(form->ExportDlg, "OKBtn"), Qt::LeftButton);
        });
    };
    chooseTsv();
    QTest::keyClick(form->PLUGrid(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(asked, "tsv");
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBFNO.\tBarcode\tName\t", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("\n3\t\tMilk\t2.50\t1\t0.000\t0\t0\t0\n"), std::string::npos) << bytes;
    EXPECT_EQ(form->Message(), "Exported 1 row to list.tsv.");

    path = dir.Path("no/such/list.tsv");
    chooseTsv();
    ModalAnswer ok(QMessageBox::Ok);
    form->ExportItem->trigger();
    EXPECT_EQ(ok.Text(), "File not found");
}

TEST_F(MainFormSheets, TheCheckListsEveryProblemAndLeadsToItsCell) {
    TGridModel* plu = form->PLUModel();
    plu->SetCell(4, 2, "Milk");
    plu->SetCell(4, 4, "9");
    plu->SetCell(6, 2, "Milk");
    form->DeptModel()->SetCell(2, 2, "x");
    QTest::keyClick(form->PLUGrid(), Qt::Key_K, Qt::ControlModifier);
    TProblemList* list = form->CheckList;
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->Text().toStdString(),
              "Table\tRow\tColumn\tValue\tReason\n"
              "PLU\t4\tName\tMilk\tPLU name repeat: No. 4 and No. 6\n"
              "PLU\t4\tDepartment\t9\tnot a whole number from 1 to 8\n"
              "PLU\t6\tName\tMilk\tPLU name repeat: No. 6 and No. 4\n"
              "department\t2\tTax\tx\tnot a whole number from 1 to 9\n");

    QTableView* table = list->Table();
    const QPoint line = table->visualRect(table->model()->index(1, 0)).center();
    DoubleClick(table->viewport(), line);
    EXPECT_EQ(form->PLUGrid()->CurrentRow(), 4);
    EXPECT_EQ(form->PLUGrid()->CurrentCol(), 4);
    EXPECT_TRUE(form->PLUGrid()->hasFocus());
    // The cell must be put right before the user may leave it, as anywhere in the grid.
    plu->SetCell(4, 4, "8");
    const QPoint dept = table->visualRect(table->model()->index(3, 0)).center();
    DoubleClick(table->viewport(), dept);
    EXPECT_EQ(form->DeptmentGrid()->CurrentRow(), 2);
    EXPECT_EQ(form->DeptmentGrid()->CurrentCol(), 2);

    plu->SetCell(6, 2, "Tea");
    form->DeptModel()->SetCell(2, 2, "2");
    QTest::mouseClick(Child<QPushButton>(list, "CheckBtn"), Qt::LeftButton);
    EXPECT_EQ(list->Lines(), 0);
    EXPECT_EQ(list->Summary(), "No problems: every cell passes its check.");
}

} // namespace
