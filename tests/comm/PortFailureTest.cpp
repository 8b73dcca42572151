// Why a port fails: real failures of TComm where the machine lets a test make them, a fake tree
// for what only another machine has (brltty, ModemManager, lock files, another user's device).
#include "PortFailure.h"
#include "FakeSerialTree.h"
#include "Ini.h"
#include "SPComm.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

// The first lines of an explanation, as many as a case expects.
Lines Head(const PortFailure& f, size_t count) {
    return Lines(f.lines.begin(), f.lines.begin() + std::min(f.lines.size(), count));
}

// Another process that opens a device and holds it with flock until it is killed.
struct Holder {
    pid_t pid = -1;
    explicit Holder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_NAME, "portholder");
            const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
            const char ok = fd >= 0 && flock(fd, LOCK_EX) == 0 ? '1' : '0';
            [[maybe_unused]] ssize_t n = write(ready[1], &ok, 1);
            pause();
            _exit(0);
        }
        char ok = '0';
        if (pid < 0 || read(ready[0], &ok, 1) != 1 || ok != '1')
            ADD_FAILURE() << "the holder did not take " << path;
        close(ready[0]);
        close(ready[1]);
    }
    ~Holder() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

TEST(PortFailureTest, RealOpenFailuresOfTComm) {
    TempProgramDir dir;
    int master = -1, slave = -1;
    char ptyName[128];
    ASSERT_EQ(openpty(&master, &slave, ptyName, nullptr, nullptr), 0);
    close(slave);
    Holder holder(ptyName);
    WriteFileBytes(dir.Path("plain.bin"), "x");
    std::filesystem::create_directory(dir.Path("folder"));
    const std::string missing = dir.Path("ttyUSB9");
    struct Case {
        std::string device; // empty: the port maps to none
        PortFailureReason reason;
        Lines lines; // the first lines
    } cases[] = {
        {"", PortFailureReason::NoDevice, {"No serial device is chosen for this port."}},
        {missing, PortFailureReason::NotPresent, {missing + " is not present (unplugged?)"}},
        {dir.Path("plain.bin"),
         PortFailureReason::NotSerial,
         {dir.Path("plain.bin") + " is not a serial device (a regular file)."}},
        {dir.Path("folder"),
         PortFailureReason::NotSerial,
         {dir.Path("folder") + " is not a serial device (a directory)."}},
        {"/dev/null",
         PortFailureReason::NotSerial,
         {"/dev/null is not a serial device (a mem device)."}},
        {ptyName,
         PortFailureReason::InUse,
         {std::string(ptyName) + " is in use by portholder (process " + std::to_string(holder.pid) +
              ").",
          "Close that program, or choose another port."}},
    };
    for (const Case& c : cases) {
        IniWriteString(SystemCfgPath(), "Ports", "COM3", c.device);
        TComm port;
        port.SetCommName(c.device.empty() ? "COM0" : "COM3");
        try {
            port.OpenPort();
            ADD_FAILURE() << c.device << " opened";
            continue;
        } catch (const ECommsError& e) {
            const PortFailure f = ExplainPortFailure(port.DevicePath(), e, PortSystem::Current());
            EXPECT_EQ(f.reason, c.reason) << c.device << "\n" << f.Text();
            EXPECT_EQ(Head(f, c.lines.size()), c.lines) << c.device;
            // Where nothing is there, what is there comes with it.
            if (c.reason == PortFailureReason::NotPresent ||
                c.reason == PortFailureReason::NoDevice) {
                EXPECT_NE(f.Text().find("present now"), std::string::npos) << f.Text();
            }
        }
    }
    close(master);
}

struct FailureTreeTest : ::testing::Test {
    QTemporaryDir dir;
    FakeSerialTree tree{dir.path().toStdString()};
    PortSystem system;
    gid_t dialout = 20;
    void SetUp() override {
        tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI", "ftdi_sio",
                     "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "", 16});
        tree.AddUsb({"ttyACM0", "2341", "0043", "Arduino", "Uno", "7553", "cdc_acm", "", ""});
        tree.AddBuiltIn("ttyS1", 0);
        // Root gives the node to dialout (20), anyone else keeps it in a group of their own.
        if (chown(tree.Path("/dev/ttyUSB0").c_str(), uid_t(-1), 20) != 0)
            dialout = getegid();
        tree.Write("/etc/group", "root:x:0:\ndialout:x:" + std::to_string(dialout) + ":alice");
        system.root = tree.Root();
        system.userName = "bob";
        system.selfPid = 1;
        system.mayOpen = [](const std::string&) { return true; };
    }
    PortFailure Explain(const std::string& path, int error) {
        return ExplainOpenFailure(path, error, system);
    }
};

