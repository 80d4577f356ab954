// The MP3 encoder over the real LAME library, checked by mpg123 and ffprobe: length, channels, rate, VBR header.
#include "GrabFixture.h"
#include "LameEncoder.h"
#include "Settings.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

struct ToolRun {
    QByteArray out, err;
};

ToolRun Tool(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << " is installed by scripts/setup";
    return {p.readAllStandardOutput(), p.readAllStandardError()};
}

using Mp3Test = GrabFixture;

} // namespace

TEST_F(Mp3Test, TracksDecodeToTheirLengthInEveryModeAndTheVbrHeaderIsRead) {
    LameLibrary library;
    ASSERT_EQ(library.Load(), LameLibrary::Loaded) << "libmp3lame0 is installed by scripts/setup";
    LameEncoder encoder(library);
    struct Case {
        const char *name;
        void (*change)(LameSettings &);
        int channels, rate;
        QStringList stream; // what mpg123 reads from the frames and the header
        bool bHeader;
    } cases[] = {
        {"CBR",
         [](LameSettings &) {},
         2,
         44100,
         {"MPEG 1.0, Layer: III, Freq: 44100, mode: Stereo,", "Bitrate: 128 kbit/s",
          "copyright: No, original: No, CRC: No", "Extension value: 0"},
         true},
        {"VBR", [](LameSettings &s) { s.vbr = 1; }, 2, 44100, {"Freq: 44100, mode: Stereo,", "Bitrate: VBR"}, true},
        {"Mono", [](LameSettings &s) { s.modeIndex = 3; }, 1, 44100, {"mode: Single-Channel", "Channels: 1"}, true},
        {"MPEG 2",
         [](LameSettings &s) { s.mpegIndex = 1; },
         2,
         22050,
         {"MPEG 2.0, Layer: III, Freq: 22050, mode: Stereo,", "Bitrate: 80 kbit/s"},
         true},
        {"Joint stereo 320 with every flag",
         [](LameSettings &s) { s.modeIndex = 1, s.bitrateIndex = 13, s.copyright = s.original = s.crc = s.priv = 1; },
         2,
         44100,
         {"mode: Joint-Stereo", "Bitrate: 320 kbit/s", "copyright: Yes, original: Yes, CRC: Yes", "Extension value: 1"},
         true},
        {"Dual channel", [](LameSettings &s) { s.modeIndex = 2; }, 2, 44100, {"mode: Dual-Channel"}, true},
        {"No header", [](LameSettings &s) { s.vbrHeader = 0; }, 2, 44100, {"Bitrate: 128 kbit/s"}, false},
    };
    for (const Case &c : cases) {
        // Track 2 is shorter than two seconds.
        for (int track : c.name == std::string("CBR") ? std::vector<int>{2, 4} : std::vector<int>{4}) {
            SCOPED_TRACE(testing::Message() << c.name << ", track " << track);
            LameSettings settings;
            c.change(settings);
            encoder.SetSettings(settings);
            const GrabTrack plan = Plan(track);
            QFile::remove(plan.basePath + ".mp3");
            ASSERT_EQ(GrabTrackNow(plan, &encoder), GrabResult::Written);
            const QString mp3 = plan.basePath + ".mp3";

            const ToolRun info = Tool("mpg123", {"-vvv", "-t", mp3});
            for (const QString &text : c.stream)
                EXPECT_TRUE(info.err.contains(text.toUtf8())) << text.toStdString();
            EXPECT_EQ(info.err.contains("Xing/Lame/Info header detected"), c.bHeader);
            // Without the header the decoder cannot know the encoder's delay and padding.
            if (c.bHeader) {
                const ToolRun pcm = Tool("mpg123", {"-q", "-s", mp3});
                const qint64 samples = pcm.out.size() / 2 / c.channels;
                const qint64 expected = qint64(image.trackFrames[size_t(track - 1)]) * 588 * c.rate / 44100;
                EXPECT_LE(std::abs(samples - expected), c.rate == 44100 ? 1152 : 576) << samples << " vs " << expected;
            }
            if (c.name != std::string("VBR") && c.name != std::string("No header"))
                continue; // ffprobe is slow to start: it checks the header and its absence
            const ToolRun probe =
                Tool("ffprobe", {"-v", "error", "-show_entries", "stream=channels,sample_rate:stream_tags=encoder",
                                 "-of", "default=noprint_wrappers=1", mp3});
            EXPECT_TRUE(probe.out.contains(QByteArray("sample_rate=") + QByteArray::number(c.rate)));
            EXPECT_TRUE(probe.out.contains(QByteArray("channels=") + QByteArray::number(c.channels)));
            // ffprobe names the encoder only from the LAME header.
            EXPECT_EQ(probe.out.contains("TAG:encoder=LAME"), c.bHeader) << probe.out.toStdString();
        }
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST(LameSettingsTest, StoredValuesAndTheStreamConfiguration) {
    ScopedXdgHome home;
    EXPECT_EQ(LameSettings::Load(), LameSettings());
    LameSettings s;
    s.bitrateIndex = 8;
    s.mpegIndex = 1;
    s.modeIndex = 2;
    s.crc = s.original = s.priv = s.copyright = s.vbr = 1;
    s.vbrQualityIndex = 9;
    s.vbrHeader = 0;
    s.Save();
    EXPECT_EQ(LameSettings::Load(), s);
    const LameConfig c = MakeLameConfig(s);
    EXPECT_EQ(c.dwBitrate, 80u); // the same position in the MPEG 2 list
    EXPECT_EQ(c.dwReSampleRate, 22050u);
    EXPECT_EQ(c.dwMpegVersion, 0u);
    EXPECT_EQ(c.nMode, 2);
    EXPECT_EQ(c.nPreset, 2);
    EXPECT_EQ(c.bNoRes, 1);
    EXPECT_EQ(c.nVBRQuality, 9);
    EXPECT_EQ(c.bWriteVBRHeader + 2 * c.bEnableVBR + 4 * c.bCRC + 8 * c.bOriginal + 16 * c.bPrivate + 32 * c.bCopyright,
              62);
    // A hand-edited value outside its list gets the default.
    WriteSettingInt("ENCODE_LAME", "Bitrate", 14);
    WriteSettingInt("ENCODE_LAME", "Mode", -1);
    EXPECT_EQ(LameSettings::Load().bitrateIndex, 8);
    EXPECT_EQ(LameSettings::Load().modeIndex, 0);
}
