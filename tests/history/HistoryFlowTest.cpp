// The history against the simulated register: the report kept before the register is told to
// clear it (or left there when it cannot be kept) with the bytes on the line as they always
// were, and the journal entry and sales snapshot an operation leaves.
#include "GridModel.h"
#include "HistoryStore.h"
#include "OperationRecorder.h"
#include "RegisterState.h"
#include "ReportArchive.h"
#include "ReportUpload.h"
#include "ServiceSim.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "Upload.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace {

struct HistoryFlow : ::testing::Test {
    TempProgramDir dir;
    THistoryStore store;
    TRegisterState state = TRegisterState::Default();
    TPortSettings port{"COM2", 4};

    void SetUp() override { ASSERT_TRUE(store.Open(dir.Path("history.sqlite"))); }

    // One run against a register of its own; returns the packets it sent and what the
    // register kept.
    struct Run {
        TFlowResult result;
        std::vector<SentPacket> sent;
        TRegisterState kept;
        RecordingProgress progress;
    };
    Run RunAgainstSim(const std::string& name,
                      const std::function<TFlowResult(TTolvIBusComm&, TProgress&)>& flow) {
        Run run;
        const std::string folder = dir.Path(name);
        QDir().mkpath(QString::fromStdString(folder));
        EXPECT_TRUE(state.Save(folder + "/state.txt"));
        TSimProcess sim;
        EXPECT_TRUE(sim.Start(QPLU_SIM_PATH, folder + "/tty", SystemCfgPath(),
                              {"--state", QString::fromStdString(folder + "/state.txt")}));
        TTolvIBusComm bus;
        bus.TimeScale = 0.25;
        bus.TraceOn = true;
        bus.TraceFile = folder + "/DEBUG.LOG";
        run.result = flow(bus, run.progress);
        EXPECT_TRUE(sim.Stop());
        EXPECT_TRUE(run.kept.Load(folder + "/state.txt", nullptr));
        run.sent = SentPackets(ReadFileBytes(folder + "/DEBUG.LOG"));
        return run;
    }
};

// The handshake carries the PC's clock; every other packet must be the same byte for byte.
std::vector<SentPacket> WithoutHandshakes(std::vector<SentPacket> packets) {
    std::erase_if(packets, [](const SentPacket& p) { return p.Key() == "14.1"; });
    return packets;
}

} // namespace

TEST_F(HistoryFlow, ReportIsArchivedBeforeTheClearWithTheSameBytesOnTheLine) {
    state.report = "   Z REPORT 0042\r\n" + std::string(700, 'x') + "\r\nTOTAL 12.50\r\n";
    const Run plain = RunAgainstSim("plain", [&](TTolvIBusComm& bus, TProgress& progress) {
        std::string report;
        return UploadReport(bus, progress, port, report);
    });
    std::vector<std::string> order;
    QString uuid;
    TReportUpload upload;
    const Run kept = RunAgainstSim("kept", [&](TTolvIBusComm& bus, TProgress& progress) {
        bus.BlockMoved = [&](uint8_t command, uint16_t, const Block&, bool) {
            order.push_back(std::to_string(command));
        };
        const TReportKeeper archive = ArchiveKeeper(&store, &uuid);
        return UploadReport(
            bus, progress, port,
            [&](const TReportRead& read) {
                order.push_back("kept");
                return archive(read);
            },
            upload);
    });
    ASSERT_EQ(kept.result, TFlowResult::Done);
    EXPECT_TRUE(upload.cleared);
    EXPECT_EQ(upload.text, state.report);
    EXPECT_EQ(std::vector<std::string>(order.end() - 2, order.end()),
              (std::vector<std::string>{"kept", std::to_string(CmdClearReport)}));
    const auto a = WithoutHandshakes(plain.sent), b = WithoutHandshakes(kept.sent);
    ASSERT_EQ(Keys(a), Keys(b));
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].data, b[i].data) << "packet " << a[i].Key();
    EXPECT_TRUE(kept.kept.report.empty());
    EXPECT_EQ(kept.progress.texts, plain.progress.texts);

    QString error;
    const auto list = ListReports(store, {}, &error);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].uuid, uuid);
    EXPECT_EQ(list[0].firstLine, "Z REPORT 0042");
    EXPECT_EQ(list[0].registerName, "QUORVE SIM ECR 1.0");
    EXPECT_EQ(list[0].port, "COM2");
    EXPECT_EQ(ArchivedReport(store, list[0].id, &error)->RawText().toStdString(), state.report);
}

TEST_F(HistoryFlow, ReportThatCannotBeKeptStaysInTheRegister) {
    struct Case {
        const char* name;
        std::string report;
        bool keeperAsked;
    } cases[] = {{"a report", "Z REPORT\r\n", true}, {"no report", "", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.report = c.report;
        bool asked = false;
        TReportUpload upload;
        const Run run = RunAgainstSim(c.name, [&](TTolvIBusComm& bus, TProgress& progress) {
            return UploadReport(
                bus, progress, port,
                [&](const TReportRead&) {
                    asked = true;
                    return std::string("database or disk is full");
                },
                upload);
        });
        EXPECT_EQ(run.result, TFlowResult::Done);
        EXPECT_EQ(asked, c.keeperAsked);
        EXPECT_EQ(upload.text, c.report) << "shown all the same";
        EXPECT_EQ(upload.cleared, !c.keeperAsked) << "nothing to lose: cleared as ever";
        const std::vector<std::string> keys = Keys(run.sent);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), "6.0"), c.keeperAsked ? 0 : 1);
        EXPECT_EQ(keys.back(), "14.2");
        EXPECT_EQ(run.kept.report, c.report);
    }
}

