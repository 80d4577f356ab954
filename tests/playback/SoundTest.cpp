// The sound device layer and the program's sound output, on a hand-clocked device and SDL's disk driver.
#include "Sound.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "platform/Events.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

std::unique_ptr<DirectSoundBuffer> MakeBuffer(DirectSoundDevice &device, int channels, int rate, int bits,
                                              uint32_t bytes, HRESULT *hr = nullptr) {
    WaveFormat f;
    f.nChannels = uint16_t(channels);
    f.nSamplesPerSec = uint32_t(rate);
    f.wBitsPerSample = uint16_t(bits);
    f.nBlockAlign = uint16_t(channels * bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    BufferDesc desc;
    desc.dwFlags = 0x180E0;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &f;
    std::unique_ptr<DirectSoundBuffer> buffer;
    const HRESULT r = device.CreateSoundBuffer(desc, buffer);
    if (hr)
        *hr = r;
    return buffer;
}

void Fill(DirectSoundBuffer &buffer, const void *data, uint32_t bytes) {
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer.Lock(0, bytes, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memcpy(p1, data, n1);
    ASSERT_EQ(buffer.Unlock(p1, n1, p2, n2), DS_OK);
}

std::vector<int16_t> MixFrames(DirectSoundDevice &device, uint32_t frames) {
    std::vector<int16_t> out(size_t(frames) * 2);
    device.Mix(out.data(), frames);
    return out;
}

// Restores the audio driver variables a test changed.
struct ScopedEnv {
    explicit ScopedEnv(std::initializer_list<std::pair<const char *, QByteArray>> vars) {
        for (auto &[name, value] : vars) {
            saved.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
            qputenv(name, value);
        }
    }
    ~ScopedEnv() {
        for (auto &[name, value, set] : saved)
            set ? qputenv(name, value) : qunsetenv(name);
    }
    std::vector<std::tuple<const char *, QByteArray, bool>> saved;
};

} // namespace

TEST(SoundGuid, RegistryFormRoundTripsAndNamesMapStably) {
    const DsGuid a = GuidForDeviceName(QStringLiteral("Built-in Audio Analog Stereo"));
    EXPECT_EQ(a, GuidForDeviceName(QStringLiteral("Built-in Audio Analog Stereo")));
    EXPECT_FALSE(a == GuidForDeviceName(QStringLiteral("USB Headset")));
    const QString text = GuidToString(a);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$")).match(text).hasMatch())
        << text.toStdString();
    DsGuid back;
    ASSERT_TRUE(GuidFromString(text.toLower(), back));
    EXPECT_EQ(back, a);

    DsGuid known;
    ASSERT_TRUE(GuidFromString(QStringLiteral("{DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C03}"), known));
    EXPECT_EQ(known.bytes[0], 0x00);
    EXPECT_EQ(known.bytes[3], 0xDE); // the first group is stored little-endian
    EXPECT_EQ(known.bytes[8], 0xAA);
    for (const char *bad : {"", "DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C03", "{DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C0G}",
                            "{DEF00000+9C6D-47ED-AAF1-4DDA8F2B5C03}"})
        EXPECT_FALSE(GuidFromString(QString::fromLatin1(bad), known)) << bad;
}

TEST(SoundMessages, TextsAreComposedByteForByte) {
    EXPECT_EQ(ComposeSoundError(DSERR_NODRIVER, QStringLiteral("DirectSoundCreate"), QString()),
              QStringLiteral("Error in DirectSound function DirectSoundCreate: No sound driver is available for use."));
    EXPECT_EQ(ComposeSoundError(DSERR_BADFORMAT, QStringLiteral("CreateSoundBuffer"),
                                QStringLiteral(" [Channels: 1, Samples 22050, Bits 8, Size 4]")),
              QStringLiteral("Error in DirectSound function CreateSoundBuffer [Channels: 1, Samples 22050, Bits 8, "
                             "Size 4]: The specified wave format is not supported."));
    EXPECT_EQ(SoundErrorExplanation(DSERR_UNINITIALIZED),
              QStringLiteral("The IDirectSound::Initialize method has not been called or has not been called "
                             "successfully before other methods were called."));
    EXPECT_EQ(SoundErrorExplanation(MakeResult(0x88780001)), QStringLiteral("Unknown Error."));

    RecordingSink sink;
    EXPECT_TRUE(CheckSound(DS_OK, QStringLiteral("Play")));
    EXPECT_FALSE(CheckSound(1, QStringLiteral("Play"))); // a success code other than 0 still counts as failure
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Texts()[0], QStringLiteral("Error in DirectSound function Play: Unknown Error."));
}

