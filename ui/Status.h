#pragma once
// The main window's status bar: caption, tips, lock-key indicators and a clock refreshed twice
// a second.

#include "LockKeys.h"
#include "MyLabel.h"
#include "MyPanel.h"

#include <QDateTime>
#include <QTimer>

#include <functional>

class TStatus : public TMyPanel {
    Q_OBJECT
public:
    explicit TStatus(QWidget* parent = nullptr);
    ~TStatus() override;

    bool ShowDate() const { return showDate_; }
    void SetShowDate(bool on);
    bool ShowTime() const { return showTime_; }
    void SetShowTime(bool on);
    bool ShowKeys() const { return showKeys_; }
    void SetShowKeys(bool on);
    bool ShowTips() const { return showTips_; }
    void SetShowTips(bool on);
    int TipsWidth() const { return tipsWidth_; }
    void SetTipsWidth(int width);

    QString Caption() const { return captionLabel_->text(); }
    void SetCaption(const QString& text) { captionLabel_->setText(text); }
    QString Tips() const { return tipsLabel_->text(); }
    void SetTips(const QString& text) { tipsLabel_->setText(text); }

    // What the timer does every 500 ms.
    void Refresh();

    // The program's own Insert toggle, flipped by every press of the Insert key.
    static bool InsertOn();
    static void SetInsertOn(bool on);

    // Seams for tests: the clock and the lock keys as the platform reports them.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    std::function<LockKeyState()> LockKeys = ReadLockKeys;

    // The clock and keys texts the last refresh showed, and how often the areas were laid out.
    QString ClockText() const { return clockLabel_->text(); }
    QString KeysText() const { return keysLabel_->text(); }
    int LayoutCount() const { return layoutCount_; }
    TMyLabel* CaptionArea() const { return captionLabel_; }
    TMyLabel* TipsArea() const { return tipsLabel_; }
    TMyLabel* KeysArea() const { return keysLabel_; }
    TMyLabel* ClockArea() const { return clockLabel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TMyLabel* MakeArea(const char* name);
    QString MakeClockText() const;
    QString MakeKeysText() const;
    void ComputeWidths();
    void MeasureAreas();
    void PlaceAreas();

    bool showDate_ = true;
    bool showTime_ = true;
    bool showKeys_ = true;
    bool showTips_ = false;
    int tipsWidth_ = 0;
    bool widthsDirty_ = true;
    int clockWidth_ = 0;
    int keysWidth_ = 0;
    int tipsAreaWidth_ = 0;
    int layoutCount_ = 0;

    TMyLabel* captionLabel_ = nullptr;
    TMyLabel* tipsLabel_ = nullptr;
    TMyLabel* keysLabel_ = nullptr;
    TMyLabel* clockLabel_ = nullptr;
    QTimer timer_;
};
