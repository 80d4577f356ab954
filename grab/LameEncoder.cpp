// The MP3 encoder's settings and its part of a grab: a LAME stream per track written beside the staging file.
#include "LameEncoder.h"

#include "GrabJob.h"
#include "Messages.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFile>

#include <new>

namespace {

const QString kSection = QStringLiteral("ENCODE_LAME");

int Read(const char *key, int nDefault, int lowest, int highest) {
    const int value = GetSettingInt(kSection, QString::fromLatin1(key), nDefault);
    return value >= lowest && value <= highest ? value : nDefault;
}

} // namespace

LameSettings LameSettings::Load() {
    LameSettings s;
    s.bitrateIndex = Read("Bitrate", 8, 0, 13);
    s.mpegIndex = Read("MPEG-Version", 0, 0, 1);
    s.modeIndex = Read("Mode", 0, 0, 3);
    s.copyright = Read("Copyright", 0, 0, 1);
    s.crc = Read("CRC", 0, 0, 1);
    s.original = Read("Original", 0, 0, 1);
    s.priv = Read("Private", 0, 0, 1);
    s.vbrQualityIndex = Read("VBR-Compression", 5, 0, 9);
    s.vbrHeader = Read("VBR-Header", 1, 0, 1);
    s.vbr = Read("VBR", 0, 0, 1);
    return s;
}

void LameSettings::Save() const {
    const std::pair<const char *, int> values[] = {
        {"Bitrate", bitrateIndex},
        {"MPEG-Version", mpegIndex},
        {"Mode", modeIndex},
        {"Copyright", copyright},
        {"CRC", crc},
        {"Original", original},
        {"Private", priv},
        {"VBR-Compression", vbrQualityIndex},
        {"VBR-Header", vbrHeader},
        {"VBR", vbr},
    };
    for (const auto &[key, value] : values)
        if (!WriteSettingInt(kSection, QString::fromLatin1(key), value))
            return; // one message is enough
}

int LameSettings::Bitrate() const {
    return kLameBitrates[mpegIndex == 1 ? 1 : 0][bitrateIndex >= 0 && bitrateIndex < 14 ? bitrateIndex : 8];
}

LameConfig MakeLameConfig(const LameSettings &s) {
    LameConfig c;
    c.dwSampleRate = 44100;
    c.dwReSampleRate = s.mpegIndex == 1 ? 22050 : 0;
    c.nMode = s.modeIndex;
    c.dwBitrate = uint32_t(s.Bitrate());
    c.dwMaxBitrate = 0;
    c.nPreset = 2;
    c.dwMpegVersion = s.mpegIndex == 0 ? 1 : 0;
    c.bPrivate = s.priv;
    c.bCRC = s.crc;
    c.bCopyright = s.copyright;
    c.bOriginal = s.original;
    c.bWriteVBRHeader = s.vbrHeader;
    c.bEnableVBR = s.vbr;
    c.nVBRQuality = s.vbrQualityIndex;
    c.bNoRes = 1;
    return c;
}

QString LameVersionText(const LameLibrary &library) {
    int major = 0, minor = 0;
    library.Version(&major, &minor);
    return QCoreApplication::translate("CEncLame", "Lame Encoder DLL (V %1.%2)").arg(major).arg(minor);
}

bool LameEncoder::OnEncInit(GrabJob &job) {
    uint32_t samples = 0;
    if (m_library.InitStream(MakeLameConfig(m_settings), &samples, &job.outBufferBytes, &job.hStream) != 0) {
        job.hStream = nullptr;
        return false;
    }
    // In mono a chunk holds twice the stereo values, which become one channel.
    m_bMono = m_settings.modeIndex == 3;
    if (m_bMono)
        samples *= 2;
    auto abandon = [&] {
        m_library.CloseStream(job.hStream);
        job.hStream = nullptr;
        if (job.outFile) {
            std::fclose(job.outFile);
            job.outFile = nullptr;
        }
        return false;
    };
    const QString path = job.basePath + QStringLiteral(".mp3");
    job.outFile = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!job.outFile) {
        ShowError(61299, 0, path, ERR_STYLE_DETAIL);
        return abandon();
    }
    job.chunkBytes = samples * 2;
    try {
        job.outBuffer.assign(job.outBufferBytes, 0);
    } catch (const std::bad_alloc &) {
        ShowError(61288);
        abandon();
        std::remove(QFile::encodeName(path).constData());
        return false;
    }
    return true;
}

bool LameEncoder::OnEncChunk(GrabJob &job) {
    uint32_t n = job.chunkBytes / 2;
    auto *pcm = reinterpret_cast<int16_t *>(job.inBuffer.data());
    if (m_bMono) {
        for (uint32_t i = 0; i < n / 2; ++i)
            pcm[i] = int16_t((int(pcm[2 * i]) + int(pcm[2 * i + 1])) / 2);
        n /= 2;
    }
    uint32_t written = 0;
    if (m_library.EncodeChunk(job.hStream, n, pcm, job.outBuffer.data(), &written) != 0)
        return false;
    return std::fwrite(job.outBuffer.data(), 1, written, job.outFile) == written;
}

bool LameEncoder::OnEncFinish(GrabJob &job) {
    const bool bStream = job.hStream != nullptr;
    bool ok = bStream && job.outFile;
    if (bStream) {
        uint32_t written = 0;
        if (m_library.DeinitStream(job.hStream, job.outBuffer.data(), &written) == 0)
            ok = ok && std::fwrite(job.outBuffer.data(), 1, written, job.outFile) == written;
        else
            ok = false;
        m_library.CloseStream(job.hStream);
        job.hStream = nullptr;
    }
    if (job.outFile) {
        ok = std::fclose(job.outFile) == 0 && ok;
        job.outFile = nullptr;
    }
    job.outBuffer = {};
    if (bStream)
        ok = m_library.WriteVBRHeader(job.basePath + QStringLiteral(".mp3")) == 0 && ok;
    return ok;
}
