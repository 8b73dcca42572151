#include "DocumentFile.h"
#include "TempDir.h"
#include "Unprivileged.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(DocumentFile, SavingWritesTheThreeFormatsExactly) {
    TextTable plu = MakePLUTable();
    plu.Cell(17, 2) = "Milk";
    plu.Cell(17, 1) = "5907890";
    plu.Cell(17, 3) = "2.50";
    TextTable dept = MakeDeptTable();
    dept.Cell(2, 1) = "Food";
    RecyTable recy;
    InitialRecyTable(recy);
    recy[1].price = "1.25";

    const std::string pluText = GridFileText(plu);
    const std::string emptyRow = "\t\t0.00\t1\t0.000\t0\t0\t0\r\n";
    std::string expected;
    for (int i = 0; i < 16; ++i)
        expected += emptyRow;
    expected += "5907890\tMilk\t2.50\t1\t0.000\t0\t0\t0\r\n";
    EXPECT_EQ(pluText, expected);
    EXPECT_EQ(GridFileText(dept), "\t1\t0.00\r\nFood\t1\t0.00\r\n");
    const std::string recyText = RecyFileText(recy);
    EXPECT_EQ(recyText.substr(0, 14), "1\t0.00\r\n2\t1.25");
    EXPECT_EQ(std::count(recyText.begin(), recyText.end(), '\n'), 100);
    EXPECT_EQ(GridFileText(MakePLUTable()), "");
}

TEST(DocumentFile, RowsWithoutANameAfterTheLastNamedRowAreKept) {
    TextTable plu = MakePLUTable();
    plu.Cell(39, 2) = "Last named";
    plu.Cell(40, 1) = "123";
    plu.Cell(40, 3) = "9.99";
    TextTable back = MakePLUTable();
    TempProgramDir dir;
    ASSERT_EQ(WriteGridFile(dir.Path("a.PLU"), plu), 0);
    ASSERT_EQ(ReadGridFile(dir.Path("a.PLU"), back), 0);
    EXPECT_EQ(back.Cell(40, 1), "123");
    EXPECT_EQ(back.Cell(40, 3), "9.99");
}

TEST(DocumentFile, HighCodePageBytesRoundTripUnchanged) {
    TempProgramDir dir;
    std::string name;
    for (int b = 0x80; b <= 0xFF; ++b)
        name += char(b);
    std::string original;
    for (size_t i = 0; i < name.size(); i += 16)
        original += "1\t" + name.substr(i, 16) + "\t12,50\t2\t0,000\t0\t0\t0\r\n";
    WriteFileBytes(dir.Path("shop.PLU"), original);
    TextTable plu = MakePLUTable();
    ASSERT_EQ(ReadGridFile(dir.Path("shop.PLU"), plu), 0);
    EXPECT_EQ(plu.Cell(1, 2), name.substr(0, 16));
    ASSERT_EQ(WriteGridFile(dir.Path("copy.PLU"), plu), 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("copy.PLU")), original);
}

TEST(DocumentFile, ReadingRules) {
    struct Case {
        const char* name;
        std::string text;
        int row, col;
        std::string cell;
    } cases[] = {
        {"five fields fill five columns", "1\tA\t2.00\t3\t4.000\r\n", 1, 6, "0"},
        {"five fields", "1\tA\t2.00\t3\t4.000\r\n", 1, 5, "4.000"},
        {"extra fields are ignored", "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n", 1, 8, "8"},
        {"bare LF ends a line", "a\tb\nc\td\n", 2, 2, "d"},
        {"no line end at all", "a\tb", 1, 2, "b"},
        {"empty pieces are kept", "\t\tx\r\n", 1, 2, ""},
        {"a CR inside a line is text", "a\rb\tc\r\n", 1, 1, "a\rb"},
        {"binary bytes pass", std::string("\0\x01\xFF\tz\r\n", 7), 1, 1,
         std::string("\0\x01\xFF", 3)},
        {"a huge field is cut", std::string(5'000'000, 'x') + "\ty\r\n", 1, 2, "y"},
    };
    TempProgramDir dir;
    for (const Case& c : cases) {
        WriteFileBytes(dir.Path("t.PLU"), c.text);
        TextTable plu = MakePLUTable();
        ASSERT_EQ(ReadGridFile(dir.Path("t.PLU"), plu), 0) << c.name;
        EXPECT_EQ(plu.Cell(c.row, c.col), c.cell) << c.name;
        EXPECT_LE(plu.Cell(1, 1).size(), MaxFieldBytes) << c.name;
    }
}

TEST(DocumentFile, AFileOfMoreRowsThanTheTableStopsAtItsEnd) {
    TempProgramDir dir;
    std::string text;
    for (int i = 1; i <= 30005; ++i)
        text += std::to_string(i) + "\tN" + std::to_string(i) + "\r\n";
    WriteFileBytes(dir.Path("big.PLU"), text);
    TextTable plu = MakePLUTable();
    ASSERT_EQ(ReadGridFile(dir.Path("big.PLU"), plu), 0);
    EXPECT_EQ(plu.Cell(30000, 2), "N30000");

    TextTable dept = MakeDeptTable();
    ASSERT_EQ(ReadGridFile(dir.Path("big.PLU"), dept), 0);
    EXPECT_EQ(dept.Cell(8, 1), "8");
}

