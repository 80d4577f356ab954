// The WAV input plug-in "in-wave.so": plays RIFF/WAVE PCM files, mono or stereo; 24-bit, 32-bit and
// float samples reach the host as 16-bit ones.
#include "MMFile.h"
#include "MelvoPlugin.h"
#include "MelvoPluginHost.h"
#include "WaveFormat.h"
#include "platform/MelvoVersion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

MELVO_DEFINE_VERSION("in-wave", "Melvo WAV input plug-in", 2, 7, 1)

namespace {

// Whole output frames for every layout we deliver (1, 2 or 4 bytes a frame).
constexpr uint32_t kBlockBytes = 4096;

// One playback's state in pDecoder: how the file stores its samples.
struct WaveDecoder {
    uint32_t nSourceBytes = 2; // bytes of one sample in the file
    bool bFloat = false;
    std::vector<unsigned char> staging; // file bytes waiting for conversion
};

// Bytes of one sample frame in the file; positions are file offsets, so they step by this.
uint32_t SourceFrameBytes(const TitleItem *item) {
    const uint32_t perSecond = item->nSamplesPerSec * item->nChannels;
    const uint32_t bytes = perSecond ? item->nAvgBytesPerSec / perSecond * item->nChannels : 0;
    return bytes ? bytes : 1;
}

uint32_t OutputFrameBytes(const TitleItem *item) {
    const uint32_t bytes = uint32_t(item->nChannels) * (item->nBitsPerSample / 8u);
    return bytes ? bytes : 1;
}

// The top 16 bits of each integer sample, or a float sample scaled and clipped; no dither.
void ConvertTo16(const WaveDecoder &decoder, const unsigned char *in, size_t samples, unsigned char *out) {
    for (size_t i = 0; i < samples; ++i, in += decoder.nSourceBytes, out += 2) {
        if (decoder.bFloat) {
            float x;
            std::memcpy(&x, in, 4);
            const float scaled = std::isnan(x) ? 0.0f : std::clamp(x * 32768.0f, -32768.0f, 32767.0f);
            const int16_t s = int16_t(std::lrint(scaled));
            std::memcpy(out, &s, 2);
        } else {
            out[0] = in[decoder.nSourceBytes - 2];
            out[1] = in[decoder.nSourceBytes - 1];
        }
    }
}

void FillSilence(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long *written) {
    std::memset(buffer + *written, item->bSilence, size - *written);
}

const char kIcon[] = "/* XPM */\n"
                     "static char *icon[] = {\n"
                     "\"16 16 3 1\",\n"
                     "\"  c None\",\n"
                     "\". c #1E5AA0\",\n"
                     "\"x c #FFFFFF\",\n"
                     "\"                \",\n"
                     "\" .............. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xx..xxxxxxxx. \",\n"
                     "\" .x.xx.xxxxxxx. \",\n"
                     "\" ..xxxx.xxxxx.. \",\n"
                     "\" .xxxxxx.xxx.x. \",\n"
                     "\" .xxxxxxx.x.xx. \",\n"
                     "\" .xxxxxxxx.xxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .............. \",\n"
                     "\"                \",\n"
                     "\"                \"};\n";

} // namespace

