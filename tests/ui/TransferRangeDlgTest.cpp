#include "TransferRangeDlg.h"
#include "Defs.h"
#include "Ini.h"
#include "Settings.h"
#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

template <class T> T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Runs `whileOpen` once the modal dialog is up, then lets Execute return.
bool ExecuteWith(TTransferRangeDlg& dialog, std::function<void()> whileOpen) {
    QTimer::singleShot(0, &dialog, [&dialog, whileOpen] {
        EXPECT_TRUE(dialog.isVisible());
        whileOpen();
        if (dialog.isVisible()) // a test that leaves it open gets it cancelled, not hung
            dialog.reject();
    });
    return dialog.Execute();
}

// Answers the next message box and records its text.
void AnswerNextMessageBox(QString& text) {
    QTimer::singleShot(0, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->accept();
    });
}

std::vector<QString> Lines(QListWidget* list) {
    std::vector<QString> lines;
    for (int i = 0; i < list->count(); ++i)
        lines.push_back(list->item(i)->text());
    return lines;
}

void Tick(QListWidget* list, int line) {
    list->item(line)->setCheckState(Qt::Checked);
}

class RangeDialogs : public ::testing::TestWithParam<bool> {
protected:
    std::unique_ptr<TTransferRangeDlg> Make() {
        if (GetParam())
            return std::make_unique<TUploadDlg>();
        return std::make_unique<TDownloadDlg>();
    }
};

TEST_P(RangeDialogs, NamesAndCaptions) {
    auto dialog = Make();
    EXPECT_EQ(dialog->objectName(), GetParam() ? "UploadDlg" : "DownloadDlg");
    EXPECT_EQ(dialog->windowTitle(), GetParam() ? "Upload data" : "Download data");
    Child<QListWidget>(dialog.get(), "CheckListBox1");
    Child<QWidget>(dialog.get(), "PLURangeGroupBox");
    EXPECT_EQ(Child<QSpinBox>(dialog.get(), "RangeBeginEdit")->value(), 1);
    EXPECT_EQ(Child<QSpinBox>(dialog.get(), "RangeEndEdit")->value(), 3000);
    EXPECT_EQ(Child<QSpinBox>(dialog.get(), "RangeEndEdit")->maximum(), 10000);
    Child<QPushButton>(dialog.get(), "OKBtn");
    Child<QPushButton>(dialog.get(), "CancelBtn");
}

TEST_P(RangeDialogs, SecondOpeningIsUntickedAndKeepsTheRange) {
    auto dialog = Make();
    auto* list = Child<QListWidget>(dialog.get(), "CheckListBox1");
    auto* from = Child<QSpinBox>(dialog.get(), "RangeBeginEdit");
    auto* to = Child<QSpinBox>(dialog.get(), "RangeEndEdit");

    ASSERT_TRUE(ExecuteWith(*dialog, [&] {
        EXPECT_EQ(Lines(list),
                  (std::vector<QString>{"PLU", "department", "recycling", "parameter"}));
        Tick(list, 3); // ticked out of kind order
        Tick(list, 0);
        from->setValue(5);
        to->setValue(20);
        QTest::mouseClick(Child<QPushButton>(dialog.get(), "OKBtn"), Qt::LeftButton);
    }));
    EXPECT_EQ(dialog->Kinds(), KindSet("1001"));
    EXPECT_EQ(dialog->RangeBegin(), 5);
    EXPECT_EQ(dialog->RangeEnd(), 20);

    EXPECT_FALSE(ExecuteWith(*dialog, [&] {
        for (int i = 0; i < list->count(); ++i)
            EXPECT_EQ(list->item(i)->checkState(), Qt::Unchecked) << i;
        EXPECT_EQ(from->value(), 5);
        EXPECT_EQ(to->value(), 20);
        Tick(list, 1);
        QTest::mouseClick(Child<QPushButton>(dialog.get(), "CancelBtn"), Qt::LeftButton);
    }));
    EXPECT_EQ(dialog->Kinds(), KindSet("1001")) << "Cancel leaves the kind set";

    EXPECT_FALSE(ExecuteWith(*dialog, [&] {
        QTest::mouseClick(Child<QPushButton>(dialog.get(), "OKBtn"), Qt::LeftButton);
    })) << "OK with nothing ticked closes nothing";
    EXPECT_EQ(dialog->Kinds(), KindSet("1001"));
}

