// The audio CD plug-in on generated disc images: formats, whole tracks, seeks, a vanishing disc, the lists.
#include "CdaTrack.h"
#include "DiscImage.h"
#include "FakePlugin.h"
#include "PluginUnderTest.h"
#include "ShellFolder.h"
#include "TitleItemRecord.h"
#include "TitleList.h"
#include "cdda/CDDA.h"

#include <QTest>

#include <cstdio>

namespace {

QString TrackPath(const std::string &drive, int track) {
    return QString::fromStdString(drive) + QStringLiteral("/Track%1.cda").arg(track, 2, 10, QLatin1Char('0'));
}

QByteArray Bytes(const std::vector<uint8_t> &v) {
    return QByteArray(reinterpret_cast<const char *>(v.data()), qsizetype(v.size()));
}

class InCddaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Lengths in frames: whole seconds and a few frames more, one track under two seconds.
        image = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 4 + 17, 151, 75 * 3 + 74});
        SetDiscImages((image.strCue + ";").c_str());
        InitDriver(0);
        plugin = PluginFor("CDA");
        ASSERT_NE(plugin, nullptr) << "in-cdda.so is not in the program folder";
    }
    void TearDown() override {
        DeinitDriver();
        SetDiscImages(nullptr);
    }
    uint32_t TrackStartByte(size_t t) const { return image.TrackStart(t) * CDDA_FRAME_BYTES; }

    QTemporaryDir dir;
    DiscImage image;
    const PluginEntry *plugin = nullptr;
    RecordingSink sink;
};

} // namespace

TEST(CdaPath, DriveAndTrackFromTheName) {
    struct Case {
        const char *path;
        bool ok;
        const char *drive;
        int track;
    } cases[] = {
        {"/media/disc.cue/Track01.cda", true, "/media/disc.cue", 1},
        {"/dev/sr0/track12.CDA", true, "/dev/sr0", 12},
        {"/dev/sr0/Track099.cda", true, "/dev/sr0", 99},
        {"/dev/sr0/Track00.cda", false, "", 0},
        {"/dev/sr0/Track100.cda", false, "", 0},
        {"/dev/sr0/Track.cda", false, "", 0},
        {"/dev/sr0/Track01.wav", false, "", 0},
        {"/dev/sr0/Track01.cda.bak", false, "", 0},
        {"Track01.cda", false, "", 0},
        {"/Track01.cda", false, "", 0},
    };
    for (const Case &c : cases) {
        CdaTrack t;
        EXPECT_EQ(ParseCdaPath(c.path, &t), c.ok) << c.path;
        if (c.ok) {
            EXPECT_EQ(t.strDrive, c.drive) << c.path;
            EXPECT_EQ(t.nTrack, c.track) << c.path;
        }
    }
}

TEST_F(InCddaTest, TracksOfTheDiscHaveTheirFormatAndNothingElseIsServed) {
    for (size_t t = 0; t < image.trackFrames.size(); ++t) {
        TestTitle title(TrackPath(image.strCue, int(t + 1)));
        title.item.nCDDrive = 0; // as the host sets it for "CDA"
        ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0)) << t;
        EXPECT_EQ(title.item.nCDDrive, 0);
        EXPECT_EQ(title.item.nCDTrack, t + 1);
        EXPECT_EQ(title.item.nSamplesPerSec, 44100u);
        EXPECT_EQ(title.item.nChannels, 2);
        EXPECT_EQ(title.item.nBitsPerSample, 16);
        EXPECT_EQ(title.item.nAvgBytesPerSec, 176400u);
        EXPECT_EQ(title.item.dwDataStart, TrackStartByte(t));
        EXPECT_EQ(title.item.dwDataEnd, TrackStartByte(t) + image.trackFrames[t] * CDDA_FRAME_BYTES);
        EXPECT_EQ(title.item.nLength, int(image.trackFrames[t] / 75));
        EXPECT_STREQ(title.item.dwFormatTag, "CDA");
        EXPECT_EQ(title.item.hMMFile, nullptr);
    }
    for (const QString &bad : {TrackPath(image.strCue, 4), TrackPath(dir.path().toStdString() + "/other.cue", 1),
                               QString::fromStdString(image.strCue) + "/notes.txt"}) {
        TestTitle title(bad);
        EXPECT_FALSE(plugin->pfnGetFormat(&title.item, 0)) << bad.toStdString();
    }
    EXPECT_TRUE(sink.Texts().isEmpty()); // quiet when asked to be
}