TEST(DocumentFile, RecyclingReadingSkipsShortLines) {
    TempProgramDir dir;
    WriteFileBytes(dir.Path("r.RCY"), "7\t1.00\r\n\r\n8\t2.00\r\nlonely\r\n9\t3.00\textra\r\n");
    RecyTable recy;
    InitialRecyTable(recy);
    ASSERT_EQ(ReadRecyFile(dir.Path("r.RCY"), recy), 0);
    EXPECT_EQ(recy[0].number, "7");
    EXPECT_EQ(recy[1].number, "8");
    EXPECT_EQ(recy[1].price, "2.00");
    EXPECT_EQ(recy[2].price, "3.00");
    EXPECT_EQ(recy[3].number, "4") << "entries after the file's last keep their texts";

    std::string many;
    for (int i = 0; i < 150; ++i)
        many += "n" + std::to_string(i) + "\tp\r\n";
    WriteFileBytes(dir.Path("m.RCY"), many);
    ASSERT_EQ(ReadRecyFile(dir.Path("m.RCY"), recy), 0);
    EXPECT_EQ(recy[99].number, "n99");
}

TEST(DocumentFile, MissingFilesAreSilentAndFailuresReportTheirText) {
    TempProgramDir dir;
    TextTable plu = MakePLUTable();
    EXPECT_EQ(ReadGridFile(dir.Path("missing.PLU"), plu), 0);
    RecyTable recy;
    EXPECT_EQ(ReadRecyFile(dir.Path("missing.RCY"), recy), 0);

    EXPECT_EQ(FileErrorText(WriteGridFile(dir.Path("no/dir/x.PLU"), plu)), "File not found");
    WriteFileBytes(dir.Path("file"), "");
    EXPECT_EQ(FileErrorText(ReadGridFile(dir.Path("file/inner.PLU"), plu)), "Invalid filename");
    EXPECT_EQ(FileErrorText(ReadGridFile(dir.Path(""), plu)), "File access denied");
    EXPECT_EQ(FileErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(FileErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(FileErrorText(EACCES), "File access denied");
    EXPECT_EQ(FileErrorText(EIO), "I/O error 5");

    GiveToUnprivilegedUser(dir.Path());
    WriteFileBytes(dir.Path("locked.PLU"), "x\r\n");
    chmod(dir.Path("locked.PLU").c_str(), 0);
    RunAsUnprivilegedUser([&] {
        EXPECT_EQ(FileErrorText(ReadGridFile(dir.Path("locked.PLU"), plu)), "File access denied");
    });
}

TEST(DocumentFile, AFailedSaveLeavesTheOldFileWhole) {
    TempProgramDir dir;
    const std::string path = dir.Path("keep.PLU");
    WriteFileBytes(path, "old\r\n");
    // A directory in the way of the temporary file's rename is one failure we can provoke.
    TextTable plu = MakePLUTable();
    plu.Cell(1, 2) = "new";
    mkdir(dir.Path("dir.PLU").c_str(), 0755);
    EXPECT_NE(WriteGridFile(dir.Path("dir.PLU"), plu), 0);
    EXPECT_EQ(ReadFileBytes(path), "old\r\n");
    ASSERT_EQ(WriteGridFile(path, plu), 0);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 4), "\tnew");
}

// The three files of a document go together: when one cannot be written, none is replaced and
// no temporary file is left behind.
TEST(DocumentFile, ADocumentIsSavedWholeOrNotAtAll) {
    TempProgramDir dir;
    const std::string path = dir.Path("shop.PLU");
    WriteFileBytes(path, "old plu\r\n");
    WriteFileBytes(dir.Path("shop.DEP"), "old dep\r\n");
    mkdir(dir.Path("shop.RCY").c_str(), 0755);
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    plu.Cell(1, 2) = "new";
    EXPECT_EQ(WriteDocumentFiles(path, plu, dept, recy), EISDIR);
    EXPECT_EQ(ReadFileBytes(path), "old plu\r\n");
    EXPECT_EQ(ReadFileBytes(dir.Path("shop.DEP")), "old dep\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files).size(), 2);

    rmdir(dir.Path("shop.RCY").c_str());
    ASSERT_EQ(WriteDocumentFiles(path, plu, dept, recy), 0);
    TextTable back = MakePLUTable(), backDept = MakeDeptTable();
    RecyTable backRecy;
    ASSERT_EQ(ReadDocumentFiles(path, back, backDept, backRecy), 0);
    EXPECT_EQ(back.Cell(1, 2), "new");
    EXPECT_EQ(backRecy[99].number, "100");
}

TEST(DocumentFile, CompanionNames) {
    EXPECT_EQ(WithExtension("/a/shop.PLU", ".DEP"), "/a/shop.DEP");
    EXPECT_EQ(WithExtension("/a.b/shop", ".RCY"), "/a.b/shop.RCY");
    EXPECT_EQ(WithExtension("/a/shop.x.PLU", ".DEP"), "/a/shop.x.DEP");
}

} // namespace
