// Finding a disc's title file in the cache and the packed local database, and keeping it per drive.
#include "TitleFile.h"

#include "Helpers.h"
#include "Messages.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

namespace {

std::mutex g_folderLock;
QString g_strCache;
QString g_strDatabase;

QByteArray Marker(uint32_t dwDiscID) {
    return "#FILENAME=" + QByteArray::number(dwDiscID, 16).rightJustified(8, '0');
}

// Hex value of up to two characters; it stops at the first that is no hex digit.
int HexPrefix(const QByteArray &text) {
    int value = 0;
    for (qsizetype i = 0; i < text.size() && i < 2; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

// Scans a file in large blocks: records are found with memmem, as fast as grep would.
class BlockScanner {
public:
    explicit BlockScanner(int fd) : m_fd(fd) {
        // One buffer per thread, kept: a lookup runs through several files.
        thread_local std::unique_ptr<char[]> buffer(new char[kBlock]);
        m_buffer = buffer.get();
    }

    // The offset of the first occurrence of the needle at or after `from`, or -1.
    off_t Find(const QByteArray &needle, off_t from) {
        const size_t keep = size_t(needle.size()) - 1;
        for (off_t at = from;;) {
            const ssize_t got = pread(m_fd, m_buffer, kBlock, at);
            if (got <= 0 || size_t(got) < size_t(needle.size()))
                return -1;
            if (const void *hit = memmem(m_buffer, size_t(got), needle.constData(), size_t(needle.size())))
                return at + (static_cast<const char *>(hit) - m_buffer);
            if (size_t(got) < kBlock)
                return -1;
            at += off_t(size_t(got) - keep); // a needle across the block edge is found in the next block
        }
    }
    // The offset behind the LF that ends the line holding `at` (the file's size when none does), and
    // the number of LFs from `from` up to that point.
    off_t LineEnd(off_t at, off_t from, uint32_t *pLines) {
        uint32_t lines = 0;
        bool bOpenLine = false; // bytes after the last LF
        for (off_t pos = from;;) {
            const ssize_t got = pread(m_fd, m_buffer, kBlock, pos);
            if (got <= 0) {
                if (pLines)
                    *pLines = lines + (bOpenLine ? 1 : 0);
                return pos;
            }
            const char *p = m_buffer;
            const char *end = p + got;
            while (const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))) {
                ++lines;
                const off_t behind = pos + (lf + 1 - m_buffer);
                if (behind > at) {
                    if (pLines)
                        *pLines = lines;
                    return behind;
                }
                p = lf + 1;
            }
            bOpenLine = p < end;
            pos += got;
        }
    }

private:
    static constexpr size_t kBlock = 256 << 10;
    int m_fd;
    char *m_buffer; // not zeroed: pread fills what is read
};

} // namespace

void SetFreedbFolders(const QString &strCache, const QString &strDatabase) {
    std::lock_guard lock(g_folderLock);
    g_strCache = strCache;
    g_strDatabase = strDatabase;
}

QString FreedbCacheFolder() {
    std::lock_guard lock(g_folderLock);
    return g_strCache;
}

QString FreedbDatabaseFolder() {
    std::lock_guard lock(g_folderLock);
    return g_strDatabase;
}

const QStringList &FreedbCategories() {
    static const QStringList categories{"blues", "classical", "country", "data", "folk",      "jazz",
                                        "misc",  "newage",    "reggae",  "rock", "soundtrack"};
    return categories;
}

std::mutex &TitleFileLock() {
    static std::mutex lock;
    return lock;
}

FILE *FindDatabaseRecord(const QString &path, uint32_t dwDiscID, uint32_t *pLineCount) {
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        ShowError(61306, 0, path, ERR_STYLE_TEXT_DETAIL);
        return nullptr;
    }
    BlockScanner scan(fileno(file));
    const off_t hit = scan.Find(Marker(dwDiscID), 0);
    if (hit < 0) {
        std::fclose(file);
        return nullptr;
    }
    const off_t start = scan.LineEnd(hit, hit, nullptr);
    // The record runs to the line with the next marker (counted) or to the end of the file.
    const off_t next = scan.Find(QByteArrayLiteral("#FILENAME="), start);
    uint32_t lines = 0;
    scan.LineEnd(next >= 0 ? next : std::numeric_limits<off_t>::max(), start, &lines);
    fseeko(file, start, SEEK_SET);
    char *line = nullptr;
    size_t capacity = 0;
    if (getline(&line, &capacity, file) < 0)
        clearerr(file); // an empty record: nothing to drop
    std::free(line);
    if (pLineCount)
        *pLineCount = lines;
    return file;
}

