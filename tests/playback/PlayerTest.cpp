// The player engine with a fake plug-in: what reaches the device, play modes, seeking, pausing and stopping.
#include "FakePlugin.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr uint32_t kBytesPerSecond = 44100 * 4;
// The played-bytes counter counts whole milliseconds' worth: 176 bytes each at 44100 Hz stereo 16-bit.
constexpr uint32_t kCountedPerSecond = 176 * 1000;

int ThreadCount() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

bool IsBufferPlaying(Player &player) {
    uint32_t status = 0;
    if (player.StreamBuffer())
        player.StreamBuffer()->GetStatus(&status);
    return status & DSBSTATUS_PLAYING;
}

} // namespace

class PlayerTest : public PlayerFixture {};

TEST_F(PlayerTest, TitlesPlayToTheirLastDecodedFrame) {
    // Shorter than one block (500 ms halves), three blocks, four blocks, and exactly four blocks (4096 frames each
    // at 100 ms halves): every frame arrives once, in order, and the title then ends.
    struct Case {
        int dsBuffer;
        uint32_t frames;
    } cases[] = {{500, 10000}, {100, 3 * 4096 - 100}, {100, 4 * 4096 - 7}, {100, 4 * 4096}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.frames);
        FakeState::Get().Reset();
        WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), c.dsBuffer);
        OpenSound();
        list.rows.clear();
        AddTitle(QStringLiteral("t.pcm"), FakeTitle{c.frames});
        list.selected = 0;
        player->Play();
        EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
        ASSERT_TRUE(RunToStop());
        EXPECT_EQ(list.played, std::vector<int>{0}); // Standard mode on the last row: stopped
        list.played.clear();
        EXPECT_EQ(FakeState::Get().nInitRead, 1);
        EXPECT_EQ(FakeState::Get().nDeinitRead, 1);
        EXPECT_EQ(CapturedFrames(), Range(0, int(c.frames)));
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(PlayerTest, SeekWhilePlayingContinuesFromTheNewPosition) {
    OpenSound();
    AddTitle(QStringLiteral("t.pcm"), FakeTitle{3 * 44100});
    list.selected = 0;
    player->Play();
    ASSERT_TRUE(RunUntil([&] { return player->PlayedBytes() > kBytesPerSecond / 2; }));
    player->SliderMoving(2 * kBytesPerSecond);
    EXPECT_TRUE(player->IsDragging());
    EXPECT_EQ(view.elapsed, 2);
    player->SliderReleased(2 * kBytesPerSecond);
    ASSERT_TRUE(RunToStop());
    const std::vector<int> frames = CapturedFrames();
    auto jump = std::adjacent_find(frames.begin(), frames.end(), [](int a, int b) { return b != a + 1; });
    ASSERT_NE(jump, frames.end());
    EXPECT_EQ(std::vector<int>(frames.begin(), jump + 1), Range(0, *jump + 1));
    EXPECT_EQ(std::vector<int>(jump + 1, frames.end()), Range(2 * 44100, 3 * 44100));
}

TEST_F(PlayerTest, SeekWhilePausedStaysPausedAtTheNewPosition) {
    OpenSound();
    FakeTitle t{3 * 44100};
    t.nSlowRead = 0; // nothing reaches the device before the pause
    FakeState::Get().bHold = true;
    AddTitle(QStringLiteral("t.pcm"), t);
    list.selected = 0;
    player->Play();
    player->Pause();
    FakeState::Get().Release();
    EXPECT_EQ(view.symbol, PlaySymbol::Pause);
    player->SliderReleased(kBytesPerSecond);
    ASSERT_TRUE(RunUntil([&] { return player->PlayedBytes() == kCountedPerSecond; }));
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nResync == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the refill after the seek
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PAUSED);
    EXPECT_FALSE(IsBufferPlaying(*player));
    player->Tick();
    EXPECT_EQ(view.elapsed, 1);
    EXPECT_EQ(view.caption, QStringLiteral("Melvo [t(00:01)]"));
    view.active = false; // the caption scrolls while another window is active
    player->Tick();
    EXPECT_EQ(view.caption, QStringLiteral("elvo [t(00:01)] *** M"));
    player->Tick();
    EXPECT_EQ(view.caption, QStringLiteral("lvo [t(00:01)] *** Me"));

    player->Play(); // resumes
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    ASSERT_TRUE(RunToStop());
    EXPECT_EQ(CapturedFrames(), Range(44100, 3 * 44100));
}

