// The "Folders" page over FolderList; the tree reads what it writes (FOLDER/Folder, FOLDER/AllFolders).
#include "OptFolder.h"

#include "BrowseForFolder.h"
#include "FolderSettings.h"
#include "Messages.h"
#include "Settings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("FOLDER");

} // namespace

COptFolder::COptFolder(QWidget *parent) : COptionPage(tr("Folders"), parent), m_folders(StoredFolderList()) {
    auto *layout = new QVBoxLayout(this);
    m_pComputer = new QRadioButton(tr("Show My Computer"), this);
    m_pFolders = new QRadioButton(tr("Show User-Defined Folders"), this);
    layout->addWidget(m_pComputer);
    layout->addWidget(m_pFolders);

    m_pGroup = new QGroupBox(this);
    auto *grid = new QGridLayout(m_pGroup);
    m_pExplanation =
        new QLabel(tr("Here you can select which folders will be shown in addition to the CD-ROM drives"), m_pGroup);
    m_pExplanation->setWordWrap(true);
    m_pList = new QListWidget(m_pGroup);
    m_pAdd = new QPushButton(tr("Add..."), m_pGroup);
    m_pRemove = new QPushButton(tr("Remove"), m_pGroup);
    grid->addWidget(m_pExplanation, 0, 0, 1, 2);
    grid->addWidget(m_pList, 1, 0, 3, 1);
    grid->addWidget(m_pAdd, 1, 1);
    grid->addWidget(m_pRemove, 2, 1);
    grid->setRowStretch(3, 1);
    layout->addWidget(m_pGroup, 1);

    m_pStandard = new QPushButton(tr("Standard"), this);
    layout->addWidget(m_pStandard, 0, Qt::AlignRight);

    const bool bOwnFolders = GetSettingInt(kSection, QStringLiteral("AllFolders"), 1) != 0;
    (bOwnFolders ? m_pFolders : m_pComputer)->setChecked(true);
    FillList();
    UpdateEnabling();

    connect(m_pComputer, &QRadioButton::clicked, this, &COptFolder::UpdateEnabling);
    connect(m_pFolders, &QRadioButton::clicked, this, &COptFolder::UpdateEnabling);
    connect(m_pAdd, &QPushButton::clicked, this, &COptFolder::OnAdd);
    connect(m_pRemove, &QPushButton::clicked, this, &COptFolder::OnRemove);
    connect(m_pStandard, &QPushButton::clicked, this, &COptFolder::OnStandard);
}

void COptFolder::FillList() {
    m_pList->clear();
    m_pList->addItems(m_folders.Items());
    if (m_pList->count() > 0)
        m_pList->setCurrentRow(m_pList->count() - 1);
}

void COptFolder::UpdateEnabling() {
    const bool bOwnFolders = m_pFolders->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_pGroup, m_pList, m_pAdd, m_pRemove, m_pExplanation})
        w->setEnabled(bOwnFolders);
}

void COptFolder::OnAdd() {
    const QString path = BrowseForFolder(61329, QString());
    if (path.isEmpty())
        return; // cancelled, or no file-system folder
    m_folders.Add(path);
    FillList();
}

void COptFolder::OnRemove() {
    const QList<QListWidgetItem *> selected = m_pList->selectedItems();
    if (selected.isEmpty()) {
        ShowError(11);
        return;
    }
    m_folders.Remove(selected.first()->text());
    delete selected.first();
    if (m_pList->count() > 0)
        m_pList->setCurrentRow(m_pList->count() - 1);
}

void COptFolder::OnStandard() {
    m_pComputer->setChecked(true);
    UpdateEnabling();
}

bool COptFolder::OnOK() {
    // Written in either mode: the list keeps its content while My Computer is shown.
    WriteSettingString(kSection, QStringLiteral("Folder"), m_folders.Text());
    WriteSettingInt(kSection, QStringLiteral("AllFolders"), m_pFolders->isChecked() ? 1 : 0);
    return true;
}
