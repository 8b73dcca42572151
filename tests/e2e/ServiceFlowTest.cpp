// The service exchanges run whole against the simulated register: the packets each run sent
// (read back from its trace), what the register kept, and the texts the user was shown.
#include "LinkTest.h"
#include "MemoryDump.h"
#include "ProgramLoad.h"
#include "RegisterState.h"
#include "ReportUpload.h"
#include "ServiceSim.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "TolvIBus.h"

#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

struct ServiceFlow : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    RecordingProgress progress;
    std::vector<std::string> boxes;
    TRegisterState state = TRegisterState::Default();

    void SetUp() override {
        bus.RetryInterval = 2000;
        bus.SetRetryCount(10);
        // Answers come within 500 ms even on a loaded machine; tests of silence shrink it.
        bus.TimeScale = 0.25;
        bus.TraceOn = true;
        bus.ShowErrorBox = [this](const std::string& text, const ECommsError&) {
            boxes.push_back(text);
        };
        bus.TraceFile = dir.Path("DEBUG.LOG");
    }
    // The register is heard at 9600 and goes on at 115200.
    TPortSettings port{"COM2", 4};
    DumpFiles Files() const { return MemoryDumpFiles(dir.Path()); }
    std::string StatePath() { return dir.Path("state.txt"); }
    void Start(QStringList flags = {}) {
        ASSERT_TRUE(state.Save(StatePath()));
        flags << "--state" << QString::fromStdString(StatePath());
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(), flags));
    }
    // Faults from the given frame on: every later request goes unanswered.
    void StartSilentAfter(int frames) {
        bus.TimeScale = 0.05;
        Start({"--faults-after", QString::number(frames), "--silent", "100000"});
    }
    std::vector<SentPacket> Sent() { return SentPackets(ReadFileBytes(dir.Path("DEBUG.LOG"))); }
    std::vector<std::string> SentKeys() { return Keys(Sent()); }
    TRegisterState Stopped() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState kept;
        std::string error;
        EXPECT_TRUE(kept.Load(StatePath(), &error)) << error;
        return kept;
    }
    static int CountKey(const std::vector<std::string>& keys, const std::string& key) {
        return int(std::count(keys.begin(), keys.end(), key));
    }
};

using Keys_ = std::vector<std::string>;
using Texts = std::vector<std::string>;

std::string Bytes(size_t n, uint32_t seed, bool noZero) {
    std::mt19937 rng(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) {
        c = char(rng());
        if (noZero && c == 0)
            c = 1;
    }
    return bytes;
}

// ---- Link test -------------------------------------------------------------------------------

TEST_F(ServiceFlow, LinkTestConnectsAndDisconnects) {
    Start();
    EXPECT_EQ(RunLinkTest(bus, progress, port), TFlowResult::Done);
    EXPECT_EQ(progress.texts, (Texts{"Connect...", "Disconnect..."}));
    EXPECT_FALSE(progress.visible);
    EXPECT_FALSE(bus.isActive());
    EXPECT_EQ(SentKeys(), (Keys_{"14.1", "14.16", "14.2"}));
    EXPECT_EQ(Sent()[2].data[4], 0); // status 0
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ServiceFlow, LinkTestWithoutAnAnswerShowsTheErrorAndSendsNoDisconnect) {
    StartSilentAfter(0);
    EXPECT_NE(RunLinkTest(bus, progress, port), TFlowResult::Done);
    EXPECT_EQ(progress.texts, (Texts{"Connect...", "!Connect...Error!"}));
    EXPECT_EQ(progress.waits, 1);
    EXPECT_FALSE(bus.isActive());
    Keys_ keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "14.1"), 21); // all rates and retries were tried
    EXPECT_EQ(CountKey(keys, "14.2"), 0);
}

TEST_F(ServiceFlow, PortNoneShowsOnlyTheOpenError) {
    port.name = "COM0";
    EXPECT_NE(RunLinkTest(bus, progress, port), TFlowResult::Done);
    std::string report = "kept";
    EXPECT_NE(UploadReport(bus, progress, port, report), TFlowResult::Done);
    EXPECT_NE(DumpRegisterMemory(bus, progress, port, {0, 1, 0}, Files(), nullptr),
              TFlowResult::Done);
    EXPECT_EQ(report, "kept");
    EXPECT_EQ(progress.shows, 0);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], "Error opening COM0!\r\nplease select other ports.");
}

