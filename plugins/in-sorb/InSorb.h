// What the parts of the MP3 plug-in share: its messages, its lock, the tag reader.
#pragma once

#include "MelvoPlugin.h"

#include <mutex>

// The plug-in's texts, by id 1..6.
enum : int {
    IDS_INIT_FAILED = 1,
    IDS_NO_FRAME = 2,
    IDS_BAD_HEADER = 3,
    IDS_BAD_BITRATE = 4,
    IDS_BAD_LAYER = 5,
    IDS_UNKNOWN = 6,
};

// "%s (%s): %s" with the function name, the path and the text of id, in a message box through the
// program; nothing when showErrors is 0. Returns 1 when shown.
int ShowPluginError(int id, const char *function, const char *path, int showErrors);

// Guards the tag reader, which title-list workers and the GUI thread use at once.
std::mutex &TagLock();

// Reads the tag sizes (dwDataStart = bytes in front, dwDataEnd = bytes behind) and, with bUseTags,
// the display title. file is the item's open file (the common plain tag is read from it), or null.
// 0 when the file could not be read.
int ReadTitleTags(TitleItem *item, void *file);

// The complete size of an ID3v2 tag starting at bytes (10 header bytes), or 0 when there is none.
unsigned long Id3v2TagSize(const unsigned char *bytes, unsigned long count);
