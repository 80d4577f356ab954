// The "File Types" page over FileTypes.
#include "OptFiletypes.h"

#include "Messages.h"
#include "PluginHost.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

COptFiletypes::COptFiletypes(QWidget *parent) : COptFiletypes(PluginTable(), Associations::Registry(), parent) {}

COptFiletypes::COptFiletypes(const std::vector<PluginEntry *> &plugins, Associations associations, QWidget *parent)
    : COptionPage(tr("File Types"), parent), m_types(plugins, std::move(associations)) {
    auto *layout = new QVBoxLayout(this);
    m_pAudioCd = new QCheckBox(tr("Associate AudioCDs with Melvo"), this);
    layout->addWidget(m_pAudioCd);
    m_pList = new QTreeWidget(this);
    m_pList->setRootIsDecorated(false);
    m_pList->setAllColumnsShowFocus(true); // full-row selection
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setHeaderLabels({LoadStringRes(32), LoadStringRes(33)});
    for (const FileTypeItem &type : m_types.Items()) {
        auto *item = new QTreeWidgetItem(m_pList, {type.strExtension, type.strDescription});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(0, Qt::UserRole, type.nPlugin);
    }
    m_pList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_pList, 1);
    m_pStandard = new QPushButton(tr("Standard"), this);
    layout->addWidget(m_pStandard, 0, Qt::AlignRight);

    m_pAudioCd->setEnabled(m_types.AudioCdItem() >= 0);
    ShowValues();
    connect(m_pStandard, &QPushButton::clicked, this, [this] {
        m_types.Standard();
        ShowValues();
    });
}

void COptFiletypes::ShowValues() {
    m_pAudioCd->setChecked(m_types.bAudioCd);
    for (int i = 0; i < m_pList->topLevelItemCount(); ++i)
        m_pList->topLevelItem(i)->setCheckState(0, m_types.Items()[i].bChecked ? Qt::Checked : Qt::Unchecked);
}

void COptFiletypes::TakeValues() {
    m_types.bAudioCd = m_pAudioCd->isChecked();
    for (int i = 0; i < m_pList->topLevelItemCount(); ++i)
        m_types.Items()[i].bChecked = m_pList->topLevelItem(i)->checkState(0) == Qt::Checked;
}

bool COptFiletypes::OnOK() {
    TakeValues();
    m_types.Apply();
    return true;
}
