// Download of a whole document to the simulated register and upload back: what comes back, and
// exactly where the register's layouts lose what the document held.
#include "DocumentCheck.h"
#include "Ini.h"
#include "TransferFixture.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

struct RoundTripCase {
    int decimals;
    char separator;
};

std::string Dec(const std::string& whole, const std::string& fraction) {
    return whole + DecimalSeparator() + fraction;
}

std::string TwoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n % 100);
    return text;
}

// A row that travels without loss at every number of decimals the case uses.
PluRowTexts PlainRow(int r, int decimals) {
    return {std::to_string(2000000000000LL + r),
            "ITEM " + std::to_string(r) + "\xC8\xE9\xF8\xBE",
            Dec(std::to_string(r % 997), decimals >= 2 ? TwoDigits(r) : "00"),
            std::to_string(1 + r % 8),
            FormatFixed((r % 50 - 10) + 0.25, 3),
            std::to_string(r % 10),
            "0",
            "0"};
}

// Rows the layouts change: what is put in, and what comes back at 0, 2 and 3 decimals.
struct LossRow {
    int row;
    int col;
    std::string in;
    std::string back0, back2, back3;
    const char* why;
};

std::vector<LossRow> LossRows() {
    return {
        {2, 1, "0456", "456", "456", "456", "a barcode is a number: leading zeros go"},
        {3, 4, "", "256", "256", "256", "an empty department is sent as 0xFF"},
        {4, 3, Dec("12", "5"), Dec("12", "00"), Dec("12", "50"), Dec("12", "50"),
         "prices come back with two decimals; at 0 decimals a half goes to the even neighbour"},
        {5, 3, Dec("1", "234"), Dec("1", "00"), Dec("1", "23"), Dec("1", "23"),
         "more decimals than the register keeps are rounded, and only two are shown"},
        {6, 2, "TWENTY CHARACTERS!!", "TWENTY CHARACTERS!", "TWENTY CHARACTERS!",
         "TWENTY CHARACTERS!", "names are cut at 18 bytes"},
        {7, 7, Dec("5", "000"), "0", "0", "0", "the sold quantity is not sent"},
        {7, 8, Dec("99", "99"), "0", "0", "0", "the sold total is not sent"},
        {8, 5, Dec("-1", "5"), Dec("-1", "500"), Dec("-1", "500"), Dec("-1", "500"),
         "stocks come back with three decimals"},
        {9, 6, "300", "44", "44", "44", "the flag is one byte"},
        {13, 1, "-5", "", "", "", "a negative barcode has no packed form and is sent as 0"},
        {10, 1, "123456789012345", "23456789012345", "23456789012345", "23456789012345",
         "a barcode keeps 14 digits"},
    };
}

void FillDocument(TransferFixture& f, int decimals) {
    TextTable& table = f.plu.Table();
    for (int r = 1; r <= 10000; ++r) {
        const PluRowTexts row = PlainRow(r, decimals);
        for (int col = 1; col <= 8; ++col)
            table.Cell(r, col) = row[size_t(col - 1)];
    }
    table.Cell(1, 2) = "\xA5\xB9\xC6\xE6\x8C\x9C\xA3\xB3\xCA\xEA\xD1\xF1\xD3\xF3\x8F\x9F\xAF\xBF";
    table.Cell(11, 7) = Dec("7", "000"); // replaced by the register's counters
    for (const LossRow& loss : LossRows())
        table.Cell(loss.row, loss.col) = loss.in;
    // Outside the range: the upload's reset leaves defaults there.
    table.Cell(10001, 2) = "BEYOND";

    TextTable& d = f.dept.Table();
    for (int n = 1; n <= DeptRowCount; ++n) {
        d.Cell(n, 1) = "DEPT\xE8\xF9 " + std::to_string(n);
        d.Cell(n, 2) = std::to_string(n);
        d.Cell(n, 3) = Dec(std::to_string(n * 3), decimals >= 2 ? TwoDigits(n * 7) : "00");
    }
    d.Cell(1, 1) = "EIGHTEEN CHARS \xC8\xC8\xC8";
    d.Cell(8, 2) = ""; // comes back as 256

    for (int k = 0; k < RecyEntryCount; ++k)
        f.recy[size_t(k)] = {std::to_string(k + 1),
                             Dec(std::to_string(k + 1), decimals >= 2 ? TwoDigits(k) : "00")};
    // Entries are placed by their number: 12 appears twice (the later wins), 0 is not sent,
    // so numbers 21 and 31 come back empty.
    f.recy[30] = {"12", Dec("4", "00")};
    f.recy[20] = {"0", Dec("8", "00")};
}

