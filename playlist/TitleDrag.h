// The private drag format of title lists: the dragged rows' records beside the standard URI list.
#pragma once

#include <QByteArray>

// A sequence of fixed 204-byte records, one per dragged row, in row order, no header.
inline constexpr char kPlaylistItemMime[] = "application/x-melvo-playlist-item";
// Stored in a record's pDecoder field when the row is the player's current title.
constexpr unsigned kCurrentTitleMarker = 255;
