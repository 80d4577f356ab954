// Test audio made on the spot.
#include "AudioFiles.h"

#include <QFile>

#include <cmath>

QByteArray MakePcm16(int sampleRate, int channels, double seconds) {
    const int frames = int(sampleRate * seconds);
    QByteArray pcm(frames * channels * 2, '\0');
    auto *out = reinterpret_cast<unsigned char *>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sampleRate;
        for (int c = 0; c < channels; ++c) {
            const double f = c == 0 ? 440.0 : 660.0;
            const double v = 0.4 * std::sin(2 * M_PI * f * t) + 0.2 * std::sin(2 * M_PI * (f * 2.5 + 30 * t) * t);
            const auto s = int16_t(std::lrint(v * 32767));
            out[(i * channels + c) * 2] = uint8_t(s & 0xFF);
            out[(i * channels + c) * 2 + 1] = uint8_t((s >> 8) & 0xFF);
        }
    }
    return pcm;
}

QByteArray MakePcm8(int, int channels, int frames) {
    QByteArray pcm(frames * channels, '\0');
    for (int i = 0; i < pcm.size(); ++i)
        pcm[i] = char(i * 7 & 0xFF);
    return pcm;
}

void Put32Le(QByteArray &bytes, int offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

void Put16Le(QByteArray &bytes, int offset, uint16_t value) {
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

QByteArray RiffChunk(const char id[4], const QByteArray &body) {
    QByteArray chunk(id, 4);
    chunk.append(QByteArray(4, '\0'));
    Put32Le(chunk, 4, uint32_t(body.size()));
    chunk.append(body);
    if (body.size() & 1)
        chunk.append('\0');
    return chunk;
}

QByteArray MakeWav(const QByteArray &pcm, int sampleRate, int channels, int bits, const QByteArray &extraChunks) {
    QByteArray fmt(16, '\0');
    Put16Le(fmt, 0, 1);
    Put16Le(fmt, 2, uint16_t(channels));
    Put32Le(fmt, 4, uint32_t(sampleRate));
    Put32Le(fmt, 8, uint32_t(sampleRate * channels * bits / 8));
    Put16Le(fmt, 12, uint16_t(channels * bits / 8));
    Put16Le(fmt, 14, uint16_t(bits));
    QByteArray body = QByteArray("WAVE") + RiffChunk("fmt ", fmt) + extraChunks + RiffChunk("data", pcm);
    return RiffChunk("RIFF", body);
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
