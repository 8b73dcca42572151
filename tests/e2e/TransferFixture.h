#pragma once
// A transfer against the simulated register: the protocol component over a real TComm on a
// pseudo-terminal, the progress window, the document's tables, and watchers that act on the
// progress window as a user would.

#include "Defs.h"
#include "Document.h"
#include "Download.h"
#include "GridModel.h"
#include "ProgressForm.h"
#include "RecordLayouts.h"
#include "RegisterState.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "TolvIBus.h"
#include "Upload.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Records every title the progress window takes (each status text), and presses OK once an
// error text waits, or Cancel once `cancelWhen` holds.
class ProgressWatcher : public QObject {
public:
    explicit ProgressWatcher(TProgressForm& form) : form_(form) {
        form_.installEventFilter(this);
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }
    ~ProgressWatcher() override { form_.removeEventFilter(this); }

    std::function<bool()> cancelWhen;
    std::vector<std::string> titles;
    std::string errorText; // the status line when OK was pressed
    bool okPressed = false;
    bool cancelPressed = false;

    QLabel* Label(const char* name) { return form_.findChild<QLabel*>(name); }
    QPushButton* Button(const char* name) { return form_.findChild<QPushButton*>(name); }
    int CurrentPackage() { return Label("CurLabel")->text().toInt(); }
    std::string Status() { return Label("StatusLabel")->text().toStdString(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &form_ && event->type() == QEvent::WindowTitleChange)
            titles.push_back(form_.windowTitle().toStdString());
        return false;
    }

private:
    void Poll() {
        if (!form_.isVisible())
            return;
        if (form_.ProgressState() == ProgressStates::ErrorShown && !okPressed) {
            EXPECT_TRUE(Button("OKBtn")->isVisible());
            EXPECT_FALSE(Button("CancelBtn")->isVisible());
            errorText = Status();
            okPressed = true;
            QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
        } else if (cancelWhen && !cancelPressed && cancelWhen()) {
            cancelPressed = true;
            QTest::mouseClick(Button("CancelBtn"), Qt::LeftButton);
        }
    }

    TProgressForm& form_;
    QTimer timer_;
};

struct TransferFixture : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    TTolvIBusComm bus;
    TProgressForm progress;
    TGridModel plu{MakePLUTable(), PLUTitles};
    TGridModel dept{MakeDeptTable(), DeptTitles};
    RecyTable recy;
    std::vector<std::string> boxes;
    char separator = DecimalSeparator();

    TransferFixture() {
        InitialRecyTable(recy);
        progress.SetAbortHandler([this] { bus.Abort(); });
        bus.ShowErrorBox = [this](const std::string& text, const ECommsError&) {
            boxes.push_back(text);
        };
        bus.TraceFile = dir.Path("DEBUG.LOG");
        bus.TimeScale = 0.25; // 800 ms answer times take 200 ms
        bus.TraceOn = true;
    }
    ~TransferFixture() override { SetDecimalSeparator(separator); }

    std::string StatePath() { return dir.Path("state.txt"); }
    std::string LinkPath() { return dir.Path("ttySIM"); }
    // The register listens at 9600 and is told to go on at 115200.
    void StartSim(const TRegisterState& initial, QStringList flags = {}) {
        ASSERT_TRUE(initial.Save(StatePath()));
        flags << "--state" << QString::fromStdString(StatePath());
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, LinkPath(), SystemCfgPath(), flags));
    }
    TRegisterState StoppedState() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState state;
        std::string error;
        EXPECT_TRUE(state.Load(StatePath(), &error)) << error;
        return state;
    }
    // COM2 at 115200: the register is heard at 9600 and goes on at 115200.
    TPortSettings port{"COM2", 4};
    TTransferContext Context(KindSet kinds, int begin = 1, int end = 3000) {
        return {bus, progress, plu, dept, recy, kinds, begin, end, port, SystemCfgPath()};
    }
    void ExpectPortClosed() {
        EXPECT_FALSE(bus.isActive());
        EXPECT_FALSE(bus.Link().IsOpen());
        EXPECT_FALSE(progress.isVisible());
    }
};

inline KindSet Kinds(std::initializer_list<int> kinds) {
    KindSet set;
    for (int kind : kinds)
        set.set(size_t(kind));
    return set;
}
