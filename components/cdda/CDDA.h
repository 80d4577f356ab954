/* The cdda component: CD drives and disc images, their table of contents, disc ID and raw audio. */
#ifndef MELVO_CDDA_H
#define MELVO_CDDA_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

#define CDDA_API __attribute__((visibility("default")))

/* A drive is a 0-based index in enumeration order: the CD devices first, then the disc images. */
#define CDDA_NO_DRIVE 255
#define CDDA_NAME_SIZE 28     /* description buffer of GetDriveInfo, NUL included */
#define CDDA_FRAME_BYTES 2352 /* one frame of raw audio: 588 stereo samples of 16 bits */
#define CDDA_TOC_ENTRIES 100  /* GetMediaTOC's table */
#define CDDA_DEFAULT_FRAMES 25
#define CDDA_READ_MODES 7 /* read modes 1..7; 1 and 2 verify with paranoia, 3..7 read raw */

CDDA_API int IsNTOS(void);          /* 1: the system driver is always there */
CDDA_API int IsASPIInstalled(void); /* 0: there is no ASPI on this system */

/* Disc images that act as drives after the devices, paths separated by ';' (.cue, .bin, .toc, .nrg).
   Takes effect at the next InitDriver. */
CDDA_API void SetDiscImages(const char *paths);

/* Finds the drives; driver 1 (ASPI) falls back to the system driver. Returns the number of drives. */
CDDA_API uint8_t InitDriver(uint8_t driver);
CDDA_API uint8_t GetNumDrives(void);
CDDA_API void DeinitDriver(void);

/* name (CDDA_NAME_SIZE bytes): vendor and model, or "Image " and the file name. driveString: the device
   or image path, never cut: a buffer too small gets "". Either buffer may be null. Returns the bytes the
   drive string needs (NUL included), 0 for an unknown drive. */
CDDA_API size_t GetDriveInfo(uint8_t drive, char *name, char *driveString, size_t driveStringSize);

/* Frames per read (1..75, else the default) and read mode (1..CDDA_READ_MODES, else 1). A drive string
   other than the drive's own path is ignored: the path names the drive. */
CDDA_API void SetCDParam(uint8_t frames, uint8_t readMode, const char *driveString, uint8_t drive);
CDDA_API uint8_t GetNumFrames(uint8_t drive);
/* The first read mode that reads the disc's first audio frame, 0 when none does. */
CDDA_API uint8_t GetCompatibleReadMode(uint8_t drive);

CDDA_API int IsDiscPresent(uint8_t drive);
CDDA_API void NewCD(uint8_t drive);
CDDA_API void CloseCDHandle(uint8_t drive);

/* freedb disc ID, 0 without audio CD. */
CDDA_API uint32_t GetDiscID(uint8_t drive);
/* toc[0..n-1]: track starts in frames with the 150-frame lead-in; toc[n]: the lead-out. Returns n. */
CDDA_API uint8_t GetMediaTOC(uint32_t toc[CDDA_TOC_ENTRIES], uint8_t drive);
CDDA_API uint8_t GetNumTracks(uint8_t drive);                   /* audio tracks */
CDDA_API uint32_t GetTrackLength(uint8_t track, uint8_t drive); /* seconds; track from 1 */
/* The track's bytes in the raw stream (byte 0 = first frame after the lead-in); 0 for no such track. */
CDDA_API int GetTOCTrackBytes(uint32_t *start, uint32_t *end, uint8_t track, uint8_t drive);

/* Fills the buffer with audio from *position (little-endian 16-bit stereo) and advances *position,
   never beyond *end. Bytes of the buffer past *end are zeros. Returns nonzero while audio remains;
   0 when this call reached *end (the buffer still holds its audio) or on failure (then *position
   stays short of *end). Safe to call from another thread than the other operations. */
CDDA_API int ReadCD(void *buffer, uint32_t size, uint32_t *position, uint32_t *end, int flag, uint8_t drive);

/* The index of the drive with that drive string (a trailing '/' is allowed) or CDDA_NO_DRIVE; *discID,
   when given, gets the disc's freedb ID or 0. */
CDDA_API uint8_t GetDriveIndex(const char *driveString, uint32_t *discID);

/* The drive's title file slot. The component never reads or closes the file. */
CDDA_API void SetFile(uint8_t drive, FILE *file, uint32_t lineCount);
CDDA_API FILE *GetFile(uint8_t drive, uint32_t *lineCount);

#ifdef __cplusplus
}
#endif

#endif
