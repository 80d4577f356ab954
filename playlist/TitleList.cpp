// The rows of a title list: records owned by rows, their texts, the selection and the total length.
#include "TitleList.h"

#include "Messages.h"
#include "PackedTitle.h"
#include "PluginHost.h"
#include "Settings.h"
#include "TitleItemRecord.h"
#include "platform/Events.h"

#include <algorithm>

TitleList::TitleList(bool bIsPlaylist, QObject *parent)
    : QAbstractTableModel(parent), m_bIsPlaylist(bIsPlaylist),
      m_bUseTags(GetSettingInt(QStringLiteral("GENERAL"), QStringLiteral("UseTags"), 1) != 0), m_selection(this),
      m_icons(PluginIcons()) {
    m_readerTimer.setInterval(100);
    connect(&m_readerTimer, &QTimer::timeout, this, &TitleList::OnReaderTick);
}

TitleList::~TitleList() {
    StopInfoReader();
    for (Row &row : m_rows)
        FreeRow(row);
}

void TitleList::FreeRow(Row &row) {
    FreeTitleItem(row.pItem);
    FreePackedTitle(row.pPacked);
    row.pItem = nullptr;
    row.pPacked = nullptr;
}

template <typename Match> int TitleList::FindRowWhere(int &hint, Match match) const {
    // Rows are usually looked up in order (the reader walks them so), so try just after the last hit.
    for (int r : {hint, hint + 1}) {
        if (r >= 0 && r < RowCount() && match(m_rows[r]))
            return hint = r;
    }
    for (int r = 0; r < RowCount(); ++r) {
        if (match(m_rows[r]))
            return hint = r;
    }
    return -1;
}

TitleItem *TitleList::ItemAt(int row) const {
    if (row < 0 || row >= RowCount())
        return nullptr;
    // Unpacking changes how the row is stored, not what it holds.
    Row &entry = const_cast<Row &>(m_rows[row]);
    if (!entry.pItem && entry.pPacked) {
        entry.pItem = UnpackTitleItem(*entry.pPacked);
        // The reader may be reading the packed record; it goes once the reader is done.
        if (entry.pItem && !IsReading()) {
            FreePackedTitle(entry.pPacked);
            entry.pPacked = nullptr;
        }
    }
    return entry.pItem;
}

int TitleList::FindPackedRow(const PackedTitle *packed) const {
    return FindRowWhere(m_nPackedHint, [packed](const Row &row) { return row.pPacked == packed; });
}

PackedTitle *TitleList::CreatePackedRecord(const QString &path) const {
    TitleItem *item = CreateTitleItem(path, m_bUseTags);
    if (!item)
        return nullptr;
    PackedTitle *packed = PackTitleItem(*item);
    FreeTitleItem(item);
    return packed;
}

int TitleList::FindRow(const TitleItem *item) const {
    if (!item)
        return -1;
    return FindRowWhere(m_nFindHint, [item](const Row &row) { return row.pItem == item; });
}

QString TitleList::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount())
        return QString();
    return CellText(m_rows[row], column);
}

QString TitleList::RowPath(int row) const {
    const Row &entry = m_rows[row];
    return entry.pItem ? TitlePath(*entry.pItem) : QString::fromUtf8(PackedPath(*entry.pPacked));
}

QString TitleList::CellText(const Row &row, int column) const {
    if (!row.pItem) {
        // Packed records are never marked, and the reader never writes into them.
        const PackedTitle &packed = *row.pPacked;
        return column != 0 ? FormatLength(PackedLength(packed)) : PackedTitleText(packed);
    }
    const TitleItem &item = *row.pItem;
    // The reader may be writing a record it has not finished; until then the row shows what the
    // record started with.
    const bool bPending = IsReading() && LoadInfoState(item) == INFO_NOT_READ;
    if (column != 0)
        return FormatLength(bPending ? -1 : item.nLength);
    const bool bMarked = m_bIsPlaylist && &item == m_pMarked;
    if (!bPending)
        return RowTitleText(item, bMarked);
    const QString title = InitialTitleText(item);
    return bMarked ? QStringLiteral("> %1 <").arg(title) : title;
}

void TitleList::CountRowLength(Row &row) {
    // The reader may be writing a record it has not finished: its length does not count yet.
    const bool bPending = row.pItem && IsReading() && LoadInfoState(*row.pItem) == INFO_NOT_READ;
    const int nLength = bPending ? -1 : row.pItem ? row.pItem->nLength : PackedLength(*row.pPacked);
    if (m_bIsPlaylist) {
        m_nTotalSeconds -= row.nCounted;
        row.nCounted = nLength > 0 ? nLength : 0;
        m_nTotalSeconds += row.nCounted;
    }
}

