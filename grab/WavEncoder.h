// The WAV encoder: a 44-byte PCM header in front of the staged audio, the staging file renamed at the end.
#pragma once

#include "Encoder.h"

#include <cstdint>
#include <cstdio>

constexpr uint32_t kWaveHeaderBytes = 44;
constexpr uint32_t kCDBytesPerSecond = 176400; // 44100 Hz, 2 channels, 16 bits

// Writes the header for dataBytes of CD audio at the file's start; a file error shows
// "Error writing wave-header!" and returns false.
bool WriteWaveHeader(FILE *file, uint32_t dataBytes);

class WavEncoder : public IEncoder {
public:
    QString Extension() const override { return QStringLiteral(".wav"); }
    bool OnEncInit(GrabJob &job) override;
    bool OnEncChunk(GrabJob &job) override;
    bool OnEncFinish(GrabJob &job) override;
};
