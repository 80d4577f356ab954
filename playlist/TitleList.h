// The rows of a title list (the playlist or the file list): records, texts, selection, reader, files.
#pragma once

#include "MelvoPlugin.h"
#include "PlayerInterfaces.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QItemSelectionModel>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QMimeData;
struct PackedTitle;
class QUrl;
class WorkerThread;

// What a list asks of the player. The player keeps its own pointer to the playing record, and that
// record keeps its address for as long as it plays, even when a drag moves it to another row.
class TitleListPlayer {
public:
    virtual ~TitleListPlayer() = default;
    // Stops playback; the player unmarks its row (MarkCurrent off) as it stops.
    virtual void StopPlayback() {}
    // Plays the first selected row.
    virtual void PlaySelected() {}
    // Rows were inserted or removed: look the current row up again by the record's address.
    virtual void RefreshCurrentRow() {}
    // The playing file got a new name.
    virtual void ShowCurrentTitle(const QString &) {}
};

// The title of a CD track from the drive's title file: (drive, track, szTitle of 100 bytes).
// Called from the reader thread too. False leaves the title as it is.
using CDTitleLookup = std::function<bool(uint8_t, uint8_t, char *)>;
void SetCDTitleLookup(CDTitleLookup lookup);

// The playlist is also what the player plays from (PlayerList).
class TitleList : public QAbstractTableModel, public PlayerList {
    Q_OBJECT
public:
    explicit TitleList(bool bIsPlaylist, QObject *parent = nullptr);
    ~TitleList() override;

    bool IsPlaylist() const { return m_bIsPlaylist; }
    void SetPlayer(TitleListPlayer *player) { m_pPlayer = player; }
    QItemSelectionModel *SelectionModel() { return &m_selection; }

    int RowCount() const { return int(m_rows.size()); }
    // The row's full record, unpacked on first use; from then on its address stays.
    TitleItem *ItemAt(int row) const;
    int FindRow(const TitleItem *item) const override;
    QString RowText(int row, int column) const;
    int TotalSeconds() const { return m_nTotalSeconds; }

    int AddFile(const QString &path, int row, bool bReadNow);
    int InsertTitleRow(TitleItem *item, int row, bool bReplace);
    void UpdateTitleRow(TitleItem *item, int row, bool bMarked) override;
    // Stops the reader (it may be inside the record); callers that go on start it again.
    bool DeleteTitleRow(int row);
    void DeleteAllRows();
    int CopyRowTo(int row, TitleList &other, int otherRow);

    int GetFirstSelected() const override;
    bool IsSelected(int row) const;
    bool SelectOnly(int row) override;
    bool MarkCurrent(bool bOn, TitleItem *&item, int &row);
    // The player's form: the row's record becomes (or stops being) the marked current title.
    void MarkCurrent(int row, bool bOn) override;
    int GetRowCount() const override { return RowCount(); }
    TitleItem *GetItem(int row) const override { return ItemAt(row); }
    TitleItem *MarkedItem() const { return m_pMarked; }

    bool ReadTitleInfo(TitleItem *item, bool bShowErrors) override;
    void StartInfoReader(int firstRow, int total);
    void StopInfoReader();
    bool IsReading() const { return m_pReaderThread != nullptr; }
    // Entries of the reader's queue it has finished, whether or not the GUI thread took them in yet.
    int ReaderHandled() const { return m_nReaderHandled.load(std::memory_order_acquire); }
    // The longest time one reader tick held the GUI thread, for the benchmark.
    qint64 LongestReaderTickMs() const { return m_nLongestTickMs; }
    void RefreshCDTitles();

    // File list: the rows stay in ascending order of their shown titles, also as titles are read (a
    // folder's files), or in the order they came (a CD's tracks). The playlist is never sorted.
    void SetSortAscending(bool bSort) { m_bSortAscending = bSort && !m_bIsPlaylist; }
    bool SortAscending() const { return m_bSortAscending; }
    // File list: the playable files of a folder ("" is "Computer", which holds none), or of a folder
    // the directory tree lists itself.
    void ShowFolder(const QString &folder);
    void ShowFolderItems(const QStringList &paths);
    void RenameTitlePath(const QString &oldPath, const QString &newPath);

    bool LoadPlaylist(const QString &path, const QString &extension, bool bShowErrors);
    bool SavePlaylist(const QString &path, const QString &extension, bool bShowErrors);
    // A default playlist that cannot be read whole is kept beside as "default.std.bad" first (the user is
    // told once); one that could not be kept is never overwritten. With onLoaded the rows come in slices
    // from the event loop, so the window answers while a long list fills, and onLoaded runs once they are
    // all in (at once when there is nothing to load); without it the list is filled before returning.
    bool LoadDefaultPlaylist(std::function<void()> onLoaded = nullptr);
    bool IsLoadingDefault() const { return m_pDefaultLoad != nullptr; }
    bool SaveDefaultPlaylist();
    // The list window closes: the playlist keeps its rows in the automatic playlist, unless a default
    // playlist lies there that this list never took in.
    void Close();

