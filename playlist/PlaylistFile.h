// Playlist files (PLS and M3U): reading, parsing and writing, without any list behind them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Larger files are refused: whatever they hold, it is not a playlist. No list Melvo writes comes near it
// (a million titles take about 80 MB).
constexpr qint64 kMaxPlaylistBytes = qint64(256) << 20;

// What the text of a playlist gave.
struct PlaylistParse {
    bool bFormatOk = true; // false: PLS without its "[playlist]" line, or an unknown extension
    QStringList paths;     // absolute paths, in file order
    QStringList badLines;  // lines that could not be made a path
};

// One line of playlist text: UTF-8 where it is valid, otherwise Latin-1.
QString DecodePlaylistLine(QByteArrayView bytes);

// Splits at every CR and LF (runs of them are one separator) and reads the entries. The extension
// ("m3u" or "pls", any case) picks the format; relative entries resolve against baseDir.
PlaylistParse ParsePlaylist(const QByteArray &text, const QString &extension, const QString &baseDir);
// The same, handing each path over as it is read, so a long playlist is never held twice. False when
// the format is not known (or a PLS lacks its header). Lines that cannot be a path are reported one by
// one unless bShowBadLines is false.
bool ReadPlaylistEntries(const QByteArray &text, const QString &extension, const QString &baseDir,
                         const std::function<void(const QString &)> &onPath, QStringList *badLines = nullptr,
                         bool bShowBadLines = true);

// The bytes of a playlist of these paths; "m3u" and "pls" (exactly) choose the format, anything else
// gives nothing.
QByteArray ComposePlaylist(const QStringList &paths, const QString &extension);

// Reads a whole playlist file, with the messages for a file that cannot be opened (only when
// bShowErrors), is too large or cannot be read.
bool ReadPlaylistFile(const QString &path, bool bShowErrors, QByteArray &text);

// Writes the bytes so that the old file is replaced only once the new one is complete.
bool WritePlaylistFile(const QString &path, const QByteArray &bytes, bool bShowErrors);

// The automatic playlist, kept in the user's data folder.
QString DefaultPlaylistPath();
