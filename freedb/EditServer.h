// "Edit freedb Server...": the server list edited by hand or replaced by a server's own list.
#pragma once

#include "FreedbRequest.h"
#include "ServerList.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

class CEditServer : public QDialog, public CFreedbTarget {
    Q_OBJECT
public:
    // Works on copies of the page's server text and current server.
    CEditServer(const QString &strText, const ServerEntry &current, QWidget *parent = nullptr);
    QString Text() const { return m_strText; }
    ServerEntry Current() const { return m_current; }

    // The answer to "sites" replaces the whole list with its http servers.
    void OnFreedbAnswer(const QStringList &lines) override;

private:
    void Refill();
    void OnSelect(int row);
    void ShowRow(int row);
    void OnAdd();
    void OnSave();
    void OnDelete();
    void DropPending();

    QString m_strText;
    ServerEntry m_current;
    bool m_bPending = false; // a "New Server..." row waits for Save
    QListWidget *m_pList;
    QLineEdit *m_pDomain, *m_pPath, *m_pPort, *m_pLocation;
    QPushButton *m_pSave, *m_pDelete;
};
