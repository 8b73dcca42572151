#include "CommDlg.h"
#include "ParaDlg.h"
#include "RecyForm.h"
#include "TempDir.h"
#include "WindowTexts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The language file reaches the settings windows through their component names.
TEST(SettingsWindows, LanguageFileReplacesTheirTexts) {
    TempProgramDir dir;
    const std::string lng = dir.Path("Q.LNG");
    WriteFileBytes(lng, "[CommDlg]\r\nCaption=Port\r\nBaudRG.Caption=Speed\r\n"
                        "OKBtn.Caption=Yes\r\n"
                        "[ParaDlg]\r\nCaption=Params\r\nFlag03.Caption=Force\r\n"
                        "HeaderGB.Caption=Head\r\nTaxFreeLbl.Caption=Free:\r\n"
                        "ClerkLbl2.Caption=Cashier2\r\n"
                        "[RecyForm]\r\nCaption=Packages\r\nCancelBtn.Caption=Back\r\n");
    TCommDlg comm;
    TParaDlg para;
    TRecyForm recy;
    LoadDisplayTexts(lng, {&comm, &para, &recy});

    EXPECT_EQ(comm.windowTitle(), "Port");
    EXPECT_EQ(comm.findChild<QGroupBox*>("BaudRG")->title(), "Speed");
    EXPECT_EQ(comm.findChild<QPushButton*>("OKBtn")->text(), "Yes");
    EXPECT_EQ(comm.findChild<QGroupBox*>("ParityRG")->title(), "&Parity");
    EXPECT_EQ(para.windowTitle(), "Params");
    EXPECT_EQ(para.findChild<QCheckBox*>("Flag03")->text(), "Force");
    EXPECT_EQ(para.findChild<QCheckBox*>("Flag04")->text(),
              "Don't erase counters of report KASOWY automatically");
    EXPECT_EQ(para.findChild<QGroupBox*>("HeaderGB")->title(), "Head");
    EXPECT_EQ(para.findChild<QLabel*>("TaxFreeLbl")->text(), "Free:");
    EXPECT_EQ(para.findChild<QLabel*>("ClerkLbl2")->text(), "Cashier2");
    EXPECT_EQ(recy.windowTitle(), "Packages");
    EXPECT_EQ(recy.findChild<QPushButton*>("CancelBtn")->text(), "Back");
}

} // namespace
