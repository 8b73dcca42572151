#include "Emboss.h"

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

void DrawEmbossedText(QPainter& painter, const QString& text, const QRect& rect,
                      int highlightOffset, const QColor& highlight, int shadowOffset,
                      const QColor& shadow, int flags) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const QPen textPen = painter.pen();
    if (highlightOffset != 0) {
        painter.setPen(highlight);
        painter.drawText(rect.translated(-highlightOffset, -highlightOffset), flags, text);
    }
    if (shadowOffset != 0) {
        painter.setPen(shadow);
        painter.drawText(rect.translated(shadowOffset, shadowOffset), flags, text);
    }
    painter.setPen(textPen);
    painter.drawText(rect, flags, text);
    painter.restore();
}
