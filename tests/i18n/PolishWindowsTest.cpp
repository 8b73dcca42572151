// The window program in Polish: every menu and dialog with mnemonics that do not clash, no text
// cut at the two screen sizes a shop PC has, the language file still winning, and the Language
// menu remembering the choice without touching the rest of SYSTEM.CFG. Without a translation
// the windows keep their English texts.
#include "AboutBox.h"
#include "Defs.h"
#include "DisplayTexts.h"
#include "ErrorBox.h"
#include "FlowOutcome.h"
#include "HistoryJournalTab.h"
#include "Ini.h"
#include "Language.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "ProgressForm.h"
#include "Settings.h"
#include "SheetColumns.h"
#include "TempDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// The letter after a single '&', lower-cased; none for "&&" or no mark.
std::optional<QChar> Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return std::nullopt;
}

// Every mnemonic of the menu's items used once; the same for its submenus.
void ExpectUniqueMnemonics(const QMenu* menu) {
    std::map<QChar, QString> seen;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        if (const auto letter = Mnemonic(action->text())) {
            EXPECT_FALSE(seen.count(*letter))
                << menu->title().toStdString() << ": \"" << action->text().toStdString()
                << "\" and \"" << seen[*letter].toStdString() << "\"";
            seen[*letter] = action->text();
        }
        if (action->menu())
            ExpectUniqueMnemonics(action->menu());
    }
}

QString TextOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    return {};
}

// The visible texts of a window with their widgets, the window's own excluded.
std::vector<const QWidget*> TextWidgets(const QWidget* window) {
    std::vector<const QWidget*> widgets;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != window || TextOf(w).isEmpty())
            continue;
        // Labels that are the register's or the document's words, not the program's.
        if (auto* label = qobject_cast<const QLabel*>(w); label && label->wordWrap())
            continue;
        widgets.push_back(w);
    }
    return widgets;
}

void ExpectNothingCut(const QWidget* window, const std::string& where) {
    for (const QWidget* w : TextWidgets(window)) {
        const QString text = TextOf(w);
        QString plain = text;
        plain.remove(QRegularExpression("&(?!&)"));
        const int needed = qobject_cast<const QGroupBox*>(w)
                               ? w->fontMetrics().horizontalAdvance(plain)
                               : w->sizeHint().width();
        EXPECT_GE(w->width(), needed)
            << where << ": \"" << text.toStdString() << "\" (" << w->metaObject()->className()
            << " " << w->objectName().toStdString() << ") is " << w->width() << " wide";
    }
}

// The dialogs' lists draw their column titles bold; each shown section holds its whole title.
// (The main window's grids draw theirs plain, at the widths the register's layout gives.)
void ExpectNoTitleCut(const QWidget* window, const std::string& where) {
    for (const QHeaderView* header : window->findChildren<QHeaderView*>()) {
        if (!header->isVisible() || header->orientation() != Qt::Horizontal || !header->model())
            continue;
        QFont bold = header->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const int margins =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < header->count(); ++c) {
            const QString title = header->model()->headerData(c, Qt::Horizontal).toString();
            if (header->isSectionHidden(c) || title.isEmpty() ||
                (c == header->count() - 1 && header->stretchLastSection()))
                continue;
            EXPECT_GE(header->sectionSize(c), metrics.horizontalAdvance(title) + margins)
                << where << ": column \"" << title.toStdString() << "\" of "
                << header->parentWidget()->objectName().toStdString();
        }
    }
}

void ExpectUniqueMnemonics(const QWidget* window, const std::string& where) {
    std::map<QChar, QString> seen;
    for (const QWidget* w : TextWidgets(window)) {
        if (const auto letter = Mnemonic(TextOf(w))) {
            EXPECT_FALSE(seen.count(*letter)) << where << ": \"" << TextOf(w).toStdString()
                                              << "\" and \"" << seen[*letter].toStdString() << "\"";
            seen[*letter] = TextOf(w);
        }
    }
}

