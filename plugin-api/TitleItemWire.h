/* The fixed 204-byte form of a TitleItem, for title records that leave the process (drag and drop). */
#ifndef MELVO_TITLE_ITEM_WIRE_H
#define MELVO_TITLE_ITEM_WIRE_H

#include "MelvoPlugin.h"

#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Little-endian, the 32-bit offsets of TitleItem. Pointer fields (hMMFile, pszPath, pPlugin, pDecoder,
 * pBuffer, pNextPending) mean nothing in another process and travel as zero: the path goes beside the
 * record, and the receiver binds it to its own plug-in by nPlugin or by the path's extension. */
#define TITLE_ITEM_WIRE_SIZE 204

static inline void MelvoWirePut32(unsigned char *p, uint32_t v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    p[2] = (unsigned char)(v >> 16);
    p[3] = (unsigned char)(v >> 24);
}

static inline uint32_t MelvoWireGet32(const unsigned char *p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

/* Writes the record's values into exactly TITLE_ITEM_WIRE_SIZE bytes; reserved bytes are zero. */
static inline void TitleItemToWire(const TitleItem *item, unsigned char *wire) {
    memset(wire, 0, TITLE_ITEM_WIRE_SIZE);
    wire[12] = item->nPlugin;
    MelvoWirePut32(wire + 16, item->nPositionMode);
    MelvoWirePut32(wire + 20, item->dwDataStart);
    MelvoWirePut32(wire + 24, item->dwReadPos);
    MelvoWirePut32(wire + 28, item->dwDataEnd);
    MelvoWirePut32(wire + 32, item->bFormatValid);
    MelvoWirePut32(wire + 36, item->bUseTags);
    wire[40] = item->nChannels;
    wire[41] = item->nBitsPerSample;
    MelvoWirePut32(wire + 44, item->nAvgBytesPerSec);
    MelvoWirePut32(wire + 48, item->nSamplesPerSec);
    MelvoWirePut32(wire + 52, item->nBlockBytes);
    MelvoWirePut32(wire + 56, item->nBlockAlignBytes);
    wire[60] = item->bSilence;
    wire[61] = item->nCDDrive;
    wire[62] = item->nCDTrack;
    MelvoWirePut32(wire + 64, (uint32_t)item->nLength);
    memcpy(wire + 68, item->dwFormatTag, 4);
    wire[71] = 0;
    memcpy(wire + 88, item->szTitle, TITLE_TEXT_SIZE);
    wire[88 + TITLE_TEXT_SIZE - 1] = 0;
    wire[196] = item->nInfoState;
}

/* Fills a record from the wire form. Pointer fields become 0; the caller sets pszPath and pPlugin. */
static inline void TitleItemFromWire(const unsigned char *wire, TitleItem *item) {
    memset(item, 0, sizeof *item);
    item->nPlugin = wire[12];
    item->nPositionMode = MelvoWireGet32(wire + 16);
    item->dwDataStart = MelvoWireGet32(wire + 20);
    item->dwReadPos = MelvoWireGet32(wire + 24);
    item->dwDataEnd = MelvoWireGet32(wire + 28);
    item->bFormatValid = MelvoWireGet32(wire + 32);
    item->bUseTags = MelvoWireGet32(wire + 36);
    item->nChannels = wire[40];
    item->nBitsPerSample = wire[41];
    item->nAvgBytesPerSec = MelvoWireGet32(wire + 44);
    item->nSamplesPerSec = MelvoWireGet32(wire + 48);
    item->nBlockBytes = MelvoWireGet32(wire + 52);
    item->nBlockAlignBytes = MelvoWireGet32(wire + 56);
    item->bSilence = wire[60];
    item->nCDDrive = wire[61];
    item->nCDTrack = wire[62];
    item->nLength = (int32_t)MelvoWireGet32(wire + 64);
    memcpy(item->dwFormatTag, wire + 68, 4);
    item->dwFormatTag[3] = 0;
    memcpy(item->szTitle, wire + 88, TITLE_TEXT_SIZE);
    item->szTitle[TITLE_TEXT_SIZE - 1] = 0; /* a foreign record may lack the terminator */
    item->nInfoState = wire[196];
}

#ifdef __cplusplus
}
#endif

#endif
