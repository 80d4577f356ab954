// The "File Types" page: which extensions of the loaded plug-ins, and audio CDs, open with Melvo.
#pragma once

#include "FileTypes.h"
#include "OptionPage.h"

class QCheckBox;
class QPushButton;
class QTreeWidget;

class COptFiletypes : public COptionPage {
    Q_OBJECT
public:
    explicit COptFiletypes(QWidget *parent = nullptr);
    // The plug-in table and the registry calls it works with (tests bring their own).
    COptFiletypes(const std::vector<PluginEntry *> &plugins, Associations associations, QWidget *parent = nullptr);

    bool OnOK() override;

    QCheckBox *AudioCd() const { return m_pAudioCd; }
    QTreeWidget *List() const { return m_pList; }
    QPushButton *StandardButton() const { return m_pStandard; }

private:
    void ShowValues();
    void TakeValues();

    FileTypes m_types;
    QCheckBox *m_pAudioCd;
    QTreeWidget *m_pList;
    QPushButton *m_pStandard;
};
