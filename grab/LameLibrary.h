// LAME loaded at run time: the encoder library's six steps (init, encode, flush, close, version, VBR header).
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// What a stream is made from: the encoder's settings in the encoder library's terms.
struct LameConfig {
    uint32_t dwSampleRate = 44100;
    uint32_t dwReSampleRate = 0; // 0: the input's rate
    int nMode = 0;               // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    uint32_t dwBitrate = 128;    // kbit/s; the lowest bitrate with VBR
    uint32_t dwMaxBitrate = 0;   // 0: LAME's own
    int nPreset = 2;             // 2: high quality
    uint32_t dwMpegVersion = 1;  // 1 MPEG 1, 0 MPEG 2
    uint32_t dwPsyModel = 0;
    uint32_t dwEmphasis = 0;
    int bPrivate = 0, bCRC = 0, bCopyright = 0, bOriginal = 0;
    int bWriteVBRHeader = 1;
    int bEnableVBR = 0;
    int nVBRQuality = 5;
    uint32_t dwVbrAbr_bps = 0;
    int nVbrMethod = 0;
    int bNoRes = 1;
    int bStrictIso = 0;
    uint16_t nQuality = 0;
};

class LameLibrary {
public:
    enum Status { Loaded, NotFound, WrongLibrary };

    LameLibrary();
    ~LameLibrary();
    LameLibrary(const LameLibrary &) = delete;
    LameLibrary &operator=(const LameLibrary &) = delete;

    // Loads libmp3lame.so.0 ($MELVO_LAME_LIBRARY names another file) and finds every entry point it needs.
    Status Load();
    bool IsLoaded() const;
    // The file actually loaded (or found without all entry points); the name asked for when none was found.
    QString Path() const { return m_strPath; }
    QString FileName() const;

    // Each returns 0 on success, like the encoder library's own steps.
    int InitStream(const LameConfig &config, uint32_t *samples, uint32_t *outBufferBytes, void **stream);
    // samples: sample values (both channels) of interleaved stereo, or of one channel in mono.
    int EncodeChunk(void *stream, uint32_t samples, const int16_t *pcm, uint8_t *out, uint32_t *written);
    int DeinitStream(void *stream, uint8_t *out, uint32_t *written);
    int CloseStream(void *stream);
    void Version(int *major, int *minor) const;
    // Writes the VBR/LAME header of the last stream closed into the finished file.
    int WriteVBRHeader(const QString &path);

    struct Api;

private:
    void *m_hLib = nullptr;
    std::unique_ptr<Api> m_api;
    QString m_strPath;
    std::vector<uint8_t> m_lastTag; // the header frame of the last stream, kept from its flush to WriteVBRHeader
};
