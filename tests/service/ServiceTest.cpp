// The window-free parts of the service commands: the dump listing, the range texts, report
// pieces and program images.
#include "MemoryDump.h"
#include "ProgramLoad.h"
#include "ReportUpload.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

TEST(DumpListing, LinesAreByteExact) {
    std::array<uint8_t, 256> page{};
    for (int i = 0; i < 256; ++i)
        page[size_t(i)] = uint8_t(i);
    page[0] = 0x41;
    page[1] = 0x0A;
    const std::string listing = PageListing(0x1000, page.data());
    ASSERT_EQ(listing.size(), 16u * 76);
    std::vector<std::string> lines;
    for (size_t at = 0; at < listing.size(); at += 76) {
        ASSERT_EQ(listing.substr(at + 74, 2), "\r\n");
        lines.push_back(listing.substr(at, 74));
    }
    EXPECT_EQ(lines[0],
              "00001000  41 0a 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f A...............");
    EXPECT_EQ(lines[2].substr(0, 10), "00001020  ");
    EXPECT_EQ(lines[2].substr(58), " !\"#$%&'()*+,-./");
    EXPECT_EQ(lines[15].substr(0, 10), "000010f0  ");
    // Bytes from 128 up are shown as themselves, not as full stops.
    EXPECT_EQ(lines[15].substr(58), std::string("\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf7\xf8\xf9\xfa"
                                                "\xfb\xfc\xfd\xfe\xff"));
    EXPECT_EQ(PageListing(0x01000000, page.data()).substr(0, 10), "01000000  ");
    // Addresses past 32 bits wrap rather than widen the line.
    EXPECT_EQ(PageListing(uint32_t(uint64_t(0xFFFFFFFFu) * 256), page.data()).substr(0, 10),
              "ffffff00  ");
}

TEST(DumpRange, TextsAreReadStrictly) {
    struct Case {
        const char* text;
        std::optional<int32_t> base;
        std::optional<int32_t> count;
    } cases[] = {
        {"10", 0x10, 10},
        {"FFFF", 0xFFFF, std::nullopt},
        {"ffffffff", -1, std::nullopt},
        {"100000000", std::nullopt, 100000000},
        {"", std::nullopt, std::nullopt},
        {"0", 0, 0},
        {"-3", std::nullopt, -3},
        {"12x", std::nullopt, std::nullopt},
        {"2147483648", std::nullopt, std::nullopt},
        {" 7 ", 7, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseHexBase(c.text), c.base);
        EXPECT_EQ(ParseCount(c.text), c.count);
    }
}

TEST(Report, PieceEndsAtTheFirstZero) {
    std::array<uint8_t, 256> block{};
    block.fill('x');
    EXPECT_EQ(ReportPiece(block.data()), std::string(256, 'x'));
    block[5] = 0;
    block[9] = 0;
    EXPECT_EQ(ReportPiece(block.data()), "xxxxx");
    block[0] = 0;
    EXPECT_EQ(ReportPiece(block.data()), "");
}

TEST(ProgramImage, BeginWordAndChecksum) {
    TempProgramDir dir;
    struct Case {
        std::string bytes;
        uint16_t begin;
        uint16_t checksum;
    };
    std::string marked(1024, '\0');
    marked[1024 - 6] = 0x11; // read and not used
    marked[1024 - 4] = 0x34;
    marked[1024 - 3] = 0x12;
    marked[1024 - 2] = 0x01;
    const Case cases[] = {
        {std::string(512, '\xff'), 0xFFFF, 0xFE00},
        {marked, 0x1234, 0x11 + 0x34 + 0x12 + 0x01},
        {"", 0, 0},
        {std::string(1000, '\x01'), 0, 0}, // refused unread
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        WriteFileBytes(dir.Path("image.hex"), c.bytes);
        ProgramImageInfo info;
        std::string error;
        ASSERT_TRUE(ReadProgramImageInfo(dir.Path("image.hex"), info, error)) << error;
        EXPECT_EQ(info.size, int64_t(c.bytes.size()));
        EXPECT_EQ(info.beginWord, c.begin);
        EXPECT_EQ(info.checksum, c.checksum);
    }
    ProgramImageInfo info;
    std::string error;
    EXPECT_FALSE(ReadProgramImageInfo(dir.Path("missing.hex"), info, error));
    EXPECT_NE(error.find("missing.hex"), std::string::npos);
    EXPECT_FALSE(ReadProgramImageInfo(dir.Path(), info, error)); // a directory
}

} // namespace
