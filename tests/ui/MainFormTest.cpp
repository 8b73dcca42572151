#include "MainForm.h"
#include "AboutBox.h"
#include "DataDlg.h"
#include "DocumentFile.h"
#include "FailingSaveCalls.h"
#include "ModalAnswer.h"
#include "Settings.h"
#include "TempDir.h"

#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class MainFormTest : public ::testing::Test {
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
        SetDecimalSeparator('.');
    }
    void Focus(TEditGrid* grid) {
        grid->setFocus();
        QApplication::processEvents();
    }
    // The widget that takes keys typed into the grid right now.
    QWidget* KeyTarget(TEditGrid* grid) {
        return grid->Editor() && grid->Editor()->hasFocus() ? static_cast<QWidget*>(grid->Editor())
                                                            : grid;
    }
    void Type(TEditGrid* grid, const QString& text) {
        for (QChar c : text)
            QTest::keyClick(KeyTarget(grid), c.toLatin1());
    }
    void Key(TEditGrid* grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(grid), key, mods);
    }
    // Puts the grid in browse state on the cell.
    void Browse(TEditGrid* grid, int row, int col) {
        grid->SetCurrentCell(row, col);
        ASSERT_TRUE(grid->ValidateActiveCell());
        ASSERT_EQ(grid->EditState(), TEditGrid::State::Browse);
    }
    std::string Cell(int row, int col) { return form->PLUModel()->Cell(row, col); }

    TempProgramDir dir;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, TypingOverACellInBrowseStateReplacesItsText) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 1, 3);
    EXPECT_FALSE(form->Modified());
    Type(grid, "abc");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(Cell(1, 3), "");
    ASSERT_NE(grid->Editor(), nullptr);
    EXPECT_EQ(grid->Editor()->text(), "") << "letters are refused in a price";
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(Cell(1, 3), "0.00");
    EXPECT_EQ(grid->CurrentCol(), 4) << "Enter moves one column right";

    Browse(grid, 2, 3);
    Type(grid, "12.5.0");
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(Cell(2, 3), "12.50") << "a second separator is refused while typing";
}

TEST_F(MainFormTest, TheFirstKeyBeforeAnyCheckOpensTheEditorWithoutEmptying) {
    TEditGrid* grid = form->PLUGrid();
    ASSERT_EQ(grid->EditState(), TEditGrid::State::Initial);
    grid->SetCurrentCell(1, 2);
    Type(grid, "X");
    EXPECT_FALSE(form->Modified());
    ASSERT_NE(grid->Editor(), nullptr);
    EXPECT_EQ(grid->Editor()->text(), "X");
}

TEST_F(MainFormTest, KeyFilterHonoursTheMaximumLengthAndColumnKeys) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 1, 4);
    Type(grid, "34"); // Department: one digit at most
    EXPECT_EQ(grid->Editor()->text(), "3");
    Key(grid, Qt::Key_Return);
    Browse(grid, 1, 1);
    Type(grid, "12x-34");
    EXPECT_EQ(grid->Editor()->text(), "1234");
    Key(grid, Qt::Key_Return);
    Browse(grid, 1, 2);
    Type(grid, "Name with 18 chars!!");
    EXPECT_EQ(grid->Editor()->text(), "Name with 18 chars");
}

TEST_F(MainFormTest, AnInvalidCellKeepsTheUserInIt) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 5, 4);
    Type(grid, "9");
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(grid->CurrentRow(), 5);
    EXPECT_EQ(grid->CurrentCol(), 4);
    EXPECT_EQ(grid->EditState(), TEditGrid::State::Edit);
    Key(grid, Qt::Key_Down);
    EXPECT_EQ(grid->CurrentRow(), 5) << "Down is discarded while the cell is invalid";
    grid->setCurrentIndex(form->PLUModel()->CellIndex(9, 1));
    EXPECT_EQ(grid->CurrentRow(), 5) << "the selection cannot leave";
    form->chooseSaveFile = [] {
        ADD_FAILURE() << "Save must stop before asking for a name";
        return QString();
    };
    form->SaveItemClick();

    Key(grid, Qt::Key_Backspace);
    Type(grid, "8");
    Key(grid, Qt::Key_Down);
    EXPECT_EQ(grid->CurrentRow(), 6);
    EXPECT_EQ(Cell(5, 4), "8");
}

