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

// ---- Every decimal setting, on a range that does not start at 1 ----

// An amount that needs all of the register's decimals: 5 gives 5, 5.25 or 5.234.
std::string Amount(int whole, int decimals) {
    static const char* const fractions[] = {"", ".2", ".25", ".234"};
    return std::to_string(whole) + fractions[decimals];
}

// Fourteen items (PLU 8 without a barcode), the sales of PLU 5, departments, package prices and
// parameters, every amount with all of the register's decimals.
TRegisterState RegisterAt(int decimals) {
    std::string text = "decimals " + std::to_string(decimals) + "\n";
    for (int n = 1; n <= 14; ++n)
        text += "plu " + std::to_string(n) +
                " barcode=" + (n == 8 ? "0" : std::to_string(100 + n)) +
                " price=" + Amount(n, decimals) + " dept=2 stocks=-54321.600 flag=0 name=\"REG " +
                std::to_string(n) + "\"\n";
    text += "sales barcode=105 quantity=1.000 total=" + Amount(9, decimals) + "\n";
    for (int d = 1; d <= 8; ++d)
        text += "dept " + std::to_string(d) + " tax=1 price=" + Amount(d, decimals) +
                " name=\"REGDEPT " + std::to_string(d) + "\"\n";
    for (int n = 1; n <= 100; ++n)
        text += "recy " + std::to_string(n) + " price=" + Amount(n, decimals) + "\n";
    text += "param Header1=FROM REGISTER\n";
    TRegisterState state;
    std::string error;
    EXPECT_TRUE(state.ParseText(text, &error)) << error;
    return state;
}

struct DecimalsCase {
    int decimals;
    std::string price;     // PLU 6's new price on the PC: its last decimal one higher
    std::string priceLine; // and how the comparison shows it
    std::string recyLine;  // package price 7 made 0 on the PC
    std::string storedRow; // PLU 5 as the backup's register.PLU holds it
};

void PrintTo(const DecimalsCase& c, std::ostream* out) {
    *out << c.decimals << " decimals";
}

class SafetyDecimals : public SafetyFlow, public ::testing::WithParamInterface<DecimalsCase> {
protected:
    // The document and SYSTEM.CFG as the register holds PLU 5 to 12, amounts with all their
    // decimals (a document loaded from a file may hold them).
    void DocumentOfTheRegister(int decimals) {
        TTransferContext up = Context(AllKinds, 5, 12);
        ASSERT_EQ(RunUpload(up), TFlowResult::Done);
        for (int n = 5; n <= 12; ++n)
            plu.Table().Cell(n, 3) = Amount(n, decimals);
        for (int d = 1; d <= 8; ++d)
            dept.Table().Cell(d, 3) = Amount(d, decimals);
        for (int n = 1; n <= 100; ++n)
            recy[size_t(n - 1)].price = Amount(n, decimals);
    }
};

