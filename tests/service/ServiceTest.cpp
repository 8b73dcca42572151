// The window-free parts of the service commands: the dump listing, the range texts, report
// pieces, program images, printed lines; and the range dialog's key filter.
#include "Defs.h"
#include "Document.h"
#include "PrintList.h"
#include "ServiceFlows.h"
#include "TempDir.h"
#include "TextTable.h"
#include "UpRange.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
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

TEST(DumpRange, DialogFiltersTheBaseAndKeepsItsValues) {
    TDataDlg dialog;
    EXPECT_EQ(dialog.objectName(), "DataDlg");
    EXPECT_EQ(dialog.Edit1->text(), "0");
    EXPECT_EQ(dialog.Edit2->text(), "8");
    EXPECT_TRUE(dialog.RomBtn->isChecked());
    dialog.Edit1->clear();
    QTest::keyClicks(dialog.Edit1, "1g2Z;fA-");
    EXPECT_EQ(dialog.Edit1->text(), "12fA");
    QTest::keyClick(dialog.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(dialog.Edit1->text(), "12f");
    dialog.Edit2->setText("abc"); // no filter on the count; its reading refuses it
    EXPECT_FALSE(dialog.Range().has_value());
    dialog.Edit2->setText("2");
    dialog.RamBtn->setChecked(true);
    auto range = dialog.Range();
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->base, 0x12f);
    EXPECT_EQ(range->count, 2);
    EXPECT_EQ(range->area, 1);
    dialog.show();
    dialog.reject();
    EXPECT_EQ(dialog.Edit1->text(), "12f");
    EXPECT_TRUE(dialog.RamBtn->isChecked());
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

// A job that keeps its lines and can fail at a chosen step.
struct RecordingJob : TTextPrintJob {
    std::vector<QString> lines;
    bool began = false, ended = false;
    int failAtLine = -1;
    bool failBegin = false;
    bool Begin() override {
        began = true;
        return !failBegin;
    }
    bool PrintLine(const QString& line) override {
        if (int(lines.size()) == failAtLine)
            return false;
        lines.push_back(line);
        return true;
    }
    bool End() override {
        ended = true;
        return true;
    }
    QString ErrorText() const override { return "The printer went away"; }
};

TEST(PrintList, OnlyNamedRowsInGridOrder) {
    TextTable table = MakePLUTable();
    auto set = [&](int row, std::vector<std::string> cells) {
        for (size_t i = 0; i < cells.size(); ++i)
            table.Cell(row, int(i) + 1) = cells[i];
    };
    set(1, {"5907000000028", "MILK", "1.20", "1", "0.000", "0", "0", "0"});
    set(2, {"5907000000035", "", "3.50"}); // no name: not printed
    set(7, {"", "BREAD", "2.10"});
    set(30000, {"1", "\xa3\xf3\x64\xbc", "0.00"}); // CP1250 bytes
    table.MoveRow(7, 3);

    RecordingJob job;
    EXPECT_TRUE(PrintPLUList(table, job).isEmpty());
    EXPECT_TRUE(job.began && job.ended);
    ASSERT_EQ(job.lines.size(), 3u);
    EXPECT_EQ(job.lines[0], "5907000000028\tMILK\t1.20\t1\t0.000\t0\t0\t0");
    EXPECT_EQ(job.lines[1], "\tBREAD\t2.10\t1\t0.000\t0\t0\t0");
    EXPECT_EQ(job.lines[2],
              QString::fromUtf8("1\t\xc5\x81\xc3\xb3\x64\xc4\xbd\t0.00\t1\t0.000\t0\t0\t0"));
    for (const QString& line : job.lines)
        EXPECT_EQ(line.count('\t'), PLUColCount - 2);
}

TEST(PrintList, FailuresStopTheJobWithTheirMessage) {
    TextTable table = MakePLUTable();
    for (int row = 1; row <= 5; ++row)
        table.Cell(row, 2) = "ITEM" + std::to_string(row);
    RecordingJob broken;
    broken.failAtLine = 2;
    EXPECT_EQ(PrintPLUList(table, broken), "The printer went away");
    EXPECT_EQ(broken.lines.size(), 2u); // what was written stays
    EXPECT_FALSE(broken.ended);
    RecordingJob refused;
    refused.failBegin = true;
    EXPECT_EQ(PrintPLUList(table, refused), "The printer went away");
    EXPECT_TRUE(refused.lines.empty());

    RecordingJob empty;
    EXPECT_TRUE(PrintPLUList(MakePLUTable(), empty).isEmpty());
    EXPECT_TRUE(empty.began && empty.ended);
    EXPECT_TRUE(empty.lines.empty());
}

} // namespace
