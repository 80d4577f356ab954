// What fills a title list from files: playlists, folders, renamed files; and the automatic playlist.
#include "Messages.h"
#include "PackedTitle.h"
#include "PlaylistFile.h"
#include "TitleItemRecord.h"
#include "TitleList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

bool TitleList::LoadDefaultPlaylist() {
    const QString path = DefaultPlaylistPath();
    return QFileInfo::exists(path) && LoadPlaylist(path, QStringLiteral("m3u"), false);
}

bool TitleList::SaveDefaultPlaylist() {
    const QString path = DefaultPlaylistPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SavePlaylist(path, QStringLiteral("m3u"), false);
}

void TitleList::Close() {
    StopInfoReader();
    if (m_bIsPlaylist)
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
