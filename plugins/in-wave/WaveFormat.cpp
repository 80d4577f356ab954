// Walks the RIFF chunks of a WAVE file to its "fmt " and "data" chunks, trusting no length blindly.
#include "WaveFormat.h"

#include "MMFile.h"

#include <cstring>

namespace {

uint16_t Get16(const unsigned char *p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Get32(const unsigned char *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ReadExactly(void *file, const char *path, unsigned long offset, unsigned char *out, unsigned long count) {
    return ReadFromMMFile(file, out, count, path, offset, 0) == count;
}

// The sub-format GUID of WAVE_FORMAT_EXTENSIBLE after its first two bytes, the format tag.
const unsigned char kSubFormatGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint16_t kTagPcm = 1, kTagFloat = 3, kTagExtensible = 0xFFFE;

bool ParseFmt(const unsigned char *fmt, uint32_t size, WaveLayout *layout) {
    if (size < 16)
        return false;
    uint16_t tag = Get16(fmt);
    const uint16_t channels = Get16(fmt + 2);
    const uint32_t rate = Get32(fmt + 4);
    const uint16_t blockAlign = Get16(fmt + 12);
    const uint16_t bits = Get16(fmt + 14);
    if (tag == kTagExtensible) {
        if (size < 40 || std::memcmp(fmt + 26, kSubFormatGuidTail, sizeof kSubFormatGuidTail) != 0)
            return false;
        tag = Get16(fmt + 24);
    }
    const bool bFloat = tag == kTagFloat;
    if (tag != kTagPcm && !bFloat)
        return false;
    if (bFloat ? bits != 32 : (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    if ((channels != 1 && channels != 2) || blockAlign != channels * bits / 8)
        return false;
    // A rate beyond any sound card would only overflow the byte rate.
    if (rate == 0 || rate > 768000)
        return false;
    layout->nChannels = uint8_t(channels);
    layout->nBitsPerSample = uint8_t(bits);
    layout->bFloat = bFloat;
    layout->nSamplesPerSec = rate;
    return true;
}

} // namespace

bool ParseWave(void *file, const char *path, WaveLayout *layout) {
    const unsigned long fileSize = GetMMFileSize(file, path, 0);
    unsigned char head[12];
    if (fileSize < 12 || !ReadExactly(file, path, 0, head, 12))
        return false;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return false;

    bool haveFormat = false;
    unsigned long offset = 12;
    // Every chunk is at least 8 bytes, so the walk ends; the bound keeps a file of empty chunks cheap.
    for (int chunks = 0; chunks < 10000 && offset + 8 <= fileSize; ++chunks) {
        unsigned char header[8];
        if (!ReadExactly(file, path, offset, header, 8))
            return false;
        const uint32_t size = Get32(header + 4);
        const unsigned long body = offset + 8;
        if (size > fileSize - body)
            return false; // the chunk claims more than the file has
        if (std::memcmp(header, "fmt ", 4) == 0) {
            unsigned char fmt[40] = {};
            const uint32_t wanted = size < sizeof fmt ? size : uint32_t(sizeof fmt);
            if (!ReadExactly(file, path, body, fmt, wanted) || !ParseFmt(fmt, size, layout))
                return false;
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat)
                return false;
            const uint32_t frame = uint32_t(layout->nChannels) * (layout->nBitsPerSample / 8u);
            const unsigned long end = body + size - size % frame;
            if (end > 0xFFFFFFFFul || end == body)
                return false; // positions are 32-bit; an empty data chunk has nothing to play
            layout->dwDataStart = uint32_t(body);
            layout->dwDataEnd = uint32_t(end);
            return true;
        }
        offset = body + size + (size & 1); // chunks are padded to even sizes
    }
    return false;
}
