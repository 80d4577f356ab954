// The two threads that play one title: the output thread streams blocks into the buffer, the decoder fills them.
#pragma once

#include "DirectSound.h"
#include "MelvoPlugin.h"
#include "platform/Events.h"

class MessageGate;

#include <atomic>
#include <cstdint>

// What the output thread gets for one title; the player keeps it until the thread has ended.
struct PlaybackJob {
    TitleItem copy{}; // private copy of the list's record, with its own path
    DirectSoundBuffer *pBuffer = nullptr;
    uint32_t dwBlockBytes = 0; // one half of the buffer
    uint32_t dwChunkBytes = 0; // source bytes the plug-in reads per step
    uint32_t dwBytesPerMs = 0;
    AutoResetEvent *pStop = nullptr;
    AutoResetEvent *pSeek = nullptr;
    uint32_t nBytesPerSample = 0;
    uint32_t dwStartPos = 0; // start position in the title's units, 0 = from the start
    // Written here, read by the timer. 64-bit: 32 bits of 44.1 kHz stereo last under seven hours.
    std::atomic<uint64_t> *pPlayedBytes = nullptr;
    std::atomic<uint32_t> *pSeekPos = nullptr; // written before the seek event is signalled
    // Seeks asked for (counted after pSeekPos is written) and the last one whose position pPlayedBytes shows.
    std::atomic<uint32_t> *pSeeksAsked = nullptr;
    std::atomic<uint32_t> *pSeeksTaken = nullptr;
    std::atomic<bool> *pPaused = nullptr; // the user paused: the thread must not start the buffer
    MessageGate *pGate = nullptr;         // the threads' messages; Stop gives up on them
    // Out, read once the thread has ended: every PCM byte of the title, when it played out from its
    // start without a seek; else 0.
    uint64_t nDecodedBytes = 0;
};

// The output thread's body. Returns when the title has played out, stop was signalled, or sound failed.
void RunOutputThread(PlaybackJob &job);

// Whole seconds of a position, in the title's position units.
uint32_t PositionSeconds(const TitleItem &item, uint32_t position);
