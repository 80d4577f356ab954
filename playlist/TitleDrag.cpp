// Dragging rows out of a title list and dropping titles into the playlist.
#include "TitleDrag.h"

#include "PackedTitle.h"
#include "PluginHost.h"
#include "TitleItemRecord.h"
#include "TitleItemWire.h"
#include "TitleList.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

constexpr int kPDecoderWireOffset = 188;

// A record from its wire form and the path beside it, bound to this process's plug-in.
TitleItem *RecordFromWire(const unsigned char *wire, const QString &path, bool *bCurrent) {
    TitleItem *item = AllocateTitleItem(path.toUtf8());
    if (!item)
        return nullptr;
    char *ownPath = item->pszPath;
    TitleItemFromWire(wire, item); // clears the path field with the rest
    item->pszPath = ownPath;
    *bCurrent = MelvoWireGet32(wire + kPDecoderWireOffset) == kCurrentTitleMarker;
    const uint8_t nPlugin = FindPluginForExtension(QFileInfo(path).suffix());
    item->nPlugin = nPlugin;
    item->pPlugin = PluginAt(nPlugin);
    if (!item->pPlugin) {
        FreeTitleItem(item);
        return nullptr;
    }
    return item;
}

} // namespace

QMimeData *TitleList::BuildDragData() {
    // Records the reader is still filling cannot be copied; it starts again afterwards.
    const bool bWasReading = IsReading();
    StopInfoReader();
    QList<QUrl> urls;
    QByteArray records;
    for (int r = 0; r < RowCount(); ++r) {
        if (!IsSelected(r))
            continue;
        // A packed row is written from a passing copy: a drag does not make it hold a full record.
        std::unique_ptr<TitleItem, void (*)(TitleItem *)> passing(
            m_rows[r].pItem ? nullptr : UnpackTitleItem(*m_rows[r].pPacked), &FreeTitleItem);
        if (!m_rows[r].pItem && !passing)
            continue;
        const TitleItem &item = m_rows[r].pItem ? *m_rows[r].pItem : *passing;
        urls << QUrl::fromLocalFile(TitlePath(item));
        unsigned char wire[TITLE_ITEM_WIRE_SIZE];
        TitleItemToWire(&item, wire);
        if (m_bIsPlaylist && &item == m_pMarked)
            MelvoWirePut32(wire + kPDecoderWireOffset, kCurrentTitleMarker);
        records.append(reinterpret_cast<const char *>(wire), TITLE_ITEM_WIRE_SIZE);
    }
    if (bWasReading)
        StartInfoReader(0, RowCount());
    if (urls.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setData(QString::fromLatin1(kPlaylistItemMime), records);
    return data;
}

int TitleList::InsertDropped(const QList<QUrl> &files, const QByteArray *records, int row) {
    if (row < 0) {
        const int selected = GetFirstSelected();
        row = selected < 0 ? 0 : selected + 1;
    }
    const bool bWasReading = IsReading();
    bool bUnread = false;
    int last = -1;
    for (int i = 0; i < files.size(); ++i) {
        if (!files[i].isLocalFile())
            continue;
        const QString path = files[i].toLocalFile();
        int at = -1;
        if (records && qsizetype(i + 1) * TITLE_ITEM_WIRE_SIZE <= records->size()) {
            bool bCurrent = false;
            const auto *wire = reinterpret_cast<const unsigned char *>(records->constData()) + i * TITLE_ITEM_WIRE_SIZE;
            TitleItem *item = RecordFromWire(wire, path, &bCurrent);
            if (!item)
                continue;
            if (bCurrent && m_bInternalDrag && m_pMarked && FindRow(m_pMarked) >= 0) {
                // The playing title moves. The player holds the playing record's address, so that record
                // goes to the new row and the fresh copy takes its place at the old row.
                StopInfoReader(); // the reader's queue runs through the records being swapped
                TitleItem *playing = m_pMarked;
                const int oldRow = FindRow(playing);
                item->pDecoder = playing->pDecoder;
                SwapTitleItems(*item, *playing);
                m_rows[oldRow].pItem = item;
                m_pMarked = playing;
                UpdateTitleRow(item, oldRow, false);
                item = playing;
            }
            bUnread |= LoadInfoState(*item) == INFO_NOT_READ;
            at = InsertTitleRow(item, row, false);
            if (at < 0)
                FreeTitleItem(item);
        } else {
            at = AddFile(path, row, true);
        }
        // Entries no plug-in serves take no row, so the next one goes where this one would have.
        if (at >= 0) {
            last = at;
            row = at + 1;
        }
    }
    // Rows dragged before their list had read them are read here.
    if ((bWasReading || bUnread) && !IsReading())
        StartInfoReader(0, RowCount());
    if (m_pPlayer)
        m_pPlayer->RefreshCurrentRow();
    PostRefreshTotal();
    return last;
}

int TitleList::Drop(const QMimeData *data, int row, bool bMove) {
    if (!data || !data->hasUrls()) {
        m_bInternalDrag = false;
        return -1;
    }
    const QString mime = QString::fromLatin1(kPlaylistItemMime);
    const QByteArray records = data->data(mime);
    const int last = InsertDropped(data->urls(), data->hasFormat(mime) ? &records : nullptr, row);
    TitleItem *lastItem = ItemAt(last);
    if (bMove && m_bInternalDrag) {
        // The dragged rows are still the selected ones; the new rows are not selected.
        RemoveSelected();
    }
    m_bInternalDrag = false;
    if (!lastItem)
        return -1;
    // Found by record, so it stays right however many dragged rows lay before it.
    SelectOnly(FindRow(lastItem));
    return FindRow(lastItem);
}

int TitleList::AddSelectedTo(TitleList &playlist) {
    std::unique_ptr<QMimeData> data(BuildDragData());
    if (!data)
        return -1;
    const QByteArray records = data->data(QString::fromLatin1(kPlaylistItemMime));
    const int last = playlist.InsertDropped(data->urls(), &records, playlist.RowCount());
    playlist.SelectOnly(last);
    playlist.StartInfoReader(0, playlist.RowCount());
    return last;
}

int TitleList::AddAllTo(TitleList &playlist) {
    const bool bWasReading = IsReading();
    StopInfoReader(); // no record is copied while the reader fills it
    int last = -1;
    for (int r = 0; r < RowCount(); ++r) {
        const int at = CopyRowTo(r, playlist, -1);
        if (at >= 0)
            last = at;
    }
    if (bWasReading)
        StartInfoReader(0, RowCount());
    playlist.PostRefreshTotal();
    playlist.SelectOnly(last);
    playlist.StartInfoReader(0, playlist.RowCount());
    return last;
}
