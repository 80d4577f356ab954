// The tag texts a desktop widget shows for a file: title, artist, album.
#pragma once

#include <QString>

struct MprisFileTags {
    QString strTitle, strArtist, strAlbum;
};

// Empty texts for a file without tags or one that cannot be read.
MprisFileTags ReadMprisTags(const QString &path);
