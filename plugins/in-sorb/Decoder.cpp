// Playback: InitRead, Read, Resync, DeinitRead around one mpg123 decoder in feed mode per record.
#include "InSorb.h"
#include "MMFile.h"
#include "MelvoPluginHost.h"
#include "MpegHeader.h"

#include <mpg123.h>

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace {

// The decoder state of one playback, kept in the record's pDecoder.
struct Mp3Decoder {
    mpg123_handle *handle = nullptr;
    uint32_t feedStart = 0; // file offset of the first byte fed since the last reset
    bool fedSinceReset = false;
    uint32_t lastRecovery = 0; // where the last recovery started searching, so each one moves on
    std::vector<unsigned char> chunk;
    std::vector<unsigned char> window;
};

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// A fresh decoder: output fixed to the record's rate and channels, so every frame fits nBlockBytes;
// no gapless trimming, so playback gives every sample of every frame; and ID3v2 tags skipped, not
// stored: a false tag header inside the audio would otherwise allocate up to 256 MB.
mpg123_handle *NewHandle(const TitleItem *item) {
    InitLibraryOnce();
    int error = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &error);
    if (!handle)
        return nullptr;
    const long channels = item->nChannels == 1 ? MPG123_MONO : MPG123_STEREO;
    if (mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0) != MPG123_OK ||
        mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) != MPG123_OK ||
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_SKIP_ID3V2, 0) != MPG123_OK ||
        mpg123_format_none(handle) != MPG123_OK ||
        mpg123_format(handle, long(item->nSamplesPerSec), int(channels), MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return nullptr;
    }
    return handle;
}

// Discards everything buffered: the next byte fed starts a new stream.
bool ResetDecoder(Mp3Decoder *decoder, const TitleItem *item) {
    if (decoder->handle)
        mpg123_delete(decoder->handle);
    decoder->handle = NewHandle(item);
    decoder->fedSinceReset = false;
    return decoder->handle != nullptr;
}

void PadWithSilence(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long written) {
    if (buffer && written < size)
        std::memset(buffer + written, item->bSilence, size - written);
}

// Moves dwReadPos to the frame after the point where decoding failed; false when none follows soon.
bool Recover(TitleItem *item, Mp3Decoder *decoder, unsigned long chunk) {
    uint32_t stopped = decoder->feedStart;
    if (decoder->fedSinceReset) {
        const off_t parsed = mpg123_framepos(decoder->handle);
        if (parsed > 0 && uint64_t(parsed) < item->dwReadPos - decoder->feedStart)
            stopped = decoder->feedStart + uint32_t(parsed);
    }
    // Past the frame that failed, and never back to where an earlier recovery began.
    uint32_t from = stopped + 1;
    if (from <= decoder->lastRecovery)
        from = decoder->lastRecovery + 1;
    decoder->lastRecovery = from;
    item->dwReadPos = from;
    if (!ResetDecoder(decoder, item))
        return false;
    unsigned long windowSize = 4 * chunk;
    if (windowSize < 4608)
        windowSize = 4608;
    decoder->window.resize(windowSize);
    MpegHeader header;
    const long found = FindFrame(item->hMMFile, decoder->window.data(), windowSize, item->pszPath, from, &header, 1);
    if (found == kNotFound)
        return false;
    item->dwReadPos = from + uint32_t(found);
    return true;
}

} // namespace