TEST_F(MainFormTest, UpAndDownStopAtTheEdges) {
    TEditGrid* grid = form->DeptmentGrid();
    Focus(grid);
    grid->SetCurrentCell(1, 2);
    Key(grid, Qt::Key_F2);
    Key(grid, Qt::Key_Up);
    EXPECT_EQ(grid->CurrentRow(), 1);
    grid->SetCurrentCell(8, 3);
    Key(grid, Qt::Key_F2);
    Key(grid, Qt::Key_Down);
    EXPECT_EQ(grid->CurrentRow(), 8);
    Key(grid, Qt::Key_F2);
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(grid->CurrentRow(), 8) << "Enter in the last cell stays";
    EXPECT_EQ(grid->CurrentCol(), 3);
    grid->SetCurrentCell(2, 3);
    Key(grid, Qt::Key_F2);
    Key(grid, Qt::Key_Return);
    EXPECT_EQ(grid->CurrentRow(), 3) << "from the last column to column 1 of the next row";
    EXPECT_EQ(grid->CurrentCol(), 1);
}

TEST_F(MainFormTest, DuplicatesShowTheirRepeatMessages) {
    struct Case {
        bool plu;
        int row, col;
        const char* typed;
        const char* message;
    } cases[] = {
        {true, 4, 2, "Milk", "PLU name repeat: No. 4 and No. 2"},
        {true, 4, 2, "Food", "PLU name and Dept name repeat: No. 4 and No. 3"},
        {true, 4, 1, "555", "PLU BCode repeat: No. 4 and No. 2"},
        {false, 5, 1, "Food", "Dept name repeat: No. 5 and No. 3"},
        {false, 5, 1, "Milk", "Dept name and PLU name repeat: No. 5 and No. 2"},
    };
    for (const Case& c : cases) {
        form->PLUModel()->SetCell(2, 2, "Milk");
        form->PLUModel()->SetCell(2, 1, "555");
        form->DeptModel()->SetCell(3, 1, "Food");
        TEditGrid* grid = c.plu ? form->PLUGrid() : form->DeptmentGrid();
        Focus(grid);
        Browse(grid, c.row, c.col);
        Type(grid, c.typed);
        ModalAnswer answer(QMessageBox::Ok);
        Key(grid, Qt::Key_Return);
        EXPECT_EQ(answer.Text().toStdString(), c.message);
        EXPECT_EQ(grid->EditState(), TEditGrid::State::Edit);
        EXPECT_EQ(grid->CurrentRow(), c.row);
        // Emptying the cell always validates.
        grid->Editor()->clear();
        Key(grid, Qt::Key_Return);
        EXPECT_EQ(grid->EditState(), TEditGrid::State::Browse) << c.message;
    }
}

TEST_F(MainFormTest, DeleteResetsTheSelectionWithoutMarkingTheDocument) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 1, 1);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            form->PLUModel()->SetCell(r, c, "7");
    grid->selectionModel()->select(
        QItemSelection(form->PLUModel()->CellIndex(1, 1), form->PLUModel()->CellIndex(2, 3)),
        QItemSelectionModel::ClearAndSelect);
    Key(grid, Qt::Key_Delete);
    EXPECT_EQ(Cell(1, 1), "");
    EXPECT_EQ(Cell(2, 3), "0.00");
    EXPECT_EQ(Cell(3, 1), "7");
    EXPECT_FALSE(form->Modified());
}

