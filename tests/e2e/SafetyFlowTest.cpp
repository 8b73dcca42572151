// The safety net against the simulated register: a comparison that finds exactly the changed
// fields and none of the layouts' losses, "send these changes" seen by the register as only
// the blocks that hold them, backup and restore giving back the same register, and a failure
// midway in each that leaves nothing half-written and names the step.
#include "Backup.h"
#include "ChangedDownload.h"
#include "Comparison.h"
#include "Ini.h"
#include "TransferFixture.h"

#include <QDir>

#include <csignal>
#include <sys/resource.h>

namespace {

// Twelve items, their sales counters, departments, package prices and parameters.
TRegisterState PreparedRegister() {
    std::string text = "decimals 2\n";
    for (int n = 1; n <= 12; ++n)
        text += "plu " + std::to_string(n) + " barcode=" + std::to_string(100 + n) +
                " price=" + std::to_string(n) + ".25 dept=2 stocks=1.000 flag=0 name=\"REG " +
                std::to_string(n) + "\"\n";
    text += "sales barcode=101 quantity=1.000 total=9.99\n";
    for (int d = 1; d <= 8; ++d)
        text += "dept " + std::to_string(d) + " tax=1 price=1.00 name=\"REGDEPT\"\n";
    for (int n = 1; n <= 100; ++n)
        text += "recy " + std::to_string(n) + " price=0.50\n";
    text += "param Header1=FROM REGISTER\nparam ClerkName1=REGCLERK\nparam Tax-free=3\n";
    TRegisterState state;
    std::string error;
    EXPECT_TRUE(state.ParseText(text, &error)) << error;
    return state;
}

std::vector<std::string> Lines(const TComparison& c) {
    std::vector<std::string> lines;
    for (const TDifference& d : c.differences)
        lines.push_back(DifferenceLine(d));
    return lines;
}

struct SafetyFlow : TransferFixture {
    SafetyFlow() { SetDecimalSeparator('.'); }
    std::string Root() { return dir.Path("backups"); }
    // The document and SYSTEM.CFG as the register holds them.
    void UploadEverything() {
        TTransferContext up = Context(AllKinds, 1, 12);
        ASSERT_EQ(RunUpload(up), TFlowResult::Done);
    }
    // The register with its write log emptied, and these flags.
    void RestartSim(QStringList flags = {"--rate", "0"}) {
        TRegisterState state = StoppedState();
        state.writes.clear();
        StartSim(state, flags);
    }
};

TEST_F(SafetyFlow, ComparisonFindsExactlyTheChangesAndSendsOnlyTheirBlocks) {
    StartSim(PreparedRegister(), {"--rate", "0"});
    UploadEverything();
    // What a download would not change: more decimals, leading zeros, counters, a padded number.
    plu.Table().Cell(3, 3) = "3.250";
    plu.Table().Cell(4, 1) = "0104";
    plu.Table().Cell(6, 7) = "5.000";
    plu.Table().Cell(6, 8) = "12.00";
    plu.Table().Cell(10, 4) = "02";
    // What it would.
    plu.Table().Cell(5, 3) = "9.99";
    for (int n : {7, 8, 9})
        plu.Table().Cell(n, 2) = "NEW " + std::to_string(n);
    plu.Table().Cell(12, 5) = "2.5";
    dept.Table().Cell(2, 1) = "DAIRY";
    recy[11].price = "1.75";
    ASSERT_TRUE(IniWriteString(SystemCfgPath(), "Default", "Header1", "NEW HEADER"));
    const TextTable pluBefore = plu.Table();
    const std::string cfgBefore = ReadFileBytes(SystemCfgPath());

    ProgressWatcher watcher(progress);
    TTransferContext ctx = Context(AllKinds, 1, 12);
    TComparison comparison;
    ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done()) << watcher.errorText;
    ExpectPortClosed();
    EXPECT_EQ(Lines(comparison), (std::vector<std::string>{
                                     "PLU 5 Unit price: PC \"9.99\", register \"5.25\"",
                                     "PLU 7 Name: PC \"NEW 7\", register \"REG 7\"",
                                     "PLU 8 Name: PC \"NEW 8\", register \"REG 8\"",
                                     "PLU 9 Name: PC \"NEW 9\", register \"REG 9\"",
                                     "PLU 12 Stocks: PC \"2.500\", register \"1.000\"",
                                     "department 2 Name: PC \"DAIRY\", register \"REGDEPT\"",
                                     "recycling 12 Package price: PC \"1.75\", register \"0.50\"",
                                     "parameter Header1: PC \"NEW HEADER\", register \"FROM "
                                     "REGISTER\"",
                                 }));
    EXPECT_EQ(comparison.identification, "QUORVE SIM ECR 1.0");
    // The document and SYSTEM.CFG are as they were.
    for (int r = 1; r <= 12; ++r)
        for (int c = 1; c <= 8; ++c)
            EXPECT_EQ(plu.Cell(r, c), pluBefore.Cell(r, c));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), cfgBefore);

    RestartSim();
    ASSERT_TRUE(SendChanges(ctx, comparison).Done()) << watcher.errorText;
    ExpectPortClosed();
    TRegisterState state = StoppedState();
    const std::vector<TWriteHeard> written{
        {CmdWritePlu, 0, {5}},        {CmdWritePlu, 1, {7, 8, 9}}, {CmdWritePlu, 2, {12}},
        {CmdWriteDepartments, 0, {}}, {CmdWriteRecycling, 0, {}},  {CmdWriteRecycling, 1, {}},
        {CmdWriteRecycling, 2, {}},   {CmdWriteRecycling, 3, {}},  {CmdWriteRecycling, 4, {}},
        {CmdWriteRecycling, 5, {}},   {CmdWriteRecycling, 6, {}},  {CmdWriteParameters, 0, {}},
        {CmdWriteParameters, 1, {}}};
    EXPECT_EQ(state.writes, written);
    // Each record is the one a full download sends.
    for (int n : {5, 7, 8, 9, 12}) {
        PluRowTexts row;
        for (int c = 1; c <= 8; ++c)
            row[size_t(c - 1)] = plu.Cell(n, c);
        std::array<uint8_t, PluRecordSize> record{};
        EncodePluRecord(row, ctx.status, record);
        EXPECT_EQ(state.plu.at(n), record) << "PLU " << n;
    }

    StartSim(state, {"--rate", "0"});
    ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done());
    EXPECT_TRUE(comparison.Equal()) << Lines(comparison).front();
}

