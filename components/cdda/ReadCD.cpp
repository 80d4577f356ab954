// Reading raw audio: straight sector reads, or through paranoia's verification for read modes 1 and 2.
#include "CDDA.h"
#include "Drive.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Retries per frame before paranoia gives up on it, so a bad disc ends a read instead of hanging it.
constexpr int kParanoiaRetries = 20;

int ParanoiaMode(uint8_t readMode) {
    switch (readMode) {
    case 1:
        return PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP;
    case 2:
        return PARANOIA_MODE_OVERLAP;
    default:
        return -1; // raw
    }
}

bool OpenParanoia(Drive &d, int mode) {
    if (d.pParanoia && d.nParanoiaMode == mode)
        return true;
    d.CloseParanoia();
    d.pParanoiaDrive = cdio_cddap_identify_cdio(d.pCdio, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!d.pParanoiaDrive)
        return false;
    if (d.bImage)
        d.pParanoiaDrive->bigendianp = 0; // image data is stored as it plays: little-endian
    if (cdio_cddap_open(d.pParanoiaDrive) != 0) {
        d.CloseParanoia();
        return false;
    }
    d.pParanoia = cdio_paranoia_init(d.pParanoiaDrive);
    if (!d.pParanoia) {
        d.CloseParanoia();
        return false;
    }
    cdio_paranoia_modeset(d.pParanoia, mode);
    d.nParanoiaMode = mode;
    d.nNextSector = -1;
    return true;
}

// Reads count whole frames from first into out; false on any failure.
bool ReadFrames(Drive &d, uint8_t readMode, lsn_t first, uint32_t count, uint8_t *out) {
    if (first < 0 || first + static_cast<lsn_t>(count) > d.nLeadOut)
        return false;
    const int mode = ParanoiaMode(readMode);
    if (mode < 0) {
        d.CloseParanoia();
        return cdio_read_audio_sectors(d.pCdio, out, first, count) == DRIVER_OP_SUCCESS;
    }
    if (!OpenParanoia(d, mode))
        return false;
    if (d.nNextSector != first)
        cdio_paranoia_seek(d.pParanoia, first, SEEK_SET);
    d.nNextSector = -1;
    for (uint32_t i = 0; i < count; ++i) {
        const int16_t *frame = cdio_paranoia_read_limited(d.pParanoia, nullptr, kParanoiaRetries);
        if (!frame)
            return false;
        std::memcpy(out + size_t(i) * CDDA_FRAME_BYTES, frame, CDDA_FRAME_BYTES);
    }
    d.nNextSector = first + static_cast<lsn_t>(count);
    return true;
}

} // namespace

extern "C" {

int ReadCD(void *buffer, uint32_t size, uint32_t *position, uint32_t *end, int /*flag*/, uint8_t drive) {
    if (!buffer || !position || !end)
        return 0;
    std::memset(buffer, 0, size);
    Drive *d = FindDrive(drive);
    if (!d || size == 0 || *position >= *end)
        return 0;
    std::lock_guard lock(d->lock);
    if (!d->EnsureToc())
        return 0;
    const uint32_t want = std::min(size, *end - *position);
    const lsn_t first = static_cast<lsn_t>(*position / CDDA_FRAME_BYTES);
    const uint32_t offset = *position % CDDA_FRAME_BYTES;
    const uint32_t frames = (offset + want + CDDA_FRAME_BYTES - 1) / CDDA_FRAME_BYTES;
    auto *out = static_cast<uint8_t *>(buffer);
    if (offset == 0 && want % CDDA_FRAME_BYTES == 0) {
        if (!ReadFrames(*d, d->nReadMode, first, frames, out))
            return 0;
    } else {
        std::vector<uint8_t> whole(size_t(frames) * CDDA_FRAME_BYTES);
        if (!ReadFrames(*d, d->nReadMode, first, frames, whole.data()))
            return 0;
        std::memcpy(out, whole.data() + offset, want);
    }
    *position += want;
    return *position < *end ? 1 : 0;
}

uint8_t GetCompatibleReadMode(uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    std::lock_guard lock(d->lock);
    if (!d->EnsureToc())
        return 0;
    const auto audio = std::find_if(d->tracks.begin(), d->tracks.end(), [](const TrackEntry &t) { return t.bAudio; });
    if (audio == d->tracks.end())
        return 0;
    std::vector<uint8_t> frame(CDDA_FRAME_BYTES);
    for (uint8_t mode = 1; mode <= CDDA_READ_MODES; ++mode)
        if (ReadFrames(*d, mode, audio->nStart, 1, frame.data()))
            return mode;
    return 0;
}

} // extern "C"