TEST_F(MainFormTest, HiddenKeyFillsTestDataWithoutMarkingTheDocument) {
    QTest::keyClick(form->PLUGrid(), Qt::Key_F3, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Cell(30000, 2), "PLU-30000");
    EXPECT_EQ(form->DeptModel()->Cell(1, 1), "Deptment-1");
    EXPECT_EQ(form->Recy()[0].price, "9.00");
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->PLUModel()->data(form->PLUModel()->CellIndex(12, 2), Qt::DisplayRole),
              "PLU-12");
}

// X turns Ctrl+Alt+F3..F8 into its console switch keys (XF86Switch_VT_3...); where no console
// switch happens they reach the window as those symbols and work as the function keys do, with
// or without Shift.
TEST_F(MainFormTest, ServiceKeysTakeTheConsoleSwitchSymbolsOfTheirFunctionKeys) {
    int para = 0, dump = 0, program = 0;
    form->paraExecute = [&] { return ++para, false; };
    form->chooseProgramFile = [&] { return ++program, QString(); };
    QTimer closeDump;
    QObject::connect(&closeDump, &QTimer::timeout, [&] {
        if (form->DataDlg->isVisible()) {
            ++dump;
            form->DataDlg->reject();
        }
    });
    closeDump.start(5);
    const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    struct Case {
        int key;
        quint32 symbol;
        Qt::KeyboardModifiers mods;
        const char* ran; // test data, parameters, dump, program
    } cases[] = {
        {Qt::Key_F3, 0, ctrlAlt, "1000"},
        {Qt::Key_F3, 0, ctrlAlt | Qt::ShiftModifier, "1000"},
        {0, 0x1008FE03, ctrlAlt, "1000"},
        {0, 0x1008FE04, ctrlAlt, "0100"},
        {0, 0x1008FE06, ctrlAlt, "0010"},
        {0, 0x1008FE08, ctrlAlt, "0001"},
        {0, 0x1008FE05, ctrlAlt, "0000"}, // F5 has no service command
        {0, 0x1008FE03, Qt::ControlModifier, "0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::number(c.symbol, 16).toStdString());
        form->NewDocument();
        para = dump = program = 0;
        QApplication::setActiveWindow(form.get()); // back from the dialog of the case before
        Focus(form->PLUGrid());
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods, 0, c.symbol, 0);
        QApplication::sendEvent(form->PLUGrid(), &press);
        QTest::qWait(20);
        const std::string ran = std::string(Cell(30000, 2) == "PLU-30000" ? "1" : "0") +
                                (para ? "1" : "0") + (dump ? "1" : "0") + (program ? "1" : "0");
        EXPECT_EQ(ran, c.ran);
    }
}

TEST_F(MainFormTest, ALargerFontWidensTheColumnsToTheirTitles) {
    const int before = form->PLUGrid()->columnWidth(3);
    QFont big = form->PLUGrid()->font();
    big.setPixelSize(30);
    form->SetGridFont(big);
    const QFontMetrics metrics(big);
    for (int c = 1; c <= 8; ++c)
        EXPECT_GE(form->PLUGrid()->columnWidth(c - 1),
                  metrics.horizontalAdvance(QString::fromStdString(PLUTitles[size_t(c)])) + 4);
    EXPECT_GT(form->PLUGrid()->columnWidth(3), before);
    EXPECT_EQ(form->PLUGrid()->verticalHeader()->defaultSectionSize(),
              metrics.height() + metrics.leading() + 4);
}

