// What fills a title list from files: playlists, folders, renamed files; and the automatic playlist.
#include "Messages.h"
#include "PackedTitle.h"
#include "PlaylistFile.h"
#include "TitleItemRecord.h"
#include "TitleList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>

bool TitleList::LoadPlaylist(const QString &path, const QString &extension, bool bShowErrors) {
    QByteArray text;
    if (!ReadPlaylistFile(path, bShowErrors, text))
        return false;
    // Relative entries belong to the playlist's folder, wherever the program was started.
    std::vector<PackedTitle *> records;
    const bool bFormatOk =
        ReadPlaylistEntries(text, extension, QFileInfo(path).absolutePath(), [this, &records](const QString &entry) {
            if (PackedTitle *packed = CreatePackedRecord(entry))
                records.push_back(packed);
        });
    text = QByteArray();
    if (!bFormatOk)
        ShowError(61304, 0, path, ERR_STYLE_DETAIL);
    AppendRecords(records);
    if (RowCount() > 0)
        StartInfoReader(0, RowCount());
    return true;
}

bool TitleList::SavePlaylist(const QString &path, const QString &extension, bool bShowErrors) {
    QStringList paths;
    paths.reserve(RowCount());
    for (int r = 0; r < RowCount(); ++r)
        paths << RowPath(r);
    return WritePlaylistFile(path, ComposePlaylist(paths, extension), bShowErrors);
}

namespace {
// A slice of the default playlist: whole lines of about this many bytes, as many as fit in the time.
constexpr qsizetype kSliceBytes = 4096;
constexpr qint64 kSliceMs = 8;
} // namespace

struct TitleList::DefaultLoad {
    QByteArray text;
    qsizetype nPos = 0;
    QString strBaseDir;
    qsizetype nEntries = 0;
    qsizetype nRecords = 0;
    bool bBadLines = false;
    std::function<void()> onLoaded;
};

bool TitleList::LoadDefaultPlaylist(std::function<void()> onLoaded) {
    const QString path = DefaultPlaylistPath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        m_bDefaultTaken = true; // nothing there to lose
        if (onLoaded)
            onLoaded();
        return false;
    }
    auto load = std::make_shared<DefaultLoad>();
    if (!info.isFile() || !ReadPlaylistFile(path, false, load->text)) {
        KeepDefaultBeside(nullptr);
        if (onLoaded)
            onLoaded();
        return false;
    }
    load->strBaseDir = info.absolutePath();
    load->onLoaded = std::move(onLoaded);
    m_pDefaultLoad = load;
    if (m_pDefaultLoad->onLoaded)
        QTimer::singleShot(0, this, [this] { LoadDefaultSlice(); });
    else
        LoadDefaultSlice();
    return true;
}

void TitleList::LoadDefaultSlice() {
    DefaultLoad *load = m_pDefaultLoad.get();
    if (!load)
        return;
    const bool bAll = !load->onLoaded;
    const QByteArray &text = load->text;
    QElapsedTimer clock;
    clock.start();
    std::vector<PackedTitle *> records;
    while (load->nPos < text.size() && (bAll || clock.elapsed() < kSliceMs)) {
        // M3U lines stand alone, so a piece of whole lines reads as the file would.
        qsizetype end = std::min(text.size(), load->nPos + kSliceBytes);
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        QStringList badLines;
        ReadPlaylistEntries(
            QByteArray::fromRawData(text.constData() + load->nPos, end - load->nPos), QStringLiteral("m3u"),
            load->strBaseDir,
            [this, load, &records](const QString &entry) {
                // Every entry must come back, or the save at the end would drop the ones that did not.
                ++load->nEntries;
                if (PackedTitle *packed = CreatePackedRecord(entry))
                    records.push_back(packed);
            },
            &badLines, false);
        load->bBadLines = load->bBadLines || !badLines.isEmpty();
        load->nPos = end;
    }
    load->nRecords += qsizetype(records.size());
    AppendRecords(records);
    if (load->nPos < text.size())
        QTimer::singleShot(0, this, [this] { LoadDefaultSlice(); });
    else
        EndDefaultLoad(true);
}

void TitleList::EndDefaultLoad(bool bComplete) {
    const std::shared_ptr<DefaultLoad> load = std::move(m_pDefaultLoad);
    if (!bComplete)
        m_bDefaultTaken = true; // cleared by the user before it was all in
    else if (!load->bBadLines && load->nRecords == load->nEntries)
        m_bDefaultTaken = true;
    else
        KeepDefaultBeside(&load->text);
    if (bComplete && RowCount() > 0)
        StartInfoReader(0, RowCount());
    // From the event loop: the list may be in the middle of clearing itself.
    if (load->onLoaded)
        QTimer::singleShot(0, this, load->onLoaded);
}