int TitleList::AddFile(const QString &path, int row, bool bReadNow) {
    TitleItem *item = CreateTitleItem(path, m_bUseTags);
    if (!item)
        return -1;
    if (bReadNow)
        ReadTitleInfo(item, false);
    const int at = InsertTitleRow(item, row, false);
    if (at < 0)
        FreeTitleItem(item);
    return at;
}

int TitleList::InsertTitleRow(TitleItem *item, int row, bool bReplace) {
    if (bReplace) {
        const int at = FindRow(item);
        if (at < 0)
            return -1;
        CountRowLength(m_rows[at]);
        emit dataChanged(index(at, 0), index(at, 1));
        return at;
    }
    Row entry;
    entry.pItem = item;
    return InsertRow(entry, row);
}

int TitleList::InsertPackedRow(PackedTitle *packed, int row) {
    Row entry;
    entry.pPacked = packed;
    return InsertRow(entry, row);
}

int TitleList::InsertRow(Row entry, int row) {
    if (row < 0 || row > RowCount())
        row = RowCount();
    if (m_bSortAscending)
        row = SortedRow(CellText(entry, 0));
    beginInsertRows(QModelIndex(), row, row);
    CountRowLength(entry);
    m_rows.insert(m_rows.begin() + row, entry);
    endInsertRows();
    return row;
}

void TitleList::AppendRecords(const std::vector<PackedTitle *> &records) {
    if (records.empty())
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + int(records.size()) - 1);
    // Grown geometrically: a long list arrives in many slices, and an exact reserve would copy it each time.
    if (m_rows.capacity() < m_rows.size() + records.size())
        m_rows.reserve(std::max(m_rows.size() + records.size(), 2 * m_rows.capacity()));
    for (PackedTitle *packed : records) {
        Row entry;
        entry.pPacked = packed;
        CountRowLength(entry);
        m_rows.push_back(entry);
    }
    endInsertRows();
}

