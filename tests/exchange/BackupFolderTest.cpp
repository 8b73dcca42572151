// Backup folders without a register: the manifest read back as written, a damaged backup
// refused with the file that is wrong, the list newest first, and only old backups pruned.
#include "Backup.h"

#include "AtomicFile.h"
#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <ctime>
#include <utime.h>

namespace {

const char* const Files[] = {"register.PLU", "register.DEP", "register.RCY", "parameters.ini"};

// A whole backup as BackUpRegister leaves it.
std::string MakeBackup(const std::string& root, const std::string& name, const std::string& date) {
    const std::string folder = root + "/" + name;
    EXPECT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    TBackupManifest m;
    m.date = date;
    m.identification = " QUORVE \xC8 ECR ";
    m.rangeBegin = 5;
    m.rangeEnd = 900;
    m.decimals = 3;
    m.decimalSeparator = ',';
    m.pluItems = 17;
    m.namedPluItems = 11;
    m.amountDecimals = 3;
    m.departments = 4;
    m.packagePrices = 9;
    m.salesRecords = 2;
    for (const char* file : Files) {
        WriteFileBytes(folder + "/" + file, std::string(file) + " of " + date);
        m.checksums.emplace_back(file, FileChecksum(folder + "/" + file));
    }
    EXPECT_TRUE(WriteFileAtomically(folder + "/" + BackupManifestName, m.Text()));
    return folder;
}

TEST(BackupFolder, ManifestReadsBackAsWritten) {
    TempProgramDir dir;
    const std::string folder = MakeBackup(dir.Path("b"), "one", "2025-01-31 14:03:22");
    TBackupManifest m;
    ASSERT_TRUE(CheckBackup(folder, m).Done());
    EXPECT_EQ(m.date, "2025-01-31 14:03:22");
    EXPECT_EQ(m.identification, " QUORVE \xC8 ECR ");
    EXPECT_EQ(std::tie(m.rangeBegin, m.rangeEnd, m.decimals, m.decimalSeparator, m.pluItems,
                       m.departments, m.packagePrices, m.salesRecords, m.namedPluItems,
                       m.amountDecimals),
              std::make_tuple(5, 900, 3, ',', 17, 4, 9, 2, 11, 3));
    EXPECT_EQ(m.checksums.size(), 4u);
    EXPECT_EQ(FileChecksum(folder + "/none"), "");
}

TEST(BackupFolder, DamagedBackupIsRefusedNamingTheFile) {
    TempProgramDir dir;
    const struct {
        const char* damage;
        std::function<void(const std::string&)> apply;
        std::string problem;
    } cases[] = {
        {"a changed byte",
         [](const std::string& f) { WriteFileBytes(f + "/register.DEP", "register.DEP of x"); },
         "/register.DEP: changed since the backup was made"},
        {"a missing file",
         [](const std::string& f) { std::remove((f + "/parameters.ini").c_str()); },
         "/parameters.ini: missing"},
        {"no manifest", [](const std::string& f) { std::remove((f + "/manifest.ini").c_str()); },
         "/manifest.ini: no backup manifest"},
        {"a manifest without checksums",
         [](const std::string& f) { WriteFileBytes(f + "/manifest.ini", "[Backup]\nDate=x\n"); },
         "/manifest.ini: no backup manifest"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string folder = MakeBackup(dir.Path("b"), std::to_string(++n), "d");
        c.apply(folder);
        TBackupManifest m;
        EXPECT_EQ(CheckBackup(folder, m).errorText, folder + c.problem) << c.damage;
    }
}

// Backups made before the named items and the amounts' decimals were kept still read: their
// named items counted from register.PLU, their amounts taken as the two decimals they were
// written with. Decimals no register can have make no backup.
TEST(BackupFolder, OlderManifestsAndTheirCounts) {
    TempProgramDir dir;
    const std::string folder = dir.Path("old");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    // Rows 1, 3 and 5 are named; row 4 has a barcode and a price but no name.
    WriteFileBytes(folder + "/register.PLU", "1\tA\t1.00\r\n\t\t0.00\r\n3\tC\t1.00\r\n"
                                             "4\t\t2.00\r\n5\tE\r\n");
    const std::string head = "[Backup]\nDate=2024-12-01 10:00:00\nPLU range=1-5\nPLU items=5\n"
                             "Sales records=1\nDepartments=1\nPackage prices=0\n";
    std::string files = "[Files]\n";
    for (const char* file : Files)
        files += std::string(file) + "=00\n";
    const struct {
        const char* keys;
        int named; // -1: no backup
        int amountDecimals;
        const char* plu;
    } cases[] = {
        {"Decimals=3\n", 3, 2, "PLU 1-5: 3 named items, 1 sales record"},
        {"Decimals=3\nAmount decimals=3\nNamed PLU items=1\n", 1, 3,
         "PLU 1-5: 1 named item, 1 sales record"},
        {"Decimals=0\nNamed PLU items=0\n", 0, 2, "PLU 1-5: 0 named items, 1 sales record"},
        {"Decimals=10\n", -1, 0, ""},
        {"Decimals=2\nAmount decimals=-1\n", -1, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        WriteFileBytes(folder + "/manifest.ini", head + c.keys + files);
        const auto m = TBackupManifest::FromFile(folder + "/manifest.ini");
        ASSERT_EQ(m.has_value(), c.named >= 0);
        if (!m)
            continue;
        EXPECT_EQ(m->namedPluItems, c.named);
        EXPECT_EQ(m->amountDecimals, c.amountDecimals);
        EXPECT_TRUE(BackupDescription(*m).contains(QString("\n") + c.plu + "\n"))
            << BackupDescription(*m).toStdString();
    }
}

TEST(BackupFolder, ListNewestFirstAndPruneOnlyOldBackups) {
    TempProgramDir dir;
    const std::string root = dir.Path("backups");
    for (const char* name : {"2025-01-02_10-00-00", "2025-01-01_09-00-00", "2025-01-03_08-00-00",
                             "2025-01-03_08-00-00_2"})
        MakeBackup(root, name, name);
    // Neither a backup being built nor a folder of the user's is touched; what a crash left
    // two days ago goes.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root + "/.partial-abc")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root + "/.partial-old")));
    const utimbuf twoDaysAgo{std::time(nullptr) - 2 * 86400, std::time(nullptr) - 2 * 86400};
    ASSERT_EQ(::utime((root + "/.partial-old").c_str(), &twoDaysAgo), 0);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root + "/notes")));
    std::vector<std::string> dates;
    for (const TBackupInfo& b : ListBackups(root))
        dates.push_back(b.manifest.date);
    EXPECT_EQ(dates, (std::vector<std::string>{"2025-01-03_08-00-00_2", "2025-01-03_08-00-00",
                                               "2025-01-02_10-00-00", "2025-01-01_09-00-00"}));
    EXPECT_EQ(PruneBackups(root, 0), 0);
    EXPECT_EQ(PruneBackups(root, 2), 2);
    EXPECT_EQ(
        QDir(QString::fromStdString(root))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
        (QStringList{".partial-abc", "2025-01-03_08-00-00", "2025-01-03_08-00-00_2", "notes"}));
    EXPECT_TRUE(ListBackups(dir.Path("nowhere")).empty());
}

} // namespace
