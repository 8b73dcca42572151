#include "CommDlg.h"
#include "DocumentFile.h"
#include "Settings.h"
#include "TempDir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Runs ShowCommSettings with `user` acting on the open dialog.
bool RunDialog(TCommDlg& dlg, const std::function<void()>& user) {
    QTimer::singleShot(0, &dlg, user);
    return dlg.ShowCommSettings();
}

void Click(TCommDlg& dlg, const char* button) {
    dlg.findChild<QPushButton*>(QLatin1String(button))->click();
}

TEST(CommDlg, OpensWithTheFileValuesAndStoresBothKeysOnOk) {
    TempProgramDir dir;
    TCommDlg dlg;
    // No file: COM2 at 9600. Cancel creates nothing.
    bool shown = false;
    EXPECT_FALSE(RunDialog(dlg, [&] {
        shown = dlg.isVisible();
        EXPECT_EQ(dlg.BaudItemIndex(), 0);
        EXPECT_EQ(dlg.PortItemIndex(), 2);
        Click(dlg, "CancelBtn");
    }));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(std::filesystem::exists(SystemCfgPath()));

    // OK with nothing changed still writes both keys.
    EXPECT_TRUE(RunDialog(dlg, [&] { Click(dlg, "OKBtn"); }));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), "[Comm]\r\nPort=2\r\nBaudRate=0\r\n");

    // A change by hand in the file shows at the next opening and stays in effect after Cancel.
    WriteFileBytes(SystemCfgPath(), "; mine\n[Comm]\nBaudRate=3\nPort=4\n[Default]\nVAT1=05.00\n");
    EXPECT_FALSE(RunDialog(dlg, [&] {
        EXPECT_EQ(dlg.BaudItemIndex(), 3);
        EXPECT_EQ(dlg.PortItemIndex(), 4);
        dlg.SetBaudItemIndex(1);
        Click(dlg, "CancelBtn");
    }));
    EXPECT_EQ(PortNumber, 4);
    EXPECT_EQ(BaudIndex, 3);

    // "None" stores port 0; the rest of the file is untouched.
    EXPECT_TRUE(RunDialog(dlg, [&] {
        auto* rate115200 = dlg.findChild<QGroupBox*>("BaudRG")->findChildren<QRadioButton*>()[4];
        QTest::mouseClick(rate115200, Qt::LeftButton);
        dlg.findChild<QComboBox*>("PortCB")->setCurrentIndex(0);
        Click(dlg, "OKBtn");
    }));
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(BaudIndex, 4);
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()),
              "; mine\n[Comm]\nBaudRate=4\nPort=0\n[Default]\nVAT1=05.00\n");
}

TEST(CommDlg, LineSettingsAreShownFixed) {
    TCommDlg dlg;
    EXPECT_EQ(dlg.objectName(), "CommDlg");
    EXPECT_EQ(dlg.windowTitle(), "Communication setting");
    for (const char* name : {"ParityRG", "StopBitsRG"}) {
        auto* group = dlg.findChild<QGroupBox*>(name);
        ASSERT_NE(group, nullptr) << name;
        EXPECT_FALSE(group->isEnabled()) << name;
        const auto items = group->findChildren<QRadioButton*>();
        ASSERT_FALSE(items.isEmpty());
        EXPECT_TRUE(items[0]->isChecked()) << name;
    }
    EXPECT_EQ(dlg.findChild<QGroupBox*>("BaudRG")->title(), "&Baud rate");
    EXPECT_TRUE(dlg.findChild<QGroupBox*>("BaudRG")->isEnabled());
    auto* ports = dlg.findChild<QComboBox*>("PortCB");
    EXPECT_FALSE(ports->isEditable());
    QStringList items;
    for (int i = 0; i < ports->count(); ++i)
        items << ports->itemText(i);
    EXPECT_EQ(items, QStringList({"None", "COM1", "COM2", "COM3", "COM4"}));
}

TEST(CommDlg, ShowsTheDeviceAPortNameOpens) {
    TempProgramDir dir;
    WriteFileBytes(SystemCfgPath(), "[Ports]\nCOM3=" + dir.Path("tty-adapter") + "\n");
    WriteFileBytes(dir.Path("tty-adapter"), "");
    TCommDlg dlg;
    struct Case {
        int port;
        QString device;
    };
    const Case cases[] = {
        {0, ""},
        {1, "/dev/ttyS0"},
        {3, QString::fromStdString(dir.Path("tty-adapter"))},
    };
    for (const Case& c : cases) {
        dlg.SetPortItemIndex(c.port);
        if (c.device.isEmpty()) {
            EXPECT_TRUE(dlg.PortDeviceText().isEmpty()) << c.port;
        } else {
            EXPECT_TRUE(dlg.PortDeviceText().startsWith(c.device)) << c.port;
        }
    }
    EXPECT_EQ(dlg.PortDeviceText(), QString::fromStdString(dir.Path("tty-adapter")))
        << "an existing device is shown without a remark";
}

TEST(CommDlg, AFailedWriteIsToldAndKeepsTheDialogOpen) {
    TempProgramDir dir;
    std::filesystem::create_directory(SystemCfgPath());
    TCommDlg dlg;
    std::vector<int> told;
    dlg.ReportWriteFailure = [&](int error) { told.push_back(error); };
    PortNumber = 2;
    EXPECT_FALSE(RunDialog(dlg, [&] {
        dlg.SetPortItemIndex(3);
        Click(dlg, "OKBtn");
        EXPECT_TRUE(dlg.isVisible());
        Click(dlg, "CancelBtn");
    }));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], EISDIR);
    EXPECT_EQ(PortNumber, 2) << "the value is not taken when it could not be stored";
}

} // namespace