TEST_F(ServiceFlow, CancelDuringTheLinkTestShowsNoErrorAndClosesThePort) {
    StartSilentAfter(0);
    QTimer::singleShot(150, [this] {
        progress.Close(); // Cancel: the window closes itself and aborts the exchange
        bus.Abort();
    });
    EXPECT_NE(RunLinkTest(bus, progress, port), TFlowResult::Done);
    EXPECT_EQ(progress.texts, (Texts{"Connect..."}));
    EXPECT_EQ(progress.waits, 0);
    EXPECT_FALSE(bus.isActive());
    EXPECT_LT(CountKey(SentKeys(), "14.1"), 21);
}

// ---- Report upload ---------------------------------------------------------------------------

TEST_F(ServiceFlow, ReportBlocksAreJoinedUpToTheirFirstZeroAndThenCleared) {
    struct Case {
        const char* name;
        std::string report;
        int blocksRead;
    };
    const std::string binary = Bytes(600, 7, true) + "<b>bold</b>&amp;";
    const std::string full = Bytes(size_t(ReportBlockCount) * 256, 9, true);
    const Case cases[] = {
        {"binary bytes over three blocks", binary, 4},
        {"no report", "", 1},
        {"564 full blocks", full, ReportBlockCount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir caseDir;
        bus.TraceFile = caseDir.Path("DEBUG.LOG");
        TSimProcess caseSim;
        TRegisterState initial;
        initial.report = c.report;
        ASSERT_TRUE(initial.Save(caseDir.Path("state.txt")));
        ASSERT_TRUE(caseSim.Start(QPLU_SIM_PATH, caseDir.Path("tty"), SystemCfgPath(),
                                  {"--state", QString::fromStdString(caseDir.Path("state.txt"))}));
        RecordingProgress view;
        std::string report = "old";
        ASSERT_EQ(UploadReport(bus, view, port, report), TFlowResult::Done);
        EXPECT_TRUE(report == c.report) << report.size() << " bytes";
        EXPECT_EQ(view.texts,
                  (Texts{"Connect...", "Upload report...", "Clear report...", "Disconnect..."}));
        EXPECT_EQ(view.total, ReportBlockCount);
        EXPECT_EQ(view.current, c.blocksRead);
        std::vector<SentPacket> sent = SentPackets(ReadFileBytes(caseDir.Path("DEBUG.LOG")));
        Keys_ keys = Keys(sent);
        ASSERT_EQ(int(keys.size()), 2 + c.blocksRead + 2);
        for (int i = 0; i < c.blocksRead; ++i)
            EXPECT_EQ(keys[size_t(2 + i)], "7." + std::to_string(i));
        EXPECT_EQ(keys[keys.size() - 2], "6.0");
        EXPECT_EQ(keys.back(), "14.2");
        // The first request carries what the identification read left in DataBuf.
        Block ident = initial.MemoryPage(1, 0);
        EXPECT_TRUE(std::equal(ident.begin(), ident.end(), sent[2].data.begin()));
        ASSERT_TRUE(caseSim.Stop());
        TRegisterState kept;
        ASSERT_TRUE(kept.Load(caseDir.Path("state.txt"), nullptr));
        EXPECT_TRUE(kept.report.empty());
    }
}

TEST_F(ServiceFlow, ReportReadFailureDropsTheTextAndClearsNothing) {
    state.report = Bytes(3000, 3, true);
    StartSilentAfter(2 + 10); // handshake, identification, blocks 0 to 9
    std::string report = "old";
    EXPECT_NE(UploadReport(bus, progress, port, report), TFlowResult::Done);
    EXPECT_EQ(report, "old");
    EXPECT_EQ(progress.texts.back(), "!Upload report...Error!");
    EXPECT_EQ(progress.current, 11);
    Keys_ keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "7.10"), 11); // the first try and 10 retries
    EXPECT_EQ(CountKey(keys, "6.0"), 0);
    EXPECT_EQ(CountKey(keys, "14.2"), 0);
    EXPECT_FALSE(bus.isActive());
    EXPECT_EQ(Stopped().report, state.report);
}