TEST_F(PlayerTest, SeekAfterTheDecoderEndedRestartsIt) {
    WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), 3000);
    OpenSound();
    FakeTitle t{44100}; // one read decodes it all
    // Held until the pause has taken hold: the unpaced device would otherwise play the whole title at once.
    t.nSlowRead = 0;
    FakeState::Get().bHold = true;
    AddTitle(QStringLiteral("t.pcm"), t);
    list.selected = 0;
    player->Play();
    player->Pause();
    FakeState::Get().Release();
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nDeinitRead == 1; }));
    player->SliderReleased(kBytesPerSecond / 2);
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nInitRead == 2 && FakeState::Get().nDeinitRead == 2; }));
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PAUSED);
    player->Pause();
    ASSERT_TRUE(RunToStop());
    EXPECT_EQ(FakeState::Get().nResync, 1);
    const std::vector<int> frames = CapturedFrames();
    ASSERT_EQ(frames.size(), 22050u);
    auto wrong = std::mismatch(frames.begin(), frames.end(), Range(22050, 44100).begin());
    EXPECT_EQ(wrong.first, frames.end()) << (wrong.first - frames.begin()) << ": " << *wrong.first;
}

TEST_F(PlayerTest, LateDecoderStopsTheSoundAndLosesNothing) {
    OpenSound();
    FakeTitle t{5 * 4096};
    t.nSlowRead = 2;
    FakeState::Get().bHold = true;
    AddTitle(QStringLiteral("t.pcm"), t);
    list.selected = 0;
    player->Play();
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nRead == 3 && !IsBufferPlaying(*player); }));
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    FakeState::Get().Release();
    ASSERT_TRUE(RunUntil([&] { return IsBufferPlaying(*player) || !player->IsOutputRunning(); }));
    ASSERT_TRUE(RunToStop());
    EXPECT_EQ(CapturedFrames(), Range(0, 5 * 4096));
}

TEST_F(PlayerTest, FailuresAtPlayLeaveThePlayerStopped) {
    OpenSound();
    TitleItem *missing = list.Add(dir.filePath(QStringLiteral("gone.pcm")), &FakeEntry());
    list.selected = 0;
    player->Play();
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_STOPPED);
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].contains(QStringLiteral("Could not find file. Please check the path!")))
        << sink.Texts()[0].toStdString();
    EXPECT_EQ(list.reads, 0);

    EXPECT_EQ(list.marked, -1); // the mark goes with the title that cannot play

    // It exists, but the plug-in refuses it without a word: the player says which file failed.
    QFile(QString::fromUtf8(missing->pszPath)).open(QIODevice::WriteOnly);
    missing->nLength = 42;
    sink.Clear();
    player->Play();
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(missing->nInfoState, INFO_FAILED);
    EXPECT_EQ(missing->nLength, -1);
    EXPECT_EQ(list.marked, -1);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("<%1>: This file cannot be played. Its format is not supported "
                                                       "or the file is damaged.")
                                            .arg(QString::fromUtf8(missing->pszPath))});

    FakeTitle bad{44100};
    bad.bFailInitRead = true;
    AddTitle(QStringLiteral("bad.pcm"), bad);
    list.selected = 1;
    player->Play();
    ASSERT_TRUE(RunToStop());
    EXPECT_EQ(FakeState::Get().nInitRead, 1);
    EXPECT_EQ(FakeState::Get().nDeinitRead, 0); // no DeinitRead after a failed InitRead
    EXPECT_TRUE(CapturedFrames().empty());
}

TEST_F(PlayerTest, PreviousAndNextFollowThePlayMode) {
    OpenSound();
    for (int i = 0; i < 3; ++i)
        AddTitle(QStringLiteral("t%1.pcm").arg(i), FakeTitle{10 * 44100});
    auto playAt = [&](int row, uint32_t seconds) {
        list.selected = row;
        player->Play();
        player->Pause();
        player->SliderReleased(seconds * kBytesPerSecond);
        // The tick shows the new position once the output thread has taken the seek.
        ASSERT_TRUE(RunUntil([&] {
            player->Tick();
            return player->PlayedBytes() == seconds * kCountedPerSecond && player->Elapsed() == int(seconds);
        }));
    };
    playAt(0, 1);
    player->Previous(); // before the first row: row 0 again
    EXPECT_EQ(player->CurrentRow(), 0);
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    playAt(1, 1);
    player->Previous();
    EXPECT_EQ(player->CurrentRow(), 0);
    playAt(1, 3);
    const int starts = FakeState::Get().nInitRead;
    player->Previous(); // far enough in: the same title from its start
    EXPECT_EQ(player->CurrentRow(), 1);
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nInitRead == starts + 1; }));

    list.selected = 2;
    player->Play();
    player->Next(); // Standard on the last row stops
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_STOPPED);
    player->SetPlayMode(PLAYMODE_REPEAT_ALL);
    list.selected = 2;
    player->Play();
    player->Next();
    EXPECT_EQ(player->CurrentRow(), 0);
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    player->Previous(); // Repeat All before the first row: the last row
    EXPECT_EQ(player->CurrentRow(), 2);
    player->SetPlayMode(PLAYMODE_REPEAT_TITLE);
    player->Next();
    EXPECT_EQ(player->CurrentRow(), 2);
    player->SetPlayMode(PLAYMODE_RANDOM);
    for (int i = 0; i < 5; ++i) {
        const int before = player->CurrentRow();
        player->Next();
        EXPECT_NE(player->CurrentRow(), before);
    }
    player->Stop();
    EXPECT_EQ(list.marked, -1);
}

