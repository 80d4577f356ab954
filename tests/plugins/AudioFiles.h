// Test audio made on the spot: PCM, WAV files and byte helpers for the plug-in tests.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Interleaved 16-bit PCM of a few tones, different per channel, loud enough to survive encoding.
QByteArray MakePcm16(int sampleRate, int channels, double seconds);
// Unsigned 8-bit PCM of a ramp.
QByteArray MakePcm8(int sampleRate, int channels, int frames);

// A canonical RIFF/WAVE file: "fmt " of 16 bytes, then the given extra chunks, then "data".
QByteArray MakeWav(const QByteArray &pcm, int sampleRate, int channels, int bits, const QByteArray &extraChunks = {});
// One RIFF chunk with its pad byte.
QByteArray RiffChunk(const char id[4], const QByteArray &body);

bool WriteFile(const QString &path, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

void Put32Le(QByteArray &bytes, int offset, uint32_t value);
void Put16Le(QByteArray &bytes, int offset, uint16_t value);