TEST_F(FailureTreeTest, PermissionNamesTheGroupAndTheWayIn) {
    const std::string node = tree.Path("/dev/ttyUSB0");
    const std::string by = "You may not open /dev/ttyUSB0: it belongs to group dialout";
    struct Case {
        std::string user;
        std::vector<gid_t> userGroups, processGroups;
        int mode, error;
        Lines lines;
    } cases[] = {
        {"bob",
         {},
         {},
         0660,
         EACCES,
         {by + " (-rw-rw----).", "Add yourself to that group: sudo usermod -aG dialout bob",
          "then log out and back in: a new group counts from the next login."}},
        {"alice",
         {dialout},
         {},
         0660,
         EPERM,
         {by + " (-rw-rw----).",
          "You are in group dialout, but this login began before you were added: log out and "
          "back in."}},
        {"bob",
         {},
         {},
         0600,
         0, // no errno, but the system seam says no
         {by + " (-rw-------).",
          "A udev rule can give it to group dialout: GROUP=\"dialout\", MODE=\"0660\"."}},
    };
    for (const Case& c : cases) {
        std::filesystem::permissions(node, std::filesystem::perms(c.mode));
        system.userName = c.user;
        system.userGroups = c.userGroups;
        system.processGroups = c.processGroups;
        system.mayOpen = [](const std::string&) { return false; };
        const PortFailure f = Explain("/dev/ttyUSB0", c.error);
        EXPECT_EQ(f.reason, PortFailureReason::PermissionDenied);
        EXPECT_EQ(f.lines, c.lines) << c.user;
    }
}

TEST_F(FailureTreeTest, WhoHoldsOrTookTheDevice) {
    // minicom's lock file; brltty and ModemManager with the device open.
    tree.Write("/proc/4242/comm", "minicom");
    tree.Write("/run/lock/LCK..ttyUSB0", "      4242");
    tree.Write("/run/lock/LCK..ttyS1", "      999"); // stale: no such process
    const std::string rule = R"(  SUBSYSTEM=="tty", ATTRS{idVendor}=="2341", )"
                             R"(ATTRS{idProduct}=="0043", ENV{ID_MM_DEVICE_IGNORE}="1")";
    struct Case {
        std::string path;
        int error;
        std::string holder; // a process with the node open: "name:pid"
        PortFailureReason reason;
        Lines lines; // all, or the first ones
    } cases[] = {
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
         EBUSY,
         "",
         PortFailureReason::InUse,
         {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 is claimed by the lock "
          "file /run/lock/LCK..ttyUSB0 of minicom (process 4242).",
          "Close that program, or choose another port."}},
        {"/dev/ttyUSB0",
         EWOULDBLOCK,
         "brltty:77",
         PortFailureReason::TakenByBrltty,
         {"/dev/ttyUSB0 is in use by brltty (process 77).",
          "brltty, the braille display service, takes such adapters.",
          "Fix: sudo systemctl mask brltty-udev.service (or, without a braille display: sudo apt "
          "remove brltty), then unplug the adapter and plug it in again."}},
        {"/dev/ttyACM0",
         EBUSY,
         "ModemManager:88",
         PortFailureReason::ProbedByModemManager,
         {"/dev/ttyACM0 is in use by ModemManager (process 88).",
          "ModemManager looks for modems on new serial devices and lets go after some seconds; "
          "try again then.",
          "To keep ModemManager away from it, a udev rule can set ID_MM_DEVICE_IGNORE (the "
          "program ships one as 60-quorve-plu-serial.rules), for this device:",
          rule, "Without a modem on this machine: sudo systemctl disable --now ModemManager"}},
        {"/dev/ttyS1",
         EBUSY,
         "",
         PortFailureReason::InUse,
         {"/dev/ttyS1 is in use by another program, which cannot be named from here (it may run "
          "as another user).",
          "Close that program, or choose another port."}},
        {"/dev/ttyS1",
         EIO,
         "",
         PortFailureReason::NoHardware,
         {"/dev/ttyS1 has no port behind it: the kernel keeps ttyS names for ports the machine "
          "may not have.",
          "Serial devices present now:"}},
        // A thread the port could not start is not a port in use, although its errno is EAGAIN.
        {"/dev/ttyUSB0", -1, "", PortFailureReason::Other, {strerror(EAGAIN)}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(tree.Path("/proc/77"));
        std::filesystem::remove_all(tree.Path("/proc/88"));
        if (!c.holder.empty()) {
            const std::string name = c.holder.substr(0, c.holder.find(':'));
            const std::string pid = c.holder.substr(c.holder.find(':') + 1);
            tree.Write("/proc/" + pid + "/comm", name);
            std::filesystem::create_directories(tree.Path("/proc/" + pid + "/fd"));
            std::filesystem::create_symlink("/dev/" + c.path.substr(5),
                                            tree.Path("/proc/" + pid + "/fd/5"));
        }
        const PortFailure f =
            c.error < 0 ? ExplainPortFailure(
                              c.path, ECommsError("Unable to create read thread", EAGAIN), system)
                        : Explain(c.path, c.error);
        EXPECT_EQ(f.reason, c.reason) << c.path << "\n" << f.Text();
        EXPECT_EQ(Head(f, c.lines.size()), c.lines) << c.path;
    }
}

