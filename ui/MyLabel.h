#pragma once
// A label with its own bevels and, for titles, an embossed or 3D text effect. The text stays
// the label's ordinary "text" property, so the language file reaches it like any other label.

#include "Bevel.h"

#include <QLabel>

class TMyLabel : public QLabel {
    Q_OBJECT
public:
    enum TextEffect { NoEffect, Embossed, Raised3D };

    explicit TMyLabel(QWidget* parent = nullptr);
    explicit TMyLabel(const QString& text, QWidget* parent = nullptr);

    TLabelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TLabelBevel bevel);
    TLabelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TLabelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    // A transparent label leaves its parent's painting showing behind the text.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

    TextEffect Effect() const { return effect_; }
    // Embossed: a light copy up-left and a dark copy down-right, both depth pixels away.
    // Raised3D: only the shadow copy, in the shadow colour.
    void SetEffect(TextEffect effect, int depth = 1);
    void SetHighlightColor(const QColor& color);
    void SetShadowColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateMargins();

    TLabelBevel bevelOuter_ = lbvRaised;
    TLabelBevel bevelInner_ = lbvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    bool transparent_ = false;
    TextEffect effect_ = NoEffect;
    int depth_ = 1;
    QColor highlight_{Qt::white};
    QColor shadow_{Qt::darkGray};
};
