// Fuzz target: both tag types of a file read, changed, written and read back.
#include "Genres.h"
#include "TagEncoding.h"
#include "TagObject.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// A private folder (and private settings and data folders) for the run.
const QString &Folder() {
    static const QString folder = [] {
        // In memory where there is such a folder: the saves sync every file they write.
        char pattern[] = "/dev/shm/melvo-fuzz-tags-XXXXXX";
        if (access("/dev/shm", W_OK) != 0)
            std::strcpy(pattern, "/tmp/melvo-fuzz-tags-XXXXXX");
        const char *made = mkdtemp(pattern);
        if (!made)
            std::abort();
        const QString path = QString::fromLocal8Bit(made);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path));
        qputenv("XDG_DATA_HOME", QFile::encodeName(path));
        return path;
    }();
    return folder;
}

QString Text(const uint8_t *data, size_t size, size_t from, size_t length) {
    QByteArray bytes;
    for (size_t i = from; i < from + length && i < size; ++i)
        bytes += char(data[i]);
    return QString::fromUtf8(bytes);
}

void RemoveFolder() {
    QDir(Folder()).removeRecursively();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = Folder() + QStringLiteral("/input.mp3");
    // Registered after the folder's name exists, so it runs before that name is destroyed.
    static const bool bCleanUp = std::atexit(RemoveFolder) == 0;
    (void)bCleanUp;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // Texts from the input's last bytes, so the fuzzer steers what is written too.
    QString value = size > 8 ? Text(data, size, size - 8, 8) : QStringLiteral("Fuzz \u2603");
    // A NUL separates values and a leading byte-order mark is taken as one: neither reads back as given.
    value.remove(QChar(0)).remove(QChar(0xFEFF)).remove(QChar(0xFFFE));
    TconToGenre(value);
    DecodeTagText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size < 64 ? size : 64)),
                  QStringLiteral("WINDOWS-1251"));

    for (int type : {TAGTYPE_ID3V1, TAGTYPE_ID3V2}) {
        TagObject tag(type);
        if (!tag.Link(path))
            continue;
        QString text;
        for (const TagFrameInfo &info : TagFrames())
            if (tag.GetTextFrame(info.frame, text))
                TconToGenre(text);
        tag.NumFrames();
        const QString title = value.isEmpty() ? QStringLiteral("x") : value;
        // The write goes straight into the input file: the copy around it does not depend on the bytes.
        bool bUpdated = false;
        {
            TagObject writable(type);
            if (writable.Link(path, true)) {
                writable.SetTextFrame(TagFrame::Title, title);
                writable.SetTextFrame(TagFrame::Genre, value);
                writable.SetTextFrame(TagFrame::Artist, QString());
                bUpdated = writable.NumFrames() > 0 && writable.Update();
            }
        }
        // What an ID3v2 tag was given reads back as it was given.
        TagObject again(type);
        if (bUpdated && type == TAGTYPE_ID3V2 && again.Link(path) && again.HasTag() &&
            (!again.GetTextFrame(TagFrame::Title, text) || text != title)) {
            std::fprintf(stderr, "title written as \"%s\", read back as \"%s\"\n", qPrintable(title), qPrintable(text));
            QFile keep(QDir::tempPath() + QStringLiteral("/melvo-fuzz-tags-failure.mp3"));
            if (keep.open(QIODevice::WriteOnly))
                keep.write(reinterpret_cast<const char *>(data), qint64(size)), keep.close();
            std::abort();
        }
        if (again.Link(path, true))
            again.Strip();
    }
    return 0;
}
