#include "MyLabel.h"

#include "Emboss.h"

#include <QPainter>

TMyLabel::TMyLabel(QWidget* parent) : QLabel(parent) {
    UpdateMargins();
}

TMyLabel::TMyLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    UpdateMargins();
}

void TMyLabel::SetBevelOuter(TLabelBevel bevel) {
    bevelOuter_ = bevel;
    UpdateMargins();
}
void TMyLabel::SetBevelInner(TLabelBevel bevel) {
    bevelInner_ = bevel;
    UpdateMargins();
}
void TMyLabel::SetBevelWidth(int width) {
    bevelWidth_ = width;
    UpdateMargins();
}
void TMyLabel::SetBorderWidth(int width) {
    borderWidth_ = width;
    UpdateMargins();
}

void TMyLabel::SetTransparent(bool on) {
    transparent_ = on;
    update();
}

void TMyLabel::SetEffect(TextEffect effect, int depth) {
    effect_ = effect;
    depth_ = depth;
    UpdateMargins();
}

void TMyLabel::SetHighlightColor(const QColor& color) {
    highlight_ = color;
    update();
}

void TMyLabel::SetShadowColor(const QColor& color) {
    shadow_ = color;
    update();
}

// The frame and the effect take room that QLabel's size hint must count.
void TMyLabel::UpdateMargins() {
    int frame = borderWidth_ + bevelWidth_;
    if (bevelOuter_ != lbvNone)
        frame += bevelWidth_;
    if (bevelInner_ != lbvNone)
        frame += bevelWidth_;
    const int before = effect_ == Embossed ? depth_ : 0;
    const int after = effect_ == NoEffect ? 0 : depth_;
    setContentsMargins(frame + before, frame + before, frame + after, frame + after);
    update();
}

void TMyLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect r = rect();
    DrawBevel(painter, r, bevelOuter_, bevelWidth_, palette());
    DrawBorder(painter, r, borderWidth_, palette().color(QPalette::Window));
    DrawBevel(painter, r, bevelInner_, bevelWidth_, palette());
    // The text keeps clear of the bevel line it sits on.
    r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    if (!transparent_)
        painter.fillRect(r, palette().color(QPalette::Window));
    int flags = int(alignment());
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    const int before = effect_ == Embossed ? depth_ : 0;
    const int after = effect_ == NoEffect ? 0 : depth_;
    const QRect textRect = r.adjusted(before, before, -after, -after);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    DrawEmbossedText(painter, text(), textRect, effect_ == Embossed ? depth_ : 0, highlight_,
                     effect_ == NoEffect ? 0 : depth_, shadow_, flags);
}
