// The comparison of the document with what the register sent, without a register: every loss
// of the record layouts is no difference, every real change is one, with the texts the list
// shows; and how differing PLU numbers become write blocks.
#include "Comparison.h"
#include "ChangedDownload.h"

#include "SheetTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Sides {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    ParameterSet pcParameters = ParameterSet::Defaults();
    TRegisterCopy reg;

    explicit Sides(int decimals, int plus = 4) {
        InitialRecyTable(recy);
        reg.kinds = AllKinds;
        reg.rangeBegin = 1;
        reg.rangeEnd = plus;
        reg.status.Decimals = uint8_t(decimals);
        std::array<uint8_t, PluRecordSize> empty;
        empty.fill(0xFF);
        reg.plu.assign(size_t(plus), empty);
        reg.parameters = EncodeParameterImage(ParameterSet::Defaults());
    }
    // The register holds the row as a download of these texts leaves it.
    void Held(int plu, const PluRowTexts& row) {
        EncodePluRecord(row, reg.status, reg.plu[size_t(plu - 1)]);
    }
    void Pc(int plu, const PluRowTexts& row) {
        for (int col = 1; col <= 8; ++col)
            this->plu.Cell(plu, col) = row[size_t(col - 1)];
    }
    TComparison Compare() const {
        return CompareWithRegister(plu, dept, recy, EncodeParameterImage(pcParameters), reg);
    }
};

// The text under the separator in force.
std::string Local(std::string text) {
    std::replace(text.begin(), text.end(), '.', DecimalSeparator());
    return text;
}

std::vector<std::string> Lines(const TComparison& c) {
    std::vector<std::string> lines;
    for (const TDifference& d : c.differences)
        lines.push_back(DifferenceLine(d));
    return lines;
}

struct PluCase {
    const char* why;
    int decimals;
    PluRowTexts pc;
    std::optional<PluRowTexts> held; // none: an empty slot
    std::vector<std::string> lines;
};

const PluRowTexts Milk{"5900000000001", "MILK", "1.25", "2", "1.000", "0", "0", "0"};

PluRowTexts With(PluRowTexts row, int col, std::string text) {
    row[size_t(col - 1)] = std::move(text);
    return row;
}

