// The MP3 plug-in's playback: PCM against the mpg123 tool, damaged data, seeking, and the ends.
#include "AudioFiles.h"
#include "InSorbFixture.h"
#include "Mp3Files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the player asks for with its default half-second buffer: block and chunk bytes.
unsigned long PlayerBlock(const TitleItem &item) {
    const unsigned long perMs = (item.nBitsPerSample / 8) * (item.nSamplesPerSec / 1000) * item.nChannels;
    return perMs * 500 / item.nBlockAlignBytes * item.nBlockAlignBytes;
}
unsigned long PlayerChunk(const TitleItem &item) {
    return item.nAvgBytesPerSec / 1000 * 500;
}

// Index of the first differing byte, or -1.
qsizetype FirstDifference(const QByteArray &a, const QByteArray &b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return i;
    return a.size() == b.size() ? -1 : n;
}

} // namespace

// Both decode every frame (no gapless trimming on either side) and skip lame's Info frame, so the
// PCM must agree sample for sample, from the first to the last.
TEST_F(InSorb, PcmMatchesTheMpg123ToolSampleForSample) {
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"cbr.mp3", Files().cbrNoTag},
        {"info.mp3", Files().cbrInfo},
        {"vbr.mp3", Files().vbr},
        {"mono.mp3", Files().mpeg2Mono},
        {"tagged.mp3", MakeId3v2("Artist", "Song", 3000) + Files().vbr + MakeId3v1("Artist", "Song")},
    };
    for (const Case &c : cases) {
        const QString path = Write(c.name, c.bytes);
        const QByteArray expected = DecodeWithMpg123(path);
        ASSERT_GT(expected.size(), 100000) << c.name;
        for (const bool useTags : {false, true}) {
            TestTitle title(path, useTags);
            ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0)) << c.name;
            const Decoded decoded = DecodeAll(plugin, title.item, PlayerBlock(title.item), PlayerChunk(title.item));
            ASSERT_TRUE(decoded.initOk) << c.name;
            EXPECT_TRUE(decoded.paddingOk) << c.name;
            EXPECT_EQ(decoded.pcm.size(), expected.size()) << c.name << " tags " << useTags;
            EXPECT_EQ(FirstDifference(decoded.pcm, expected), -1) << c.name << " tags " << useTags;
            EXPECT_EQ(title.item.hMMFile, nullptr);
            EXPECT_EQ(title.item.pDecoder, nullptr);
        }
    }
}

TEST_F(InSorb, ChunksSmallerThanAFrameAndOddBuffersGiveTheSamePcm) {
    const QString path = Write("cbr.mp3", Files().cbrNoTag);
    const QByteArray expected = DecodeWithMpg123(path);
    TestTitle title(path);
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    for (const unsigned long chunk : {100ul, 417ul, 1ul << 20}) {
        const Decoded decoded = DecodeAll(plugin, title.item, title.item.nBlockBytes * 3 + 7, chunk);
        EXPECT_EQ(FirstDifference(decoded.pcm, expected), -1) << chunk;
        EXPECT_TRUE(decoded.paddingOk) << chunk;
    }
}

TEST_F(InSorb, AudioEndingOnABlockBoundaryEndsWithAnEmptySilentBuffer) {
    // 40 Layer I frames of 384 stereo samples; the buffer takes exactly 10 frames.
    QByteArray file;
    for (int i = 0; i < 40; ++i)
        file += MakeFrame(0xFFFF4000);
    TestTitle title(Write("exact.mpa", file));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    ASSERT_EQ(title.item.nBlockBytes, 1536u);
    const Decoded decoded = DecodeAll(plugin, title.item, 10 * 1536, 1000);
    EXPECT_EQ(decoded.pcm.size(), 40 * 1536);
    EXPECT_EQ(decoded.reads, 5);
    EXPECT_TRUE(decoded.paddingOk);
}

TEST_F(InSorb, ReadRecoversFromADamagedStretchAndPlaysToTheEnd) {
    const QByteArray clean = Files().cbrNoTag;
    const QByteArray cleanPcm = DecodeWithMpg123(Write("clean.mp3", clean));
    QByteArray damaged = clean;
    const int middle = int(clean.size() / 2);
    damaged.replace(middle, 5000, QByteArray(5000, '\x33')); // about twelve frames of junk
    TestTitle title(Write("damaged.mp3", damaged));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const Decoded decoded = DecodeAll(plugin, title.item, PlayerBlock(title.item), PlayerChunk(title.item));
    EXPECT_TRUE(decoded.paddingOk);
    // Only the frames of the damaged stretch (and a neighbour or two) are missing ...
    const qsizetype lostFrames = (cleanPcm.size() - decoded.pcm.size()) / 4608;
    EXPECT_GE(lostFrames, 5000 / 418);
    EXPECT_LE(lostFrames, 5000 / 417 + 3);
    // ... and the last second is the clean file's last second.
    const qsizetype second = 176400;
    EXPECT_EQ(decoded.pcm.right(second), cleanPcm.right(second));
}

