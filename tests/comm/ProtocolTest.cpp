#include "MemoryLink.h"
#include "TempDir.h"
#include "TolvIBus.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <ctime>
#include <memory>

namespace {

constexpr double Scale = 0.01; // 800 ms -> 8 ms

struct Bus {
    TMemoryLink* link;
    std::unique_ptr<TTolvIBusComm> bus;
    explicit Bus(double scale = Scale) {
        auto owned = std::make_unique<TMemoryLink>();
        link = owned.get();
        bus = std::make_unique<TTolvIBusComm>(std::move(owned));
        bus->TimeScale = scale;
        bus->ShowErrorBox = [](const std::string&, const ECommsError&) {};
        bus->SetActive(true);
    }
    TTolvIBusComm* operator->() { return bus.get(); }
};

// What a scripted peer does with the n-th transmission.
enum Reply { None, Ack, Refuse, Frame, BadFrame };

void Script(TMemoryLink& link, std::vector<Reply> replies, std::vector<uint8_t> data = {}) {
    link.Peer = [replies, data, n = size_t(0)](TMemoryLink& l,
                                               const std::vector<uint8_t>& wire) mutable {
        if (wire.size() != WireFrameSize)
            return;
        Reply r = n < replies.size() ? replies[n] : None;
        ++n;
        if (r == Ack)
            l.Deliver({0x11, 0x02});
        else if (r == Refuse)
            l.Deliver({0x55});
        else if (r == Frame || r == BadFrame) {
            std::vector<uint8_t> frame = FrameAnswering(wire, data);
            if (r == BadFrame)
                frame[297] ^= 0x01;
            l.Deliver(frame);
        }
    };
}

TEST(Protocol, HandshakeSearchesEveryRate) {
    Bus b;
    b->SetBaudRate(tbr57600);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(b->Connect(RegisterAddress, false));
    ASSERT_EQ(b.link->sent.size(), 21u);
    const uint32_t expected[] = {9600,  9600,   19200, 38400,  57600, 115200, 9600,
                                 19200, 38400,  57600, 115200, 9600,  19200,  38400,
                                 57600, 115200, 9600,  19200,  38400, 57600,  115200};
    for (size_t i = 0; i < 21; ++i) {
        EXPECT_EQ(b.link->sent[i].rate, expected[i]) << i;
        if (i > 0) { // each attempt waits its full (scaled) 800 ms
            EXPECT_GE(b.link->sent[i].atMs - b.link->sent[i - 1].atMs, 8) << i;
        }
    }
    EXPECT_EQ(b.link->Rate(), 115200u); // the rate of the last attempt stays
    EXPECT_TRUE(b->Failed);
}

TEST(Protocol, HandshakePacketAndRateAfterSuccess) {
    Bus b;
    b->SetBaudRate(tbr38400);
    b->RetryInterval = 2000;
    // Answer the third handshake attempt (19200) and then the identification read.
    std::vector<uint8_t> ident(64, 0);
    std::memcpy(ident.data() + 16, "ECR 7", 5);
    int frames = 0;
    b.link->Peer = [&](TMemoryLink& l, const std::vector<uint8_t>& wire) {
        ++frames;
        if (frames == 3)
            l.Deliver({0x02});
        if (frames == 4)
            l.Deliver(FrameAnswering(wire, ident));
    };
    std::time_t before = std::time(nullptr);
    ASSERT_TRUE(b->Connect(RegisterAddress, false));
    EXPECT_EQ(b.link->Rate(), 38400u);
    EXPECT_EQ(b.link->sent[2].rate, 19200u);
    EXPECT_EQ(b.link->sent[3].rate, 38400u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b->IdentRecord + 16), "ECR 7");

    std::vector<uint8_t> hs = PacketOf(b.link->sent[0].bytes);
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_EQ(std::vector<uint8_t>(hs.begin(), hs.begin() + 7),
              (std::vector<uint8_t>{0x0E, 0x01, 0x00, 0x13, 0x57, 0x00, 0x00}));
    EXPECT_EQ(hs[7], ByteToBcd(unsigned(local.tm_year + 1900)));
    EXPECT_EQ(hs[8], ByteToBcd(unsigned(local.tm_mon + 1)));
    EXPECT_EQ(hs[13], 2); // the rate index to continue at
    EXPECT_EQ(hs[14], 1); // a data connection
    // The identification request: command 14, parameter 16, data byte 2 = 16.
    std::vector<uint8_t> id = PacketOf(b.link->sent[3].bytes);
    EXPECT_EQ(id[0], 14);
    EXPECT_EQ(id[1], 16);
    EXPECT_EQ(id[3 + 2], 16);
}

