// The output and decoder threads of one title: two buffer halves, four auto-reset events, a shared counter.
#include "PlayerThreads.h"

#include "Messages.h"
#include "PlaybackMessages.h"
#include "PluginHost.h"
#include "Sound.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

using std::chrono::milliseconds;

// The mixer says when the cursor moved; this only bounds a wait in which it says nothing (paused).
constexpr milliseconds kCursorWait{250};

// The buffer signals the event while the thread runs, and not a moment longer.
class PositionNotify {
public:
    PositionNotify(DirectSoundBuffer *buffer, Event *event) : m_pBuffer(buffer) { buffer->SetPositionNotify(event); }
    ~PositionNotify() { m_pBuffer->SetPositionNotify(nullptr); }
    PositionNotify(const PositionNotify &) = delete;
    PositionNotify &operator=(const PositionNotify &) = delete;

private:
    DirectSoundBuffer *m_pBuffer;
};

struct DecoderJob {
    TitleItem *pItem = nullptr;
    uint32_t dwBlockBytes = 0;
    uint32_t dwChunkBytes = 0;
    uint32_t nBytesPerSample = 0;
    uint8_t *pBlock = nullptr;
    unsigned long dwWritten = 0; // by the last Read; read by the output thread after data-ready or the end
    AutoResetEvent resyncAndRead;
    AutoResetEvent read;
    AutoResetEvent quit;
    AutoResetEvent *pDataReady = nullptr;
    MessageGate *pGate = nullptr;
};

void RunDecoderThread(DecoderJob &job) {
    MessageGate::Scope messages(job.pGate);
    TitleItem *item = job.pItem;
    const auto *plugin = static_cast<const PluginEntry *>(item->pPlugin);
    // A plug-in without its reading exports is treated like one whose InitRead failed.
    const bool bUsable = plugin && plugin->pfnInitRead && plugin->pfnRead && plugin->pfnDeinitRead;
    if (!bUsable || !plugin->pfnInitRead(item, 1)) {
        std::memset(job.pBlock, item->bSilence, job.dwBlockBytes);
        job.dwWritten = 0;
        return;
    }
    for (;;) {
        const int request = WaitForAny({&job.resyncAndRead, &job.read, &job.quit});
        if (request == 2)
            break;
        if (request == 0 && plugin->pfnResync)
            plugin->pfnResync(item);
        unsigned long written = 0;
        const int more = plugin->pfnRead(item, job.pBlock, job.dwBlockBytes, job.dwChunkBytes, &written);
        job.dwWritten = written;
        if (!more)
            break;
        job.pDataReady->Set();
    }
    plugin->pfnDeinitRead(item, 0);
}

} // namespace

uint32_t PositionSeconds(const TitleItem &item, uint32_t position) {
    const uint32_t offset = position > item.dwDataStart ? position - item.dwDataStart : 0;
    if (item.nPositionMode)
        return offset;
    return item.nAvgBytesPerSec ? offset / item.nAvgBytesPerSec : 0;
}

