#include "ProgressForm.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

namespace {

class ProgressForm : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<QWidget>();
        main->show();
        form = std::make_unique<TProgressForm>();
        form->SetMainWindow(main.get());
        form->SetAbortHandler([this] { ++aborts; });
    }
    template <class T> T* Child(const char* name) {
        T* child = form->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Text(const char* label) { return Child<QLabel>(label)->text(); }
    QProgressBar* Bar() { return Child<QProgressBar>("ProgressBar1"); }
    QPushButton* OK() { return Child<QPushButton>("OKBtn"); }
    QPushButton* Cancel() { return Child<QPushButton>("CancelBtn"); }
    bool StatusIsRed() {
        return Child<QLabel>("StatusLabel")->palette().color(QPalette::Window) == QColor(Qt::red);
    }

    std::unique_ptr<QWidget> main;
    std::unique_ptr<TProgressForm> form;
    int aborts = 0;
};

TEST_F(ProgressForm, ShowingDisablesTheMainWindowAndResetsTheCounters) {
    EXPECT_EQ(form->objectName(), "ProgressForm");
    form->show();
    form->SetTotalPackages(7);
    form->SetCurrentPackage(7);
    form->hide();
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(form->ProgressState(), ProgressStates::Running) << "a caller's close keeps it";

    form->show();
    EXPECT_FALSE(main->isEnabled());
    EXPECT_EQ(form->ProgressState(), ProgressStates::Running);
    EXPECT_EQ(Text("CurLabel"), "0");
    EXPECT_EQ(Text("TotalLabel"), "0");
    EXPECT_EQ(Bar()->value(), 0);
    EXPECT_FALSE(Cancel()->isHidden());
    EXPECT_TRUE(OK()->isHidden());
    EXPECT_EQ(form->size(), QSize(326, 210));
    form->hide();
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(aborts, 0);
}

TEST_F(ProgressForm, ErrorTextThenProgressText) {
    form->show();
    const int cancelX = Cancel()->geometry().x();
    form->ShowStatus(StatusProgress, "Download:PLU...");
    EXPECT_EQ(Text("StatusLabel"), "Download:PLU...");
    EXPECT_EQ(form->windowTitle(), "Download:PLU...");
    EXPECT_FALSE(StatusIsRed());

    form->ShowStatus(StatusError, "Download:PLU...Error!");
    EXPECT_EQ(form->ProgressState(), ProgressStates::ErrorShown);
    EXPECT_EQ(Text("StatusLabel"), "Download:PLU...Error!");
    EXPECT_EQ(form->windowTitle(), "Download:PLU...Error!");
    EXPECT_TRUE(StatusIsRed());
    EXPECT_TRUE(Cancel()->isHidden());
    EXPECT_FALSE(OK()->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return OK()->geometry().x() == cancelX; }))
        << "OK()->geometry().x() != cancelX";

    form->ShowStatus(StatusProgress, "Disconnect...");
    EXPECT_EQ(form->ProgressState(), ProgressStates::Running);
    EXPECT_FALSE(StatusIsRed());
    EXPECT_FALSE(Cancel()->isHidden());
    EXPECT_TRUE(OK()->isHidden());
}

TEST_F(ProgressForm, PackageCounters) {
    form->show();
    struct Step {
        bool total;
        int n;
        const char* cur;
        const char* totalText;
        int barMaximum;
        int barValue;
    } steps[] = {
        {true, 7, "0", "7", 7, 0},
        {false, 3, "3", "7", 7, 3},
        {false, 7, "7", "7", 7, 7},
        {true, 0, "0", "0", 7, 0}, // the bar keeps its old range
        {true, -5, "0", "0", 7, 0},
        {true, 1000, "0", "1000", 1000, 0},
        {false, 999, "999", "1000", 1000, 999},
    };
    for (const Step& s : steps) {
        if (s.total)
            form->SetTotalPackages(s.n);
        else
            form->SetCurrentPackage(s.n);
        EXPECT_EQ(Text("CurLabel"), s.cur) << s.n;
        EXPECT_EQ(Text("TotalLabel"), s.totalText) << s.n;
        EXPECT_TRUE(QTest::qWaitFor([&] { return Bar()->maximum() == s.barMaximum; }))
            << "Bar()->maximum() != s.barMaximum";
        EXPECT_TRUE(QTest::qWaitFor([&] { return Bar()->value() == s.barValue; }))
            << "Bar()->value() != s.barValue";
        EXPECT_EQ(Bar()->minimum(), 0);
    }
}

