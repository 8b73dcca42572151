// The comparison's window: every difference in the grid, the list saved as UTF-8 text, and
// "Send these changes" offered only when something differs and only once it was sent.
#include "CompareForm.h"
#include "CodePage.h"
#include "TempDir.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TComparison TwoDifferences() {
    TComparison c;
    c.kinds = AllKinds;
    c.rangeBegin = 1;
    c.rangeEnd = 50;
    c.identification = "ECR 7";
    c.differences = {{KindPLU, 2, 12, "\xA3\xF3\x64\xBC", "MILK"},
                     {KindParameter, 34, 0, "THANKS", ""}};
    c.changedPlus = {12};
    c.differencesOfKind = {1, 0, 0, 1};
    c.itemsOfKind = {1, 0, 0, 1};
    return c;
}

template <class T> T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void WhenShown(QDialog& form, std::function<void()> whileOpen) {
    QTimer::singleShot(0, &form, [&form, whileOpen] {
        whileOpen();
        form.accept();
    });
}

TEST(CompareForm, ListsSavesAndSendsOnce) {
    SetDocumentCodePage("CP1250");
    TempProgramDir dir;
    TCompareForm form;
    int sends = 0;
    form.sendChanges = [&](const TComparison& c) {
        EXPECT_EQ(c.changedPlus, std::vector<int>{12});
        ++sends;
        return TFlowOutcome{};
    };
    form.chooseSaveFile = [&] { return QString::fromStdString(dir.Path("list.txt")); };
    QString summary;
    WhenShown(form, [&] {
        auto* grid = Child<QTableView>(&form, "DifferenceGrid");
        ASSERT_EQ(grid->model()->rowCount(), 2);
        EXPECT_EQ(grid->model()->index(0, 4).data().toString(), "MILK");
        EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QString::fromUtf8("ŁódĽ"));
        EXPECT_EQ(grid->model()->index(1, 2).data().toString(), "Header1");
        EXPECT_FALSE(grid->model()->index(1, 1).data().isValid()) << "a parameter has no number";
        QTest::mouseClick(Child<QPushButton>(&form, "SaveListBtn"), Qt::LeftButton);
        auto* send = Child<QPushButton>(&form, "SendBtn");
        ASSERT_TRUE(send->isEnabled());
        QTest::mouseClick(send, Qt::LeftButton);
        EXPECT_FALSE(send->isEnabled()) << "sent once";
        summary = Child<QLabel>(&form, "SummaryLabel")->text();
    });
    form.ShowComparison(TwoDifferences());
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(summary, "Register ECR 7, PLU 1-50:\nPLU: 1 difference in 1 item; department: no "
                       "difference; recycling: no difference; parameter: 1 difference\nThe "
                       "changes have been sent.");
    EXPECT_EQ(ReadFileBytes(dir.Path("list.txt")),
              "Comparison with the register ECR 7\nPLU range 1-50\nPLU: 1 difference in 1 item; "
              "department: no difference; recycling: no difference; parameter: 1 difference\n\n"
              "PLU 12 Name: PC \"ŁódĽ\", register \"MILK\"\nparameter Header1: PC \"THANKS\", "
              "register \"\"\n");

    // Nothing differs: nothing to send, and Enter closes.
    bool sendOffered = true;
    WhenShown(form, [&] { sendOffered = Child<QPushButton>(&form, "SendBtn")->isEnabled(); });
    form.ShowComparison(TComparison{});
    EXPECT_FALSE(sendOffered);
}

} // namespace
