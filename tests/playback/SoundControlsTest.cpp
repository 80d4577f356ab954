// Volume, balance and tempo: the formulas, the settings, and what reaches the playing buffer.
#include "SoundControls.h"
#include "FakePlugin.h"

TEST(SoundControls, FormulasGiveDirectSoundUnits) {
    EXPECT_EQ(VolumeToDs(0), 0);
    EXPECT_EQ(VolumeToDs(50), -1000);
    EXPECT_EQ(VolumeToDs(75), -2000);
    EXPECT_EQ(VolumeToDs(10), -152); // 1000 * log2(0.9) = -152.003, truncated toward zero
    EXPECT_EQ(VolumeToDs(100), -10000);
    EXPECT_EQ(PanToDs(0), -10000);
    EXPECT_EQ(PanToDs(50), -1000);
    EXPECT_EQ(PanToDs(100), 0);
    EXPECT_EQ(PanToDs(150), 1000);
    EXPECT_EQ(PanToDs(199), 6643);
    EXPECT_EQ(PanToDs(200), 10000);
    EXPECT_EQ(TempoFrequency(-500, 44100), 66150u);
    EXPECT_EQ(TempoFrequency(500, 44100), 22050u);
    EXPECT_EQ(TempoFrequency(-125, 44100), 49612u);
    EXPECT_EQ(TempoFrequency(0, 22050), 22050u);
    EXPECT_EQ(TempoText(0), QStringLiteral("+0.0 %"));
    EXPECT_EQ(TempoText(-125), QStringLiteral("+12.5 %"));
    EXPECT_EQ(TempoText(30), QStringLiteral("-3.0 %"));
    EXPECT_EQ(TempoText(-500), QStringLiteral("+50.0 %"));
}

class SoundControlsTest : public PlayerFixture {};

TEST_F(SoundControlsTest, PanelsActOnThePlayingBufferAndRememberTheirPlaces) {
    WriteSettingInt(QStringLiteral("VOLUME"), QStringLiteral("VolumeA"), 50);
    WriteSettingInt(QStringLiteral("VOLUME"), QStringLiteral("BalanceA"), 150);
    WriteSettingInt(QStringLiteral("VOLUME"), QStringLiteral("PitchA"), -300);
    OpenSound(false);
    AddTitle(QStringLiteral("t.pcm"), FakeTitle{10 * 44100});
    VolumeControl volume(player.get());
    PitchControl pitch(player.get());
    volume.Load();
    pitch.Load();
    EXPECT_EQ(volume.VolumePos(), 50);
    EXPECT_EQ(volume.BalancePos(), 150);
    EXPECT_EQ(pitch.Position(), 0); // the tempo always starts at the original speed
    EXPECT_EQ(pitch.Text(), QStringLiteral("+0.0 %"));
    player->SetSoundControls(&volume, &pitch);
    pitch.Apply(-500);
    list.selected = 0;
    player->Play();
    DirectSoundBuffer *buffer = player->StreamBuffer();
    ASSERT_TRUE(buffer);
    long v = 0, p = 0;
    uint32_t f = 0;
    buffer->GetVolume(&v);
    buffer->GetPan(&p);
    buffer->GetFrequency(&f);
    EXPECT_EQ(v, -1000);
    EXPECT_EQ(p, 1000);
    EXPECT_EQ(f, 66150u);

    volume.SetMute(true);
    buffer->GetVolume(&v);
    EXPECT_EQ(v, -10000);
    volume.SetVolumePos(75); // changes nothing audible while muted
    buffer->GetVolume(&v);
    EXPECT_EQ(v, -10000);
    volume.SetMute(false); // the slider's current place, including the change made while muted
    buffer->GetVolume(&v);
    EXPECT_EQ(v, -2000);
    volume.SetVolumePos(100);
    buffer->GetVolume(&v);
    EXPECT_EQ(v, -10000);
    volume.SetBalancePos(50);
    buffer->GetPan(&p);
    EXPECT_EQ(p, -1000);

    // A device that refuses the rate: the SetFrequency message with the rates, the old rate stays.
    SoundDevice()->SetSecondaryRateLimits(100, 60000);
    EXPECT_FALSE(pitch.Apply(-500));
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Texts()[0], QStringLiteral("Error in DirectSound function SetFrequency hr -2147024809, Original "
                                              "44100, New 66150, Max 60000, Min 100: An invalid parameter was "
                                              "passed to the returning function."));
    EXPECT_TRUE(pitch.Apply(100));
    buffer->GetFrequency(&f);
    EXPECT_EQ(f, 39690u);

    player->Stop();
    player->SetSoundControls(nullptr, nullptr);
    volume.Save();
    pitch.Save();
    VolumeControl again(nullptr);
    PitchControl pitchAgain(nullptr);
    again.Load();
    pitchAgain.Load();
    EXPECT_EQ(again.VolumePos(), 100);
    EXPECT_EQ(again.BalancePos(), 50);
    EXPECT_FALSE(again.IsMuted());
    EXPECT_EQ(pitchAgain.Position(), 0);
    EXPECT_EQ(GetSettingInt(QStringLiteral("VOLUME"), QStringLiteral("PitchA"), 0), 100);
}