// Kept beside before anything can be saved over it: a copy of what was read, or the file itself.
void TitleList::KeepDefaultBeside(const QByteArray *read) {
    const QString path = DefaultPlaylistPath();
    const QString bad = path + QStringLiteral(".bad");
    m_bDefaultTaken = read ? WritePlaylistFile(bad, *read, false)
                           : ::rename(QFile::encodeName(path).constData(), QFile::encodeName(bad).constData()) == 0;
    if (m_bDefaultTaken)
        ShowError(62011, 0, bad, ERR_STYLE_DETAIL);
}

bool TitleList::SaveDefaultPlaylist() {
    const QString path = DefaultPlaylistPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SavePlaylist(path, QStringLiteral("m3u"), false);
}

void TitleList::Close() {
    // A default playlist cut short while it came in stays on disk as it was.
    m_pDefaultLoad.reset();
    StopInfoReader();
    const QFileInfo stored(DefaultPlaylistPath());
    if (m_bIsPlaylist && (m_bDefaultTaken || (!stored.exists() && !stored.isSymLink())))
        SaveDefaultPlaylist();
    DeleteAllRows();
}

void TitleList::ShowFolder(const QString &folder) {
    namespace fs = std::filesystem;
    StopInfoReader();
    DeleteAllRows();
    QStringList paths;
    if (folder.isEmpty()) {
        ShowFolderItems(paths);
        return;
    }
    std::error_code ec;
    fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        paths << QFile::decodeName(QByteArray::fromStdString(it->path().native()));
    }
    if (ec)
        ShowSystemError(ec.value(), QStringLiteral("IEnumIDList::Next"));
    std::sort(paths.begin(), paths.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ShowFolderItems(paths);
}

void TitleList::ShowFolderItems(const QStringList &paths) {
    StopInfoReader();
    DeleteAllRows();
    std::vector<PackedTitle *> records;
    for (const QString &path : paths) {
        if (PackedTitle *packed = CreatePackedRecord(path))
            records.push_back(packed);
    }
    if (m_bSortAscending) {
        std::vector<std::pair<QString, PackedTitle *>> keyed;
        keyed.reserve(records.size());
        for (PackedTitle *packed : records)
            keyed.emplace_back(PackedTitleText(*packed), packed);
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
            return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            records[i] = keyed[i].second;
    }
    AppendRecords(records);
    emit FolderShown(RowCount() > 0);
    if (RowCount() > 0)
        StartInfoReader(0, RowCount());
}

void TitleList::RenameTitlePath(const QString &oldPath, const QString &newPath) {
    // Paths are compared exactly: two names that differ in case are two files here.
    if (oldPath == newPath)
        return;
    const bool bWasReading = IsReading();
    StopInfoReader(); // the reader must not hold a path that is about to be freed
    for (int r = 0; r < RowCount(); ++r) {
        if (RowPath(r) != oldPath)
            continue;
        TitleItem *item = ItemAt(r);
        if (!item || !SetTitleItemPath(*item, newPath))
            continue;
        ReadTitleInfo(item, false);
        const bool bMarked = m_bIsPlaylist && item == m_pMarked;
        UpdateTitleRow(item, r, bMarked);
        if (bMarked && m_pPlayer)
            m_pPlayer->ShowCurrentTitle(TitleText(*item));
        if (!m_bIsPlaylist) {
            PlaceSortedRows({r});
            break;
        }
    }
    if (bWasReading)
        StartInfoReader(0, RowCount());
}

void TitleList::RemoveSelected() {
    if (GetFirstSelected() < 0)
        return;
    if (m_pMarked && IsSelected(FindRow(m_pMarked)) && m_pPlayer)
        m_pPlayer->StopPlayback();
    const bool bWasReading = IsReading();
    int last = -1;
    for (int r = GetFirstSelected(); r >= 0; r = GetFirstSelected()) {
        if (!DeleteTitleRow(r))
            break;
        last = r;
    }
    if (RowCount() == 0)
        m_nTotalSeconds = 0;
    if (m_pPlayer)
        m_pPlayer->RefreshCurrentRow();
    PostRefreshTotal();
    if (bWasReading && RowCount() > 0)
        StartInfoReader(0, RowCount());
    SelectOnly(std::min(last, RowCount() - 1));
}

void TitleList::RemoveAll() {
    if (m_pMarked && m_pPlayer)
        m_pPlayer->StopPlayback();
    DeleteAllRows();
    m_nTotalSeconds = 0;
    PostRefreshTotal();
}

bool TitleList::ReplaceWithPlaylist(const QString &path) {
    if (m_pPlayer)
        m_pPlayer->StopPlayback();
    DeleteAllRows();
    PostRefreshTotal();
    return LoadPlaylist(path, QFileInfo(path).suffix(), true);
}
