#include "CommDlg.h"
#include "DocumentFile.h"
#include "FakeSerialTree.h"
#include "PortWatcher.h"
#include "Settings.h"
#include "TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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
        // On its round mark: a radio item takes clicks on its mark and text only.
        QTest::mouseClick(rate115200, Qt::LeftButton, {}, QPoint(6, rate115200->height() / 2));
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
    dlg.LoadCommSettings();
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

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// A device chosen for COM2 lands in [Ports] in the same write as [Comm]; every other byte of the
// file stays. A path typed for COM3 is stored too, and the list follows a plug while open.
TEST(CommDlg, TheChosenDeviceIsMappedAndTheFileKeepsItsOtherLines) {
    TempProgramDir dir;
    FakeSerialTree tree(dir.Path("machine"));
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio",
                 "usb-FTDI_FT232R_USB_UART_A1-if00-port0", "", 16});
    tree.AddUsb({"ttyACM0", "2341", "0043", "Arduino", "Uno", "S1", "cdc_acm",
                 "usb-Arduino_Uno_S1-if00", ""});
    const std::string before = "; shop\r\n[Comm]\r\nPort=2\r\nBaudRate=1\r\n[Ports]\r\n"
                               "COM1=/dev/ttyS0\r\nX-Mine=keep me\r\n[Default]\r\nHeader1=SHOP\r\n";
    WriteFileBytes(SystemCfgPath(), before);
    TCommDlg dlg;
    dlg.discoveryRoot = tree.Root();
    auto* devices = dlg.findChild<QComboBox*>("DeviceCB");
    auto* path = dlg.findChild<QLineEdit*>("DevicePathEd");
    EXPECT_TRUE(RunDialog(dlg, [&] {
        QApplication::setActiveWindow(&dlg);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
        EXPECT_EQ(Items(devices), QStringList({"FTDI FT232R USB UART, serial A1 (ttyUSB0)",
                                               "Arduino Uno, serial S1 (ttyACM0)", "Other..."}));
        // COM2 opens /dev/ttyS1 by default, which this machine does not have.
        EXPECT_EQ(devices->currentText(), "Other...");
        EXPECT_EQ(dlg.PortDeviceText(), "/dev/ttyS1 (not present)");
        devices->setFocus();
        QTest::keyClick(devices, Qt::Key_Home);
        EXPECT_EQ(path->text(), QString::fromStdString(ftdi));
        EXPECT_TRUE(path->isReadOnly());

        tree.AddUsb({"ttyUSB1", "1a86", "7523", "", "USB Serial", "", "ch341",
                     "usb-1a86_USB_Serial-if00-port0", ""});
        emit dlg.findChild<TPortWatcher*>()->DevicesChanged();
        EXPECT_EQ(devices->count(), 4) << "the adapter plugged in meanwhile is listed";
        EXPECT_EQ(devices->currentIndex(), 0) << "the choice stays";

        // "Other..." hands the path to the keyboard; the device is chosen again after all.
        QTest::keyClick(devices, Qt::Key_End);
        EXPECT_FALSE(path->isReadOnly());
        EXPECT_TRUE(path->hasFocus());
        EXPECT_EQ(path->selectedText(), QString::fromStdString(ftdi));
        devices->setFocus();
        QTest::keyClick(devices, Qt::Key_Home);
        EXPECT_TRUE(path->isReadOnly());

        // COM3's /dev/ttyS2 is none of the list: a path is typed for it.
        dlg.SetPortItemIndex(3);
        EXPECT_EQ(devices->currentText(), "Other...");
        QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(path, "ttyUSB7");
        dlg.SetPortItemIndex(2);
        Click(dlg, "OKBtn");
    }));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()),
              "; shop\r\n[Comm]\r\nPort=2\r\nBaudRate=1\r\n[Ports]\r\nCOM1=/dev/ttyS0\r\n"
              "X-Mine=keep me\r\nCOM2=" +
                  ftdi + "\r\nCOM3=/dev/ttyUSB7\r\n[Default]\r\nHeader1=SHOP\r\n");
    EXPECT_EQ(PortDevicePath("COM2"), ftdi);

    // Opened again, COM2 shows its device; OK without a change writes no [Ports] line again.
    const std::string after = ReadFileBytes(SystemCfgPath());
    EXPECT_TRUE(RunDialog(dlg, [&] {
        EXPECT_EQ(devices->currentIndex(), 0);
        EXPECT_TRUE(path->isReadOnly());
        Click(dlg, "OKBtn");
    }));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), after);
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
