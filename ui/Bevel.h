#pragma once
// The bevel frames that TMyPanel, TMyLabel and TStatus draw around themselves.

#include <QColor>
#include <QRect>

class QPainter;
class QPalette;

enum TLabelBevel { lbvNone, lbvLowered, lbvRaised, lbvSpace };

// Draws a bevel of the given width inside rect and shrinks rect by it. A raised bevel is light
// at the top and left and dark at the bottom and right; lowered swaps the two; lbvSpace only
// takes the room.
void DrawBevel(QPainter& painter, QRect& rect, TLabelBevel bevel, int width,
               const QPalette& palette);
// A frame of the given colour and width; rect shrinks by it.
void DrawBorder(QPainter& painter, QRect& rect, int width, const QColor& color);
