// Every failure of a download or upload, produced by the simulated register: the error text the
// user sees, the end-of-connection packets the register hears, the port closed afterwards and
// what the document, SYSTEM.CFG and the register hold. And Cancel in the middle of each kind.
#include "Ini.h"
#include "TransferFixture.h"

#include <QElapsedTimer>

#include <csignal>
#include <sys/resource.h>

namespace {

// Thirty items with barcodes 100..129, their sales counters, departments, package prices and
// parameters, written as a person prepares a register.
TRegisterState PreparedRegister() {
    std::string text = "decimals 2\n";
    for (int n = 1; n <= 30; ++n)
        text += "plu " + std::to_string(n) + " barcode=" + std::to_string(99 + n) +
                " price=" + std::to_string(n) + ".25 dept=2 stocks=1.000 flag=0 name=\"REG " +
                std::to_string(n) + "\"\n";
    for (int n = 1; n <= 20; ++n)
        text += "sales barcode=" + std::to_string(99 + n) + " quantity=1.000 total=9.99\n";
    for (int d = 1; d <= 8; ++d)
        text += "dept " + std::to_string(d) + " tax=1 price=1.00 name=\"REGDEPT\"\n";
    for (int n = 1; n <= 100; ++n)
        text += "recy " + std::to_string(n) + " price=0.50\n";
    text += "param Header1=FROM REGISTER\nparam ClerkName1=REGCLERK\n";
    TRegisterState state;
    std::string error;
    EXPECT_TRUE(state.ParseText(text, &error)) << error;
    return state;
}

const char* const Marker = "PC TEXT";

std::string PluName(const TRegisterState& state, int plu) {
    return GetTextField(std::span(state.plu.at(plu)).subspan(7, PluNameWidth));
}

std::string DeptName(const TRegisterState& state, int d) {
    return GetTextField(std::span(state.images.at({"dept", 0})).subspan(32 * (d - 1), 18));
}
// In units of the register's money.
uint32_t RecyPrice(const TRegisterState& state, int n) {
    const int at = (n - 1) * RecyclingEntrySize + 9;
    const Block& block = state.images.at({"recy", at / BlockSize});
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | block[size_t(at % BlockSize + i)];
    return value;
}
std::string Header1(const TRegisterState& state) {
    return GetTextField(std::span(state.images.at({"param", 0})).subspan(45, 32));
}
std::string ClerkName1(const TRegisterState& state) {
    return GetTextField(std::span(state.images.at({"param", 1})).subspan(412 - 256, 10));
}

void MarkDocument(TransferFixture& f) {
    for (int k = 1; k < RecyEntryCount; ++k)
        f.recy[size_t(k)].price = "2.00";
    for (int r = 1; r <= 30; ++r)
        for (int col = 1; col <= 8; ++col)
            f.plu.Table().Cell(r, col) = Marker;
    for (int d = 1; d <= 8; ++d)
        f.dept.Table().Cell(d, 1) = Marker;
    f.recy[0].price = Marker;
}

struct FaultCase {
    const char* name;
    bool upload;
    std::vector<int> kinds;
    QStringList flags;
    int decimals;
    std::string error;
    // End-of-connection packets on the line, all with status 1. The register answers the first
    // when it is connected and then listens at its idle rate again: 1 + 3 x 3 packets, or up to
    // 12 when the first answer comes late; never answered: 12.
    int disconnectFrames;
    std::function<void(TransferFixture&, const TRegisterState&)> check;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

int RowsWith(const TransferFixture& f, int col, const std::string& text) {
    int n = 0;
    for (int r = 1; r <= 30; ++r)
        n += f.plu.Cell(r, col) == text;
    return n;
}

// Frames answered before the kinds start: handshake, identification, status.
const QString Opening = "3";
QString After(int blocks) {
    return QString::number(3 + blocks);
}

std::vector<FaultCase> FaultCases() {
    const QStringList silent{"--silent", "7", "--faults-after"};
    return {
        // The register answers another address: the handshake is never acknowledged and the
        // four end-of-connection packets go unanswered, three tries each.
        {"DownloadConnect",
         false,
         {0},
         {"--rate", "4", "--address", "1234"},
         2,
         "Connect...Error!",
         12,
         [](TransferFixture&, const TRegisterState& s) { EXPECT_EQ(PluName(s, 1), "REG 1"); }},
        {"DownloadStatus",
         false,
         {0},
         silent + QStringList{"2"},
         2,
         "Check ecr status...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) { EXPECT_EQ(PluName(s, 1), "REG 1"); }},
        {"DownloadTenDecimals",
         false,
         {0},
         {},
         10,
         "Check ecr status...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) { EXPECT_EQ(PluName(s, 1), "REG 1"); }},
        {"DownloadPluBlock6",
         false,
         {0, 1},
         silent + QStringList{After(5)},
         2,
         "Download:PLU...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) {
             // Five blocks of three arrived.
             EXPECT_EQ(PluName(s, 15), Marker);
             EXPECT_EQ(PluName(s, 16), "REG 16");
             EXPECT_EQ(DeptName(s, 1), "REGDEPT"); // the later kind is not sent
         }},
        {"DownloadDepartments",
         false,
         {1, 2},
         silent + QStringList{Opening},
         2,
         "Download:department...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) {
             EXPECT_EQ(DeptName(s, 1), "REGDEPT");
             EXPECT_EQ(RecyPrice(s, 2), 50u);
         }},
        {"DownloadRecyclingBlock3",
         false,
         {2},
         silent + QStringList{After(3)},
         2,
         "Download:recycling...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) {
             EXPECT_EQ(RecyPrice(s, 48), 200u); // blocks 0 to 2
             EXPECT_EQ(RecyPrice(s, 49), 50u);  // block 3 on
             EXPECT_EQ(RecyPrice(s, 100), 50u);
         }},
        {"DownloadParametersBlock0",
         false,
         {3},
         silent + QStringList{Opening},
         2,
         "Download:parameter...Error!",
         10,
         [](TransferFixture&, const TRegisterState& s) {
             // The second block still goes after the first failed.
             EXPECT_EQ(Header1(s), "FROM REGISTER");
             EXPECT_EQ(ClerkName1(s), "");
         }},
        {"UploadConnect",
         true,
         {0},
         {"--rate", "4", "--address", "1234"},
         2,
         "Connect...Error!",
         12,
         [](TransferFixture& f, const TRegisterState&) { EXPECT_EQ(RowsWith(f, 2, Marker), 30); }},
        {"UploadStatus",
         true,
         {0},
         silent + QStringList{"2"},
         2,
         "Check ecr status...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) { EXPECT_EQ(RowsWith(f, 2, Marker), 30); }},
        {"UploadTenDecimals",
         true,
         {1},
         {},
         10,
         "Check ecr status...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) { EXPECT_EQ(f.dept.Cell(1, 1), Marker); }},
        {"UploadPluItemsBlock6",
         true,
         {0, 1},
         silent + QStringList{After(5)},
         2,
         "Upload:PLU...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) {
             // Blocks 0 to 4 arrived: rows 1 to 20; the rest keep their texts.
             EXPECT_EQ(f.plu.Cell(20, 2), "REG 20");
             EXPECT_EQ(RowsWith(f, 2, Marker), 10);
             EXPECT_EQ(RowsWith(f, 7, Marker), 30); // no counters without phase 2
             EXPECT_EQ(f.dept.Cell(1, 1), Marker);
         }},
        {"UploadSalesBlock2",
         true,
         {0},
         silent + QStringList{After(8 + 1)},
         2,
         "Upload:PLU...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) {
             EXPECT_EQ(RowsWith(f, 2, Marker), 0);
             EXPECT_EQ(f.plu.Cell(30, 3), "30.25");
             EXPECT_EQ(RowsWith(f, 7, Marker), 30); // no counter is set
         }},
        {"UploadDepartments",
         true,
         {1, 2},
         silent + QStringList{Opening},
         2,
         "Upload:department...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) {
             EXPECT_EQ(f.dept.Cell(1, 1), Marker);
             EXPECT_EQ(f.recy[0].price, Marker); // the later kind is not read
         }},
        {"UploadRecyclingBlock3",
         true,
         {2},
         silent + QStringList{After(3)},
         2,
         "Upload:recycling...Error!",
         10,
         [](TransferFixture& f, const TRegisterState&) { EXPECT_EQ(f.recy[0].price, Marker); }},
        {"UploadParametersBlock1",
         true,
         {3},
         silent + QStringList{After(1)},
         2,
         "Upload:parameter...Error!",
         10,
         [](TransferFixture&, const TRegisterState&) {
             EXPECT_EQ(IniFile(SystemCfgPath()).ReadString("Default", "Header1", "?"), "PC SIDE");
         }},
    };
}