TEST_F(MainFormTest, DraggingARowNumberMovesTheContent) {
    form->PLUModel()->SetCell(1, 2, "first");
    form->PLUModel()->SetCell(4, 2, "fourth");
    QHeaderView* header = form->PLUGrid()->verticalHeader();
    // The user's gesture: press on row number 1, drag it below row 4, let go.
    QWidget* numbers = header->viewport();
    const QPoint from(header->width() / 2, header->sectionViewportPosition(0) + 3);
    const QPoint to(from.x(), header->sectionViewportPosition(3) + header->sectionSize(3) - 2);
    QTest::mousePress(numbers, Qt::LeftButton, Qt::NoModifier, from);
    for (int y = from.y(); y <= to.y(); y += 4) {
        QMouseEvent move(QEvent::MouseMove, QPointF(from.x(), y),
                         numbers->mapToGlobal(QPointF(from.x(), y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(numbers, &move);
    }
    QTest::mouseRelease(numbers, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(Cell(4, 2), "first");
    EXPECT_EQ(Cell(3, 2), "fourth");
    EXPECT_EQ(header->logicalIndex(0), 0) << "the numbers stay with the positions";
    EXPECT_EQ(header->logicalIndex(3), 3);
}

TEST_F(MainFormTest, SaveAndOpenRoundTripAndSetTheCaption) {
    SetDecimalSeparator(',');
    form->PLUModel()->SetCell(3, 2, "Mleko \xB3\xB9");
    form->PLUModel()->SetCell(3, 3, "2,50");
    form->DeptModel()->SetCell(1, 1, "Nabia\xB3");
    form->Recy()[5].price = "1,25";
    form->SetModified(true);
    const std::string path = dir.Path("shop.PLU");
    form->chooseSaveFile = [&] { return QString::fromStdString(path); };
    form->SaveAsItemClick();
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->windowTitle().toStdString(), "Quorve PLU manager~[" + path + "]");
    EXPECT_EQ(ReadFileBytes(dir.Path("shop.DEP")), "Nabia\xB3\t1\t0.00\r\n");

    form->NewItemClick();
    EXPECT_EQ(Cell(3, 2), "");
    EXPECT_EQ(form->Recy()[5].price, "0,00");
    EXPECT_EQ(form->windowTitle(), "Quorve PLU manager");

    form->chooseOpenFile = [&] { return QString::fromStdString(path); };
    form->OpenItemClick();
    EXPECT_EQ(Cell(3, 2), "Mleko \xB3\xB9");
    EXPECT_EQ(Cell(3, 3), "2,50");
    EXPECT_EQ(form->Recy()[5].price, "1,25");
    EXPECT_EQ(form->FileName(), path);
}

TEST_F(MainFormTest, AFailedOpenReportsItsTextAndKeepsTheFlag) {
    WriteFileBytes(dir.Path("x.PLU"), "a\r\n");
    mkdir(dir.Path("x.DEP").c_str(), 0755); // a directory cannot be read as a file
    form->chooseOpenFile = [&] { return QString::fromStdString(dir.Path("x.PLU")); };
    ModalAnswer answer(QMessageBox::Ok);
    form->OpenItemClick();
    EXPECT_EQ(answer.Text().toStdString(), "File access denied");
    EXPECT_EQ(form->FileName(), dir.Path("x.PLU"));
    EXPECT_EQ(form->windowTitle(), "Quorve PLU manager");
}

// A save that fails after its first rename leaves the old files and names the one that failed.
TEST_F(MainFormTest, AFailedSaveNamesTheFileThatFailed) {
    const std::string path = dir.Path("shop.PLU");
    form->chooseSaveFile = [&] { return QString::fromStdString(path); };
    ASSERT_TRUE(form->SaveAsItemClick());
    const std::string before = ReadFileBytes(path);
    Browse(form->PLUGrid(), 1, 2);
    Type(form->PLUGrid(), "MILK");
    Key(form->PLUGrid(), Qt::Key_Return);
    ASSERT_TRUE(form->Modified());
    ModalAnswer answer(QMessageBox::Ok);
    {
        FailingSaveCalls failing({{SaveCall::Rename, 2, EPERM}});
        EXPECT_FALSE(form->SaveItemClick());
    }
    EXPECT_EQ(answer.Text().toStdString(), "File access denied");
    EXPECT_EQ(answer.InformativeText().toStdString(),
              dir.Path("shop.DEP") + ": " + std::strerror(EPERM));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(ReadFileBytes(path), before);
}

// A FIFO among the document's files would hold the open until something writes to it.
TEST_F(MainFormTest, AFifoAmongTheFilesIsRefusedWithoutWaiting) {
    for (const char* fifo : {"f.PLU", "f.RCY"}) {
        SCOPED_TRACE(fifo);
        WriteFileBytes(dir.Path("f.PLU"), "a\r\n");
        ::unlink(dir.Path(fifo).c_str());
        ASSERT_EQ(0, ::mkfifo(dir.Path(fifo).c_str(), 0644));
        form->chooseOpenFile = [&] { return QString::fromStdString(dir.Path("f.PLU")); };
        ModalAnswer answer(QMessageBox::Ok);
        form->OpenItemClick();
        EXPECT_EQ(answer.Text().toStdString(), "Invalid filename");
        ::unlink(dir.Path(fifo).c_str());
    }
}

TEST_F(MainFormTest, UnsavedWorkIsAskedAboutBeforeItIsLost) {
    form->PLUModel()->SetCell(1, 2, "typed");
    form->SetModified(true);
    {
        ModalAnswer cancel(QMessageBox::Cancel);
        form->close();
        EXPECT_EQ(cancel.Text(), "File has not been saved,save it now?");
        EXPECT_TRUE(form->isVisible()) << "Cancel keeps the program open";
    }
    {
        ModalAnswer cancel(QMessageBox::Cancel);
        form->NewItemClick();
        EXPECT_EQ(Cell(1, 2), "typed");
    }
    {
        // Yes, then the save dialog cancelled: nothing was kept, so New stops.
        form->chooseSaveFile = [] { return QString(); };
        ModalAnswer yes(QMessageBox::Yes);
        form->NewItemClick();
        EXPECT_EQ(Cell(1, 2), "typed");
        EXPECT_TRUE(form->Modified());
    }
    {
        // Yes, and a save that fails: the error is shown and New stops too.
        form->chooseSaveFile = [&] { return QString::fromStdString(dir.Path("no/such/x.PLU")); };
        ModalAnswer answers(QMessageBox::Yes);
        ModalAnswer ok(QMessageBox::Ok);
        form->NewItemClick();
        EXPECT_EQ(ok.Text(), "File not found");
        EXPECT_EQ(Cell(1, 2), "typed");
    }
    {
        // Yes, and the save goes through (to the name the failed Save as already took): New
        // goes on with the work on disk.
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.Path("no/such"))));
        ModalAnswer yes(QMessageBox::Yes);
        form->NewItemClick();
        EXPECT_EQ(Cell(1, 2), "");
        EXPECT_NE(ReadFileBytes(dir.Path("no/such/x.PLU")).find("typed"), std::string::npos);
    }
    form->PLUModel()->SetCell(1, 2, "typed again");
    form->SetModified(true);
    {
        ModalAnswer no(QMessageBox::No);
        form->close();
        EXPECT_FALSE(form->isVisible());
    }
}

