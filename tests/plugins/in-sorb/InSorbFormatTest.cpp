// The MP3 plug-in's format scan: data start and end around tags, rates, block sizes and titles.
#include "AudioFiles.h"
#include "InSorbFixture.h"
#include "Mp3Files.h"

#include <gtest/gtest.h>

namespace {

// MPEG-1 Layer III, 44100 Hz, stereo, no CRC, at 128 / 160 / 32 kbit/s; Layer I at 128 kbit/s.
constexpr uint32_t kL3At128 = 0xFFFB9000;
constexpr uint32_t kL3At160 = 0xFFFBA000;
constexpr uint32_t kL3At32 = 0xFFFB1000;
constexpr uint32_t kL1At128 = 0xFFFF4000;

QByteArray Frames(uint32_t header, int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += MakeFrame(header);
    return bytes;
}

} // namespace

TEST_F(InSorb, ServesMpegExtensionsWithIcon) {
    EXPECT_STREQ(plugin->pszExtensions, "MP3;MP2;MPA");
    EXPECT_STREQ(plugin->pszDescriptions, "MPEG-Layer3;MPEG-Layer2;MPEG-Layer1");
    EXPECT_FALSE(plugin->hIcon.isNull());
    EXPECT_EQ(PluginAt(FindPluginForExtension(QStringLiteral("Mp2"))), plugin);
    EXPECT_EQ(PluginAt(FindPluginForExtension(QStringLiteral("mpa"))), plugin);
}