TEST(Protocol, ProgramModeRefusalEndsTheSearch) {
    Bus b;
    Script(*b.link, {None, Refuse});
    EXPECT_FALSE(b->Handshake(RegisterAddress, true));
    EXPECT_EQ(b.link->Frames(), 2);
    EXPECT_EQ(PacketOf(b.link->sent[0].bytes)[14], 0); // program mode
}

TEST(Protocol, AcknowledgedExchangeRetries) {
    struct Case {
        const char* name;
        int retryCount;
        std::vector<Reply> replies;
        bool ok;
        int transmissions;
    } cases[] = {
        {"first try", 6, {Ack}, true, 1},
        {"no retries allowed", 0, {None}, false, 1},
        {"refusal then ack", 6, {Refuse, Ack}, true, 2},
        {"ack to the last attempt", 2, {None, Refuse, Ack}, true, 3},
        {"retries used up", 2, {None, None, None, Ack}, false, 3},
        {"frame is no acknowledgement", 1, {Frame, Frame}, false, 2},
        {"ten retries", 10, std::vector<Reply>(11, None), false, 11},
    };
    for (const Case& c : cases) {
        Bus b;
        b->SetRetryCount(c.retryCount);
        b->TraceOn = true;
        Script(*b.link, c.replies);
        Block block;
        block.fill(0x33);
        EXPECT_EQ(b->WriteBlock(13, 300, block), c.ok) << c.name;
        EXPECT_EQ(b.link->Frames(), c.transmissions) << c.name;
        EXPECT_EQ(b->Failed, !c.ok) << c.name;
        // Every retransmission is the same packet, announced in the trace.
        std::vector<uint8_t> p = PacketOf(b.link->sent[0].bytes);
        EXPECT_EQ(p[0], 13);
        EXPECT_EQ(p[1], 0x2C);
        EXPECT_EQ(p[2], 0x01);
        EXPECT_EQ(p[3], 0x33);
        for (const auto& s : b.link->sent)
            EXPECT_EQ(s.bytes, b.link->sent[0].bytes) << c.name;
        int retries = 0;
        for (const std::string& line : b->TraceLines)
            retries += line.rfind("Retry:", 0) == 0;
        EXPECT_EQ(retries, c.transmissions - 1) << c.name;
    }
}

TEST(Protocol, RequestWithAnswer) {
    std::vector<uint8_t> data(256);
    for (int i = 0; i < 256; ++i)
        data[size_t(i)] = uint8_t(255 - i);
    struct Case {
        const char* name;
        std::vector<Reply> replies;
        bool ok;
        int transmissions;
    } cases[] = {
        {"answer", {Frame}, true, 1},
        {"bad checksum, then good", {BadFrame, Frame}, true, 2},
        {"an ack byte is no answer", {Ack, Frame}, true, 2},
        {"only bad answers", std::vector<Reply>(7, BadFrame), false, 7},
    };
    for (const Case& c : cases) {
        Bus b;
        Script(*b.link, c.replies, data);
        std::fill(std::begin(b->DataBuf), std::end(b->DataBuf), 0x44);
        const std::optional<Block> answer = b->ReadBlock(11, 2);
        EXPECT_EQ(answer.has_value(), c.ok) << c.name;
        EXPECT_EQ(b.link->Frames(), c.transmissions) << c.name;
        // The request carries the block moved before it.
        EXPECT_EQ(PacketOf(b.link->sent[0].bytes)[3], 0x44);
        if (c.ok) {
            EXPECT_EQ(std::vector<uint8_t>(answer->begin(), answer->end()), data) << c.name;
            EXPECT_EQ(std::vector<uint8_t>(b->DataBuf, b->DataBuf + 256), data) << c.name;
        }
    }
    // An answer with another header never completes: time-out, and the retry succeeds.
    Bus b;
    b->SetRetryCount(1);
    int n = 0;
    b.link->Peer = [&](TMemoryLink& l, const std::vector<uint8_t>& wire) {
        std::vector<uint8_t> frame = FrameAnswering(wire, data);
        if (n++ == 0)
            frame[2] ^= 0x01;
        l.Deliver(frame);
    };
    EXPECT_TRUE(b->ReadBlock(7, 0).has_value());
    EXPECT_EQ(b.link->Frames(), 2);
}

