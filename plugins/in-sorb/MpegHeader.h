// MPEG audio frame headers: the validity check, decoding into a record, and the search for a frame.
#pragma once

#include <cstdint>

struct MpegHeader {
    int nChannels = 0;
    int bLsf = 0; // MPEG-2 or 2.5
    int bMpeg25 = 0;
    int nLayer = 0; // 1..3
    int bErrorProtection = 0;
    int nBitrateIndex = 0;
    int nSamplingFrequency = 0; // 0..8: MPEG-1 0..2, MPEG-2 3..5, MPEG-2.5 6..8
    int nPadding = 0;
    int bPrivate = 0;
    int nMode = 0; // 3 = single channel
    int nModeExt = 0;
    int bCopyright = 0;
    int bOriginal = 0;
    int nEmphasis = 0;
    int nFrameSize = 0; // bytes of the frame without its 4 header bytes
};

enum : int { kHeaderBad = 0, kHeaderOk = 1, kHeaderFreeFormat = 2, kHeaderBadLayer = 3 };

extern const int kSampleRates[9];

uint32_t HeaderAt(const unsigned char *bytes);
// The first two bytes could start a frame: 0xFF and a byte with its top three bits set.
inline bool LooksLikeSync(const unsigned char *bytes) {
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}
bool CheckHeader(uint32_t header);
int DecodeHeader(uint32_t header, MpegHeader *out);
int BitrateKbps(const MpegHeader &header);
int SamplesPerFrame(const MpegHeader &header);

constexpr long kNotFound = -1;

// Reads windowSize bytes at offset into window and returns the offset (relative to offset) of the
// first header confirmed by its successor, or kNotFound; *header describes that frame. *bytesRead
// (when given) receives how many bytes the window holds.
long FindFrame(void *file, unsigned char *window, unsigned long windowSize, const char *path, unsigned long offset,
               MpegHeader *header, int showErrors, unsigned long *bytesRead = nullptr);
