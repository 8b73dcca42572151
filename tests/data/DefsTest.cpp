#include "Defs.h"

#include <gtest/gtest.h>

namespace {

struct SeparatorScope {
    explicit SeparatorScope(char c) : previous(DecimalSeparator()) { SetDecimalSeparator(c); }
    ~SeparatorScope() { SetDecimalSeparator(previous); }
    char previous;
};

TEST(Defs, IsNumericCharFollowsTheSeparatorAndSignRules) {
    struct Case {
        char separator;
        const char* text;
        char typed;
        bool accepted;
    } cases[] = {
        {'.', "", '5', true},   {'.', "12", '.', true},   {'.', "1.2", '.', false},
        {'.', "12", '-', true}, {'.', "-12", '-', false}, {'.', "12", ',', false},
        {',', "12", ',', true}, {',', "12", '.', false},  {',', "1,5", ',', false},
        {'.', "", 'a', false},  {'.', "", ' ', false},    {'.', "", '+', false},
    };
    for (const Case& c : cases) {
        SeparatorScope scope(c.separator);
        EXPECT_EQ(IsNumericChar(c.text, c.typed), c.accepted)
            << "separator " << c.separator << " text '" << c.text << "' typed " << c.typed;
    }
}

TEST(Defs, ParseFloatReadsOnlyWholeNumbersInTheLocaleForm) {
    struct Case {
        char separator;
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {'.', "12.50", 12.5},         {',', "12,50", 12.5},       {',', "12.50", std::nullopt},
        {'.', "12,50", std::nullopt}, {'.', "-3", -3.0},          {'.', "", std::nullopt},
        {'.', "-", std::nullopt},     {'.', ".", std::nullopt},   {'.', "1e3", 1000.0},
        {'.', "inf", std::nullopt},   {'.', "nan", std::nullopt}, {'.', " 1", std::nullopt},
        {'.', "abc", std::nullopt},   {'.', "5.", 5.0},
    };
    for (const Case& c : cases) {
        SeparatorScope scope(c.separator);
        EXPECT_EQ(ParseFloat(c.text), c.value) << c.text;
    }
    SeparatorScope scope('.');
    EXPECT_EQ(FloatOrDefault("x", 7.5), 7.5);
}

TEST(Defs, FormatFixedUsesTheLocaleSeparator) {
    SeparatorScope comma(',');
    EXPECT_EQ(FormatFixed(1.5, 2), "1,50");
    EXPECT_EQ(FormatFixed(-54321.6, 3), "-54321,600");
    SetDecimalSeparator('.');
    EXPECT_EQ(FormatFixed(5, 2), "5.00");
    EXPECT_EQ(FormatFixed(999999.99, 2), "999999.99");
}

TEST(Defs, IntegerHelpers) {
    EXPECT_EQ(ParseInt64("0098765"), 98765);
    EXPECT_EQ(ParseInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(ParseInt64("9223372036854775808"), std::nullopt);
    EXPECT_EQ(ParseInt64("12a"), std::nullopt);
    EXPECT_EQ(ParseInt64(""), std::nullopt);
    EXPECT_EQ(StripLeadingChar("0012", '0'), "12");
    EXPECT_EQ(StripLeadingChar("", '0'), "");
    EXPECT_EQ(StripLeadingChar("000", '0'), "");
    EXPECT_EQ(IntPow(10, 0), 1);
    EXPECT_EQ(IntPow(10, 3), 1000);
    EXPECT_EQ(IntPow(10, -2), 0);
    EXPECT_EQ(IntPow(1, -2), 1);
    EXPECT_EQ(CeilDiv(0, 3), 0);
    EXPECT_EQ(CeilDiv(-5, 3), 0);
    EXPECT_EQ(CeilDiv(7, 2), 4);
    EXPECT_EQ(CeilDiv(6, 2), 3);
    EXPECT_EQ(SwapBytes16(0x1234), 0x3412);
    EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
}

TEST(Defs, SplitTextKeepsEmptyPieces) {
    struct Case {
        std::string text;
        std::vector<std::string> pieces;
    } cases[] = {
        {"a\tb", {"a", "b"}}, {"a\t", {"a", ""}},         {"\tb", {"", "b"}},
        {"", {""}},           {"1\t\t3", {"1", "", "3"}}, {"\t\t", {"", "", ""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> pieces{"kept"};
        SplitText(c.text, '\t', pieces);
        pieces.erase(pieces.begin());
        EXPECT_EQ(pieces, c.pieces) << c.text;
    }
}

TEST(Defs, BcdRoundTripsMostSignificantFirst) {
    BcdField field = Int64ToBcd(13, 9876543210987);
    const uint8_t expected[] = {0x09, 0x87, 0x65, 0x43, 0x21, 0x09, 0x87};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), field.begin()));
    EXPECT_EQ(BcdToInt64(field, 13), 9876543210987);

    BcdField address = Int64ToBcd(8, 12345678);
    EXPECT_EQ(address[0], 0x12);
    EXPECT_EQ(address[3], 0x78);

    BcdField odd{};
    odd[0] = 0xAB; // half-bytes above 9 simply add their value
    EXPECT_EQ(BcdToInt64(odd, 2), 10 * 10 + 11);
    EXPECT_EQ(BcdToInt64(Int64ToBcd(14, 0), 14), 0);
}

TEST(Defs, CopyBytesIgnoresNonPositiveCounts) {
    char dst[4] = {'x', 'x', 'x', 'x'};
    CopyBytes(dst, "ab", 0);
    CopyBytes(dst, "ab", -3);
    EXPECT_EQ(std::string(dst, 4), "xxxx");
    CopyBytes(dst, "ab", 2);
    EXPECT_EQ(std::string(dst, 4), "abxx");
}

} // namespace
