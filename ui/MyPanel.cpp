#include "MyPanel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

TMyPanel::TMyPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
}

void TMyPanel::setText(const QString& text) {
    text_ = text;
    update();
}

void TMyPanel::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void TMyPanel::SetHasCaption(bool on) {
    if (on == hasCaption_)
        return;
    hasCaption_ = on;
    const bool wasVisible = isVisible();
    setWindowFlags(on ? Qt::Tool : Qt::Widget);
    if (wasVisible)
        show();
}

void TMyPanel::SetBevelOuter(TLabelBevel bevel) {
    bevelOuter_ = bevel;
    update();
}
void TMyPanel::SetBevelInner(TLabelBevel bevel) {
    bevelInner_ = bevel;
    update();
}
void TMyPanel::SetBevelWidth(int width) {
    bevelWidth_ = width;
    update();
}
void TMyPanel::SetBorderWidth(int width) {
    borderWidth_ = width;
    update();
}

QColor TMyPanel::Color() const {
    return palette().color(QPalette::Window);
}

void TMyPanel::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    update();
}

QRect TMyPanel::ClientRect() const {
    QRect r = rect();
    auto shrink = [&](TLabelBevel bevel) {
        if (bevel != lbvNone)
            r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    };
    shrink(bevelOuter_);
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    shrink(bevelInner_);
    return r;
}

void TMyPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (OnDrawBkGround) {
        OnDrawBkGround(painter, rect());
        return;
    }
    QRect r = rect();
    DrawBevel(painter, r, bevelOuter_, bevelWidth_, palette());
    DrawBorder(painter, r, borderWidth_, Color());
    DrawBevel(painter, r, bevelInner_, bevelWidth_, palette());
    painter.fillRect(r, Color());
    if (text_.isEmpty())
        return;
    // Centred on the height of a capital letter, not on the font's full line height.
    const QFontMetrics fm(font());
    const int letterHeight = fm.boundingRect(QLatin1Char('W')).height();
    QRect textRect = r;
    if (alignment_ & Qt::AlignVCenter) {
        textRect.setTop(r.top() + (r.height() - letterHeight) / 2);
        textRect.setHeight(letterHeight);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, int((alignment_ & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter),
                     text_);
}

void TMyPanel::mousePressEvent(QMouseEvent* event) {
    if (canMove_ && event->button() == Qt::LeftButton) {
        if (QWindow* handle = window()->windowHandle(); handle && handle->startSystemMove()) {
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}
