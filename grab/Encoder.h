// What the grabbing engine asks of an encoder: init before reading, one call per chunk, finish at the end.
#pragma once

#include <QString>

struct GrabJob;

// The grab's threads call these in the order init, chunk ..., finish; finish follows every successful init,
// also after a cancel or a failed chunk. The caller keeps the encoder's settings still while a grab runs.
class IEncoder {
public:
    virtual ~IEncoder() = default;
    virtual QString Extension() const = 0; // ".wav", ".mp3"
    // Prepares the output and sets job.chunkBytes; false abandons the grab.
    virtual bool OnEncInit(GrabJob &job) = 0;
    // Encodes job.chunkBytes bytes of job.inBuffer; false stops encoding.
    virtual bool OnEncChunk(GrabJob &job) = 0;
    // Completes and closes the output file; false when the file could not be completed.
    virtual bool OnEncFinish(GrabJob &job) = 0;
};