// A transfer of no kind would still connect, and an upload would still empty the document.
TEST_P(RangeDialogs, OkWaitsForATickedKind) {
    auto dialog = Make();
    auto* list = Child<QListWidget>(dialog.get(), "CheckListBox1");
    auto* ok = Child<QPushButton>(dialog.get(), "OKBtn");
    std::vector<bool> seen;
    ASSERT_TRUE(ExecuteWith(*dialog, [&] {
        seen.push_back(ok->isEnabled());
        QTest::keyClick(list, Qt::Key_Return);
        seen.push_back(dialog->isVisible());
        Tick(list, 2);
        seen.push_back(ok->isEnabled());
        list->item(2)->setCheckState(Qt::Unchecked);
        seen.push_back(ok->isEnabled());
        Tick(list, 0);
        QTest::keyClick(list, Qt::Key_Return);
    }));
    EXPECT_EQ(seen, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(dialog->Kinds(), KindSet("0001"));
}

TEST_P(RangeDialogs, KeyboardAloneChoosesAKind) {
    auto dialog = Make();
    auto* list = Child<QListWidget>(dialog.get(), "CheckListBox1");
    ASSERT_TRUE(ExecuteWith(*dialog, [&] {
        QWidget* focus = dialog->focusWidget();
        ASSERT_EQ(focus, list) << "the check list takes the keys when the dialog opens";
        QTest::keyClick(focus, Qt::Key_Down);
        QTest::keyClick(focus, Qt::Key_Space);
        QTest::keyClick(focus, Qt::Key_Return);
    }));
    EXPECT_EQ(dialog->Kinds(), KindSet("0010"));
}

TEST_P(RangeDialogs, InvalidRangeKeepsTheDialogOpen) {
    auto dialog = Make();
    QString message;
    bool stillOpen = false;
    EXPECT_FALSE(ExecuteWith(*dialog, [&] {
        Tick(Child<QListWidget>(dialog.get(), "CheckListBox1"), 0);
        Child<QSpinBox>(dialog.get(), "RangeBeginEdit")->setValue(20);
        Child<QSpinBox>(dialog.get(), "RangeEndEdit")->setValue(10);
        AnswerNextMessageBox(message);
        QTest::mouseClick(Child<QPushButton>(dialog.get(), "OKBtn"), Qt::LeftButton);
        stillOpen = dialog->isVisible();
        QTest::mouseClick(Child<QPushButton>(dialog.get(), "CancelBtn"), Qt::LeftButton);
    }));
    EXPECT_EQ(message, "Invalid PLU range");
    EXPECT_TRUE(stillOpen);
}

TEST_P(RangeDialogs, EmptiedFromFieldConfirmedWithEnterReadsAsOne) {
    auto dialog = Make();
    EXPECT_TRUE(ExecuteWith(*dialog, [&] {
        auto* from = Child<QSpinBox>(dialog.get(), "RangeBeginEdit");
        Tick(Child<QListWidget>(dialog.get(), "CheckListBox1"), 0);
        Child<QSpinBox>(dialog.get(), "RangeEndEdit")->setValue(5);
        from->setValue(3);
        from->setFocus();
        from->selectAll();
        QTest::keyClick(from, Qt::Key_Delete);
        EXPECT_EQ(from->text(), "");
        QTest::keyClick(from, Qt::Key_Return);
    }));
    EXPECT_EQ(dialog->RangeBegin(), 1);
    EXPECT_EQ(dialog->RangeEnd(), 5);
}

TEST_P(RangeDialogs, KindNamesAreReadAtEachOpening) {
    TempProgramDir dir; // the default code page, CP1250
    auto dialog = Make();
    auto& names = GetParam() ? UploadKindNames : DownloadKindNames;
    const auto saved = names;
    names[1] = "dzia\xB3y"; // CP1250 bytes from a language file
    std::vector<QString> lines;
    ExecuteWith(*dialog, [&] { lines = Lines(Child<QListWidget>(dialog.get(), "CheckListBox1")); });
    names = saved;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], QString::fromUtf8("dzia\xC5\x82y"));
}

INSTANTIATE_TEST_SUITE_P(DownloadAndUpload, RangeDialogs, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Upload" : "Download"; });

TEST(UploadDlg, CarriesTwoLinesUntilItsFirstOpening) {
    TUploadDlg dialog;
    EXPECT_EQ(Lines(Child<QListWidget>(&dialog, "CheckListBox1")),
              (std::vector<QString>{"PLU", "Department"}));
}

// "Back up the register first": off at first, kept in SYSTEM.CFG by OK only.
TEST(DownloadDlg, BackupFirstIsRememberedOnlyByOK) {
    TempProgramDir dir;
    TDownloadDlg dialog;
    auto* check = Child<QCheckBox>(&dialog, "BackupFirstCheck");
    const auto open = [&](std::function<void()> whileOpen) {
        bool shownTicked = false;
        ExecuteWith(dialog, [&] {
            shownTicked = check->isChecked();
            whileOpen();
        });
        return shownTicked;
    };
    EXPECT_FALSE(open([&] {
        check->setChecked(true);
        dialog.reject();
    }));
    EXPECT_EQ(IniReadString(SystemCfgPath(), "Safety", "BackupBeforeDownload", "none"), "none");
    EXPECT_FALSE(open([&] {
        QTest::keyClick(check, Qt::Key_Space);
        Tick(Child<QListWidget>(&dialog, "CheckListBox1"), 0);
        QTest::mouseClick(Child<QPushButton>(&dialog, "OKBtn"), Qt::LeftButton);
    }));
    EXPECT_TRUE(dialog.BackupFirst());
    EXPECT_EQ(IniReadString(SystemCfgPath(), "Safety", "BackupBeforeDownload", "none"), "1");
    EXPECT_TRUE(open([&] { dialog.reject(); }));
}

// A comparison changes nothing: its kinds start ticked and keep the last choice.
TEST(CompareDlg, OffersEveryKindTickedThenTheLastChoice) {
    TCompareDlg dialog;
    auto* list = Child<QListWidget>(&dialog, "CheckListBox1");
    const auto ticked = [&] {
        std::vector<bool> lines;
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->checkState() == Qt::Checked);
        return lines;
    };
    std::vector<bool> first;
    EXPECT_TRUE(ExecuteWith(dialog, [&] {
        first = ticked();
        list->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(Child<QPushButton>(&dialog, "OKBtn"), Qt::LeftButton);
    }));
    EXPECT_EQ(first, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(dialog.Kinds(), KindSet(0b1101));
    std::vector<bool> second;
    ExecuteWith(dialog, [&] { second = ticked(); });
    EXPECT_EQ(second, (std::vector<bool>{true, false, true, true}));
}

} // namespace
