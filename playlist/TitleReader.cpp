// Reading the titles' formats in the background, and showing what was read one batch per tick.
#include "DecodedLengths.h"
#include "PackedTitle.h"
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
    else
        ApplyDecodedLength(item);
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

namespace {

constexpr size_t kReadSlots = 128;
constexpr uintptr_t kPackedTag = 1;

} // namespace

void TitleList::StartInfoReader(int firstRow, int total) {
    StopInfoReader();
    if (firstRow < 0 || firstRow >= RowCount())
        return;
    m_readQueue.clear();
    for (int r = firstRow; r < RowCount(); ++r) {
        const Row &row = m_rows[r];
        // Full records someone else has read are queued too: the tick counts and shows them.
        if (row.pItem) {
            if (LoadInfoState(*row.pItem) != INFO_SHOWN)
                m_readQueue.push_back(reinterpret_cast<uintptr_t>(row.pItem));
        } else if (PackedInfoState(*row.pPacked) == INFO_NOT_READ) {
            m_readQueue.push_back(reinterpret_cast<uintptr_t>(row.pPacked) | kPackedTag);
        } else {
            SetPackedInfoState(*row.pPacked, INFO_SHOWN); // counted since it came in
        }
    }
    m_nTakenIn = 0;
    m_nFindHint = m_nPackedHint = firstRow;
    m_bReaderStop = false;
    m_bDrainPosted = false;
    m_nReaderHandled = 0;
    if (m_slots.size() != kReadSlots)
        m_slots.assign(kReadSlots, ReadSlot());
    m_nSlotHead = m_nSlotTail = m_nSlotsFilled = 0;
    if (!m_bIsPlaylist && total > 0)
        emit ProgressStarted(total - 1);
    m_readerTimer.start();
    m_pReaderThread = std::make_unique<WorkerThread>();
    m_pReaderThread->Start([this] { ReadQueue(); });
}

// The reader thread.
void TitleList::ReadQueue() {
    for (size_t i = 0; i < m_readQueue.size(); ++i) {
        const uintptr_t entry = m_readQueue[i];
        if (!(entry & kPackedTag)) {
            auto *item = reinterpret_cast<TitleItem *>(entry);
            if (LoadInfoState(*item) == INFO_NOT_READ)
                ReadRecord(item, false);
        } else {
            const auto *packed = reinterpret_cast<const PackedTitle *>(entry & ~kPackedTag);
            size_t slotIndex;
            {
                std::unique_lock lock(m_slotLock);
                m_slotFreed.wait(lock, [this] { return m_bReaderStop || m_nSlotsFilled < m_slots.size(); });
                if (m_bReaderStop)
                    return;
                slotIndex = m_nSlotTail;
                m_nSlotTail = (m_nSlotTail + 1) % m_slots.size();
            }
            // The slot is the thread's until it is counted as filled.
            ReadSlot &slot = m_slots[slotIndex];
            slot.pKey = packed;
            slot.record = TitleItem{};
            UnpackInto(*packed, slot.record);
            slot.record.pszPath = const_cast<char *>(PackedPath(*packed)); // only read, and it outlives the slot
            ReadRecord(&slot.record, false);
            size_t filled;
            {
                std::lock_guard lock(m_slotLock);
                filled = ++m_nSlotsFilled;
            }
            // Half the ring full: the GUI thread takes the batch in now rather than at its next tick.
            if (filled >= m_slots.size() / 2)
                RequestDrain();
        }
        m_nReaderHandled.store(int(i + 1), std::memory_order_release);
        if (m_bReaderStop)
            return;
    }
}

void TitleList::RequestDrain() {
    if (m_bDrainPosted.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bDrainPosted = false;
            OnReaderTick();
        },
        Qt::QueuedConnection);
}

void TitleList::StopInfoReader() {
    if (!m_pReaderThread)
        return;
    m_readerTimer.stop();
    {
        std::lock_guard lock(m_slotLock);
        m_bReaderStop = true;
    }
    m_slotFreed.notify_all();
    // The thread looks at the stop flag after every record, so this wait ends after one GetFormat.
    m_pReaderThread->Join();
    // What was read is kept; rows unpacked meanwhile let go of their packed records.
    int first = -1, last = -1;
    if (TakeInReadTitles(first, last))
        emit dataChanged(index(first, 0), index(last, 1));
    for (Row &row : m_rows) {
        if (row.pItem && row.pPacked) {
            FreePackedTitle(row.pPacked);
            row.pPacked = nullptr;
        }
    }
    m_pReaderThread.reset();
    m_readQueue.clear();
    m_readQueue.shrink_to_fit();
    if (m_bIsPlaylist)
        emit TotalChanged(m_nTotalSeconds, RowCount());
    else
        emit ProgressHidden();
}

