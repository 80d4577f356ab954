// One fuzzing step for the playlist reader, shared by the libFuzzer target and the unit tests.
#pragma once

#include "PlaylistFile.h"

#include <QDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The first byte picks the format (even: PLS, odd: M3U), the rest is the file's text. Whatever the
// bytes, every entry that comes out is a clean absolute path.
inline void FuzzPlaylistOnce(const uint8_t *data, size_t size) {
    if (size == 0)
        return;
    const QString extension = (data[0] & 1) ? QStringLiteral("m3u") : QStringLiteral("pls");
    const QByteArray text(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const PlaylistParse parse = ParsePlaylist(text, extension, QStringLiteral("/fuzz/base"));
    for (const QString &path : parse.paths) {
        if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path) {
            fprintf(stderr, "BAD PATH [%s] from [%s]\n", qPrintable(path), text.toHex().constData());
            std::abort();
        }
    }
    if (parse.paths.size() + parse.badLines.size() > text.count('\n') + text.count('\r') + 1) {
        fprintf(stderr, "BAD COUNT\n");
        std::abort();
    }
}
