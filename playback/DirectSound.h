// A DirectSound-like sound device over SDL2 audio: primary format, looping secondary buffers, result codes.
#pragma once

#include "platform/Events.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using HRESULT = int32_t;

constexpr HRESULT MakeResult(uint32_t code) {
    return static_cast<HRESULT>(code);
}

constexpr HRESULT DS_OK = 0;
constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002);
constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001);
constexpr HRESULT DSERR_GENERIC = MakeResult(0x80004005);
constexpr HRESULT DSERR_NOAGGREGATION = MakeResult(0x80040110);
constexpr HRESULT DSERR_OUTOFMEMORY = MakeResult(0x8007000E);
constexpr HRESULT DSERR_INVALIDPARAM = MakeResult(0x80070057);
constexpr HRESULT DSERR_ALLOCATED = MakeResult(0x8878000A);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeResult(0x8878001E);
constexpr HRESULT DSERR_INVALIDCALL = MakeResult(0x88780032);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeResult(0x88780046);
constexpr HRESULT DSERR_BADFORMAT = MakeResult(0x88780064);
constexpr HRESULT DSERR_NODRIVER = MakeResult(0x88780078);
constexpr HRESULT DSERR_ALREADYINITIALIZED = MakeResult(0x88780082);
constexpr HRESULT DSERR_BUFFERLOST = MakeResult(0x88780096);
constexpr HRESULT DSERR_OTHERAPPHASPRIO = MakeResult(0x887800A0);
constexpr HRESULT DSERR_UNINITIALIZED = MakeResult(0x887800AA);

enum : uint32_t {
    DSBCAPS_PRIMARYBUFFER = 0x00000001,
    DSBCAPS_CTRLFREQUENCY = 0x00000020,
    DSBCAPS_CTRLPAN = 0x00000040,
    DSBCAPS_CTRLVOLUME = 0x00000080,
    DSBCAPS_GLOBALFOCUS = 0x00008000,
    DSBCAPS_GETCURRENTPOSITION2 = 0x00010000,
};
enum : uint32_t { DSBPLAY_LOOPING = 0x1 };
enum : uint32_t { DSBSTATUS_PLAYING = 0x1, DSBSTATUS_LOOPING = 0x4 };
enum : uint32_t { DSSCL_NORMAL = 1, DSSCL_PRIORITY = 2 };
constexpr long DSBVOLUME_MIN = -10000, DSBVOLUME_MAX = 0;
constexpr long DSBPAN_LEFT = -10000, DSBPAN_RIGHT = 10000;
constexpr uint32_t DSBFREQUENCY_ORIGINAL = 0, DSBFREQUENCY_MIN = 100, DSBFREQUENCY_MAX = 100000;
constexpr uint32_t DSBSIZE_MIN = 4, DSBSIZE_MAX = 0x0FFFFFFF;
constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WaveFormat {
    uint16_t wFormatTag = WAVE_FORMAT_PCM;
    uint16_t nChannels = 2;
    uint32_t nSamplesPerSec = 44100;
    uint32_t nAvgBytesPerSec = 176400;
    uint16_t nBlockAlign = 4;
    uint16_t wBitsPerSample = 16;
};

struct BufferDesc {
    uint32_t dwSize = 20; // the short form, without the 3D algorithm field
    uint32_t dwFlags = 0;
    uint32_t dwBufferBytes = 0;
    const WaveFormat *lpwfxFormat = nullptr;
};

struct DsCaps {
    uint32_t dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    uint32_t dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
};

// A device GUID: 16 bytes, shown in registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct DsGuid {
    uint8_t bytes[16] = {};
    bool operator==(const DsGuid &) const = default;
};
QString GuidToString(const DsGuid &guid);
bool GuidFromString(const QString &text, DsGuid &guid);
// The same SDL device name always gives the same GUID, so a stored choice finds its device again.
DsGuid GuidForDeviceName(const QString &name);

struct DsDeviceInfo {
    bool bHasGuid = false; // the primary sound driver comes without one
    DsGuid guid;
    QString strDescription;
    QString strModule; // the SDL device name, empty for the default device
};
// The primary sound driver first, then every SDL output device.
HRESULT DirectSoundEnumerate(std::vector<DsDeviceInfo> &devices);

class DirectSoundDevice;

class DirectSoundBuffer {
public:
    ~DirectSoundBuffer();
    DirectSoundBuffer(const DirectSoundBuffer &) = delete;
    DirectSoundBuffer &operator=(const DirectSoundBuffer &) = delete;

    // Two regions when the range runs over the end; they stay valid until Unlock.
    HRESULT Lock(uint32_t offset, uint32_t bytes, void **ptr1, uint32_t *bytes1, void **ptr2, uint32_t *bytes2,
                 uint32_t flags);
    HRESULT Unlock(void *ptr1, uint32_t bytes1, void *ptr2, uint32_t bytes2);
    HRESULT Play(uint32_t reserved1, uint32_t priority, uint32_t flags);
    HRESULT Stop();
    HRESULT GetCurrentPosition(uint32_t *playCursor, uint32_t *writeCursor);
    HRESULT SetCurrentPosition(uint32_t position);
    HRESULT GetStatus(uint32_t *status);
    HRESULT SetVolume(long volume);
    HRESULT GetVolume(long *volume);
    HRESULT SetPan(long pan);
    HRESULT GetPan(long *pan);
    HRESULT SetFrequency(uint32_t frequency);
    HRESULT GetFrequency(uint32_t *frequency);
    HRESULT SetFormat(const WaveFormat *format); // primary buffer only
    HRESULT GetFormat(WaveFormat *format);
    uint32_t Size() const { return m_dwSize; }
    bool IsPrimary() const { return m_dwFlags & DSBCAPS_PRIMARYBUFFER; }
    // The mixer signals this event whenever the play cursor has moved, so a writer can wait for it
    // instead of polling; null stops the signals. The event must outlive its use here.
    void SetPositionNotify(Event *event);

private:
    friend class DirectSoundDevice;
    DirectSoundBuffer(DirectSoundDevice *device, uint32_t flags, uint32_t size, const WaveFormat &format);
    void UpdateGains();

