// A document's three files as any bytes: reading never crashes, keeps every field within
// MaxFieldBytes, and what it read is written and read back unchanged.
#include "Document.h"
#include "DocumentFile.h"
#include "FuzzFiles.h"

namespace {

// The PLU grid's columns with fewer rows: the reader does the same per row, and a full table per
// input would make each run a hundred times slower.
TextTable SmallPlu() {
    return TextTable(64, PLUColCount - 1, std::vector<std::string>(PLUColCount - 1, "0"));
}

bool SameRecy(const RecyTable& a, const RecyTable& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].number != b[i].number || a[i].price != b[i].price)
            return false;
    return true;
}

bool SameGrid(const TextTable& a, const TextTable& b) {
    for (int r = 1; r <= a.Rows(); ++r)
        for (int c = 1; c <= a.Cols(); ++c)
            if (a.Cell(r, c) != b.Cell(r, c))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = FuzzParts(data, size, 3);
    const std::string path = PutFuzzFile("DOC.PLU", parts[0]);
    PutFuzzFile("DOC.DEP", parts[1]);
    PutFuzzFile("DOC.RCY", parts[2]);

    TextTable plu = SmallPlu();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FuzzCheck(ReadDocumentFiles(path, plu, dept, recy) == 0, "reading a regular file failed");
    for (int r = 1; r <= plu.Rows(); ++r)
        for (int c = 1; c <= plu.Cols(); ++c)
            FuzzCheck(plu.Cell(r, c).size() <= MaxFieldBytes, "field beyond MaxFieldBytes");

    const std::string again = FuzzDir() + "AGAIN.PLU";
    FuzzCheck(WriteDocumentFiles(again, plu, dept, recy) == 0, "writing failed");
    TextTable plu2 = SmallPlu();
    TextTable dept2 = MakeDeptTable();
    RecyTable recy2;
    InitialRecyTable(recy2);
    FuzzCheck(ReadDocumentFiles(again, plu2, dept2, recy2) == 0, "reading back failed");
    FuzzCheck(SameGrid(plu, plu2), ".PLU changed on the way back");
    FuzzCheck(SameGrid(dept, dept2), ".DEP changed on the way back");
    FuzzCheck(SameRecy(recy, recy2), ".RCY changed on the way back");
    return 0;
}
