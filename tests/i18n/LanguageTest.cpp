// Which language is chosen, and what the translation does to the texts built from pieces:
// Polish plural forms, the decimal comma, the cell checks' reasons, the progress words.
#include "Language.h"
#include "Backup.h"
#include "CheckTexts.h"
#include "Counted.h"
#include "DisplayTexts.h"
#include "FlowOutcome.h"
#include "HistoryStore.h"
#include "PortFailure.h"
#include "ReportArchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Sets the locale variables for one case and puts the old ones back.
class Environment {
public:
    Environment(std::initializer_list<std::pair<const char*, const char*>> values) {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            unsetenv(name);
        }
        for (const auto& [name, value] : values)
            setenv(name, value, 1);
    }
    ~Environment() {
        for (const auto& [name, value] : saved_)
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// Polish installed for one test, English again after it.
class Polish : public ::testing::Test {
protected:
    void SetUp() override {
        SetTranslationsDir(QPLU_QM_DIR);
        ASSERT_TRUE(InstallLanguage(PolishLanguage));
    }
    void TearDown() override { InstallLanguage(EnglishLanguage); }
};

TEST(Language, TheEnvironmentChoosesAsGettextDoes) {
    struct Case {
        std::initializer_list<std::pair<const char*, const char*>> env;
        const char* language;
    };
    const Case cases[] = {
        {{}, "en"},
        {{{"LANG", "C"}}, "en"},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "pl"}}, "en"}, // LANGUAGE is not read in C
        {{{"LANG", "POSIX"}}, "en"},
        {{{"LANG", "pl_PL.UTF-8"}}, "pl"},
        {{{"LANG", "pl_PL"}}, "pl"},
        {{{"LANG", "pl_PL.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, "en"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "pl_PL.UTF-8"}}, "pl"},
        {{{"LANG", "de_DE.UTF-8"}}, "en"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:pl:de"}}, "pl"},
        {{{"LANG", "pl_PL.UTF-8"}, {"LANGUAGE", "en_GB:pl"}}, "en"},
        {{{"LANG", "pl_PL.UTF-8"}, {"LANGUAGE", ""}}, "pl"},
    };
    for (const Case& c : cases) {
        const Environment env(c.env);
        EXPECT_EQ(SystemLanguage(), c.language)
            << "LANG=" << (std::getenv("LANG") ? std::getenv("LANG") : "")
            << " LANGUAGE=" << (std::getenv("LANGUAGE") ? std::getenv("LANGUAGE") : "");
    }
}

TEST(Language, TheOptionWinsOverTheRememberedChoiceWhichWinsOverTheSystem) {
    const Environment env({{"LANG", "pl_PL.UTF-8"}});
    EXPECT_EQ(ChooseLanguage("en", "pl"), "en");
    EXPECT_EQ(ChooseLanguage("", "en"), "en");
    EXPECT_EQ(ChooseLanguage("", "system"), "pl");
    EXPECT_EQ(ChooseLanguage("", ""), "pl");
    EXPECT_EQ(ChooseLanguage("", "klingon"), "pl") << "a word the program does not know";
    EXPECT_EQ(LanguageCode(" PL "), "pl");
    EXPECT_EQ(LanguageCode("pl_PL"), "");
}

TEST(Language, AMissingTranslationLeavesEveryTextEnglish) {
    QTemporaryDir empty;
    SetTranslationsDir(empty.path().toStdString());
    // The built-in copy is in the programs, not in this test: nothing can be loaded.
    EXPECT_FALSE(InstallLanguage(PolishLanguage));
    EXPECT_EQ(CurrentLanguage(), "en");
    EXPECT_EQ(Counted(5, "item", "items"), "5 items");
    EXPECT_EQ(CheckReasonText("not a number"), "not a number");
}

TEST(Language, EnglishTextsAreAsTheProgramBuildsThem) {
    struct Case {
        qint64 n;
        const char* counted;
        const char* sentence;
    };
    for (const Case& c : {Case{0, "0 rows", "Changed 0 rows."}, Case{1, "1 row", "Changed 1 row."},
                          Case{22, "22 rows", "Changed 22 rows."}}) {
        EXPECT_EQ(Counted(c.n, "row", "rows"), c.counted);
        EXPECT_EQ(PluralOr("Changed %n rows.", c.n, QString(c.sentence)), c.sentence);
    }
    EXPECT_EQ(PeopleNumber(1234567.5, 2), "1234567.50");
    EXPECT_EQ(CheckReasonText("PLU name repeat: No. 3 and No. 7"),
              "PLU name repeat: No. 3 and No. 7");
}

TEST_F(Polish, CountsTakeTheirThreePolishForms) {
    struct Case {
        qint64 n;
        const char* items;
        const char* sentence;
    };
    const Case cases[] = {
        {1, "1 towar", "Zmieniono 1 wiersz."},       {2, "2 towary", "Zmieniono 2 wiersze."},
        {4, "4 towary", "Zmieniono 4 wiersze."},     {5, "5 towarów", "Zmieniono 5 wierszy."},
        {12, "12 towarów", "Zmieniono 12 wierszy."}, {22, "22 towary", "Zmieniono 22 wiersze."},
        {25, "25 towarów", "Zmieniono 25 wierszy."}, {0, "0 towarów", "Zmieniono 0 wierszy."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Counted(c.n, "item", "items"), QString::fromUtf8(c.items));
        EXPECT_EQ(PluralOr("Changed %n rows.", c.n, "english"), QString::fromUtf8(c.sentence));
    }
    // Beyond what plural rules take, and a noun no translation knows: English as built.
    EXPECT_EQ(Counted(5'000'000'000LL, "item", "items"), "5000000000 items");
    EXPECT_EQ(Counted(3, "widget", "widgets"), "3 widgets");
}

TEST_F(Polish, AmountsShowADecimalCommaWithoutTheBrokenGroupSeparator) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    for (const Case& c : {Case{1234567.5, 2, "1234567,50"}, Case{0.5, 1, "0,5"},
                          Case{-12.345, 3, "-12,345"}, Case{7, 0, "7"}})
        EXPECT_EQ(PeopleNumber(c.value, c.decimals), c.text);
}

TEST_F(Polish, CheckReasonsAndRepeatMessagesKeepTheirNumbers) {
    struct Case {
        const char* english;
        const char* polish;
    };
    const Case cases[] = {
        {"longer than 18 characters", "dłuższe niż 18 znaków"},
        {"outside -99999.999 to 99999.999", "poza zakresem od -99999.999 do 99999.999"},
        {"outside -99999,999 to 99999,999", "poza zakresem od -99999,999 do 99999,999"},
        {"above 999999.99", "powyżej 999999.99"},
        {"not a whole number from 0 to 8", "to nie jest liczba całkowita od 0 do 8"},
        {"not a whole number", "to nie jest liczba całkowita"},
        {"PLU BCode repeat: No. 12 and No. 9001", "Powtórzony kod kreskowy PLU: nr 12 i nr 9001"},
        {"Dept name and PLU name repeat: No. 3 and No. 40",
         "Nazwa działu powtarza nazwę PLU: nr 3 i nr 40"},
        {"a reason nobody wrote", "a reason nobody wrote"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckReasonText(c.english), QString::fromUtf8(c.polish)) << c.english;
}

TEST_F(Polish, TheGuideOpensInTheLanguageWhereItExists) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("guide/pl"));
    const std::string english = (dir.path() + "/guide/index.html").toStdString();
    EXPECT_EQ(GuideFileIn(english, "pl"), english) << "no Polish page yet";
    QFile page(dir.path() + "/guide/pl/index.html");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_EQ(GuideFileIn(english, "pl"), (dir.path() + "/guide/pl/index.html").toStdString());
    EXPECT_EQ(GuideFileIn(english, "en"), english);
    EXPECT_EQ(GuideFileIn("", "pl"), "");
}

TEST_F(Polish, StepWordsAndKindNamesAreShownTranslatedAndStayEnglishInTheTables) {
    EXPECT_EQ(DisplayWord("Download:"), QString::fromUtf8("Wysyłanie:"));
    EXPECT_EQ(DisplayWord("department"), QString::fromUtf8("działy"));
    EXPECT_EQ(DisplayWord("Neu:"), "Neu:") << "a language file's word is shown as it is";
}

// What the engine words with paths and numbers is told in Polish; the English text, which the
// journal keeps, stays as it was.
TEST_F(Polish, EngineMessagesWithPathsAndNumbersAreTranslated) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    PortSystem system;
    system.root = root;
    const PortFailure port = ExplainOpenFailure("/dev/ttyUSB7", ENOENT, system);
    ASSERT_EQ(port.lines.size(), 2u);
    const TFlowOutcome full = FileOutcome("/x/A.PLU", ENOSPC);
    TBackupManifest manifest;
    const TFlowOutcome backup = CheckBackup(root, manifest);
    THistoryStore store;
    EXPECT_FALSE(store.Open(root));
    const struct {
        QString shown, polish;
    } cases[] = {
        {QString::fromStdString(port.lines[0]), "Nie ma /dev/ttyUSB7 (odłączony?)"},
        {QString::fromStdString(port.lines[1]), "Teraz nie ma żadnego urządzenia szeregowego."},
        {QString::fromStdString(LatencyHint("/dev/ttyUSB0", 16).at(0)).left(52),
         "/dev/ttyUSB0 przetrzymuje odebrane bajty do 16 ms, z"},
        {QString::fromStdString(full.PeopleText()).left(25), "/x/A.PLU: Dysk jest pełny"},
        {QString::fromStdString(backup.PeopleText()),
         dir.path() + "/manifest.ini: brak opisu kopii zapasowej"},
        {store.Problem(), dir.path() + ": to nie jest plik"},
        {NotArchivedText("x"), "Raportu nie zarchiwizowano (x), więc kasa go zachowuje."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, c.polish);
    EXPECT_EQ(full.errorText.substr(0, 19), "/x/A.PLU: Disk full");
    EXPECT_EQ(backup.errorText, root + "/manifest.ini: no backup manifest");
}

} // namespace