TEST_F(InCddaTest, EveryTrackPlaysAsTheImageHoldsItInEveryReadMode) {
    const std::string drive = image.strCue;
    // Paranoia's verifying read, then plain sector reads; a buffer of whole frames, then of one frame.
    for (uint8_t mode : {uint8_t(1), uint8_t(3)})
        for (unsigned long frames : {37ul, 1ul}) {
            SetCDParam(7, mode, drive.c_str(), 0);
            for (size_t t = 0; t < image.trackFrames.size(); ++t) {
                TestTitle title(TrackPath(drive, int(t + 1)));
                ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
                const Decoded d = DecodeAll(plugin, title.item, frames * CDDA_FRAME_BYTES, 88200);
                ASSERT_TRUE(d.initOk);
                EXPECT_TRUE(d.paddingOk);
                EXPECT_TRUE(d.pcm == Bytes(image.TrackBytes(t))) << "mode " << int(mode) << " track " << t + 1;
                EXPECT_EQ(title.item.pDecoder, nullptr);
            }
        }
}

TEST_F(InCddaTest, ASeekLandsOnTheFrameThatHoldsItsTarget) {
    TestTitle title(TrackPath(image.strCue, 3)); // a track that does not start at byte 0
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    TitleItem &item = title.item;
    const std::vector<uint8_t> track = image.TrackBytes(2);
    ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
    std::vector<unsigned char> buffer(10 * CDDA_FRAME_BYTES);
    struct Case {
        uint32_t target;
        uint32_t expectedFrame;
    } cases[] = {{item.dwDataStart + 100 * CDDA_FRAME_BYTES + 1000, 100},
                 {item.dwDataStart + 3, 0},
                 {item.dwDataStart - 5000, 0},
                 {item.dwDataStart + 250 * CDDA_FRAME_BYTES, 250}};
    for (const Case &c : cases) {
        item.dwReadPos = c.target;
        plugin->pfnResync(&item);
        EXPECT_EQ(item.dwReadPos, item.dwDataStart + c.expectedFrame * CDDA_FRAME_BYTES);
        unsigned long written = 0;
        EXPECT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), 0, &written), 1);
        ASSERT_EQ(written, buffer.size());
        EXPECT_EQ(std::memcmp(buffer.data(), track.data() + c.expectedFrame * CDDA_FRAME_BYTES, written), 0)
            << c.expectedFrame;
    }
    // At or past the end: the title ends as it would have ended by itself.
    item.dwReadPos = item.dwDataEnd + 10 * CDDA_FRAME_BYTES;
    plugin->pfnResync(&item);
    EXPECT_EQ(item.dwReadPos, item.dwDataEnd);
    unsigned long written = 1;
    EXPECT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), 0, &written), 0);
    EXPECT_EQ(written, 0ul);
    plugin->pfnDeinitRead(&item, 0);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(InCddaTest, ADiscThatGoesAwayWhilePlayingEndsTheTitleWithAMessage) {
    TestTitle title(TrackPath(image.strCue, 1));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    TitleItem &item = title.item;
    item.dwReadPos = item.dwDataStart;
    ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
    std::vector<unsigned char> buffer(37 * CDDA_FRAME_BYTES);
    unsigned long written = 0;
    ASSERT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), 0, &written), 1);
    std::remove(image.strCue.c_str());
    std::remove(image.strBin.c_str());
    int reads = 1;
    while (plugin->pfnRead(&item, buffer.data(), buffer.size(), 0, &written) && reads < 20)
        ++reads;
    EXPECT_LT(reads, 5); // within about a second of audio, not at the track's end
    EXPECT_LT(item.dwReadPos, item.dwDataEnd);
    plugin->pfnDeinitRead(&item, 0);
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].contains(QStringLiteral("removed"))) << sink.Texts()[0].toStdString();
    // A new playback of the missing disc fails at once.
    EXPECT_FALSE(plugin->pfnInitRead(&item, 0));
}