TEST(Protocol, AnswerSplitAcrossChunksAndLateAnswers) {
    Bus b;
    b->RetryInterval = 1000;
    std::vector<uint8_t> data(256, 0x61);
    b.link->Peer = [&](TMemoryLink& l, const std::vector<uint8_t>& wire) {
        std::vector<uint8_t> frame = FrameAnswering(wire, data);
        frame.insert(frame.begin(), {0x13, 0x03, 0x00}); // noise with a false start
        for (size_t at = 0; at < frame.size(); at += 7)
            l.Deliver(std::vector<uint8_t>(frame.begin() + long(at),
                                           frame.begin() + long(std::min(at + 7, frame.size()))),
                      1);
    };
    const std::optional<Block> answer = b->ReadBlock(3, 1);
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)[0], 0x61);

    // An acknowledge to the first attempt that only arrives once the second has gone out
    // counts for the second.
    Bus late;
    late->RetryInterval = 1000; // 10 ms scaled
    int sends = 0;
    late.link->Peer = [&](TMemoryLink& l, const std::vector<uint8_t>&) {
        if (++sends == 2)
            l.Deliver({0x02});
    };
    EXPECT_TRUE(late->WriteBlock(1, 0, Block{}));
    EXPECT_EQ(late.link->Frames(), 2);
}

TEST(Protocol, AbortEndsTheWaitAtOnce) {
    Bus b(1.0);
    b->RetryInterval = 60000;
    QTimer::singleShot(30, [&] { b->Abort(); });
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(b->WriteBlock(13, 0, Block{}));
    EXPECT_LT(t.elapsed(), 10000);             // not the minute of the time-out
    EXPECT_EQ(b.link->Frames(), 1);            // no retries after Abort
    EXPECT_EQ(b->WaitAnswer(100), AnswerNone); // the next wait starts afresh
}

TEST(Protocol, DeadPortFailsWithoutRetries) {
    // Hang-up during the wait.
    {
        Bus b(1.0);
        b->RetryInterval = 60000;
        b.link->HangUp(30);
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(b->ReadBlock(0, 0).has_value());
        EXPECT_LT(t.elapsed(), 10000);
        EXPECT_EQ(b.link->Frames(), 1);
        EXPECT_TRUE(b->PortDead());
        // The status-1 disconnects a caller sends next return at once.
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(b->Disconnect(RegisterAddress, 1));
        EXPECT_EQ(b.link->Frames(), 1);
        EXPECT_FALSE(b->Connect(RegisterAddress, false));
        // Opening the port again starts afresh.
        b->SetActive(true);
        EXPECT_FALSE(b->PortDead());
    }
    // A port whose queue never drains: the step fails once its time is up, with no retries.
    {
        Bus b;
        b.link->drains = false;
        b->RetryInterval = 100;
        EXPECT_FALSE(b->WriteBlock(13, 0, Block{}));
        EXPECT_EQ(b.link->Frames(), 1);
        EXPECT_TRUE(b->PortDead());
        EXPECT_FALSE(b->SendWakeBurst());
    }
    // A closed port takes no bytes: the step fails instead of waiting for ever.
    {
        Bus b;
        b->SetActive(false);
        EXPECT_FALSE(b->WriteBlock(13, 0, Block{}));
        EXPECT_FALSE(b->SendDoubleWakeBurst());
    }
}

TEST(Protocol, DisconnectTriesThreeTimes) {
    struct Case {
        std::vector<Reply> replies;
        int transmissions;
    } cases[] = {{{None, None, None, None}, 3}, {{Ack}, 1}, {{Refuse, None, Ack}, 3}};
    for (const Case& c : cases) {
        Bus b;
        Script(*b.link, c.replies);
        EXPECT_TRUE(b->Disconnect(RegisterAddress, 1));
        EXPECT_EQ(b.link->Frames(), c.transmissions);
        std::vector<uint8_t> p = PacketOf(b.link->sent[0].bytes);
        EXPECT_EQ(std::vector<uint8_t>(p.begin(), p.begin() + 9),
                  (std::vector<uint8_t>{0x0E, 0x02, 0x00, 0x13, 0x57, 0x00, 0x00, 0x01, 0x00}));
    }
}

