// Secondary and primary sound buffers: locking, cursors, controls, and mixing one buffer into the device.
#include "DirectSound.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

constexpr std::chrono::milliseconds kUnpacedNotifyInterval{50};

int32_t ReadSample(const uint8_t *p, int bits) {
    if (bits == 8)
        return (static_cast<int32_t>(p[0]) - 128) << 8;
    int16_t s;
    std::memcpy(&s, p, 2);
    return s;
}

// Hundredths of a decibel to a Q16 factor; the floor of the range is silence.
int32_t Gain(long hundredths) {
    if (hundredths <= DSBVOLUME_MIN)
        return 0;
    return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredths / 2000.0)));
}

} // namespace

DirectSoundBuffer::DirectSoundBuffer(DirectSoundDevice *device, uint32_t flags, uint32_t size, const WaveFormat &format)
    : m_pDevice(device), m_dwFlags(flags), m_dwSize(size), m_format(format),
      m_dwFrames(format.nBlockAlign ? size / format.nBlockAlign : 0), m_data(size, 0), m_staging(size, 0),
      m_dwFrequency(format.nSamplesPerSec) {
    if (format.wBitsPerSample == 8)
        std::fill(m_data.begin(), m_data.end(), uint8_t(0x80));
}

DirectSoundBuffer::~DirectSoundBuffer() {
    if (!IsPrimary())
        m_pDevice->Detach(this);
}

HRESULT DirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void **ptr1, uint32_t *bytes1, void **ptr2,
                                uint32_t *bytes2, uint32_t) {
    if (IsPrimary())
        return DSERR_PRIOLEVELNEEDED;
    if (!ptr1 || !bytes1 || bytes == 0 || bytes > m_dwSize || offset >= m_dwSize)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    if (m_bLocked)
        return DSERR_INVALIDCALL;
    const uint32_t first = std::min(bytes, m_dwSize - offset);
    const uint32_t second = bytes - first;
    if (second && (!ptr2 || !bytes2))
        return DSERR_INVALIDPARAM;
    std::memcpy(m_staging.data() + offset, m_data.data() + offset, first);
    std::memcpy(m_staging.data(), m_data.data(), second);
    *ptr1 = m_staging.data() + offset;
    *bytes1 = first;
    if (ptr2)
        *ptr2 = second ? m_staging.data() : nullptr;
    if (bytes2)
        *bytes2 = second;
    m_bLocked = true;
    return DS_OK;
}

HRESULT DirectSoundBuffer::Unlock(void *ptr1, uint32_t bytes1, void *ptr2, uint32_t bytes2) {
    std::lock_guard lock(m_pDevice->m_lock);
    if (!m_bLocked)
        return DSERR_INVALIDCALL;
    const uint8_t *base = m_staging.data();
    auto inside = [&](void *p, uint32_t n) {
        auto *b = static_cast<uint8_t *>(p);
        return b >= base && b + n <= base + m_dwSize;
    };
    if ((ptr1 && !inside(ptr1, bytes1)) || (ptr2 && !inside(ptr2, bytes2)))
        return DSERR_INVALIDPARAM;
    const uint32_t align = m_format.nBlockAlign;
    for (auto [p, n] : {std::pair{ptr1, bytes1}, std::pair{ptr2, bytes2}}) {
        if (!p || n == 0)
            continue;
        const auto offset = static_cast<uint32_t>(static_cast<uint8_t *>(p) - base);
        std::memcpy(m_data.data() + offset, p, n);
        // Data written right at the frontier extends what an unpaced device may play.
        if (offset / align == m_nWritten % m_dwFrames) {
            m_nWritten += n / align;
            m_bReleaseLast = false;
        }
    }
    m_bLocked = false;
    m_pDevice->m_changed.notify_all();
    return DS_OK;
}

HRESULT DirectSoundBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
    if (IsPrimary())
        return DS_OK;
    {
        std::lock_guard lock(m_pDevice->m_lock);
        m_bPlaying = true;
        m_bLooping = flags & DSBPLAY_LOOPING;
    }
    m_pDevice->m_changed.notify_all();
    return DS_OK;
}