TEST(SoundBuffer, LockSplitsOverTheEndAndValidates) {
    auto device = DirectSoundDevice::CreateManual();
    auto buffer = MakeBuffer(*device, 2, 44100, 16, 1000);
    ASSERT_TRUE(buffer);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer->Lock(800, 400, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 200u);
    EXPECT_EQ(n2, 200u);
    EXPECT_EQ(buffer->Lock(0, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDCALL); // still locked
    EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 1004, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);

    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
    device->SetSecondaryRateLimits(100, 60000);
    EXPECT_EQ(buffer->SetFrequency(66150), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(48000), DS_OK);

    HRESULT hr;
    EXPECT_FALSE(MakeBuffer(*device, 3, 44100, 16, 1200, &hr));
    EXPECT_EQ(hr, DSERR_BADFORMAT);
    EXPECT_FALSE(MakeBuffer(*device, 2, 44100, 16, 0, &hr));
    EXPECT_EQ(hr, DSERR_INVALIDPARAM);
}

TEST(SoundBuffer, WriteBlockRefusesARangeSplitOverTheEnd) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(InitSound());
    std::unique_ptr<DirectSoundBuffer> buffer;
    // One and a half blocks: the second half runs over the end, so neither region is a whole block.
    ASSERT_TRUE(CreateStreamBuffer(buffer, 2, 44100, 16, 600));
    std::vector<uint8_t> block(400, 7);
    EXPECT_TRUE(WriteBlock(buffer.get(), 400, block.data(), true));
    EXPECT_FALSE(WriteBlock(buffer.get(), 400, block.data(), false));
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Texts()[0], QStringLiteral("Could not write to secondary DirectSound buffer!"));

    sink.Clear();
    std::unique_ptr<DirectSoundBuffer> odd;
    EXPECT_FALSE(CreateStreamBuffer(odd, 2, 44100, 16, 2)); // smaller than one frame pair
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Texts()[0], QStringLiteral("Error in DirectSound function CreateSoundBuffer [Channels: 2, Samples "
                                              "44100, Bits 16, Size 2]: An invalid parameter was passed to the "
                                              "returning function."));
    buffer.reset();
    ReleaseSound();
}

TEST(SoundMixer, PassesThroughAtUnityAndAppliesVolumeAndPan) {
    auto device = DirectSoundDevice::CreateManual();
    std::vector<int16_t> ramp(2 * 256);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = int16_t((i % 2 ? -1 : 1) * int(i) * 100);
    auto buffer = MakeBuffer(*device, 2, 44100, 16, uint32_t(ramp.size() * 2));
    Fill(*buffer, ramp.data(), uint32_t(ramp.size() * 2));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    auto out = MixFrames(*device, 256);
    EXPECT_EQ(out, ramp);
    auto lap = MixFrames(*device, 10); // looping: the second lap starts from the first frame again
    EXPECT_TRUE(std::equal(lap.begin(), lap.end(), ramp.begin()));

    ASSERT_EQ(buffer->SetPan(DSBPAN_LEFT), DS_OK); // full left silences the right channel only
    out = MixFrames(*device, 256);
    for (size_t f = 0; f < 256; ++f) {
        const size_t src = (f + 10) % 256;
        EXPECT_EQ(out[2 * f], ramp[2 * src]);
        EXPECT_EQ(out[2 * f + 1], 0);
    }
    ASSERT_EQ(buffer->SetPan(0), DS_OK);
    ASSERT_EQ(buffer->SetVolume(-2000), DS_OK); // 20 dB down: a tenth of the amplitude
    out = MixFrames(*device, 256);
    for (size_t f = 0; f < 256; ++f)
        EXPECT_NEAR(out[2 * f], ramp[2 * ((f + 10) % 256)] / 10.0, 1.0);
    ASSERT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    out = MixFrames(*device, 16);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), 32);

    uint32_t play = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, ((10 + 256 + 256 + 16) % 256) * 4u);
}

