// Choosing a folder: the folder browser with its status line and "New Folder...", and the dialog
// "Create New Folder..." (dialog 244).
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Asks for a folder under the title text nTitleId (a string table id), starting at current. Returns the
// chosen folder, or current unchanged when the user cancels or chooses no file-system folder (then with
// message 61330). The owner is the active window.
QString BrowseForFolder(unsigned nTitleId, const QString &current);
// The same under a title text of its own.
QString BrowseForFolder(const QString &title, const QString &current);

// A name for a new folder: not ".", "..", empty, nor with one of < > : / \ | * ?.
bool IsValidFolderName(const QString &name);

class CBrowseForFolder : public QDialog {
    Q_OBJECT
public:
    // The tree starts at root (a folder), or at "Computer" when root is empty; start is selected.
    CBrowseForFolder(unsigned nTitleId, const QString &start, const QString &root = QString(),
                     QWidget *parent = nullptr);

    // After OK: the selection's folder, empty when it has none.
    QString Result() const { return m_strResult; }
    // The folder of the selection as the status line shows it (empty when it has none).
    QString CurrentFolder() const { return m_strCurrent; }
    bool SelectFolder(const QString &path);

    QLabel *Title() const { return m_pTitle; }
    QTreeWidget *Tree() const { return m_pTree; }
    QLabel *StatusLine() const { return m_pStatus; }
    QPushButton *NewFolderButton() const { return m_pNewFolder; }

    void OnNewFolder();
    void accept() override;

private:
    QTreeWidgetItem *AddItem(QTreeWidgetItem *parent, const QString &path, const QString &name);
    void ListChildren(QTreeWidgetItem *item);
    void OnSelectionChanged();

    QLabel *m_pTitle;
    QTreeWidget *m_pTree;
    QLabel *m_pStatus;
    QPushButton *m_pNewFolder;
    QString m_strCurrent, m_strResult;
};

class CNewFolder : public QDialog {
    Q_OBJECT
public:
    CNewFolder(const QString &folder, QWidget *parent = nullptr);
    // The name typed, without white space at its ends.
    QString Name() const;
    QLineEdit *NameEdit() const { return m_pName; }
    // An invalid name shows message 61326 and keeps the dialog open.
    void accept() override;

private:
    QLineEdit *m_pName;
};
