// The folder browser over the shell layer of the folder tree: "Computer", its volumes and their folders.
#include "BrowseForFolder.h"

#include "Messages.h"
#include "ShellFolder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

bool IsBelow(const QString &path, const QString &folder) {
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

bool IsValidFolderName(const QString &name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name)
        if (QStringLiteral("<>:/\\|*?").contains(c))
            return false;
    return true;
}

CBrowseForFolder::CBrowseForFolder(unsigned nTitleId, const QString &start, const QString &root, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CBrowseForFolder"));
    setWindowTitle(tr("Browse for Folder"));
    m_pTitle = new QLabel(LoadStringRes(nTitleId), this);
    m_pTitle->setWordWrap(true);
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("status"));
    m_pTree = new QTreeWidget(this);
    m_pTree->setHeaderHidden(true);
    m_pNewFolder = new QPushButton(LoadStringRes(61327), this);
    m_pNewFolder->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_pNewFolder, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBrowseForFolder::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBrowseForFolder::reject);
    connect(m_pNewFolder, &QPushButton::clicked, this, &CBrowseForFolder::OnNewFolder);
    connect(m_pTree, &QTreeWidget::itemExpanded, this, &CBrowseForFolder::ListChildren);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this, &CBrowseForFolder::OnSelectionChanged);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pTree, 1);
    layout->addWidget(buttons);

    QTreeWidgetItem *top = nullptr;
    if (!root.isEmpty()) {
        top = AddItem(nullptr, QDir::cleanPath(root), QDir::cleanPath(root));
    } else {
        top = AddItem(nullptr, QString(), tr("Computer"));
        for (const ShellEntry &entry : ComputerEntries())
            if (!entry.IsCdDrive())
                AddItem(top, entry.strPath, entry.strName);
        top->setData(0, kListedRole, true);
    }
    top->setExpanded(true);
    if (start.isEmpty() || !SelectFolder(start))
        m_pTree->setCurrentItem(top);
    resize(420, 480);
}

QTreeWidgetItem *CBrowseForFolder::AddItem(QTreeWidgetItem *parent, const QString &path, const QString &name) {
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_pTree);
    item->setText(0, name);
    item->setData(0, kPathRole, path);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void CBrowseForFolder::ListChildren(QTreeWidgetItem *item) {
    if (item->data(0, kListedRole).toBool())
        return;
    item->setData(0, kListedRole, true);
    const QList<ShellEntry> folders = SubFolders(item->data(0, kPathRole).toString());
    for (const ShellEntry &entry : folders)
        AddItem(item, entry.strPath, entry.strName);
    if (folders.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool CBrowseForFolder::SelectFolder(const QString &wanted) {
    const QString path = QDir::cleanPath(wanted);
    if (!QFileInfo(path).isDir())
        return false;
    // The deepest item that holds the path, from the top down.
    QTreeWidgetItem *item = nullptr;
    QList<QTreeWidgetItem *> level;
    for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
        level << m_pTree->topLevelItem(i);
    for (;;) {
        QTreeWidgetItem *next = nullptr;
        int bestLength = -1;
        for (QTreeWidgetItem *candidate : level) {
            const QString folder = candidate->data(0, kPathRole).toString();
            const bool bHolds = folder.isEmpty() ? item == nullptr : IsBelow(path, folder);
            if (bHolds && folder.size() > bestLength)
                next = candidate, bestLength = int(folder.size());
        }
        if (!next)
            break;
        item = next;
        ListChildren(item);
        if (item->data(0, kPathRole).toString() == path)
            break;
        level.clear();
        for (int i = 0; i < item->childCount(); ++i)
            level << item->child(i);
        // A folder the listing leaves out (a hidden one) is still reachable by its path.
        const QString folder = item->data(0, kPathRole).toString();
        if (!folder.isEmpty()) {
            const QString rest = path.mid(folder == QLatin1String("/") ? 1 : folder.size() + 1);
            const QString child = (folder == QLatin1String("/") ? QString() : folder) + QLatin1Char('/') +
                                  rest.section(QLatin1Char('/'), 0, 0);
            bool bListed = false;
            for (QTreeWidgetItem *c : level)
                bListed = bListed || c->data(0, kPathRole).toString() == child;
            if (!bListed)
                level << AddItem(item, child, QFileInfo(child).fileName());
        }
    }
    if (!item || item->data(0, kPathRole).toString() != path)
        return false;
    for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    m_pTree->setCurrentItem(item);
    m_pTree->scrollToItem(item);
    return true;
}

void CBrowseForFolder::OnSelectionChanged() {
    QTreeWidgetItem *item = m_pTree->currentItem();
    m_strCurrent = item ? item->data(0, kPathRole).toString() : QString();
    m_pStatus->setText(m_strCurrent.isEmpty() ? LoadStringRes(37) : m_strCurrent);
}

void CBrowseForFolder::accept() {
    m_strResult = m_strCurrent;
    QDialog::accept();
}

void CBrowseForFolder::OnNewFolder() {
    if (m_strCurrent.isEmpty() || !QFileInfo(m_strCurrent).isDir()) {
        ShowError(61325);
        return;
    }
    CNewFolder ask(m_strCurrent, this);
    if (ask.exec() != QDialog::Accepted)
        return;
    const QString created =
        (m_strCurrent == QLatin1String("/") ? QString() : m_strCurrent) + QLatin1Char('/') + ask.Name();
    if (!QFileInfo(created).isDir() && !QDir().mkdir(created)) {
        ShowError(61324, 0, created, ERR_STYLE_DETAIL, true);
        return;
    }
    // The parent's listing is made again, so the new folder appears in its place.
    if (QTreeWidgetItem *parent = m_pTree->currentItem()) {
        qDeleteAll(parent->takeChildren());
        parent->setData(0, kListedRole, false);
        parent->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    SelectFolder(created);
}

CNewFolder::CNewFolder(const QString &folder, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CNewFolder"));
    setWindowTitle(LoadStringRes(244));
    auto *text =
        new QLabel(tr("Please enter a valid name for a folder, which you want to create in the current folder."), this);
    text->setWordWrap(true);
    auto *current = new QLabel(folder, this);
    current->setObjectName(QStringLiteral("1240"));
    m_pName = new QLineEdit(this);
    m_pName->setObjectName(QStringLiteral("1239"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewFolder::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewFolder::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(current);
    layout->addWidget(m_pName);
    layout->addWidget(buttons);
}

QString CNewFolder::Name() const {
    return m_pName->text().trimmed();
}

void CNewFolder::accept() {
    if (!IsValidFolderName(Name())) {
        ShowError(61326);
        m_pName->setFocus();
        return;
    }
    QDialog::accept();
}

QString BrowseForFolder(unsigned nTitleId, const QString &current) {
    return BrowseForFolder(LoadStringRes(nTitleId), current);
}

QString BrowseForFolder(const QString &title, const QString &current) {
    CBrowseForFolder browser(0, current, QString(), QApplication::activeWindow());
    browser.Title()->setText(title);
    if (browser.exec() != QDialog::Accepted)
        return current;
    if (browser.Result().isEmpty()) {
        ShowError(61330);
        return current;
    }
    return browser.Result();
}
