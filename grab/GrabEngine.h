// The grabbing engine: a reading thread stages a track's raw audio, an encoding thread feeds it to the encoder.
#pragma once

#include "Encoder.h"
#include "GrabJob.h"

#include <chrono>
#include <functional>
#include <memory>

// ReadCD's shape (without its flag); tests put a scripted drive in its place.
using CDReader = std::function<int(void *buffer, uint32_t size, uint32_t *position, uint32_t *end, uint8_t drive)>;

// One track to grab: where it lies in the drive's raw stream and the file it becomes (without extension).
struct GrabTrack {
    uint8_t drive = 255;
    int track = 0; // from 1
    uint32_t startByte = 0;
    uint32_t endByte = 0;
    QString basePath;
};

class GrabSession {
public:
    explicit GrabSession(CDReader reader = {});
    // A running grab is cancelled and waited for; callers that may be asked a question by the grab's threads
    // wait for the end first (the question needs the GUI thread).
    ~GrabSession();
    GrabSession(const GrabSession &) = delete;
    GrabSession &operator=(const GrabSession &) = delete;

    // Creates the job (and the destination folder when it is missing) and starts the reading thread.
    // False, with the message shown, when there is no memory for the job.
    bool Start(const GrabTrack &track, IEncoder *encoder);
    bool HasJob() const { return m_job != nullptr; }
    // True while the reading thread runs.
    bool IsRunning() const { return m_job && m_reading.IsRunning(); }
    void Cancel();
    bool WaitForEnd(std::chrono::milliseconds timeout = Event::Infinite());
    // Once the reading thread has ended: joins it, frees the job and tells how the grab went.
    GrabResult Finish();

    // Progress, read without a lock while the threads run.
    uint32_t ReadBytes() const; // position - start
    uint32_t EncodedBytes() const;
    bool ReadDone() const;
    uint32_t StartByte() const { return m_job ? m_job->startByte : 0; }
    uint32_t EndByte() const { return m_job ? m_job->endByte : 0; }

private:
    void ReadingThread(GrabJob &job);
    void EncodingThread(GrabJob &job);

    CDReader m_reader;
    std::unique_ptr<GrabJob> m_job;
    WorkerThread m_reading;
    WorkerThread m_encoding;
};

// Grabs one track to its end on the calling thread's behalf (for the command line and tests).
GrabResult GrabTrackNow(const GrabTrack &track, IEncoder *encoder, CDReader reader = {});
