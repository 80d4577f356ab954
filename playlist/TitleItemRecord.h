// Title records as the lists own them: creation from a path, copies, freeing, and their row texts.
#pragma once

#include "MelvoPlugin.h"

#include <QString>

#include <cstdint>

// A new zero-filled record bound to the plug-in serving the path's extension, or nullptr when the
// path has no extension or no plug-in serves it.
TitleItem *CreateTitleItem(const QString &path, bool bUseTags);
// A zero-filled record holding the UTF-8 path, unbound.
TitleItem *AllocateTitleItem(const QByteArray &path);
// A record with its own copy of the path, outside any reader queue.
TitleItem *CopyTitleItem(const TitleItem &item);
void FreeTitleItem(TitleItem *item);
// Exchanges everything two records hold, their paths included, while each keeps its own storage.
void SwapTitleItems(TitleItem &a, TitleItem &b);

// Gives the record a new path and the title a new record would get from it.
bool SetTitleItemPath(TitleItem &item, const QString &path);
// The file name without its last four characters, at most 99 bytes of UTF-8.
void SetInitialTitle(TitleItem &item, const QString &path);
// The title SetInitialTitle gives the record's path, without touching the record's own title.
QString InitialTitleText(const TitleItem &item);

QString TitlePath(const TitleItem &item);
QString TitleText(const TitleItem &item);

// "%.2d:%.2d" with minutes that are never split into hours, or "??.??" while the length is unknown.
QString FormatLength(int nSeconds);
// The title column: "> %s <" around the title for the player's current title.
QString RowTitleText(const TitleItem &item, bool bMarked);

// nInfoState crosses between the reader thread and the GUI thread.
uint8_t LoadInfoState(const TitleItem &item);
void StoreInfoState(TitleItem &item, uint8_t state);