TEST_F(ServiceFlow, ReportClearFailureDropsTheText) {
    state.report = Bytes(300, 4, true);
    StartSilentAfter(2 + 3); // blocks 0, 1 and the empty block 2
    std::string report = "old";
    EXPECT_NE(UploadReport(bus, progress, port, report), TFlowResult::Done);
    EXPECT_EQ(report, "old");
    EXPECT_EQ(progress.texts.back(), "!Clear report...Error!");
    EXPECT_EQ(CountKey(SentKeys(), "14.2"), 0);
}

// ---- Memory dump -----------------------------------------------------------------------------

struct DumpCase {
    const char* name;
    MemoryRange range;
    std::vector<int> pages; // page numbers the requests carry
    const char* firstAddress;
    const char* lastAddress;
};

TEST_F(ServiceFlow, MemoryDumpWritesTheRawPagesAndTheListing) {
    const DumpCase cases[] = {
        {"base 10, one ROM page", {0x10, 1, 0}, {0x10}, "00001000", "000010f0"},
        {"base FFFF, two RAM pages", {0xFFFF, 2, 1}, {0xFFFF, 0}, "00ffff00", "010000f0"},
        {"count 0", {5, 0, 0}, {}, nullptr, nullptr},
        {"negative count", {5, -4, 0}, {}, nullptr, nullptr},
    };
    Start();
    for (const DumpCase& c : cases) {
        SCOPED_TRACE(c.name);
        const DumpFiles files = Files();
        WriteFileBytes(files.binPath, "stale");
        WriteFileBytes(files.logPath, "stale");
        RecordingProgress view;
        std::vector<std::string> opened;
        ASSERT_EQ(DumpRegisterMemory(bus, view, port, c.range, Files(),
                                     [&](const std::string& path) { opened.push_back(path); }),
                  TFlowResult::Done);
        EXPECT_EQ(opened, std::vector<std::string>{files.logPath});
        EXPECT_EQ(view.texts, (Texts{"Connect...", "Receive Data...", "Disconnect..."}));
        std::vector<SentPacket> sent = Sent();
        ASSERT_EQ(sent.size(), 2 + c.pages.size() + 1);
        std::string expectBin;
        for (size_t i = 0; i < c.pages.size(); ++i) {
            const SentPacket& request = sent[2 + i];
            EXPECT_EQ(request.Key(), "14.16");
            EXPECT_EQ(request.data[0], c.pages[i] & 0xFF);
            EXPECT_EQ(request.data[1], c.pages[i] >> 8);
            EXPECT_EQ(request.data[2], c.range.area * 16);
            EXPECT_TRUE(std::all_of(request.data.begin() + 3, request.data.end(),
                                    [](uint8_t b) { return b == 0; }));
            Block page = state.MemoryPage(c.range.area, c.pages[i]);
            expectBin.append(reinterpret_cast<const char*>(page.data()), 256);
        }
        EXPECT_EQ(sent.back().Key(), "14.2");
        EXPECT_EQ(sent.back().data[4], 0);
        EXPECT_TRUE(ReadFileBytes(files.binPath) == expectBin);
        const std::string log = ReadFileBytes(files.logPath);
        ASSERT_EQ(log.size(), c.pages.size() * 16 * 76);
        if (c.firstAddress) {
            EXPECT_EQ(log.substr(0, 10), std::string(c.firstAddress) + "  ");
            EXPECT_EQ(log.substr(log.size() - 76, 10), std::string(c.lastAddress) + "  ");
            EXPECT_EQ(log.substr(0, 76),
                      PageListing(uint32_t(c.range.base) * 256,
                                  reinterpret_cast<const uint8_t*>(expectBin.data()))
                          .substr(0, 76));
        }
    }
}

TEST_F(ServiceFlow, MemoryDumpFailureEndsTheConnectionAndKeepsTheOldListing) {
    StartSilentAfter(2 + 2); // pages 0 and 1 come, page 2 does not
    const DumpFiles files = Files();
    WriteFileBytes(files.logPath, "previous listing");
    bool opened = false;
    EXPECT_NE(
        DumpRegisterMemory(bus, progress, port, {0, 4, 0}, Files(), [&](auto&) { opened = true; }),
        TFlowResult::Done);
    EXPECT_FALSE(opened);
    EXPECT_EQ(progress.texts.back(), "!Receive Data...Error!");
    EXPECT_EQ(ReadFileBytes(files.binPath).size(), 512u);
    EXPECT_EQ(ReadFileBytes(files.logPath), "previous listing");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(files.logPath + ".part")));
    std::vector<SentPacket> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().Key(), "14.2");
    EXPECT_EQ(sent.back().data[4], 1);
}