class PolishWindows : public ::testing::Test {
protected:
    void SetUp() override {
        titles_ = PLUTitles;
        deptTitles_ = DeptTitles;
        recyTitles_ = RecyTitles;
        SetTranslationsDir(QPLU_QM_DIR);
        ASSERT_TRUE(InstallLanguage(PolishLanguage));
        TranslateDisplayTables();
    }
    void TearDown() override {
        form.reset();
        InstallLanguage(EnglishLanguage);
        PLUTitles = titles_;
        DeptTitles = deptTitles_;
        RecyTitles = recyTitles_;
    }
    void ShowForm(QSize size) {
        form = std::make_unique<TMainForm>();
        form->resize(size);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    std::vector<QDialog*> Dialogs() const {
        std::vector<QDialog*> dialogs;
        for (QDialog* d : form->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
            dialogs.push_back(d);
        dialogs.push_back(form->ProgressForm);
        return dialogs;
    }

    TempProgramDir dir;
    std::unique_ptr<TMainForm> form;

private:
    std::array<std::string, PLUColCount> titles_;
    std::array<std::string, DeptColCount> deptTitles_;
    std::array<std::string, 2> recyTitles_;
};

TEST_F(PolishWindows, MenusAreInPolishWithMnemonicsUsedOncePerMenu) {
    ShowForm({1280, 1024});
    const QMenuBar* bar = form->findChild<QMenuBar*>("MainMenu");
    ASSERT_NE(bar, nullptr);
    std::set<QChar> titles;
    QStringList shown;
    for (QAction* action : bar->actions()) {
        shown << action->text();
        const auto letter = Mnemonic(action->text());
        ASSERT_TRUE(letter) << action->text().toStdString();
        EXPECT_TRUE(titles.insert(*letter).second) << action->text().toStdString();
        ExpectUniqueMnemonics(action->menu());
    }
    EXPECT_EQ(shown, QStringList({"&Plik", "&Edycja", "&Komunikacja", "Pomo&c"}));
    EXPECT_EQ(form->DownloadItem->text(), QString::fromUtf8("Wyślij do kasy..."));
    EXPECT_EQ(form->UploadItem->text(), QString::fromUtf8("Odczytaj z kasy..."));
    EXPECT_EQ(form->LanguagePolishItem->text(), "&Polski");
    EXPECT_EQ(form->PLUModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("Kod kreskowy"));
}

TEST_F(PolishWindows, EveryDialogAndTheMainWindowShowEveryTextWholeAtBothScreenSizes) {
    for (const QSize size : {QSize(1280, 1024), QSize(1024, 768)}) {
        ShowForm(size);
        const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
        ExpectNothingCut(form.get(), "main window " + at);
        for (QDialog* dialog : Dialogs()) {
            const std::string name = dialog->objectName().toStdString() + " " + at;
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog)) << name;
            EXPECT_LE(dialog->width(), size.width()) << name;
            EXPECT_LE(dialog->height(), size.height()) << name;
            EXPECT_FALSE(TextWidgets(dialog).empty()) << name;
            ExpectNothingCut(dialog, name);
            ExpectNoTitleCut(dialog, name);
            ExpectUniqueMnemonics(dialog, name);
            dialog->hide();
        }
        form.reset();
    }
}

TEST_F(PolishWindows, TheLanguageFileWinsOverTheTranslation) {
    WriteFileBytes(dir.Path("texts.LNG"), "[MainForm]\r\nNewItem.Caption=&Neu\r\n"
                                          "[PLU Titles]\r\n2=Bezeichnung\r\n");
    form = std::make_unique<TMainForm>();
    form->languageFile = dir.Path("texts.LNG");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->NewItem->text(), "&Neu");
    EXPECT_EQ(form->OpenItem->text(), QString::fromUtf8("&Otwórz..."));
    EXPECT_EQ(PLUTitles[2], "Bezeichnung");
    EXPECT_EQ(PLUTitles[1], "Kod kreskowy");
}

