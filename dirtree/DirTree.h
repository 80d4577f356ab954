// The folder tree: configured folders or "Computer", CD drives with their discs, children listed a level ahead.
#pragma once

#include "DiscWatch.h"
#include "ShellFolder.h"

#include <QMap>
#include <QTreeWidget>

class QTimer;

class CDirTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CDirTree(QWidget *parent = nullptr, DiscWatch::Probe probe = {});
    ~CDirTree() override;

    // (Re)builds from FOLDER/AllFolders and FOLDER/Folder and restores the selection.
    void BuildTree();
    // Inserts one item for the path (empty: "Computer") under the parent (null: a root) with its children.
    // A path that is no folder is reported ("SetRootFolder" with the system error) and gets no item.
    QTreeWidgetItem *SetRootFolder(const QString &path, QTreeWidgetItem *parent);
    // A drive has new titles or a changed disc: its items are made anew (WM_USER+13).
    void RefreshDrive(const QString &driveString);
    // Writes GENERAL/SelDirectory; the tree is empty afterwards.
    void CloseTree();

    QString SelectedDirectory() const { return m_strSelectedDirectory; }
    bool IsCDSelected() const { return m_bCDSelected; }
    QStringList FolderList() const { return m_folderList; }
    // One poll of every watched drive, as the 500 ms timer does it.
    void PollDiscs();

protected:
    // Disc images dropped on the tree become CD drives at once.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

signals:
    // The file list shows the folder, sorted ("" for "Computer", which holds no files); for a CD drive,
    // the tracks in disc order.
    void FolderSelected(const QString &path);
    void CdTracksSelected(const QStringList &trackFiles);
    void CdSelected(bool bCdDrive); // the freedb button follows this
    void MediaChanged(const QString &driveString, bool bPresent);
    // A CD drive's title file was loaded anew: the lists' CD tracks refresh their titles.
    void CdTitlesLoaded(uint8_t drive);

private:
    QTreeWidgetItem *InsertItem(const ShellEntry &entry, QTreeWidgetItem *parent);
    void PollDrive(uint8_t drive);
    QString ItemPathOfDrive(uint8_t drive) const;
    void ListChildren(QTreeWidgetItem *item);
    void OnExpanding(QTreeWidgetItem *item);
    void OnSelectionChanged();
    QTreeWidgetItem *FindAndExpand(const QString &path);

    QString m_strSelectedDirectory;
    bool m_bCDSelected = false;
    bool m_bBuilt = false;
    QStringList m_folderList;
    DiscWatch m_watch;
    QMap<uint8_t, QTimer *> m_timers;
};
