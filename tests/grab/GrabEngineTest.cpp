// The grabbing engine with the WAV encoder on a disc image: exact audio, headers, cancel, read failure, overwrite.
#include "GrabFixture.h"
#include "WavEncoder.h"

#include <QFileInfo>
#include <QProcess>

#include <atomic>

namespace {

using EngineTest = GrabFixture;

QByteArray CdParanoiaRip(const QString &cue, int track, const QString &folder) {
    const QString wav = folder + QStringLiteral("/paranoia.wav");
    QProcess p;
    // -c: an image holds its samples little-endian, as they play.
    p.start(QStringLiteral("cd-paranoia"), {"-d", cue, "-c", "-q", "-w", QString::number(track), wav});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << "cd-paranoia is installed by scripts/setup";
    return ReadAll(wav).mid(44);
}

} // namespace

TEST_F(EngineTest, EveryTrackBecomesAWavOfItsExactBytesAlsoWhenTheBufferOverhangsTheEnd) {
    struct Case {
        uint8_t frames, readMode;
    } cases[] = {{25, 1}, {7, 3}, {75, 2}};
    WavEncoder wav;
    for (const Case &c : cases) {
        SetCDParam(c.frames, c.readMode, image.strCue.c_str(), 0);
        for (int t = 1; t <= 4; ++t) {
            SCOPED_TRACE(testing::Message()
                         << "frames " << int(c.frames) << ", mode " << int(c.readMode) << ", track " << t);
            const GrabTrack plan = Plan(t);
            ASSERT_EQ(GrabTrackNow(plan, &wav), GrabResult::Written);
            const QByteArray audio = WaveAudio(ReadAll(plan.basePath + ".wav"));
            EXPECT_TRUE(audio == Track(t)) << audio.size() << " bytes, track has " << Track(t).size();
            EXPECT_FALSE(QFileInfo::exists(plan.basePath + ".TMP"));
            QFile::remove(plan.basePath + ".wav");
        }
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(EngineTest, WavAudioEqualsCdParanoiasRipOfTheSameTrack) {
    WavEncoder wav;
    for (int t = 1; t <= 4; ++t) {
        const GrabTrack plan = Plan(t);
        ASSERT_EQ(GrabTrackNow(plan, &wav), GrabResult::Written);
        EXPECT_TRUE(WaveAudio(ReadAll(plan.basePath + ".wav")) ==
                    CdParanoiaRip(QString::fromStdString(image.strCue), t, dir.path()))
            << "track " << t;
    }
}

// A drive that reads normally for a few buffers, then stops: by a cancel, or by failing.
TEST_F(EngineTest, CancelAndReadFailureLeaveAValidWavOfWhatWasStaged) {
    for (bool bCancel : {true, false}) {
        SCOPED_TRACE(bCancel ? "cancel" : "read failure");
        std::atomic<int> reads{0};
        AutoResetEvent stalled, resume;
        auto reader = [&](void *buffer, uint32_t size, uint32_t *position, uint32_t *end, uint8_t drive) {
            if (++reads == 3) {
                if (!bCancel)
                    return 0; // fails without advancing
                stalled.Set();
                resume.Wait();
            }
            return ReadCD(buffer, size, position, end, 0, drive);
        };
        SetCDParam(5, 3, image.strCue.c_str(), 0);
        WavEncoder wav;
        GrabSession session(reader);
        const GrabTrack plan = Plan(4);
        ASSERT_TRUE(session.Start(plan, &wav));
        if (bCancel) {
            ASSERT_TRUE(stalled.Wait(std::chrono::seconds(30)));
            session.Cancel();
            resume.Set();
        }
        ASSERT_TRUE(session.WaitForEnd(std::chrono::seconds(30)));
        EXPECT_EQ(session.Finish(), bCancel ? GrabResult::Cancelled : GrabResult::ReadFailed);
        const QByteArray audio = WaveAudio(ReadAll(plan.basePath + ".wav"));
        const int staged = (bCancel ? 3 : 2) * 5 * 2352;
        EXPECT_EQ(audio.size(), staged);
        EXPECT_TRUE(audio == Track(4).left(staged));
        EXPECT_FALSE(QFileInfo::exists(plan.basePath + ".TMP"));
        QFile::remove(plan.basePath + ".wav");
    }
}

TEST_F(EngineTest, OverwriteQuestionNoKeepsTheFileYesReplacesIt) {
    WavEncoder wav;
    const GrabTrack plan = Plan(2);
    for (int answer : {IDNO, IDYES}) {
        QFile existing(plan.basePath + ".wav");
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("the user's own file");
        existing.close();
        sink.Clear();
        sink.Answer(answer);
        EXPECT_EQ(GrabTrackNow(plan, &wav), answer == IDNO ? GrabResult::Declined : GrabResult::Written);
        EXPECT_EQ(sink.Texts(), QStringList{"A file with this name already exists. Overwrite file?"});
        if (answer == IDNO)
            EXPECT_EQ(ReadAll(existing.fileName()), "the user's own file");
        else
            EXPECT_TRUE(WaveAudio(ReadAll(existing.fileName())) == Track(2));
        EXPECT_FALSE(QFileInfo::exists(plan.basePath + ".TMP"));
    }
}

TEST_F(EngineTest, AMissingFolderIsMadeAndAnUnusableOneIsReported) {
    WavEncoder wav;
    GrabTrack plan = Plan(1);
    plan.basePath = out + "/new/Track01";
    EXPECT_EQ(GrabTrackNow(plan, &wav), GrabResult::Written);
    EXPECT_TRUE(WaveAudio(ReadAll(plan.basePath + ".wav")) == Track(1));

    plan.basePath = out + "/a/b/Track01"; // two levels: only one is made
    EXPECT_EQ(GrabTrackNow(plan, &wav), GrabResult::Abandoned);
    const QStringList texts = sink.Texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].contains("Error creating folder!"));
    EXPECT_EQ(texts[1], "<" + plan.basePath + ".TMP>: " + LoadStringRes(61299));
}

TEST(GrabNames, TrackNamesBecomeFileNamesAndTrackListsAreRead) {
    EXPECT_EQ(TrackName(0, 7), "Track07");
    EXPECT_EQ(TrackEntryText("Track07", 252), "Track07 (04:12)");
    EXPECT_EQ(TrackBasePath("/music", "AC/DC: Live?"), "/music/AC-DC- Live");
    EXPECT_EQ(TrackBasePath("/music/", "a\"b*c<d>e|f\\g"), "/music/abc-d-e-f-g");

    struct Case {
        const char *text;
        QList<int> tracks;
        bool ok;
    } cases[] = {
        {"", {1, 2, 3, 4, 5}, true},
        {"1,3-5", {1, 3, 4, 5}, true},
        {" 2 , 2-3", {2, 3}, true},
        {"5-5", {5}, true},
        {"0", {}, false},
        {"6", {}, false},
        {"3-1", {}, false},
        {"1,,2", {}, false},
        {"x", {}, false},
        {"2-6", {}, false},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_EQ(ParseTrackList(c.text, 5, &error), c.tracks) << c.text;
        EXPECT_EQ(error.isEmpty(), c.ok) << c.text;
    }
}