class TransferFaults : public TransferFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFaults, ShowTheirTextEndTheConnectionAndClosePort) {
    const FaultCase& c = GetParam();
    SetDecimalSeparator('.');
    TRegisterState initial = PreparedRegister();
    initial.decimals = uint8_t(c.decimals);
    QStringList flags = c.flags;
    if (!flags.contains("--rate"))
        flags << "--rate"
              << "0";
    StartSim(initial, flags);
    ASSERT_TRUE(IniWriteString(SystemCfgPath(), "Default", "Header1", "PC SIDE"));
    const std::string cfgBefore = ReadFileBytes(SystemCfgPath());
    MarkDocument(*this);

    ProgressWatcher watcher(progress);
    KindSet kinds;
    for (int kind : c.kinds)
        kinds.set(size_t(kind));
    TTransferContext ctx = Context(kinds, 1, 30);
    const TFlowResult result = c.upload ? RunUpload(ctx) : RunDownload(ctx);

    EXPECT_EQ(result, TFlowResult::RegisterFailed);
    EXPECT_TRUE(watcher.okPressed);
    EXPECT_EQ(watcher.errorText, c.error);
    EXPECT_EQ(watcher.titles.back(), c.error);
    ExpectPortClosed();
    EXPECT_NE(ReadFileBytes(dir.Path("DEBUG.LOG")), "");
    EXPECT_TRUE(boxes.empty());
    if (c.upload && c.kinds == std::vector<int>{3}) {
        EXPECT_EQ(ReadFileBytes(SystemCfgPath()), cfgBefore);
    }