HRESULT DirectSoundBuffer::Stop() {
    if (IsPrimary())
        return DS_OK;
    {
        std::lock_guard lock(m_pDevice->m_lock);
        m_bPlaying = false;
    }
    m_pDevice->m_changed.notify_all();
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetCurrentPosition(uint32_t *playCursor, uint32_t *writeCursor) {
    if (IsPrimary())
        return DSERR_PRIOLEVELNEEDED;
    {
        std::lock_guard lock(m_pDevice->m_lock);
        const uint32_t play = m_nPos * m_format.nBlockAlign;
        if (playCursor)
            *playCursor = play;
        // The write cursor runs about 10 ms ahead, where writing is safe again.
        if (writeCursor)
            *writeCursor =
                m_bPlaying
                    ? (play + (m_format.nAvgBytesPerSec / 100 / m_format.nBlockAlign) * m_format.nBlockAlign) % m_dwSize
                    : play;
        m_nObserved = m_nPlayed;
    }
    m_pDevice->m_changed.notify_all();
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetCurrentPosition(uint32_t position) {
    if (IsPrimary())
        return DSERR_INVALIDCALL;
    if (position >= m_dwSize)
        return DSERR_INVALIDPARAM;
    {
        std::lock_guard lock(m_pDevice->m_lock);
        m_nPos = position / m_format.nBlockAlign;
        m_nFrac = 0;
        m_nPlayed = m_nWritten = m_nObserved = m_nPos;
        m_bReleaseLast = false;
    }
    m_pDevice->m_changed.notify_all();
    return DS_OK;
}

void DirectSoundBuffer::SetPositionNotify(Event *event) {
    std::unique_lock lock(m_pDevice->m_lock);
    m_pMoved = event;
    m_nNotified = m_nPlayed;
    // The mixer signals outside its lock; the old event must not go before it is done.
    m_pDevice->m_changed.wait(lock, [&] { return m_pDevice->m_pNotifying != this; });
}

HRESULT DirectSoundBuffer::GetStatus(uint32_t *status) {
    if (!status)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    *status = m_bPlaying ? uint32_t(DSBSTATUS_PLAYING) | (m_bLooping ? uint32_t(DSBSTATUS_LOOPING) : 0u) : 0u;
    return DS_OK;
}

void DirectSoundBuffer::UpdateGains() {
    // Pan lowers only the far channel, as DirectSound does.
    m_nGainLeft = Gain(m_nVolume - std::max(m_nPan, 0L));
    m_nGainRight = Gain(m_nVolume + std::min(m_nPan, 0L));
}

HRESULT DirectSoundBuffer::SetVolume(long volume) {
    if (!(m_dwFlags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    m_nVolume = volume;
    UpdateGains();
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetVolume(long *volume) {
    if (!volume)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    *volume = m_nVolume;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetPan(long pan) {
    if (!(m_dwFlags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    m_nPan = pan;
    UpdateGains();
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetPan(long *pan) {
    if (!pan)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    *pan = m_nPan;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetFrequency(uint32_t frequency) {
    if (!(m_dwFlags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    std::lock_guard lock(m_pDevice->m_lock);
    if (frequency == DSBFREQUENCY_ORIGINAL)
        frequency = m_format.nSamplesPerSec;
    if (frequency < m_pDevice->m_caps.dwMinSecondarySampleRate ||
        frequency > m_pDevice->m_caps.dwMaxSecondarySampleRate)
        return DSERR_INVALIDPARAM;
    m_dwFrequency = frequency;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetFrequency(uint32_t *frequency) {
    if (!frequency)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(m_pDevice->m_lock);
    *frequency = m_dwFrequency;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetFormat(const WaveFormat *format) {
    if (!IsPrimary())
        return DSERR_INVALIDCALL;
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM || (format->nChannels != 1 && format->nChannels != 2) ||
        (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) ||
        format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8 || format->nSamplesPerSec < 8000 ||
        format->nSamplesPerSec > 48000 || format->nAvgBytesPerSec != format->nSamplesPerSec * format->nBlockAlign)
        return DSERR_BADFORMAT;
    return m_pDevice->SetPrimaryFormat(*format);
}

HRESULT DirectSoundBuffer::GetFormat(WaveFormat *format) {
    if (!format)
        return DSERR_INVALIDPARAM;
    *format = IsPrimary() ? m_pDevice->m_primary : m_format;
    return DS_OK;
}

bool DirectSoundDevice::MixOne(DirectSoundBuffer &b, uint32_t frames, uint32_t &done) {
    const uint32_t align = b.m_format.nBlockAlign;
    const int bits = b.m_format.wBitsPerSample;
    const bool stereo = b.m_format.nChannels == 2;
    const uint64_t step = (uint64_t(b.m_dwFrequency) << 32) / m_nDeviceRate;
    // An unpaced device stays short of a full lap past what the reader last saw, or laps would go unseen.
    const uint64_t margin = std::min<uint64_t>((step >> 32) + 2, b.m_dwFrames);
    // The common case, 16-bit stereo at the device's rate on a device with a clock: whole frames, straight.
    if (!m_bUnpaced && bits == 16 && stereo && step == (uint64_t(1) << 32) && b.m_nFrac == 0) {
        while (done < frames && b.m_bPlaying) {
            const uint32_t run = std::min(frames - done, b.m_dwFrames - b.m_nPos);
            const uint8_t *src = b.m_data.data() + size_t(b.m_nPos) * 4;
            int32_t *acc = m_accum.data() + size_t(done) * 2;
            const int64_t gl = b.m_nGainLeft, gr = b.m_nGainRight;
            for (uint32_t i = 0; i < run; ++i) {
                int16_t lr[2];
                std::memcpy(lr, src + 4 * size_t(i), 4);
                acc[2 * i] += static_cast<int32_t>((lr[0] * gl) >> 16);
                acc[2 * i + 1] += static_cast<int32_t>((lr[1] * gr) >> 16);
            }
            done += run;
            b.m_nPlayed += run;
            b.m_nPos += run;
            if (b.m_nPos == b.m_dwFrames) {
                b.m_nPos = 0;
                b.m_bPlaying = b.m_bLooping;
            }
        }
        return false;
    }
    while (done < frames) {
        if (!b.m_bPlaying)
            return false;
        if (m_bUnpaced) {
            uint64_t limit =
                b.m_bLooping ? std::min(b.m_nWritten, b.m_nObserved + b.m_dwFrames - margin) : b.m_nWritten;
            // Stopping right on the frontier would show the writer a cursor at the start of an unwritten
            // half, which it takes for a half already playing; one frame short, it sees where it stands.
            if (limit == b.m_nWritten && limit > 0 && !b.m_bReleaseLast)
                --limit;
            if (b.m_nPlayed + (b.m_nFrac ? 1 : 0) >= limit)
                return true;
        }
        const uint8_t *p = b.m_data.data() + size_t(b.m_nPos) * align;
        int32_t l = ReadSample(p, bits);
        int32_t r = stereo ? ReadSample(p + bits / 8, bits) : l;
        if (b.m_nFrac) {
            uint32_t next = b.m_nPos + 1;
            if (next == b.m_dwFrames)
                next = b.m_bLooping ? 0 : b.m_nPos;
            const uint8_t *q = b.m_data.data() + size_t(next) * align;
            const int32_t l1 = ReadSample(q, bits);
            const int32_t r1 = stereo ? ReadSample(q + bits / 8, bits) : l1;
            l += static_cast<int32_t>((int64_t(l1 - l) * b.m_nFrac) >> 32);
            r += static_cast<int32_t>((int64_t(r1 - r) * b.m_nFrac) >> 32);
        }
        m_accum[2 * size_t(done)] += static_cast<int32_t>((int64_t(l) * b.m_nGainLeft) >> 16);
        m_accum[2 * size_t(done) + 1] += static_cast<int32_t>((int64_t(r) * b.m_nGainRight) >> 16);
        ++done;
        const uint64_t f = uint64_t(b.m_nFrac) + step;
        b.m_nFrac = static_cast<uint32_t>(f);
        const uint64_t advance = f >> 32;
        b.m_nPlayed += advance;
        uint64_t pos = b.m_nPos + advance;
        if (pos >= b.m_dwFrames) {
            if (b.m_bLooping) {
                pos %= b.m_dwFrames;
            } else {
                pos = 0;
                b.m_bPlaying = false;
            }
        }
        b.m_nPos = static_cast<uint32_t>(pos);
    }
    return false;
}

bool DirectSoundDevice::DueToNotify(DirectSoundBuffer &b) {
    if (!b.m_pMoved || b.m_nPlayed == b.m_nNotified)
        return false;
    // Without a clock the device moves as fast as its writer looks; told at most every 50 ms, the writer
    // keeps it at a few times real time, as a writer polling every 50 ms would.
    const auto now = std::chrono::steady_clock::now();
    if (m_bUnpaced && now - b.m_notifiedAt < kUnpacedNotifyInterval)
        return false;
    b.m_nNotified = b.m_nPlayed;
    b.m_notifiedAt = now;
    return true;
}

void DirectSoundDevice::Mix(int16_t *out, uint32_t frames) {
    std::unique_lock lock(m_lock);
    m_accum.assign(size_t(frames) * 2, 0);
    auto anyPlaying = [&] {
        return std::any_of(m_buffers.begin(), m_buffers.end(), [](auto *b) { return b->m_bPlaying; });
    };
    // Without a clock, idle silence would pour out as fast as the disk takes it.
    if (m_bUnpaced && !m_bClosing && !anyPlaying())
        m_changed.wait_for(lock, std::chrono::milliseconds(100));
    m_playing.clear();
    for (DirectSoundBuffer *b : m_buffers)
        if (b->m_bPlaying)
            m_playing.push_back(b);
    for (DirectSoundBuffer *&b : m_playing) {
        if (std::find(m_buffers.begin(), m_buffers.end(), b) == m_buffers.end()) {
            b = nullptr; // released while the mixer waited for another buffer
            continue;
        }
        uint32_t done = 0;
        auto heldSince = std::chrono::steady_clock::now();
        uint64_t written = b->m_nWritten;
        while (MixOne(*b, frames, done)) {
            if (m_bClosing)
                break;
            // The writer learns how far the mixer got before the mixer waits for its data.
            if (DueToNotify(*b))
                b->m_pMoved->Set();
            // Waking when the writer is due to be told keeps the pace even.
            auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
            if (b->m_pMoved && b->m_nPlayed != b->m_nNotified)
                until = std::min(until, b->m_notifiedAt + kUnpacedNotifyInterval);
            m_pMixing = b;
            m_changed.wait_until(lock, until);
            m_pMixing = nullptr;
            m_changed.notify_all();
            if (m_bClosing || !b->m_bPlaying)
                break;
            // Nobody wrote for a while: the data ends here, so the last frame may play too.
            const auto now = std::chrono::steady_clock::now();
            if (b->m_nWritten != written) {
                written = b->m_nWritten;
                heldSince = now;
            } else if (now - heldSince > std::chrono::milliseconds(200)) {
                b->m_bReleaseLast = true;
            }
        }
    }
    for (size_t i = 0; i < size_t(frames) * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp(m_accum[i], -32768, 32767));
    // Signalled outside the lock, so that a writer who wakes does not wait for it at once.
    for (DirectSoundBuffer *b : m_playing) {
        if (!b || std::find(m_buffers.begin(), m_buffers.end(), b) == m_buffers.end() || !DueToNotify(*b))
            continue;
        Event *moved = b->m_pMoved;
        m_pNotifying = b;
        lock.unlock();
        moved->Set();
        lock.lock();
        m_pNotifying = nullptr;
        m_changed.notify_all();
    }
}
