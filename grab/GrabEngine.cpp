// The reading and the encoding thread of a grab, and the staging file between them.
#include "GrabEngine.h"

#include "Helpers.h"
#include "Messages.h"
#include "cdda/CDDA.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>

namespace {

FILE *OpenStaging(const QString &path) {
    return std::fopen(QFile::encodeName(path).constData(), "w+b");
}

void RemoveFile(const QString &path) {
    std::remove(QFile::encodeName(path).constData());
}

} // namespace

GrabSession::GrabSession(CDReader reader) : m_reader(std::move(reader)) {
    if (!m_reader)
        m_reader = [](void *buffer, uint32_t size, uint32_t *position, uint32_t *end, uint8_t drive) {
            return ReadCD(buffer, size, position, end, 0, drive);
        };
}

GrabSession::~GrabSession() {
    if (m_job) {
        Cancel();
        Finish();
    }
}

bool GrabSession::Start(const GrabTrack &track, IEncoder *encoder) {
    if (m_job || !encoder)
        return false;
    try {
        m_job = std::make_unique<GrabJob>();
    } catch (const std::bad_alloc &) {
        ShowError(61288);
        return false;
    }
    // A missing folder is made; when that fails the staging file will say so.
    const QString folder = QFileInfo(track.basePath).absolutePath();
    if (!QFileInfo(folder).isDir())
        EnsureFolder(folder);
    GrabJob &job = *m_job;
    job.endByte = track.endByte;
    job.startByte = track.startByte;
    job.position = track.startByte;
    job.drive = track.drive;
    job.extension = encoder->Extension();
    job.basePath = track.basePath;
    job.encoder = encoder;
    job.encodedBytes = 0;
    m_reading.Start([this, &job] { ReadingThread(job); });
    return true;
}

void GrabSession::Cancel() {
    if (m_job)
        m_job->cancelEvent.Set();
}

bool GrabSession::WaitForEnd(std::chrono::milliseconds timeout) {
    return !m_job || m_reading.Ended().Wait(timeout);
}

GrabResult GrabSession::Finish() {
    if (!m_job)
        return GrabResult::Abandoned;
    m_reading.Join();
    const GrabJob &job = *m_job;
    GrabResult result = GrabResult::Written;
    if (job.bDeclined)
        result = GrabResult::Declined;
    else if (job.bAbandoned)
        result = GrabResult::Abandoned;
    else if (job.bEncodeFailed)
        result = GrabResult::EncodeFailed;
    else if (!job.bFinished)
        result = GrabResult::FinishFailed;
    else if (job.bReadFailed)
        result = GrabResult::ReadFailed;
    else if (job.position < job.endByte || job.encodedBytes < job.stagedBytes)
        result = GrabResult::Cancelled;
    m_job.reset();
    return result;
}

uint32_t GrabSession::ReadBytes() const {
    return m_job ? m_job->position - m_job->startByte : 0;
}
uint32_t GrabSession::EncodedBytes() const {
    return m_job ? m_job->encodedBytes.load() : 0;
}
bool GrabSession::ReadDone() const {
    return m_job && m_job->readDone;
}

