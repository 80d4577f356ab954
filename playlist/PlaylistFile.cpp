// Playlist files (PLS and M3U): reading, parsing and writing.
#include "PlaylistFile.h"

#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace {

// Longest path the file system takes; anything longer cannot name a file.
constexpr int kMaxPathBytes = 4095;

// Makes an entry absolute; an empty result means it cannot be a path.
QString AbsoluteEntry(const QString &entry, const QDir &base) {
    if (entry.isEmpty() || entry.contains(QChar(0)) || entry.toUtf8().size() > kMaxPathBytes)
        return QString();
    // Joined by hand: QDir would take an entry starting with ':' for a resource, not a file.
    const QString joined = entry.startsWith(QLatin1Char('/')) ? entry : base.absolutePath() + QLatin1Char('/') + entry;
    return QDir::cleanPath(joined);
}

// Calls onLine for every line; runs of CR and LF are one separator.
template <typename F> void ForEachLine(const QByteArray &text, F onLine) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i == n || text[i] == '\r' || text[i] == '\n') {
            if (i > start && !onLine(QByteArrayView(text.constData() + start, i - start)))
                return;
            start = i + 1;
        }
    }
}

} // namespace

QString DecodePlaylistLine(QByteArrayView bytes) {
    // The decoder also drops a byte-order mark, which editors put in front of UTF-8 text.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes.data(), bytes.size());
    return text;
}

bool ReadPlaylistEntries(const QByteArray &text, const QString &extension, const QString &baseDir,
                         const std::function<void(const QString &)> &onPath, QStringList *badLines,
                         bool bShowBadLines) {
    const QDir base(baseDir);
    auto add = [&](const QString &entry) {
        const QString path = AbsoluteEntry(entry, base);
        if (path.isEmpty()) {
            if (bShowBadLines)
                ShowError(61305, 0, entry, ERR_STYLE_DETAIL);
            if (badLines)
                *badLines << entry;
            return;
        }
        onPath(path);
    };
    const QString format = extension.toLower();
    if (format == QLatin1String("m3u")) {
        ForEachLine(text, [&](QByteArrayView line) {
            if (!line.startsWith('#'))
                add(DecodePlaylistLine(line));
            return true;
        });
        return true;
    }
    if (format != QLatin1String("pls"))
        return false;
    // Keys are matched without regard to case; the path after the key keeps its own.
    bool bHeader = false, bFirst = true;
    int nEntry = 1;
    ForEachLine(text, [&](QByteArrayView bytes) {
        const QString line = DecodePlaylistLine(bytes);
        if (bFirst) {
            bFirst = false;
            bHeader = line.toLower() == QLatin1String("[playlist]");
            return bHeader;
        }
        const QString key = QStringLiteral("file%1=").arg(nEntry);
        const qsizetype at = line.indexOf(key, 0, Qt::CaseInsensitive);
        if (at >= 0) {
            add(line.mid(at + key.size()));
            ++nEntry;
        }
        return true;
    });
    return bHeader;
}

PlaylistParse ParsePlaylist(const QByteArray &text, const QString &extension, const QString &baseDir) {
    PlaylistParse result;
    result.bFormatOk = ReadPlaylistEntries(
        text, extension, baseDir, [&result](const QString &path) { result.paths << path; }, &result.badLines);
    return result;
}

QByteArray ComposePlaylist(const QStringList &paths, const QString &extension) {
    QByteArray out;
    if (extension == QLatin1String("m3u")) {
        for (const QString &path : paths)
            out += path.toUtf8() + "\r\n";
    } else if (extension == QLatin1String("pls")) {
        out += "[playlist]\r\n";
        for (int i = 0; i < paths.size(); ++i)
            out += "File" + QByteArray::number(i + 1) + '=' + paths[i].toUtf8() + "\r\n";
        out += "NumberOfEntries=" + QByteArray::number(paths.size());
    }
    return out;
}

bool ReadPlaylistFile(const QString &path, bool bShowErrors, QByteArray &text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (bShowErrors)
            ShowError(61306, 0, path, ERR_STYLE_DETAIL);
        return false;
    }
    if (file.size() > kMaxPlaylistBytes) {
        ShowError(4, 0, path, ERR_STYLE_DETAIL);
        return false;
    }
    // One byte more than the size, so a file that grew past the limit since the check is still refused;
    // reading the limit itself would reserve its full size for every small playlist.
    text = file.read(file.size() + 1);
    if (file.error() != QFileDevice::NoError) {
        ShowError(61307, 0, path, ERR_STYLE_DETAIL);
        return false;
    }
    if (text.size() > kMaxPlaylistBytes) {
        ShowError(4, 0, path, ERR_STYLE_DETAIL);
        return false;
    }
    return true;
}

bool WritePlaylistFile(const QString &path, const QByteArray &bytes, bool bShowErrors) {
    QSaveFile file(path);
    const bool bOk = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!bOk) {
        file.cancelWriting();
        if (bShowErrors)
            ShowError(61299, 0, path, ERR_STYLE_DETAIL);
    }
    return bOk;
}

QString DefaultPlaylistPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/default.std");
}
