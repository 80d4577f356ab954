// The shell layer the folder tree browses: a virtual "Computer", real folders, and CD drives as folders.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

struct ShellEntry {
    QString strPath;      // file-system path, or a CD drive's drive string
    QString strName;      // what the tree shows
    uint8_t nDrive = 255; // the cdda drive index of a CD drive root, else 255
    bool IsCdDrive() const { return nDrive != 255; }
};

// The children of "Computer": the home folder, the file system's root, mounted volumes and the CD drives.
QList<ShellEntry> ComputerEntries();

// A folder's subfolders (hidden ones left out), sorted without regard to case.
QList<ShellEntry> SubFolders(const QString &path);

// The CD drives of the cdda component, in its order.
QList<ShellEntry> CdDriveEntries();

// The cdda drive a path lies on: the drive string itself or a path below it; 255 otherwise.
uint8_t CdDriveOfPath(const QString &path);

// A CD drive's folder: one "TrackNN.cda" per audio track, in track order; empty without a disc.
QStringList CdTrackFiles(uint8_t drive);
