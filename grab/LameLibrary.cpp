// The encoder library's six steps over LAME's own API, resolved with dlopen so a missing LAME only hides MP3.
#include "LameLibrary.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <dlfcn.h>
#include <lame/lame.h>
#include <link.h>

namespace {

constexpr const char *kDefaultLibrary = "libmp3lame.so.0";

struct Stream {
    lame_global_flags *gf = nullptr;
    int channels = 2;
};

} // namespace

// One pointer per function, typed from LAME's own header.
#define LAME_FUNCTIONS(X)                                                                                              \
    X(lame_init)                                                                                                       \
    X(lame_set_in_samplerate)                                                                                          \
    X(lame_set_out_samplerate)                                                                                         \
    X(lame_set_num_channels)                                                                                           \
    X(lame_set_mode)                                                                                                   \
    X(lame_set_brate)                                                                                                  \
    X(lame_set_quality)                                                                                                \
    X(lame_set_copyright)                                                                                              \
    X(lame_set_original)                                                                                               \
    X(lame_set_error_protection)                                                                                       \
    X(lame_set_extension)                                                                                              \
    X(lame_set_strict_ISO)                                                                                             \
    X(lame_set_disable_reservoir)                                                                                      \
    X(lame_set_emphasis)                                                                                               \
    X(lame_set_bWriteVbrTag)                                                                                           \
    X(lame_set_VBR)                                                                                                    \
    X(lame_set_VBR_q)                                                                                                  \
    X(lame_set_VBR_min_bitrate_kbps)                                                                                   \
    X(lame_set_VBR_max_bitrate_kbps)                                                                                   \
    X(lame_init_params)                                                                                                \
    X(lame_get_framesize)                                                                                              \
    X(lame_encode_buffer)                                                                                              \
    X(lame_encode_buffer_interleaved)                                                                                  \
    X(lame_encode_flush)                                                                                               \
    X(lame_get_lametag_frame)                                                                                          \
    X(lame_close)                                                                                                      \
    X(get_lame_version_numerical)

struct LameLibrary::Api {
#define LAME_POINTER(name) decltype(&::name) name = nullptr;
    LAME_FUNCTIONS(LAME_POINTER)
#undef LAME_POINTER
};

LameLibrary::LameLibrary() = default;

LameLibrary::~LameLibrary() {
    if (m_hLib)
        dlclose(m_hLib);
}

