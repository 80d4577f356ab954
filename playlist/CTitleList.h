// The list control of titles, in its two roles: the playlist (a drop target) and the file list.
#pragma once

#include "TitleList.h"

#include <QTableView>

#include <functional>

class QDrag;
class QMenu;

// A table rather than a tree: a tree view keeps a layout record for every row, half a megabyte for a
// 10,000-title playlist.
class CTitleList : public QTableView {
    Q_OBJECT
public:
    explicit CTitleList(bool bIsPlaylist, QWidget *parent = nullptr);
    // Closing the window: the reader stops, the playlist keeps its rows in the automatic playlist.
    ~CTitleList() override;

    TitleList &List() { return m_list; }
    bool IsPlaylist() const { return m_list.IsPlaylist(); }
    int LengthColumnWidth() const { return m_nLengthColumnWidth; }

    // The context menu as it would open now; commands carry their ids in the actions' data.
    QMenu *BuildContextMenu(QWidget *parent);

    // Carries out a drag the lists start and gives the action the target took. By default the window
    // system's drag does it; where there is none (the offscreen platform ends every drag at once) a
    // runner can play the drag's events itself. An empty runner restores the default.
    using DragRunner = std::function<Qt::DropAction(QDrag &drag)>;
    static void SetDragRunner(DragRunner runner);

signals:
    // A command for the playlist panel: 1001 play, 1037 add, 1034 add all, 1170 remove, 1192 remove
    // all, 1258 save, 1259 load, 32801 / 32849 title info.
    void Command(int nId);
    // Left or Right: the other list takes the focus.
    void FocusOtherList();

protected:
    void resizeEvent(QResizeEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void SizeColumns();
    Qt::DropAction DropActionFor(Qt::KeyboardModifiers modifiers) const;

    TitleList m_list;
    int m_nLengthColumnWidth = 40;
    int m_nDropRow = -1;
    // A key acts when it is released, but only if it was pressed here too: the release of a key that
    // closed a message box must not act on the list below it.
    int m_nPressedKey = 0;
};
