// MPEG audio frame headers after ISO/IEC 11172-3 and 13818-3.
#include "MpegHeader.h"

#include "MMFile.h"

const int kSampleRates[9] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000};

namespace {

// kbit/s by [lsf][layer - 1][index]; index 0 is free format, 15 is invalid.
const int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};

} // namespace

uint32_t HeaderAt(const unsigned char *bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

bool CheckHeader(uint32_t header) {
    return (header & 0xFFE00000u) == 0xFFE00000u && ((header >> 17) & 3) != 0 && ((header >> 12) & 0xF) != 0xF &&
           ((header >> 10) & 3) != 3;
}

int DecodeHeader(uint32_t header, MpegHeader *out) {
    if ((header & 0xFFE00000u) != 0xFFE00000u || ((header >> 10) & 3) == 3)
        return kHeaderBad;
    MpegHeader h;
    if (header & (1u << 20)) {
        h.bLsf = (header & (1u << 19)) ? 0 : 1;
        h.bMpeg25 = 0;
    } else {
        h.bLsf = 1;
        h.bMpeg25 = 1;
    }
    h.nLayer = 4 - int((header >> 17) & 3);
    const int rateIndex = int((header >> 10) & 3);
    h.nSamplingFrequency = h.bMpeg25 ? 6 + rateIndex : rateIndex + h.bLsf * 3;
    h.bErrorProtection = int(((header >> 16) & 1) ^ 1);
    h.nBitrateIndex = int((header >> 12) & 0xF);
    h.nPadding = int((header >> 9) & 1);
    h.bPrivate = int((header >> 8) & 1);
    h.nMode = int((header >> 6) & 3);
    h.nModeExt = int((header >> 4) & 3);
    h.bCopyright = int((header >> 3) & 1);
    h.bOriginal = int((header >> 2) & 1);
    h.nEmphasis = int(header & 3);
    h.nChannels = h.nMode == 3 ? 1 : 2;
    *out = h;
    if (h.nBitrateIndex == 0)
        return kHeaderFreeFormat;
    if (h.nLayer == 4)
        return kHeaderBadLayer;
    if (h.nBitrateIndex == 15)
        return kHeaderBad;

    const long bitrate = BitrateKbps(h);
    const long rate = kSampleRates[h.nSamplingFrequency];
    long size;
    switch (h.nLayer) {
    case 1:
        size = (12000 * bitrate / rate + h.nPadding) * 4 - 4;
        break;
    case 2:
        size = 144000 * bitrate / rate + h.nPadding - 4;
        break;
    default:
        size = 144000 * bitrate / (rate << h.bLsf) + h.nPadding - 4;
        break;
    }
    if (size <= 0)
        return kHeaderBad;
    out->nFrameSize = int(size);
    return kHeaderOk;
}

int BitrateKbps(const MpegHeader &header) {
    if (header.nLayer < 1 || header.nLayer > 3 || header.nBitrateIndex < 0 || header.nBitrateIndex > 15)
        return 0;
    return kBitrates[header.bLsf][header.nLayer - 1][header.nBitrateIndex];
}

int SamplesPerFrame(const MpegHeader &header) {
    if (header.nLayer == 1)
        return 384;
    if (header.nLayer == 3 && header.bLsf)
        return 576;
    return 1152;
}

long FindFrame(void *file, unsigned char *window, unsigned long windowSize, const char *path, unsigned long offset,
               MpegHeader *header, int showErrors, unsigned long *bytesRead) {
    if (bytesRead)
        *bytesRead = 0;
    const unsigned long got = ReadFromMMFile(file, window, windowSize, path, offset, showErrors);
    if (got == 0 || got == ~0ul)
        return kNotFound;
    if (bytesRead)
        *bytesRead = got;
    const long end = long(got) - 4; // the last position whose four bytes are all in the window
    for (long i = 0; i < end; ++i) {
        if (!LooksLikeSync(window + i))
            continue;
        const uint32_t value = HeaderAt(window + i);
        MpegHeader candidate;
        if (!CheckHeader(value) || DecodeHeader(value, &candidate) != kHeaderOk)
            continue;
        const long next = i + candidate.nFrameSize + 4;
        bool accepted = next >= end;
        if (!accepted && LooksLikeSync(window + next)) {
            MpegHeader successor;
            const uint32_t nextValue = HeaderAt(window + next);
            accepted = CheckHeader(nextValue) && DecodeHeader(nextValue, &successor) == kHeaderOk;
        }
        if (accepted) {
            *header = candidate;
            return i;
        }
    }
    return kNotFound;
}
