// Lengths learnt by playing titles to their end: a plug-in that can only estimate (a VBR MP3 without a
// VBR header) reports a guess, and the guess should not come back when the title is read again.
#pragma once

#include "MelvoPlugin.h"

// Remembers the decoded length of the file as it is now (size and time of change).
void RememberDecodedLength(const char *path, int seconds);
// After a plug-in read the record: puts in the remembered length, unless the file changed since.
void ApplyDecodedLength(TitleItem *item);
