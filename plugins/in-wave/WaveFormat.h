// Where the PCM of a RIFF/WAVE file lies and how it is laid out.
#pragma once

#include <cstdint>

struct WaveLayout {
    uint32_t dwDataStart = 0;
    uint32_t dwDataEnd = 0; // whole sample frames only
    uint8_t nChannels = 0;
    uint8_t nBitsPerSample = 0; // in the file: 8, 16, 24 or 32
    bool bFloat = false;        // 32-bit IEEE float rather than integer samples
    uint32_t nSamplesPerSec = 0;
};

// True for WAVE files, plain or WAVE_FORMAT_EXTENSIBLE, of integer PCM (8, 16, 24, 32 bit) or 32-bit
// float, mono or stereo, whose chunks lie inside the file; anything else is false.
bool ParseWave(void *file, const char *path, WaveLayout *layout);