void RunOutputThread(PlaybackJob &job) {
    MessageGate::Scope messages(job.pGate);
    const uint32_t B = job.dwBlockBytes;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[B]);
    if (!block) {
        ShowPlaybackMessage(ComposeError(61288, 0, QString(), ERR_STYLE_PLAIN, false, 0));
        return;
    }
    AutoResetEvent dataReady;
    DecoderJob dj;
    dj.pItem = &job.copy;
    dj.dwBlockBytes = B;
    dj.dwChunkBytes = job.dwChunkBytes;
    dj.nBytesPerSample = job.nBytesPerSample;
    dj.pBlock = block.get();
    dj.pDataReady = &dataReady;
    dj.pGate = job.pGate;
    WorkerThread decoder;
    auto startDecoder = [&] { decoder.Start([&dj] { RunDecoderThread(dj); }); };
    startDecoder();

    TitleItem &t = job.copy;
    const uint64_t bytesPerSecond = uint64_t(job.dwBytesPerMs) * 1000;
    uint64_t lapBase = 0;
    if (job.dwStartPos) {
        t.dwReadPos = job.dwStartPos;
        lapBase = uint64_t(PositionSeconds(t, job.dwStartPos)) * bytesPerSecond;
        job.pPlayedBytes->store(lapBase);
        dj.resyncAndRead.Set();
    } else {
        dj.read.Set();
    }

    DirectSoundBuffer *buffer = job.pBuffer;
    AutoResetEvent cursorMoved;
    PositionNotify notify(buffer, &cursorMoved);
    // Pause may come from the GUI thread at any moment; whoever acts last leaves the buffer as paused wants it.
    auto startBuffer = [&] {
        if (job.pPaused->load())
            return true;
        if (!CheckSound(buffer->Play(0, 0, DSBPLAY_LOOPING), QStringLiteral("Play")))
            return false;
        if (job.pPaused->load())
            buffer->Stop();
        return true;
    };
    bool bNeedData = true, bNextFirst = true, bNotStarted = true, bEndSeen = false;
    bool bFreshStart = true; // the next write is the first since the start or a seek
    bool bLastWrittenFirst = true;
    bool bWhole = job.dwStartPos == 0; // every byte from the start passes through, none skipped
    uint32_t lastCursor = 0;
    uint64_t endPos = 0;

    for (;;) {
        if (bNeedData) {
            bNeedData = false;
            int got = WaitForAny({&dataReady, &decoder.Ended()}, milliseconds(250));
            if (got == WAIT_TIMEOUT_INDEX) {
                // The decoder is late: silence rather than stale data. Only a buffer that was
                // playing starts again, so a paused title stays paused.
                uint32_t status = 0;
                buffer->GetStatus(&status);
                if (!CheckSound(buffer->Stop(), QStringLiteral("Stop")))
                    break;
                got = WaitForAny({&dataReady, &decoder.Ended(), job.pStop});
                if (got == 2)
                    break;
                if ((status & DSBSTATUS_PLAYING) && !bNotStarted && !startBuffer())
                    break;
            }
            const bool bDecoderEnded = got == 1;
            if (bDecoderEnded && dj.dwWritten == 0 && bNotStarted)
                break; // nothing decoded: the buffer never starts on silence alone
            if (!WriteBlock(buffer, B, block.get(), bNextFirst))
                break;
            // A first half written while the second plays is heard in the next lap.
            const uint64_t lap = (bNextFirst && !bFreshStart) ? lapBase + 2 * uint64_t(B) : lapBase;
            bFreshStart = false;
            if (bDecoderEnded) {
                bEndSeen = true;
                endPos = lap + (bNextFirst ? 0 : B) + dj.dwWritten;
            } else {
                dj.read.Set();
            }
            if (bNotStarted) {
                if (!startBuffer())
                    break;
                bNotStarted = false;
            }
            bLastWrittenFirst = bNextFirst;
            bNextFirst = !bNextFirst;
        }

        // Rather than looking at the cursor every 50 ms, look each time it has moved.
        const int event = WaitForAny({job.pStop, job.pSeek, &cursorMoved}, kCursorWait);
        if (event == 0)
            break;
        if (event == 1) {
            uint32_t status = 0;
            buffer->GetStatus(&status);
            if (status & DSBSTATUS_PLAYING) {
                CheckSound(buffer->Stop(), QStringLiteral("Stop"));
                bNotStarted = true;
            } else {
                bNotStarted = false;
            }
            if (!CheckSound(buffer->SetCurrentPosition(0), QStringLiteral("SetCurrentPosition")))
                break;
            // The count first: a position newer than it only repeats the seek its own event asks for.
            const uint32_t seeksAsked = job.pSeeksAsked->load();
            const uint32_t seekPos = job.pSeekPos->load();
            // At or past the end there is nothing to decode: the title ends as if it had played out.
            if (seekPos >= t.dwDataEnd)
                break;
            // The block in progress belongs to the old position; an ended decoder cannot serve the
            // new one, so it is started afresh.
            if (!decoder.Ended().IsSet() && WaitForAny({&dataReady, &decoder.Ended(), job.pStop}) == 2)
                break;
            t.dwReadPos = seekPos;
            if (decoder.Ended().IsSet()) {
                decoder.Join();
                startDecoder();
            }
            bNextFirst = true;
            bNeedData = true;
            bFreshStart = true;
            bEndSeen = false;
            bWhole = false;
            lastCursor = 0;
            lapBase = uint64_t(PositionSeconds(t, seekPos)) * bytesPerSecond;
            job.pPlayedBytes->store(lapBase);
            job.pSeeksTaken->store(seeksAsked);
            dj.resyncAndRead.Set();
            continue;
        }
        uint32_t cursor = 0;
        buffer->GetCurrentPosition(&cursor, nullptr);
        if (cursor < lastCursor)
            lapBase += 2 * uint64_t(B);
        const uint64_t played = lapBase + cursor;
        job.pPlayedBytes->store(played);
        lastCursor = cursor;
        const bool bInFirst = cursor <= B;
        if (bInFirst == bLastWrittenFirst && !bEndSeen)
            bNeedData = true;
        else if (bEndSeen && played >= endPos) {
            if (bWhole)
                job.nDecodedBytes = endPos;
            break;
        }
    }

    buffer->Stop();
    dj.quit.Set();
    decoder.Join();
}