// The register's sales counters, written as a person would prepare them.
std::string SalesLines() {
    return "sales barcode=2000000000011 quantity=2.000 total=25\n"
           "sales barcode=2000000000012 quantity=1.000 total=1\n"
           "sales barcode=9999 quantity=4.000 total=4\n"          // no such row: dropped
           "sales barcode=0 quantity=4.000 total=4\n"             // no barcode: skipped
           "sales barcode=2000000000012 quantity=3.500 total=7\n" // the later record wins
           "sales barcode=456 quantity=-1.250 total=3\n";         // matches the uploaded text
}

struct ParamKey {
    std::string key, in, back;
};

std::vector<ParamKey> ParamKeys() {
    return {
        {"-% rate", Dec("05", "00"), Dec("05", "00")},
        {"+% rate", Dec("12", "5"), Dec("12", "50")},
        {"Flag00", "1", "1"},
        {"Flag12", "1", "1"},
        {"Flag37", "1", "1"},
        {"Flag21", "0", "0"},
        {"Header1", "THANK YOU \xC8\xE9", "THANK YOU \xC8\xE9"},
        {"Header5", "A HEADER LINE OF FORTY CHARACTERS LONG!!", "A HEADER LINE OF FORTY CHARACTER"},
        {"Tail2", "BYE", "BYE"},
        {"BCode3", "7", "7"},
        {"Print Speed", "3", "3"},
        {"ClerkPWD1", "1234", "1234"},
        {"ClerkPWD2", "abc", "0"},      // not a number
        {"ClerkPWD3", "70000", "4464"}, // 16 bits
        {"ClerkName4", "J\xD3ZEF", "J\xD3ZEF"},
        {"VAT1", Dec("23", "00"), Dec("23", "00")},
        {"VAT2", Dec("8", "5"), Dec("08", "50")},
        {"VAT3", Dec("19", "00"), "kept"}, // the tax-free slot carries the mark, not this key
        {"Tax-free", "2", "2"},
    };
}

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.decimals << " decimals, '" << c.separator << "'";
}

class RoundTrip : public TransferFixture, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, FullDocumentComesBackExceptWhereTheLayoutsLoseIt) {
    const RoundTripCase c = GetParam();
    SetDecimalSeparator(c.separator);
    TRegisterState initial = TRegisterState::Default();
    initial.decimals = uint8_t(c.decimals);
    std::string error;
    TRegisterState withSales;
    ASSERT_TRUE(withSales.ParseText(initial.Text() + SalesLines(), &error)) << error;
    StartSim(withSales, {"--rate", "0"});

    FillDocument(*this, c.decimals);
    {
        IniFile cfg(SystemCfgPath());
        for (const ParamKey& key : ParamKeys())
            cfg.WriteString("Default", key.key, key.in);
        ASSERT_TRUE(cfg.Save());
    }
    const TextTable sentPlu = plu.Table();
    const TextTable sentDept = dept.Table();
    const RecyTable sentRecy = recy;

    ProgressWatcher watcher(progress);
    TTransferContext down = Context(Kinds({0, 1, 2, 3}), 1, 10000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunDownload(down), TFlowResult::Done);
    ExpectPortClosed();
    EXPECT_FALSE(watcher.okPressed) << watcher.errorText;
    EXPECT_EQ(down.status.Decimals, c.decimals);
    EXPECT_EQ(down.status.SalesRecordCount, 6u);
    const std::vector<std::string> downTitles{"Connect...",
                                              "Check ecr status...",
                                              "Download:PLU...",
                                              "Download:department...",
                                              "Download:recycling...",
                                              "Download:parameter...",
                                              "Disconnect..."};
    EXPECT_EQ(watcher.titles, downTitles);

    // What the register holds, readable in its state file.
    ASSERT_TRUE(sim.Stop());
    const std::string stateText = ReadFileBytes(StatePath());
    EXPECT_NE(stateText.find("plu 11 barcode=2000000000011 price="), std::string::npos);
    EXPECT_NE(stateText.find("name=\"ITEM 11\\xc8\\xe9\\xf8\\xbe\""), std::string::npos);
    EXPECT_NE(stateText.find("dept 8 tax=256 "), std::string::npos);
    EXPECT_NE(stateText.find("param ClerkName4=J\xD3ZEF"), std::string::npos);
    EXPECT_NE(stateText.find("disconnect 0"), std::string::npos);
    StartSim(StoppedState(), {"--rate", "0"});

    // A fresh document and parameter section, then everything back.
    plu.Table().ResetRows(1, PLURowCount);
    dept.Table().ResetRows(1, DeptRowCount);
    for (RecyEntry& entry : recy)
        entry.price = "0.00";
    {
        IniFile cfg(SystemCfgPath());
        for (const ParamKey& key : ParamKeys())
            cfg.WriteString("Default", key.key, "kept");
        ASSERT_TRUE(cfg.Save());
    }
    watcher.titles.clear();
    TTransferContext up = Context(Kinds({0, 1, 2, 3}), 1, 10000);
    EXPECT_EQ(RunUpload(up), TFlowResult::Done);
    ExpectPortClosed();
    EXPECT_FALSE(watcher.okPressed) << watcher.errorText;
    EXPECT_EQ(watcher.titles.front(), "Connect...");
    EXPECT_EQ(watcher.titles[2], "Upload:PLU...");
    RecordProperty("round_trip_ms", int(clock.elapsed()));