TEST_F(InSorb, ConstantRate128IsSixteenThousandBytesPerSecond) {
    // Without a Xing header the rate comes from the frames themselves.
    TestTitle title(Write("cbr.mp3", Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const TitleItem &item = title.item;
    EXPECT_EQ(item.hMMFile, nullptr);
    EXPECT_EQ(item.dwDataStart, 0u);
    EXPECT_EQ(item.dwDataEnd, uint32_t(Files().cbrNoTag.size()));
    EXPECT_EQ(item.nAvgBytesPerSec, 16000u);
    EXPECT_EQ(item.nLength, int32_t(Files().cbrNoTag.size() / 16000));
    EXPECT_EQ(item.nSamplesPerSec, 44100u);
    EXPECT_EQ(item.nChannels, 2);
    EXPECT_EQ(item.nBitsPerSample, 16);
    EXPECT_EQ(item.nBlockBytes, 4608u);
    EXPECT_EQ(item.nBlockAlignBytes, 4608u);
    EXPECT_EQ(item.nPositionMode, uint32_t(POSITION_MODE_BYTES));
    EXPECT_EQ(item.bFormatValid, 1u);
    EXPECT_STREQ(item.dwFormatTag, "MP3");
    EXPECT_STREQ(item.szTitle, "cbr");
}

TEST_F(InSorb, BlockBytesFollowLayerVersionAndChannels) {
    TestTitle mono(Write("mono.mp3", Files().mpeg2Mono));
    ASSERT_TRUE(plugin->pfnGetFormat(&mono.item, 0));
    EXPECT_EQ(mono.item.nBlockBytes, 1152u); // 576 samples, one channel
    EXPECT_EQ(mono.item.nChannels, 1);
    EXPECT_EQ(mono.item.nSamplesPerSec, 22050u);

    TestTitle layer1(Write("layer1.mpa", Frames(kL1At128, 50)));
    ASSERT_TRUE(plugin->pfnGetFormat(&layer1.item, 0));
    EXPECT_EQ(layer1.item.nBlockBytes, 1536u); // 384 samples, two channels
    EXPECT_EQ(layer1.item.nAvgBytesPerSec, 16000u);
}

TEST_F(InSorb, XingAndVbriHeadersGiveTheAverageRate) {
    // 200 bytes a frame: 200 * 8 * 44100 / 1152 = 61250 bit/s, rounded down to 61000.
    const QByteArray counts = Be32(1000) + Be32(200000);
    TestTitle xing(Write("xing.mp3", MakeFrame(kL3At128, "Xing" + Be32(3) + counts) + Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&xing.item, 0));
    EXPECT_EQ(xing.item.nAvgBytesPerSec, 61000u / 8);

    const QByteArray vbri = "VBRI" + QByteArray("\0\1\0\0\0\x4b", 6) + Be32(1000000) + Be32(5000);
    TestTitle vbriTitle(Write("vbri.mp3", MakeFrame(kL3At128, vbri) + Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&vbriTitle.item, 0));
    EXPECT_EQ(vbriTitle.item.nAvgBytesPerSec, 61000u / 8);

    // A VBRI frame count with its top bit set is not believed: the frames' own rate is used.
    const QByteArray badVbri = "VBRI" + QByteArray(6, '\0') + Be32(1000000) + Be32(0x80000001u);
    TestTitle badTitle(Write("badvbri.mp3", MakeFrame(kL3At128, badVbri) + Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&badTitle.item, 0));
    EXPECT_EQ(badTitle.item.nAvgBytesPerSec, 16000u);
}

TEST_F(InSorb, LameVbrFileRateMatchesItsSize) {
    TestTitle title(Write("vbr.mp3", Files().vbr));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const double seconds = Files().seconds;
    const double measured = (title.item.dwDataEnd - title.item.dwDataStart) / seconds;
    EXPECT_NEAR(double(title.item.nAvgBytesPerSec), measured, 0.04 * measured + 125);
    EXPECT_EQ(title.item.nAvgBytesPerSec * 8 % 1000, 0u); // whole kbit/s
}

TEST_F(InSorb, QuietStartWithoutVbrHeaderTakesTheFirstLouderFrame) {
    const QByteArray file = Frames(kL3At32, 3) + MakeFrame(kL3At160) + Frames(kL3At128, 5);
    TestTitle title(Write("quiet.mp3", file));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(title.item.nAvgBytesPerSec, 160u * 125);
}

TEST_F(InSorb, LeadingGarbageAndFalseSyncAreSkipped) {
    QByteArray garbage(1000, '\x11');
    garbage.replace(500, 4, Be32(kL3At128)); // a lone header whose successor is not a header
    TestTitle title(Write("garbage.mp3", garbage + Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(title.item.dwDataStart, 1000u);
    EXPECT_EQ(title.item.nAvgBytesPerSec, 16000u);
}

TEST_F(InSorb, Id3v2InFrontMovesTheDataStartWithOrWithoutTags) {
    // Larger than the 5000-byte window, so the frame search must start behind it.
    const QByteArray tag = MakeId3v2("Artist", "Song", 6000);
    const QString path = Write("v2.mp3", tag + Files().cbrNoTag);
    for (const bool useTags : {false, true}) {
        TestTitle title(path, useTags);
        ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0)) << useTags;
        EXPECT_EQ(title.item.dwDataStart, 6000u) << useTags;
        EXPECT_EQ(title.item.dwDataEnd, uint32_t(tag.size() + Files().cbrNoTag.size())) << useTags;
        EXPECT_STREQ(title.item.szTitle, useTags ? "Artist - Song" : "v2");
    }
}

TEST_F(InSorb, FramesInsideASmallId3v2TagAreNotTakenForAudio) {
    // A private frame holding two consecutive frame headers, as binary tag data may.
    const QByteArray fake = MakeFrame(kL3At128) + Be32(kL3At128);
    const int body = int(fake.size()) + 2;
    const char sizeBytes[6] = {0, 0, char(body >> 7), char(body & 0x7F), 0, 0};
    const QByteArray size(sizeBytes, 6);
    const QByteArray priv = "PRIV" + size + "x" + QByteArray(1, '\0') + fake;
    const QByteArray tag = MakeId3v2("", "", 1200, priv);
    TestTitle title(Write("priv.mp3", tag + Files().cbrNoTag));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(title.item.dwDataStart, 1200u);
}

TEST_F(InSorb, Id3v1BehindIsExcludedOnlyWhenTagsAreUsed) {
    const QByteArray file = Files().cbrNoTag + MakeId3v1("Old Artist", "Old Title");
    const QString path = Write("v1.mp3", file);
    TestTitle plain(path, false);
    ASSERT_TRUE(plugin->pfnGetFormat(&plain.item, 0));
    EXPECT_EQ(plain.item.dwDataEnd, uint32_t(file.size()));
    TestTitle tagged(path, true);
    ASSERT_TRUE(plugin->pfnGetFormat(&tagged.item, 0));
    EXPECT_EQ(tagged.item.dwDataEnd, uint32_t(file.size() - 128));
    EXPECT_STREQ(tagged.item.szTitle, "Old Artist - Old Title");
    EXPECT_EQ(tagged.item.nLength, int32_t((file.size() - 128) / 16000));
}

TEST_F(InSorb, TitleRulesForMissingAndLongFields) {
    struct Case {
        QByteArray artist, title;
        const char *expected;
    };
    const std::string longArtist(70, 'a');
    const std::string longTitle(70, 't');
    const std::string cut = (longArtist + " - " + longTitle).substr(0, 99);
    const Case cases[] = {
        {"Solo", "", "Solo - Unknown"},
        {"", "Lonely", "Unknown - Lonely"},
        {"", "", "keep"},
        {QByteArray::fromStdString(longArtist), QByteArray::fromStdString(longTitle), cut.c_str()},
    };
    for (const Case &c : cases) {
        TestTitle title(Write("keep.mp3", MakeId3v2(c.artist, c.title, 200) + Files().cbrNoTag), true);
        ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
        EXPECT_STREQ(title.item.szTitle, c.expected);
    }
    // A cut never splits a character: 50 two-byte letters and " - X" leave 49 letters (98 bytes).
    QByteArray umlauts;
    for (int i = 0; i < 50; ++i)
        umlauts += "\xC3\xA4";
    TestTitle title(Write("utf8.mp3", MakeId3v2(umlauts, "X", 300) + Files().cbrNoTag), true);
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(QByteArray(title.item.szTitle), umlauts.left(98));
}

TEST_F(InSorb, GetFormatTwiceIsTheSameAndLeavesTheFileClosed) {
    TestTitle title(Write("twice.mp3", MakeId3v2("A", "B", 400) + Files().cbrNoTag + MakeId3v1("A", "B")), true);
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const TitleItem first = title.item;
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(std::memcmp(&first, &title.item, sizeof first), 0);
    EXPECT_EQ(title.item.hMMFile, nullptr);
    EXPECT_EQ(title.item.pDecoder, nullptr);
}

TEST_F(InSorb, FilesWithoutFramesAreRefusedQuietly) {
    RecordingSink sink;
    const QByteArray noise = QByteArray(20000, '\x42');
    // Free-format frames have no rate to compute with.
    const QByteArray freeFormat = Be32(0xFFFB0000) + QByteArray(400, '\0') + Be32(0xFFFB0000) + QByteArray(400, '\0');
    const QByteArray xingWithoutBytes = MakeFrame(kL3At128, "Xing" + Be32(1) + Be32(100)) + Files().cbrNoTag;
    for (const QByteArray &bytes : {QByteArray(), noise, MakeWav(MakePcm16(8000, 1, 0.2), 8000, 1, 16), freeFormat,
                                    MakeId3v2("A", "B", 300), xingWithoutBytes}) {
        TestTitle title(Write("bad.mp3", bytes), true);
        EXPECT_EQ(plugin->pfnGetFormat(&title.item, 0), 0);
        EXPECT_EQ(title.item.hMMFile, nullptr);
    }
    TestTitle missing(dir.filePath(QStringLiteral("missing.mp3")));
    EXPECT_EQ(plugin->pfnGetFormat(&missing.item, 0), 0);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

namespace {

QByteArray Frame23(const char *id, const QByteArray &payload) {
    return QByteArray(id) + Be32(uint32_t(payload.size())) + QByteArray(2, '\0') + payload;
}

QByteArray Tag(char version, const QByteArray &frames) {
    const int size = int(frames.size()) + 100; // with padding
    const char syncsafe[4] = {char(size >> 21 & 0x7F), char(size >> 14 & 0x7F), char(size >> 7 & 0x7F),
                              char(size & 0x7F)};
    return QByteArray("ID3") + version + QByteArray(2, '\0') + QByteArray(syncsafe, 4) + frames + QByteArray(100, '\0');
}

QByteArray Utf16(const QString &text, bool bigEndian, bool bom) {
    QByteArray out = bom ? (bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2)) : QByteArray();
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return out;
}

} // namespace

TEST_F(InSorb, TitlesFromEveryTextEncodingOfVersion3And4Tags) {
    // Version 3: UTF-16 with a byte-order mark and Latin-1, an ID3v1 tag behind the audio.
    const QByteArray v3 = Tag(3, Frame23("TPE1", QByteArray(1, '\1') + Utf16(QString::fromUtf8("Björk"), false, true)) +
                                     Frame23("TIT2", QByteArray(1, '\0') + QByteArray("J\xF3ga")));
    const QByteArray file3 = v3 + Files().cbrNoTag + MakeId3v1("Other", "Other");
    TestTitle t3(Write("v3.mp3", file3), true);
    ASSERT_TRUE(plugin->pfnGetFormat(&t3.item, 0));
    EXPECT_EQ(QString::fromUtf8(t3.item.szTitle), QString::fromUtf8("Björk - Jóga"));
    EXPECT_EQ(t3.item.dwDataStart, uint32_t(v3.size()));
    EXPECT_EQ(t3.item.dwDataEnd, uint32_t(file3.size() - 128));

    // Version 4 (synchsafe frame sizes): UTF-16BE without a mark, UTF-8 with a trailing NUL, and a
    // surrogate pair.
    auto frame24 = [](const char *id, const QByteArray &payload) {
        const int n = int(payload.size());
        const char size[4] = {char(n >> 21 & 0x7F), char(n >> 14 & 0x7F), char(n >> 7 & 0x7F), char(n & 0x7F)};
        return QByteArray(id) + QByteArray(size, 4) + QByteArray(2, '\0') + payload;
    };
    const QString clef = QString::fromUtf8("Sigur Rós \xF0\x9D\x84\x9E");
    const QByteArray v4 =
        Tag(4, frame24("TIT2", QByteArray(1, '\3') + QByteArray("Hopp\xC3\xADpolla") + QByteArray(1, '\0')) +
                   frame24("TPE1", QByteArray(1, '\2') + Utf16(clef, true, false)));
    TestTitle t4(Write("v4.mp3", v4 + Files().cbrNoTag), true);
    ASSERT_TRUE(plugin->pfnGetFormat(&t4.item, 0));
    EXPECT_EQ(QString::fromUtf8(t4.item.szTitle), clef + QString::fromUtf8(" - Hoppípolla"));
    EXPECT_EQ(t4.item.dwDataEnd, uint32_t(v4.size() + Files().cbrNoTag.size()));

    // A broken UTF-16 artist goes to the full tag reader, which still finds the title.
    const QByteArray broken = Tag(3, Frame23("TPE1", QByteArray(1, '\1') + QByteArray("\xFF\xFE\x00\xDC", 4)) +
                                         Frame23("TIT2", QByteArray(1, '\0') + "Song"));
    TestTitle tb(Write("broken.mp3", broken + Files().cbrNoTag), true);
    ASSERT_TRUE(plugin->pfnGetFormat(&tb.item, 0));
    EXPECT_TRUE(QByteArray(tb.item.szTitle).endsWith("Song")) << tb.item.szTitle;
}
