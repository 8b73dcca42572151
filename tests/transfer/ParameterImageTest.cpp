#include "ParameterImage.h"
#include "Ini.h"
#include "LayoutTestUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> KeysInOrder(const std::string& text) {
    std::vector<std::string> lines, keys;
    SplitText(text, '\n', lines);
    for (std::string line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (auto eq = line.find('='); eq != std::string::npos)
            keys.push_back(line.substr(0, eq));
    }
    return keys;
}

TEST(ParameterImage, FieldBytes) {
    ParameterSet p = ParameterSet::Defaults();
    p.discountRate = "05.00";
    p.surchargeRate = "12.5";
    p.flags[0] = true;      // Flag00
    p.flags[8 + 2] = true;  // Flag12
    p.flags[24 + 7] = true; // Flag37
    p.headers[0] = "Sklep \xA3\xF3\xBF\xEB\x80\xFF";
    p.headers[4] = std::string(40, 'H');
    p.tails[1] = "Tail two";
    p.barcodeTypes[0] = 20;
    p.barcodeTypes[9] = 300;
    p.printSpeed = 9;
    p.clerkPasswords = {" 1234 ", "abc", "70000", "-1"};
    p.clerkNames = {"Anna", "ABCDEFGHIJKL", "", "\xB9"};
    p.vatRates = {"22.00", "07.00", "03.00", "00.00", "00.00", "00.00", "00.00", "00.00", "05.00"};

    const ParameterImage image = EncodeParameterImage(p);
    struct Field {
        size_t offset;
        std::string bytes;
    } fields[] = {
        {37, "01 F4 04 E2"},
        {41, "01 04 00 80"},
        {45, "53 6B 6C 65 70 20 A3 F3 BF EB 80 FF 00"},
        {45 + 4 * 32, "48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 "
                      "48 48 48 48 48 48 48 48"},
        {205 + 32, "54 61 69 6C 20 74 77 6F 00"},
        {269, "14 00 00 00 00 00 00 00 00 2C 09"},
        {404, "04 D2 00 00 11 70 FF FF"},
        {412, "41 6E 6E 61 00 00 00 00 00 00 41 42 43 44 45 46 47 48 49 4A"},
        {442, "B9 00"},
        {453, "08 98 02 BC 01 2C 00 00 00 00 00 00 00 00 00 00 27 10"},
    };
    for (const Field& f : fields)
        EXPECT_EQ(Slice(image, f.offset, Hex(f.bytes).size()), Hex(f.bytes)) << f.offset;
    for (auto [from, to] : {std::pair{0, 37}, {280, 404}, {452, 453}, {471, 512}})
        EXPECT_EQ(Slice(image, size_t(from), size_t(to - from)),
                  std::vector<uint8_t>(size_t(to - from), 0))
            << from;
}

TEST(ParameterImage, TaxFreeSlot) {
    struct Case {
        int taxFree;
        std::vector<uint16_t> marks;
    } cases[] = {
        {8, {100, 200, 300, 400, 500, 600, 700, 800, 10000}},
        {2, {100, 200, 10000, 400, 500, 600, 700, 800, 900}},
        {0, {10000, 200, 300, 400, 500, 600, 700, 800, 900}},
        {-1, {100, 200, 300, 400, 500, 600, 700, 800, 900}},
        {9, {100, 200, 300, 400, 500, 600, 700, 800, 900}},
    };
    for (const Case& c : cases) {
        ParameterSet p = ParameterSet::Defaults();
        for (int n = 0; n < VatRates; ++n)
            p.vatRates[size_t(n)] = "0" + std::to_string(n + 1) + ".00";
        p.taxFree = c.taxFree;
        const ParameterImage image = EncodeParameterImage(p);
        for (size_t n = 0; n < 9; ++n)
            EXPECT_EQ(image[453 + 2 * n] << 8 | image[454 + 2 * n], c.marks[n])
                << "tax-free " << c.taxFree << " slot " << n + 1;

        // Reading back: the marked slot sets "Tax-free" and its rate text stays as it was.
        ParameterSet back = ParameterSet::Defaults();
        back.taxFree = 5;
        back.vatRates[2] = "11.11";
        DecodeParameterImage(image, back);
        const bool marked = c.taxFree >= 0 && c.taxFree <= 8;
        EXPECT_EQ(back.taxFree, marked ? c.taxFree : 5);
        for (int n = 0; n < VatRates; ++n) {
            if (n == c.taxFree)
                EXPECT_EQ(back.vatRates[size_t(n)], n == 2 ? "11.11" : "00.00");
            else
                EXPECT_EQ(back.vatRates[size_t(n)], p.vatRates[size_t(n)]) << n;
        }
    }

    ParameterImage twoMarks{};
    twoMarks[453 + 2] = 0x27;
    twoMarks[453 + 3] = 0x10;
    twoMarks[453 + 12] = 0x27;
    twoMarks[453 + 13] = 0x10;
    ParameterSet back = ParameterSet::Defaults();
    DecodeParameterImage(twoMarks, back);
    EXPECT_EQ(back.taxFree, 6) << "the last marked slot wins";
}

