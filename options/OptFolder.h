// The "Folders" page: My Computer or the user's own folders in the folder tree.
#pragma once

#include "FolderList.h"
#include "OptionPage.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

class COptFolder : public COptionPage {
    Q_OBJECT
public:
    explicit COptFolder(QWidget *parent = nullptr);

    bool OnOK() override;

    QRadioButton *ShowComputer() const { return m_pComputer; }
    QRadioButton *ShowFolders() const { return m_pFolders; }
    QListWidget *List() const { return m_pList; }
    QPushButton *AddButton() const { return m_pAdd; }
    QPushButton *RemoveButton() const { return m_pRemove; }
    QPushButton *StandardButton() const { return m_pStandard; }
    QString FolderText() const { return m_folders.Text(); }

private:
    void FillList();
    void UpdateEnabling();
    void OnAdd();
    void OnRemove();
    void OnStandard();

    FolderList m_folders;
    QRadioButton *m_pComputer;
    QRadioButton *m_pFolders;
    QGroupBox *m_pGroup;
    QListWidget *m_pList;
    QPushButton *m_pAdd;
    QPushButton *m_pRemove;
    QLabel *m_pExplanation;
    QPushButton *m_pStandard;
};
