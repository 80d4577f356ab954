// The display's texts, grid and painting: what the player's values turn into and when it repaints.
#include "Display.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <gtest/gtest.h>

#include <functional>

TEST(DisplayTexts, FormatTextsArePaddedAsTheDisplayExpects) {
    DisplayTexts t;
    EXPECT_EQ(t.strElapsed, "00:00");
    EXPECT_EQ(t.strRemainingLabel, "Time remaining");
    EXPECT_EQ(t.strTypeLabel, "Type");

    ASSERT_TRUE(t.SetFormat("MP3", 2, 44100, 16000));
    EXPECT_EQ(t.strRate, "        44.10 kHz     ");
    EXPECT_EQ(t.strChannels, "  Stereo  ");
    EXPECT_EQ(t.strBitrate, " 128 kb/s ");
    EXPECT_EQ(t.strType, "MP3");

    ASSERT_TRUE(t.SetFormat("WAV", 1, 22050, 0));
    EXPECT_EQ(t.strRate, "        22.05 kHz     ");
    EXPECT_EQ(t.strChannels, "  Mono  ");
    EXPECT_EQ(t.strBitrate, QString(19, ' '));

    // The integer division comes before the factor: 16999 bytes/s is still 128 kb/s.
    ASSERT_TRUE(t.SetFormat("MP3", 2, 48000, 16999));
    EXPECT_EQ(t.strBitrate, " 128 kb/s ");
    // Without a format name nothing changes.
    EXPECT_FALSE(t.SetFormat(QString(), 1, 8000, 1000));
    EXPECT_EQ(t.strType, "MP3");
}

TEST(DisplayTexts, TimesChangeOncePerSecondAndHaveNoHours) {
    DisplayTexts t;
    EXPECT_TRUE(t.SetTimes(3600, 5));
    EXPECT_EQ(t.strElapsed, "  60:00  ");
    EXPECT_EQ(t.strRemaining, "  00:05  ");
    EXPECT_FALSE(t.SetTimes(3600, 4)); // same second: nothing to draw, remaining untouched
    EXPECT_EQ(t.strRemaining, "  00:05  ");
    EXPECT_TRUE(t.SetTimes(3725, 0));
    EXPECT_EQ(t.strElapsed, "  62:05  ");
    EXPECT_FALSE(t.SetTimes(-1, 10));
    EXPECT_FALSE(t.SetTitle(QString()));
    EXPECT_TRUE(t.SetTitle("A & B"));
    EXPECT_EQ(t.strTitle, "A & B");
    EXPECT_FALSE(t.SetState(-1));
    EXPECT_TRUE(t.SetState(1));
    EXPECT_EQ(t.nState, 1);
}

TEST(DisplayLayout, IntegerCellsAreasAndFontSizes) {
    const DisplayLayout layout(350, 105);
    EXPECT_EQ(layout.nCellWidth, 50);
    EXPECT_EQ(layout.nCellHeight, 13);
    EXPECT_DOUBLE_EQ(DisplayLayout::FontPoints(FONT_LARGE, 13), 23.4);
    EXPECT_DOUBLE_EQ(DisplayLayout::FontPoints(FONT_SMALL, 13), 7.8);
    EXPECT_DOUBLE_EQ(DisplayLayout::FontPoints(FONT_MEDIUM, 13), 13.0);
    EXPECT_DOUBLE_EQ(DisplayLayout::FontPoints(FONT_TITLE, 13), 10.4);
    EXPECT_EQ(layout.rcTitle, QRect(0, 0, 350, 39));
    EXPECT_EQ(layout.rcElapsed, QRect(0, 52, 100, 52));
    EXPECT_EQ(layout.rcRemaining, QRect(100, 65, 100, 39));
    EXPECT_EQ(layout.rcState, QRect(300, 65, 50, 39));
    EXPECT_EQ(layout.StateIconPos(), QPoint(300 + 8, 78 - 6));
}

namespace {

// Counts the paint events a widget receives and the part they repaint.
class PaintCounter : public QObject {
public:
    int nPaints = 0;
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::Paint) {
            ++nPaints;
            painted += static_cast<QPaintEvent *>(e)->region();
        }
        return false;
    }
};

void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

} // namespace

