// The "freedb Settings" page: the server, the local database and the cache folders, the e-mail address.
#pragma once

#include "OptionPage.h"
#include "ServerList.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// How a folder is chosen: (parent, title, start folder) → the folder, empty when cancelled.
using FolderChooser = std::function<QString(QWidget *, const QString &, const QString &)>;
void SetFreedbFolderChooser(FolderChooser chooser); // tests answer for the user; empty: the platform dialog

// The default folders in the user's data folder.
QString DefaultFreedbCacheFolder();
QString DefaultFreedbDatabaseFolder();
// Sets the folders in use from FREEDB/LocalCachePath, UseLocalDB and LocalDBPath, as a start does.
void LoadFreedbFolders();

class COptFreeDB : public COptionPage {
    Q_OBJECT
public:
    explicit COptFreeDB(QWidget *parent = nullptr);
    bool OnOK() override;

    QComboBox *Servers() const { return m_pServers; }
    QString ServerText() const { return m_strServerText; }
    ServerEntry Current() const { return m_current; }

private:
    void Refill();
    void OnEdit();
    void UpdateDatabaseControls();
    void Choose(QLabel *label, unsigned titleId);

    QString m_strServerText;
    ServerEntry m_current;
    QComboBox *m_pServers;
    QCheckBox *m_pUseDB;
    QLabel *m_pDBPath, *m_pCachePath;
    QPushButton *m_pDBBrowse;
    QLineEdit *m_pEmail;
};