TEST_F(ServiceFlow, MemoryDumpFilesThatCannotBeWritten) {
    Start();
    const DumpFiles files = Files();
    // No TEMP.BIN: the pages are read and listed all the same.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(files.binPath)));
    std::vector<std::string> opened, errors;
    auto open = [&](const std::string& path) { opened.push_back(path); };
    auto error = [&](const std::string& text) { errors.push_back(text); };
    EXPECT_EQ(DumpRegisterMemory(bus, progress, port, {0, 2, 0}, Files(), open, error),
              TFlowResult::Done);
    EXPECT_EQ(ReadFileBytes(files.logPath).size(), 2u * 16 * 76);
    EXPECT_EQ(opened.size(), 1u);
    // No room for the listing: the user is told, nothing is opened, the connection ended well.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(files.logPath + ".part")));
    EXPECT_NE(DumpRegisterMemory(bus, progress, port, {0, 2, 0}, Files(), open, error),
              TFlowResult::Done);
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Cannot write " + files.logPath + ": ", 0), 0u) << errors[0];
    std::vector<SentPacket> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().data[4], 0);
}

TEST_F(ServiceFlow, MemoryDumpConnectFailureEndsTheConnectionFirst) {
    StartSilentAfter(0);
    EXPECT_NE(DumpRegisterMemory(bus, progress, port, {0, 1, 0}, Files(), nullptr),
              TFlowResult::Done);
    EXPECT_EQ(progress.texts, (Texts{"Connect...", "!Connect...Error!"}));
    std::vector<SentPacket> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().Key(), "14.2");
    EXPECT_EQ(sent.back().data[4], 1);
}

// ---- Program and font download ---------------------------------------------------------------

struct FileMessagesLog {
    int beeps = 0;
    std::vector<std::string> errors;
    TFileMessages Hooks() {
        return {[this] { ++beeps; }, [this](const std::string& text) { errors.push_back(text); }};
    }
};

TEST_F(ServiceFlow, ProgramImageGoesFromTheFirstBlockOnBetweenTheLoadMarkers) {
    Start();
    std::string image = Bytes(20 * 256, 11, false);
    image[image.size() - 4] = 0x78;
    image[image.size() - 3] = 0x56;
    WriteFileBytes(dir.Path("prog.hex"), image);
    uint32_t sum = 0;
    for (char c : image)
        sum += uint8_t(c);
    FileMessagesLog messages;
    ASSERT_EQ(DownloadProgram(bus, progress, port, dir.Path("prog.hex"), 16, messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(progress.texts,
              (Texts{"Wait 1 second...", "Connect...", "Download Program...", "Disconnect..."}));
    EXPECT_EQ(progress.total, 4);
    EXPECT_FALSE(bus.isActive());
    std::vector<SentPacket> sent = Sent();
    EXPECT_EQ(Keys(sent), (Keys_{"wake", "wake", "14.1", "14.16", "15.0", "wake", "15.16", "15.17",
                                 "15.18", "15.19", "15.1"}));
    EXPECT_EQ(sent[2].data[11], 0); // the handshake asks for program mode
    EXPECT_EQ(sent[4].data[0], 0x78);
    EXPECT_EQ(sent[4].data[1], 0x56);
    EXPECT_EQ(sent.back().data[0], sum & 0xFF);
    EXPECT_EQ(sent.back().data[1], (sum >> 8) & 0xFF);
    TRegisterState kept = Stopped();
    EXPECT_EQ(kept.wakeBursts, 3);
    EXPECT_EQ(kept.programBegin, std::optional<uint16_t>(0x5678));
    EXPECT_EQ(kept.programEnd, std::optional<uint16_t>(uint16_t(sum)));
    ASSERT_EQ(kept.program.size(), 4u);
    for (int block = 16; block < 20; ++block)
        EXPECT_EQ(0, std::memcmp(kept.program[block].data(), image.data() + block * 256, 256))
            << block;
}

TEST_F(ServiceFlow, ProgramImageSizes) {
    struct Case {
        const char* name;
        int64_t size;
        bool refused;
        Keys_ keys;
    } cases[] = {
        {"1000 bytes", 1000, true, {}},
        {"one byte past 16 MiB of blocks", MaxProgramImageSize + 256, true, {}},
        {"16 blocks, all below the first",
         4096,
         false,
         {"wake", "wake", "14.1", "14.16", "15.0", "wake", "15.1"}},
        {"empty", 0, false, {"wake", "wake", "14.1", "14.16", "15.0", "wake", "15.1"}},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(dir.Path("DEBUG.LOG").c_str());
        const std::string path = dir.Path("image.hex");
        WriteFileBytes(path, "");
        ASSERT_EQ(truncate(path.c_str(), c.size), 0); // sparse: zero bytes
        FileMessagesLog messages;
        RecordingProgress view;
        EXPECT_EQ(DownloadProgram(bus, view, port, path, 16, messages.Hooks()) == TFlowResult::Done,
                  !c.refused);
        if (c.refused) {
            EXPECT_EQ(messages.beeps, 1);
            EXPECT_EQ(messages.errors, std::vector<std::string>{"Not a valid file!"});
            EXPECT_EQ(view.shows, 0);
            EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path("DEBUG.LOG"))));
            continue;
        }
        EXPECT_EQ(view.total, 0);
        std::vector<SentPacket> sent = Sent();
        EXPECT_EQ(Keys(sent), c.keys);
        EXPECT_EQ(sent.back().data[0], 0); // a file of zero bytes sums to 0
        EXPECT_EQ(sent[4].data[0], 0);
    }
    FileMessagesLog messages;
    EXPECT_NE(DownloadProgram(bus, progress, port, dir.Path("gone.hex"), 16, messages.Hooks()),
              TFlowResult::Done);
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_NE(messages.errors[0].find("gone.hex"), std::string::npos);
    EXPECT_EQ(progress.shows, 0);
}

