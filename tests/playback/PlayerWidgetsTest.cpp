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

namespace {

// The symbol's pixels: everything clearly darker than the button's face around it.
struct SymbolPixels {
    QImage image;
    QRect box;
    bool Dark(int x, int y) const { return qGray(image.pixel(x, y)) < 110; }
    double Fill() const {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += Dark(x, y);
        return double(n) / (box.width() * box.height());
    }
    double ColumnFill(int x) const {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            n += Dark(x, y);
        return double(n) / box.height();
    }
};

SymbolPixels FindSymbol(const QImage &image) {
    SymbolPixels s{image.convertToFormat(QImage::Format_RGB32), {}};
    for (int y = 0; y < s.image.height(); ++y)
        for (int x = 0; x < s.image.width(); ++x)
            if (s.Dark(x, y))
                s.box |= QRect(x, y, 1, 1);
    return s;
}

} // namespace

// The buttons' pictures fill the button and keep their shapes, and are drawn at the screen's density.
TEST_F(PlayerWidgetsTest, ButtonSymbolsFillTheirButtons) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    QApplication::setPalette(palette);
    FakeView display;
    CFunctions functions(&list, &display);
    functions.show();
    auto *toolbar = functions.findChild<QToolBar *>();
    // Fill of the symbol's box, fill of its leftmost and rightmost column.
    const struct {
        int id;
        double minFill, maxFill, leftColumn, rightColumn;
    } buttons[] = {{1001, 0.4, 0.6, 0.8, 0.0},   // a triangle pointing right
                   {1002, 0.9, 1.0, 0.8, 0.8},   // a square
                   {1005, 0.6, 0.85, 0.8, 0.8},  // two bars
                   {32808, 0.4, 0.75, 0.8, 0.8}, // a bar and two triangles, mirrored by the next
                   {32834, 0.4, 0.75, 0.8, 0.8}};
    QImage skip[2];
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.id);
        QWidget *button = toolbar->widgetForAction(functions.Action(b.id));
        ASSERT_TRUE(button);
        // The button as it shows over the white window: it has no background of its own.
        QImage shown(button->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        button->render(&shown);
        if (b.id == 32808 || b.id == 32834)
            skip[b.id == 32834] = shown;
        const SymbolPixels s = FindSymbol(shown);
        EXPECT_GE(s.box.height(), button->height() / 2) << "button " << button->height() << " px high";
        EXPECT_GE(s.Fill(), b.minFill);
        EXPECT_LE(s.Fill(), b.maxFill);
        // A full edge is a bar or a side; an empty one is the point of a triangle.
        for (const auto &[x, want] : {std::pair(s.box.left(), b.leftColumn), std::pair(s.box.right(), b.rightColumn)}) {
            if (want > 0) {
                EXPECT_GE(s.ColumnFill(x), want) << "column " << x;
            } else {
                EXPECT_LE(s.ColumnFill(x), 0.3) << "column " << x;
            }
        }
        if (b.id == 1005) { // the bars stand apart
            EXPECT_EQ(s.ColumnFill(s.box.center().x()), 0.0);
        }

        // On a screen of twice the density the picture has twice the pixels, not a blown-up copy.
        const QIcon icon = functions.Action(b.id)->icon();
        const QPixmap dense = icon.pixmap(toolbar->iconSize(), 2.0);
        EXPECT_EQ(dense.size(), toolbar->iconSize() * 2);
        const SymbolPixels single = FindSymbol(icon.pixmap(toolbar->iconSize(), 1.0).toImage());
        const SymbolPixels doubled = FindSymbol(dense.toImage());
        EXPECT_NEAR(doubled.box.height(), 2 * single.box.height(), 2);
    }
    // Previous and Next point opposite ways: one is the other's mirror image, give or take a column.
    const SymbolPixels previous = FindSymbol(skip[0].mirrored(true, false)), next = FindSymbol(skip[1]);
    EXPECT_EQ(previous.box.size(), next.box.size());
    int differ = 0;
    for (int y = 0; y < next.box.height(); ++y)
        for (int x = 0; x < next.box.width(); ++x)
            differ += previous.Dark(previous.box.left() + x, previous.box.top() + y) !=
                      next.Dark(next.box.left() + x, next.box.top() + y);
    EXPECT_LE(differ, next.box.height()) << "of " << next.box.width() * next.box.height();
    QApplication::setPalette(QPalette());
}
