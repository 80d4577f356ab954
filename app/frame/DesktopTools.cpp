// Finding and starting the desktop's helpers.
#include "DesktopTools.h"

#include "Helpers.h"
#include "Messages.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>

QStringList DefaultVolumeControls() {
    return {QStringLiteral("pavucontrol"), QStringLiteral("pavucontrol-qt"), QStringLiteral("mate-volume-control"),
            QStringLiteral("xfce4-mixer"), QStringLiteral("kmix"),           QStringLiteral("alsamixergui")};
}

QString FindVolumeControl(const QStringList &candidates) {
    for (const QString &name : candidates) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool StartVolumeControl(const QString &program) {
    if (QProcess::startDetached(program, {}))
        return true;
    ShowSystemError(QFileInfo(program).exists() ? EACCES : ENOENT, program);
    return false;
}

QString HelpFilePath() {
    return GetProgramFolder(true) + QStringLiteral("Melvo.html");
}

bool OpenHelp() {
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        ShowError(61290);
        return false;
    }
    return true;
}