TEST_F(InCddaTest, TheDrivesTracksAreListedTitledAndKeptInAPlaylist) {
    const QStringList tracks = CdTrackFiles(0);
    ASSERT_EQ(tracks.size(), 3);
    TitleList files(false);
    files.ShowFolderItems(tracks);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !files.IsReading(); }, 30000));
    ASSERT_EQ(files.RowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(files.RowText(r, 0), QStringLiteral("Track%1").arg(r + 1, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(files.RowText(r, 1), FormatLength(int(image.trackFrames[size_t(r)] / 75)));
    }

    // A title file arrives (freedb): the rows take the titles without being listed again.
    SetCDTitleLookup([](uint8_t drive, uint8_t track, char *title) {
        std::snprintf(title, TITLE_TEXT_SIZE, "Artist / Song %d of drive %d", track, drive);
        return true;
    });
    files.RefreshCDTitles();
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(files.RowText(r, 0), QStringLiteral("Artist / Song %1 of drive 0").arg(r + 1));

    TitleList playlist(true);
    files.AddAllTo(playlist);
    ASSERT_EQ(playlist.RowCount(), 3);
    const QString saved = QDir(dir.path()).filePath(QStringLiteral("cd.m3u"));
    ASSERT_TRUE(playlist.SavePlaylist(saved, QStringLiteral("m3u"), true));
    TitleList again(true);
    ASSERT_TRUE(again.LoadPlaylist(saved, QStringLiteral("m3u"), true));
    again.StartInfoReader(0, again.RowCount());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.IsReading(); }, 30000));
    ASSERT_EQ(again.RowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(QString::fromUtf8(again.ItemAt(r)->pszPath), tracks[r]);
        EXPECT_EQ(again.RowText(r, 0), QStringLiteral("Artist / Song %1 of drive 0").arg(r + 1));
        EXPECT_EQ(again.RowText(r, 1), FormatLength(int(image.trackFrames[size_t(r)] / 75)));
    }
    SetCDTitleLookup(nullptr);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

class InCddaPlayerTest : public PlayerFixture {};

TEST_F(InCddaPlayerTest, AWholeTrackReachesTheSoundDeviceSampleForSample) {
    const DiscImage disc = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 3 + 11, 75 * 2});
    SetDiscImages((disc.strCue + ";").c_str());
    InitDriver(0);
    const PluginEntry *cda = PluginFor("CDA");
    ASSERT_NE(cda, nullptr);
    WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), 500);
    OpenSound();
    TitleItem *item = list.Add(TrackPath(disc.strCue, 1), const_cast<PluginEntry *>(cda),
                               FindPluginForExtension(QStringLiteral("cda")));
    item->nCDDrive = 0;
    list.selected = 0;
    player->Play();
    ASSERT_EQ(player->GetPlayState(), PLAYSTATE_PLAYING);
    ASSERT_TRUE(RunToStop());
    player.reset();
    ReleaseSound();
    QFile f(Capture());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray got = f.readAll();
    const QByteArray want = Bytes(disc.TrackBytes(0));
    // The device starts and ends with silence around the track.
    const qsizetype first = got.indexOf(want.left(64));
    ASSERT_GE(first, 0);
    EXPECT_TRUE(got.mid(first, want.size()) == want);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
    DeinitDriver();
    SetDiscImages(nullptr);
}