    const TRegisterState state = StoppedState();
    EXPECT_GE(state.disconnects.size(), size_t(c.disconnectFrames));
    EXPECT_LE(state.disconnects.size(), 12u);
    EXPECT_EQ(state.disconnects, std::vector<uint8_t>(state.disconnects.size(), 1));
    c.check(*this, state);
}

INSTANTIATE_TEST_SUITE_P(Cases, TransferFaults, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Cancel ----

struct CancelCase {
    const char* name;
    bool upload;
    int kind;
    int afterPackage; // Cancel once this package is under way (0: at once)
};

void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}

class TransferCancel : public TransferFixture, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(TransferCancel, EndsQuietlyWithThePortClosed) {
    const CancelCase& c = GetParam();
    SetDecimalSeparator('.');
    port.baudIndex = 0; // 9600 on a paced line: every block takes about a third of a second
    bus.TimeScale = 1;
    StartSim(PreparedRegister(), {"--rate", "0", "--wire-time"});
    ASSERT_TRUE(IniWriteString(SystemCfgPath(), "Default", "Header1", "PC SIDE"));
    const std::string cfgBefore = ReadFileBytes(SystemCfgPath());
    MarkDocument(*this);

    const char* const names[] = {"PLU", "department", "recycling", "parameter"};
    const std::string title =
        std::string(c.upload ? "Upload:" : "Download:") + names[c.kind] + "...";
    ProgressWatcher watcher(progress);
    QElapsedTimer sinceCancel;
    watcher.cancelWhen = [&] {
        const bool now = !watcher.titles.empty() && watcher.titles.back() == title &&
                         watcher.CurrentPackage() >= c.afterPackage;
        if (now)
            sinceCancel.start();
        return now;
    };
    KindSet kinds;
    kinds.set(size_t(c.kind));
    if (c.kind < 3)
        kinds.set(size_t(c.kind + 1)); // a later kind that must not run
    TTransferContext ctx = Context(kinds, 1, 30);
    const TFlowResult result = c.upload ? RunUpload(ctx) : RunDownload(ctx);