namespace {

bool SortsBefore(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

QString TitleList::SortKey(int row) const {
    const Row &entry = m_rows[size_t(row)];
    // A record the reader has read but the list has not taken in yet still stands where its first
    // title put it; it moves when it is taken in.
    if (entry.pItem && IsReading() && LoadInfoState(*entry.pItem) != INFO_SHOWN)
        return InitialTitleText(*entry.pItem);
    return CellText(entry, 0);
}

int TitleList::SortedRow(const QString &key) const {
    int low = 0, high = RowCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (SortsBefore(key, SortKey(mid)))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

bool TitleList::PlaceSortedRows(const std::vector<int> &rows) {
    if (!m_bSortAscending || rows.empty())
        return false;
    // The other rows are in order already; each moved row goes in after those that sort before or equal
    // to it, so a batch costs a few titles per moved row rather than a sort of the whole list.
    std::vector<char> bMoved(m_rows.size(), 0);
    std::vector<std::pair<QString, int>> moving;
    for (int r : rows) {
        if (r >= 0 && r < RowCount() && !bMoved[size_t(r)]) {
            bMoved[size_t(r)] = 1;
            moving.emplace_back(SortKey(r), r);
        }
    }
    std::stable_sort(moving.begin(), moving.end(),
                     [](const auto &a, const auto &b) { return SortsBefore(a.first, b.first); });
    std::vector<int> staying;
    staying.reserve(m_rows.size() - moving.size());
    for (int r = 0; r < RowCount(); ++r)
        if (!bMoved[size_t(r)])
            staying.push_back(r);
    std::vector<int> order;
    order.reserve(m_rows.size());
    auto next = staying.begin();
    for (const auto &[key, row] : moving) {
        const auto at = std::upper_bound(next, staying.end(), key,
                                         [this](const QString &k, int r) { return SortsBefore(k, SortKey(r)); });
        order.insert(order.end(), next, at);
        order.push_back(row);
        next = at;
    }
    order.insert(order.end(), next, staying.end());
    bool bChanged = false;
    for (size_t i = 0; i < order.size() && !bChanged; ++i)
        bChanged = order[i] != int(i);
    if (!bChanged)
        return false;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    std::vector<Row> rowsInOrder;
    rowsInOrder.reserve(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRow[size_t(order[i])] = int(i);
        rowsInOrder.push_back(m_rows[size_t(order[i])]);
    }
    m_rows.swap(rowsInOrder);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &index : from)
        to << this->index(newRow[size_t(index.row())], index.column());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

// The mark follows m_pMarked, which the callers set before they call.
void TitleList::UpdateTitleRow(TitleItem *item, int row, bool) {
    if (row < 0 || row >= RowCount() || m_rows[row].pItem != item)
        return;
    const int before = m_nTotalSeconds;
    CountRowLength(m_rows[row]);
    emit dataChanged(index(row, 0), index(row, 1));
    if (before != m_nTotalSeconds)
        PostRefreshTotal();
}

bool TitleList::DeleteTitleRow(int row) {
    if (row < 0 || row >= RowCount()) {
        ShowMessage(tr("Could not delete item"), MB_OK | MB_ICONERROR);
        return false;
    }
    if (m_pMarked && m_rows[row].pItem == m_pMarked) {
        // The player's copy must not outlive the row it came from.
        if (m_pPlayer)
            m_pPlayer->StopPlayback();
        m_pMarked = nullptr;
    }
    // The reader may be inside this very record; it has to let go first.
    StopInfoReader();
    m_nTotalSeconds -= m_rows[row].nCounted;
    Row removed = m_rows[row];
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    FreeRow(removed);
    return true;
}

void TitleList::DeleteAllRows() {
    if (m_pDefaultLoad)
        EndDefaultLoad(false); // the user cleared the list: the rest of the default playlist is not wanted
    StopInfoReader();
    if (m_pMarked && m_pPlayer)
        m_pPlayer->StopPlayback();
    m_pMarked = nullptr;
    beginResetModel();
    std::vector<Row> rows;
    rows.swap(m_rows);
    m_nTotalSeconds = 0;
    endResetModel();
    for (Row &row : rows)
        FreeRow(row);
}

int TitleList::CopyRowTo(int row, TitleList &other, int otherRow) {
    if (row >= 0 && row < RowCount() && !m_rows[row].pItem) {
        PackedTitle *copy = CopyPackedTitle(*m_rows[row].pPacked);
        if (!copy) {
            ShowError(61288);
            return -1;
        }
        return other.InsertPackedRow(copy, otherRow);
    }
    TitleItem *source = ItemAt(row);
    if (!source)
        return -1;
    TitleItem *copy = CopyTitleItem(*source);
    if (!copy) {
        ShowError(61288);
        return -1;
    }
    const int at = other.InsertTitleRow(copy, otherRow, false);
    if (at < 0)
        FreeTitleItem(copy);
    return at;
}

int TitleList::GetFirstSelected() const {
    int first = -1;
    for (const QItemSelectionRange &range : m_selection.selection()) {
        if (first < 0 || range.top() < first)
            first = range.top();
    }
    return first;
}

bool TitleList::IsSelected(int row) const {
    return row >= 0 && row < RowCount() && m_selection.isRowSelected(row, QModelIndex());
}

bool TitleList::SelectOnly(int row) {
    if (row >= RowCount())
        return false;
    if (row < 0)
        row = 0;
    if (row >= RowCount())
        return false;
    m_selection.setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit RowShown(row);
    return true;
}

bool TitleList::MarkCurrent(bool bOn, TitleItem *&item, int &row) {
    if (bOn) {
        row = GetFirstSelected();
        item = ItemAt(row);
        if (!item)
            return false;
        m_pMarked = item;
        UpdateTitleRow(item, row, true);
        return true;
    }
    const bool bValid = row >= 0 && row < RowCount() && m_rows[row].pItem == item;
    m_pMarked = nullptr;
    if (bValid)
        UpdateTitleRow(item, row, false);
    item = nullptr;
    return bValid;
}

void TitleList::MarkCurrent(int row, bool bOn) {
    TitleItem *item = ItemAt(row);
    if (bOn) {
        if (!item)
            return;
        m_pMarked = item;
        UpdateTitleRow(item, row, true);
        return;
    }
    m_pMarked = nullptr;
    if (item)
        UpdateTitleRow(item, row, false);
}

void TitleList::PostRefreshTotal() {
    if (!m_bIsPlaylist || m_bRefreshPosted)
        return;
    m_bRefreshPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bRefreshPosted = false;
            emit TotalChanged(m_nTotalSeconds, RowCount());
        },
        Qt::QueuedConnection);
}

int TitleList::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int TitleList::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TitleList::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= RowCount())
        return QVariant();
    const Row &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return CellText(row, index.column());
    case Qt::DecorationRole: {
        const uint8_t nPlugin = row.pItem ? row.pItem->nPlugin : PackedPlugin(*row.pPacked);
        if (index.column() == 0 && nPlugin < m_icons.size())
            return m_icons[nPlugin];
        return QVariant();
    }
    case Qt::TextAlignmentRole:
        return index.column() == 1 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

Qt::ItemFlags TitleList::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QVariant TitleList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return LoadStringRes(section == 0 ? 61332 : 61333);
    if (role == Qt::TextAlignmentRole)
        return section == 1 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}
