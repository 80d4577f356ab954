// The folder string of the Folders page: absolute paths, each followed by ";".
#pragma once

#include <QString>
#include <QStringList>

class FolderList {
public:
    explicit FolderList(const QString &folders = QString()) : m_strFolders(folders) {}

    const QString &Text() const { return m_strFolders; }
    // The folders in stored order; empty pieces are skipped and the last needs no ";".
    QStringList Items() const;
    // Appends the path and ";", also when it is listed already.
    void Add(const QString &path);
    // Deletes the first entry equal to the path (with its ";", or the last one without it); false and
    // the text unchanged when no entry is equal.
    bool Remove(const QString &path);

private:
    QString m_strFolders;
};