TEST(SoundMixer, ConvertsEightBitMonoAndResamples) {
    auto device = DirectSoundDevice::CreateManual();
    // 22050 Hz mono 8-bit: every second output frame lies halfway between two source samples.
    std::vector<uint8_t> src = {0x80, 0x90, 0xA0, 0x70};
    auto buffer = MakeBuffer(*device, 1, 22050, 8, 4);
    ASSERT_TRUE(buffer);
    Fill(*buffer, src.data(), 4);
    WaveFormat format;
    ASSERT_EQ(buffer->GetFormat(&format), DS_OK);
    EXPECT_EQ(format.nSamplesPerSec, 22050u);
    buffer->Play(0, 0, 0); // once, not looping
    auto out = MixFrames(*device, 10);
    const int16_t expect[] = {0, 0x800, 0x1000, 0x1800, 0x2000, 0x800, -0x1000, -0x1000, 0, 0};
    for (int f = 0; f < 10; ++f) {
        EXPECT_EQ(out[2 * f], expect[f]) << f;
        EXPECT_EQ(out[2 * f + 1], expect[f]) << f;
    }
    uint32_t status = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u); // a buffer played once stops at its end

    // Tempo +50 %: 1.5 source frames per output frame.
    std::vector<int16_t> ramp(2 * 300);
    for (size_t i = 0; i < 300; ++i)
        ramp[2 * i] = ramp[2 * i + 1] = int16_t(i * 10);
    auto fast = MakeBuffer(*device, 2, 44100, 16, 1200);
    Fill(*fast, ramp.data(), 1200);
    ASSERT_EQ(fast->SetFrequency(66150), DS_OK);
    fast->Play(0, 0, 0);
    out = MixFrames(*device, 200);
    for (int f = 0; f < 199; ++f)
        EXPECT_EQ(out[2 * f], int16_t(f * 15)) << f;
}

// The writer waits for the cursor instead of polling it: the mixer must signal each move, and only a move.
TEST(SoundMixer, SignalsTheWriterWhenTheCursorMovedAndOnlyThen) {
    auto device = DirectSoundDevice::CreateManual();
    auto buffer = MakeBuffer(*device, 2, 44100, 16, 4096);
    AutoResetEvent moved;
    buffer->SetPositionNotify(&moved);
    MixFrames(*device, 64);
    EXPECT_FALSE(moved.Wait(std::chrono::milliseconds(0))) << "a stopped buffer does not move";
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    MixFrames(*device, 64);
    EXPECT_TRUE(moved.Wait(std::chrono::milliseconds(0)));
    ASSERT_EQ(buffer->Stop(), DS_OK); // paused
    MixFrames(*device, 64);
    EXPECT_FALSE(moved.Wait(std::chrono::milliseconds(0)));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    buffer->SetPositionNotify(nullptr);
    MixFrames(*device, 64);
    EXPECT_FALSE(moved.Wait(std::chrono::milliseconds(0))) << "no signal after the writer let go";
}