TEST_F(ServiceFlow, ProgramLoadFailuresShowTheirStepWord) {
    struct Case {
        const char* name;
        QStringList flags;
        std::string text;
    } cases[] = {
        {"connect", {"--silent", "100000"}, "!Connect...Error!"},
        {"begin refused", {"--faults-after", "2", "--refuse", "100000"}, "!Connect...Error!"},
        {"block", {"--faults-after", "4", "--silent", "100000"}, "!Download Program...Error!"},
        {"end", {"--faults-after", "7", "--silent", "100000"}, "!Disconnect...Error!"},
    };
    bus.TimeScale = 0.05;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramDir caseDir;
        bus.TraceFile = caseDir.Path("DEBUG.LOG");
        WriteFileBytes(caseDir.Path("prog.hex"), Bytes(20 * 256, 5, false));
        TSimProcess caseSim;
        ASSERT_TRUE(caseSim.Start(QPLU_SIM_PATH, caseDir.Path("tty"), SystemCfgPath(), c.flags));
        RecordingProgress view;
        FileMessagesLog messages;
        EXPECT_NE(DownloadProgram(bus, view, port, caseDir.Path("prog.hex"), 16, messages.Hooks()),
                  TFlowResult::Done);
        EXPECT_EQ(view.texts.back(), c.text);
        EXPECT_EQ(view.waits, 1);
        EXPECT_FALSE(bus.isActive());
        Keys_ keys = Keys(SentPackets(ReadFileBytes(caseDir.Path("DEBUG.LOG"))));
        EXPECT_EQ(CountKey(keys, "14.2"), 0);
    }
}