// A port reports its queue drained a little after the bytes left; an answer that comes first
// ends the exchange at once. A wake burst, which awaits no answer, still waits for the drain
// before the rate goes back, whatever an earlier exchange left in the receiver.
TEST(Protocol, AnAnswerNeedsNoDrainNoticeButABurstDoes) {
    Bus b;
    b.link->drainDelayMs = 400;
    Script(*b.link, {Ack});
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(b->WriteBlock(13, 0, Block{}));
    EXPECT_LT(t.elapsed(), 300);
    t.restart();
    EXPECT_TRUE(b->SendWakeBurst());
    EXPECT_GE(t.elapsed(), 400);
    EXPECT_EQ(b.link->sent.back().rate, WakeRate);
    EXPECT_EQ(b.link->Rate(), BaudTable[0]);
}

TEST(Protocol, NoSecondOperationInsideAWait) {
    Bus b;
    b->RetryInterval = 3000; // 30 ms
    bool inner = true;
    QTimer::singleShot(5, [&] {
        inner = b->WriteBlock(4, 1, Block{}) || b->ReadBlock(3, 0).has_value() ||
                b->Connect(RegisterAddress, false) || b->SetActive(false);
    });
    Script(*b.link, {None, Ack});
    EXPECT_TRUE(b->WriteBlock(12, 0, Block{}));
    EXPECT_FALSE(inner);
    EXPECT_EQ(b.link->Frames(), 2);
    EXPECT_TRUE(b->isActive());
}

TEST(Protocol, WakeBursts) {
    Bus b;
    b->SetBaudRate(tbr115200);
    ASSERT_TRUE(b->SendWakeBurst());
    ASSERT_EQ(b.link->sent.size(), 1u);
    EXPECT_EQ(b.link->sent[0].bytes, std::vector<uint8_t>(64, 0x66));
    EXPECT_EQ(b.link->sent[0].rate, 4800u);
    EXPECT_EQ(b.link->Rate(), 115200u);

    ASSERT_TRUE(b->SendDoubleWakeBurst());
    ASSERT_EQ(b.link->sent.size(), 3u);
    EXPECT_EQ(b.link->sent[2].rate, 4800u);
    EXPECT_GE(b.link->sent[2].atMs - b.link->sent[1].atMs, 10); // one (scaled) second apart
    EXPECT_EQ(b.link->Rate(), 115200u);

    // Aborted during the pause: false, and the port stays at 4800.
    QTimer::singleShot(2, [&] { b->Abort(); });
    b->TimeScale = 1.0;
    EXPECT_FALSE(b->SendDoubleWakeBurst());
    EXPECT_EQ(b.link->sent.size(), 4u);
    EXPECT_EQ(b.link->Rate(), 4800u);
}

TEST(Protocol, BroadcastMode) {
    struct Case {
        std::vector<Reply> replies;
        bool ok;
    } cases[] = {{{None}, true}, {{Ack}, true}, {{Refuse}, false}};
    for (const Case& c : cases) {
        Bus b;
        b->BroadCast = true;
        b->BroadCastScaleType = tbs5120;
        b->SetBaudRate(tbr19200);
        Script(*b.link, c.replies);
        EXPECT_EQ(b->Handshake(RegisterAddress, false), c.ok);
        EXPECT_EQ(b.link->Frames(), 1);
        EXPECT_EQ(b.link->sent[0].rate, 19200u);
        std::vector<uint8_t> p = PacketOf(b.link->sent[0].bytes);
        EXPECT_EQ(p[3], 0); // no single address
        EXPECT_EQ(p[14], 0xA5);
        Script(*b.link, c.replies);
        EXPECT_EQ(b->WriteBlock(1, 0, Block{}), c.ok);
        EXPECT_EQ(b.link->Frames(), 2);
    }
}

