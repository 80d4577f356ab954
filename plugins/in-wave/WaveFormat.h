// Where the PCM of a RIFF/WAVE file lies and how it is laid out.
#pragma once

#include <cstdint>

struct WaveLayout {
    uint32_t dwDataStart = 0;
    uint32_t dwDataEnd = 0; // whole sample frames only
    uint8_t nChannels = 0;
    uint8_t nBitsPerSample = 0;
    uint32_t nSamplesPerSec = 0;
};

// True for PCM WAVE (8/16 bit, mono/stereo) whose chunks lie inside the file; anything else is false.
bool ParseWave(void *file, const char *path, WaveLayout *layout);
