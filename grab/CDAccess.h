// The start-up's CD initialisation, the exit's release of the CD drives, and the disc images that act as drives.
#pragma once

#include <QStringList>

// Hands the disc images of CDDA/Images (and extraImages, for this run only) and every drive's settings section
// (Frames, Readmode) to the cdda component. Returns the number of drives.
int InitCDAccess(const QStringList &extraImages = {});

// Closes every drive's title file, then releases the drives.
void CloseCDAccess();

// Releases the drives and finds them again, so a changed image list takes effect at once. Drive indices may
// change: whoever shows drives refreshes.
int ReloadCDAccess();

// A file that can be a disc image drive: .cue, .toc or .nrg (.bin belongs to its .cue).
bool IsDiscImagePath(const QString &path);

// CDDA/Images as a list, and written back (';' separates the paths).
QStringList DiscImages();
bool WriteDiscImages(const QStringList &images);

// Adds the images not listed yet to CDDA/Images and reloads the drives when the list changed; returns how many
// were added.
int AddDiscImages(const QStringList &paths);
