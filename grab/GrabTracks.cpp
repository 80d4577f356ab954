// Track and drive texts, file names and track lists, shared by the grabbing dialog and the command line.
#include "GrabTracks.h"

#include "Helpers.h"
#include "Messages.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <vector>

namespace {

constexpr int kMaxTrackName = 100;

QString Collapse(QString text) {
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    return text.replace(blanks, QStringLiteral(" "));
}

} // namespace

QString TrackName(uint8_t drive, int track) {
    // The disc's title file names the track; without one it keeps its number.
    QString name = CDTrackTitle(drive, track);
    if (name.isEmpty())
        name = QString::asprintf("Track%.2d", track);
    return name.left(kMaxTrackName);
}

QString TrackEntryText(const QString &name, uint32_t seconds) {
    return name + QString::asprintf(" (%.2d:%.2d)", int(seconds / 60), int(seconds % 60));
}

QString TrackBasePath(const QString &folder, const QString &name) {
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + SanitizeFileName(name);
}

QString DriveEntryText(uint8_t drive) {
    char name[CDDA_NAME_SIZE] = {};
    std::vector<char> path(GetDriveInfo(drive, nullptr, nullptr, 0) + 1);
    GetDriveInfo(drive, name, path.data(), path.size());
    return Collapse(
        QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(path.data()), Collapse(QString::fromUtf8(name))));
}

QString DefaultGrabFolder() {
    for (auto location : {QStandardPaths::MusicLocation, QStandardPaths::DocumentsLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return GetProgramFolder(true);
}

bool PlanTrack(uint8_t drive, int track, const QString &folder, GrabTrack *plan) {
    if (track < 1 || track > GetNumTracks(drive))
        return false;
    GrabTrack t;
    t.drive = drive;
    t.track = track;
    if (!GetTOCTrackBytes(&t.startByte, &t.endByte, uint8_t(track), drive))
        return false;
    t.basePath = TrackBasePath(folder, TrackName(drive, track));
    *plan = t;
    return true;
}

QList<int> ParseTrackList(const QString &text, int count, QString *error) {
    QList<int> tracks;
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return QList<int>();
    };
    if (text.trimmed().isEmpty()) {
        for (int t = 1; t <= count; ++t)
            tracks << t;
        return tracks;
    }
    static const QRegularExpression part(QStringLiteral("^\\s*(\\d{1,3})\\s*(?:-\\s*(\\d{1,3})\\s*)?$"));
    for (const QString &piece : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = part.match(piece);
        if (!m.hasMatch())
            return fail(QStringLiteral("\"%1\" is not a track or a range of tracks").arg(piece.trimmed()));
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        for (int t : {first, last})
            if (t < 1 || t > count)
                return fail(QStringLiteral("track %1 is out of range (the disc has %2 tracks)").arg(t).arg(count));
        if (last < first)
            return fail(QStringLiteral("the range %1-%2 runs backwards").arg(first).arg(last));
        for (int t = first; t <= last; ++t)
            if (!tracks.contains(t))
                tracks << t;
    }
    return tracks;
}

GrabProgressTexts MakeProgressTexts(uint32_t readBytes, uint32_t encodedBytes, uint32_t totalBytes,
                                    uint32_t elapsedSeconds, bool bReadDone) {
    GrabProgressTexts texts;
    const uint32_t elapsed = std::max<uint32_t>(elapsedSeconds, 1);
    const uint32_t readRate = readBytes / 1024 / elapsed;
    const uint32_t encodeRate = encodedBytes / 1024 / elapsed;
    if (encodeRate > 0) {
        // A WAV's header counts as encoded too, so the count may pass the track's length.
        const uint32_t left = encodedBytes < totalBytes ? totalBytes - encodedBytes : 0;
        const uint32_t remaining = left / 1024 / encodeRate;
        texts.strRemaining = QString::asprintf("%s %.2d:%.2d", LoadStringRes(17).toUtf8().constData(),
                                               int(remaining / 60), int(remaining % 60));
    }
    const int percent = totalBytes ? int((uint64_t(encodedBytes) * 100 + totalBytes / 2) / totalBytes) : 0;
    texts.strPercent = QString::asprintf("%d %%", percent);
    texts.strSpeed = bReadDone
                         ? QCoreApplication::translate("CCDCopy", "Grabbing succesfully.")
                         : QString::asprintf("%d KB/s, %s %.2fx", int(readRate),
                                             QCoreApplication::translate("CCDCopy", "Speed: ").toUtf8().constData(),
                                             readRate / 170.0);
    return texts;
}
