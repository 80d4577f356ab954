// One drive of the cdda component: a CD device or a disc image, its open handle and table of contents.
#pragma once

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

struct TrackEntry {
    lsn_t nStart; // first frame after the lead-in
    bool bAudio;
};

struct Drive {
    std::string strPath; // device or image path: the drive string
    std::string strName; // description, at most CDDA_NAME_SIZE - 1 bytes
    bool bImage = false;
    uint8_t nFrames = 25;
    uint8_t nReadMode = 1;

    std::mutex slotLock;
    FILE *pFile = nullptr;
    uint32_t dwLines = 0;

    // Everything below is guarded by lock.
    std::mutex lock;
    CdIo_t *pCdio = nullptr;
    // The image file the handle was opened from; another file at the path is another disc.
    dev_t nDev = 0;
    ino_t nIno = 0;
    off_t nSize = 0;
    time_t nMtime = 0;
    bool bTocRead = false;
    std::vector<TrackEntry> tracks;
    lsn_t nLeadOut = 0;
    // A paranoia reading session and where it stands.
    cdrom_drive_t *pParanoiaDrive = nullptr;
    cdrom_paranoia_t *pParanoia = nullptr;
    int nParanoiaMode = -1;
    lsn_t nNextSector = -1;

    // Opens the disc if needed and reads its table of contents; false without a readable disc.
    bool EnsureToc();
    // Releases the handle, the reading session and the table of contents.
    void Close();
    void CloseParanoia();
    // The frame after the track's last one; a CD-Extra data session's gap is not audio.
    lsn_t TrackEnd(size_t index) const;
    int AudioTrackCount() const;
};

// The drive at an index, or null. Drives live until DeinitDriver.
Drive *FindDrive(uint8_t drive);

// The freedb disc ID of a table of contents in frames with the lead-in; toc[n] is the lead-out.
uint32_t FreedbDiscId(const uint32_t *toc, int n);
