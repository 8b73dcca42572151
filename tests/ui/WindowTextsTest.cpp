#include "WindowTexts.h"
#include "Defs.h"
#include "TempDir.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct TablesBackup {
    decltype(PLUTitles) plu = PLUTitles;
    decltype(TransferWords) words = TransferWords;
    decltype(DownloadKindNames) kinds = DownloadKindNames;
    ~TablesBackup() {
        PLUTitles = plu;
        TransferWords = words;
        DownloadKindNames = kinds;
    }
};

TEST(DisplayTexts, TheLanguageFileReplacesTextsByComponentName) {
    TablesBackup backup;
    TempProgramDir dir;
    WriteFileBytes(dir.Path("x.LNG"),
                   "[TestDlg]\r\nCaption=Okno\r\nOKBtn.Caption=Dobrze\r\nOKBtn.Hint=Zamknij\r\n"
                   "Title.Caption=\r\nBox.Caption=Grupa\r\nEmpty.Caption=never\r\n"
                   "Empty.Hint=never\r\nItem.Caption=&Nowy\r\n"
                   "[PLU Titles]\r\n2=Nazwa\r\n[String]\r\nDownload=Wysy\xB3\x61nie:\r\n"
                   "[DownloadItem Tips]\r\n0=towary\r\n");
    QDialog window;
    window.setObjectName("TestDlg");
    window.setWindowTitle("Dialog");
    auto* ok = new QPushButton("OK", &window);
    ok->setObjectName("OKBtn");
    ok->setToolTip("Close");
    auto* title = new QLabel("Title", &window);
    title->setObjectName("Title");
    auto* box = new QGroupBox("Group", &window);
    box->setObjectName("Box");
    auto* empty = new QLabel(&window);
    empty->setObjectName("Empty");
    auto* item = new QAction("&New", &window);
    item->setObjectName("Item");
    QDialog untouched;
    untouched.setObjectName("OtherDlg");
    untouched.setWindowTitle("Other");

    LoadDisplayTexts(dir.Path("x.LNG"), {&window, &untouched});

    EXPECT_EQ(window.windowTitle(), "Okno");
    EXPECT_EQ(ok->text(), "Dobrze");
    EXPECT_EQ(ok->toolTip(), "Zamknij");
    EXPECT_EQ(title->text(), "") << "an empty value empties the text";
    EXPECT_EQ(box->title(), "Grupa");
    EXPECT_EQ(empty->text(), "") << "a text empty in the design is never looked up";
    EXPECT_EQ(empty->toolTip(), "");
    EXPECT_EQ(item->text(), "&Nowy");
    EXPECT_EQ(untouched.windowTitle(), "Other");
    EXPECT_EQ(PLUTitles[2], "Nazwa");
    EXPECT_EQ(PLUTitles[1], "Barcode");
    EXPECT_EQ(TransferWords[WordDownload], "Wysy\xB3\x61nie:");
    EXPECT_EQ(TransferWords[WordConnect], "Connect");
    EXPECT_EQ(DownloadKindNames[0], "towary");
}

TEST(DisplayTexts, AMissingOrMalformedFileLeavesTheBuiltInTexts) {
    TablesBackup backup;
    TempProgramDir dir;
    WriteFileBytes(dir.Path("bad.LNG"), std::string("\0\xFF[PLU Titles\n=\n[\n2\n", 20));
    QDialog window;
    window.setObjectName("TestDlg");
    window.setWindowTitle("Dialog");
    LoadDisplayTexts(dir.Path("missing.LNG"), {&window});
    LoadDisplayTexts(dir.Path("bad.LNG"), {&window});
    EXPECT_EQ(window.windowTitle(), "Dialog");
    EXPECT_EQ(PLUTitles[2], "Name");
}

} // namespace
