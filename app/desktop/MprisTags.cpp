// Reading the three texts through TagLib, once per title.
#include "MprisTags.h"

#include <QFile>

#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace {

QString Text(const TagLib::String &s) {
    return QString::fromStdWString(s.toWString()).trimmed();
}

} // namespace

MprisFileTags ReadMprisTags(const QString &path) {
    MprisFileTags tags;
    const TagLib::FileRef file(QFile::encodeName(path).constData(), false);
    if (file.isNull() || !file.tag())
        return tags;
    tags.strTitle = Text(file.tag()->title());
    tags.strArtist = Text(file.tag()->artist());
    tags.strAlbum = Text(file.tag()->album());
    return tags;
}
