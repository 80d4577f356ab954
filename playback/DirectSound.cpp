// The sound device: SDL output device or a silent clock, device GUIDs, enumeration, and the mixer.
#include "DirectSound.h"

#include <QCryptographicHash>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

// SDL counts subsystem users, so every device and enumeration holds its own reference.
bool InitSdlAudio() {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

} // namespace

QString GuidToString(const DsGuid &guid) {
    const uint8_t *b = guid.bytes;
    // Registry form: the first three groups are little-endian numbers, the last two plain bytes.
    return QString::asprintf("{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3], b[2], b[1],
                             b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
}

bool GuidFromString(const QString &text, DsGuid &guid) {
    const QString t = text.trimmed();
    if (t.size() != 38 || t[0] != '{' || t[37] != '}' || t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-')
        return false;
    QString hex = t.mid(1, 36);
    hex.remove('-');
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    if (raw.size() != 16 || QString::fromLatin1(raw.toHex()).compare(hex, Qt::CaseInsensitive) != 0)
        return false;
    static constexpr int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i)
        guid.bytes[order[i]] = static_cast<uint8_t>(raw[i]);
    return true;
}

DsGuid GuidForDeviceName(const QString &name) {
    const QByteArray hash = QCryptographicHash::hash("melvo-sound-device:" + name.toUtf8(), QCryptographicHash::Md5);
    DsGuid guid;
    std::memcpy(guid.bytes, hash.constData(), 16);
    guid.bytes[7] = (guid.bytes[7] & 0x0F) | 0x30; // a name-based (version 3) GUID
    guid.bytes[8] = (guid.bytes[8] & 0x3F) | 0x80;
    return guid;
}

HRESULT DirectSoundEnumerate(std::vector<DsDeviceInfo> &devices) {
    devices.clear();
    DsDeviceInfo primary;
    primary.strDescription = QStringLiteral("Primary Sound Driver");
    devices.push_back(primary);
    if (!InitSdlAudio())
        return DSERR_NODRIVER;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        const char *name = SDL_GetAudioDeviceName(i, 0);
        if (!name)
            continue;
        DsDeviceInfo info;
        info.bHasGuid = true;
        info.strModule = QString::fromUtf8(name);
        info.strDescription = info.strModule;
        info.guid = GuidForDeviceName(info.strModule);
        devices.push_back(info);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return DS_OK;
}

uint32_t DirectSoundDevice::PeriodFramesFor(uint32_t deviceRate, uint32_t bufferMs) {
    const uint64_t wanted = std::min<uint64_t>(uint64_t(deviceRate) * bufferMs / 10000, deviceRate / 10);
    uint32_t frames = 256;
    while (frames * 2 <= wanted && frames < 4096)
        frames *= 2;
    return frames;
}

DirectSoundDevice::DirectSoundDevice() = default;

DirectSoundDevice::~DirectSoundDevice() {
    CloseSdl();
    if (m_pSilentClock) {
        {
            std::lock_guard lock(m_lock);
            m_bClosing = true;
        }
        m_changed.notify_all();
        m_pSilentClock->join();
    }
}

HRESULT DirectSoundDevice::Create(const DsGuid *guid, std::unique_ptr<DirectSoundDevice> &device) {
    device.reset();
    std::unique_ptr<DirectSoundDevice> d(new DirectSoundDevice());
    if (!InitSdlAudio())
        return DSERR_NODRIVER;
    d->m_bSdlInitialised = true;
    if (guid) {
        const int count = SDL_GetNumAudioDevices(0);
        for (int i = 0; i < count && d->m_strName.isEmpty(); ++i) {
            const char *name = SDL_GetAudioDeviceName(i, 0);
            if (name && GuidForDeviceName(QString::fromUtf8(name)) == *guid)
                d->m_strName = QString::fromUtf8(name);
        }
        if (d->m_strName.isEmpty())
            return DSERR_NODRIVER;
    }
    const HRESULT hr = d->OpenSdl(d->m_primary);
    if (hr != DS_OK)
        return hr;
    device = std::move(d);
    return DS_OK;
}

std::unique_ptr<DirectSoundDevice> DirectSoundDevice::CreateSilent(const DsCaps &caps) {
    std::unique_ptr<DirectSoundDevice> d(new DirectSoundDevice());
    d->m_caps = caps;
    DirectSoundDevice *raw = d.get();
    d->m_pSilentClock = std::make_unique<std::thread>([raw] { raw->RunSilentClock(); });
    return d;
}

std::unique_ptr<DirectSoundDevice> DirectSoundDevice::CreateManual() {
    return std::unique_ptr<DirectSoundDevice>(new DirectSoundDevice());
}

void DirectSoundDevice::RunSilentClock() {
    using Clock = std::chrono::steady_clock;
    std::vector<int16_t> scratch;
    auto last = Clock::now();
    uint64_t fracFrames = 0; // frames times 1000, so rounding never loses time
    std::unique_lock lock(m_lock);
    auto anyPlaying = [&] {
        return std::any_of(m_buffers.begin(), m_buffers.end(), [](auto *b) { return b->m_bPlaying; });
    };
    while (!m_bClosing) {
        // Nothing playing: nothing to count until a buffer starts.
        if (!anyPlaying()) {
            m_changed.wait(lock, [&] { return m_bClosing || anyPlaying(); });
            last = Clock::now();
            fracFrames = 0;
            continue;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(1000 * m_nPeriodFrames / m_nDeviceRate));
        if (m_bClosing)
            break;
        const auto now = Clock::now();
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - last).count();
        last = now;
        fracFrames += static_cast<uint64_t>(us) * m_nDeviceRate / 1000;
        const auto frames = static_cast<uint32_t>(std::min<uint64_t>(fracFrames / 1000, m_nDeviceRate));
        fracFrames %= 1000;
        if (frames == 0)
            continue;
        scratch.resize(size_t(frames) * 2);
        lock.unlock();
        Mix(scratch.data(), frames);
        lock.lock();
    }
}