TEST(Protocol, DebugLog) {
    TempProgramDir dir;
    Bus b;
    b->TraceFile = dir.Path("DEBUG.LOG");
    b->TraceOn = true;
    b->SetActive(true); // empties the trace
    Script(*b.link, {None, Ack});
    ASSERT_TRUE(b->WriteBlock(13, 0, Block{}));
    b->SetActive(false);
    std::string log = ReadFileBytes(dir.Path("DEBUG.LOG"));
    std::vector<std::string> lines;
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(log.substr(start, end - start));
        start = end + 2;
    }
    // Send (1 + 19 + 1 lines), retry (2), send again (21), receive (1 + 1 + 1).
    ASSERT_EQ(lines.size(), 21u + 2 + 21 + 3);
    EXPECT_EQ(lines[0], ">>>>>>Send data<<<<<<<<");
    EXPECT_EQ(lines[1], "03 8d 80 80 80 80 80 80 80 80 80 80 80 80 80 80 ");
    EXPECT_EQ(lines[19].size(), 14u * 3);
    // Checksum 0x000D, end marker, and the trailing 0xFF close the last line.
    EXPECT_EQ(lines[19].substr(lines[19].size() - 15), "8d 80 80 04 ff ");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], "");
    EXPECT_EQ(lines[22], "Retry:1");
    EXPECT_EQ(lines[23], ">>>>>>Send data<<<<<<<<");
    EXPECT_EQ(lines[44], ">>>>>>Receive data<<<<<<<<");
    EXPECT_EQ(lines[45], "02 ");
    EXPECT_EQ(lines[46], "");

    // With the trace off the file is still written, empty.
    b->TraceOn = false;
    b->SetActive(true);
    Script(*b.link, {Ack});
    ASSERT_TRUE(b->WriteBlock(13, 0, Block{}));
    b->SetActive(false);
    EXPECT_EQ(ReadFileBytes(dir.Path("DEBUG.LOG")), "");
}

TEST(Protocol, OpenFailureShowsTheBoxAndPropagates) {
    TempProgramDir dir;
    struct Case {
        std::string name;
        std::string text;
    } cases[] = {{"COM0", "Error opening COM0!\r\nplease select other ports."},
                 {"COM9", "Error opening COM9!\r\nplease select other ports."}};
    for (const Case& c : cases) {
        TTolvIBusComm bus; // over a real TComm
        std::vector<std::string> shown;
        bus.ShowErrorBox = [&](const std::string& text, const ECommsError&) {
            shown.push_back(text);
        };
        bus.SetCommName(c.name);
        try {
            bus.SetActive(true);
            ADD_FAILURE() << "opened " << c.name;
        } catch (const ECommsError& e) {
            EXPECT_STREQ(e.what(), "Error opening serial port");
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], c.text);
        EXPECT_FALSE(bus.isActive());
        EXPECT_FALSE(bus.Comm()->IsOpen());
    }
}

TEST(Protocol, DefaultsOfTheComponentAndItsPort) {
    TTolvIBusComm bus;
    EXPECT_EQ(bus.RetryInterval, 800);
    EXPECT_EQ(bus.RetryCount(), 6);
    EXPECT_EQ(bus.BroadCastInterval, 200);
    EXPECT_EQ(bus.BaudRate(), tbr9600);
    EXPECT_EQ(bus.CommName(), "COM2");
    EXPECT_FALSE(bus.BroadCast);
    EXPECT_FALSE(bus.TraceOn);
    TComm& port = *bus.Comm();
    EXPECT_EQ(port.BaudRate(), 9600u);
    EXPECT_EQ(port.DtrControl(), TDtrControl::DtrDisable);
    EXPECT_FALSE(port.TxContinueOnXoff());
    EXPECT_FALSE(port.Outx_XonXoffFlow());
    EXPECT_TRUE(port.Inx_XonXoffFlow());
    EXPECT_EQ(port.RtsControl(), TRtsControl::RtsEnable);
    EXPECT_EQ(port.ReadIntervalTimeout(), 1u);
    bus.SetBaudRate(tbr115200);
    EXPECT_EQ(port.BaudRate(), 115200u);
    bus.SetBaudRate(TBaudRate(7)); // not a rate index: ignored
    EXPECT_EQ(port.BaudRate(), 115200u);
    bus.SetRetryCount(25);
    EXPECT_EQ(bus.RetryCount(), 10);
}

} // namespace
