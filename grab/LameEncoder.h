// The MP3 encoder: its ten settings, the stream configuration made from them, and the grab's three steps.
#pragma once

#include "Encoder.h"
#include "LameLibrary.h"

#include <array>

// Kilobits per second by MPEG version (0 MPEG 1, 1 MPEG 2) and list position.
constexpr std::array<std::array<int, 14>, 2> kLameBitrates{{
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};

// Section ENCODE_LAME.
struct LameSettings {
    int bitrateIndex = 8; // 128 kbit/s for MPEG 1
    int mpegIndex = 0;
    int modeIndex = 0; // Stereo, Joint-Stereo, Dual-Channel, Mono
    int copyright = 0;
    int crc = 0;
    int original = 0;
    int priv = 0;
    int vbrQualityIndex = 5;
    int vbrHeader = 1;
    int vbr = 0;

    static LameSettings Load(); // out-of-range values get their defaults
    void Save() const;
    int Bitrate() const;
    bool operator==(const LameSettings &) const = default;
};

LameConfig MakeLameConfig(const LameSettings &settings);

// "Lame Encoder DLL (V %d.%d)" with the library's version.
QString LameVersionText(const LameLibrary &library);

class LameEncoder : public IEncoder {
public:
    explicit LameEncoder(LameLibrary &library) : m_library(library) {}
    // The values a grab uses; set before Start, kept still while the grab runs.
    void SetSettings(const LameSettings &settings) { m_settings = settings; }
    const LameSettings &Settings() const { return m_settings; }

    QString Extension() const override { return QStringLiteral(".mp3"); }
    bool OnEncInit(GrabJob &job) override;
    bool OnEncChunk(GrabJob &job) override;
    bool OnEncFinish(GrabJob &job) override;

private:
    LameLibrary &m_library;
    LameSettings m_settings;
    bool m_bMono = false;
};
