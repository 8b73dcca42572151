#include "SheetColumnMemory.h"

#include "CodePage.h"
#include "SheetTestUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(SheetColumnMemory, KeepsTheChoicePerHeaderLine) {
    SetDocumentCodePage("CP1250");
    TempProgramDir dir;
    SheetColumnMemory memory(dir.Path(SheetColumnMemory::FileName));
    const SheetText sheet = ReadSheet("Artikel;Text;VK\n1;a;2\n");
    EXPECT_FALSE(memory.Find(sheet)) << "nothing kept yet";

    const RememberedColumns chosen{SheetTable::PLU, {1, -1, 3}};
    ASSERT_EQ(memory.Remember(sheet, chosen), QString());
    ASSERT_EQ(
        memory.Remember(ReadSheet("A;B\n"), RememberedColumns{SheetTable::Department, {1, 3}}),
        QString());
    // Another file with the same names, other case and accents, and other rows.
    EXPECT_EQ(memory.Find(ReadSheet("ARTIKEL,text,Vk\n9,z,1\n")), chosen);
    EXPECT_FALSE(memory.Find(ReadSheet("Artikel;Text;VK;Farbe\n")));
    EXPECT_FALSE(memory.Find(ReadSheet("Artikel;Text\n")));

    ASSERT_EQ(memory.Remember(sheet, std::nullopt), QString());
    EXPECT_FALSE(memory.Find(sheet)) << "forgotten";
    EXPECT_EQ(memory.Find(ReadSheet("A;B\n")), (RememberedColumns{SheetTable::Department, {1, 3}}));

    // A damaged or hand-edited file: what makes no sense feeds nothing, nothing crashes.
    const std::pair<const char*, std::optional<RememberedColumns>> damaged[] = {
        {"{\"headers\":[{\"header\":[\"A\",\"B\"],\"table\":\"dept\",\"columns\":[9,\"x\"]}]}",
         RememberedColumns{SheetTable::Department, {-1, -1}}},
        {"{\"headers\":[{\"header\":[\"A\",\"B\"],\"table\":\"stock\",\"columns\":[1,2]}]}", {}},
        {"not json", {}},
    };
    for (const auto& [bytes, found] : damaged) {
        WriteFileBytes(dir.Path(SheetColumnMemory::FileName), bytes);
        EXPECT_EQ(memory.Find(ReadSheet("A;B\n")), found) << bytes;
    }
    EXPECT_EQ(SheetColumnMemory(dir.Path("missing/x.json")).Remember(sheet, chosen),
              QStringLiteral("File not found"));
}

TEST(SheetColumnMemory, KeepsTheNewestHeaders) {
    TempProgramDir dir;
    SheetColumnMemory memory(dir.Path(SheetColumnMemory::FileName));
    auto header = [](size_t i) { return ReadSheet("H" + std::to_string(i) + ";x\n"); };
    for (size_t i = 0; i <= SheetColumnMemory::MaxHeaders; ++i)
        ASSERT_EQ(memory.Remember(header(i), RememberedColumns{SheetTable::PLU, {2, -1}}),
                  QString());
    EXPECT_FALSE(memory.Find(header(0))) << "the oldest makes room";
    EXPECT_TRUE(memory.Find(header(1)));
    EXPECT_TRUE(memory.Find(header(SheetColumnMemory::MaxHeaders)));
}

} // namespace