TEST(Comparison, OnlyWhatADownloadWouldChangeIsADifference) {
    const PluRowTexts empty{"", "", "0.00", "1", "0.000", "0", "0", "0"};
    const std::vector<PluCase> cases{
        {"the same item", 2, Milk, Milk, {}},
        {"a name cut at 18 bytes",
         2,
         With(Milk, 2, "TWENTY CHARACTERS!!"),
         With(Milk, 2, "TWENTY CHARACTERS!"),
         {}},
        {"a price with one decimal", 2, With(Milk, 3, "12.5"), With(Milk, 3, "12.50"), {}},
        {"a barcode's leading zeros", 2, With(Milk, 1, "0456"), With(Milk, 1, "456"), {}},
        {"an empty department is sent as 0xFF", 2, With(Milk, 4, ""), With(Milk, 4, "256"), {}},
        {"the sales counters are never sent", 2, With(With(Milk, 7, "5"), 8, "9.99"), Milk, {}},
        {"stocks with fewer decimals", 2, With(Milk, 5, "-1.5"), With(Milk, 5, "-1.500"), {}},
        {"the flag is one byte", 2, With(Milk, 6, "300"), With(Milk, 6, "44"), {}},
        {"a row without content and an empty slot", 2, empty, std::nullopt, {}},
        {"a changed price",
         2,
         With(Milk, 3, "1.30"),
         Milk,
         {"PLU 1 Unit price: PC \"1.30\", register \"1.25\""}},
        {"a third decimal the two-decimal texts hide",
         3,
         With(Milk, 3, "1.234"),
         With(Milk, 3, "1.231"),
         {"PLU 1 Unit price: PC \"1.234\", register \"1.231\""}},
        {"an item the register lacks",
         2,
         Milk,
         std::nullopt,
         {"PLU 1 Barcode: PC \"5900000000001\", register \"\"",
          "PLU 1 Name: PC \"MILK\", register \"\"",
          "PLU 1 Unit price: PC \"1.25\", register \"0.00\"",
          "PLU 1 Department: PC \"2\", register \"1\"",
          "PLU 1 Stocks: PC \"1.000\", register \"0.000\""}},
        {"an item the document lacks",
         2,
         empty,
         With(Milk, 1, "77"),
         {"PLU 1 Barcode: PC \"\", register \"77\"", "PLU 1 Name: PC \"\", register \"MILK\"",
          "PLU 1 Unit price: PC \"0.00\", register \"1.25\"",
          "PLU 1 Department: PC \"1\", register \"2\"",
          "PLU 1 Stocks: PC \"0.000\", register \"1.000\""}},
        {"every field",
         2,
         PluRowTexts{"12", "B", "2.00", "3", "2.000", "1", "0", "0"},
         Milk,
         {"PLU 1 Barcode: PC \"12\", register \"5900000000001\"",
          "PLU 1 Name: PC \"B\", register \"MILK\"",
          "PLU 1 Unit price: PC \"2.00\", register \"1.25\"",
          "PLU 1 Department: PC \"3\", register \"2\"",
          "PLU 1 Stocks: PC \"2.000\", register \"1.000\"",
          "PLU 1 Flag: PC \"1\", register \"0\""}},
    };
    SeparatorScope locale('.');
    for (const PluCase& c : cases) {
        Sides sides(c.decimals, 1);
        sides.Pc(1, c.pc);
        if (c.held)
            sides.Held(1, *c.held);
        const TComparison comparison = sides.Compare();
        EXPECT_EQ(Lines(comparison), c.lines) << c.why;
        EXPECT_EQ(comparison.changedPlus, c.lines.empty() ? std::vector<int>{} : std::vector{1})
            << c.why;
    }
}

TEST(Comparison, DepartmentsPackagePricesAndParameters) {
    SeparatorScope locale(',');
    Sides sides(2, 0);
    sides.reg.kinds = AllKinds;
    // Register: department 3 named, the tax of department 8 empty on both sides.
    std::array<DeptRowTexts, DeptCount> held;
    for (int d = 0; d < DeptCount; ++d)
        held[size_t(d)] = {"", "1", "0,00"};
    held[2] = {"BAKERY", "2", "1,50"};
    held[7] = {"", "256", "0,00"};
    sides.reg.dept = EncodeDeptBlock(held, sides.reg.status);
    for (int d = 1; d <= DeptCount; ++d)
        for (int col = 1; col <= 3; ++col)
            sides.dept.Cell(d, col) = held[size_t(d - 1)][size_t(col - 1)];
    sides.dept.Cell(3, 1) = "BREAD";
    sides.dept.Cell(8, 2) = "";
    // Package prices go by their number: the later entry numbered 12 wins.
    sides.recy[4].number = "12";
    sides.recy[4].price = "3,00";
    sides.recy[11].price = "2,00";
    // Parameters: a header longer than its 32 bytes, and the tax-free slot moved.
    ParameterSet regParameters = ParameterSet::Defaults();
    regParameters.headers[0] = std::string(32, 'H');
    sides.reg.parameters = EncodeParameterImage(regParameters);
    sides.pcParameters.headers[0] = std::string(40, 'H');
    sides.pcParameters.taxFree = 2;
    sides.pcParameters.vatRates[8] = "05,00";

    const TComparison c = sides.Compare();
    EXPECT_EQ(Lines(c), (std::vector<std::string>{
                            "department 3 Name: PC \"BREAD\", register \"BAKERY\"",
                            "recycling 12 Package price: PC \"2,00\", register \"0,00\"",
                            "parameter VAT3: PC \"tax-free\", register \"00,00\"",
                            "parameter VAT9: PC \"05,00\", register \"tax-free\"",
                        }));
    EXPECT_EQ(ComparisonSummary(c), "PLU: no difference; department: 1 difference in 1 item; "
                                    "recycling: 1 difference in 1 item; parameter: 2 differences");
    EXPECT_TRUE(c.changedPlus.empty());
    EXPECT_FALSE(c.KindDiffers(KindPLU));
    EXPECT_TRUE(c.KindDiffers(KindParameter));
}

