#include "Bevel.h"

#include <QPainter>
#include <QPalette>

void DrawBevel(QPainter& painter, QRect& rect, TLabelBevel bevel, int width,
               const QPalette& palette) {
    if (bevel == lbvNone || width <= 0)
        return;
    if (bevel != lbvSpace) {
        const QColor light = palette.color(QPalette::Light);
        const QColor dark = palette.color(QPalette::Dark);
        const QColor topLeft = bevel == lbvRaised ? light : dark;
        const QColor bottomRight = bevel == lbvRaised ? dark : light;
        QRect r = rect;
        for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
            painter.setPen(topLeft);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(bottomRight);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    }
    rect.adjust(width, width, -width, -width);
}

void DrawBorder(QPainter& painter, QRect& rect, int width, const QColor& color) {
    if (width <= 0)
        return;
    QRect inner = rect.adjusted(width, width, -width, -width);
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), width), color);
    painter.fillRect(QRect(rect.left(), rect.bottom() - width + 1, rect.width(), width), color);
    painter.fillRect(QRect(rect.left(), rect.top(), width, rect.height()), color);
    painter.fillRect(QRect(rect.right() - width + 1, rect.top(), width, rect.height()), color);
    rect = inner;
}
