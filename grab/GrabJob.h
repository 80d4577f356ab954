// One grabbed track: the record the dialog, the reading thread, the encoding thread and the encoder share.
#pragma once

#include "platform/Events.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

class IEncoder;

// How a grab ended, for callers that must know whether the file is complete.
enum class GrabResult {
    Written,   // every byte of the track went into the finished file
    Cancelled, // the file holds what was encoded up to the cancel
    Declined,  // "No" to the overwrite question: the existing file stays
    Abandoned, // nothing was written: no staging file, or the encoder's init failed
    ReadFailed,
    EncodeFailed,
    FinishFailed, // the encoder could not complete the file
};

struct GrabJob {
    void *hStream = nullptr;     // the encoder's stream (MP3)
    uint32_t chunkBytes = 0;     // staged bytes per chunk, set by the encoder's init; the count of the last chunk
    uint32_t outBufferBytes = 0; // size of outBuffer
    std::vector<uint8_t> inBuffer;
    std::vector<uint8_t> outBuffer;
    IEncoder *encoder = nullptr;
    QString basePath; // folder and file name without extension
    QString extension;
    FILE *outFile = nullptr;  // the encoder's output (MP3)
    FILE *tempFile = nullptr; // the staging file basePath + ".TMP"; null once the encoder took it over
    std::atomic<int> readDone{0};
    AutoResetEvent dataEvent;
    std::mutex lock;                    // guards the staging file's position and stagedBytes
    uint64_t stagedBytes = 0;           // length of the staging file
    std::atomic<uint32_t> encodedBytes; // bytes of the staging file handed to the encoder
    uint8_t drive = 255;
    uint32_t startByte = 0;
    uint32_t endByte = 0;
    std::atomic<uint32_t> position; // next byte to read
    ManualResetEvent cancelEvent;

    // Set by the threads as they go; read once the reading thread has ended.
    bool bReadFailed = false;
    bool bEncodeFailed = false;
    bool bAbandoned = false;
    bool bDeclined = false;
    bool bFinished = false; // the encoder completed the file
};