// Shows the records the thread has finished since the last call; true with the rows' range when any.
bool TitleList::TakeInReadTitles(int &first, int &last) {
    const size_t handled = size_t(m_nReaderHandled.load(std::memory_order_acquire));
    first = -1, last = -1;
    std::vector<int> touched;
    auto touch = [this, &first, &last, &touched](int row) {
        first = first < 0 ? row : std::min(first, row);
        last = std::max(last, row);
        if (m_bSortAscending)
            touched.push_back(row);
    };
    for (; m_nTakenIn < handled; ++m_nTakenIn) {
        const uintptr_t entry = m_readQueue[m_nTakenIn];
        if (!(entry & kPackedTag)) {
            auto *item = reinterpret_cast<TitleItem *>(entry);
            const int row = FindRow(item);
            if (row >= 0) {
                CountRowLength(m_rows[row]);
                touch(row);
            }
            StoreInfoState(*item, INFO_SHOWN);
            continue;
        }
        ReadSlot &slot = m_slots[m_nSlotHead];
        const int row = FindPackedRow(slot.pKey);
        if (row >= 0) {
            Row &entryRow = m_rows[row];
            StoreInfoState(slot.record, INFO_SHOWN);
            if (PackedTitle *read = PackTitleItem(slot.record)) {
                if (entryRow.pItem) {
                    // Unpacked meanwhile: the full record gets what was read, unless someone read it.
                    if (LoadInfoState(*entryRow.pItem) == INFO_NOT_READ)
                        UnpackInto(*read, *entryRow.pItem);
                    FreePackedTitle(read);
                    FreePackedTitle(entryRow.pPacked);
                    entryRow.pPacked = nullptr;
                } else {
                    FreePackedTitle(entryRow.pPacked);
                    entryRow.pPacked = read;
                }
                CountRowLength(entryRow);
                touch(row);
            }
        }
        slot.pKey = nullptr;
        m_nSlotHead = (m_nSlotHead + 1) % m_slots.size();
        {
            std::lock_guard lock(m_slotLock);
            --m_nSlotsFilled;
        }
        m_slotFreed.notify_one();
    }
    // A sorted list puts the titles just read where they now belong; the views redraw it all.
    if (PlaceSortedRows(touched))
        first = 0, last = RowCount() - 1;
    return first >= 0;
}

void TitleList::OnReaderTick() {
    if (!m_pReaderThread)
        return;
    QElapsedTimer held;
    held.start();
    int first = -1, last = -1;
    // One repaint for the whole batch keeps the tick short however many titles arrived.
    if (TakeInReadTitles(first, last))
        emit dataChanged(index(first, 0), index(last, 1));
    if (!m_bIsPlaylist)
        emit ProgressMoved(m_nReaderHandled);
    m_nLongestTickMs = std::max(m_nLongestTickMs, held.elapsed());
    if (m_nTakenIn == m_readQueue.size()) {
        if (!m_bIsPlaylist && GetFirstSelected() < 0 && RowCount() > 0)
            SelectOnly(0);
        StopInfoReader();
    } else if (m_bIsPlaylist && first >= 0) {
        PostRefreshTotal();
    }
}

void TitleList::RefreshCDTitles() {
    const bool bWasReading = IsReading();
    StopInfoReader();
    for (int r = 0; r < RowCount(); ++r) {
        const Row &row = m_rows[r];
        if ((row.pItem ? row.pItem->nCDDrive : PackedCDDrive(*row.pPacked)) < TITLE_NO_CD) {
            TitleItem *item = ItemAt(r);
            if (!item)
                continue;
            ReadTitleInfo(item, false);
            UpdateTitleRow(item, r, m_bIsPlaylist && item == m_pMarked);
        }
    }
    if (bWasReading)
        StartInfoReader(0, RowCount());
}