HRESULT DirectSoundDevice::OpenSdl(const WaveFormat &format) {
    SDL_AudioSpec want{}, have{};
    want.freq = static_cast<int>(format.nSamplesPerSec);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<uint16_t>(m_nPeriodFrames);
    want.callback = &DirectSoundDevice::SdlCallback;
    want.userdata = this;
    const QByteArray name = m_strName.toUtf8();
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(m_strName.isEmpty() ? nullptr : name.constData(), 0, &want, &have, 0);
    if (id == 0)
        return DSERR_NODRIVER;
    {
        std::lock_guard lock(m_lock);
        m_nSdlDevice = id;
        m_nDeviceRate = format.nSamplesPerSec;
        const char *driver = SDL_GetCurrentAudioDriver();
        const char *delay = std::getenv("SDL_DISKAUDIODELAY");
        // The disk driver without delay has no clock: it would race through the buffer laps.
        m_bUnpaced = driver && std::strcmp(driver, "disk") == 0 && delay && std::atoi(delay) == 0;
        m_bClosing = false;
    }
    SDL_PauseAudioDevice(id, 0);
    return DS_OK;
}

void DirectSoundDevice::CloseSdl() {
    if (m_nSdlDevice != 0) {
        {
            std::lock_guard lock(m_lock);
            m_bClosing = true;
        }
        m_changed.notify_all();
        SDL_CloseAudioDevice(m_nSdlDevice);
        m_nSdlDevice = 0;
    }
    if (m_bSdlInitialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_bSdlInitialised = false;
    }
}

HRESULT DirectSoundDevice::ReopenSdl(const WaveFormat &format) {
    // The buffers stay attached meanwhile.
    {
        std::lock_guard lock(m_lock);
        m_bClosing = true;
    }
    m_changed.notify_all();
    SDL_CloseAudioDevice(m_nSdlDevice);
    m_nSdlDevice = 0;
    return OpenSdl(format);
}

HRESULT DirectSoundDevice::SetPrimaryFormat(const WaveFormat &format) {
    if (format.nSamplesPerSec == m_primary.nSamplesPerSec || m_nSdlDevice == 0) {
        std::lock_guard lock(m_lock);
        m_primary = format;
        m_nDeviceRate = format.nSamplesPerSec;
        return DS_OK;
    }
    // A new rate needs the SDL device opened again.
    if (ReopenSdl(format) != DS_OK)
        return DSERR_BADFORMAT;
    std::lock_guard lock(m_lock);
    m_primary = format;
    return DS_OK;
}