extern "C" {

MELVO_PLUGIN_EXPORT extern const MelvoPluginIcon MelvoPluginIcons[] = {
    {101, reinterpret_cast<const unsigned char *>(kIcon), sizeof kIcon - 1},
    {0, nullptr, 0},
};

MELVO_PLUGIN_EXPORT int InitDLL(const char **extensions, const char **descriptions, int *iconId) {
    *extensions = "WAV";
    *descriptions = "Wave-Audio";
    *iconId = 101;
    return 1;
}

MELVO_PLUGIN_EXPORT int DeinitDLL(void) {
    return 1;
}

MELVO_PLUGIN_EXPORT int GetFormat(TitleItem *item, int bShowErrors) {
    if (!OpenMMFile(item->pszPath, &item->hMMFile, bShowErrors))
        return 0;
    WaveLayout layout;
    const bool ok = ParseWave(item->hMMFile, item->pszPath, &layout);
    CloseMMFile(item->hMMFile, item->pszPath, bShowErrors);
    item->hMMFile = nullptr;
    if (!ok)
        return 0;
    item->nPositionMode = POSITION_MODE_BYTES;
    item->dwDataStart = layout.dwDataStart;
    item->dwDataEnd = layout.dwDataEnd;
    item->nChannels = layout.nChannels;
    item->nBitsPerSample = layout.nBitsPerSample == 8 ? 8 : 16; // what Read delivers
    item->nSamplesPerSec = layout.nSamplesPerSec;
    item->nAvgBytesPerSec = layout.nSamplesPerSec * layout.nChannels * (layout.nBitsPerSample / 8u);
    item->nBlockBytes = item->nBlockAlignBytes = kBlockBytes;
    item->nLength = static_cast<int32_t>((layout.dwDataEnd - layout.dwDataStart) / item->nAvgBytesPerSec);
    std::memcpy(item->dwFormatTag, "WAV", 4);
    item->bFormatValid = 1;
    return 1;
}

MELVO_PLUGIN_EXPORT int InitRead(TitleItem *item, int bShowErrors) {
    if (!OpenMMFile(item->pszPath, &item->hMMFile, bShowErrors))
        return 0;
    WaveLayout layout;
    auto *decoder = new (std::nothrow) WaveDecoder;
    if (!decoder || !ParseWave(item->hMMFile, item->pszPath, &layout)) {
        delete decoder;
        CloseMMFile(item->hMMFile, item->pszPath, 0);
        item->hMMFile = nullptr;
        return 0;
    }
    decoder->nSourceBytes = layout.nBitsPerSample / 8u;
    decoder->bFloat = layout.bFloat;
    item->pDecoder = decoder;
    return 1;
}

MELVO_PLUGIN_EXPORT int Read(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long chunk,
                             unsigned long *written) {
    *written = 0;
    auto *decoder = static_cast<WaveDecoder *>(item->pDecoder);
    if (!item->hMMFile || !buffer || !decoder) {
        if (buffer)
            FillSilence(item, buffer, size, written);
        return 0;
    }
    const uint32_t inFrame = SourceFrameBytes(item);
    const uint32_t outFrame = OutputFrameBytes(item);
    const bool bConvert = inFrame != outFrame;
    const unsigned long framesPerChunk = std::max<unsigned long>(chunk / inFrame, 1);
    while (*written + outFrame <= size) {
        if (item->dwReadPos >= item->dwDataEnd) {
            FillSilence(item, buffer, size, written);
            return 0;
        }
        unsigned long frames = std::min<unsigned long>((size - *written) / outFrame, framesPerChunk);
        frames = std::min<unsigned long>(frames, (item->dwDataEnd - item->dwReadPos) / inFrame);
        if (frames == 0) {
            item->dwReadPos = item->dwDataEnd; // less than a frame is left
            continue;
        }
        const unsigned long want = frames * inFrame;
        if (bConvert && decoder->staging.size() < want)
            decoder->staging.resize(want);
        unsigned char *target = bConvert ? decoder->staging.data() : buffer + *written;
        const unsigned long got = ReadFromMMFile(item->hMMFile, target, want, item->pszPath, item->dwReadPos, 0);
        const unsigned long gotFrames = got == ~0ul ? 0 : got / inFrame;
        if (gotFrames == 0) {
            // The file ended early (cut while playing): end the title cleanly.
            FillSilence(item, buffer, size, written);
            return 0;
        }
        if (bConvert)
            ConvertTo16(*decoder, target, gotFrames * item->nChannels, buffer + *written);
        *written += gotFrames * outFrame;
        item->dwReadPos += static_cast<uint32_t>(gotFrames * inFrame);
    }
    if (item->dwReadPos >= item->dwDataEnd && *written < size) {
        FillSilence(item, buffer, size, written);
        return 0;
    }
    return 1;
}

MELVO_PLUGIN_EXPORT int Resync(TitleItem *item) {
    const uint32_t frame = SourceFrameBytes(item);
    if (item->dwReadPos < item->dwDataStart)
        item->dwReadPos = item->dwDataStart;
    if (item->dwReadPos > item->dwDataEnd)
        item->dwReadPos = item->dwDataEnd;
    item->dwReadPos -= (item->dwReadPos - item->dwDataStart) % frame;
    return 1;
}

MELVO_PLUGIN_EXPORT int DeinitRead(TitleItem *item, int bShowErrors) {
    if (item->hMMFile)
        CloseMMFile(item->hMMFile, item->pszPath, bShowErrors);
    item->hMMFile = nullptr;
    delete static_cast<WaveDecoder *>(item->pDecoder);
    item->pDecoder = nullptr;
    item->pBuffer = nullptr;
    return 1;
}

} // extern "C"
