// Shared helpers over the file system and the desktop.
#include "Helpers.h"

#include "Messages.h"
#include "registry/Registry.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ExecutableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? QDir::currentPath() : QString::fromStdString(exe.parent_path().string());
}

} // namespace

QString GetProgramFolder(bool bTrailingSlash) {
    QString folder = QDir::cleanPath(ExecutableFolder());
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (bTrailingSlash && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool FileExists(const QString &path, bool bShowMessage) {
    // The path is taken as written: no globbing, no case folding, and a folder is not a file.
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    const bool exists = !path.isEmpty() && ::stat(native.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
    if (!exists && bShowMessage)
        ShowError(61313, 0, path, ERR_STYLE_DETAIL);
    return exists;
}

bool EnsureFolder(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    if (::mkdir(native.constData(), 0777) == 0)
        return true;
    ShowError(61324, 0, path, ERR_STYLE_DETAIL, true);
    return false;
}

bool OpenWithShell(const QString &target, int /*nShowCmd*/) {
    const QUrl url = QUrl::fromUserInput(target);
    if (QDesktopServices::openUrl(url))
        return true;
    const QString command = QString::fromUtf8(GetAssociatedProgramm(".htm"));
    if (command.isEmpty())
        return false;
    QStringList args = QProcess::splitCommand(command);
    if (args.isEmpty())
        return false;
    const QString program = args.takeFirst();
    args << target;
    return QProcess::startDetached(program, args);
}

QString SanitizeFileName(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '*' || u == '?' || (u >= 1 && u <= 31))
            continue;
        if (u == '/' || u == ':' || u == '<' || u == '>' || u == '\\' || u == '|')
            result += QLatin1Char('-');
        else
            result += c;
    }
    return result;
}