FILE *SearchLocalDatabase(uint32_t dwDiscID, const QString &category, uint32_t *pLineCount) {
    const QString root = FreedbDatabaseFolder();
    const QString folder = root + QLatin1Char('/') + category;
    if (!EnsureFolder(root) || !EnsureFolder(folder))
        return nullptr;
    const int first = int(dwDiscID >> 24);
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        const QByteArray name = QByteArray::fromStdString(it->path().filename().native());
        const int lo = HexPrefix(name.left(2));
        const int hi = HexPrefix(name.right(2));
        if (lo <= first && first <= hi)
            if (FILE *file = FindDatabaseRecord(QFile::decodeName(QByteArray::fromStdString(it->path().native())),
                                                dwDiscID, pLineCount))
                return file;
    }
    return nullptr;
}

FILE *OpenTitleFile(uint32_t dwDiscID, uint32_t *pLineCount) {
    if (pLineCount)
        *pLineCount = 0;
    const QString cache = FreedbCacheFolder();
    if (dwDiscID == 0 || cache.isEmpty() || !EnsureFolder(cache))
        return nullptr;
    const QString name = cache + QStringLiteral("/%1").arg(dwDiscID, 8, 16, QLatin1Char('0'));
    if (FILE *file = std::fopen(QFile::encodeName(name).constData(), "rb"))
        return file;
    if (FreedbDatabaseFolder().isEmpty())
        return nullptr;
    for (const QString &category : FreedbCategories())
        if (FILE *file = SearchLocalDatabase(dwDiscID, category, pLineCount))
            return file;
    return nullptr;
}

void ReplaceTitleFile(uint8_t nDrive, FILE *file, uint32_t nLineCount) {
    std::lock_guard lock(TitleFileLock());
    if (FILE *old = GetFile(nDrive, nullptr))
        std::fclose(old);
    SetFile(nDrive, file, nLineCount);
}

void LoadTitleFile(uint8_t nDrive) {
    NewCD(nDrive);
    const uint32_t id = GetDiscID(nDrive);
    ReplaceTitleFile(nDrive, nullptr, 0); // the old disc's file goes first, whatever is found
    uint32_t lines = 0;
    FILE *file = OpenTitleFile(id, &lines);
    ReplaceTitleFile(nDrive, file, lines);
}

FILE *WriteCacheFile(uint32_t dwDiscID, const ResponseLines &lines) {
    QByteArray text = Marker(dwDiscID) + '\n';
    for (const QByteArray &line : lines)
        text += line + '\n';
    const QString cache = FreedbCacheFolder();
    if (!cache.isEmpty() && EnsureFolder(cache)) {
        const QString name = cache + QStringLiteral("/%1").arg(dwDiscID, 8, 16, QLatin1Char('0'));
        const QByteArray temp = QFile::encodeName(name + QStringLiteral(".tmp"));
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            bool ok = true;
            for (qsizetype done = 0; ok && done < text.size();) {
                const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
                ok = n > 0;
                done += n > 0 ? n : 0;
            }
            ok = ::fsync(fd) == 0 && ok;
            ok = ::close(fd) == 0 && ok;
            if (ok && std::rename(temp.constData(), QFile::encodeName(name).constData()) == 0)
                if (FILE *file = std::fopen(QFile::encodeName(name).constData(), "rb"))
                    return file;
            ::unlink(temp.constData());
        }
    }
    FILE *file = std::tmpfile();
    if (file) {
        std::fwrite(text.constData(), 1, size_t(text.size()), file);
        std::rewind(file);
    }
    return file;
}

bool LookUpCDTitle(uint8_t nDrive, uint8_t nTrack, char *szTitle, size_t nSize) {
    QString title;
    {
        std::lock_guard lock(TitleFileLock());
        uint32_t lines = 0;
        FILE *file = GetFile(nDrive, &lines);
        if (!file)
            return false;
        title = TrackTitleText(nTrack, file, lines);
    }
    CopyUtf8Cut(title, szTitle, nSize);
    return true;
}

QString CDTrackTitle(uint8_t nDrive, int nTrack) {
    std::lock_guard lock(TitleFileLock());
    uint32_t lines = 0;
    return TrackTitleText(nTrack, GetFile(nDrive, &lines), lines);
}

void CopyUtf8Cut(const QString &text, char *buffer, size_t nSize) {
    if (!buffer || nSize == 0)
        return;
    const QByteArray utf8 = text.toUtf8();
    size_t n = std::min(size_t(utf8.size()), nSize - 1);
    // Back off continuation bytes so a character is never split.
    if (n < size_t(utf8.size()))
        while (n > 0 && (uchar(utf8[qsizetype(n)]) & 0xC0) == 0x80)
            --n;
    std::memcpy(buffer, utf8.constData(), n);
    buffer[n] = 0;
}
