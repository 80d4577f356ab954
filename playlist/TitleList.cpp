// The rows of a title list: records owned by rows, their texts, the selection and the total length.
#include "TitleList.h"

#include "Messages.h"
#include "PluginHost.h"
#include "Settings.h"
#include "TitleItemRecord.h"
#include "platform/Events.h"

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
        FreeTitleItem(row.pItem);
}

TitleItem *TitleList::ItemAt(int row) const {
    return row >= 0 && row < RowCount() ? m_rows[row].pItem : nullptr;
}

int TitleList::FindRow(const TitleItem *item) const {
    if (!item)
        return -1;
    // Rows are usually looked up in order (the reader walks them so), so try just after the last hit.
    for (int r : {m_nFindHint, m_nFindHint + 1}) {
        if (r >= 0 && r < RowCount() && m_rows[r].pItem == item)
            return m_nFindHint = r;
    }
    for (int r = 0; r < RowCount(); ++r) {
        if (m_rows[r].pItem == item)
            return m_nFindHint = r;
    }
    return -1;
}

QString TitleList::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount())
        return QString();
    return CellText(*m_rows[row].pItem, column);
}

QString TitleList::CellText(const TitleItem &item, int column) const {
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
    const TitleItem &item = *row.pItem;
    if (m_bIsPlaylist) {
        m_nTotalSeconds -= row.nCounted;
        row.nCounted = item.nLength > 0 ? item.nLength : 0;
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
    if (row < 0 || row > RowCount())
        row = RowCount();
    beginInsertRows(QModelIndex(), row, row);
    Row entry;
    entry.pItem = item;
    CountRowLength(entry);
    m_rows.insert(m_rows.begin() + row, std::move(entry));
    endInsertRows();
    return row;
}

void TitleList::AppendRecords(const std::vector<TitleItem *> &items) {
    if (items.empty())
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + int(items.size()) - 1);
    m_rows.reserve(m_rows.size() + items.size());
    for (TitleItem *item : items) {
        Row entry;
        entry.pItem = item;
        CountRowLength(entry);
        m_rows.push_back(std::move(entry));
    }
    endInsertRows();
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
        ShowMessage(QStringLiteral("Could not delete item"), MB_OK | MB_ICONERROR);
        return false;
    }
    TitleItem *item = m_rows[row].pItem;
    if (item == m_pMarked) {
        // The player's copy must not outlive the row it came from.
        if (m_pPlayer)
            m_pPlayer->StopPlayback();
        m_pMarked = nullptr;
    }
    // The reader may be inside this very record; it has to let go first.
    StopInfoReader();
    m_nTotalSeconds -= m_rows[row].nCounted;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    FreeTitleItem(item);
    return true;
}

void TitleList::DeleteAllRows() {
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
        FreeTitleItem(row.pItem);
}

int TitleList::CopyRowTo(int row, TitleList &other, int otherRow) {
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
        return CellText(*row.pItem, index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && row.pItem->nPlugin < m_icons.size())
            return m_icons[row.pItem->nPlugin];
        return QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 1 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
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
