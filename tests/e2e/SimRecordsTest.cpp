// The simulated register's state file: data records as readable fields, exact in both
// directions, the raw form kept for bytes the fields cannot carry.
#include "Defs.h"
#include "RecordLayouts.h"
#include "RegisterState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TRegisterState Parsed(const std::string& text) {
    TRegisterState state;
    std::string error;
    EXPECT_TRUE(state.ParseText(text, &error)) << error;
    return state;
}

TEST(SimRecords, HandWrittenRecordsGiveTheRegisterBytes) {
    SetDecimalSeparator(','); // the file's notation does not follow the locale
    const TRegisterState state =
        Parsed("decimals 2\n"
               "plu 300 barcode=5907000000028 price=12.50 dept=3 stocks=-1.5 flag=7 "
               "name=\"A \\\"Q\\\" \\xc8\\\\\"\n"
               "sales barcode=5907000000028 quantity=2 total=99.99\n"
               "dept 2 tax=4 price=0.30 name=\"BAKERY\"\n"
               "recy 12 price=1.50\n"
               "param -% rate=05.00\n"
               "param Tax-free=8\n");
    SetDecimalSeparator('.');
    const auto& plu = state.plu.at(300);
    const uint8_t barcode[] = {0x05, 0x90, 0x70, 0x00, 0x00, 0x00, 0x28};
    EXPECT_EQ(0, std::memcmp(plu.data(), barcode, 7));
    EXPECT_EQ(GetTextField(std::span(plu).subspan(7, 18)), "A \"Q\" \xC8\\");
    const uint8_t price[] = {0x00, 0x00, 0x04, 0xE2};
    EXPECT_EQ(0, std::memcmp(plu.data() + 25, price, 4));
    EXPECT_EQ(plu[44], 2);
    const uint8_t stocks[] = {0xFF, 0xFF, 0xFA, 0x24};
    EXPECT_EQ(0, std::memcmp(plu.data() + 45, stocks, 4));
    EXPECT_EQ(plu[49], 7);

    ASSERT_EQ(state.sales.size(), 1u);
    const uint8_t total[] = {0x00, 0x00, 0x00, 0x00, 0x27, 0x0F};
    EXPECT_EQ(0, std::memcmp(state.sales[0].data() + 11, total, 6));

    const Block& dept = state.images.at({"dept", 0});
    EXPECT_EQ(GetTextField(std::span(dept).subspan(32, 18)), "BAKERY");
    EXPECT_EQ(dept[32 + 18], 3);
    EXPECT_EQ(dept[32 + 23], 30);
    EXPECT_EQ(dept[0 + 18], 0); // departments not written are zero records

    const Block& recy = state.images.at({"recy", 0});
    EXPECT_EQ(recy[11 * 16 + 12], 150);

    const Block& param0 = state.images.at({"param", 0});
    EXPECT_EQ(param0[37], 0x01);
    EXPECT_EQ(param0[38], 0xF4);
    const Block& param1 = state.images.at({"param", 1});
    EXPECT_EQ(param1[469 - 256], 0x27);
    EXPECT_EQ(param1[470 - 256], 0x10);
}

TEST(SimRecords, RecordsSurviveTheFileExactlyReadableOrRaw) {
    struct Case {
        const char* name;
        int decimals;
        std::function<void(TRegisterState&)> make;
        const char* readable; // a line of the readable form, or nullptr: raw
    };
    auto pluRecord = [](uint8_t first, uint8_t reserved) {
        std::array<uint8_t, 64> r{};
        r[0] = first;
        r[6] = 0x45;
        std::memcpy(r.data() + 7, "\xC8\xE9 NAME", 7);
        r[27] = 0x30;
        r[28] = 0x39; // 12345
        r[44] = 0xFF;
        r[45] = 0x80; // most negative stocks
        r[30] = reserved;
        return r;
    };
    const std::vector<Case> cases{
        {"PluAtThreeDecimals", 3, [&](TRegisterState& s) { s.plu[7] = pluRecord(0, 0); },
         "plu 7 barcode=45 price=12.345 dept=256 stocks=-2147483.648 flag=0 "
         "name=\"\\xc8\\xe9 NAME\""},
        {"PluAtNoDecimals", 0, [&](TRegisterState& s) { s.plu[7] = pluRecord(0, 0); },
         "price=12345 "},
        {"EmptySlotStaysRaw", 2, [&](TRegisterState& s) { s.plu[7] = pluRecord(0xFF, 0); },
         nullptr},
        {"ReservedBytesStayRaw", 2, [&](TRegisterState& s) { s.plu[7] = pluRecord(0, 1); },
         nullptr},
        {"SalesTotalOf48Bits", 2,
         [](TRegisterState& s) {
             std::array<uint8_t, 17> r{};
             r[6] = 0x99;
             std::memset(r.data() + 11, 0xFF, 6);
             s.sales.push_back(r);
             s.sales.push_back({}); // a record without barcode keeps its place
         },
         "sales barcode=99 quantity=0.000 total=2814749767106.55"},
        {"NegativePackagePriceReadsUnsigned", 2,
         [](TRegisterState& s) {
             for (int k = 0; k < 7; ++k)
                 s.images[{"recy", k}] = Block{};
             std::memset(s.images[{"recy", 0}].data() + 16 + 9, 0xFF, 4);
         },
         "recy 2 price=42949672.95"},
        {"RecyclingTailStaysRaw", 2,
         [](TRegisterState& s) {
             for (int k = 0; k < 7; ++k)
                 s.images[{"recy", k}] = Block{};
             s.images[{"recy", 6}][255] = 1;
         },
         nullptr},
        {"ParametersWithoutTaxFreeSlot", 2,
         [](TRegisterState& s) {
             s.images[{"param", 0}] = Block{};
             s.images[{"param", 1}] = Block{};
             s.images[{"param", 0}][45] = 'H';
             s.images[{"param", 1}][404 - 256 + 1] = 9;
         },
         "param Header1=H"},
        {"DepartmentsWithTaxByte255", 2,
         [](TRegisterState& s) {
             Block b{};
             b[18] = 0xFF;
             std::memcpy(b.data() + 32 * 7, "LAST", 4);
             s.images[{"dept", 0}] = b;
         },
         "dept 1 tax=256 price=0.00 name=\"\""},
        {"Disconnects", 2,
         [](TRegisterState& s) {
             s.disconnects = {1, 1, 0};
         },
         "disconnect 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRegisterState state = TRegisterState::Default();
        state.decimals = uint8_t(c.decimals);
        c.make(state);
        const std::string text = state.Text();
        if (c.readable)
            EXPECT_NE(text.find(c.readable), std::string::npos) << text;
        else
            EXPECT_EQ(text.find("price="), std::string::npos) << text;
        const TRegisterState back = Parsed(text);
        EXPECT_EQ(back.plu, state.plu);
        EXPECT_EQ(back.sales, state.sales);
        EXPECT_EQ(back.disconnects, state.disconnects);
        for (const auto& [key, block] : state.images)
            EXPECT_EQ(back.images.at(key), block) << key.first << key.second;
        EXPECT_EQ(back.Text(), text);
    }
}

TEST(SimRecords, MalformedReadableRecordsAreRefused) {
    for (const char* text :
         {"plu 0 barcode=1\n", "plu 30001 name=\"A\"\n", "dept 9 tax=1\n", "recy 101 price=1\n",
          "plu 5 name=\"unterminated\n", "sales barcode=1 quantity\n", "disconnect x\n"}) {
        TRegisterState state;
        std::string error;
        EXPECT_FALSE(state.ParseText(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

} // namespace
