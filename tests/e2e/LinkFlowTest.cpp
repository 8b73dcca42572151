// Whole exchanges of the protocol component over a real TComm and a pseudo-terminal, against
// the simulated register running as a child process.
#include "RegisterState.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "TolvIBus.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct SimFlow : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    std::vector<std::string> boxes;

    std::string StatePath() { return dir.Path("state.txt"); }
    void Start(QStringList flags) {
        flags << "--state" << QString::fromStdString(StatePath());
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(), flags));
        bus.ShowErrorBox = [this](const std::string& text, const ECommsError&) {
            boxes.push_back(text);
        };
        bus.SetCommName("COM2");
        bus.TraceFile = dir.Path("DEBUG.LOG");
        bus.TimeScale = 0.25; // 800 ms attempts take 200 ms
        bus.TraceOn = true;
    }
    std::string Log() { return ReadFileBytes(dir.Path("DEBUG.LOG")); }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    TRegisterState StoppedState() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState state;
        std::string error;
        EXPECT_TRUE(state.Load(StatePath(), &error)) << error;
        return state;
    }
};

std::array<uint8_t, 64> PluRecord(const char* name, uint8_t department) {
    std::array<uint8_t, 64> r{};
    r[0] = 0x05; // barcode 5907000000028
    r[1] = 0x90;
    r[2] = 0x70;
    r[6] = 0x28;
    std::memcpy(r.data() + 7, name, std::strlen(name));
    r[28] = 0xE2; // 12.50 at two decimals
    r[27] = 0x04;
    r[44] = department;
    return r;
}

TEST_F(SimFlow, ConnectSearchesTheRateThenMovesBlocks) {
    TRegisterState initial = TRegisterState::Default();
    initial.decimals = 3;
    initial.sales.resize(16);
    initial.report = "Z1 REPORT\r\nTOTAL 9.99\r\n";
    ASSERT_TRUE(initial.Save(StatePath()));
    Start({"--rate", "3"}); // the register listens at 57600
    bus.SetBaudRate(tbr115200);
    ASSERT_TRUE(bus.SetActive(true));
    ASSERT_TRUE(bus.Connect(RegisterAddress, false));
    EXPECT_EQ(bus.Comm()->BaudRate(), 115200u);
    EXPECT_STREQ(reinterpret_cast<const char*>(bus.IdentRecord + 16), "QUORVE SIM ECR 1.0");

    std::optional<Block> answer = bus.ReadBlock(CmdReadStatus, 0);
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)[0], 3);
    EXPECT_EQ((*answer)[10], 16); // sales record count, big-endian at 7

    // Three PLU records written with command 13 come back with command 11.
    Block block{};
    block[0] = 2;
    const uint32_t indices[] = {0, 2};
    const auto first = PluRecord("MILK", 0), third = PluRecord("BREAD 18 CHARACTER", 7);
    std::memcpy(block.data() + 1, &indices[0], 4);
    std::memcpy(block.data() + 5, first.data(), 64);
    std::memcpy(block.data() + 69, &indices[1], 4);
    std::memcpy(block.data() + 73, third.data(), 64);
    ASSERT_TRUE(bus.WriteBlock(CmdWritePlu, 0, block));
    ASSERT_TRUE(answer = bus.ReadBlock(CmdReadPlu, 0));
    EXPECT_EQ(0, std::memcmp(answer->data(), first.data(), 64));
    EXPECT_EQ((*answer)[64], 0xFF); // PLU 2: empty slot
    EXPECT_EQ(0, std::memcmp(answer->data() + 128, third.data(), 64));

    ASSERT_TRUE(answer = bus.ReadBlock(CmdReadReport, 0));
    EXPECT_STREQ(reinterpret_cast<const char*>(answer->data()), "Z1 REPORT\r\nTOTAL 9.99\r\n");
    ASSERT_TRUE(bus.WriteBlock(CmdClearReport, 0, *answer));
    ASSERT_TRUE(answer = bus.ReadBlock(CmdReadReport, 0));
    EXPECT_EQ((*answer)[0], 0); // cleared

    Block request{};
    request[0] = 0x10;
    ASSERT_TRUE(answer = bus.ReadBlock(CmdConnection, MemoryPageBlock, request));
    Block page = initial.MemoryPage(0, 0x10);
    EXPECT_EQ(*answer, page);

    EXPECT_TRUE(bus.Disconnect(RegisterAddress, 0));
    ASSERT_TRUE(bus.SetActive(false));
    // 9600, 9600, 19200, 38400 went unheard; 57600 was answered.
    std::string log = Log();
    EXPECT_EQ(Count(log, "Retry:"), 4);
    EXPECT_EQ(Count(log, "Retry:4\r\n"), 1);
    EXPECT_TRUE(boxes.empty());

    TRegisterState state = StoppedState();
    ASSERT_EQ(state.plu.size(), 2u);
    EXPECT_EQ(state.plu[1], first);
    EXPECT_EQ(state.plu[3], third);
    EXPECT_TRUE(state.report.empty());
}