    EXPECT_EQ(result, TFlowResult::Cancelled);
    std::string shown;
    for (const std::string& t : watcher.titles)
        shown += t + " | ";
    ASSERT_TRUE(watcher.cancelPressed) << shown << watcher.errorText;
    // The exchange ends at once; the four end-of-connection packets then take their 100 ms
    // tries each, as the register answers only after the packet's wire time.
    EXPECT_LT(sinceCancel.elapsed(), 2000);
    EXPECT_FALSE(watcher.okPressed);
    EXPECT_EQ(progress.ProgressState(), ProgressStates::Closed);
    for (const std::string& shown : watcher.titles)
        EXPECT_EQ(shown.find("Error"), std::string::npos) << shown;
    EXPECT_EQ(watcher.titles.back(), title);
    ExpectPortClosed();

    const TRegisterState state = StoppedState();
    ASSERT_GE(state.disconnects.size(), 4u);
    for (uint8_t status : state.disconnects)
        EXPECT_EQ(status, 1);
    if (!c.upload) {
        // The later kind is not sent.
        if (c.kind == 0) {
            EXPECT_EQ(DeptName(state, 1), "REGDEPT");
        }
        if (c.kind == 1) {
            EXPECT_EQ(RecyPrice(state, 2), 50u);
        }
        if (c.kind == 2) {
            EXPECT_EQ(Header1(state), "FROM REGISTER");
        }
        if (c.kind == 0) {
            EXPECT_EQ(PluName(state, 1), Marker);
            EXPECT_EQ(PluName(state, 30), "REG 30"); // later blocks are not sent
        }
        if (c.kind == 3) {
            EXPECT_EQ(ClerkName1(state), "REGCLERK"); // the second block not sent after Cancel
        }
    } else {
        if (c.kind == 0) {
            EXPECT_GT(RowsWith(*this, 2, Marker), 0);
        }
        if (c.kind == 0) {
            EXPECT_EQ(dept.Cell(1, 1), Marker); // the later kind is not read
        }
        if (c.kind == 1) {
            EXPECT_EQ(recy[0].price, Marker);
        }
        if (c.kind == 3) {
            EXPECT_EQ(ReadFileBytes(SystemCfgPath()), cfgBefore);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferCancel,
                         ::testing::Values(CancelCase{"DownloadPLU", false, 0, 2},
                                           CancelCase{"DownloadDepartments", false, 1, 0},
                                           CancelCase{"DownloadRecycling", false, 2, 2},
                                           CancelCase{"DownloadParameters", false, 3, 0},
                                           CancelCase{"UploadPLU", true, 0, 2},
                                           CancelCase{"UploadDepartments", true, 1, 0},
                                           CancelCase{"UploadRecycling", true, 2, 2},
                                           CancelCase{"UploadParameters", true, 3, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// SYSTEM.CFG that cannot be written: the parameters arrived but are not kept, and the user is
// told so instead of seeing a successful upload.
using ParameterStore = TransferFixture;

TEST_F(ParameterStore, AnUnwritableSettingsFileFailsTheParameterStep) {
    StartSim(PreparedRegister(), {"--rate", "0"});
    const std::string cfgBefore = ReadFileBytes(SystemCfgPath());
    ProgressWatcher watcher(progress);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = previous;
    tiny.rlim_cur = 16; // every file write beyond 16 bytes fails
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    TTransferContext ctx = Context(Kinds({3}));
    const TFlowResult result = RunUpload(ctx);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, TFlowResult::FileFailed);
    EXPECT_EQ(ctx.fileError, EFBIG);
    EXPECT_EQ(watcher.errorText, "Upload:parameter...Error!");
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), cfgBefore);
    ExpectPortClosed();
}

} // namespace