TEST_F(ProgressForm, BarUpdatesAreCoalesced) {
    form->show();
    form->SetTotalPackages(3334);
    QTest::qWait(50);
    QSignalSpy changes(Bar(), &QProgressBar::valueChanged);
    QElapsedTimer clock;
    clock.start();
    for (int j = 1; j <= 3334; ++j) {
        form->SetCurrentPackage(j);
        if (j % 100 == 0)
            QCoreApplication::processEvents();
    }
    EXPECT_EQ(Text("CurLabel"), "3334");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Bar()->value() == 3334; }))
        << "Bar()->value() != 3334";
    // One update may come at once and one per 34 ms after it.
    EXPECT_LE(changes.count(), 2 + clock.elapsed() / 30) << "elapsed " << clock.elapsed();
}

TEST_F(ProgressForm, CancelAbortsAndClosesSilently) {
    form->show();
    form->ShowStatus(StatusProgress, "Download:PLU...");
    QTest::mouseClick(Cancel(), Qt::LeftButton);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(form->ProgressState(), ProgressStates::Closed);

    // The flow runs on into its failure path: nothing reaches the window, no wait.
    form->ShowStatus(StatusError, "Download:PLU...Error!");
    EXPECT_EQ(Text("StatusLabel"), "Download:PLU...");
    EXPECT_EQ(form->ProgressState(), ProgressStates::Closed);
    form->WaitForClose();

    form->show();
    EXPECT_EQ(form->ProgressState(), ProgressStates::Running);
}

TEST_F(ProgressForm, WaitForCloseReturnsWhenOKIsPressed) {
    form->show();
    form->ShowStatus(StatusError, "Connect...Error!");
    bool pressed = false;
    QTimer::singleShot(20, form.get(), [&] {
        pressed = true;
        QTest::mouseClick(OK(), Qt::LeftButton);
    });
    form->WaitForClose();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(form->ProgressState(), ProgressStates::Closed);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(aborts, 0);
}

TEST_F(ProgressForm, WaitForCloseDoesNotHangOnAWindowItsCallerClosed) {
    form->show();
    form->ShowStatus(StatusError, "Upload:recycling...Error!");
    form->hide();
    EXPECT_EQ(form->ProgressState(), ProgressStates::ErrorShown);
    form->WaitForClose(); // nobody can press OK on a hidden window
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(ProgressForm, EscapeAndWindowCloseActAsTheShownButton) {
    form->show();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(form->ProgressState(), ProgressStates::Closed);

    form->show();
    form->ShowStatus(StatusError, "Check ecr status...Error!");
    // As the window manager closes it.
    form->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ProgressState() == ProgressStates::Closed; }));
    EXPECT_EQ(aborts, 1) << "OK was the button on show";
    EXPECT_FALSE(form->isVisible());
}

// A flow started from a dialog that blocks the main window (the comparison's window, the
// backups): Cancel must still reach the progress window.
TEST_F(ProgressForm, CancelReachesItAboveADialogThatBlocksTheMainWindow) {
    QDialog dialog(main.get());
    dialog.setWindowModality(Qt::WindowModal);
    bool cancelled = false;
    QTimer::singleShot(0, &dialog, [&] {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // Through the window system, where a blocked window drops the click.
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                          Cancel()->mapTo(form.get(), Cancel()->rect().center()));
        cancelled = form->ProgressState() == ProgressStates::Closed;
        form->hide();
        dialog.accept();
    });
    dialog.exec();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(aborts, 1);
}

} // namespace
