/* The input plug-in contract: the TitleItem record and the seven exports of an "in-*.so" library. */
#ifndef MELVO_PLUGIN_H
#define MELVO_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Positions are byte offsets in the file (time = (pos - dwDataStart) / nAvgBytesPerSec) ... */
#define POSITION_MODE_BYTES 0u
/* ... or seconds (time = pos - dwDataStart). Any nonzero value means seconds. */
#define POSITION_MODE_SECONDS 1u

#define TITLE_NO_PLUGIN 255u
#define TITLE_NO_CD 255u
#define TITLE_TEXT_SIZE 100

/* nInfoState */
#define INFO_NOT_READ 0u
#define INFO_READ 1u
#define INFO_SHOWN 2u
#define INFO_FAILED 3u

/* The record of one title. Field order and widths are fixed; pointer fields take the platform's
 * pointer size, so the record is 204 bytes on 32-bit builds and larger on 64-bit builds. Data that
 * leaves the process uses the fixed 204-byte form instead (TitleItemWire.h). The host zero-fills it. */
typedef struct TitleItem {
    void *hMMFile;   /* plug-in: the open file, 0 when closed */
    char *pszPath;   /* host: full path, owned by the record */
    void *pPlugin;   /* host: the host's PluginEntry, opaque to the plug-in */
    uint8_t nPlugin; /* host: index in the plug-in table, 255 = none */
    uint8_t reserved1[3];
    uint32_t nPositionMode; /* plug-in: POSITION_MODE_BYTES or seconds */
    uint32_t dwDataStart;   /* plug-in */
    uint32_t dwReadPos;     /* plug-in; host before reading and when seeking */
    uint32_t dwDataEnd;     /* plug-in */
    uint32_t bFormatValid;  /* plug-in: GetFormat sets 1 */
    uint32_t bUseTags;      /* host: the plug-in may take szTitle from tags */
    uint8_t nChannels;      /* plug-in: 1 or 2 */
    uint8_t nBitsPerSample; /* plug-in: 8 or 16 */
    uint8_t reserved2[2];
    uint32_t nAvgBytesPerSec;  /* plug-in: source data rate, nonzero */
    uint32_t nSamplesPerSec;   /* plug-in: PCM rate in Hz */
    uint32_t nBlockBytes;      /* plug-in: most PCM bytes one decoding step produces */
    uint32_t nBlockAlignBytes; /* plug-in: buffer halves are whole multiples of this */
    uint8_t bSilence;          /* host: 0x80 for 8-bit PCM, else 0 */
    uint8_t nCDDrive;          /* host (0 for "CDA"), CD plug-in; 255 = not a CD track */
    uint8_t nCDTrack;          /* CD plug-in; 255 = none */
    uint8_t reserved3;
    int32_t nLength;     /* plug-in: whole seconds, -1 unknown */
    char dwFormatTag[4]; /* plug-in: "MP3", NUL-terminated */
    uint8_t reserved4[16];
    char szTitle[TITLE_TEXT_SIZE]; /* host, plug-in: display title, at most 99 bytes + NUL */
    void *pDecoder;                /* plug-in private */
    void *pBuffer;                 /* plug-in private */
    uint8_t nInfoState;            /* host: INFO_NOT_READ ... INFO_FAILED */
    uint8_t reserved5[3];
    struct TitleItem *pNextPending; /* host: the title list's queue of records to read */
} TitleItem;

#ifdef __cplusplus
#define MELVO_STATIC_ASSERT static_assert
#else
#define MELVO_STATIC_ASSERT _Static_assert
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
MELVO_STATIC_ASSERT(sizeof(TitleItem) == 204, "TitleItem is 204 bytes");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nPlugin) == 12, "nPlugin at 12");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nPositionMode) == 16, "nPositionMode at 16");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nChannels) == 40, "nChannels at 40");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nAvgBytesPerSec) == 44, "nAvgBytesPerSec at 44");
MELVO_STATIC_ASSERT(offsetof(TitleItem, bSilence) == 60, "bSilence at 60");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nLength) == 64, "nLength at 64");
MELVO_STATIC_ASSERT(offsetof(TitleItem, dwFormatTag) == 68, "dwFormatTag at 68");
MELVO_STATIC_ASSERT(offsetof(TitleItem, szTitle) == 88, "szTitle at 88");
MELVO_STATIC_ASSERT(offsetof(TitleItem, pDecoder) == 188, "pDecoder at 188");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nInfoState) == 196, "nInfoState at 196");
MELVO_STATIC_ASSERT(offsetof(TitleItem, pNextPending) == 200, "pNextPending at 200");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
/* Three leading pointers grow by 4 bytes each; the second block of pointers is 8-aligned. */
MELVO_STATIC_ASSERT(offsetof(TitleItem, nPlugin) == 24, "nPlugin at 24");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nPositionMode) == 28, "nPositionMode at 28");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nChannels) == 52, "nChannels at 52");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nLength) == 76, "nLength at 76");
MELVO_STATIC_ASSERT(offsetof(TitleItem, szTitle) == 100, "szTitle at 100");
MELVO_STATIC_ASSERT(offsetof(TitleItem, pDecoder) == 200, "pDecoder at 200");
MELVO_STATIC_ASSERT(offsetof(TitleItem, nInfoState) == 216, "nInfoState at 216");
MELVO_STATIC_ASSERT(offsetof(TitleItem, pNextPending) == 224, "pNextPending at 224");
MELVO_STATIC_ASSERT(sizeof(TitleItem) == 232, "TitleItem is 232 bytes on 64-bit builds");
#endif

/* The seven exports, C linkage, in the order the host looks them up. */
typedef int (*PFN_InitDLL)(const char **extensions, const char **descriptions, int *iconId);
typedef int (*PFN_DeinitDLL)(void);
typedef int (*PFN_Resync)(TitleItem *item);
typedef int (*PFN_GetFormat)(TitleItem *item, int bShowErrors);
typedef int (*PFN_InitRead)(TitleItem *item, int bShowErrors);
typedef int (*PFN_DeinitRead)(TitleItem *item, int bShowErrors);
typedef int (*PFN_Read)(TitleItem *item, unsigned char *output, unsigned long outputSize, unsigned long chunk,
                        unsigned long *bytesWritten);

#define MELVO_PLUGIN_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
}
#endif

#endif
