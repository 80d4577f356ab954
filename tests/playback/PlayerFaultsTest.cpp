// The player never hangs on a thread's message box, never re-enters a command, and ends long titles on time.
#include "FakePlugin.h"
#include "Functions.h"
#include "SoundControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QEventLoop>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Ends the whole test program when the GUI thread has not come back in time: a hang must fail, not stall.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : m_thread([this, limit] {
              std::unique_lock lock(m_lock);
              if (!m_done.wait_for(lock, limit, [this] { return m_bDone; })) {
                  std::fprintf(stderr, "the GUI thread hung\n");
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(m_lock);
            m_bDone = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_bDone = false;
    std::thread m_thread;
};

QMessageBox *VisibleBox() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            return box;
    return nullptr;
}

// Answers every message; the first one shown on the GUI thread runs a nested event loop, as a box does.
class NestedLoopSink : public MessageSink {
public:
    NestedLoopSink() { SetMessageSink(this); }
    ~NestedLoopSink() override { SetMessageSink(nullptr); }
    int Show(const QString &text, unsigned) override {
        texts << text;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
        return IDOK;
    }
    QStringList texts;
};

} // namespace

class PlayerFaultsTest : public PlayerFixture {};

TEST_F(PlayerFaultsTest, StopInsideADecodersMessageBoxDoesNotHang) {
    // The decoder's box is open on the GUI thread; inside its event loop the tick (Intro mode, chosen
    // once the box is up, after a second of audio) or a handed-over file stops the title, which joins
    // the thread that waits for that very box. Either way the second title follows and plays to its end
    // while the box is still open.
    struct Case {
        const char *name;
        bool bHandOver;
    } cases[] = {{"intro tick", false}, {"handed-over file", true}};
    WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("Intro-Length"), 1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeState::Get().Reset();
        OpenSound();
        list.rows.clear();
        list.played.clear();
        FakeTitle talking{20 * 44100};
        // Twelve blocks of 16384 bytes have played (more than a second) when the player waits for the
        // fourteenth, whose Read shows the box.
        talking.nMessageRead = 13;
        AddTitle(QStringLiteral("talking.pcm"), talking);
        AddTitle(QStringLiteral("next.pcm"), FakeTitle{5 * 44100});
        FakeView display;
        CFunctions functions(&list, &display);
        Player &p = functions.GetPlayer();
        p.SetPlayMode(PLAYMODE_STANDARD);
        SetMessageSink(nullptr);

        QString seen;
        bool bHandedOver = false, bClosed = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QMessageBox *box = VisibleBox();
            if (!box)
                return;
            seen = box->text();
            if (!c.bHandOver)
                p.SetPlayMode(PLAYMODE_INTRO);
            if (c.bHandOver && !bHandedOver) {
                bHandedOver = true; // what the frame does with a file handed over by a second instance
                list.selected = 1;
                functions.OnCommand(1001);
            }
            if (list.played == std::vector<int>{0, 1} && p.GetPlayState() == PLAYSTATE_STOPPED) {
                box->button(QMessageBox::Ok)->click();
                bClosed = true;
            }
        });
        closer.start(10);
        {
            Watchdog dog(std::chrono::seconds(30));
            list.selected = 0;
            functions.Action(1001)->trigger();
            EXPECT_TRUE(QTest::qWaitFor([&] { return bClosed; }, 20000));
        }
        EXPECT_EQ(seen, QString::fromLatin1(kFakeMessage));
        functions.OnCommand(1002);
        EXPECT_FALSE(p.IsOutputRunning());
        EXPECT_EQ(FakeState::Get().nLive, 0);
        SetMessageSink(&sink);
    }
}

TEST_F(PlayerFaultsTest, AFileHandedOverWhilePlayShowsABoxWaitsItsTurn) {
    OpenSound(false);
    SoundDevice()->SetSecondaryRateLimits(100, 100000);
    AddTitle(QStringLiteral("hires.pcm"), FakeTitle{10 * 96000, 96000});
    AddTitle(QStringLiteral("handed.pcm"), FakeTitle{10 * 44100});
    PitchControl pitch(player.get());
    pitch.Apply(-100); // +10 %: the device refuses 105600 Hz for the first title, and says so in a box
    player->SetSoundControls(nullptr, &pitch);
    NestedLoopSink boxes;
    QTimer::singleShot(0, [&] {
        list.selected = 1; // the hand-over arrives while the box is open
        player->Play();
    });
    list.selected = 0;
    player->Play();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("SetFrequency"))) << boxes.texts[0].toStdString();
    EXPECT_EQ(list.played, (std::vector<int>{0, 1})); // one after the other, the handed-over file last
    EXPECT_EQ(player->CurrentRow(), 1);
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    ASSERT_TRUE(RunUntil([&] { return player->PlayedBytes() > 0; }));
    player->Stop();
    player->SetSoundControls(nullptr, nullptr);
    EXPECT_EQ(FakeState::Get().nLive, 0);
}

TEST_F(PlayerFaultsTest, TitlesEndingAroundTheWrapOfThirtyTwoBitsEndOnTime) {
    // Seconds-mode titles of nearly seven hours, played from a seek shortly before their end. The played
    // bytes count 176000 a second; the end lies a little below or above 2^32 of them.
    constexpr uint32_t kSeek = 24400;
    const uint64_t counted = uint64_t(kSeek) * 176000;
    for (const int64_t delta : {-400, 400}) {
        SCOPED_TRACE(delta);
        FakeState::Get().Reset();
        OpenSound();
        list.rows.clear();
        const uint64_t tail = (uint64_t(1) << 32) + delta - counted; // bytes after the seek
        FakeTitle t{uint32_t(uint64_t(kSeek) * 44100 + tail / 4)};
        t.bSeconds = true;
        AddTitle(QStringLiteral("long.pcm"), t);
        list.selected = 0;
        player->Play();
        player->Pause();
        player->SliderReleased(kSeek);
        ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nResync == 1 && player->PlayedBytes() == counted; }));
        player->Play(); // resumes
        ASSERT_TRUE(RunToStop());
        // Frames from the seek on carry a high index (wrapped to 16 bits, it is still far above those of
        // the first second, which may slip out before the pause takes hold).
        const std::vector<int> frames = CapturedFrames();
        EXPECT_EQ(uint64_t(std::count_if(frames.begin(), frames.end(), [](int f) { return f >= (1 << 20); })),
                  tail / 4);
    }
}

TEST_F(PlayerFaultsTest, BufferLengthIsKeptWithinWhatTheOptionsOffer) {
    struct Case {
        int setting;
        uint32_t ms;
    } cases[] = {{0, 100}, {-20, 100}, {500, 500}, {3000, 3000}, {2000000000, 3000}};
    OpenSound(false);
    AddTitle(QStringLiteral("t.pcm"), FakeTitle{10 * 44100});
    list.selected = 0;
    for (const Case &c : cases) {
        WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), c.setting);
        player->Play();
        EXPECT_EQ(player->BlockBytes(), 176 * c.ms / kFakeStep * kFakeStep) << c.setting;
        EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING) << c.setting;
        player->Stop();
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}
