// The WAV input plug-in "in-wave.so": plays RIFF/WAVE PCM files, 8 or 16 bit, mono or stereo.
#include "MMFile.h"
#include "MelvoPlugin.h"
#include "MelvoPluginHost.h"
#include "WaveFormat.h"
#include "platform/MelvoVersion.h"

#include <cstring>

MELVO_DEFINE_VERSION("in-wave", "Melvo WAV input plug-in", 2, 7, 1)

namespace {

// Whole sample frames for every layout we play (1, 2 or 4 bytes a frame).
constexpr uint32_t kBlockBytes = 4096;

uint32_t FrameBytes(const TitleItem *item) {
    const uint32_t bytes = uint32_t(item->nChannels) * (item->nBitsPerSample / 8u);
    return bytes ? bytes : 1;
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
    item->nBitsPerSample = layout.nBitsPerSample;
    item->nSamplesPerSec = layout.nSamplesPerSec;
    item->nAvgBytesPerSec = layout.nSamplesPerSec * layout.nChannels * (layout.nBitsPerSample / 8u);
    item->nBlockBytes = item->nBlockAlignBytes = kBlockBytes;
    item->nLength = static_cast<int32_t>((layout.dwDataEnd - layout.dwDataStart) / item->nAvgBytesPerSec);
    std::memcpy(item->dwFormatTag, "WAV", 4);
    item->bFormatValid = 1;
    return 1;
}

MELVO_PLUGIN_EXPORT int InitRead(TitleItem *item, int bShowErrors) {
    return OpenMMFile(item->pszPath, &item->hMMFile, bShowErrors);
}

MELVO_PLUGIN_EXPORT int Read(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long chunk,
                             unsigned long *written) {
    *written = 0;
    const uint32_t frame = FrameBytes(item);
    if (!item->hMMFile || !buffer) {
        FillSilence(item, buffer, size, written);
        return 0;
    }
    if (chunk < frame)
        chunk = kBlockBytes;
    while (*written + frame <= size) {
        if (item->dwReadPos >= item->dwDataEnd) {
            FillSilence(item, buffer, size, written);
            return 0;
        }
        unsigned long step = chunk;
        if (step > size - *written)
            step = size - *written;
        if (step > item->dwDataEnd - item->dwReadPos)
            step = item->dwDataEnd - item->dwReadPos;
        step -= step % frame;
        if (step == 0)
            step = item->dwDataEnd - item->dwReadPos; // a last partial frame
        const unsigned long got =
            ReadFromMMFile(item->hMMFile, buffer + *written, step, item->pszPath, item->dwReadPos, 0);
        if (got == 0 || got == ~0ul) {
            // The file ended early (cut while playing): end the title cleanly.
            FillSilence(item, buffer, size, written);
            return 0;
        }
        *written += got;
        item->dwReadPos += static_cast<uint32_t>(got);
    }
    if (item->dwReadPos >= item->dwDataEnd && *written < size) {
        FillSilence(item, buffer, size, written);
        return 0;
    }
    return 1;
}

MELVO_PLUGIN_EXPORT int Resync(TitleItem *item) {
    const uint32_t frame = FrameBytes(item);
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
    item->pDecoder = nullptr;
    item->pBuffer = nullptr;
    return 1;
}

} // extern "C"