TEST_F(InSorb, ResyncMovesToTheNextFrameAndPlaysOn) {
    const QByteArray file = Files().cbrNoTag;
    TestTitle title(Write("seek.mp3", file));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    TitleItem &item = title.item;
    item.dwReadPos = item.dwDataStart;
    ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
    std::vector<unsigned char> buffer(PlayerBlock(item));
    unsigned long written = 0;
    ASSERT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), PlayerChunk(item), &written), 1);

    const uint32_t target = uint32_t(file.size() / 2 + 123);
    item.dwReadPos = target;
    ASSERT_EQ(plugin->pfnResync(&item), 1);
    ASSERT_GE(item.dwReadPos, target);
    ASSERT_LT(item.dwReadPos, target + 420);
    const auto *bytes = reinterpret_cast<const unsigned char *>(file.constData());
    EXPECT_EQ(bytes[item.dwReadPos], 0xFF);
    EXPECT_EQ(bytes[item.dwReadPos + 1] & 0xE0, 0xE0);

    // The rest of the file plays from there: about half of it.
    qsizetype rest = 0;
    int more = 1;
    while (more) {
        more = plugin->pfnRead(&item, buffer.data(), buffer.size(), PlayerChunk(item), &written);
        rest += qsizetype(written);
    }
    const qsizetype frames = rest / 4608;
    const qsizetype expectedFrames = (file.size() - item.dwDataStart) / 2 / 418;
    EXPECT_NEAR(double(frames), double(expectedFrames), 3.0);

    // Close to the end the search reads past the last frame; the frames up to the end still play.
    item.dwReadPos = item.dwDataEnd - 3000;
    ASSERT_EQ(plugin->pfnResync(&item), 1);
    rest = 0;
    more = 1;
    while (more) {
        more = plugin->pfnRead(&item, buffer.data(), buffer.size(), PlayerChunk(item), &written);
        rest += qsizetype(written);
    }
    EXPECT_NEAR(double(rest / 4608), 3000.0 / 418, 2.0);
    plugin->pfnDeinitRead(&item, 0);
    EXPECT_EQ(item.hMMFile, nullptr);
}

TEST_F(InSorb, ResyncWithoutAFrameAheadSaysSo) {
    RecordingSink sink;
    const QByteArray file = Files().cbrNoTag + QByteArray(10000, '\x22');
    const QString path = Write("tail.mp3", file);
    TestTitle title(path);
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    ASSERT_TRUE(plugin->pfnInitRead(&title.item, 1));
    title.item.dwReadPos = uint32_t(Files().cbrNoTag.size() + 100);
    EXPECT_EQ(plugin->pfnResync(&title.item), 0);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("GetSYNC (%1): Could not find a valid MP3 frame. Perhaps this "
                                                       "file is corrupted!")
                                            .arg(path)});
    plugin->pfnDeinitRead(&title.item, 0);
}

TEST_F(InSorb, ResyncAtOrNearTheEndEndsTheTitleQuietly) {
    // Where the slider's end or a drag fully right puts the position: no whole frame follows, and that
    // is the end of the title, not a damaged file. Frames are 418 bytes.
    RecordingSink sink;
    TestTitle title(Write("end.mp3", Files().cbrNoTag + MakeId3v1("Artist", "Song")));
    title.item.bUseTags = 1;
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    TitleItem &item = title.item;
    ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
    std::vector<unsigned char> buffer(PlayerBlock(item));
    for (const uint32_t back : {0u, 1u, 200u}) {
        for (const uint32_t beyond : {0u, 5000u}) {
            item.dwReadPos = item.dwDataEnd - back + beyond;
            EXPECT_EQ(plugin->pfnResync(&item), 1) << back << " " << beyond;
            unsigned long written = 1;
            EXPECT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), PlayerChunk(item), &written), 0);
            EXPECT_EQ(written, 0u);
        }
    }
    plugin->pfnDeinitRead(&item, 0);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(InSorb, InitReadFailuresLeaveNothingOpenAndDeinitIsSafeOnAnyRecord) {
    RecordingSink sink;
    TestTitle title(Write("gone.mp3", Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    QFile::remove(QString::fromStdString(title.path));
    EXPECT_EQ(plugin->pfnInitRead(&title.item, 1), 0);
    EXPECT_EQ(title.item.pDecoder, nullptr);
    EXPECT_EQ(title.item.hMMFile, nullptr);
    EXPECT_EQ(sink.Texts().size(), 1); // the file component's message, since errors may be shown

    TitleItem empty{};
    EXPECT_EQ(plugin->pfnDeinitRead(&empty, 0), 1);
    std::vector<unsigned char> buffer(4608, 0x77);
    unsigned long written = 5;
    EXPECT_EQ(plugin->pfnRead(&empty, buffer.data(), buffer.size(), 1000, &written), 0);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(buffer[100], 0);
}