// A backup written with two decimals cannot say more of a register's third: what it could say
// is no difference, anything else is, and the document's own comparison takes every decimal.
TEST(Comparison, AmountsOfTwoDecimalTextsAgainstARegisterWithThree) {
    struct Case {
        int decimals;
        const char* pc;
        const char* held;
        int amountDecimals;
        bool differs;
    } cases[] = {
        {3, "1.23", "1.234", 2, false},
        {3, "1.24", "1.235", 2, false}, // written as 1.24
        {3, "1.23", "1.236", 2, true},
        {3, "1.23", "1.234", MaxDecimals, true},
        {3, "2147483.65", "2147483.647", 2,
         false}, // beyond 32 bits when read back {0, "12.00", "12", 2, false},
        {0, "12.00", "13", 2, true},
        {2, "1.23", "1.24", 2, true},
    };
    SeparatorScope locale(',');
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pc) + " / " + c.held + " at " + std::to_string(c.decimals));
        Sides sides(c.decimals, 1);
        const std::string pc = Local(c.pc), held = Local(c.held);
        sides.Pc(1, With(Milk, 3, pc));
        sides.Held(1, With(Milk, 3, held));
        std::array<DeptRowTexts, DeptCount> rows;
        rows.fill({"", "1", held});
        sides.reg.dept = EncodeDeptBlock(rows, sides.reg.status);
        for (int d = 1; d <= DeptCount; ++d)
            sides.dept.Cell(d, 3) = pc;
        std::vector<RecyEntryTexts> entries;
        for (int n = 1; n <= RecyclingEntries; ++n)
            entries.emplace_back(std::to_string(n), held);
        sides.reg.recy = EncodeRecyclingImage(entries, sides.reg.status);
        for (RecyEntry& entry : sides.recy)
            entry.price = pc;
        const TComparison comparison = CompareWithRegister(sides.plu, sides.dept, sides.recy,
                                                           EncodeParameterImage(sides.pcParameters),
                                                           sides.reg, c.amountDecimals);
        const int each = c.differs ? 1 : 0;
        EXPECT_EQ(comparison.differencesOfKind,
                  (std::array<int, 4>{each, DeptCount * each, RecyclingEntries * each, 0}));
    }
}

TEST(Comparison, ParameterKeysFollowTheUploadsOrder) {
    EXPECT_EQ(ParameterFieldKey(0), "-% rate");
    EXPECT_EQ(ParameterFieldKey(2 + 10), "Flag12");
    EXPECT_EQ(ParameterFieldKey(2 + 32 + 5 + 2 + 10), "Print Speed");
    EXPECT_EQ(ParameterFieldKey(ParameterFieldCount - 1), "VAT9");
}

TEST(ChangedDownload, DifferingNumbersGoInRunsOfAtMostThree) {
    const struct {
        std::vector<int> plus;
        std::vector<TPluBlock> blocks;
    } cases[] = {
        {{}, {}},
        {{5}, {{5, 5}}},
        {{5, 7}, {{5, 5}, {7, 7}}},
        {{5, 6, 7, 8}, {{5, 7}, {8, 8}}},
        {{1, 2, 4, 5, 6, 7, 10000}, {{1, 2}, {4, 6}, {7, 7}, {10000, 10000}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangedPluBlocks(c.plus), c.blocks) << c.plus.size() << " numbers";
}

} // namespace