TEST(ParameterImage, RoundTripAndLosses) {
    for (char separator : {'.', ','}) {
        SeparatorScope scope(separator);
        ParameterSet p = ParameterSet::Defaults();
        p.discountRate = Local("05.00");
        p.surchargeRate = Local("12.5");
        for (int f = 0; f < FlagBits; f += 3)
            p.flags[size_t(f)] = true;
        p.headers = {"H1", "\x80\x81\xFE\xFF", "", "H4", std::string(32, 'x')};
        p.tails = {"T1", "T2"};
        p.barcodeTypes = {20, 21, 22, 23, 24, 25, 26, 27, 28, 36};
        p.printSpeed = 3;
        p.clerkPasswords = {"1", "65535", " 42 ", "x"};
        p.clerkNames = {"Ala", "Ola", "\xA3ukasz", "0123456789"};
        for (int n = 0; n < VatRates; ++n)
            p.vatRates[size_t(n)] = Local("0" + std::to_string(n) + ".50");
        p.vatRates[0] = Local("99.99");
        p.taxFree = 4;

        ParameterSet back = ParameterSet::Defaults();
        back.vatRates[4] = Local("33.33");
        DecodeParameterImage(EncodeParameterImage(p), back);

        ParameterSet expected = p;
        expected.surchargeRate = Local("12.50"); // five-character rate text
        expected.clerkPasswords[2] = "42";       // blanks dropped
        expected.clerkPasswords[3] = "0";        // not a number
        expected.vatRates[4] = Local("33.33");   // tax-free slot keeps its text
        EXPECT_EQ(back.discountRate, expected.discountRate);
        EXPECT_EQ(back.surchargeRate, expected.surchargeRate);
        EXPECT_EQ(back.flags, expected.flags);
        EXPECT_EQ(back.headers, expected.headers);
        EXPECT_EQ(back.tails, expected.tails);
        EXPECT_EQ(back.barcodeTypes, expected.barcodeTypes);
        EXPECT_EQ(back.printSpeed, expected.printSpeed);
        EXPECT_EQ(back.clerkPasswords, expected.clerkPasswords);
        EXPECT_EQ(back.clerkNames, expected.clerkNames);
        EXPECT_EQ(back.vatRates, expected.vatRates);
        EXPECT_EQ(back.taxFree, expected.taxFree);
    }

    // Losses of the byte-wide and 16-bit fields and the fixed text widths.
    ParameterSet p = ParameterSet::Defaults();
    p.headers[0] = std::string(33, 'y');
    p.clerkNames[0] = "ABCDEFGHIJK";
    p.clerkPasswords = {"70000", "-1", "", "007"};
    p.barcodeTypes[0] = 257;
    p.printSpeed = -1;
    p.discountRate = "700.00";
    ParameterSet back = ParameterSet::Defaults();
    DecodeParameterImage(EncodeParameterImage(p), back);
    EXPECT_EQ(back.headers[0], std::string(32, 'y'));
    EXPECT_EQ(back.clerkNames[0], "ABCDEFGHIJ");
    EXPECT_EQ(back.clerkPasswords, (std::array<std::string, 4>{"4464", "65535", "0", "7"}));
    EXPECT_EQ(back.barcodeTypes[0], 1);
    EXPECT_EQ(back.printSpeed, 255);
    EXPECT_EQ(back.discountRate, "44.64");
}

