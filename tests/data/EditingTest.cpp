// The editing engine: undo and redo restore every byte, bulk changes round and refuse as the
// cell checks do, and finding folds case and accents over code-page bytes.
#include "BulkChange.h"
#include "CodePage.h"
#include "EditHistory.h"
#include "TextFinder.h"

#include <gtest/gtest.h>

namespace {

struct Doc {
    TextTable plu = MakePLUTable();
    TextTable dept = MakeDeptTable();
    RecyTable recy;
    Doc() {
        InitialRecyTable(recy);
        FillTestData(plu, dept, recy);
    }
    DocumentTables Tables() { return {plu, dept, recy}; }
};

TEST(EditHistory, UndoAndRedoAcrossCellsMovesAndRecycling) {
    SetDecimalSeparator('.');
    Doc doc;
    const Doc original;
    EditHistory history;

    EditStep typed("Typing");
    typed.Cell(DocTable::PLU, 5, 2, doc.plu.Cell(5, 2), "Mléko");
    doc.plu.Cell(5, 2) = "Mléko";
    history.Push(std::move(typed));

    doc.plu.MoveRow(5, 9); // the typed row moves down
    EditStep moved("Move row");
    moved.Move(DocTable::PLU, 5, 9);
    history.Push(std::move(moved));

    const BlockSnapshot block(doc.dept, 2, 1, 3, 3);
    doc.dept.Cell(2, 1) = "";
    doc.dept.Cell(3, 3) = std::string(300, 'x'); // longer than a byte can count
    EditStep pasted("Paste");
    block.Record(pasted, DocTable::Dept, doc.dept);
    EXPECT_EQ(pasted.Entries(), 2) << "unchanged cells are not kept";
    history.Push(std::move(pasted));

    const RecyTable recyBefore = doc.recy;
    doc.recy[99].price = "1.50";
    EditStep recy("Recycling");
    recy.Diff(recyBefore, doc.recy);
    history.Push(std::move(recy));
    history.Push(EditStep("nothing")); // empty: not a step

    EXPECT_EQ(history.Steps(), 4u);
    EXPECT_EQ(doc.plu.Cell(9, 2), "Mléko");
    const Doc edited = doc;
    while (history.CanUndo())
        history.Undo(doc.Tables());
    for (int r = 1; r <= 30000; r += 1)
        for (int c = 1; c <= 8; ++c)
            ASSERT_EQ(doc.plu.Cell(r, c), original.plu.Cell(r, c)) << r << "," << c;
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 3; ++c)
            ASSERT_EQ(doc.dept.Cell(r, c), original.dept.Cell(r, c));
    EXPECT_EQ(doc.recy[99].price, original.recy[99].price);

    TouchedCells touched;
    while (history.CanRedo())
        touched = history.Redo(doc.Tables());
    EXPECT_EQ(doc.plu.Cell(9, 2), edited.plu.Cell(9, 2));
    EXPECT_EQ(doc.plu.Cell(5, 2), edited.plu.Cell(5, 2));
    EXPECT_EQ(doc.dept.Cell(3, 3), edited.dept.Cell(3, 3).substr(0, 300));
    EXPECT_EQ(doc.recy[99].price, "1.50");
    ASSERT_TRUE(touched[size_t(DocTable::Recy)]);
    EXPECT_EQ(touched[size_t(DocTable::Recy)]->top, 100);

    // A new step after an undo drops the steps that were undone.
    history.Undo(doc.Tables());
    EditStep other("Typing");
    other.Cell(DocTable::PLU, 1, 3, doc.plu.Cell(1, 3), "1.00");
    history.Push(std::move(other));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Steps(), 4u);
}

TEST(EditHistory, TheOldestStepsGoBeyondTheByteLimit) {
    Doc doc;
    EditHistory history;
    history.SetByteLimit(4000);
    for (int i = 1; i <= 50; ++i) {
        EditStep step("Typing");
        step.Cell(DocTable::PLU, i, 2, doc.plu.Cell(i, 2), "Item " + std::to_string(i));
        history.Push(std::move(step));
    }
    EXPECT_LE(history.Bytes(), 4000u);
    EXPECT_GT(history.Steps(), 5u);
    EXPECT_LT(history.Steps(), 50u);
    EditStep big("Test data");
    big.Diff(DocTable::PLU, MakePLUTable(), doc.plu);
    history.Push(std::move(big));
    EXPECT_EQ(history.Steps(), 1u) << "the newest step stays, however large";
}