    DirectSoundDevice *m_pDevice;
    uint32_t m_dwFlags;
    uint32_t m_dwSize;
    WaveFormat m_format;
    uint32_t m_dwFrames;
    std::vector<uint8_t> m_data;    // what the mixer plays
    std::vector<uint8_t> m_staging; // what Lock hands out; Unlock copies it in under the device lock
    bool m_bLocked = false;
    // Mixer state, guarded by the device lock.
    bool m_bPlaying = false;
    bool m_bLooping = false;
    uint32_t m_nPos = 0;                                     // frame index
    uint32_t m_nFrac = 0;                                    // fraction of a frame, 32-bit fixed point
    uint64_t m_nPlayed = 0, m_nWritten = 0, m_nObserved = 0; // monotonic frames, for unpaced devices
    bool m_bReleaseLast = false;                             // an unpaced device may play the last written frame
    Event *m_pMoved = nullptr;
    uint64_t m_nNotified = 0; // m_nPlayed when the event was last signalled
    std::chrono::steady_clock::time_point m_notifiedAt;
    long m_nVolume = 0, m_nPan = 0;
    uint32_t m_dwFrequency;
    int32_t m_nGainLeft = 65536, m_nGainRight = 65536; // Q16
};

class DirectSoundDevice {
public:
    ~DirectSoundDevice();
    DirectSoundDevice(const DirectSoundDevice &) = delete;
    DirectSoundDevice &operator=(const DirectSoundDevice &) = delete;

    // DirectSoundCreate: null for the default device. DSERR_NODRIVER when the device is not there.
    static HRESULT Create(const DsGuid *guid, std::unique_ptr<DirectSoundDevice> &device);
    // A device without sound whose cursors advance in real time; it cannot fail.
    static std::unique_ptr<DirectSoundDevice> CreateSilent(const DsCaps &caps = DsCaps());
    // A device whose only clock is whoever calls Mix (tests and benchmarks).
    static std::unique_ptr<DirectSoundDevice> CreateManual();

    HRESULT SetCooperativeLevel(void *window, uint32_t level);
    HRESULT CreateSoundBuffer(const BufferDesc &desc, std::unique_ptr<DirectSoundBuffer> &buffer);
    HRESULT GetCaps(DsCaps *caps);
    bool IsSilent() const { return m_nSdlDevice == 0; }
    // Replaces the rates the device accepts for secondary buffers.
    void SetSecondaryRateLimits(uint32_t minRate, uint32_t maxRate);

    // The mixer: fills interleaved stereo 16-bit frames at the device rate. Public for the silent clock.
    void Mix(int16_t *out, uint32_t frames);
    // Frames the device mixes at one go.
    uint32_t PeriodFrames() const { return m_nPeriodFrames; }
    // About a fifth of a half of a buffer that lasts bufferMs: a half is refilled long before the mixer
    // reaches it, and the device wakes no more often than that needs (at most about 10 times a second).
    static uint32_t PeriodFramesFor(uint32_t deviceRate, uint32_t bufferMs);

private:
    friend class DirectSoundBuffer;
    DirectSoundDevice();
    HRESULT OpenSdl(const WaveFormat &format);
    HRESULT ReopenSdl(const WaveFormat &format);
    HRESULT SetPrimaryFormat(const WaveFormat &format);
    // Follows the mixing period to the length of a new buffer while nothing plays.
    void FitPeriod(uint32_t bufferMs);
    void CloseSdl();
    void RunSilentClock();
    void Attach(DirectSoundBuffer *buffer);
    void Detach(DirectSoundBuffer *buffer);
    bool MixOne(DirectSoundBuffer &b, uint32_t frames, uint32_t &done);
    // Whether the buffer's writer is to be told of the cursor's move now; records it if so.
    bool DueToNotify(DirectSoundBuffer &b);
    static void SdlCallback(void *user, uint8_t *stream, int len);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<DirectSoundBuffer *> m_buffers;
    std::vector<int32_t> m_accum;
    std::vector<DirectSoundBuffer *> m_playing; // the mixer's list, kept to spare an allocation per period
    DirectSoundBuffer *m_pMixing = nullptr;     // the buffer the mixer waits on for data
    DirectSoundBuffer *m_pNotifying = nullptr;  // the buffer whose event the mixer signals
    QString m_strName;
    uint32_t m_nSdlDevice = 0;
    bool m_bSdlInitialised = false;
    bool m_bUnpaced = false; // no clock of its own: data arrival paces it
    bool m_bClosing = false;
    WaveFormat m_primary;
    uint32_t m_nDeviceRate = 44100;
    uint32_t m_nPeriodFrames = PeriodFramesFor(44100, 1000); // a buffer of the default 2 x 500 ms
    uint8_t m_nDeviceChannels = 2;
    DsCaps m_caps;
    uint32_t m_nLevel = 0;
    std::unique_ptr<std::thread> m_pSilentClock;
};