TEST_P(SafetyDecimals, CompareSendBackupAndRestoreAreExact) {
    const DecimalsCase& c = GetParam();
    const TRegisterState original = RegisterAt(c.decimals);
    StartSim(original, {"--rate", "0"});
    DocumentOfTheRegister(c.decimals);
    EXPECT_EQ(plu.Cell(8, 1), "") << "no barcode on the register, none in the document";
    ProgressWatcher watcher(progress);

    // Compare: exactly the changes, at the register's own decimals.
    TTransferContext ctx = Context(AllKinds, 5, 12);
    TComparison comparison;
    ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done()) << watcher.errorText;
    EXPECT_TRUE(comparison.Equal()) << Lines(comparison).front();
    plu.Table().Cell(6, 3) = c.price;
    plu.Table().Cell(9, 2) = "NEW 9";
    plu.Table().Cell(12, 1) = "";
    dept.Table().Cell(3, 1) = "DAIRY";
    recy[6].price = "0";
    RestartSim();
    ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done()) << watcher.errorText;
    EXPECT_EQ(Lines(comparison), (std::vector<std::string>{
                                     c.priceLine,
                                     "PLU 9 Name: PC \"NEW 9\", register \"REG 9\"",
                                     "PLU 12 Barcode: PC \"\", register \"112\"",
                                     "department 3 Name: PC \"DAIRY\", register \"REGDEPT 3\"",
                                     c.recyLine,
                                 }));

    // Send the PLU items and departments, not the package prices.
    RestartSim();
    ASSERT_TRUE(SendChanges(ctx, comparison, Kinds({KindPLU, KindDepartment})).Done())
        << watcher.errorText;
    TRegisterState sent = StoppedState();
    EXPECT_EQ(sent.writes, (std::vector<TWriteHeard>{{CmdWritePlu, 0, {6}},
                                                     {CmdWritePlu, 1, {9}},
                                                     {CmdWritePlu, 2, {12}},
                                                     {CmdWriteDepartments, 0, {}}}));
    for (int n : {1, 2, 3, 4, 5, 7, 8, 10, 11, 13, 14})
        EXPECT_EQ(sent.plu.at(n), original.plu.at(n)) << "PLU " << n << " untouched";
    sent.writes.clear();
    StartSim(sent, {"--rate", "0"});
    ASSERT_TRUE(CompareWithRegister(ctx, comparison).Done());
    EXPECT_EQ(comparison.differencesOfKind, (std::array<int, 4>{0, 0, 1, 0}));

    // Back up 5 to 12 with every decimal, and put it back over a changed register.
    TBackupInfo backup;
    ASSERT_TRUE(BackUpRegister(bus, progress, port, {Root(), 5, 12, 20}, backup).Done());
    EXPECT_EQ(backup.manifest.decimals, c.decimals);
    const std::string stored = ReadFileBytes(backup.folder + "/register.PLU");
    EXPECT_NE(stored.find("\r\n" + c.storedRow + "\r\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("\r\n\tREG 8\t"), std::string::npos) << "PLU 8 without a barcode";
    EXPECT_EQ(backup.manifest.namedPluItems, 8);
    TRegisterState changed = StoppedState();
    const TRegisterState backedUp = changed;
    EncodePluRecord({"999", "CHANGED", "1", "3", "0", "1", "0", "0"}, {uint8_t(c.decimals), 0},
                    changed.plu[7]);
    changed.images[{"dept", 0}][0] = 'X';
    changed.images[{"recy", 0}][16 + 12] ^= 1;
    StartSim(changed, {"--rate", "0"});
    ASSERT_TRUE(RestoreBackup(bus, progress, port, backup.folder, nullptr, comparison).Done())
        << watcher.errorText;
    EXPECT_EQ(comparison.differences.size(), 8u) << Lines(comparison).front();
    TRegisterState restored = StoppedState();
    EXPECT_EQ(restored.plu, backedUp.plu);
    EXPECT_EQ(restored.images, backedUp.images);

    // Onto the register as the backup left it: nothing to send.
    restored.writes.clear();
    StartSim(restored, {"--rate", "0"});
    ASSERT_TRUE(RestoreBackup(bus, progress, port, backup.folder, nullptr, comparison).Done());
    EXPECT_TRUE(comparison.Equal()) << Lines(comparison).front();
    restored = StoppedState();
    EXPECT_TRUE(restored.writes.empty());

    // A register that counts money with other decimals takes nothing of it.
    restored.decimals = uint8_t(c.decimals == 2 ? 3 : 2);
    StartSim(restored, {"--rate", "0"});
    const TFlowOutcome refused =
        RestoreBackup(bus, progress, port, backup.folder, nullptr, comparison);
    EXPECT_EQ(refused.result, TFlowResult::RegisterFailed);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.errorText, "the backup was made with " + std::to_string(c.decimals) +
                                     " decimal" + (c.decimals == 1 ? "" : "s") +
                                     " and the register counts money with " +
                                     std::to_string(restored.decimals) +
                                     ": its prices would change, so nothing was sent");
    ExpectPortClosed();
    EXPECT_TRUE(StoppedState().writes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, SafetyDecimals,
    ::testing::Values(DecimalsCase{0, "7", "PLU 6 Unit price: PC \"7.00\", register \"6.00\"",
                                   "recycling 7 Package price: PC \"0.00\", register \"7.00\"",
                                   "105\tREG 5\t5.00\t2\t-54321.600\t0\t1.000\t9.00"},
                      DecimalsCase{2, "6.26", "PLU 6 Unit price: PC \"6.26\", register \"6.25\"",
                                   "recycling 7 Package price: PC \"0.00\", register \"7.25\"",
                                   "105\tREG 5\t5.25\t2\t-54321.600\t0\t1.000\t9.25"},
                      DecimalsCase{3, "6.235", "PLU 6 Unit price: PC \"6.235\", register \"6.234\"",
                                   "recycling 7 Package price: PC \"0.000\", register \"7.234\"",
                                   "105\tREG 5\t5.234\t2\t-54321.600\t0\t1.000\t9.234"}),
    [](const auto& info) { return std::to_string(info.param.decimals) + "Decimals"; });

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
