// The folder tree over the shell layer, with a 500 ms watch on every CD drive it shows.
#include "DirTree.h"

#include "CDAccess.h"
#include "FolderSettings.h"
#include "Messages.h"
#include "Settings.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"
#include "registry/Registry.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

#include <cerrno>
#include <filesystem>

namespace {

enum Role { ROLE_PATH = Qt::UserRole, ROLE_DRIVE, ROLE_LISTED, ROLE_COMPUTER };

QString ItemPath(const QTreeWidgetItem *item) {
    return item->data(0, ROLE_PATH).toString();
}
uint8_t ItemDrive(const QTreeWidgetItem *item) {
    return uint8_t(item->data(0, ROLE_DRIVE).toUInt());
}
bool IsComputer(const QTreeWidgetItem *item) {
    return item->data(0, ROLE_COMPUTER).toBool();
}

QStringList DroppedImages(const QMimeData *data) {
    QStringList images;
    for (const QUrl &url : data ? data->urls() : QList<QUrl>())
        if (url.isLocalFile() && IsDiscImagePath(url.toLocalFile()))
            images << url.toLocalFile();
    return images;
}

bool IsBelow(const QString &target, const QString &folder) {
    if (target == folder)
        return true;
    return target.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// The system error that keeps a path from being a folder in the tree, or 0.
int FolderError(const QString &path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(QFile::encodeName(path).toStdString()), ec);
    if (status.type() == fs::file_type::not_found)
        return ENOENT;
    if (ec)
        return ec.value();
    return fs::is_directory(status) ? 0 : ENOTDIR;
}

QIcon FolderIcon() {
    // Closed when resting, open when selected.
    QIcon icon;
    icon.addPixmap(RegistryIcon(138).pixmap(16, 16), QIcon::Normal);
    icon.addPixmap(RegistryIcon(141).pixmap(16, 16), QIcon::Selected);
    return icon;
}

} // namespace

CDirTree::CDirTree(QWidget *parent, DiscWatch::Probe probe) : QTreeWidget(parent), m_watch(std::move(probe)) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    viewport()->setAcceptDrops(true); // disc images only
    setIconSize(QSize(16, 16));
    m_strSelectedDirectory = GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("SelDirectory"), QString());
    connect(this, &QTreeWidget::itemExpanded, this, &CDirTree::OnExpanding);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CDirTree::OnSelectionChanged);
}

CDirTree::~CDirTree() {
    if (m_bBuilt)
        CloseTree();
}

void CDirTree::BuildTree() {
    m_bBuilt = false;
    clear();
    m_folderList.clear();
    for (QTimer *timer : m_timers)
        timer->stop();
    m_watch.Clear();
    if (GetSettingInt(QStringLiteral("FOLDER"), QStringLiteral("AllFolders"), 1) == 0) {
        SetRootFolder(QString(), nullptr);
    } else {
        for (const QString &folder : StoredFolderList().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            SetRootFolder(folder, nullptr);
            m_folderList << folder;
        }
        for (const ShellEntry &drive : CdDriveEntries())
            SetRootFolder(drive.strPath, nullptr);
    }
    QTreeWidgetItem *selected = FindAndExpand(m_strSelectedDirectory);
    if (!selected)
        selected = topLevelItem(0);
    m_bBuilt = true;
    if (selected) {
        setCurrentItem(selected);
        OnSelectionChanged(); // also when the item was current already
        scrollToItem(selected);
    }
}

QTreeWidgetItem *CDirTree::SetRootFolder(const QString &path, QTreeWidgetItem *parent) {
    ShellEntry entry;
    bool computer = false;
    if (path.isEmpty()) {
        entry = {QString(), tr("Computer"), CDDA_NO_DRIVE};
        computer = true;
    } else {
        entry.strPath = path;
        entry.nDrive = GetDriveIndex(QFile::encodeName(path).constData(), nullptr);
        if (entry.IsCdDrive()) {
            for (const ShellEntry &drive : CdDriveEntries())
                if (drive.nDrive == entry.nDrive)
                    entry.strName = drive.strName;
        }
        if (entry.strName.isEmpty())
            entry.strName = parent ? QFileInfo(path).fileName() : path;
        if (!entry.IsCdDrive()) {
            // A folder that is gone (or is no folder) gets no item, and the user learns why.
            const int error = FolderError(path);
            if (error) {
                ShowSystemError(error, QStringLiteral("SetRootFolder"));
                return nullptr;
            }
        }
    }
    QTreeWidgetItem *item = InsertItem(entry, parent);
    if (!item)
        return nullptr;
    item->setData(0, ROLE_COMPUTER, computer);
    ListChildren(item);
    return item;
}