// The device wakes once per period: as seldom as the buffer allows, yet a half is refilled in time.
TEST(SoundDevice, MixingPeriodFollowsTheLengthOfTheBuffer) {
    ScopedXdgHome home;
    RecordingSink sink;
    ScopedEnv env({{"SDL_AUDIODRIVER", "dummy"}});
    ASSERT_TRUE(InitSound());
    const uint32_t rate = 44100;
    for (uint32_t ms : {200u, 1000u, 6000u}) {
        SCOPED_TRACE(ms);
        std::unique_ptr<DirectSoundBuffer> buffer;
        ASSERT_TRUE(CreateStreamBuffer(buffer, 2, int(rate), 16, rate / 1000 * 4 * ms));
        const uint32_t period = SoundDevice()->PeriodFrames();
        const uint32_t bound = std::min(rate * ms / 10000, rate / 10); // a fifth of a half, and 100 ms
        EXPECT_EQ(period & (period - 1), 0u) << period;
        EXPECT_LE(period, bound);
        EXPECT_GT(period * 2, bound);
        // While one buffer plays, another of a different length leaves the period alone.
        ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        std::unique_ptr<DirectSoundBuffer> other;
        ASSERT_TRUE(CreateStreamBuffer(other, 2, int(rate), 16, rate / 1000 * 4 * (ms == 200 ? 1000 : 200)));
        EXPECT_EQ(SoundDevice()->PeriodFrames(), period);
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
    ReleaseSound();
}

TEST(SoundInit, MissingDeviceIsReportedOnceAndTheDefaultTakesOver) {
    ScopedXdgHome home;
    RecordingSink sink;
    WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("DS-GUID"),
                       QStringLiteral("{DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C03}"));
    ASSERT_TRUE(InitSound());
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_EQ(sink.Texts()[0],
              QStringLiteral("Error in DirectSound function DirectSoundCreate: No sound driver is available for use."));
    ASSERT_TRUE(SoundDevice());
    EXPECT_FALSE(SoundDevice()->IsSilent()); // the dummy driver's default device
    EXPECT_EQ(SoundDeviceGuid(), nullptr);

    // A device that is present is found again by its stored GUID.
    std::vector<DsDeviceInfo> devices;
    ASSERT_EQ(DirectSoundEnumerate(devices), DS_OK);
    ASSERT_FALSE(devices.empty());
    EXPECT_FALSE(devices[0].bHasGuid);
    if (devices.size() > 1) {
        sink.Clear();
        WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("DS-GUID"), GuidToString(devices[1].guid));
        ASSERT_TRUE(InitSound());
        EXPECT_TRUE(sink.Texts().isEmpty());
        ASSERT_TRUE(SoundDeviceGuid());
        EXPECT_EQ(*SoundDeviceGuid(), devices[1].guid);
    }
    ReleaseSound();
}

TEST(SoundInit, NoWorkingDriverGivesASilentDeviceThatKeepsTime) {
    ScopedXdgHome home;
    RecordingSink sink;
    ScopedEnv env({{"SDL_AUDIODRIVER", "no-such-driver"}});
    ASSERT_TRUE(InitSound());
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].startsWith(QStringLiteral("Error in DirectSound function DirectSoundCreate: ")));
    ASSERT_TRUE(SoundDevice());
    EXPECT_TRUE(SoundDevice()->IsSilent());
    std::unique_ptr<DirectSoundBuffer> buffer;
    ASSERT_TRUE(CreateStreamBuffer(buffer, 2, 44100, 16, 88200));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    uint32_t play = 0;
    for (int i = 0; i < 3000 && play == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        buffer->GetCurrentPosition(&play, nullptr);
    }
    EXPECT_GT(play, 0u);
    buffer.reset();
    ReleaseSound();
}

TEST(SoundDisk, EveryWrittenSampleReachesTheDiskDriverInOrder) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out.raw"));
    {
        ScopedEnv env(
            {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file.toLocal8Bit()}, {"SDL_DISKAUDIODELAY", "0"}});
        std::unique_ptr<DirectSoundDevice> device;
        ASSERT_EQ(DirectSoundDevice::Create(nullptr, device), DS_OK);
        std::vector<int16_t> ramp(2 * 5000);
        for (size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = int16_t(1 + i % 30000);
        auto buffer = MakeBuffer(*device, 2, 44100, 16, uint32_t(ramp.size() * 2));
        Fill(*buffer, ramp.data(), uint32_t(ramp.size() * 2));
        buffer->Play(0, 0, 0);
        uint32_t status = DSBSTATUS_PLAYING;
        for (int i = 0; i < 30000 && status; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            buffer->GetStatus(&status);
        }
        EXPECT_EQ(status, 0u);
        buffer.reset();
        device.reset();
        QFile raw(file);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        std::vector<int16_t> got(size_t(bytes.size()) / 2);
        std::memcpy(got.data(), bytes.constData(), got.size() * 2);
        auto first = std::find_if(got.begin(), got.end(), [](int16_t s) { return s != 0; });
        ASSERT_GE(got.end() - first, std::ptrdiff_t(ramp.size()));
        EXPECT_TRUE(std::equal(ramp.begin(), ramp.end(), first));
        EXPECT_TRUE(std::all_of(first + std::ptrdiff_t(ramp.size()), got.end(), [](int16_t s) { return s == 0; }));
    }
}
