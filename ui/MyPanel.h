#pragma once
// A panel that paints its own bevels, frame and text, and can serve as a handle that drags its
// window.

#include "Bevel.h"

#include <QWidget>

#include <functional>

class TMyPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool CanMove READ CanMove WRITE SetCanMove)
    Q_PROPERTY(bool HasCaption READ HasCaption WRITE SetHasCaption)
public:
    explicit TMyPanel(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);

    // A press in the panel drags its window, as a press on a window caption would.
    bool CanMove() const { return canMove_; }
    void SetCanMove(bool on) { canMove_ = on; }
    // A panel with a caption is a small tool window of its own.
    bool HasCaption() const { return hasCaption_; }
    void SetHasCaption(bool on);

    TLabelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TLabelBevel bevel);
    TLabelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TLabelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    QColor Color() const;
    void SetColor(const QColor& color);

    // Takes over the whole painting when set.
    std::function<void(QPainter&, const QRect&)> OnDrawBkGround;

    // The rectangle inside the bevels and the frame.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    bool canMove_ = false;
    bool hasCaption_ = false;
    TLabelBevel bevelOuter_ = lbvRaised;
    TLabelBevel bevelInner_ = lbvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};
