// The CD drive options without widgets: driver, per-drive read command, frames and letter, and the letter rules.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct DriveSettings {
    int frames = 25;
    int readMode = 1; // 1-based position in ReadModeNames()
    QString driveLetter;
    QString sectionName; // the drive's name: its settings section
};

// "ATAPI 1" ... "READ 10 2": Readmode is the position + 1.
const QStringList &ReadModeNames();
// "75", "25", "15", "5", "3": Frames is the number itself.
const QStringList &FrameEntries();
// The first frames entry that begins with the value written out ("1" finds "15"), or -1.
int FramesEntryFor(int frames);

// The drive strings of the CD drives, in drive order: what the drive letter lists offer.
QStringList CdRomLetters();

class DriveOptions {
public:
    int driver = 0; // 0 SPTI, 1 ASPI
    QStringList letters;
    QList<DriveSettings> drives; // in drive order

    // Reads CDDA/CD-Driver and each drive's section.
    void Load();
    // OK: the driver and every drive's section. False when a value could not be written (the store said so).
    bool Save() const;
    // A letter stays unique: a drive holding the new letter gets the chosen drive's old one.
    void ChooseLetter(int drive, const QString &letter);
    // The driver for the system, 25 frames and "ATAPI 1" for every drive.
    void Standard();
};

// The start-up under ASPI: a drive without a stored letter gets one from the candidates (at first all CD-ROM
// letters); with more than one left, choose(drive name, candidates) gives the chosen position, with one that one
// is taken; the letter then leaves the candidates. Letters stored for other drives stay candidates. Returns the
// letters of all drives; a drive left without candidates keeps an empty letter.
QStringList AssignDriveLetters(const QStringList &driveNames, QStringList stored, QStringList candidates,
                               const std::function<int(const QString &, const QStringList &)> &choose);