QTreeWidgetItem *CDirTree::InsertItem(const ShellEntry &entry, QTreeWidgetItem *parent) {
    auto *item = new QTreeWidgetItem(QStringList{entry.strName});
    item->setData(0, ROLE_PATH, entry.strPath);
    item->setData(0, ROLE_DRIVE, uint(entry.nDrive));
    item->setData(0, ROLE_LISTED, false);
    if (entry.IsCdDrive()) {
        item->setIcon(0, RegistryIcon(136));
        const uint8_t d = entry.nDrive;
        LoadTitleFile(d);
        emit CdTitlesLoaded(d);
        m_watch.Track(d);
        QTimer *&timer = m_timers[d];
        if (!timer) {
            timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, d] { PollDrive(d); });
        }
        timer->start(500);
    } else {
        static const QIcon folderIcon = FolderIcon();
        item->setIcon(0, folderIcon);
    }
    // Sorted under the parent, without regard to case.
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int at = 0;
    while (at < count) {
        const QTreeWidgetItem *sibling = parent ? parent->child(at) : topLevelItem(at);
        if (sibling->text(0).compare(entry.strName, Qt::CaseInsensitive) > 0)
            break;
        ++at;
    }
    if (parent)
        parent->insertChild(at, item);
    else
        insertTopLevelItem(at, item);
    return item;
}

void CDirTree::ListChildren(QTreeWidgetItem *item) {
    if (ItemDrive(item) != CDDA_NO_DRIVE)
        return; // a disc's tracks are files, shown in the file list
    const QList<ShellEntry> children = IsComputer(item) ? ComputerEntries() : SubFolders(ItemPath(item));
    for (const ShellEntry &child : children)
        InsertItem(child, item);
}

void CDirTree::OnExpanding(QTreeWidgetItem *item) {
    if (item->data(0, ROLE_LISTED).toBool())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->childCount() == 0)
            ListChildren(item->child(i));
    item->setData(0, ROLE_LISTED, true);
    QApplication::restoreOverrideCursor();
}

void CDirTree::OnSelectionChanged() {
    if (!m_bBuilt)
        return;
    QTreeWidgetItem *item = currentItem();
    if (!item)
        return;
    m_strSelectedDirectory = ItemPath(item);
    const uint8_t drive = ItemDrive(item);
    m_bCDSelected = drive != CDDA_NO_DRIVE;
    emit CdSelected(m_bCDSelected);
    if (m_bCDSelected)
        emit CdTracksSelected(CdTrackFiles(drive));
    else
        emit FolderSelected(IsComputer(item) ? QString() : m_strSelectedDirectory); // "Computer" holds no files
}

QTreeWidgetItem *CDirTree::FindAndExpand(const QString &path) {
    if (path.isEmpty())
        return nullptr;
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> search = [&](QTreeWidgetItem *item) -> QTreeWidgetItem * {
        const QString itemPath = ItemPath(item);
        if (!IsComputer(item)) {
            if (itemPath == path)
                return item;
            if (!IsBelow(path, itemPath))
                return nullptr;
        }
        item->setExpanded(true); // lists the grandchildren on the way
        for (int i = 0; i < item->childCount(); ++i)
            if (QTreeWidgetItem *found = search(item->child(i)))
                return found;
        return nullptr;
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (QTreeWidgetItem *found = search(topLevelItem(i)))
            return found;
    return nullptr;
}

void CDirTree::RefreshDrive(const QString &driveString) {
    QList<QTreeWidgetItem *> stale;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (ItemDrive(*it) != CDDA_NO_DRIVE && ItemPath(*it) == driveString)
            stale << *it;
    for (QTreeWidgetItem *old : stale) {
        const bool wasCurrent = currentItem() == old;
        QTreeWidgetItem *parent = old->parent();
        QTreeWidgetItem *fresh = SetRootFolder(driveString, parent);
        delete old;
        if (wasCurrent && fresh) {
            setCurrentItem(fresh);
            OnSelectionChanged();
        }
    }
}

void CDirTree::PollDrive(uint8_t drive) {
    bool present = false;
    if (!m_watch.Changed(drive, &present))
        return;
    const QString path = ItemPathOfDrive(drive);
    CloseCDHandle(drive);
    emit MediaChanged(path, present);
    RefreshDrive(path);
}

QString CDirTree::ItemPathOfDrive(uint8_t drive) const {
    for (QTreeWidgetItemIterator it(const_cast<CDirTree *>(this)); *it; ++it)
        if (ItemDrive(*it) == drive)
            return ItemPath(*it);
    return {};
}

void CDirTree::PollDiscs() {
    for (auto it = m_timers.cbegin(); it != m_timers.cend(); ++it)
        if (it.value()->isActive())
            PollDrive(it.key());
}

void CDirTree::CloseTree() {
    WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("SelDirectory"), m_strSelectedDirectory);
    m_bBuilt = false;
    for (QTimer *timer : m_timers)
        timer->stop();
    clear();
    m_watch.Clear();
}

void CDirTree::dragEnterEvent(QDragEnterEvent *event) {
    if (DroppedImages(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CDirTree::dragMoveEvent(QDragMoveEvent *event) {
    if (DroppedImages(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void CDirTree::dropEvent(QDropEvent *event) {
    const QStringList images = DroppedImages(event->mimeData());
    if (images.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (AddDiscImages(images) > 0)
        BuildTree();
}