TEST_F(MainFormTest, LeavingAnInvalidCellForAnotherControlBringsTheFocusBack) {
    TEditGrid* grid = form->PLUGrid();
    Browse(grid, 3, 6);
    Type(grid, "555"); // Flag: 0 to 100
    form->DeptmentGrid()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(grid->isAncestorOf(QApplication::focusWidget()) || grid->hasFocus());
    EXPECT_EQ(grid->EditState(), TEditGrid::State::Edit);
    EXPECT_EQ(Cell(3, 6), "555");
}

TEST(MainFormAbout, TheOwnerLineIsTheCompanyText) {
    TempProgramDir dir;
    WriteFileBytes(SystemCfgPath(), "[Version]\r\nCompanyName=Sklep \xA3\xF3\x64\x9F\r\n");
    ReadStartSettings();
    TMainForm form;
    auto* about = form.findChild<QDialog*>("AboutBox");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About...");
    EXPECT_EQ(about->findChild<QLabel*>("Comments")->text(), QString::fromUtf8("Sklep Łódź"));
    CompanyText.clear();
}

TEST(MainFormAbout, TheReleaseAndTheFoldersInUseStandBesideTheFixedTexts) {
    TempProgramDir dir;
    SettingsDir = QDir::homePath().toStdString() + "/.config/quorve-plu/";
    StateDir = "/var/lib/elsewhere/";
    TMainForm form;
    auto* about = form.AboutBox();
    EXPECT_EQ(about->Version->text(), "Version 3.81");
    EXPECT_EQ(about->Build->text(), "Build 20050531");
    EXPECT_TRUE(about->Release->isHidden()) << "no empty line without a release";
    about->ShowRelease("3.81 (git 1c07b99)");
    EXPECT_EQ(about->Release->text(), "Release 3.81 (git 1c07b99)");
    EXPECT_FALSE(about->Release->isHidden());
    EXPECT_TRUE(about->Licence->text().contains("(GPL-3.0-or-later)"));
    EXPECT_EQ(about->SettingsPlace->text(), "~/.config/quorve-plu/");
    EXPECT_EQ(about->StatePlace->text(), "/var/lib/elsewhere/");
}