TEST(BulkChange, EachRoundingAndItsUndoRestoreEveryByte) {
    SetDecimalSeparator('.');
    struct Case {
        BulkChange::Price op;
        double value;
        int round;
        long long cents, expected;
    };
    const Case cases[] = {
        {BulkChange::Price::UpPercent, 4, 1, 1250, 1300},
        {BulkChange::Price::UpPercent, 4, 5, 1999, 2080},   // 20.7896
        {BulkChange::Price::UpPercent, 4, 10, 1999, 2080},  // 20.79 -> 20.80
        {BulkChange::Price::UpPercent, 4, 100, 1999, 2100}, // 20.79 -> 21.00
        {BulkChange::Price::DownPercent, 0.5, 1, 110, 109}, // 109.45 cents
        {BulkChange::Price::UpAmount, 0.025, 5, 100, 105},  // 1.025: a half step goes up
        {BulkChange::Price::DownAmount, 0.30, 1, 100, 70},
        {BulkChange::Price::Set, 3.333, 1, 100, 333},
        {BulkChange::Price::Set, 2.5, 100, 0, 300},
    };
    for (const Case& c : cases) {
        BulkChange change;
        change.price = c.op;
        change.value = c.value;
        change.roundCents = c.round;
        EXPECT_EQ(BulkPriceCents(change, c.cents), c.expected) << c.value << " " << c.round;
    }

    Doc doc;
    const TextTable before = doc.plu;
    std::vector<int> rows;
    for (int r = 1; r <= 30000; ++r)
        rows.push_back(r);
    for (int round : {1, 5, 10, 100}) {
        BulkChange change;
        change.price = BulkChange::Price::UpPercent;
        change.value = 4;
        change.roundCents = round;
        change.department = 3;
        const BulkPlan plan = PlanBulkChange(doc.plu, doc.dept, rows, change);
        ASSERT_TRUE(plan.Ok());
        EXPECT_EQ(plan.rowsChanged, 30000);
        EditHistory history;
        history.Push(ApplyBulkPlan(doc.plu, plan));
        EXPECT_EQ(doc.plu.Cell(1, 3), round == 100 ? "10.00" : "10.40") << "10.00 up by 4 %";
        EXPECT_EQ(doc.plu.Cell(1, 4), "3");
        history.Undo(doc.Tables());
        for (int r = 1; r <= 30000; ++r)
            for (int c = 1; c <= 8; ++c)
                ASSERT_EQ(doc.plu.Cell(r, c), before.Cell(r, c)) << round << " " << r;
    }
}

TEST(BulkChange, OneCellBeyondItsLimitStopsEverything) {
    SetDecimalSeparator('.');
    Doc doc;
    doc.plu.Cell(7, 3) = "999999.00";
    doc.plu.Cell(8, 3) = "abc";
    BulkChange change;
    change.price = BulkChange::Price::UpAmount;
    change.value = 1;
    const BulkPlan plan = PlanBulkChange(doc.plu, doc.dept, {6, 7, 8, 40000}, change);
    ASSERT_EQ(plan.problems.size(), 2u);
    EXPECT_EQ(plan.problems[0].row, 7);
    EXPECT_EQ(plan.problems[0].value, "1000000.00");
    EXPECT_EQ(plan.problems[0].reason, "longer than 9 characters");
    EXPECT_EQ(plan.problems[1].reason, "not a number");

    change.price = BulkChange::Price::DownAmount;
    change.value = 100;
    EXPECT_EQ(PlanBulkChange(doc.plu, doc.dept, {6}, change).problems.at(0).reason, "below zero");

    // Unused rows are left alone; a value already there is no change.
    doc.plu.ResetRows(10, 10);
    BulkChange flag;
    flag.flag = 0;
    const BulkPlan none = PlanBulkChange(doc.plu, doc.dept, {9, 10}, flag);
    EXPECT_TRUE(none.Ok());
    EXPECT_EQ(none.rowsChanged, 0);
    EXPECT_EQ(none.rowsSkipped, 1);
}

TEST(TextFinder, CaseAndAccentsOverCodePageBytes) {
    SetDocumentCodePage("CP1250");
    const CodePage& cp = DocumentCodePage();
    TextTable plu = MakePLUTable();
    const auto bytes = [&](const char16_t* text) {
        return *cp.FromUnicode(QString::fromUtf16(text));
    };
    plu.Cell(3, 2) = bytes(u"Jabłko ŻÓŁTE");
    plu.Cell(4, 2) = bytes(u"Masło ekstra");
    plu.Cell(5, 2) = bytes(u"Zupa pomidorowa");
    plu.Cell(6, 1) = "5901234123457";
    plu.Cell(7, 2) = bytes(u"Kąpiel");
    const int nameAndBarcode[] = {2, 1};
    struct Case {
        const char16_t* needle;
        bool fold;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {u"ołt", false, {}},        {u"ółt", false, {3}},  {u"ÓŁT", false, {3}},
        {u"olt", true, {3}},        {u"zolte", true, {3}}, {u"maslo", true, {4}},
        {u"kap", true, {7}},        {u"kap", false, {}},   {u"1234", true, {6}},
        {u"A", true, {3, 4, 5, 7}}, {u"", true, {}},
    };
    for (const Case& c : cases) {
        const TextFinder finder(cp, QString::fromUtf16(c.needle), c.fold);
        EXPECT_EQ(finder.Rows(plu, nameAndBarcode), c.rows)
            << QString::fromUtf16(c.needle).toStdString() << " " << c.fold;
    }
    const int barcodeOnly[] = {1};
    EXPECT_TRUE(TextFinder(cp, "kap", true).Rows(plu, barcodeOnly).empty());
}

} // namespace
