// The memory dump's range dialog and the printed PLU list.
#include "DataDlg.h"
#include "Defs.h"
#include "Document.h"
#include "PrinterJob.h"
#include "TextTable.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

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
