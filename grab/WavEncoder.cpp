// The WAV encoder works on the staging file itself: the header goes in first and is completed at the end.
#include "WavEncoder.h"

#include "GrabJob.h"
#include "Messages.h"

#include <QCoreApplication>
#include <QFile>

#include <array>
#include <cstring>

namespace {

void Put16(uint8_t *at, uint16_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}
void Put32(uint8_t *at, uint32_t value) {
    Put16(at, uint16_t(value));
    Put16(at + 2, uint16_t(value >> 16));
}

} // namespace

bool WriteWaveHeader(FILE *file, uint32_t dataBytes) {
    std::array<uint8_t, kWaveHeaderBytes> header{};
    std::memcpy(&header[0], "RIFF", 4);
    Put32(&header[4], dataBytes + 36);
    std::memcpy(&header[8], "WAVE", 4);
    std::memcpy(&header[12], "fmt ", 4);
    Put32(&header[16], 16);
    Put16(&header[20], 1); // PCM
    Put16(&header[22], 2);
    Put32(&header[24], 44100);
    Put32(&header[28], kCDBytesPerSecond);
    Put16(&header[32], 4);
    Put16(&header[34], 16);
    std::memcpy(&header[36], "data", 4);
    Put32(&header[40], dataBytes);
    if (!file || std::fseek(file, 0, SEEK_SET) != 0 ||
        std::fwrite(header.data(), 1, header.size(), file) != header.size() || std::fflush(file) != 0) {
        ShowMessage(QCoreApplication::translate("CEncACM", "Error writing wave-header!"), MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool WavEncoder::OnEncInit(GrabJob &job) {
    // A header that cannot be written now is written again at the end.
    WriteWaveHeader(job.tempFile, 0);
    job.chunkBytes = kCDBytesPerSecond;
    return true;
}

bool WavEncoder::OnEncChunk(GrabJob &) {
    return true; // the audio is in place already
}

bool WavEncoder::OnEncFinish(GrabJob &job) {
    FILE *file = job.tempFile;
    if (!file)
        return false;
    // A header that cannot be completed stays as last written; the audio keeps its name all the same.
    bool ok = fseeko(file, 0, SEEK_END) == 0;
    const off_t length = ftello(file);
    ok = ok && length >= off_t(kWaveHeaderBytes) && WriteWaveHeader(file, uint32_t(length - kWaveHeaderBytes));
    ok = std::fclose(file) == 0 && ok;
    job.tempFile = nullptr;
    const QByteArray staging = QFile::encodeName(job.basePath + QStringLiteral(".TMP"));
    if (std::rename(staging.constData(), QFile::encodeName(job.basePath + QStringLiteral(".wav")).constData()) != 0) {
        std::remove(staging.constData());
        return false;
    }
    return ok;
}
