// The list control of titles: columns, keys, mouse, context menu, and drag and drop.
#include "CTitleList.h"

#include "Messages.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

namespace {

CTitleList::DragRunner &Runner() {
    static CTitleList::DragRunner runner;
    return runner;
}

} // namespace

void CTitleList::SetDragRunner(DragRunner runner) {
    Runner() = std::move(runner);
}

CTitleList::CTitleList(bool bIsPlaylist, QWidget *parent) : QTableView(parent), m_list(bIsPlaylist) {
    setModel(&m_list);
    setSelectionModel(m_list.SelectionModel());
    setShowGrid(false);
    setTabKeyNavigation(false); // Tab leaves the list, as in every other pane
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), 16) + 4);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setIconSize(QSize(16, 16));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragEnabled(true);
    setDragDropMode(bIsPlaylist ? QAbstractItemView::DragDrop : QAbstractItemView::DragOnly);
    setAcceptDrops(bIsPlaylist);
    viewport()->setAcceptDrops(bIsPlaylist);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(false);
    m_nLengthColumnWidth = std::max(fontMetrics().horizontalAdvance(QStringLiteral("     ")), 40);
    SizeColumns();
    connect(&m_list, &TitleList::RowShown, this, [this](int row) { scrollTo(m_list.index(row, 0)); });
    connect(&m_list, &QAbstractItemModel::modelReset, this, [this] { scrollToTop(); });
}

CTitleList::~CTitleList() {
    m_list.Close();
    // The model and its selection die before the view's base class does.
    setModel(nullptr);
}

void CTitleList::SizeColumns() {
    const int headerWidth = horizontalHeader()->fontMetrics().horizontalAdvance(LoadStringRes(61333)) + 12;
    const int lengthWidth = std::max(m_nLengthColumnWidth, headerWidth);
    setColumnWidth(1, lengthWidth);
    setColumnWidth(0, std::max(0, viewport()->width() - lengthWidth));
}

void CTitleList::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    SizeColumns();
}

QModelIndex CTitleList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // Home and End go to the first and last title, as in any list, not to the first and last column.
    if (cursorAction == MoveHome || cursorAction == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

void CTitleList::keyPressEvent(QKeyEvent *event) {
    m_nPressedKey = event->key();
    // Left and Right hand the focus over (on release); they do not walk the columns.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CTitleList::keyReleaseEvent(QKeyEvent *event) {
    const bool bPressedHere = !event->isAutoRepeat() && event->key() == m_nPressedKey;
    if (!event->isAutoRepeat())
        m_nPressedKey = 0;
    if (!bPressedHere) {
        QTableView::keyReleaseEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Delete:
        if (IsPlaylist())
            emit Command(1170);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit Command(IsPlaylist() ? 1001 : 1037);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        emit FocusOtherList();
        break;
    default:
        QTableView::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

void CTitleList::mouseDoubleClickEvent(QMouseEvent *event) {
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0)
        return;
    if (IsPlaylist()) {
        m_list.SelectOnly(row);
        emit Command(1001);
    } else {
        emit Command(1037);
    }
}

QMenu *CTitleList::BuildContextMenu(QWidget *parent) {
    auto *menu = new QMenu(parent);
    const bool bSelected = m_list.GetFirstSelected() >= 0;
    auto add = [menu](const QString &text, int id, bool bEnabled) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        action->setEnabled(bEnabled);
        return action;
    };
    if (IsPlaylist()) {
        menu->setTitle(tr("Playlist"));
        const bool bRows = m_list.RowCount() > 0;
        menu->setDefaultAction(add(tr("&Play\tSPACE"), 1001, bSelected));
        add(tr("Load Playlist..."), 1259, true);
        add(tr("Save Playlist..."), 1258, bRows);
        menu->addSeparator();
        add(tr("Remove"), 1170, bSelected);
        add(tr("Remove all"), 1192, bRows);
        menu->addSeparator();
        add(tr("Properties...\tCtrl+P"), 32801, bSelected);
    } else {
        menu->setTitle(tr("Filelist"));
        menu->setDefaultAction(add(tr("Add"), 1037, bSelected));
        add(tr("Add All"), 1034, m_list.RowCount() > 0);
        menu->addSeparator();
        add(tr("Properties..."), 32849, true);
    }
    return menu;
}

void CTitleList::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = BuildContextMenu(this);
    QAction *chosen = menu->exec(event->globalPos());
    const int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    if (id)
        emit Command(id);
}

void CTitleList::startDrag(Qt::DropActions) {
    QMimeData *data = m_list.BuildDragData();
    if (!data)
        return;
    if (IsPlaylist())
        m_list.SetInternalDrag(true);
    QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(data);
    if (Runner())
        Runner()(*drag);
    else
        drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    if (drag)
        drag->deleteLater();
    m_list.SetInternalDrag(false);
}

Qt::DropAction CTitleList::DropActionFor(Qt::KeyboardModifiers modifiers) const {
    return m_list.InternalDrag() && !(modifiers & Qt::ControlModifier) ? Qt::MoveAction : Qt::CopyAction;
}

void CTitleList::dragEnterEvent(QDragEnterEvent *event) {
    if (!IsPlaylist() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionFor(event->modifiers()));
    event->accept();
}

void CTitleList::dragMoveEvent(QDragMoveEvent *event) {
    if (!IsPlaylist() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    // Near the edges the list scrolls a line, so every row can be reached while dragging.
    if (pos.y() < 8)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (pos.y() > viewport()->height() - 8)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    const int row = indexAt(pos).row();
    if (row != m_nDropRow) {
        m_nDropRow = row;
        viewport()->update();
    }
    event->setDropAction(DropActionFor(event->modifiers()));
    event->accept();
}

void CTitleList::dragLeaveEvent(QDragLeaveEvent *event) {
    m_nDropRow = -1;
    viewport()->update();
    QTableView::dragLeaveEvent(event);
}

void CTitleList::dropEvent(QDropEvent *event) {
    const int row = indexAt(event->position().toPoint()).row();
    m_nDropRow = -1;
    viewport()->update();
    const bool bMove = DropActionFor(event->modifiers()) == Qt::MoveAction;
    m_list.Drop(event->mimeData(), row >= 0 ? row + 1 : m_list.RowCount(), bMove);
    // The list has already removed what moved; the source must not remove anything more.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CTitleList::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (m_nDropRow < 0 || m_nDropRow >= m_list.RowCount())
        return;
    // The row a drop would go behind.
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(80);
    QPainter painter(viewport());
    painter.fillRect(visualRect(m_list.index(m_nDropRow, 0)).united(visualRect(m_list.index(m_nDropRow, 1))),
                     highlight);
}
