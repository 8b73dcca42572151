// The comparison's window: every difference under its kind, the list saved as UTF-8 text, and
// "Send these changes" offered only when a ticked kind differs, sending only the ticked kinds
// and each of them once.
#include "CompareForm.h"
#include "CodePage.h"
#include "TempDir.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
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

TEST(CompareForm, ListsByKindSavesAndSendsTheTickedKindsOnce) {
    SetDocumentCodePage("CP1250");
    TempProgramDir dir;
    TCompareForm form;
    std::vector<KindSet> sent;
    form.sendChanges = [&](const TComparison& c, KindSet chosen) {
        EXPECT_EQ(c.changedPlus, std::vector<int>{12});
        sent.push_back(chosen);
        return TFlowOutcome{};
    };
    form.chooseSaveFile = [&] { return QString::fromStdString(dir.Path("list.txt")); };
    QString summary, afterAll;
    WhenShown(form, [&] {
        auto* tree = Child<QTreeView>(&form, "DifferenceTree");
        const QAbstractItemModel* model = tree->model();
        ASSERT_EQ(model->rowCount(), 4) << "one row per kind compared";
        const QModelIndex pluRow = model->index(0, 0), deptRow = model->index(1, 0),
                          paramRow = model->index(3, 0);
        EXPECT_EQ(pluRow.data().toString(), "PLU: 1 difference in 1 item");
        EXPECT_EQ(deptRow.data().toString(), "department: no difference");
        EXPECT_EQ(pluRow.data(Qt::CheckStateRole).toInt(), Qt::Checked);
        EXPECT_EQ(deptRow.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
        EXPECT_FALSE(model->flags(deptRow) & Qt::ItemIsUserCheckable) << "nothing to send";
        ASSERT_EQ(model->rowCount(pluRow), 1);
        ASSERT_EQ(model->rowCount(deptRow), 0);
        EXPECT_EQ(model->index(0, 0, pluRow).data().toString(), "PLU 12");
        EXPECT_EQ(model->index(0, 3, pluRow).data().toString(), "MILK");
        EXPECT_EQ(model->index(0, 2, pluRow).data().toString(), QString::fromUtf8("ŁódĽ"));
        EXPECT_EQ(model->index(0, 1, paramRow).data().toString(), "Header1");
        EXPECT_FALSE(model->index(0, 0, paramRow).data().isValid()) << "a parameter has no number";
        QTest::mouseClick(Child<QPushButton>(&form, "SaveListBtn"), Qt::LeftButton);

        // The parameters are left out from the keyboard: Space on their row.
        tree->setFocus();
        tree->setCurrentIndex(paramRow);
        QTest::keyClick(tree, Qt::Key_Space);
        EXPECT_EQ(paramRow.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
        auto* send = Child<QPushButton>(&form, "SendBtn");
        ASSERT_TRUE(send->isEnabled());
        QTest::mouseClick(send, Qt::LeftButton);
        EXPECT_FALSE(send->isEnabled()) << "sent once";
        summary = Child<QLabel>(&form, "SummaryLabel")->text();
        EXPECT_FALSE(model->flags(pluRow) & Qt::ItemIsUserCheckable) << "sent already";
        EXPECT_TRUE(pluRow.data().toString().endsWith("(sent)"));

        // Ticked again, they go on their own.
        QTest::keyClick(tree, Qt::Key_Space);
        ASSERT_TRUE(send->isEnabled());
        QTest::mouseClick(send, Qt::LeftButton);
        EXPECT_FALSE(send->isEnabled());
        afterAll = Child<QLabel>(&form, "SummaryLabel")->text();
    });
    form.ShowComparison(TwoDifferences());
    KindSet plu, parameter;
    plu.set(KindPLU);
    parameter.set(KindParameter);
    EXPECT_EQ(sent, (std::vector<KindSet>{plu, parameter}));
    EXPECT_EQ(summary, "Register ECR 7, PLU 1-50:\nPLU: 1 difference in 1 item; department: no "
                       "difference; recycling: no difference; parameter: 1 difference\nThe "
                       "changes have been sent, except those of parameter.");
    EXPECT_TRUE(afterAll.endsWith("\nThe changes have been sent.")) << afterAll.toStdString();
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
