// A child saves a document and SYSTEM.CFG in a loop and is killed with SIGKILL at random
// moments: after every kill each file holds either its old or its new bytes, never a mix or a
// cut, and once the document is opened its three files come from one save.
#include "AtomicFile.h"
#include "Document.h"
#include "DocumentFile.h"
#include "Ini.h"
#include "StressCycles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Generation {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    std::string cfg;
    std::array<std::string, 4> texts; // .PLU, .DEP, .RCY, SYSTEM.CFG as written
};

// Big enough that a save takes a while, so kills land inside writes as well as between them.
void Fill(Generation& g, int n) {
    InitialRecyTable(g.recy);
    for (int r = 1; r <= 3000; ++r) {
        g.plu.Cell(r, 1) = std::to_string(5900000000000 + r * 7 + n);
        g.plu.Cell(r, 2) = "ITEM " + std::to_string(r) + (n ? " NEW" : " OLD");
    }
    for (int r = 1; r <= g.dept.Rows(); ++r)
        g.dept.Cell(r, 1) = "DEPT " + std::to_string(r * 10 + n);
    for (RecyEntry& e : g.recy)
        e.price = n ? "1.50" : "0.75";
    IniFile ini = IniFile::FromText("[Default]\r\nHeader1=SHOP\r\n[Comm]\r\nPort=2\r\n");
    for (int k = 0; k < 200; ++k)
        ini.WriteString("Default", "Key" + std::to_string(k), std::string(40, char('a' + n)));
    g.cfg = ini.Text();
    g.texts = {GridFileText(g.plu), GridFileText(g.dept), RecyFileText(g.recy), g.cfg};
}

void Save(const Generation& g, const std::string& doc, const std::string& cfg) {
    WriteDocumentFiles(doc, g.plu, g.dept, g.recy);
    WriteFileAtomically(cfg, g.cfg);
}

} // namespace

TEST(CrashSave, EveryFileIsOldOrNewAfterSigkill) {
    TempProgramDir dir;
    const std::string doc = dir.Path("SHOP.PLU");
    const std::string cfg = dir.Path("SYSTEM.CFG");
    const std::array<std::string, 4> paths = {doc, WithExtension(doc, ".DEP"),
                                              WithExtension(doc, ".RCY"), cfg};
    std::array<Generation, 2> gens;
    Fill(gens[0], 0);
    Fill(gens[1], 1);

    // One save's time sets the range of the random kill moments.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i)
        Save(gens[size_t(i % 2)], doc, cfg);
    const auto cycleUs =
        std::max<long>(50, long(std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start)
                                    .count() /
                                2));

    std::mt19937 random(20261208);
    const int kills = StressCycles(100, 1000);
    int mixedSets = 0;
    int finished = 0;
    for (int k = 0; k < kills; ++k) {
        int ready[2];
        ASSERT_EQ(0, ::pipe(ready));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            const char byte = 1;
            if (::write(ready[1], &byte, 1) != 1)
                ::_exit(2);
            for (size_t i = size_t(k);; ++i)
                Save(gens[i % 2], doc, cfg);
        }
        ::close(ready[1]);
        char byte = 0;
        ASSERT_EQ(1, ::read(ready[0], &byte, 1));
        ::close(ready[0]);
        ::usleep(useconds_t(std::uniform_int_distribution<long>(0, 3 * cycleUs)(random)));
        ASSERT_EQ(0, ::kill(child, SIGKILL));
        int status = 0;
        ASSERT_EQ(child, ::waitpid(child, &status, 0));
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";

        std::array<int, 4> found{};
        for (size_t f = 0; f < paths.size(); ++f) {
            const std::string bytes = ReadFileBytes(paths[f]);
            found[f] = bytes == gens[0].texts[f] ? 0 : bytes == gens[1].texts[f] ? 1 : -1;
            ASSERT_NE(found[f], -1) << "kill " << k << ": " << paths[f]
                                    << " is neither old nor new (" << bytes.size() << " bytes)";
        }
        if (found[0] != found[1] || found[1] != found[2])
            ++mixedSets;
        // Opening the document puts back a save that was cut off between its renames.
        TextTable plu = MakePLUTable();
        TextTable dept = MakeDeptTable();
        RecyTable recy;
        ASSERT_EQ(0, ReadDocumentFiles(doc, plu, dept, recy));
        std::array<int, 3> opened{};
        for (size_t f = 0; f < opened.size(); ++f) {
            const std::string bytes = ReadFileBytes(paths[f]);
            opened[f] = bytes == gens[0].texts[f] ? 0 : bytes == gens[1].texts[f] ? 1 : -1;
        }
        ASSERT_TRUE(opened[0] != -1 && opened[0] == opened[1] && opened[1] == opened[2])
            << "kill " << k << ": the opened document mixes two saves";
        finished += opened != std::array<int, 3>{found[0], found[1], found[2]};
        EXPECT_FALSE(std::filesystem::exists(DocumentJournalPath(doc)));
        // A killed save leaves its temporary file behind; clear them so the folder stays small.
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            if (entry.path().extension().string().size() == 7) // ".XXXXXX" of mkstemp
                std::filesystem::remove(entry.path());
    }
    std::printf("%d kills: %d cut a save between its renames, %d put back on opening\n", kills,
                mixedSets, finished);
}

// The journal is a file like any other: only renames of a document's own temporary files onto
// that document's files are done.
TEST(CrashSave, JournalRenamesOnlyTheDocumentsOwnFiles) {
    TempProgramDir dir;
    const std::string doc = dir.Path("SHOP.PLU");
    const std::string dep = dir.Path("SHOP.DEP");
    const std::string other = dir.Path("OTHER.TXT");
    struct Case {
        const char* name;
        std::string journal;
        std::string docAfter;   // SHOP.PLU
        std::string otherAfter; // OTHER.TXT
    };
    const std::string z(1, '\0');
    const std::vector<Case> cases{
        {"OwnTemporary", doc + ".a1B2c3" + z + doc + z, "new", "other"},
        {"ForeignTarget", dir.Path("SHOP.PLU.a1B2c3") + z + other + z, "old", "other"},
        {"NotATemporaryName", other + z + doc + z, "old", "other"},
        {"TemporaryInAnotherFolder", doc + ".a1/2c3" + z + doc + z, "old", "other"},
        {"CutShort", doc + ".a1B2c3" + z + doc, "old", "other"},
        {"Junk", std::string("\xff\x00\x01garbage", 10), "old", "other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(doc, "old");
        WriteFileBytes(dep, "dep");
        WriteFileBytes(other, "other");
        WriteFileBytes(doc + ".a1B2c3", "new");
        WriteFileBytes(DocumentJournalPath(doc), c.journal);
        FinishInterruptedWrite(DocumentJournalPath(doc), {doc, dep});
        EXPECT_EQ(ReadFileBytes(doc), c.docAfter);
        EXPECT_EQ(ReadFileBytes(other), c.otherAfter);
        EXPECT_EQ(ReadFileBytes(dep), "dep");
        EXPECT_FALSE(std::filesystem::exists(DocumentJournalPath(doc)));
        std::filesystem::remove(doc + ".a1B2c3");
    }
}