TEST_F(PlayerTest, RandomWithOneRowAndIntroMode) {
    WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("Intro-Length"), 1);
    OpenSound();
    AddTitle(QStringLiteral("a.pcm"), FakeTitle{3 * 44100});
    player->SetPlayMode(PLAYMODE_RANDOM);
    list.selected = 0;
    player->Play();
    player->Next();
    EXPECT_EQ(player->CurrentRow(), 0);
    EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    player->Stop();

    OpenSound(); // a fresh capture: what the random plays left on the device does not count below
    AddTitle(QStringLiteral("b.pcm"), FakeTitle{3 * 44100});
    list.played.clear();
    player->SetPlayMode(PLAYMODE_INTRO);
    list.selected = 0;
    player->Play();
    ASSERT_TRUE(RunToStop());
    EXPECT_EQ(list.played, (std::vector<int>{0, 1}));
    // Each title is cut after its first second: a little more than one second each reaches the device.
    const std::vector<int> frames = CapturedFrames();
    auto restart = std::find(frames.begin() + 1, frames.end(), 0);
    ASSERT_NE(restart, frames.end());
    EXPECT_GE(restart - frames.begin(), 44100);
    EXPECT_LT(restart - frames.begin(), 3 * 44100);
    EXPECT_GE(frames.end() - restart, 44100);
    EXPECT_LT(frames.end() - restart, 3 * 44100);
}

TEST_F(PlayerTest, StopInEveryStateEndsAllThreads) {
    OpenSound();
    FakeTitle held{10 * 44100};
    held.nSlowRead = 1;
    AddTitle(QStringLiteral("t.pcm"), FakeTitle{10 * 44100});
    AddTitle(QStringLiteral("short.pcm"), FakeTitle{1000});
    AddTitle(QStringLiteral("held.pcm"), held);
    const int threads = ThreadCount();
    auto checkStopped = [&] {
        EXPECT_EQ(player->GetPlayState(), PLAYSTATE_STOPPED);
        EXPECT_FALSE(player->IsOutputRunning());
        EXPECT_EQ(player->StreamBuffer(), nullptr);
        EXPECT_EQ(FakeState::Get().nLive, 0);
        EXPECT_EQ(FakeState::Get().nInitRead, FakeState::Get().nDeinitRead);
        EXPECT_EQ(ThreadCount(), threads);
        EXPECT_FALSE(view.timer);
    };
    player->Stop(); // stopped already
    checkStopped();
    list.selected = 0;
    player->Play(); // playing
    player->Stop();
    checkStopped();
    player->Play(); // paused
    player->Pause();
    player->Stop();
    checkStopped();
    player->Play(); // seeking
    player->SliderReleased(5 * kBytesPerSecond);
    player->Stop();
    checkStopped();
    list.selected = 1; // the decoder has ended, the last block still plays
    player->Play();
    player->Pause();
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nDeinitRead == FakeState::Get().nInitRead; }));
    player->Stop();
    checkStopped();
    list.selected = 2; // the decoder is late
    FakeState::Get().bHold = true;
    const int reads = FakeState::Get().nRead;
    player->Play();
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nRead == reads + 2 && !IsBufferPlaying(*player); }));
    std::thread release([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        FakeState::Get().Release();
    });
    player->Stop();
    release.join();
    checkStopped();
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(PlayerTest, StopDropsAThreadsMessageNotYetShownInsteadOfWaitingForIt) {
    OpenSound(false);
    FakeTitle held{10 * 44100};
    held.nSlowRead = 1;
    FakeState::Get().bHold = true;
    AddTitle(QStringLiteral("held.pcm"), held);
    list.selected = 0;
    player->Play();
    ASSERT_TRUE(RunUntil([&] { return FakeState::Get().nRead == 2; }));
    // Someone else holds the buffer locked: the output thread's next write fails and asks the GUI
    // thread, which does not look, to show the message.
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(player->StreamBuffer()->Lock(0, 4, &p1, &n1, &p2, &n2, 0), DS_OK);
    SetMessageSink(nullptr);
    MessageBoxCloser closer(QMessageBox::Ok);
    FakeState::Get().Release();
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the thread now waits for the GUI thread
    player->Stop();
    EXPECT_FALSE(player->IsOutputRunning());
    QTest::qWait(100);
    EXPECT_EQ(closer.LastText(), QString()); // a box about a title already stopped would only puzzle
}
