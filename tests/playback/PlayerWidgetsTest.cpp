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
#include <QTest>
#include <QToolBar>

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

namespace {

// Seconds of the position the player last seeked to, from the played-bytes counter it starts from there.
int SeekedSecond(Player &p) {
    return int(p.PlayedBytes() / (176 * 1000));
}

} // namespace

TEST_F(PlayerWidgetsTest, PositionSliderJumpsWhereClickedAndStepsByKeys) {
    // Over 3.4 GB of positions: beyond the slider's int range, so positions are scaled into it and back.
    OpenSound(false);
    AddTitle(QStringLiteral("long.pcm"), FakeTitle{900000000});
    AddTitle(QStringLiteral("next.pcm"), FakeTitle{3 * 44100});
    const int length = 900000000 / 44100;
    FakeView display;
    CFunctions functions(&list, &display);
    functions.resize(400, 90);
    functions.show();
    Player &p = functions.GetPlayer();
    QSlider *slider = functions.PositionSlider();
    list.selected = 0;
    functions.Action(1001)->trigger();
    functions.Action(1005)->trigger(); // paused, so the positions below stay put
    ASSERT_EQ(p.GetPlayState(), PLAYSTATE_PAUSED);
    auto seekedTo = [&](int second, int tolerance) {
        return QTest::qWaitFor([&] { return std::abs(SeekedSecond(p) - second) <= tolerance; }, 5000);
    };

    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 4, slider->height() / 2));
    ASSERT_TRUE(seekedTo(length * 3 / 4, length / 20)) << SeekedSecond(p);
    int at = SeekedSecond(p);
    const struct {
        Qt::Key key;
        int move;
    } keys[] = {{Qt::Key_PageDown, -length / 5},
                {Qt::Key_PageUp, length / 5},
                {Qt::Key_Left, -int(Player::kStepSeconds)},
                {Qt::Key_Right, int(Player::kStepSeconds)}};
    for (const auto &k : keys) {
        QTest::keyClick(slider, k.key);
        EXPECT_TRUE(seekedTo(at + k.move, 1)) << k.key << ": " << SeekedSecond(p) << " after " << at;
        at = SeekedSecond(p);
    }
    EXPECT_EQ(p.GetPlayState(), PLAYSTATE_PAUSED);

    // End: the title ends as if it had played out, and the next one follows.
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.CurrentRow() == 1 && p.GetPlayState() == PLAYSTATE_PLAYING; }, 5000));
    EXPECT_EQ(list.played, (std::vector<int>{0, 1}));
    functions.Action(1002)->trigger();
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(PlayerWidgetsTest, SliderKeepsAKeysStepWhileTheSeekWaitsForTheDecoder) {
    OpenSound(false);
    FakeTitle t{10 * 44100};
    t.nSlowRead = 1; // the decoder is busy with the second block when the key comes
    FakeState::Get().bHold = true;
    AddTitle(QStringLiteral("t.pcm"), t);
    FakeView display;
    CFunctions functions(&list, &display);
    Player &p = functions.GetPlayer();
    QSlider *slider = functions.PositionSlider();
    list.selected = 0;
    functions.Action(1001)->trigger();
    functions.Action(1005)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return FakeState::Get().nRead == 2; }, 30000));
    QTest::keyClick(slider, Qt::Key_PageUp); // a fifth: two seconds
    const int stepped = slider->value();
    ASSERT_GT(stepped, 0);
    QTest::qWait(300); // ticks come meanwhile; the old position they know must not put the handle back
    EXPECT_EQ(slider->value(), stepped);
    FakeState::Get().Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return SeekedSecond(p) == 2; }, 30000)) << SeekedSecond(p);
    EXPECT_EQ(p.GetPlayState(), PLAYSTATE_PAUSED);
    functions.Action(1002)->trigger();
}

TEST_F(PlayerWidgetsTest, StopAndTheEndOfTheListResetSliderTimeAndCaption) {
    OpenSound(false); // real time, so the caption has time to scroll
    AddTitle(QStringLiteral("song.pcm"), FakeTitle{44100});
    for (const bool bStopButton : {true, false}) {
        SCOPED_TRACE(bStopButton ? "Stop button" : "end of the list");
        FakeView display;
        QWidget window; // the main window: another one is active, so the caption scrolls
        window.setWindowTitle(QStringLiteral("Melvo"));
        auto *functions = new CFunctions(&list, &display, &window);
        window.resize(400, 90);
        window.show();
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        Player &p = functions->GetPlayer();
        list.selected = 0;
        functions->Action(1001)->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.windowTitle().contains(QStringLiteral("***")); }, 5000));
        EXPECT_GT(functions->PositionSlider()->maximum(), 0);
        display.elapsed = 7;
        if (bStopButton) {
            auto *toolbar = functions->findChild<QToolBar *>();
            QTest::mouseClick(toolbar->widgetForAction(functions->Action(1002)), Qt::LeftButton);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return p.GetPlayState() == PLAYSTATE_STOPPED; }, 5000));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Melvo"));
        EXPECT_EQ(functions->PositionSlider()->value(), 0);
        EXPECT_EQ(functions->PositionSlider()->maximum(), 0);
        EXPECT_EQ(display.elapsed, 0);
        EXPECT_EQ(display.remaining, 0);
    }
}

// The tick moves the slider every second; the slider repaints only when its handle moves a pixel.
TEST_F(PlayerWidgetsTest, PositionSliderRepaintsOnlyWhenTheHandleMoves) {
    FakeView display;
    CFunctions functions(&list, &display);
    functions.resize(400, 90);
    functions.show();
    QSlider *slider = functions.PositionSlider();
    const uint32_t max = 100000000;
    functions.SetSliderRange(0, max);
    QApplication::processEvents();
    int paints = 0;
    struct Counter : QObject {
        int *pCount;
        explicit Counter(int *count) : pCount(count) {}
        bool eventFilter(QObject *, QEvent *e) override {
            *pCount += e->type() == QEvent::Paint;
            return false;
        }
    } counter(&paints);
    slider->installEventFilter(&counter);
    const uint32_t pixel = max / uint32_t(slider->width()); // about one pixel of the groove
    const struct {
        uint32_t pos;
        bool bRepaint;
    } steps[] = {{pixel * 10, true},
                 {pixel * 10 + 1, false},
                 {pixel * 10 + pixel / 10, false},
                 {pixel * 40, true},
                 {pixel * 10, true}};
    for (const auto &s : steps) {
        SCOPED_TRACE(s.pos);
        paints = 0;
        functions.SetSliderPos(s.pos);
        QApplication::processEvents();
        EXPECT_EQ(slider->value(), int(s.pos)); // the value is exact, whatever is drawn
        EXPECT_EQ(paints > 0, s.bRepaint);
    }
}