TEST_F(SafetyFlow, BackupAndRestoreGiveBackTheSameRegister) {
    const TRegisterState original = PreparedRegister();
    StartSim(original, {"--rate", "0"});
    ProgressWatcher watcher(progress);
    TBackupInfo first;
    ASSERT_TRUE(BackUpRegister(bus, progress, port, {Root(), 1, 40, 20}, first).Done())
        << watcher.errorText;
    ExpectPortClosed();
    EXPECT_EQ(first.manifest.identification, "QUORVE SIM ECR 1.0");
    EXPECT_EQ(std::tie(first.manifest.pluItems, first.manifest.departments,
                       first.manifest.packagePrices, first.manifest.salesRecords),
              std::make_tuple(12, 8, 100, 1));
    EXPECT_NE(ReadFileBytes(first.folder + "/register.PLU")
                  .find("101\tREG 1\t1.25\t2\t1.000\t0\t"
                        "1.000\t9.99"),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(first.folder + "/parameters.ini").find("Header1=FROM REGISTER"),
              std::string::npos);

    // The register changes behind the backup's back.
    TRegisterState changed = StoppedState();
    const RegisterStatus status{2, 0};
    EncodePluRecord({"999", "CHANGED", "7.00", "3", "0", "1", "0", "0"}, status, changed.plu[3]);
    changed.images[{"dept", 0}][0] = 'X';
    changed.images[{"recy", 0}][12] = 0x77;
    changed.images[{"param", 0}][45] = 'Y';
    StartSim(changed, {"--rate", "0"});
    TComparison comparison;
    ASSERT_TRUE(RestoreBackup(bus, progress, port, first.folder, nullptr, comparison).Done())
        << watcher.errorText;
    EXPECT_EQ(comparison.differences.size(), 9u);
    const TRegisterState restored = StoppedState();
    EXPECT_EQ(restored.plu, original.plu);
    EXPECT_EQ(restored.images, original.images);
    EXPECT_EQ(restored.sales, original.sales);
    // Under a comma the backup's number texts still mean what they meant.
    SetDecimalSeparator(',');
    TRegisterState quiet = restored;
    quiet.writes.clear();
    StartSim(quiet, {"--rate", "0"});
    ASSERT_TRUE(RestoreBackup(bus, progress, port, first.folder, nullptr, comparison).Done());
    EXPECT_TRUE(comparison.Equal()) << DifferenceLine(comparison.differences.front());
    SetDecimalSeparator('.');
    EXPECT_TRUE(StoppedState().writes.empty());

    StartSim(restored, {"--rate", "0"});
    TBackupInfo second;
    ASSERT_TRUE(BackUpRegister(bus, progress, port, {Root(), 1, 40, 20}, second).Done());
    EXPECT_NE(second.folder, first.folder);
    for (const char* file : {"register.PLU", "register.DEP", "register.RCY", "parameters.ini"})
        EXPECT_EQ(ReadFileBytes(second.folder + "/" + file),
                  ReadFileBytes(first.folder + "/" + file))
            << file;
    EXPECT_EQ(ListBackups(Root()).size(), 2u);
}

