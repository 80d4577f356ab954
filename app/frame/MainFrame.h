// The program's one top-level window: menus, accelerators, status bar and the main view's panes.
#pragma once

#include "MainViewLayout.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

class CDirTree;
class CPlayer;
class CTitleList;
class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

// The form view that carries the panes and lays them out by the layout formula.
class CMainView : public QWidget {
    Q_OBJECT
public:
    explicit CMainView(QWidget *parent = nullptr);

    // The panes arrive from their subsystems; until then their places stay empty.
    void SetPanes(QWidget *player, QWidget *tree, QWidget *fileList);
    QPushButton *RefreshButton() const { return m_pRefresh; }
    QPushButton *FreedbButton() const { return m_pFreedb; }
    MainViewLayout CurrentLayout() const { return MainViewLayout::For(width(), height()); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ApplyLayout();
    QPointer<QWidget> m_pPlayer, m_pTree, m_pFileList;
    QPushButton *m_pRefresh;
    QPushButton *m_pFreedb;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget *parent = nullptr);

    CMainView *MainView() const { return m_pView; }
    QAction *Action(int commandId) const { return m_actions.value(commandId); }
    QProgressBar *ProgressBar() const { return m_pProgress; }

    // Plug-ins, sound and the panes: the player panel, the folder tree and the file list. Reports 61291
    // with the pane's name and returns false when a pane cannot be made.
    bool InitMainView();
    // Stops playback and saves the playlist (by destroying the panes), then releases sound and plug-ins.
    void DestroyMainView();
    CPlayer *Player() const { return m_pPlayer; }
    CDirTree *Tree() const { return m_pTree; }
    CTitleList *FileList() const { return m_pFileList; }
    // Appends a handed-over file to the playlist; with bPlay selects it alone and plays it.
    bool HandOverFile(const QString &path, bool bPlay);

    // Applies WINDOW-STATUS: normal rectangle, minimum size, top edge on the screen, maximised state; and
    // whether the status bar is shown.
    void RestorePlacement();
    void SavePlacement() const;

public slots:
    // Worker threads call this queued; pane 0 is the message pane, pane 1 the progress pane.
    void SetStatusText(int pane, const QString &text);

signals:
    // Commands the frame does not carry out itself (player, playlist, freedb, grabbing …).
    void Command(int commandId);
    // The window starts to close; the main view is destroyed right after.
    void Closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *AddCommand(QMenu *menu, int id, const QString &text, const QKeySequence &key = QKeySequence());
    void CreateMenus();
    void CreateStatusBar();
    void OnCommand(int id);

    CMainView *m_pView;
    QLabel *m_pMessagePane = nullptr;
    QLabel *m_pProgressPane = nullptr;
    QProgressBar *m_pProgress = nullptr;
    QMap<int, QAction *> m_actions;
    QString m_strVolumeControl;
    CPlayer *m_pPlayer = nullptr;
    CDirTree *m_pTree = nullptr;
    CTitleList *m_pFileList = nullptr;
    bool m_bMainView = false;
    // Minimised from maximised: the window comes back maximised. Window managers drop the maximised
    // state while a window is minimised, so it is remembered here.
    bool m_bRestoreMaximized = false;
};