extern "C" {

MELVO_PLUGIN_EXPORT int InitRead(TitleItem *item, int bShowErrors) {
    auto *decoder = new (std::nothrow) Mp3Decoder;
    if (!decoder)
        return 0;
    if (!ResetDecoder(decoder, item)) {
        delete decoder;
        ShowPluginError(IDS_INIT_FAILED, "InitMP3", item->pszPath, bShowErrors);
        return 0;
    }
    if (!OpenMMFile(item->pszPath, &item->hMMFile, bShowErrors)) {
        mpg123_delete(decoder->handle);
        delete decoder;
        item->hMMFile = nullptr;
        return 0;
    }
    item->pDecoder = decoder;
    return 1;
}

MELVO_PLUGIN_EXPORT int Read(TitleItem *item, unsigned char *buffer, unsigned long size, unsigned long chunk,
                             unsigned long *written) {
    *written = 0;
    auto *decoder = static_cast<Mp3Decoder *>(item->pDecoder);
    if (!decoder || !decoder->handle || !item->hMMFile || !buffer || chunk == 0) {
        PadWithSilence(item, buffer, size, 0);
        return 0;
    }
    for (;;) {
        unsigned char *audio = nullptr;
        size_t bytes = 0;
        off_t frameNumber = 0;
        int result = mpg123_decode_frame(decoder->handle, &frameNumber, &audio, &bytes);
        if (result == MPG123_NEW_FORMAT)
            continue;
        if (result == MPG123_NEED_MORE || result == MPG123_DONE) {
            if (item->dwReadPos >= item->dwDataEnd)
                break;
            unsigned long want = item->dwDataEnd - item->dwReadPos;
            if (want > chunk)
                want = chunk;
            if (decoder->chunk.size() < want)
                decoder->chunk.resize(want);
            const unsigned long got =
                ReadFromMMFile(item->hMMFile, decoder->chunk.data(), want, item->pszPath, item->dwReadPos, 0);
            if (got == 0 || got == ~0ul) {
                PadWithSilence(item, buffer, size, *written);
                return 0;
            }
            if (got < want)
                MelvoPluginMessageBox("Zu kleiner Buffer", "Fehler", 0);
            if (!decoder->fedSinceReset) {
                decoder->feedStart = item->dwReadPos;
                decoder->fedSinceReset = true;
            }
            // The position follows what was fed, so a chunk smaller than a frame just asks for more.
            item->dwReadPos += uint32_t(got);
            if (mpg123_feed(decoder->handle, decoder->chunk.data(), got) != MPG123_OK && !Recover(item, decoder, chunk))
                break;
            continue;
        }
        if (result != MPG123_OK) {
            if (!Recover(item, decoder, chunk))
                break;
            continue;
        }
        const unsigned long room = size - *written;
        const unsigned long copy = bytes < room ? bytes : room;
        if (audio && copy)
            std::memcpy(buffer + *written, audio, copy);
        *written += copy;
        if (*written + item->nBlockBytes > size)
            return 1;
    }
    PadWithSilence(item, buffer, size, *written);
    return 0;
}

MELVO_PLUGIN_EXPORT int Resync(TitleItem *item) {
    auto *decoder = static_cast<Mp3Decoder *>(item->pDecoder);
    if (!decoder || !item->hMMFile)
        return 0;
    constexpr unsigned long kWindow = 4608;
    if (item->dwReadPos < item->dwDataStart)
        item->dwReadPos = item->dwDataStart;
    decoder->lastRecovery = 0;
    // At or near the end no whole frame may follow: that is the end of the title, not damage, and
    // Read ends it from dwDataEnd as if it had played out.
    const bool bNearEnd = item->dwReadPos >= item->dwDataEnd || item->dwDataEnd - item->dwReadPos <= kWindow;
    long found = kNotFound;
    if (item->dwReadPos < item->dwDataEnd) {
        decoder->window.resize(kWindow);
        MpegHeader header;
        found = FindFrame(item->hMMFile, decoder->window.data(), kWindow, item->pszPath, item->dwReadPos, &header,
                          bNearEnd ? 0 : 1);
    }
    const bool reset = ResetDecoder(decoder, item);
    if (found == kNotFound) {
        if (bNearEnd) {
            item->dwReadPos = item->dwDataEnd;
            return reset ? 1 : 0;
        }
        ShowPluginError(IDS_NO_FRAME, "GetSYNC", item->pszPath, 1);
        return 0;
    }
    item->dwReadPos += uint32_t(found);
    return reset ? 1 : 0;
}

MELVO_PLUGIN_EXPORT int DeinitRead(TitleItem *item, int bShowErrors) {
    if (auto *decoder = static_cast<Mp3Decoder *>(item->pDecoder)) {
        if (decoder->handle)
            mpg123_delete(decoder->handle);
        delete decoder;
    }
    item->pDecoder = nullptr;
    // This plug-in never sets pBuffer; a record that came with one is not ours to free.
    item->pBuffer = nullptr;
    if (item->hMMFile)
        CloseMMFile(item->hMMFile, item->pszPath, bShowErrors);
    item->hMMFile = nullptr;
    return 1;
}

} // extern "C"