    // Every cell that the layouts carry comes back as it went.
    std::map<std::pair<int, int>, std::string> expectedCells;
    for (const LossRow& loss : LossRows())
        expectedCells[{loss.row, loss.col}] = c.decimals == 0   ? loss.back0
                                              : c.decimals == 2 ? loss.back2
                                                                : loss.back3;
    // The register's sales counters, matched by barcode text (row 2's as it came back).
    expectedCells[{11, 7}] = Dec("2", "000");
    expectedCells[{11, 8}] = Dec("25", "00");
    expectedCells[{12, 7}] = Dec("3", "500");
    expectedCells[{12, 8}] = Dec("7", "00");
    expectedCells[{2, 7}] = Dec("-1", "250");
    expectedCells[{2, 8}] = Dec("3", "00");
    for (int r = 1; r <= 10000; ++r) {
        for (int col = 1; col <= 8; ++col) {
            std::string expected = col >= 7 ? "0" : sentPlu.Cell(r, col);
            if (auto it = expectedCells.find({r, col}); it != expectedCells.end())
                expected = it->second;
            ASSERT_EQ(plu.Cell(r, col), expected) << "row " << r << " column " << col;
        }
    }
    EXPECT_EQ(plu.Cell(10001, 2), "");

    for (int n = 1; n <= DeptRowCount; ++n)
        for (int col = 1; col <= 3; ++col)
            EXPECT_EQ(dept.Cell(n, col), n == 8 && col == 2 ? "256" : sentDept.Cell(n, col))
                << "department " << n << " column " << col;

    for (int k = 0; k < RecyEntryCount; ++k) {
        EXPECT_EQ(recy[size_t(k)].number, std::to_string(k + 1));
        std::string expected = sentRecy[size_t(k)].price;
        if (k == 20 || k == 30)
            expected = Dec("0", "00"); // numbers 21 and 31 were never sent
        if (k == 11)
            expected = sentRecy[30].price; // the later entry numbered 12
        EXPECT_EQ(recy[size_t(k)].price, expected) << "entry " << k;
    }

    IniFile cfg(SystemCfgPath());
    for (const ParamKey& key : ParamKeys())
        EXPECT_EQ(cfg.ReadString("Default", key.key, "?"), key.back) << key.key;
    EXPECT_EQ(cfg.ReadString("Default", "Flag01", "?"), "0");
    EXPECT_EQ(cfg.ReadString("Ports", "COM2", ""), LinkPath()); // other sections stay
}

// The window's case: four named items sent as PLU 1 to 3000 and read back into the grids. The
// rows sent without a barcode come back without one, so the check a download makes first finds
// nothing (not 2996 repeated barcodes "0").
TEST_F(TransferFixture, UploadedRowsWithoutBarcodesPassTheCheck) {
    SetDecimalSeparator(',');
    StartSim(TRegisterState::Default(), {"--rate", "0"});
    for (int r = 1; r <= 4; ++r)
        plu.Table().Cell(r, 2) = "ITEM " + std::to_string(r);
    plu.Table().Cell(1, 1) = "5900000000001";
    plu.Table().Cell(2, 5) = "-54321,6";
    ProgressWatcher watcher(progress);
    TTransferContext down = Context(Kinds({KindPLU}), 1, 3000);
    ASSERT_EQ(RunDownload(down), TFlowResult::Done) << watcher.errorText;
    plu.Table().ResetRows(1, PLURowCount);
    TTransferContext up = Context(Kinds({KindPLU}), 1, 3000);
    ASSERT_EQ(RunUpload(up), TFlowResult::Done) << watcher.errorText;
    EXPECT_EQ(plu.Cell(1, 1), "5900000000001");
    EXPECT_EQ(plu.Cell(2, 5), "-54321,600");
    std::string problems;
    // The department and package defaults were made under the point.
    for (const CellProblem& p : CheckDocument(plu.Table(), dept.Table(), recy))
        if (p.table == CellProblem::PLU)
            problems += "PLU " + std::to_string(p.row) + ": " + p.reason + "\n";
    EXPECT_EQ(problems, "");
}

INSTANTIATE_TEST_SUITE_P(DecimalsAndSeparators, RoundTrip,
                         ::testing::Values(RoundTripCase{0, ','}, RoundTripCase{2, '.'},
                                           RoundTripCase{2, ','}, RoundTripCase{3, '.'}),
                         [](const auto& info) {
                             return "Decimals" + std::to_string(info.param.decimals) +
                                    (info.param.separator == '.' ? "Point" : "Comma");
                         });

} // namespace
