// Reads and edits mimeapps.list and .desktop files, keeping every line the component does not own.
#pragma once

#include <QString>
#include <QStringList>

class MimeAppsList {
public:
    bool Load(const QString &path); // a missing file is an empty list
    bool Save(const QString &path) const;

    QStringList Values(const QString &group, const QString &key) const;
    void SetValues(const QString &group, const QString &key, const QStringList &values);

private:
    QStringList m_lines;
};

// The Exec line of a desktop entry without its field codes ("%U", "%f" …); empty when unreadable.
QString DesktopEntryCommand(const QString &desktopFilePath);