LameLibrary::Status LameLibrary::Load() {
    const QByteArray wanted =
        qEnvironmentVariableIsSet("MELVO_LAME_LIBRARY") ? qgetenv("MELVO_LAME_LIBRARY") : QByteArray(kDefaultLibrary);
    m_strPath = QFile::decodeName(wanted);
    m_hLib = dlopen(wanted.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_hLib)
        return NotFound;
    // Name the file the loader actually took.
    link_map *map = nullptr;
    if (dlinfo(m_hLib, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        m_strPath = QFile::decodeName(map->l_name);
    auto api = std::make_unique<Api>();
    bool complete = true;
#define LAME_RESOLVE(name)                                                                                             \
    api->name = reinterpret_cast<decltype(api->name)>(dlsym(m_hLib, #name));                                           \
    complete = complete && api->name;
    LAME_FUNCTIONS(LAME_RESOLVE)
#undef LAME_RESOLVE
    if (!complete) {
        dlclose(m_hLib);
        m_hLib = nullptr;
        return WrongLibrary;
    }
    m_api = std::move(api);
    return Loaded;
}

bool LameLibrary::IsLoaded() const {
    return m_api != nullptr;
}

QString LameLibrary::FileName() const {
    return QFileInfo(m_strPath).fileName();
}

int LameLibrary::InitStream(const LameConfig &c, uint32_t *samples, uint32_t *outBufferBytes, void **stream) {
    if (!m_api || !samples || !outBufferBytes || !stream)
        return -1;
    const Api &a = *m_api;
    lame_global_flags *gf = a.lame_init();
    if (!gf)
        return -1;
    const bool mono = c.nMode == 3;
    a.lame_set_in_samplerate(gf, int(c.dwSampleRate));
    // MPEG 1 keeps the CD's rate; LAME would otherwise pick a lower one for low bitrates.
    a.lame_set_out_samplerate(gf, int(c.dwReSampleRate ? c.dwReSampleRate : c.dwMpegVersion == 1 ? c.dwSampleRate : 0));
    a.lame_set_num_channels(gf, mono ? 1 : 2);
    static constexpr MPEG_mode kModes[] = {STEREO, JOINT_STEREO, DUAL_CHANNEL, MONO};
    a.lame_set_mode(gf, kModes[c.nMode >= 0 && c.nMode <= 3 ? c.nMode : 0]);
    a.lame_set_quality(gf, c.nPreset == 2 ? 2 : 5);
    a.lame_set_copyright(gf, c.bCopyright);
    a.lame_set_original(gf, c.bOriginal);
    a.lame_set_error_protection(gf, c.bCRC);
    a.lame_set_extension(gf, c.bPrivate);
    a.lame_set_strict_ISO(gf, c.bStrictIso);
    a.lame_set_disable_reservoir(gf, c.bNoRes);
    a.lame_set_emphasis(gf, int(c.dwEmphasis));
    a.lame_set_bWriteVbrTag(gf, c.bWriteVBRHeader);
    if (c.bEnableVBR) {
        a.lame_set_VBR(gf, vbr_default);
        a.lame_set_VBR_q(gf, c.nVBRQuality);
        a.lame_set_VBR_min_bitrate_kbps(gf, int(c.dwBitrate));
        if (c.dwMaxBitrate)
            a.lame_set_VBR_max_bitrate_kbps(gf, int(c.dwMaxBitrate));
    } else {
        a.lame_set_VBR(gf, vbr_off);
        a.lame_set_brate(gf, int(c.dwBitrate));
    }
    if (a.lame_init_params(gf) < 0) {
        a.lame_close(gf);
        return -1;
    }
    auto *s = new Stream{gf, mono ? 1 : 2};
    *samples = uint32_t(a.lame_get_framesize(gf)) * uint32_t(s->channels);
    // LAME's worst case for a buffer of n samples per channel is 1.25 n + 7200 bytes.
    *outBufferBytes = *samples * 5 / 4 + 7200;
    *stream = s;
    return 0;
}

int LameLibrary::EncodeChunk(void *stream, uint32_t samples, const int16_t *pcm, uint8_t *out, uint32_t *written) {
    auto *s = static_cast<Stream *>(stream);
    if (!m_api || !s || !written)
        return -1;
    const uint32_t capacity = samples * 5 / 4 + 7200;
    int n = 0;
    if (s->channels == 1)
        n = m_api->lame_encode_buffer(s->gf, pcm, pcm, int(samples), out, int(capacity));
    else
        n = m_api->lame_encode_buffer_interleaved(s->gf, const_cast<short *>(pcm), int(samples / 2), out,
                                                  int(capacity));
    if (n < 0)
        return n;
    *written = uint32_t(n);
    return 0;
}

int LameLibrary::DeinitStream(void *stream, uint8_t *out, uint32_t *written) {
    auto *s = static_cast<Stream *>(stream);
    if (!m_api || !s || !written)
        return -1;
    const int n = m_api->lame_encode_flush(s->gf, out, 7200);
    if (n < 0)
        return n;
    *written = uint32_t(n);
    m_lastTag.assign(m_api->lame_get_lametag_frame(s->gf, nullptr, 0), 0);
    if (!m_lastTag.empty() &&
        m_api->lame_get_lametag_frame(s->gf, m_lastTag.data(), m_lastTag.size()) != m_lastTag.size())
        m_lastTag.clear();
    return 0;
}

int LameLibrary::CloseStream(void *stream) {
    auto *s = static_cast<Stream *>(stream);
    if (!m_api || !s)
        return -1;
    m_api->lame_close(s->gf);
    delete s;
    return 0;
}

void LameLibrary::Version(int *major, int *minor) const {
    lame_version_t v{};
    if (m_api)
        m_api->get_lame_version_numerical(&v);
    if (major)
        *major = v.major;
    if (minor)
        *minor = v.minor;
}

int LameLibrary::WriteVBRHeader(const QString &path) {
    if (m_lastTag.empty())
        return 0; // no header wanted
    // LAME left an empty frame of this size at the start of the stream for the header.
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "r+b");
    if (!file)
        return -1;
    const bool ok = std::fwrite(m_lastTag.data(), 1, m_lastTag.size(), file) == m_lastTag.size();
    m_lastTag.clear();
    return std::fclose(file) == 0 && ok ? 0 : -1;
}
