// A title record at rest, in about half the room of a full one: no pointers, and the title and path
// only as long as they are. A list keeps its rows packed until somebody asks for the record itself.
#pragma once

#include "MelvoPlugin.h"

#include <QString>

#include <cstdint>

struct PackedTitle;

// The record's fields, title and path; its file, decoder and queue pointers are not kept.
PackedTitle *PackTitleItem(const TitleItem &item);
// A new full record, as the packed one was made from.
TitleItem *UnpackTitleItem(const PackedTitle &packed);
// The fields and title into an existing record, which keeps its path and pointers.
void UnpackInto(const PackedTitle &packed, TitleItem &item);
PackedTitle *CopyPackedTitle(const PackedTitle &packed);
void FreePackedTitle(PackedTitle *packed);

const char *PackedPath(const PackedTitle &packed);
QString PackedTitleText(const PackedTitle &packed);
int32_t PackedLength(const PackedTitle &packed);
uint8_t PackedPlugin(const PackedTitle &packed);
uint8_t PackedCDDrive(const PackedTitle &packed);
uint8_t PackedInfoState(const PackedTitle &packed);
void SetPackedInfoState(PackedTitle &packed, uint8_t state);