TEST_F(FailureTreeTest, AbsentAdapterTakenByBrlttyAndWhatIsPresent) {
    const Lines present = {
        "Serial devices present now:",
        "  /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 - FTDI FT232R USB UART, "
        "serial A50285BI (ttyUSB0)",
        "  /dev/ttyACM0 - Arduino Uno, serial 7553 (ttyACM0)",
    };
    PortFailure f = Explain("/dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0-port0", ENOENT);
    EXPECT_EQ(f.reason, PortFailureReason::NotPresent);
    Lines want = {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0-port0 is not present "
                  "(unplugged?)"};
    want.insert(want.end(), present.begin(), present.end());
    EXPECT_EQ(f.lines, want);

    // A CH340 plugged in without a port, and brltty installed: it took the adapter.
    tree.AddUsb({"", "1a86", "7523", "", "USB Serial", "", "", "", "", -1, false});
    tree.Write("/usr/lib/udev/rules.d/85-brltty.rules", R"(ENV{PRODUCT}=="403/6001/*", GOTO="x")");
    f = Explain("/dev/ttyUSB1", ENOENT);
    EXPECT_EQ(f.reason, PortFailureReason::TakenByBrltty);
    want = {"/dev/ttyUSB1 is not present (unplugged?)",
            "A CH340 adapter (1a86:7523) is plugged in, but brltty, the braille display service, "
            "took it from its serial driver.",
            "Fix: sudo systemctl mask brltty-udev.service (or, without a braille display: sudo apt "
            "remove brltty), then unplug the adapter and plug it in again."};
    want.insert(want.end(), present.begin(), present.end());
    EXPECT_EQ(f.lines, want);
}

TEST(LatencyHintTest, ShownAboveOneMillisecondWithTheShippedRule) {
    EXPECT_TRUE(LatencyHint("/dev/ttyUSB0", 1).empty());
    const Lines hint = LatencyHint("/dev/ttyUSB0", 16);
    ASSERT_EQ(hint.size(), 3u);
    EXPECT_EQ(hint[0], "/dev/ttyUSB0 holds received bytes up to 16 ms before passing them on (its "
                       "latency timer), which slows every exchange.");
    EXPECT_EQ(hint[2], std::string("  ") + FtdiLatencyRule);
    // The rule the hint quotes is the one shipped, with ModemManager kept off the adapters.
    std::ifstream in(std::string(QPLU_SOURCE_DIR "/dist/") + SerialUdevRulesFile);
    const std::string rules((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(rules.find(FtdiLatencyRule), std::string::npos);
    for (const char* id : {"\"0403\"", "\"1a86\"", "\"10c4\"", "\"067b\""})
        EXPECT_NE(rules.find(std::string("ATTRS{idVendor}==") + id), std::string::npos) << id;
    EXPECT_NE(rules.find("ENV{ID_MM_DEVICE_IGNORE}=\"1\""), std::string::npos);
}

} // namespace