// An upload of items and sales counters: one journal entry with what moved, and a snapshot of
// the counters named after the items; then a download whose entry carries the SHA-256 of the
// blocks sent, and a failed run that says which step failed.
TEST_F(HistoryFlow, OperationsLeaveTheirJournalEntryAndSalesSnapshot) {
    SetDecimalSeparator('.');
    const PluRowTexts milk{"5900000000017", "MILK", "2.50", "3", "0.000", "0", "0", "0"};
    EncodePluRecord(milk, {2, 0}, state.plu[6]);
    std::array<uint8_t, 17> sale{};
    EncodePluSalesRecord({5900000000017, 1500, 375}, sale);
    state.sales.assign(20, sale);
    TGridModel plu(MakePLUTable(), PLUTitles);
    TGridModel dept(MakeDeptTable(), DeptTitles);
    RecyTable recy;
    InitialRecyTable(recy);
    const Run up = RunAgainstSim("up", [&](TTolvIBusComm& bus, TProgress& progress) {
        TTransferContext ctx{bus,           progress, plu, dept, recy,
                             KindSet(0b11), 5,        12,  port, dir.Path("SYSTEM.CFG")};
        TOperationRecorder recorder(&store, bus, port, TransferOperation("upload", ctx));
        const TFlowResult result = RunUpload(ctx);
        EXPECT_EQ(recorder.End(result, {}), "");
        return result;
    });
    ASSERT_EQ(up.result, TFlowResult::Done);
    QString error;
    std::vector<TJournalEntry> journal = ListJournal(store, {}, &error);
    ASSERT_EQ(journal.size(), 1u);
    const TJournalEntry& e = journal[0];
    EXPECT_EQ(e.operation, "upload");
    EXPECT_EQ(e.result, "done");
    EXPECT_EQ(e.kinds, "plu,dept");
    EXPECT_EQ(e.rangeBegin, 5);
    EXPECT_EQ(e.rangeEnd, 12);
    EXPECT_EQ(e.registerName, "QUORVE SIM ECR 1.0");
    EXPECT_EQ(e.rate, 115200);
    // The identification, the status, PLU blocks 1 and 2, two sales blocks, the departments.
    EXPECT_EQ(e.blocks, 1 + 1 + 2 + 2 + 1);
    EXPECT_GT(e.bytes, int64_t(up.sent.size()) * WireFrameSize);
    EXPECT_TRUE(e.documentSha256.isEmpty()) << "nothing was sent";
    const auto sold =
        SoldBetween(store, e.started.addSecs(-1), e.ended.addSecs(1), TSalesBy::Item, -1, &error);
    ASSERT_EQ(sold.size(), 1u);
    EXPECT_EQ(sold[0].name, "MILK");
    EXPECT_EQ(sold[0].plu, 6);
    EXPECT_EQ(sold[0].quantity, 1500);
    EXPECT_FALSE(e.snapshotUuid.isEmpty());

    const Run down = RunAgainstSim("down", [&](TTolvIBusComm& bus, TProgress& progress) {
        TTransferContext ctx{bus,          progress, plu, dept, recy,
                             KindSet(0b1), 1,        9,   port, dir.Path("SYSTEM.CFG")};
        TOperationRecorder recorder(&store, bus, port,
                                    TransferOperation("download", ctx, "/shop/shop.PLU"));
        const TFlowResult result = RunDownload(ctx);
        recorder.End(result, {});
        return result;
    });
    QCryptographicHash sent(QCryptographicHash::Sha256);
    for (const SentPacket& p : down.sent)
        if (p.command == CmdWritePlu)
            sent.addData(QByteArrayView(reinterpret_cast<const char*>(p.data.data()), BlockSize));
    journal = ListJournal(store, {}, &error);
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[0].document, "/shop/shop.PLU");
    EXPECT_EQ(journal[0].documentSha256, QString::fromLatin1(sent.result().toHex()));
    EXPECT_EQ(journal[0].blocks, 1 + 1 + 3) << "identification, status, three PLU blocks";

    // Nobody listens: the entry says which step failed.
    TTolvIBusComm bus;
    bus.TimeScale = 0.02;
    RecordingProgress progress;
    const TPortSettings nowhere{dir.Path("no-such-tty"), 4};
    bus.ShowErrorBox = [](const std::string&, const ECommsError&) {};
    TOperationRecorder failing(&store, bus, nowhere, {"test"});
    EXPECT_EQ(failing.End(TFlowResult::PortNotOpened, "Error opening no-such-tty!"), "");
    journal = ListJournal(store, {.failedOnly = true}, &error);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].result, "failed");
    EXPECT_EQ(journal[0].error, "Error opening no-such-tty!");
    EXPECT_EQ(journal[0].blocks, 0);
}
