// The start-up's CD initialisation and the exit's release of the CD drives.
#pragma once

// Hands the disc images of CDDA/Images and every drive's settings section (Frames, Readmode) to the
// cdda component. Returns the number of drives.
int InitCDAccess();

// Closes every drive's title file, then releases the drives.
void CloseCDAccess();
