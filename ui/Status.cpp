#include "Status.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>

namespace {

bool insertOn = false;

// Watches the whole application for the Insert key. A key event not accepted travels up the
// parent chain and passes this filter once per widget, so one press flips the toggle once: it is
// latched until the key is released.
class InsertWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Insert) {
                if (!latched_ && !key->isAutoRepeat())
                    insertOn = !insertOn;
                latched_ = true;
            } else {
                latched_ = false;
            }
        } else if (event->type() == QEvent::KeyRelease &&
                   static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert &&
                   !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            latched_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool latched_ = false;
};

int users = 0;
InsertWatcher* watcher = nullptr;

} // namespace

bool TStatus::InsertOn() {
    return insertOn;
}

void TStatus::SetInsertOn(bool on) {
    insertOn = on;
}

TStatus::TStatus(QWidget* parent) : TMyPanel(parent) {
    setObjectName(QStringLiteral("Status1"));
    setFocusPolicy(Qt::NoFocus);
    setFixedHeight(19);
    SetBevelOuter(lbvRaised);
    SetBevelInner(lbvNone);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    captionLabel_ = MakeArea("CaptionLabel");
    captionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tipsLabel_ = MakeArea("TipsLabel");
    keysLabel_ = MakeArea("KeysLabel");
    clockLabel_ = MakeArea("ClockLabel");
    // The first tick lays the bar out; until then the clock is as wide as its longest form.
    clockLabel_->setText(QStringLiteral("0000/00/00 00:00:00 am"));
    MeasureAreas();
    PlaceAreas();

    if (users++ == 0 && qApp != nullptr) {
        watcher = new InsertWatcher;
        qApp->installEventFilter(watcher);
    }
    connect(&timer_, &QTimer::timeout, this, &TStatus::Refresh);
    timer_.start(500);
}

TStatus::~TStatus() {
    if (--users == 0 && watcher != nullptr) {
        if (qApp != nullptr)
            qApp->removeEventFilter(watcher);
        delete watcher;
        watcher = nullptr;
    }
}

TMyLabel* TStatus::MakeArea(const char* name) {
    auto* label = new TMyLabel(this);
    label->setObjectName(QLatin1String(name));
    label->SetTransparent(true);
    label->SetBevelOuter(lbvNone);
    label->SetBevelInner(lbvLowered);
    label->setAlignment(Qt::AlignCenter);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void TStatus::SetShowDate(bool on) {
    widthsDirty_ |= on != showDate_;
    showDate_ = on;
}
void TStatus::SetShowTime(bool on) {
    widthsDirty_ |= on != showTime_;
    showTime_ = on;
}
void TStatus::SetShowKeys(bool on) {
    widthsDirty_ |= on != showKeys_;
    showKeys_ = on;
}
void TStatus::SetShowTips(bool on) {
    widthsDirty_ |= on != showTips_;
    showTips_ = on;
}
void TStatus::SetTipsWidth(int width) {
    widthsDirty_ |= width != tipsWidth_;
    tipsWidth_ = width;
}

QString TStatus::MakeClockText() const {
    const QLocale loc = locale();
    const QDateTime now = Now();
    if (showDate_ && showTime_)
        return loc.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               loc.toString(now.time(), QLocale::LongFormat);
    if (showDate_)
        return loc.toString(now.date(), QLocale::ShortFormat);
    if (showTime_)
        return loc.toString(now.time(), QLocale::LongFormat);
    return {};
}

QString TStatus::MakeKeysText() const {
    if (!showKeys_)
        return {};
    const LockKeyState keys = LockKeys ? LockKeys() : LockKeyState{};
    QString text;
    if (keys.numLock.value_or(false))
        text += QStringLiteral(" Num ");
    if (keys.capsLock.value_or(false))
        text += QStringLiteral(" Cap ");
    if (insertOn)
        text += QStringLiteral(" Ins ");
    return text;
}

void TStatus::Refresh() {
    clockLabel_->setText(MakeClockText());
    keysLabel_->setText(MakeKeysText());
    if (widthsDirty_)
        ComputeWidths();
}

void TStatus::ComputeWidths() {
    widthsDirty_ = false;
    ++layoutCount_;
    MeasureAreas();
    PlaceAreas();
}

void TStatus::MeasureAreas() {
    const QFontMetrics fm(font());
    const QString pad = QStringLiteral("  ");
    QString clock = clockLabel_->text();
    // Digits are measured as zeros so that the ticking clock never outgrows its area.
    for (QChar& c : clock)
        if (c.isDigit())
            c = QLatin1Char('0');
    const int frame = 2 * 2; // the area's lowered bevel and the line it keeps clear of
    clockWidth_ = (showDate_ || showTime_) ? fm.horizontalAdvance(pad + clock + pad) + frame : 0;
    keysWidth_ = showKeys_ ? fm.horizontalAdvance(QStringLiteral("  Num Cap Ins  ")) + frame : 0;
    tipsAreaWidth_ = showTips_ ? tipsWidth_ : 0;
}

void TStatus::PlaceAreas() {
    const QRect r = ClientRect();
    int right = r.right() + 1;
    auto place = [&](TMyLabel* label, int width) {
        label->setVisible(width > 0);
        label->setGeometry(right - width, r.top(), width, r.height());
        right -= width;
    };
    place(clockLabel_, clockWidth_);
    place(keysLabel_, keysWidth_);
    place(tipsLabel_, tipsAreaWidth_);
    const int captionWidth = std::max(0, right - r.left());
    captionLabel_->setGeometry(r.left(), r.top(), captionWidth, r.height());
}

void TStatus::resizeEvent(QResizeEvent* event) {
    TMyPanel::resizeEvent(event);
    PlaceAreas();
}

void TStatus::changeEvent(QEvent* event) {
    // The areas inherit the bar's font; their widths follow it at the next tick.
    if (event->type() == QEvent::FontChange)
        widthsDirty_ = true;
    TMyPanel::changeEvent(event);
}
