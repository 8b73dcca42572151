// TComm over a pseudo-terminal pair: the test holds the master, the port opens the slave.
#include "Ini.h"
#include "SPComm.h"
#include "Settings.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <random>
#include <termios.h>
#include <unistd.h>

namespace {

// Processes events until the condition holds or the limit passes.
template <typename Done> bool PumpUntil(Done done, int limitMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

struct Pty {
    int master = -1;
    int slave = -1;
    std::string name;
    Pty() {
        char buffer[128];
        if (openpty(&master, &slave, buffer, nullptr, nullptr) == 0)
            name = buffer;
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        // Only the port holds the slave, so closing the master hangs it up.
        close(slave);
    }
    ~Pty() {
        if (master >= 0)
            close(master);
    }
    std::vector<uint8_t> ReadAll(size_t want, int limitMs = 3000) {
        std::vector<uint8_t> got;
        QElapsedTimer t;
        t.start();
        while (got.size() < want && t.elapsed() < limitMs) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                uint8_t b[4096];
                ssize_t n = read(master, b, sizeof b);
                if (n > 0)
                    got.insert(got.end(), b, b + n);
            }
        }
        return got;
    }
};

struct PortTest : ::testing::Test {
    TempProgramDir dir;
    Pty pty;
    TComm port;
    void SetUp() override {
        ASSERT_FALSE(pty.name.empty());
        IniWriteString(SystemCfgPath(), "Ports", "COM3", pty.name);
        port.SetCommName("COM3");
    }
};

TEST_F(PortTest, OpenFailures) {
    WriteFileBytes(dir.Path("plain.bin"), "x");
    IniWriteString(SystemCfgPath(), "Ports", "COM1", dir.Path("missing"));
    IniWriteString(SystemCfgPath(), "Ports", "COM2", dir.Path("plain.bin"));
    IniWriteString(SystemCfgPath(), "Ports", "COM4", "/dev/null");
    struct Case {
        std::string name;
        std::string message;
    } cases[] = {
        {"COM0", "Error opening serial port"},
        {"COM1", "Error opening serial port"},
        {"LPT1", "Error opening serial port"},
        {"", "Error opening serial port"},
        {"COM2", "File handle is not a comm handle "},
        {"COM4", "File handle is not a comm handle "},
    };
    for (const Case& c : cases) {
        TComm p;
        p.SetCommName(c.name);
        try {
            p.OpenPort();
            ADD_FAILURE() << c.name << " opened";
        } catch (const ECommsError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.name;
        }
        EXPECT_FALSE(p.IsOpen()) << c.name;
        EXPECT_FALSE(p.WriteData(reinterpret_cast<const uint8_t*>("a"), 1));
    }
    // A port another component holds is refused, and free again once closed.
    port.OpenPort();
    TComm second;
    second.SetCommName("COM3");
    EXPECT_THROW(second.OpenPort(), ECommsError);
    port.ClosePort();
    EXPECT_NO_THROW(second.OpenPort());
    second.ClosePort();
}

TEST_F(PortTest, WriteDataRefusals) {
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_FALSE(port.WriteData(bytes, 3)); // closed
    port.OpenPort();
    EXPECT_FALSE(port.WriteData(bytes, 0));
    EXPECT_TRUE(port.WriteData(bytes, 3));
    EXPECT_EQ(pty.ReadAll(3), std::vector<uint8_t>(bytes, bytes + 3));
    port.ClosePort();
    EXPECT_FALSE(port.WriteData(bytes, 3));
}

TEST_F(PortTest, SendDataEmptyAfterOpenAndAfterEachDrain) {
    int empties = 0;
    port.OnSendDataEmpty = [&](TComm* sender) {
        EXPECT_EQ(sender, &port);
        ++empties;
    };
    port.OpenPort();
    EXPECT_TRUE(PumpUntil([&] { return empties == 1; }));
    Pump(50);
    EXPECT_EQ(empties, 1);
    std::vector<uint8_t> frame(302, 0x81);
    ASSERT_TRUE(port.WriteData(frame.data(), uint16_t(frame.size())));
    ASSERT_TRUE(port.WriteData(frame.data(), uint16_t(frame.size())));
    EXPECT_TRUE(PumpUntil([&] { return empties == 2; }));
    EXPECT_EQ(pty.ReadAll(604).size(), 604u);
    Pump(50);
    EXPECT_EQ(empties, 2); // one drain for the two queued writes
    port.ClosePort();
}

TEST_F(PortTest, EveryChunkingArrivesWhole) {
    std::vector<uint8_t> got;
    port.OnReceiveData = [&](TComm*, const uint8_t* buffer, uint16_t length) {
        EXPECT_GT(length, 0);
        EXPECT_LE(length, 2048);
        got.insert(got.end(), buffer, buffer + length);
    };
    port.SetOutx_XonXoffFlow(false); // as the protocol runs it: 0x11 and 0x13 are data
    port.OpenPort();
    std::mt19937 rng(3);
    std::vector<uint8_t> sent(5000);
    for (auto& b : sent)
        b = uint8_t(rng());
    for (size_t at = 0; at < sent.size();) {
        size_t n = std::min<size_t>(1 + rng() % 700, sent.size() - at);
        ASSERT_EQ(write(pty.master, sent.data() + at, n), ssize_t(n));
        at += n;
        if (rng() % 3 == 0)
            Pump(1);
    }
    EXPECT_TRUE(PumpUntil([&] { return got.size() >= sent.size(); }));
    EXPECT_EQ(got, sent);
    port.ClosePort();
}

