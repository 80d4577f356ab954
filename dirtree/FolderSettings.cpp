// The folder list of the tree and of the folder options.
#include "FolderSettings.h"

#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString FirstStartFolderList() {
    // Qt answers ~/Music even when it does not exist; an empty tree is no welcome either.
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString folder = !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
    return QDir::cleanPath(folder) + QLatin1Char(';');
}

QString StoredFolderList() {
    return GetSettingString(QStringLiteral("FOLDER"), QStringLiteral("Folder"), FirstStartFolderList());
}
