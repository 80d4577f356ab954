// The player control and the volume and tempo panels: their widgets reach the player and the buffer.
#include "FakePlugin.h"
#include "Functions.h"
#include "Pitch.h"
#include "Volume.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

class PlayerWidgetsTest : public PlayerFixture {};

TEST_F(PlayerWidgetsTest, ToolbarSliderAndPanelsDriveThePlayer) {
    OpenSound(false);
    AddTitle(QStringLiteral("t.pcm"), FakeTitle{10 * 44100});
    list.selected = 0;
    FakeView display;
    {
        CFunctions functions(&list, &display);
        CVolume volumePanel(&functions.GetPlayer());
        CPitch pitchPanel(&functions.GetPlayer());
        Player &p = functions.GetPlayer();
        p.SetSoundControls(&volumePanel.Control(), &pitchPanel.Control());
        EXPECT_EQ(pitchPanel.PercentText()->text(), QStringLiteral("+0.0 %"));
        EXPECT_EQ(functions.Action(1001)->toolTip(), QStringLiteral("Start playback"));

        functions.Action(1001)->trigger();
        EXPECT_EQ(p.GetPlayState(), PLAYSTATE_PLAYING);
        EXPECT_EQ(display.symbol, PlaySymbol::Play);
        EXPECT_EQ(functions.PositionSlider()->maximum(), 10 * 44100 * 4);
        DirectSoundBuffer *buffer = p.StreamBuffer();
        ASSERT_TRUE(buffer);

        long v = 0;
        uint32_t f = 0;
        volumePanel.VolumeSlider()->setValue(50);
        buffer->GetVolume(&v);
        EXPECT_EQ(v, -1000);
        volumePanel.MuteBox()->setChecked(true);
        buffer->GetVolume(&v);
        EXPECT_EQ(v, -10000);
        volumePanel.MuteBox()->setChecked(false);
        pitchPanel.TempoSlider()->setValue(-125);
        EXPECT_EQ(pitchPanel.PercentText()->text(), QStringLiteral("+12.5 %"));
        buffer->GetFrequency(&f);
        EXPECT_EQ(f, 49612u);
        pitchPanel.StandardButton()->click();
        EXPECT_EQ(pitchPanel.TempoSlider()->value(), 0);
        EXPECT_EQ(pitchPanel.PercentText()->text(), QStringLiteral("+0.0 %"));
        buffer->GetFrequency(&f);
        EXPECT_EQ(f, 44100u);

        functions.ModeBox()->setCurrentIndex(PLAYMODE_REPEAT_ALL);
        EXPECT_EQ(p.GetPlayMode(), PLAYMODE_REPEAT_ALL);
        functions.Action(1005)->trigger();
        EXPECT_EQ(p.GetPlayState(), PLAYSTATE_PAUSED);
        EXPECT_EQ(display.symbol, PlaySymbol::Pause);
        functions.Action(1002)->trigger();
        EXPECT_EQ(p.GetPlayState(), PLAYSTATE_STOPPED);
        EXPECT_FALSE(p.IsOutputRunning());
        p.SetSoundControls(nullptr, nullptr);
    }
    EXPECT_EQ(GetSettingInt(QStringLiteral("GENERAL"), QStringLiteral("Mode"), 0), PLAYMODE_REPEAT_ALL);
    EXPECT_EQ(GetSettingInt(QStringLiteral("VOLUME"), QStringLiteral("VolumeA"), 0), 50);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}
