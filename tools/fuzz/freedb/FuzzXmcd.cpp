// Fuzz target: random bytes as a title file and as a database file, read as the lists and the
// local database search read them.
#include "TitleFile.h"
#include "Xmcd.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

bool IsUtf8(const char *text) {
    return QString::fromUtf8(text).toUtf8() == QByteArray(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // In memory: the reader only needs a stream it can seek.
    std::vector<char> bytes(data, data + size);
    bytes.push_back(0);
    FILE *file = fmemopen(bytes.data(), size ? size : 1, "rb");
    if (!file)
        return 0;
    const uint32_t limit = size ? data[0] % 12 : 0;
    for (int track = 1; track <= 3; ++track) {
        char title[100];
        std::memset(title, 'z', sizeof title);
        GetTrackTitle(track, title, sizeof title, file, limit);
        if (!std::memchr(title, 0, sizeof title) || !IsUtf8(title))
            std::abort();
        if (std::ftell(file) != 0)
            std::abort(); // readers put the position back
    }
    std::fclose(file);

    // The same bytes as a file of the local database.
    static const QString path =
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/melvo-fuzz-xmcd-%1").arg(getpid());
    ::unlink(path.toLocal8Bit().constData()); // rewriting a truncated file would wait for the disk
    if (FILE *out = std::fopen(path.toLocal8Bit().constData(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
        uint32_t lines = 0;
        if (FILE *record = FindDatabaseRecord(path, 0x7a000001, &lines)) {
            const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
            if (lines > uint32_t(text.count('\n')) + 1)
                std::abort();
            ReadXmcdValue(record, QStringLiteral("DTITLE"), lines);
            std::fclose(record);
        }
    }
    return 0;
}
