#include "Status.h"
#include "MyLabel.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QDateTime FixedNow(QDate(2026, 3, 4), QTime(5, 6, 7));

struct Bar {
    Bar() {
        status.setLocale(locale);
        status.Now = [] { return FixedNow; };
        status.LockKeys = [this] { return keys; };
        status.resize(600, 19);
        TStatus::SetInsertOn(false);
    }
    ~Bar() { TStatus::SetInsertOn(false); }
    QLocale locale{QLocale::German, QLocale::Germany};
    TStatus status;
    LockKeyState keys;
};

TEST(Status, ClockShowsTheChosenPartsInTheLocaleForms) {
    Bar bar;
    const QString date = bar.locale.toString(FixedNow.date(), QLocale::ShortFormat);
    const QString time = bar.locale.toString(FixedNow.time(), QLocale::LongFormat);
    ASSERT_TRUE(date.contains("26")) << date.toStdString();
    ASSERT_TRUE(time.contains("05:06:07")) << time.toStdString();
    struct Case {
        bool showDate, showTime;
        QString clock;
    };
    const Case cases[] = {
        {true, true, date + " " + time},
        {true, false, date},
        {false, true, time},
        {false, false, ""},
    };
    for (const Case& c : cases) {
        bar.status.SetShowDate(c.showDate);
        bar.status.SetShowTime(c.showTime);
        bar.status.Refresh();
        EXPECT_EQ(bar.status.ClockText(), c.clock) << c.showDate << c.showTime;
        EXPECT_EQ(bar.status.ClockArea()->width() > 0, c.showDate || c.showTime);
    }
}

TEST(Status, KeysShowWhatThePlatformTellsAndTheInsertToggle) {
    Bar bar;
    using O = std::optional<bool>;
    struct Case {
        O num, caps;
        bool insert;
        bool showKeys;
        QString text;
    };
    const Case cases[] = {
        {true, true, true, true, " Num  Cap  Ins "},
        {true, false, false, true, " Num "},
        {false, true, false, true, " Cap "},
        {false, false, true, true, " Ins "},
        {false, false, false, true, ""},
        {std::nullopt, std::nullopt, true, true, " Ins "}, // platform cannot tell
        {std::nullopt, true, false, true, " Cap "},
        {true, true, true, false, ""},
    };
    for (const Case& c : cases) {
        bar.keys = {c.num, c.caps};
        TStatus::SetInsertOn(c.insert);
        bar.status.SetShowKeys(c.showKeys);
        bar.status.Refresh();
        EXPECT_EQ(bar.status.KeysText(), c.text) << c.text.toStdString();
        EXPECT_EQ(bar.status.KeysArea()->width() > 0, c.showKeys);
    }
}

TEST(Status, AreasAreLaidOutOnlyWhenAWidthSettingChanges) {
    Bar bar;
    EXPECT_EQ(bar.status.height(), 19);
    EXPECT_EQ(bar.status.focusPolicy(), Qt::NoFocus);
    const QFontMetrics created(bar.status.font());
    EXPECT_GE(bar.status.ClockArea()->width(),
              created.horizontalAdvance("  0000/00/00 00:00:00 am  "))
        << "before the first tick the clock has room for its longest form";
    bar.status.Refresh();
    EXPECT_EQ(bar.status.LayoutCount(), 1) << "the first tick lays the bar out";
    bar.status.Refresh();
    bar.status.SetShowDate(true); // unchanged
    bar.status.SetTipsWidth(0);   // unchanged
    bar.status.Refresh();
    EXPECT_EQ(bar.status.LayoutCount(), 1);

    bar.status.SetShowTips(true);
    bar.status.SetTipsWidth(80);
    bar.status.Refresh();
    EXPECT_EQ(bar.status.LayoutCount(), 2);
    EXPECT_EQ(bar.status.TipsArea()->width(), 80);

    QFont bigger = bar.status.font();
    bigger.setPointSize(bigger.pointSize() + 6);
    const int keysBefore = bar.status.KeysArea()->width();
    bar.status.setFont(bigger);
    bar.status.Refresh();
    EXPECT_EQ(bar.status.LayoutCount(), 3);
    EXPECT_GT(bar.status.KeysArea()->width(), keysBefore);

    // Right to left: clock, keys, tips; the caption takes what is left.
    const TMyLabel* areas[] = {bar.status.CaptionArea(), bar.status.TipsArea(),
                               bar.status.KeysArea(), bar.status.ClockArea()};
    for (int i = 0; i + 1 < 4; ++i)
        EXPECT_EQ(areas[i]->geometry().right() + 1, areas[i + 1]->geometry().left()) << i;
    EXPECT_EQ(bar.status.ClockArea()->geometry().right(), bar.status.ClientRect().right());
    EXPECT_EQ(bar.status.CaptionArea()->geometry().left(), bar.status.ClientRect().left());

    // The clock area holds its text with room to spare.
    const QFontMetrics fm(bar.status.font());
    EXPECT_GE(bar.status.ClockArea()->width(), fm.horizontalAdvance(bar.status.ClockText()));

    bar.status.SetCaption("Ready");
    bar.status.SetTips("tip");
    bar.status.Refresh();
    EXPECT_EQ(bar.status.LayoutCount(), 3) << "texts are not width settings";
    EXPECT_EQ(bar.status.CaptionArea()->text(), "Ready");
}