void DirectSoundDevice::FitPeriod(uint32_t bufferMs) {
    uint32_t frames, before;
    {
        std::lock_guard lock(m_lock);
        frames = PeriodFramesFor(m_nDeviceRate, bufferMs);
        if (frames == m_nPeriodFrames)
            return;
        // A device that plays goes on as it is; the next title tries again.
        if (std::any_of(m_buffers.begin(), m_buffers.end(), [](auto *b) { return b->m_bPlaying; }))
            return;
        before = m_nPeriodFrames;
        m_nPeriodFrames = frames;
    }
    m_changed.notify_all();
    if (m_nSdlDevice != 0 && ReopenSdl(m_primary) != DS_OK) {
        // The device took the old period a moment ago; better that than no sound.
        {
            std::lock_guard lock(m_lock);
            m_nPeriodFrames = before;
        }
        OpenSdl(m_primary);
    }
}

void DirectSoundDevice::SdlCallback(void *user, uint8_t *stream, int len) {
    static_cast<DirectSoundDevice *>(user)->Mix(reinterpret_cast<int16_t *>(stream), static_cast<uint32_t>(len) / 4);
}

HRESULT DirectSoundDevice::SetCooperativeLevel(void *, uint32_t level) {
    if (level < DSSCL_NORMAL || level > 3)
        return DSERR_INVALIDPARAM;
    m_nLevel = level;
    return DS_OK;
}

HRESULT DirectSoundDevice::GetCaps(DsCaps *caps) {
    if (!caps)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_lock);
    *caps = m_caps;
    return DS_OK;
}

void DirectSoundDevice::SetSecondaryRateLimits(uint32_t minRate, uint32_t maxRate) {
    std::lock_guard lock(m_lock);
    m_caps.dwMinSecondarySampleRate = minRate;
    m_caps.dwMaxSecondarySampleRate = maxRate;
}

HRESULT DirectSoundDevice::CreateSoundBuffer(const BufferDesc &desc, std::unique_ptr<DirectSoundBuffer> &buffer) {
    buffer.reset();
    if (desc.dwSize != 20 && desc.dwSize != 36)
        return DSERR_INVALIDPARAM;
    if (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc.dwBufferBytes != 0 || desc.lpwfxFormat)
            return DSERR_INVALIDPARAM;
        if (m_nLevel < DSSCL_PRIORITY)
            return DSERR_PRIOLEVELNEEDED;
        buffer.reset(new DirectSoundBuffer(this, desc.dwFlags, 0, m_primary));
        return DS_OK;
    }
    const WaveFormat *f = desc.lpwfxFormat;
    if (!f || desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    if (f->wFormatTag != WAVE_FORMAT_PCM || (f->nChannels != 1 && f->nChannels != 2) ||
        (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) || f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8 ||
        f->nSamplesPerSec < DSBFREQUENCY_MIN || f->nSamplesPerSec > DSBFREQUENCY_MAX ||
        f->nAvgBytesPerSec != f->nSamplesPerSec * f->nBlockAlign)
        return DSERR_BADFORMAT;
    if (desc.dwBufferBytes % f->nBlockAlign != 0)
        return DSERR_INVALIDPARAM;
    std::unique_ptr<DirectSoundBuffer> b(new (std::nothrow)
                                             DirectSoundBuffer(this, desc.dwFlags, desc.dwBufferBytes, *f));
    if (!b)
        return DSERR_OUTOFMEMORY;
    FitPeriod(static_cast<uint32_t>(uint64_t(desc.dwBufferBytes) * 1000 / f->nAvgBytesPerSec));
    Attach(b.get());
    buffer = std::move(b);
    return DS_OK;
}

void DirectSoundDevice::Attach(DirectSoundBuffer *buffer) {
    std::lock_guard lock(m_lock);
    m_buffers.push_back(buffer);
}

void DirectSoundDevice::Detach(DirectSoundBuffer *buffer) {
    std::unique_lock lock(m_lock);
    buffer->m_bPlaying = false;
    std::erase(m_buffers, buffer);
    m_changed.notify_all();
    // The mixer may be waiting for this buffer's data; it lets go once it sees the buffer stopped.
    m_changed.wait(lock, [&] { return m_pMixing != buffer && m_pNotifying != buffer; });
}