TEST_F(SimFlow, FaultsAreRetriedOrFailFast) {
    struct Case {
        QStringList flags;
        bool ok;
        int retries; // -1: at least one
    } cases[] = {
        {{"--silent", "2"}, true, 2},
        {{"--refuse", "3"}, true, 3},
        {{"--bad-checksum", "2"}, true, 2},
        {{"--noise", "40"}, true, 0},
        {{"--split"}, true, 0},
        {{"--late", "300"}, true, -1},
        {{"--silent", "7"}, false, 6},
        {{"--hangup-after", "3"}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags.join(' ').toStdString());
        TempProgramDir caseDir;
        TSimProcess caseSim;
        QStringList flags = c.flags;
        flags << "--faults-after"
              << "2";
        ASSERT_TRUE(caseSim.Start(QPLU_SIM_PATH, caseDir.Path("tty"), SystemCfgPath(), flags));
        TTolvIBusComm b;
        b.SetCommName("COM2");
        b.TraceFile = caseDir.Path("DEBUG.LOG");
        b.TimeScale = 0.25;
        b.TraceOn = true;
        ASSERT_TRUE(b.SetActive(true));
        ASSERT_TRUE(b.Connect(RegisterAddress, false));
        Block block;
        for (int i = 0; i < 256; ++i)
            block[size_t(i)] = uint8_t(i);
        QElapsedTimer t;
        t.start();
        bool ok = b.WriteBlock(CmdWriteDepartments, 0, block);
        std::optional<Block> answer;
        ok = ok && (answer = b.ReadBlock(CmdReadDepartments, 0, Block{})).has_value();
        EXPECT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(*answer, block);
        }
        if (!ok && c.retries == 0) {
            // A dead line: no retries, no waiting out the time-outs.
            EXPECT_TRUE(b.PortDead());
            EXPECT_LT(t.elapsed(), 150 * 7);
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(b.Disconnect(RegisterAddress, ok ? 0 : 1));
        ASSERT_TRUE(b.SetActive(false));
        std::string log = ReadFileBytes(caseDir.Path("DEBUG.LOG"));
        if (c.retries >= 0) {
            EXPECT_EQ(Count(log, "Retry:"), c.retries);
        } else {
            EXPECT_GE(Count(log, "Retry:"), 1);
        }
    }
}

TEST_F(SimFlow, ProgramLoadIsRecorded) {
    Start({});
    bus.SetBaudRate(tbr57600);
    ASSERT_TRUE(bus.SetActive(true));
    // Without wake bursts the register refuses program mode, which ends the attempt at once.
    EXPECT_FALSE(bus.Connect(RegisterAddress, true));
    ASSERT_TRUE(bus.SetActive(false));
    EXPECT_EQ(Count(Log(), "Send data"), 1);

    ASSERT_TRUE(bus.SetActive(true));
    ASSERT_TRUE(bus.SendDoubleWakeBurst());
    ASSERT_TRUE(bus.Connect(RegisterAddress, true));
    ASSERT_TRUE(bus.BeginProgramLoad(0x1234));
    ASSERT_TRUE(bus.SendWakeBurst());
    EXPECT_EQ(bus.Comm()->BaudRate(), 57600u);
    for (int n = 16; n < 20; ++n) {
        Block block;
        for (int i = 0; i < 256; ++i)
            block[size_t(i)] = uint8_t(n * 3 + i);
        ASSERT_TRUE(bus.WriteBlock(CmdProgramLoad, uint16_t(n), block));
    }
    ASSERT_TRUE(bus.EndProgramLoad(0xFE00));
    ASSERT_TRUE(bus.SetActive(false));

    TRegisterState state = StoppedState();
    EXPECT_EQ(state.wakeBursts, 3);
    EXPECT_EQ(state.programBegin, std::optional<uint16_t>(0x1234));
    EXPECT_EQ(state.programEnd, std::optional<uint16_t>(0xFE00));
    ASSERT_EQ(state.program.size(), 4u);
    for (int block = 16; block < 20; ++block)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(state.program[block][size_t(i)], uint8_t(block * 3 + i));
}

TEST_F(SimFlow, OpenFailureWhileTheSimulatorHoldsNothing) {
    Start({});
    ASSERT_TRUE(bus.SetActive(true));
    TTolvIBusComm other; // the same port, already taken
    other.SetCommName("COM2");
    std::string shown;
    other.ShowErrorBox = [&](const std::string& text, const ECommsError&) { shown = text; };
    EXPECT_THROW(other.SetActive(true), ECommsError);
    EXPECT_EQ(shown, "Error opening COM2!\r\nplease select other ports.");
    ASSERT_TRUE(bus.SetActive(false));
}

} // namespace
