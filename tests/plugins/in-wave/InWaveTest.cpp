// The WAV plug-in through the host: format fields, whole playbacks, seeking and files it must refuse.
#include "AudioFiles.h"
#include "PluginUnderTest.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A WAVE file of any format tag and sample width, plain or as WAVE_FORMAT_EXTENSIBLE with that tag as
// its sub-format.
QByteArray WaveFile(uint16_t tag, int bits, int channels, int rate, const QByteArray &data, bool bExtensible) {
    QByteArray fmt(bExtensible ? 40 : 16, '\0');
    Put16Le(fmt, 0, bExtensible ? 0xFFFE : tag);
    Put16Le(fmt, 2, uint16_t(channels));
    Put32Le(fmt, 4, uint32_t(rate));
    Put32Le(fmt, 8, uint32_t(rate * channels * bits / 8));
    Put16Le(fmt, 12, uint16_t(channels * bits / 8));
    Put16Le(fmt, 14, uint16_t(bits));
    if (bExtensible) {
        Put16Le(fmt, 16, 22);
        Put16Le(fmt, 18, uint16_t(bits));
        Put32Le(fmt, 20, channels == 2 ? 3 : 4);
        Put16Le(fmt, 24, tag);
        const char tail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";
        fmt.replace(26, 14, QByteArray(tail, 14));
    }
    return RiffChunk("RIFF", QByteArray("WAVE") + RiffChunk("fmt ", fmt) + RiffChunk("data", data));
}

class InWave : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = PluginFor("wav");
        ASSERT_NE(plugin, nullptr) << "in-wave.so is not in " MELVO_PROGRAM_DIR;
    }
    QString Write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }
    const PluginEntry *plugin = nullptr;
    QTemporaryDir dir;
};

} // namespace

TEST_F(InWave, ServesWavWithItsDescription) {
    EXPECT_STREQ(plugin->pszExtensions, "WAV");
    EXPECT_STREQ(plugin->pszDescriptions, "Wave-Audio");
    EXPECT_FALSE(plugin->hIcon.isNull());
}