    // Commands of the playlist panel.
    void RemoveSelected();
    void RemoveAll();
    int AddSelectedTo(TitleList &playlist);
    int AddAllTo(TitleList &playlist);
    // Load with the dialog's choice: playback stops and the rows go, even if the file cannot be read.
    bool ReplaceWithPlaylist(const QString &path);

    // Drag and drop: the selected rows as a URI list plus their records.
    QMimeData *BuildDragData();
    int InsertDropped(const QList<QUrl> &files, const QByteArray *records, int row);
    int Drop(const QMimeData *data, int row, bool bMove);
    void SetInternalDrag(bool bInternal) { m_bInternalDrag = bInternal; }
    bool InternalDrag() const { return m_bInternalDrag; }

    // The model the views show.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows can be dragged; the view itself takes the drops.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The playlist's total length changed (the panel's label and buttons follow).
    void TotalChanged(int nSeconds, int nRows);
    // The file list shows a folder with (true) or without playable files.
    void FolderShown(bool bHasTitles);
    void ProgressStarted(int nMaximum);
    void ProgressMoved(int nPosition);
    void ProgressHidden();
    void RowShown(int row);

private:
    // A row keeps its record packed until somebody asks for the record itself (ItemAt); from then on
    // the full record keeps its address for as long as the row lives. A row unpacked while the reader
    // runs keeps its packed record too until the reader is done with it. Texts are made when a row is
    // painted, so a long list holds no strings of its own.
    struct Row {
        TitleItem *pItem = nullptr;
        PackedTitle *pPacked = nullptr;
        int nCounted = 0; // the part of the total this row holds
    };
    // A packed record being read: the thread reads into the slot, the GUI thread packs it into the row.
    struct ReadSlot {
        const PackedTitle *pKey = nullptr;
        TitleItem record{};
    };

    QString CellText(const Row &row, int column) const;
    QString RowPath(int row) const;
    void CountRowLength(Row &row);
    void FreeRow(Row &row);
    template <typename Match> int FindRowWhere(int &hint, Match match) const;
    int FindPackedRow(const PackedTitle *packed) const;
    int InsertPackedRow(PackedTitle *packed, int row);
    int InsertRow(Row entry, int row);
    void AppendRecords(const std::vector<PackedTitle *> &records);
    QString SortKey(int row) const;
    // Where a title goes in the sorted rows (after the rows that sort equal to it).
    int SortedRow(const QString &key) const;
    // Sorted list: moves the given rows to the places their titles sort to now; false when none moved.
    bool PlaceSortedRows(const std::vector<int> &rows);
    PackedTitle *CreatePackedRecord(const QString &path) const;
    void PostRefreshTotal();
    struct DefaultLoad;
    void LoadDefaultSlice();
    void EndDefaultLoad(bool bComplete);
    void KeepDefaultBeside(const QByteArray *read);
    void OnReaderTick();
    void ReadQueue();
    bool TakeInReadTitles(int &first, int &last);
    void RequestDrain();

    const bool m_bIsPlaylist;
    const bool m_bUseTags;
    TitleListPlayer *m_pPlayer = nullptr;
    QItemSelectionModel m_selection;
    std::vector<Row> m_rows;
    std::vector<QIcon> m_icons;
    TitleItem *m_pMarked = nullptr;
    int m_nTotalSeconds = 0;
    bool m_bInternalDrag = false;
    bool m_bSortAscending = false;
    bool m_bRefreshPosted = false;
    bool m_bDefaultTaken = false;                // the default playlist on disk was read whole, kept beside, or absent
    std::shared_ptr<DefaultLoad> m_pDefaultLoad; // while it comes in slices
    mutable int m_nFindHint = 0;
    mutable int m_nPackedHint = 0;
    qint64 m_nLongestTickMs = 0;

    // Reader: the thread walks a queue of the unread records (full ones, or packed ones tagged with
    // bit 0) and the GUI thread takes in what it has read, one batch per tick. Packed records go
    // through a small ring of slots, so the thread allocates nothing and a long list stays in one heap.
    std::vector<uintptr_t> m_readQueue;
    size_t m_nTakenIn = 0; // queue entries the GUI thread has taken in
    std::vector<ReadSlot> m_slots;
    size_t m_nSlotHead = 0, m_nSlotTail = 0, m_nSlotsFilled = 0;
    std::mutex m_slotLock;
    std::condition_variable m_slotFreed;
    std::atomic<bool> m_bDrainPosted{false};
    std::atomic<bool> m_bReaderStop{false};
    std::atomic<int> m_nReaderHandled{0};
    std::unique_ptr<WorkerThread> m_pReaderThread;
    QTimer m_readerTimer;
};
