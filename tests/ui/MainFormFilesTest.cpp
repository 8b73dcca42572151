// Where the main window's file dialogs start and what they propose, driven through the real
// dialogs; what the window keeps in SYSTEM.CFG for the next run.
#include "CompareForm.h"
#include "DocumentFile.h"
#include "FileDialog.h"
#include "Ini.h"
#include "MainForm.h"
#include "Settings.h"
#include "TempDir.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Seen {
    QString folder;   // where the dialog started
    QString proposed; // the name it offered
    QString chosen;   // what the window was given
};

// Answers the file dialog that choose opens: types the name and presses Enter, or cancels
// when the name is empty. A dialog that does not close on the name is a failure, and closed.
Seen RunDialog(const std::function<QString()>& choose, const QString& typed) {
    Seen seen;
    bool answered = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr)
            return;
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (answered || dialog == nullptr) {
            ADD_FAILURE() << "still open: " << modal->metaObject()->className();
            modal->reject();
            return;
        }
        answered = true;
        seen.folder = dialog->directory().absolutePath();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        seen.proposed = name ? name->text() : QString();
        if (typed.isEmpty() || name == nullptr) {
            dialog->reject();
            return;
        }
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    answer.start(20);
    seen.chosen = choose();
    EXPECT_TRUE(answered) << "no file dialog";
    return seen;
}

void Show(TMainForm& form) {
    form.resize(1000, 700);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

TEST(MainFormFiles, DialogsStartWhereTheUserWorksAndTheWindowKeepsItForTheNextRun) {
    TempProgramDir dir;
    const QString shop = QString::fromStdString(dir.Path("shop"));
    const QString sheets = QString::fromStdString(dir.Path("sheets"));
    ASSERT_TRUE(QDir().mkpath(shop) && QDir().mkpath(sheets));
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    ASSERT_EQ(WriteDocumentFiles(dir.Path("shop/a.PLU"), plu, dept, recy), 0);
    WriteFileBytes(dir.Path("sheets/x.csv"), "Name\nTEA\n");
    {
        TMainForm form;
        Show(form);
        ASSERT_TRUE(form.LoadDocument(dir.Path("shop/a.PLU")));
        struct Step {
            const char* what;
            std::function<QString()> choose;
            QString typed;
            Seen expected;
        } steps[] = {
            {"open", form.chooseOpenFile, "", {shop, "", ""}},
            {"import", form.chooseImportFile, sheets + "/x.csv", {shop, "", sheets + "/x.csv"}},
            {"export", [&] { return form.chooseExportFile("csv"); }, "", {sheets, "a.csv", ""}},
            {"save as", form.chooseSaveFile, "", {shop, "a.PLU", ""}},
            {"save list",
             form.CompareForm->chooseSaveFile,
             "list",
             {sheets, "comparison.txt", sheets + "/list.txt"}},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            const Seen seen = RunDialog(step.choose, step.typed);
            EXPECT_EQ(seen.folder, step.expected.folder);
            EXPECT_EQ(seen.proposed, step.expected.proposed);
            EXPECT_EQ(seen.chosen, step.expected.chosen);
        }
        form.findChild<QSplitter*>("VSplitter")->setSizes({500, 150});
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(IniReadString(SystemCfgPath(), "Window", "LastFolder", ""), sheets.toStdString());
    EXPECT_EQ(IniReadInteger(SystemCfgPath(), "Window", "ReportHeight", 0), 150);

    TMainForm next; // no document yet
    Show(next);
    EXPECT_EQ(RunDialog(next.chooseOpenFile, "").folder, sheets);
    EXPECT_EQ(next.findChild<QSplitter*>("VSplitter")->sizes().value(1), 150);
}

TEST(MainFormFiles, ANameSavedWithoutAnExtensionGetsTheUsualOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/list", "/a/list.txt"},     {"/a/list.", "/a/list.txt"},
        {"/a/list.csv", "/a/list.csv"}, {"/a.b/list", "/a.b/list.txt"},
        {"/a/.hidden", "/a/.hidden"},   {"", ""},
    };
    for (const auto& [typed, saved] : cases)
        EXPECT_EQ(WithDefaultSuffix(typed, "txt"), saved) << typed;
}

// A folder that vanished, or a SYSTEM.CFG that cannot be written, never stops the window.
TEST(MainFormFiles, AMissingFolderAndAnUnwritableSettingsFileAreNoObstacle) {
    TempProgramDir dir;
    IniWriteString(SystemCfgPath(), "Window", "LastFolder", dir.Path("gone"));
    IniWriteString(SystemCfgPath(), "Window", "ReportHeight", "-40");
    TMainForm form;
    Show(form);
    EXPECT_NE(form.WorkFolder(), QString::fromStdString(dir.Path("gone")));
    EXPECT_TRUE(QFileInfo(form.WorkFolder()).isDir());
    EXPECT_EQ(form.WindowMemory().reportHeight, 0);
    form.findChild<QSplitter*>("VSplitter")->setSizes({500, 150});
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0500), 0);
    const bool root = ::access(dir.Path().c_str(), W_OK) == 0; // root writes all the same
    EXPECT_TRUE(form.close());
    ::chmod(dir.Path().c_str(), 0700);
    if (!root) {
        EXPECT_EQ(IniReadString(SystemCfgPath(), "Window", "ReportHeight", ""), "-40");
    }
}

} // namespace