TEST_F(InWave, Stereo16BitFormatAndWholePlayback) {
    const QByteArray pcm = MakePcm16(44100, 2, 2.5);
    // A LIST chunk of odd size before the data: the walk must step over it and its pad byte.
    const QString path = Write("tone.wav", MakeWav(pcm, 44100, 2, 16, RiffChunk("LIST", QByteArray("INFOabc"))));
    TestTitle title(path);
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const TitleItem &item = title.item;
    EXPECT_EQ(item.hMMFile, nullptr);
    EXPECT_EQ(item.dwDataStart, 12u + 24u + 16u + 8u);
    EXPECT_EQ(item.dwDataEnd, item.dwDataStart + uint32_t(pcm.size()));
    EXPECT_EQ(item.nChannels, 2);
    EXPECT_EQ(item.nBitsPerSample, 16);
    EXPECT_EQ(item.nSamplesPerSec, 44100u);
    EXPECT_EQ(item.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(item.nLength, 2);
    EXPECT_EQ(item.nBlockBytes % 4, 0u);
    EXPECT_EQ(item.nBlockAlignBytes, item.nBlockBytes);
    EXPECT_STREQ(item.dwFormatTag, "WAV");
    EXPECT_STREQ(item.szTitle, "tone");
    EXPECT_EQ(item.bFormatValid, 1u);

    // Output and chunk sizes that share no factor with the data's size.
    const Decoded decoded = DecodeAll(plugin, title.item, 3 * item.nBlockBytes, 3000);
    EXPECT_TRUE(decoded.initOk);
    EXPECT_EQ(decoded.pcm, pcm);
    EXPECT_TRUE(decoded.paddingOk);
    EXPECT_EQ(title.item.hMMFile, nullptr);
}

TEST_F(InWave, EightBitMonoPadsWithTheSilenceByte) {
    const QByteArray pcm = MakePcm8(8000, 1, 10001);
    TestTitle title(Write("ramp.wav", MakeWav(pcm, 8000, 1, 8)));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(title.item.nAvgBytesPerSec, 8000u);
    EXPECT_EQ(title.item.nLength, 1);
    const Decoded decoded = DecodeAll(plugin, title.item, title.item.nBlockBytes, 8000);
    EXPECT_EQ(decoded.pcm, pcm);
    EXPECT_TRUE(decoded.paddingOk); // 0x80, set by the host for 8-bit sources
}

TEST_F(InWave, DataEndingOnABlockBoundaryEndsWithAnEmptySilentBuffer) {
    const QByteArray pcm = MakePcm16(22050, 2, 1.0).left(2 * 4096 * 4);
    TestTitle title(Write("exact.wav", MakeWav(pcm, 22050, 2, 16)));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const unsigned long size = 4 * title.item.nBlockBytes;
    ASSERT_EQ(size * 2, unsigned(pcm.size()));
    const Decoded decoded = DecodeAll(plugin, title.item, size, 16384);
    EXPECT_EQ(decoded.reads, 3); // full, full, then nothing but silence
    EXPECT_EQ(decoded.pcm, pcm);
    EXPECT_TRUE(decoded.paddingOk);
}

TEST_F(InWave, WideAndFloatSamplesArriveAsSixteenBit) {
    // A ramp over the whole 16-bit range; wider samples carry it in their top bytes below noise the
    // conversion must drop, float samples as value / 32768.
    const int frames = 3000;
    QByteArray expected;
    QByteArray wide[3]; // 24-bit, 32-bit integer, 32-bit float
    for (int i = 0; i < 2 * frames; ++i) {
        const int16_t v = i == 0 ? -32768 : i == 1 ? 32767 : int16_t(i * 97 - 30000);
        expected.append(reinterpret_cast<const char *>(&v), 2);
        const char lo = char(v & 0xFF), hi = char(v >> 8);
        wide[0] += QByteArray("\x7F") + lo + hi;
        wide[1] += QByteArray("\xFF\x01") + lo + hi;
        const float f = v / 32768.0f;
        wide[2].append(reinterpret_cast<const char *>(&f), 4);
    }
    const struct {
        const char *name;
        uint16_t tag;
        int bits;
        const QByteArray &data;
    } cases[] = {{"24 bit", 1, 24, wide[0]}, {"32 bit", 1, 32, wide[1]}, {"float", 3, 32, wide[2]}};
    for (const auto &c : cases) {
        for (const bool bExtensible : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (bExtensible ? " extensible" : ""));
            TestTitle title(Write("wide.wav", WaveFile(c.tag, c.bits, 2, 48000, c.data, bExtensible)));
            ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
            TitleItem &item = title.item;
            EXPECT_EQ(item.nBitsPerSample, 16);
            EXPECT_EQ(item.nAvgBytesPerSec, uint32_t(48000 * 2 * c.bits / 8)); // positions are file offsets
            EXPECT_EQ(item.dwDataEnd - item.dwDataStart, uint32_t(c.data.size()));
            const Decoded decoded = DecodeAll(plugin, item, 3 * item.nBlockBytes, 5000);
            EXPECT_EQ(decoded.pcm, expected);
            EXPECT_TRUE(decoded.paddingOk);

            ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
            item.dwReadPos = item.dwDataStart + 10003;
            plugin->pfnResync(&item);
            EXPECT_EQ((item.dwReadPos - item.dwDataStart) % uint32_t(2 * c.bits / 8), 0u);
            plugin->pfnDeinitRead(&item, 0);
            EXPECT_EQ(item.pDecoder, nullptr);
        }
    }
    // Float beyond full scale clips instead of wrapping.
    const float loud[2] = {1.5f, -2.0f};
    TestTitle title(
        Write("loud.wav", WaveFile(3, 32, 2, 48000, QByteArray(reinterpret_cast<const char *>(loud), 8), false)));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const Decoded decoded = DecodeAll(plugin, title.item, title.item.nBlockBytes, 4096);
    const int16_t clipped[2] = {32767, -32768};
    EXPECT_EQ(decoded.pcm, QByteArray(reinterpret_cast<const char *>(clipped), 4));
}