TEST_F(PolishWindows, TheLanguageMenuKeepsTheChoiceBesideTheOtherSettings) {
    WriteFileBytes(dir.Path("SYSTEM.CFG"), "[Comm]\r\nPort=3\r\n[Window]\r\nReportHeight=90\r\n");
    ShowForm({1024, 768});
    struct Case {
        QAction* item;
        const char* stored;
    };
    for (const Case& c :
         {Case{form->LanguageEnglishItem, "en"}, Case{form->LanguagePolishItem, "pl"},
          Case{form->LanguageSystemItem, "system"}}) {
        ModalAnswer answer(QMessageBox::Ok);
        c.item->trigger();
        EXPECT_EQ(answer.Count(), 1) << c.stored;
        EXPECT_TRUE(answer.Text().contains(QString::fromUtf8("następnym uruchomieniu")))
            << answer.Text().toStdString();
        const IniFile cfg(dir.Path("SYSTEM.CFG"));
        EXPECT_EQ(cfg.ReadString("Window", "Language", ""), c.stored);
        EXPECT_EQ(cfg.ReadInteger("Comm", "Port", 0), 3);
        EXPECT_EQ(cfg.ReadInteger("Window", "ReportHeight", 0), 90);
    }
}

TEST_F(PolishWindows, ALanguageThatCannotBeKeptIsToldAndNothingChanges) {
    ShowForm({1024, 768});
    // A folder that does not exist: no user, root included, can write the file there.
    SetSystemCfgPath(dir.Path("gone/SYSTEM.CFG"));
    ModalAnswer answer(QMessageBox::Ok);
    form->LanguagePolishItem->trigger();
    SetSystemCfgPath({});
    EXPECT_EQ(answer.Count(), 1);
    EXPECT_TRUE(answer.Text().contains("SYSTEM.CFG")) << answer.Text().toStdString();
    EXPECT_FALSE(answer.Text().contains(QString::fromUtf8("następnym"))) << "not told as done";
}

TEST(EnglishWindows, WithoutATranslationTheTextsAreAsAlways) {
    TempProgramDir dir;
    InstallLanguage(EnglishLanguage);
    TMainForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const std::pair<QAction*, const char*> items[] = {
        {form.NewItem, "&New"},
        {form.DownloadItem, "Download data..."},
        {form.CheckItem, "Check &document"},
        {form.CompareItem, "Co&mpare with register..."},
        {form.LanguageSystemItem, "&System"},
        {form.AboutItem, "&About..."},
    };
    for (const auto& [item, text] : items)
        EXPECT_EQ(item->text(), text);
    EXPECT_EQ(form.windowTitle(), "Quorve PLU manager");
    EXPECT_EQ(form.ProgressForm->windowTitle(), "Progress");
    EXPECT_EQ(ProgressText("Download:department...Error!"), "Download:department...Error!");
}

TEST_F(PolishWindows, ProgressTextsShowTranslatedWordsOfTheFlowsEnglishTexts) {
    struct Case {
        const char* flow;
        const char* shown;
    };
    const Case cases[] = {
        {"Connect...", "Łączenie..."},
        {"Connect...Error!", "Łączenie...Błąd!"},
        {"Download:department...", "Wysyłanie:działy..."},
        {"Upload:PLU...Error!", "Odczyt:PLU...Błąd!"},
        {"Check ecr status...", "Sprawdzanie stanu kasy..."},
        {"Wait 1 second...", "Czekaj 1 sekundę..."},
        {"Something new...", "Something new..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressText(c.flow), QString::fromUtf8(c.shown)) << c.flow;
    // A flow's failure as a window tells it, and the journal's stored words as its list shows them.
    const TFlowOutcome failed{TFlowResult::RegisterFailed, "Upload:PLU...Error!"};
    EXPECT_EQ(OutcomeText(failed), QString::fromUtf8("Odczyt:PLU...Błąd!"));
    EXPECT_EQ(THistoryJournalTab::OperationText("send-changes"),
              QString::fromUtf8("wysłanie zmian"));
    EXPECT_EQ(THistoryJournalTab::KindsText("plu,dept,param"),
              QString::fromUtf8("PLU,działy,parametry"));
}

} // namespace

namespace {

// A translated column title is a name imports know: the Polish grid's own header must feed
// each column its own data, never another column's (a sold quantity is no stock).
TEST_F(PolishWindows, EveryTranslatedColumnTitleNamesItsOwnColumnInAnImport) {
    for (const SheetTable table : {SheetTable::PLU, SheetTable::Department, SheetTable::Recycling})
        for (int col = 0; col <= SheetColumns(table); ++col)
            EXPECT_EQ(ColumnNamed(table, SheetColumnTitle(table, col)), col)
                << int(table) << ": " << SheetColumnTitle(table, col).toStdString();
}

} // namespace