TEST(Status, InsertKeyFlipsTheToggleOncePerPress) {
    Bar bar;
    QWidget window;
    auto* child = new QWidget(&window);
    child->setFocusPolicy(Qt::StrongFocus);
    window.show();
    // The plain widget ignores the key, so the event also travels to its parent.
    QTest::keyClick(child, Qt::Key_Insert);
    EXPECT_TRUE(TStatus::InsertOn());
    QTest::keyClick(child, Qt::Key_A);
    QTest::keyClick(child, Qt::Key_Insert);
    EXPECT_FALSE(TStatus::InsertOn());
    QTest::keyPress(child, Qt::Key_Insert);
    QTest::keyPress(child, Qt::Key_Insert, Qt::NoModifier); // held: no release between
    EXPECT_TRUE(TStatus::InsertOn());
    QTest::keyRelease(child, Qt::Key_Insert);
}

TEST(MyLabel, EffectsDrawTheirCopiesInTheirColours) {
    auto count = [](const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        return n;
    };
    struct Case {
        TMyLabel::TextEffect effect;
        bool highlight, shadow;
    };
    for (const Case c :
         {Case{TMyLabel::NoEffect, false, false}, Case{TMyLabel::Embossed, true, true},
          Case{TMyLabel::Raised3D, false, true}}) {
        TMyLabel label("WWW");
        label.SetBevelOuter(lbvNone);
        QPalette p = label.palette();
        p.setColor(QPalette::Window, Qt::gray);
        p.setColor(QPalette::WindowText, Qt::black);
        label.setPalette(p);
        QFont f = label.font();
        f.setPixelSize(20);
        label.setFont(f);
        label.SetHighlightColor(Qt::red);
        label.SetShadowColor(Qt::blue);
        label.SetEffect(c.effect, 2);
        label.resize(label.sizeHint());
        const QImage image = label.grab().toImage();
        EXPECT_EQ(count(image, qRgb(255, 0, 0)) > 0, c.highlight) << int(c.effect);
        EXPECT_EQ(count(image, qRgb(0, 0, 255)) > 0, c.shadow) << int(c.effect);
        EXPECT_GT(count(image, qRgb(0, 0, 0)), 0) << "the text itself is drawn last";
    }
}

} // namespace

namespace {

TEST(Bevel, RaisedIsLightTopLeftAndLoweredSwapsIt) {
    QPalette palette;
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, Qt::black);
    struct Case {
        TLabelBevel bevel;
        QRgb topLeft, bottomRight;
        int shrink;
    };
    const Case cases[] = {
        {lbvRaised, qRgb(255, 255, 255), qRgb(0, 0, 0), 2},
        {lbvLowered, qRgb(0, 0, 0), qRgb(255, 255, 255), 2},
        {lbvSpace, qRgb(128, 128, 128), qRgb(128, 128, 128), 2},
        {lbvNone, qRgb(128, 128, 128), qRgb(128, 128, 128), 0},
    };
    for (const Case& c : cases) {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(qRgb(128, 128, 128));
        QPainter painter(&image);
        QRect rect = image.rect();
        DrawBevel(painter, rect, c.bevel, 2, palette);
        painter.end();
        EXPECT_EQ(image.pixel(1, 1), c.topLeft) << int(c.bevel);
        EXPECT_EQ(image.pixel(18, 8), c.bottomRight) << int(c.bevel);
        EXPECT_EQ(image.pixel(10, 5), qRgb(128, 128, 128)) << "the inside is left alone";
        EXPECT_EQ(rect, image.rect().adjusted(c.shrink, c.shrink, -c.shrink, -c.shrink));
    }
}

} // namespace
