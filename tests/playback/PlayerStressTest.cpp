// Random commands against a short playlist: the player must never hang, leak a decoder or leave a thread.
#include "FakePlugin.h"
#include "SoundControls.h"

#include <QDir>

#include <random>

namespace {

int ThreadCount() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

class PlayerStressTest : public PlayerFixture {};

TEST_F(PlayerStressTest, TwoThousandRandomCommands) {
    OpenSound(false); // the dummy driver keeps real time, so cursors wrap and decoders can be late
    const uint32_t lengths[] = {3000, 20000, 44100, 70000};
    for (int i = 0; i < 4; ++i)
        AddTitle(QStringLiteral("t%1.pcm").arg(i), FakeTitle{lengths[i]});
    FakeTitle broken{44100};
    broken.bFailInitRead = true;
    AddTitle(QStringLiteral("broken.pcm"), broken);
    VolumeControl volume(player.get());
    PitchControl pitch(player.get());
    volume.Load();
    pitch.Load();
    player->SetSoundControls(&volume, &pitch);
    const int threads = ThreadCount();

    std::mt19937 random(20261207);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int i = 0; i < 2000; ++i) {
        switch (pick(10)) {
        case 0:
            list.selected = pick(int(list.rows.size()));
            player->Play();
            break;
        case 1:
            player->Stop();
            break;
        case 2:
            player->Pause();
            break;
        case 3:
            if (player->CurrentItem()) {
                const uint32_t end = player->CurrentItem()->dwDataEnd;
                player->SliderMoving(uint32_t(pick(int(end) + 1)));
                player->SliderReleased(uint32_t(pick(int(end) + 1)) & ~3u);
            }
            break;
        case 4:
            player->Next();
            break;
        case 5:
            player->Previous();
            break;
        case 6:
            volume.SetVolumePos(pick(101));
            volume.SetBalancePos(pick(201));
            volume.SetMute(pick(4) == 0);
            break;
        case 7:
            pitch.Apply(pick(1001) - 500);
            break;
        case 8:
            player->SetPlayMode(pick(5));
            break;
        default:
            std::this_thread::sleep_for(std::chrono::milliseconds(pick(20)));
            break;
        }
        if (view.timer)
            player->Tick();
    }
    player->Stop();
    EXPECT_FALSE(player->IsOutputRunning());
    EXPECT_EQ(player->StreamBuffer(), nullptr);
    EXPECT_EQ(FakeState::Get().nLive, 0);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_GT(FakeState::Get().nRead, 0);
    player->SetSoundControls(nullptr, nullptr);
    // Messages would mean a DirectSound call failed somewhere along the way.
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}