void GrabSession::ReadingThread(GrabJob &job) {
    job.readDone = 0;
    job.encodedBytes = 0;
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(size_t(std::max<uint8_t>(GetNumFrames(job.drive), 1)) * CDDA_FRAME_BYTES);
    } catch (const std::bad_alloc &) {
        ShowError(61288);
        job.bAbandoned = true;
        return;
    }
    const QString stagingPath = job.basePath + QStringLiteral(".TMP");
    job.tempFile = OpenStaging(stagingPath);
    if (!job.tempFile) {
        ShowError(61299, 0, stagingPath, ERR_STYLE_DETAIL);
        job.bAbandoned = true;
        return;
    }
    auto dropStaging = [&] {
        if (job.tempFile) {
            std::fclose(job.tempFile);
            job.tempFile = nullptr;
            RemoveFile(stagingPath);
        }
    };
    const QString target = job.basePath + job.extension;
    if (QFileInfo::exists(target)) {
        if (ShowMessage(QCoreApplication::translate("CCDCopy", "A file with this name already exists. Overwrite file?"),
                        MB_YESNO | MB_ICONQUESTION) != IDYES) {
            dropStaging();
            job.bDeclined = true;
            return;
        }
        RemoveFile(target);
    }
    if (!job.encoder->OnEncInit(job)) {
        dropStaging();
        job.bAbandoned = true;
        return;
    }
    // The WAV encoder has put its header into the staging file; the audio goes behind it.
    fseeko(job.tempFile, 0, SEEK_END);
    job.stagedBytes = uint64_t(std::max<off_t>(ftello(job.tempFile), 0));
    bool bEncoding = false;
    try {
        job.inBuffer.resize(job.chunkBytes);
        bEncoding = job.chunkBytes > 0;
    } catch (const std::bad_alloc &) {
        ShowError(61288);
    }
    if (bEncoding) {
        m_encoding.Start([this, &job] { EncodingThread(job); });
        uint32_t position = job.position;
        for (;;) {
            if (!job.readDone) {
                const uint32_t before = position;
                const int more = m_reader(buffer.data(), uint32_t(buffer.size()), &position, &job.endByte, job.drive);
                // Only the track's own bytes are staged: what the buffer holds past the end is not audio.
                const uint32_t got = std::min<uint32_t>(position - before, uint32_t(buffer.size()));
                {
                    std::lock_guard lock(job.lock);
                    if (got > 0) {
                        fseeko(job.tempFile, 0, SEEK_END);
                        if (std::fwrite(buffer.data(), 1, got, job.tempFile) == got)
                            job.stagedBytes += got;
                        else
                            job.bReadFailed = true; // a full disk: the track cannot be complete
                    }
                    if (!more || job.bReadFailed) {
                        job.bReadFailed = job.bReadFailed || position < job.endByte;
                        job.readDone = 1;
                    }
                }
                job.position = position;
                job.dataEvent.Set();
            } else {
                WaitForAny({&m_encoding.Ended(), &job.cancelEvent});
            }
            if (!m_encoding.IsRunning())
                break;
            if (job.cancelEvent.IsSet()) {
                job.readDone = 1;
                job.dataEvent.Set();
                break;
            }
        }
        m_encoding.Join();
    }
    job.bFinished = job.encoder->OnEncFinish(job);
    dropStaging();
    job.inBuffer = {};
}

void GrabSession::EncodingThread(GrabJob &job) {
    for (;;) {
        for (;;) {
            if (job.readDone)
                break;
            {
                std::lock_guard lock(job.lock);
                if (job.stagedBytes - job.encodedBytes >= job.chunkBytes)
                    break;
            }
            if (WaitForAny({&job.dataEvent, &job.cancelEvent}) == 1)
                return;
        }
        size_t count = 0;
        {
            std::lock_guard lock(job.lock);
            fseeko(job.tempFile, off_t(job.encodedBytes.load()), SEEK_SET);
            count =
                std::fread(job.inBuffer.data(), 1, std::min<size_t>(job.chunkBytes, job.inBuffer.size()), job.tempFile);
            job.chunkBytes = uint32_t(count);
            fseeko(job.tempFile, 0, SEEK_END);
        }
        if (count == 0)
            return;
        job.encodedBytes += uint32_t(count);
        if (!job.encoder->OnEncChunk(job)) {
            job.bEncodeFailed = true;
            return;
        }
        if (job.cancelEvent.IsSet())
            return;
    }
}

GrabResult GrabTrackNow(const GrabTrack &track, IEncoder *encoder, CDReader reader) {
    GrabSession session(std::move(reader));
    if (!session.Start(track, encoder))
        return GrabResult::Abandoned;
    session.WaitForEnd();
    return session.Finish();
}