TEST(MainFormHelp, ContentsOpensTheGuideOrSaysWhyNot) {
    TempProgramDir dir;
    WriteFileBytes(dir.Path("index.html"), "<html></html>");
    struct Case {
        std::string guide;
        bool browserStarts;
        const char* box; // empty: no message
    } cases[] = {
        {dir.Path("index.html"), true, ""},
        {dir.Path("missing.html"), true, "The user guide was not found:\n"},
        {"", true, "The user guide was not found."},
        {dir.Path("index.html"), false, "No web browser could be started to show the user guide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.guide);
        TMainForm form;
        form.guideFile = c.guide;
        std::vector<std::string> opened;
        form.openGuide = [&](const std::string& path) {
            opened.push_back(path);
            return c.browserStarts;
        };
        ModalAnswer answer(QMessageBox::Ok);
        form.ContentsItem->trigger();
        QApplication::processEvents();
        if (*c.box == 0) {
            EXPECT_EQ(answer.Count(), 0);
            EXPECT_EQ(opened, std::vector<std::string>{c.guide});
        } else {
            ASSERT_EQ(answer.Count(), 1);
            EXPECT_TRUE(answer.Text().startsWith(c.box)) << answer.Text().toStdString();
        }
    }
}

TEST(MainFormTexts, TheLanguageFileReplacesTitlesCaptionsAndStepWords) {
    TempProgramDir dir;
    const auto titles = PLUTitles;
    const auto words = TransferWords;
    WriteFileBytes(dir.Path("pl.LNG"), "[MainForm]\r\nNewItem.Caption=\r\nNewBtn.Hint=Nowy\r\n"
                                       "PLULBL.Caption=Towary\r\nPLUGrid.Hint=ignored\r\n"
                                       "[PLU Titles]\r\n2=Nazwa towaru w kasie\r\n"
                                       "[String]\r\nDownload=Wysylanie:\r\n");
    TMainForm form;
    form.languageFile = dir.Path("pl.LNG");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.NewItem->text(), "");
    EXPECT_EQ(form.findChild<QWidget*>("NewBtn")->toolTip(), "Nowy");
    EXPECT_EQ(form.findChild<QLabel*>("PLULBL")->text(), "Towary");
    EXPECT_EQ(form.PLUGrid()->toolTip(), "") << "an empty built-in hint is never replaced";
    EXPECT_EQ(TransferWords[WordDownload], "Wysylanie:");
    const QString title =
        form.PLUModel()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(title, "Nazwa towaru w kasie");
    EXPECT_GE(form.PLUGrid()->columnWidth(1),
              QFontMetrics(form.PLUGrid()->font()).horizontalAdvance(title) + 4);
    PLUTitles = titles;
    TransferWords = words;
}

} // namespace
