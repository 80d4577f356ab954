// Reading the titles' formats in the background, and showing what was read one batch per tick.
#include "PluginHost.h"
#include "TitleItemRecord.h"
#include "TitleList.h"

#include "platform/Events.h"
#include <QElapsedTimer>

#include <mutex>

namespace {

std::mutex g_lookupLock;
CDTitleLookup g_lookup;

void LookUpCDTitle(TitleItem *item) {
    CDTitleLookup lookup;
    {
        std::lock_guard lock(g_lookupLock);
        lookup = g_lookup;
    }
    if (lookup)
        lookup(item->nCDDrive, item->nCDTrack, item->szTitle);
    item->szTitle[TITLE_TEXT_SIZE - 1] = 0;
}

} // namespace

void SetCDTitleLookup(CDTitleLookup lookup) {
    std::lock_guard lock(g_lookupLock);
    g_lookup = std::move(lookup);
}

namespace {

bool ReadRecord(TitleItem *item, bool bShowErrors) {
    const auto *plugin = static_cast<const PluginEntry *>(item->pPlugin);
    if (!plugin || !plugin->pfnGetFormat || !plugin->pfnGetFormat(item, bShowErrors ? 1 : 0)) {
        StoreInfoState(*item, INFO_FAILED);
        return false;
    }
    if (item->nCDDrive < TITLE_NO_CD)
        LookUpCDTitle(item);
    StoreInfoState(*item, INFO_READ);
    return true;
}

} // namespace

bool TitleList::ReadTitleInfo(TitleItem *item, bool bShowErrors) {
    // Two GetFormat calls on one record would share its file handle, so the reader lets go of a record
    // it has not read yet before anyone else reads it.
    const bool bPause = IsReading() && LoadInfoState(*item) == INFO_NOT_READ && FindRow(item) >= 0;
    if (bPause)
        StopInfoReader();
    const bool bOk = ReadRecord(item, bShowErrors);
    if (bPause)
        StartInfoReader(0, RowCount());
    return bOk;
}

void TitleList::StartInfoReader(int firstRow, int total) {
    StopInfoReader();
    if (firstRow < 0 || firstRow >= RowCount())
        return;
    for (int r = 0; r < RowCount(); ++r)
        m_rows[r].pItem->pNextPending = r + 1 < RowCount() ? m_rows[r + 1].pItem : nullptr;
    m_pReaderCursor = m_rows[firstRow].pItem;
    m_nFindHint = firstRow;
    m_bReaderStop = false;
    m_nReaderHandled = 0;
    if (!m_bIsPlaylist && total > 0)
        emit ProgressStarted(total - 1);
    m_readerTimer.start();
    TitleItem *first = m_pReaderCursor;
    m_pReaderThread = std::make_unique<WorkerThread>();
    m_pReaderThread->Start([this, first] {
        for (TitleItem *item = first; item; item = item->pNextPending) {
            if (LoadInfoState(*item) == INFO_NOT_READ)
                ReadRecord(item, false);
            ++m_nReaderHandled;
            if (m_bReaderStop)
                return;
        }
    });
}

void TitleList::StopInfoReader() {
    if (!m_pReaderThread)
        return;
    m_readerTimer.stop();
    m_bReaderStop = true;
    m_pReaderCursor = nullptr;
    // The thread looks at the stop flag after every record, so this wait ends after one GetFormat.
    m_pReaderThread->Join();
    m_pReaderThread.reset();
    if (m_bIsPlaylist)
        emit TotalChanged(m_nTotalSeconds, RowCount());
    else
        emit ProgressHidden();
}

void TitleList::OnReaderTick() {
    if (!m_pReaderCursor || LoadInfoState(*m_pReaderCursor) == INFO_NOT_READ)
        return;
    QElapsedTimer held;
    held.start();
    int first = -1, last = -1;
    while (m_pReaderCursor && LoadInfoState(*m_pReaderCursor) != INFO_NOT_READ) {
        TitleItem *item = m_pReaderCursor;
        const int row = FindRow(item);
        if (row >= 0) {
            CountRowLength(m_rows[row]);
            first = first < 0 ? row : std::min(first, row);
            last = std::max(last, row);
        }
        StoreInfoState(*item, INFO_SHOWN);
        m_pReaderCursor = item->pNextPending;
    }
    // One repaint for the whole batch keeps the tick short however many titles arrived.
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, 1));
    if (!m_bIsPlaylist)
        emit ProgressMoved(m_nReaderHandled);
    m_nLongestTickMs = std::max(m_nLongestTickMs, held.elapsed());
    if (!m_pReaderCursor) {
        if (!m_bIsPlaylist && GetFirstSelected() < 0 && RowCount() > 0)
            SelectOnly(0);
        StopInfoReader();
    } else if (m_bIsPlaylist) {
        PostRefreshTotal();
    }
}

void TitleList::RefreshCDTitles() {
    const bool bWasReading = IsReading();
    StopInfoReader();
    for (int r = 0; r < RowCount(); ++r) {
        TitleItem *item = m_rows[r].pItem;
        if (item->nCDDrive < TITLE_NO_CD) {
            ReadTitleInfo(item, false);
            UpdateTitleRow(item, r, m_bIsPlaylist && item == m_pMarked);
        }
    }
    if (bWasReading)
        StartInfoReader(0, RowCount());
}
