// The volume and tempo panels by keyboard and eye: where each slider goes, what its tips say, how it fills.
#include "Pitch.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "Volume.h"

#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

// The pixels of the slider's groove drawn in the highlight colour: its filled part.
int FilledPixels(QSlider *slider) {
    const QImage image = slider->grab().toImage();
    const QColor highlight = slider->palette().color(QPalette::Highlight);
    int filled = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            filled += std::abs(c.hue() - highlight.hue()) < 15 && c.saturation() > 60;
        }
    return filled;
}

} // namespace

TEST(SoundPanels, KeysMoveTheSlidersTheWayTheyPointAndTheTipsSayWhereTheyStand) {
    ScopedXdgHome home;
    ASSERT_TRUE(WriteSettingInt("VOLUME", "VolumeA", 50));
    CVolume volume(nullptr);
    CPitch pitch(nullptr);
    EXPECT_EQ(volume.VolumeSlider()->toolTip(), QStringLiteral("Volume: 50 %"));
    EXPECT_EQ(volume.BalanceSlider()->toolTip(), QStringLiteral("Balance: centre"));
    EXPECT_EQ(pitch.TempoSlider()->toolTip(), QStringLiteral("Tempo: +0.0 %"));
    EXPECT_EQ(volume.VolumeSlider()->statusTip(), QStringLiteral("Volume of the playing title: up is louder."));
    EXPECT_FALSE(volume.BalanceSlider()->statusTip().isEmpty());
    EXPECT_FALSE(pitch.TempoSlider()->statusTip().isEmpty());

    const struct {
        const char *name;
        QSlider *slider;
        Qt::Key key;
        std::function<int()> position;
        int expected;
        const char *tip;
    } cases[] = {
        {"Up is louder", volume.VolumeSlider(), Qt::Key_Up, [&] { return volume.Control().VolumePos(); }, 49,
         "Volume: 51 %"},
        {"PageDown is a page quieter", volume.VolumeSlider(), Qt::Key_PageDown,
         [&] { return volume.Control().VolumePos(); }, 59, "Volume: 41 %"},
        {"Home is silence", volume.VolumeSlider(), Qt::Key_Home, [&] { return volume.Control().VolumePos(); }, 100,
         "Volume: 0 %"},
        {"Left goes left", volume.BalanceSlider(), Qt::Key_Left, [&] { return volume.Control().BalancePos(); }, 99,
         "Balance: 1 % left"},
        {"Right goes back to the centre", volume.BalanceSlider(), Qt::Key_Right,
         [&] { return volume.Control().BalancePos(); }, 100, "Balance: centre"},
        {"Up is faster", pitch.TempoSlider(), Qt::Key_Up, [&] { return pitch.Control().Position(); }, -1,
         "Tempo: +0.1 %"},
        {"Down goes back", pitch.TempoSlider(), Qt::Key_Down, [&] { return pitch.Control().Position(); }, 0,
         "Tempo: +0.0 %"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTest::keyClick(c.slider, c.key);
        EXPECT_EQ(c.position(), c.expected);
        EXPECT_EQ(c.slider->toolTip(), QString::fromLatin1(c.tip));
    }
    QTest::keyClick(pitch.TempoSlider(), Qt::Key_Down);
    EXPECT_EQ(pitch.PercentText()->text(), QStringLiteral("-0.1 %"));
}

TEST(SoundPanels, TheVolumeSliderFillsWithLoudness) {
    ScopedXdgHome home;
    ASSERT_TRUE(WriteSettingInt("VOLUME", "VolumeA", 0));
    CVolume volume(nullptr);
    volume.resize(56, 191);
    volume.show();
    QSlider *slider = volume.VolumeSlider();
    const int full = FilledPixels(slider);
    // Full volume: the handle at the top.
    EXPECT_LT(slider->style()->sliderPositionFromValue(slider->minimum(), slider->maximum(), slider->value(),
                                                       slider->height(), true),
              slider->height() / 4);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_EQ(volume.Control().VolumePos(), 50);
    const int half = FilledPixels(slider);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(volume.Control().VolumePos(), 100);
    const int silent = FilledPixels(slider);
    EXPECT_GT(full, half);
    EXPECT_GT(half, silent);
}