TEST_F(PortTest, AnAnnouncedAnswerArrivesInOnePieceAndAShortOneAfterAQuietGap) {
    std::vector<std::vector<uint8_t>> pieces;
    port.OnReceiveData = [&](TComm*, const uint8_t* buffer, uint16_t length) {
        pieces.emplace_back(buffer, buffer + length);
    };
    port.SetOutx_XonXoffFlow(false);
    port.OpenPort();
    port.SetReceiveThreshold(301);
    std::vector<uint8_t> frame(301);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(0x80 + i % 100);
    // The frame comes in bursts a millisecond apart, as a UART's FIFO hands it over. A loaded
    // machine may hold the writer back past the port's quiet gap (3 ms); each such stall may
    // cut the answer once more.
    size_t stalls = 0;
    QElapsedTimer sinceWrite;
    for (size_t at = 0; at < frame.size(); at += 50) {
        if (at > 0 && sinceWrite.nsecsElapsed() > 2'000'000)
            ++stalls;
        const size_t n = std::min<size_t>(50, frame.size() - at);
        ASSERT_EQ(write(pty.master, frame.data() + at, n), ssize_t(n));
        sinceWrite.start();
        usleep(1000);
    }
    std::vector<uint8_t> got;
    ASSERT_TRUE(PumpUntil([&] {
        got.clear();
        for (const auto& piece : pieces)
            got.insert(got.end(), piece.begin(), piece.end());
        return got.size() >= frame.size();
    }));
    EXPECT_EQ(got, frame);
    // Seven bursts in one piece, unless the writer stalled.
    EXPECT_LE(pieces.size(), 1 + stalls);

    // Fewer bytes than announced (noise, a cut answer) are not held back for long.
    pieces.clear();
    ASSERT_EQ(write(pty.master, "\x83\x84\x85", 3), 3);
    EXPECT_TRUE(PumpUntil([&] { return !pieces.empty(); }, 500));
    EXPECT_EQ(pieces, (std::vector<std::vector<uint8_t>>{{0x83, 0x84, 0x85}}));
    port.ClosePort();
}

TEST_F(PortTest, HangupIsReportedOnceAndStopsTheThreads) {
    int hangups = 0;
    port.OnRequestHangup = [&](TComm*) { ++hangups; };
    port.OpenPort();
    Pump(20);
    close(pty.master);
    pty.master = -1;
    EXPECT_TRUE(PumpUntil([&] { return hangups == 1; }));
    Pump(100); // the threads end instead of spinning on the dead line
    EXPECT_EQ(hangups, 1);
    const uint8_t byte = 1;
    EXPECT_FALSE(port.WriteData(&byte, 1));
    QElapsedTimer t;
    t.start();
    port.ClosePort();
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PortTest, StalledLineNeitherDrainsNorBlocksClose) {
    int empties = 0;
    port.OnSendDataEmpty = [&](TComm*) { ++empties; };
    port.OpenPort();
    ASSERT_TRUE(PumpUntil([&] { return empties == 1; }));
    // Nobody reads the far end: the line's buffers fill and the transmit thread must wait.
    std::vector<uint8_t> block(60000, 0x81);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(port.WriteData(block.data(), uint16_t(block.size())));
    Pump(200);
    EXPECT_EQ(empties, 1);
    QElapsedTimer t;
    t.start();
    port.ClosePort();
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PortTest, LineSettings) {
    port.SetBaudRate(19200);
    port.SetDtrControl(TDtrControl::DtrDisable);
    port.SetOutx_XonXoffFlow(false);
    EXPECT_EQ(port.LineSettingsWrites(), 0); // stored only while closed
    port.OpenPort();
    termios tio{};
    ASSERT_EQ(tcgetattr(pty.master, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(tio.c_iflag & (IXON | ICRNL | ISTRIP));
    EXPECT_TRUE(tio.c_iflag & IXOFF); // Inx_XonXoffFlow stays on
    EXPECT_FALSE(tio.c_oflag & OPOST);

    int writes = port.LineSettingsWrites();
    port.SetBaudRate(19200);
    EXPECT_EQ(port.LineSettingsWrites(), writes);
    struct Case {
        uint32_t rate;
        speed_t speed;
    } rates[] = {{4800, B4800},   {9600, B9600},   {19200, B19200},
                 {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const Case& c : rates) {
        port.SetBaudRate(c.rate);
        ASSERT_EQ(tcgetattr(pty.master, &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), c.speed) << c.rate;
    }
    // (A pseudo-terminal keeps 8 bits without parity whatever it is told.)
    port.SetStopBits(TStopBits::_2);
    ASSERT_EQ(tcgetattr(pty.master, &tio), 0);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    port.SetOutx_XonXoffFlow(true);
    ASSERT_EQ(tcgetattr(pty.master, &tio), 0);
    EXPECT_TRUE(tio.c_iflag & IXON);

    // Opening an open port changes nothing.
    int before = port.LineSettingsWrites();
    port.OpenPort();
    EXPECT_EQ(port.LineSettingsWrites(), before);
    port.ClosePort();
}

TEST_F(PortTest, ReopenDropsNoticesOfTheOldPort) {
    std::vector<uint8_t> got;
    port.OnReceiveData = [&](TComm*, const uint8_t* b, uint16_t n) {
        got.insert(got.end(), b, b + n);
    };
    port.OpenPort();
    const uint8_t old[] = {9, 9, 9};
    ASSERT_EQ(write(pty.master, old, 3), 3);
    QThread::msleep(50); // received, not yet dispatched
    port.ClosePort();
    port.OpenPort();
    const uint8_t fresh[] = {1, 2};
    ASSERT_EQ(write(pty.master, fresh, 2), 2);
    EXPECT_TRUE(PumpUntil([&] { return got.size() >= 2; }));
    Pump(30);
    EXPECT_EQ(got, std::vector<uint8_t>({1, 2}));
    port.ClosePort();
}

} // namespace