TEST(ParameterSet, MissingKeysAndDefaults) {
    for (char separator : {'.', ','}) {
        SeparatorScope scope(separator);
        const ParameterSet p = ReadParameterSet(IniFile::FromText(""));
        EXPECT_EQ(p.discountRate, Local("00.00"));
        EXPECT_EQ(p.vatRates[8], Local("00.00"));
        EXPECT_EQ(p.printSpeed, 1);
        EXPECT_EQ(p.taxFree, 8);
        EXPECT_EQ(p.clerkPasswords[0], "");
        const ParameterImage image = EncodeParameterImage(p);
        ParameterImage expected{};
        expected[279] = 1;
        expected[469] = 0x27;
        expected[470] = 0x10;
        EXPECT_EQ(image, expected);
    }
}

TEST(ParameterSet, ReadsKeysAndWritesThemInUploadOrder) {
    const IniFile source = IniFile::FromText("[Default]\r\n-% rate=01.50\r\n+% rate=02.25\r\n"
                                             "Flag12=1\r\nFlag37=1\r\nFlag00=0\r\n"
                                             "Header3=Line \xE6\r\nTail2=Bye\r\n"
                                             "BCode10=29\r\nPrint Speed=7\r\nClerkPWD3=999\r\n"
                                             "ClerkName4=Zoe\r\nVAT9=05.00\r\nTax-free=-1\r\n");
    const ParameterSet p = ReadParameterSet(source);
    EXPECT_EQ(p.discountRate, "01.50");
    EXPECT_EQ(p.surchargeRate, "02.25");
    EXPECT_TRUE(p.flags[10]);
    EXPECT_TRUE(p.flags[31]);
    EXPECT_FALSE(p.flags[0]);
    EXPECT_EQ(p.headers[2], "Line \xE6");
    EXPECT_EQ(p.tails[1], "Bye");
    EXPECT_EQ(p.barcodeTypes[9], 29);
    EXPECT_EQ(p.printSpeed, 7);
    EXPECT_EQ(p.clerkPasswords[2], "999");
    EXPECT_EQ(p.clerkNames[3], "Zoe");
    EXPECT_EQ(p.vatRates[8], "05.00");
    EXPECT_EQ(p.taxFree, -1);

    IniFile out = IniFile::FromText("");
    WriteParameterSet(out, p);
    std::vector<std::string> expected{"-% rate", "+% rate"};
    for (int n = 0; n < 4; ++n)
        for (int i = 0; i < 8; ++i)
            expected.push_back(FlagKey(n, i));
    for (int n = 1; n <= 5; ++n)
        expected.push_back("Header" + std::to_string(n));
    expected.insert(expected.end(), {"Tail1", "Tail2"});
    for (int n = 1; n <= 10; ++n)
        expected.push_back("BCode" + std::to_string(n));
    expected.push_back("Print Speed");
    for (int n = 1; n <= 4; ++n)
        expected.push_back("ClerkPWD" + std::to_string(n));
    for (int n = 1; n <= 4; ++n)
        expected.push_back("ClerkName" + std::to_string(n));
    for (int n = 1; n <= 9; ++n)
        expected.push_back("VAT" + std::to_string(n));
    expected.push_back("Tax-free");
    EXPECT_EQ(KeysInOrder(out.Text()), expected);
    EXPECT_EQ(out.ReadString("Default", "Flag37", ""), "1");
    EXPECT_EQ(out.ReadString("Default", "Flag36", ""), "0");
    EXPECT_EQ(out.ReadString("Default", "Header3", ""), "Line \xE6");
}

TEST(ParameterSet, StoringAnImageKeepsOtherKeysAndTheTaxFreeRateText) {
    TempProgramDir dir;
    const std::string path = dir.Path("SYSTEM.CFG");
    WriteFileBytes(path, "[Comm]\r\nPort=3\r\n[Default]\r\nUnknown=keep\r\nVAT3=12.00\r\n"
                         "Header1=Old\r\n");
    ParameterSet p = ParameterSet::Defaults();
    p.headers[0] = "New";
    p.vatRates[2] = "22.00";
    p.taxFree = 2;
    ASSERT_TRUE(StoreParameterImage(path, EncodeParameterImage(p)));

    const IniFile stored(path);
    EXPECT_EQ(stored.ReadInteger("Comm", "Port", 0), 3);
    EXPECT_EQ(stored.ReadString("Default", "Unknown", ""), "keep");
    EXPECT_EQ(stored.ReadString("Default", "Header1", ""), "New");
    EXPECT_EQ(stored.ReadString("Default", "VAT3", ""), "12.00");
    EXPECT_EQ(stored.ReadInteger("Default", "Tax-free", 8), 2);
    EXPECT_EQ(ParameterImageFromFile(path), EncodeParameterImage(p));
}

} // namespace