// Once a second the player hands over the time: only the areas whose text changed may be repainted, and
// what is on screen afterwards is what a full paint would show.
TEST(CDisplay, RepaintsOnlyTheAreasWhoseTextChanged) {
    ScopedXdgHome home;
    CDisplay display;
    display.resize(354, 109); // a client area of 350 x 105 inside the edge
    display.SetTitle("Title");
    display.SetFormat("MP3", 2, 44100, 16000);
    display.SetState(2);
    display.SetTimes(10, 50);
    display.show();
    Settle();
    PaintCounter counter;
    display.installEventFilter(&counter);
    const DisplayLayout &l = display.Layout();
    const QRect times = l.rcElapsed.united(l.rcRemaining).united(l.rcRemainingLabel);
    const QRect format = l.rcRate.united(l.rcChannels).united(l.rcBitrate).united(l.rcType).united(l.rcTypeLabel);
    const struct {
        const char *name;
        std::function<void()> act;
        QRect area; // empty: no repaint at all
    } cases[] = {
        {"same second", [&] { display.SetTimes(10, 49); }, QRect()},
        {"no time", [&] { display.SetTimes(-1, 0); }, QRect()},
        {"next second", [&] { display.SetTimes(11, 49); }, times},
        {"same title", [&] { display.SetTitle("Title"); }, QRect()},
        {"empty title", [&] { display.SetTitle(QString()); }, QRect()},
        {"new title", [&] { display.SetTitle("Other"); }, l.rcTitle},
        {"same format", [&] { display.SetFormat("MP3", 2, 44100, 16000); }, QRect()},
        {"no format", [&] { display.SetFormat(QString(), 1, 8000, 0); }, QRect()},
        {"new format", [&] { display.SetFormat("WAV", 1, 22050, 0); }, format},
        {"same state", [&] { display.SetState(2); }, QRect()},
        {"new state", [&] { display.SetState(1); }, l.rcState},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        counter.nPaints = 0;
        counter.painted = QRegion();
        c.act();
        Settle();
        if (c.area.isEmpty()) {
            EXPECT_EQ(counter.nPaints, 0);
            continue;
        }
        EXPECT_GE(counter.nPaints, 1);
        const QRect expected = c.area.translated(display.contentsRect().topLeft());
        EXPECT_TRUE(QRegion(expected).contains(counter.painted.boundingRect()));
        // What the partial paints left on screen equals a fresh paint of everything.
        const QImage shown =
            display.screen()->grabWindow(display.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage full = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), full.size());
        EXPECT_TRUE(shown == full);
    }
    EXPECT_EQ(display.Font(FONT_LARGE).pointSizeF(), 23.4);
}

TEST(CDisplay, ColoursComeFromTheSettingsAndTheStateIsDrawnInTheTextColour) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingInt("DISPLAY", "Backcolor", int(DisplayColors::ToStored(0, 0, 128))));
    ASSERT_TRUE(WriteSettingInt("DISPLAY", "Frontcolor", int(DisplayColors::ToStored(255, 200, 0))));
    CDisplay display;
    display.resize(350, 105);
    display.SetState(2);
    const QImage image = display.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(0, 0, 128));
    // Somewhere in the symbol's square the text colour shows.
    const QPoint at = display.Layout().StateIconPos();
    bool tinted = false;
    for (int y = at.y(); y < at.y() + 32 && y < image.height(); ++y)
        for (int x = at.x(); x < at.x() + 32 && x < image.width(); ++x)
            tinted |= QColor(image.pixel(x, y)) == QColor(255, 200, 0);
    EXPECT_TRUE(tinted);
    EXPECT_TRUE(sink.Texts().isEmpty());

    // Default colours: black ground, green text.
    ScopedXdgHome fresh;
    display.LoadSettings();
    EXPECT_EQ(display.BackColor(), QColor(0, 0, 0));
    EXPECT_EQ(display.FrontColor(), QColor(0, 255, 0));
    EXPECT_EQ(display.FontName(), "Arial");
}

// The display sits in a sunken edge; the grid, the ground and the symbol keep to the area inside it.
TEST(CDisplay, SunkenEdgeAroundTheGrid) {
    ScopedXdgHome home;
    ASSERT_TRUE(WriteSettingInt("DISPLAY", "Backcolor", int(DisplayColors::ToStored(0, 0, 128))));
    CDisplay display;
    display.resize(354, 109);
    const QImage image = display.grab().toImage();
    const QRect inside = display.contentsRect();
    EXPECT_EQ(inside, QRect(2, 2, 350, 105));
    EXPECT_EQ(display.Layout().nCellWidth, 50);
    EXPECT_EQ(display.Layout().nCellHeight, 13);
    const QColor ground(0, 0, 128);
    // The edge is darker above and left than below and right, as a sunken edge is.
    const QColor topLeft(image.pixel(0, 0)), bottomRight(image.pixel(353, 108));
    EXPECT_NE(topLeft, ground);
    EXPECT_NE(bottomRight, ground);
    EXPECT_LT(topLeft.lightness(), bottomRight.lightness());
    EXPECT_EQ(QColor(image.pixel(inside.topLeft())), ground);
    EXPECT_EQ(QColor(image.pixel(inside.bottomRight())), ground);
}
