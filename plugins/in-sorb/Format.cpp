// GetFormat: where the audio lies between the tags, its rate, channels, data rate and length.
#include "InSorb.h"
#include "MMFile.h"
#include "MpegHeader.h"

#include <cstring>

namespace {

constexpr unsigned long kWindow = 5000;

uint32_t BigEndian32(const unsigned char *p) {
    return HeaderAt(p);
}

// Where a Xing or VBRI header sits after the frame's start: behind the side information.
unsigned long VbrTagOffset(const MpegHeader &h) {
    if (!h.bLsf)
        return h.nChannels == 1 ? 21 : 36;
    return h.nChannels == 1 ? 13 : 21;
}

// bit/s from a byte and frame count, rounded down to whole kbit/s, as bytes per second.
uint32_t RateFromCounts(uint32_t bytes, uint32_t frames, const MpegHeader &h) {
    const uint64_t perFrame = bytes / frames;
    const uint64_t bitrate = perFrame * 8 * uint64_t(kSampleRates[h.nSamplingFrequency]) / uint64_t(SamplesPerFrame(h));
    const uint64_t result = (bitrate - bitrate % 1000) / 8;
    return result > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(result);
}

bool ParseXing(const unsigned char *window, unsigned long count, unsigned long frame, const MpegHeader &h,
               uint32_t *rate) {
    const unsigned long at = frame + VbrTagOffset(h);
    if (at + 8 > count || std::memcmp(window + at, "Xing", 4) != 0)
        return false;
    const uint32_t flags = BigEndian32(window + at + 4);
    unsigned long next = at + 8;
    int32_t frames = 0;
    uint32_t bytes = 0;
    if (flags & 1) {
        if (next + 4 > count)
            return false;
        frames = int32_t(BigEndian32(window + next));
        next += 4;
    }
    if (flags & 2) {
        if (next + 4 > count)
            return false;
        bytes = BigEndian32(window + next);
    }
    if (frames <= 0)
        return false;
    *rate = RateFromCounts(bytes, uint32_t(frames), h);
    return true;
}

bool ParseVbri(const unsigned char *window, unsigned long count, unsigned long frame, const MpegHeader &h,
               uint32_t *rate) {
    const unsigned long at = frame + VbrTagOffset(h);
    if (at + 18 > count || std::memcmp(window + at, "VBRI", 4) != 0)
        return false;
    const uint32_t bytes = BigEndian32(window + at + 10);
    const uint32_t frames = BigEndian32(window + at + 14);
    if (frames == 0 || (frames & 0x80000000u))
        return false;
    *rate = RateFromCounts(bytes, frames, h);
    return true;
}

// Quiet starts of VBR files are 32 kbit/s or less: the first louder frame tells the rate better.
uint32_t EstimateBitrate(const unsigned char *window, unsigned long count, unsigned long frame, MpegHeader h) {
    unsigned long at = frame;
    while (BitrateKbps(h) <= 32) {
        const unsigned long next = at + h.nFrameSize + 4;
        if (next + 4 > count - 4 || !LooksLikeSync(window + next))
            break;
        MpegHeader successor;
        const uint32_t value = HeaderAt(window + next);
        if (!CheckHeader(value) || DecodeHeader(value, &successor) != kHeaderOk)
            break;
        at = next;
        h = successor;
    }
    return uint32_t(BitrateKbps(h)) * 125;
}

} // namespace

extern "C" MELVO_PLUGIN_EXPORT int GetFormat(TitleItem *item, int bShowErrors) {
    item->dwDataStart = 0;
    item->dwDataEnd = 0;
    unsigned char window[kWindow];
    if (!OpenMMFile(item->pszPath, &item->hMMFile, bShowErrors))
        return 0;
    void *file = item->hMMFile;
    const unsigned long fileSize = GetMMFileSize(file, item->pszPath, bShowErrors);
    bool tagsRead = false;
    if (item->bUseTags)
        tagsRead = ReadTitleTags(item, file) != 0;

    // Skip an ID3v2 tag even when its title is not wanted: pictures in it may hold byte runs that
    // pass for frames.
    if (!tagsRead) {
        unsigned char head[10];
        if (ReadFromMMFile(file, head, sizeof head, item->pszPath, 0, 0) == sizeof head)
            item->dwDataStart = uint32_t(Id3v2TagSize(head, sizeof head));
    }

    MpegHeader header;
    unsigned long count = 0;
    long found = FindFrame(file, window, kWindow, item->pszPath, item->dwDataStart, &header, 0, &count);
    if (found == kNotFound && !item->bUseTags && ReadTitleTags(item, file)) {
        tagsRead = true;
        found = FindFrame(file, window, kWindow, item->pszPath, item->dwDataStart, &header, 0, &count);
    }
    if (found == kNotFound) {
        CloseMMFile(file, item->pszPath, 0);
        item->hMMFile = nullptr;
        item->dwDataEnd = 0;
        return 0;
    }

    item->dwDataStart += uint32_t(found);
    item->nSamplesPerSec = uint32_t(kSampleRates[header.nSamplingFrequency]);
    // Positions are 32-bit; a larger file plays its first 4 GiB.
    const unsigned long size = fileSize > 0xFFFFFFFFul ? 0xFFFFFFFFul : fileSize;
    const unsigned long appended = tagsRead ? item->dwDataEnd : 0;
    item->dwDataEnd = appended < size - item->dwDataStart ? uint32_t(size - appended) : uint32_t(size);

    uint32_t rate = 0;
    if (!ParseXing(window, count, found, header, &rate) && !ParseVbri(window, count, found, header, &rate))
        rate = EstimateBitrate(window, count, found, header);
    item->nAvgBytesPerSec = rate;

    item->bFormatValid = 1;
    item->nPositionMode = POSITION_MODE_BYTES;
    item->nChannels = uint8_t(header.nChannels);
    item->nBitsPerSample = 16;
    item->nBlockBytes = item->nBlockAlignBytes = uint32_t(header.nChannels * SamplesPerFrame(header) * 2);
    std::memcpy(item->dwFormatTag, "MP3", 4);

    CloseMMFile(file, item->pszPath, bShowErrors);
    item->hMMFile = nullptr;
    if (item->nAvgBytesPerSec == 0)
        return 0;
    item->nLength = int32_t((item->dwDataEnd - item->dwDataStart) / item->nAvgBytesPerSec);
    return 1;
}
