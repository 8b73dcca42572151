// Discovery over a fake /sys + /dev tree, and the hot-plug watcher on the real kernel.
#include "PortDiscovery.h"
#include "FakeSerialTree.h"
#include "LatencyCheck.h"
#include "PortFailure.h"
#include "PortWatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

struct DiscoveryTest : ::testing::Test {
    QTemporaryDir dir;
    FakeSerialTree tree{dir.path().toStdString()};
    void SetUp() override {
        tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI", "ftdi_sio",
                     "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                     "pci-0000:00:14.0-usb-0:1:1.0-port0", 16});
        // Without a serial number its by-id name would be shared by every adapter of its kind.
        tree.AddUsb({"ttyUSB10", "1a86", "7523", "", "USB Serial", "", "ch341",
                     "usb-1a86_USB_Serial-if00-port0", "pci-0000:00:14.0-usb-0:2:1.0-port0"});
        // No udev: no links at all.
        tree.AddUsb({"ttyUSB2", "067b", "2303", "Prolific Technology Inc.", "USB-Serial Controller",
                     "", "pl2303", "", ""});
        tree.AddUsb({"ttyACM0", "2341", "0043", "Arduino (www.arduino.cc)", "", "7553", "cdc_acm",
                     "usb-Arduino__www.arduino.cc__0043_7553-if00", ""});
        tree.AddBuiltIn("ttyS0", 4);
        tree.AddBuiltIn("ttyS1", 0);        // reserved by the serial core, no UART
        tree.AddBuiltIn("ttyS2", 4, false); // no node in /dev
        tree.AddVirtual("tty0");
        tree.AddVirtual("console");
        tree.Link("/dev/regcable", "/dev/ttyUSB10");
    }
};

TEST_F(DiscoveryTest, ListsRealPortsUnderStableNamesInOrder) {
    struct Row {
        std::string path, node, driver, usbId, description;
        SerialDeviceKind kind;
    } expected[] = {
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0",
         "ftdi_sio", "0403:6001", "FTDI FT232R USB UART, serial A50285BI (ttyUSB0)",
         SerialDeviceKind::UsbSerial},
        {"/dev/ttyUSB2", "/dev/ttyUSB2", "pl2303", "067b:2303",
         "Prolific Technology Inc. USB-Serial Controller (ttyUSB2)", SerialDeviceKind::UsbSerial},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", "/dev/ttyUSB10", "ch341",
         "1a86:7523", "USB Serial (1a86:7523, ttyUSB10)", SerialDeviceKind::UsbSerial},
        {"/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_7553-if00", "/dev/ttyACM0", "cdc_acm",
         "2341:0043", "Arduino (www.arduino.cc) USB ACM device, serial 7553 (2341:0043, ttyACM0)",
         SerialDeviceKind::UsbAcm},
        {"/dev/ttyS0", "/dev/ttyS0", "serial", "", "Built-in serial port (ttyS0)",
         SerialDeviceKind::BuiltIn},
    };
    const std::vector<SerialDevice> devices = ListSerialDevices(tree.Root());
    ASSERT_EQ(devices.size(), std::size(expected));
    for (size_t i = 0; i < devices.size(); ++i) {
        const SerialDevice& d = devices[i];
        const Row& e = expected[i];
        EXPECT_EQ(d.path, e.path) << i;
        EXPECT_EQ(d.node, e.node) << i;
        EXPECT_EQ(d.driver, e.driver) << i;
        EXPECT_EQ(d.UsbId(), e.usbId) << i;
        EXPECT_EQ(d.description, e.description) << i;
        EXPECT_EQ(d.kind, e.kind) << i;
    }
    EXPECT_EQ(devices[0].manufacturer, "FTDI");
    EXPECT_EQ(devices[0].product, "FT232R USB UART");
    EXPECT_EQ(devices[0].serial, "A50285BI");

    // A stored path finds its device by any of its names; a gone one finds nothing.
    const struct {
        std::string path, node;
    } finds[] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0", "/dev/ttyUSB10"},
        {"/dev/regcable", "/dev/ttyUSB10"},
        {"/dev/ttyS1", ""},
        {"/dev/ttyUSB7", ""},
    };
    for (const auto& f : finds) {
        const SerialDevice* d = FindSerialDevice(devices, f.path, tree.Root());
        EXPECT_EQ(d ? d->node : "", f.node) << f.path;
    }
    EXPECT_TRUE(ListSerialDevices(tree.Path("/nowhere")).empty());
}

TEST_F(DiscoveryTest, LatencyTimerOfTheNodeBehindAPath) {
    tree.Write("/sys/bus/usb-serial/devices/ttyUSB10/latency_timer", "1");
    std::filesystem::remove(tree.Path("/dev/ttyUSB2"));
    tree.Link("/dev/serial/by-id/usb-gone-if00-port0", "/dev/ttyUSB2"); // dangling
    tree.Write("/sys/bus/usb-serial/devices/ttyUSB2/latency_timer", "junk");
    const struct {
        std::string path;
        std::optional<int> ms;
    } cases[] = {
        {"/dev/ttyUSB0", 16},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", 16},
        {"/dev/regcable", 1},
        {"/dev/ttyS0", std::nullopt},
        {"/dev/serial/by-id/usb-gone-if00-port0", std::nullopt},
        {"/dev/ttyACM0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LatencyTimerMs(c.path, tree.Root()), c.ms) << c.path;
    EXPECT_EQ(KernelDeviceName("/dev/serial/by-id/usb-gone-if00-port0", tree.Root()), "ttyUSB2");
}

// Opened at every exchange, an adapter with a slow timer is told about once, under any of its
// names; one at 1 ms and a device without a timer never.
TEST_F(DiscoveryTest, LatencyHintOncePerDevice) {
    tree.Write("/sys/bus/usb-serial/devices/ttyUSB10/latency_timer", "1");
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    TLatencyCheck check(tree.Root());
    EXPECT_EQ(check.HintFor(ftdi), LatencyHint(ftdi, 16));
    for (const char* path : {"/dev/ttyUSB0", "/dev/regcable", "/dev/ttyACM0", "/dev/ttyS0", ""})
        EXPECT_TRUE(check.HintFor(path).empty()) << path;
    EXPECT_TRUE(check.HintFor(ftdi).empty());

    // Installed by the package, the rule only waits for the adapter to be plugged in again.
    tree.Write(std::string("/usr/lib/udev/rules.d/") + SerialUdevRulesFile, "");
    TLatencyCheck installed(tree.Root());
    const std::vector<std::string> hint = installed.HintFor(ftdi);
    ASSERT_EQ(hint, LatencyHint(ftdi, 16, true));
    EXPECT_NE(hint.back().find("unplugged and plugged in again"), std::string::npos);
}

// The kernel announces a tty when asked to through its uevent file; root on a machine with a
// writable /sys (CI) can do that. One burst makes one notice; "change" makes none.
TEST(PortWatcherTest, OneNoticePerBurstOfAddsNoneForChanges) {
    const char* uevent = "/sys/class/tty/ptmx/uevent";
    TPortWatcher watcher;
    if (!watcher.IsWatching() || access(uevent, W_OK) != 0)
        GTEST_SKIP() << "no uevents to make here";
    int notices = 0;
    QObject::connect(&watcher, &TPortWatcher::DevicesChanged, [&] { ++notices; });
    auto pump = [&](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    std::ofstream(uevent) << "change\n";
    pump(400);
    EXPECT_EQ(notices, 0);
    for (int i = 0; i < 3; ++i)
        std::ofstream(uevent) << "add\n";
    pump(600);
    EXPECT_EQ(notices, 1);
}

} // namespace
