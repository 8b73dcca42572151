#pragma once
// Text drawing shared by the grids and the decorated labels.

class QPainter;
class QColor;
class QRect;
class QString;

// Highlight up-left, shadow down-right, then the text in the painter's pen colour. An offset of
// zero leaves that copy out; the painter's pen and brush are as before afterwards.
void DrawEmbossedText(QPainter& painter, const QString& text, const QRect& rect,
                      int highlightOffset, const QColor& highlight, int shadowOffset,
                      const QColor& shadow, int flags);
