// The audio CD input plug-in "in-cdda.so": plays the tracks of CD drives and disc images through cdda.
#include "CdaTrack.h"
#include "MelvoPlugin.h"
#include "MelvoPluginHost.h"
#include "cdda/CDDA.h"
#include "platform/MelvoVersion.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

MELVO_DEFINE_VERSION("in-cdda", "Melvo audio CD input plug-in", 2, 7, 1)

namespace {

constexpr uint32_t kBytesPerSecond = 44100 * 4;
// A removed disc or image file shows only as a failing read on some drives and not at all on an image
// whose file is still open, so playback looks for the disc about once a second.
constexpr uint32_t kPresenceCheckBytes = kBytesPerSecond;

struct Playback {
    uint8_t nDrive = CDDA_NO_DRIVE;
    bool bShowErrors = false;
    uint32_t nSinceCheck = 0;
};

const char kIcon[] = "/* XPM */\n"
                     "static char *icon[] = {\n"
                     "\"16 16 4 1\",\n"
                     "\"  c None\",\n"
                     "\". c #505A64\",\n"
                     "\"x c #C8D2DC\",\n"
                     "\"o c #FFFFFF\",\n"
                     "\"     ......     \",\n"
                     "\"   ..xxxxxx..   \",\n"
                     "\"  .xxxxxxxxxx.  \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\".xxxxx....xxxxx.\",\n"
                     "\".xxxx.oooo.xxxx.\",\n"
                     "\".xxxx.o  o.xxxx.\",\n"
                     "\".xxxx.o  o.xxxx.\",\n"
                     "\".xxxx.oooo.xxxx.\",\n"
                     "\".xxxxx....xxxxx.\",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\" .xxxxxxxxxxxx. \",\n"
                     "\"  .xxxxxxxxxx.  \",\n"
                     "\"   ..xxxxxx..   \",\n"
                     "\"     ......     \"};\n";

void ReportReadError(const TitleItem *item, const Playback *pb) {
    if (!pb->bShowErrors)
        return;
    char text[512];
    std::snprintf(text, sizeof text, "Could not read track %d of the audio CD. The disc may have been removed.\n%s",
                  item->nCDTrack, item->pszPath ? item->pszPath : "");
    MelvoPluginMessageBox(text, "in-cdda", 0x10);
}

void FillSilence(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long written) {
    if (buffer && written < size)
        std::memset(buffer + written, item->bSilence, size - written);
}

} // namespace

extern "C" {

MELVO_PLUGIN_EXPORT extern const MelvoPluginIcon MelvoPluginIcons[] = {
    {101, reinterpret_cast<const unsigned char *>(kIcon), sizeof kIcon - 1},
    {0, nullptr, 0},
};

MELVO_PLUGIN_EXPORT int InitDLL(const char **extensions, const char **descriptions, int *iconId) {
    *extensions = "CDA";
    *descriptions = "Audio-CD Track";
    *iconId = 101;
    return 1;
}

MELVO_PLUGIN_EXPORT int DeinitDLL(void) {
    return 1;
}

MELVO_PLUGIN_EXPORT int GetFormat(TitleItem *item, int bShowErrors) {
    CdaTrack track;
    if (!ParseCdaPath(item->pszPath, &track))
        return 0;
    const uint8_t drive = GetDriveIndex(track.strDrive.c_str(), nullptr);
    uint32_t start = 0, end = 0;
    if (drive == CDDA_NO_DRIVE || !GetTOCTrackBytes(&start, &end, track.nTrack, drive) || end <= start) {
        if (bShowErrors)
            MelvoPluginMessageBox("There is no such track on the audio CD in this drive.", "in-cdda", 0x10);
        return 0;
    }
    item->nPositionMode = POSITION_MODE_BYTES;
    item->dwDataStart = start;
    item->dwDataEnd = end;
    item->nChannels = 2;
    item->nBitsPerSample = 16;
    item->nSamplesPerSec = 44100;
    item->nAvgBytesPerSec = kBytesPerSecond;
    // Buffer halves of whole frames keep every read on a frame boundary, as the drive reads them.
    item->nBlockBytes = CDDA_FRAME_BYTES;
    item->nBlockAlignBytes = CDDA_FRAME_BYTES;
    item->nLength = static_cast<int32_t>((end - start) / kBytesPerSecond);
    item->nCDDrive = drive;
    item->nCDTrack = track.nTrack;
    std::memcpy(item->dwFormatTag, "CDA", 4);
    item->bFormatValid = 1;
    item->hMMFile = nullptr;
    return 1;
}

MELVO_PLUGIN_EXPORT int InitRead(TitleItem *item, int bShowErrors) {
    CdaTrack track;
    if (!ParseCdaPath(item->pszPath, &track))
        return 0;
    const uint8_t drive = GetDriveIndex(track.strDrive.c_str(), nullptr);
    if (drive == CDDA_NO_DRIVE || !IsDiscPresent(drive)) {
        if (bShowErrors)
            MelvoPluginMessageBox("No audio CD in this drive.", "in-cdda", 0x10);
        return 0;
    }
    auto *pb = new (std::nothrow) Playback;
    if (!pb)
        return 0;
    pb->nDrive = drive;
    pb->bShowErrors = bShowErrors != 0;
    item->pDecoder = pb;
    return 1;
}

MELVO_PLUGIN_EXPORT int Read(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long /*chunk*/,
                             unsigned long *written) {
    *written = 0;
    auto *pb = static_cast<Playback *>(item->pDecoder);
    if (!pb || !buffer) {
        FillSilence(item, buffer, size, 0);
        return 0;
    }
    const uint32_t step = uint32_t(std::max<uint8_t>(GetNumFrames(pb->nDrive), 1)) * CDDA_FRAME_BYTES;
    uint32_t end = item->dwDataEnd;
    while (*written < size && item->dwReadPos < end) {
        if (pb->nSinceCheck >= kPresenceCheckBytes) {
            pb->nSinceCheck = 0;
            if (!IsDiscPresent(pb->nDrive)) {
                ReportReadError(item, pb);
                FillSilence(item, buffer, size, *written);
                return 0;
            }
        }
        const uint32_t want = uint32_t(std::min<unsigned long>({size - *written, step, end - item->dwReadPos}));
        uint32_t position = item->dwReadPos;
        ReadCD(buffer + *written, want, &position, &end, 0, pb->nDrive);
        const uint32_t got = position - item->dwReadPos;
        if (got == 0) {
            ReportReadError(item, pb);
            FillSilence(item, buffer, size, *written);
            return 0;
        }
        *written += got;
        item->dwReadPos = position;
        pb->nSinceCheck += got;
    }
    if (item->dwReadPos >= end) {
        FillSilence(item, buffer, size, *written);
        return 0;
    }
    return 1;
}

MELVO_PLUGIN_EXPORT int Resync(TitleItem *item) {
    // Reads start on frame boundaries: a seek lands on the frame that holds its target.
    uint32_t pos = std::clamp(item->dwReadPos, item->dwDataStart, item->dwDataEnd);
    pos -= (pos - item->dwDataStart) % CDDA_FRAME_BYTES;
    item->dwReadPos = pos;
    return 1;
}

MELVO_PLUGIN_EXPORT int DeinitRead(TitleItem *item, int /*bShowErrors*/) {
    delete static_cast<Playback *>(item->pDecoder);
    item->pDecoder = nullptr;
    item->pBuffer = nullptr;
    item->hMMFile = nullptr;
    return 1;
}

} // extern "C"