TEST_F(ServiceFlow, CancelDuringTheWakePauseEndsSilently) {
    Start();
    WriteFileBytes(dir.Path("prog.hex"), Bytes(20 * 256, 5, false));
    bus.TimeScale = 1; // a real one-second pause to cancel in
    QTimer::singleShot(400, [this] {
        progress.Close();
        bus.Abort();
    });
    FileMessagesLog messages;
    EXPECT_NE(DownloadProgram(bus, progress, port, dir.Path("prog.hex"), 16, messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(progress.texts, (Texts{"Wait 1 second..."}));
    EXPECT_EQ(progress.waits, 0);
    EXPECT_FALSE(bus.isActive());
    EXPECT_EQ(SentKeys(), (Keys_{"wake"}));
}

// A Cancel handled between two blocks reaches Abort() outside any wait, where the next exchange
// would clear it; the closed window must still end the load.
TEST_F(ServiceFlow, CancelBetweenBlocksStopsTheLoad) {
    Start();
    WriteFileBytes(dir.Path("prog.hex"), Bytes(20 * 256, 5, false));
    WriteFileBytes(dir.Path("a.fnt"), Bytes(1000, 6, false));
    FileMessagesLog messages;
    progress.cancelAtPackage = 2;
    EXPECT_NE(DownloadProgram(bus, progress, port, dir.Path("prog.hex"), 16, messages.Hooks()),
              TFlowResult::Done);
    Keys_ keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "15.17"), 1);
    EXPECT_EQ(CountKey(keys, "15.18"), 0);
    EXPECT_EQ(CountKey(keys, "15.1"), 0);
    EXPECT_FALSE(bus.isActive());
    EXPECT_NE(DownloadFont(bus, progress, port, dir.Path("a.fnt"), messages.Hooks()),
              TFlowResult::Done);
    keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "2.1"), 1);
    EXPECT_EQ(CountKey(keys, "2.2"), 0);
    EXPECT_EQ(CountKey(keys, "14.2"), 0);
    EXPECT_TRUE(messages.errors.empty());

    // The same for report blocks and memory pages: the read after the Cancel is not made.
    std::string report = "old";
    progress.cancelAtPackage = 1;
    EXPECT_NE(UploadReport(bus, progress, port, report), TFlowResult::Done);
    EXPECT_EQ(CountKey(SentKeys(), "7.0"), 0);
    EXPECT_EQ(report, "old");
    EXPECT_NE(DumpRegisterMemory(bus, progress, port, {0, 3, 0}, Files(), nullptr),
              TFlowResult::Done);
    keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "14.16"), 1); // the identification read only
    EXPECT_EQ(keys.back(), "14.2");
}

TEST_F(ServiceFlow, FontBlocksAreNumberedFromZero) {
    Start();
    const std::string font = Bytes(300, 21, false);
    WriteFileBytes(dir.Path("a.fnt"), font);
    WriteFileBytes(dir.Path("empty.fnt"), "");
    FileMessagesLog messages;
    ASSERT_EQ(DownloadFont(bus, progress, port, dir.Path("empty.fnt"), messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(SentKeys(), (Keys_{"14.1", "14.16", "14.2"}));
    EXPECT_EQ(progress.total, 0);
    ASSERT_EQ(DownloadFont(bus, progress, port, dir.Path("a.fnt"), messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(SentKeys(), (Keys_{"14.1", "14.16", "2.0", "2.1", "14.2"}));
    EXPECT_EQ(progress.texts.back(), "Disconnect...");
    EXPECT_EQ(progress.total, 2);
    EXPECT_NE(DownloadFont(bus, progress, port, dir.Path("none.fnt"), messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(messages.errors.size(), 1u);
    // One byte more than 65536 blocks would wrap the block numbers onto block 0.
    WriteFileBytes(dir.Path("huge.fnt"), "");
    ASSERT_EQ(truncate(dir.Path("huge.fnt").c_str(), MaxFontSize + 1), 0);
    EXPECT_NE(DownloadFont(bus, progress, port, dir.Path("huge.fnt"), messages.Hooks()),
              TFlowResult::Done);
    ASSERT_EQ(messages.errors.size(), 2u);
    EXPECT_EQ(messages.errors[1], "Not a valid file!");
    EXPECT_EQ(messages.beeps, 1);
    TRegisterState kept = Stopped();
    ASSERT_EQ(kept.font.size(), 2u);
    EXPECT_EQ(0, std::memcmp(kept.font[0].data(), font.data(), 256));
    // The last 44 bytes replace only the start; the rest is the previous block's.
    EXPECT_EQ(0, std::memcmp(kept.font[1].data(), font.data() + 256, 44));
    EXPECT_EQ(0, std::memcmp(kept.font[1].data() + 44, font.data() + 44, 212));
}

TEST_F(ServiceFlow, FontBlockFailureSendsNoDisconnect) {
    StartSilentAfter(3);
    WriteFileBytes(dir.Path("a.fnt"), Bytes(600, 2, false));
    FileMessagesLog messages;
    EXPECT_NE(DownloadFont(bus, progress, port, dir.Path("a.fnt"), messages.Hooks()),
              TFlowResult::Done);
    EXPECT_EQ(progress.texts.back(), "!Download font...Error!");
    Keys_ keys = SentKeys();
    EXPECT_EQ(CountKey(keys, "2.1"), 11);
    EXPECT_EQ(CountKey(keys, "14.2"), 0);
}

} // namespace