// ---- A failure midway ----

enum class Flow { Compare, Send, Backup, Restore };

struct FailureCase {
    const char* name;
    Flow flow;
    QStringList faults; // the register's faults for the flow that fails
    std::string error;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class SafetyFailure : public SafetyFlow, public ::testing::WithParamInterface<FailureCase> {};

// Frames answered before the kinds: handshake, identification, status.
QStringList SilentAfter(int frames) {
    return {"--rate", "0", "--silent", "7", "--faults-after", QString::number(frames)};
}

TEST_P(SafetyFailure, LeavesNothingHalfWrittenAndNamesTheStep) {
    const FailureCase& c = GetParam();
    StartSim(PreparedRegister(), {"--rate", "0"});
    UploadEverything();
    plu.Table().Cell(5, 2) = "PC 5";
    const std::string cfgBefore = ReadFileBytes(SystemCfgPath());
    TTransferContext ctx = Context(AllKinds, 1, 12);
    TComparison comparison;
    TBackupInfo made;
    if (c.flow == Flow::Send) {
        ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done());
    }
    if (c.flow == Flow::Restore) {
        ASSERT_TRUE(BackUpRegister(bus, progress, port, {Root(), 1, 12, 20}, made).Done());
    }
    const auto entriesBefore =
        QDir(QString::fromStdString(Root()))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    RestartSim(c.faults);

    ProgressWatcher watcher(progress);
    TFlowOutcome outcome;
    switch (c.flow) {
    case Flow::Compare:
        outcome = CompareWithRegister(ctx, comparison);
        break;
    case Flow::Send:
        outcome = SendChanges(ctx, comparison);
        break;
    case Flow::Backup:
        outcome = BackUpRegister(bus, progress, port, {Root(), 1, 12, 20}, made);
        break;
    case Flow::Restore:
        outcome = RestoreBackup(bus, progress, port, made.folder, nullptr, comparison);
        break;
    }
    EXPECT_EQ(outcome.result, TFlowResult::RegisterFailed);
    EXPECT_EQ(outcome.errorText, c.error);
    EXPECT_EQ(watcher.errorText, c.error) << "the user saw it";
    ExpectPortClosed();
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), cfgBefore);
    EXPECT_EQ(plu.Cell(5, 2), "PC 5");
    EXPECT_EQ(QDir(QString::fromStdString(Root()))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              entriesBefore)
        << "no backup folder, finished or not";
    const TRegisterState state = StoppedState();
    if (c.flow != Flow::Send) {
        EXPECT_TRUE(state.writes.empty()) << "a reading writes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Flows, SafetyFailure,
    ::testing::Values(
        // Frames: 3 to open, PLU blocks 4-6, department 7, recycling 8-14, parameters 15-16.
        FailureCase{"Compare", Flow::Compare, SilentAfter(4), "Upload:PLU...Error!"},
        FailureCase{"Send", Flow::Send, SilentAfter(3), "Download:PLU...Error!"},
        FailureCase{"Backup", Flow::Backup, SilentAfter(9), "Upload:recycling...Error!"},
        FailureCase{"Restore", Flow::Restore, SilentAfter(6), "Upload:department...Error!"}),
    [](const auto& info) { return std::string(info.param.name); });

// A disk that takes no more: the backup's files are never half there.
TEST_F(SafetyFlow, BackupThatCannotWriteLeavesNoFolder) {
    StartSim(PreparedRegister(), {"--rate", "0"});
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Root())));
    ProgressWatcher watcher(progress);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = previous;
    tiny.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    TBackupInfo made;
    const TFlowOutcome outcome = BackUpRegister(bus, progress, port, {Root(), 1, 12, 20}, made);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(outcome.result, TFlowResult::FileFailed);
    EXPECT_EQ(outcome.errorText, "Upload:parameter...Error!");
    EXPECT_TRUE(QDir(QString::fromStdString(Root()))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    ExpectPortClosed();
}

// The folder's own reason, not what an earlier call happened to leave in errno.
TEST_F(SafetyFlow, ABackupFolderThatCannotBeMadeTellsWhy) {
    WriteFileBytes(Root(), "a file where the folder should be");
    errno = EAGAIN;
    TBackupInfo made;
    const TFlowOutcome outcome =
        BackUpRegister(bus, progress, port, {Root() + "/shop", 1, 12, 20}, made);
    EXPECT_EQ(outcome.result, TFlowResult::FileFailed);
    EXPECT_EQ(outcome.errorText, Root() + "/shop: Invalid filename (Not a directory)");
}

} // namespace
