// Naming and planning grabs: track names, file names, the drive list's texts, the default folder.
#pragma once

#include "GrabEngine.h"

#include <QList>
#include <QString>

// The one place a track gets its name; at most 100 characters.
QString TrackName(uint8_t drive, int track);

// The track list's entry: the name and the length as " (mm:ss)".
QString TrackEntryText(const QString &name, uint32_t seconds);

// folder + "/" + the name made a valid file name, without extension.
QString TrackBasePath(const QString &folder, const QString &name);

// The drive list's entry "drive string (name)", runs of blanks collapsed.
QString DriveEntryText(uint8_t drive);

// The user's music folder, else the documents folder, else the program folder.
QString DefaultGrabFolder();

// The track's byte range and file; false when the drive has no such audio track.
bool PlanTrack(uint8_t drive, int track, const QString &folder, GrabTrack *plan);

// "1,3-5" into track numbers in the given order, each within 1..count; an empty text gives every track.
// On a fault the result is empty and *error says what is wrong.
QList<int> ParseTrackList(const QString &text, int count, QString *error);

// The texts of the grabbing dialog's progress: percent, speed, and the time remaining (null: leave it as is).
struct GrabProgressTexts {
    QString strPercent, strSpeed, strRemaining;
};
GrabProgressTexts MakeProgressTexts(uint32_t readBytes, uint32_t encodedBytes, uint32_t totalBytes,
                                    uint32_t elapsedSeconds, bool bReadDone);
