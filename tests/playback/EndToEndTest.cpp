// Real plug-ins through the player to SDL's disk driver: WAV and MP3 arrive sample for sample.
#include "FakePlugin.h"
#include "SoundControls.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

QByteArray Wav(const std::vector<int16_t> &pcm, int rate) {
    QByteArray w;
    auto u32 = [&](uint32_t v) { w.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](uint16_t v) { w.append(reinterpret_cast<const char *>(&v), 2); };
    const uint32_t bytes = uint32_t(pcm.size() * 2);
    w.append("RIFF");
    u32(36 + bytes);
    w.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(2);
    u32(uint32_t(rate));
    u32(uint32_t(rate) * 4);
    u16(4);
    u16(16);
    w.append("data");
    u32(bytes);
    w.append(reinterpret_cast<const char *>(pcm.data()), qsizetype(bytes));
    return w;
}

// Two tones with a little noise: stereo 16-bit, loud enough to survive MP3 encoding.
std::vector<int16_t> Music(int frames) {
    std::vector<int16_t> pcm(size_t(frames) * 2);
    uint32_t noise = 1;
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1103515245u + 12345u;
        pcm[2 * i] = int16_t(9000 * std::sin(i * 0.0627) + int((noise >> 16) % 200) - 100);
        pcm[2 * i + 1] = int16_t(7000 * std::sin(i * 0.0311 + 1));
    }
    return pcm;
}

std::vector<int16_t> TrimSilence(std::vector<int16_t> s) {
    size_t a = 0, b = s.size() / 2;
    while (a < b && s[2 * a] == 0 && s[2 * a + 1] == 0)
        ++a;
    while (b > a && s[2 * b - 2] == 0 && s[2 * b - 1] == 0)
        --b;
    return std::vector<int16_t>(s.begin() + std::ptrdiff_t(2 * a), s.begin() + std::ptrdiff_t(2 * b));
}

} // namespace

class EndToEndTest : public PlayerFixture {
protected:
    void SetUp() override {
        PlayerFixture::SetUp();
        WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), 500);
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
    }
    void TearDown() override {
        PlayerFixture::TearDown();
        UnloadPlugins();
    }
    TitleItem *AddFile(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const uint8_t index = FindPluginForExtension(QFileInfo(path).suffix());
        EXPECT_NE(index, kNoPlugin) << name.toStdString();
        return list.Add(path, PluginAt(index), index);
    }
    // What the plug-in itself decodes, read in the player's block size.
    static std::vector<int16_t> Decode(const QString &path, void *plugin) {
        auto *p = static_cast<PluginEntry *>(plugin);
        TitleItem t{};
        QByteArray utf8 = path.toUtf8();
        t.pszPath = utf8.data();
        t.nLength = -1;
        t.nCDDrive = t.nCDTrack = 255;
        EXPECT_TRUE(p->pfnGetFormat(&t, 0));
        const uint32_t align = t.nBlockAlignBytes ? t.nBlockAlignBytes : 1;
        const uint32_t bpms = t.nBitsPerSample / 8u * (t.nSamplesPerSec / 1000) * t.nChannels;
        const uint32_t block = std::max(((bpms * 500) / align) * align, t.nBlockBytes);
        t.dwReadPos = t.dwDataStart;
        EXPECT_TRUE(p->pfnInitRead(&t, 0));
        std::vector<uint8_t> buffer(block);
        std::vector<int16_t> out;
        for (int more = 1; more;) {
            unsigned long written = 0;
            more = p->pfnRead(&t, buffer.data(), block, (t.nAvgBytesPerSec / 1000) * 500, &written);
            const auto *s = reinterpret_cast<const int16_t *>(buffer.data());
            out.insert(out.end(), s, s + written / 2);
        }
        p->pfnDeinitRead(&t, 0);
        return out;
    }
    std::vector<int16_t> PlayAndCapture(TitleItem *item) {
        list.selected = list.FindRow(item);
        player->Play();
        EXPECT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
        EXPECT_TRUE(RunToStop());
        player.reset();
        ReleaseSound();
        QFile f(Capture());
        f.open(QIODevice::ReadOnly);
        const QByteArray raw = f.readAll();
        std::vector<int16_t> s(size_t(raw.size()) / 2);
        std::memcpy(s.data(), raw.constData(), s.size() * 2);
        return TrimSilence(s);
    }
};

TEST_F(EndToEndTest, WavAndMp3ReachTheDeviceUnchanged) {
    OpenSound();
    TitleItem *wav = AddFile(QStringLiteral("music.wav"), Wav(Music(44100 * 3 / 2), 44100));
    const std::vector<int16_t> expected = TrimSilence(Decode(QString::fromUtf8(wav->pszPath), wav->pPlugin));
    ASSERT_EQ(expected.size(), size_t(44100 * 3));
    EXPECT_EQ(PlayAndCapture(wav), expected);

    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    ASSERT_FALSE(lame.isEmpty()) << "scripts/setup installs lame";
    QProcess::execute(lame, {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
                             QString::fromUtf8(wav->pszPath), dir.filePath(QStringLiteral("music.mp3"))});
    QFile mp3File(dir.filePath(QStringLiteral("music.mp3")));
    ASSERT_TRUE(mp3File.open(QIODevice::ReadOnly));
    OpenSound();
    TitleItem *mp3 = AddFile(QStringLiteral("music.mp3"), mp3File.readAll());
    const std::vector<int16_t> decoded = TrimSilence(Decode(QString::fromUtf8(mp3->pszPath), mp3->pPlugin));
    ASSERT_GT(decoded.size(), size_t(44100 * 2));
    EXPECT_EQ(PlayAndCapture(mp3), decoded);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(EndToEndTest, BalanceLeftSilencesTheRightAndTempoPlaysFaster) {
    OpenSound();
    TitleItem *wav = AddFile(QStringLiteral("music.wav"), Wav(Music(44100), 44100));
    const std::vector<int16_t> expected = TrimSilence(Decode(QString::fromUtf8(wav->pszPath), wav->pPlugin));
    {
        VolumeControl volume(player.get());
        volume.SetBalancePos(0);
        player->SetSoundControls(&volume, nullptr);
        const std::vector<int16_t> got = PlayAndCapture(wav);
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); i += 2) {
            ASSERT_EQ(got[i], expected[i]) << i;
            ASSERT_EQ(got[i + 1], 0) << i;
        }
    }
    OpenSound();
    PitchControl pitch(player.get());
    pitch.Apply(-500);
    player->SetSoundControls(nullptr, &pitch);
    const std::vector<int16_t> got = PlayAndCapture(wav);
    // 1.5 source frames per device frame: two thirds of the frames, each where the tempo puts it.
    const size_t frames = expected.size() / 2;
    EXPECT_NEAR(double(got.size() / 2), frames / 1.5, 3.0);
    for (size_t k = 0; k + 2 < got.size() / 2 && 3 * k / 2 + 1 < frames; k += 97) {
        const size_t src = 3 * k / 2;
        const double want = k % 2 ? (expected[2 * src] + expected[2 * src + 2]) / 2.0 : expected[2 * src];
        ASSERT_NEAR(got[2 * k], want, 1.0) << k;
    }
}