TEST_F(InWave, ResyncLandsOnASampleFrameInsideTheData) {
    TestTitle title(Write("seek.wav", MakeWav(MakePcm16(44100, 2, 1.0), 44100, 2, 16)));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    TitleItem &item = title.item;
    ASSERT_TRUE(plugin->pfnInitRead(&item, 1));
    item.dwReadPos = item.dwDataStart + 10003;
    plugin->pfnResync(&item);
    EXPECT_EQ(item.dwReadPos, item.dwDataStart + 10000);
    item.dwReadPos = item.dwDataEnd + 5;
    plugin->pfnResync(&item);
    EXPECT_EQ(item.dwReadPos, item.dwDataEnd);
    std::vector<unsigned char> buffer(item.nBlockBytes);
    unsigned long written = 1;
    EXPECT_EQ(plugin->pfnRead(&item, buffer.data(), buffer.size(), 4096, &written), 0);
    EXPECT_EQ(written, 0u);
    plugin->pfnDeinitRead(&item, 0);
    EXPECT_EQ(item.hMMFile, nullptr);
}

TEST_F(InWave, GetFormatTwiceGivesTheSameFormatAndLeavesTheFileClosed) {
    TestTitle title(Write("twice.wav", MakeWav(MakePcm16(48000, 1, 0.5), 48000, 1, 16)));
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    const TitleItem first = title.item;
    ASSERT_TRUE(plugin->pfnGetFormat(&title.item, 0));
    EXPECT_EQ(std::memcmp(&first, &title.item, sizeof first), 0);
    EXPECT_EQ(title.item.hMMFile, nullptr);
}

TEST_F(InWave, RefusesFilesThatAreNotPcmWaveOrWhoseChunksLie) {
    const QByteArray pcm = MakePcm16(44100, 2, 0.1);
    const QByteArray good = MakeWav(pcm, 44100, 2, 16);
    std::vector<std::pair<const char *, QByteArray>> bad;
    bad.emplace_back("empty", QByteArray());
    bad.emplace_back("short", good.left(20));
    bad.emplace_back("not riff", QByteArray("RIFX") + good.mid(4));
    bad.emplace_back("not wave", good.left(8) + "AVI " + good.mid(12));
    QByteArray longData = good;
    Put32Le(longData, 40, uint32_t(pcm.size() + 1000)); // data size beyond the file's end
    bad.emplace_back("data too long", longData);
    QByteArray hugeChunk = MakeWav(pcm, 44100, 2, 16, RiffChunk("junk", "x"));
    Put32Le(hugeChunk, 40, 0xFFFFFFF0u); // the junk chunk's size
    bad.emplace_back("chunk past end", hugeChunk);
    QByteArray floatFormat = good;
    Put16Le(floatFormat, 20, 3);
    bad.emplace_back("float", floatFormat);
    bad.emplace_back("ADPCM", WaveFile(2, 4, 2, 44100, pcm.left(800), false));
    bad.emplace_back("extensible ADPCM", WaveFile(2, 4, 2, 44100, pcm.left(800), true));
    bad.emplace_back("64-bit float", WaveFile(3, 64, 2, 44100, pcm.left(1600), false));
    bad.emplace_back("12 bit", WaveFile(1, 12, 1, 44100, pcm.left(300), false));
    bad.emplace_back("6 channels", MakeWav(pcm, 44100, 6, 16));
    QByteArray wrongAlign = good;
    Put16Le(wrongAlign, 32, 3);
    bad.emplace_back("block align", wrongAlign);
    QByteArray noRate = good;
    Put32Le(noRate, 24, 0);
    bad.emplace_back("rate 0", noRate);
    bad.emplace_back("data before fmt", RiffChunk("RIFF", QByteArray("WAVE") + RiffChunk("data", pcm)));
    bad.emplace_back("no data", RiffChunk("RIFF", QByteArray("WAVE") + good.mid(12, 24)));
    bad.emplace_back("empty data", MakeWav(QByteArray(), 44100, 2, 16));

    for (const auto &[name, bytes] : bad) {
        TestTitle title(Write("bad.wav", bytes));
        EXPECT_EQ(plugin->pfnGetFormat(&title.item, 0), 0) << name;
        EXPECT_EQ(title.item.hMMFile, nullptr) << name;
        EXPECT_EQ(title.item.bFormatValid, 0u) << name;
    }
    TestTitle missing(dir.filePath("missing.wav"));
    EXPECT_EQ(plugin->pfnGetFormat(&missing.item, 0), 0);
}
