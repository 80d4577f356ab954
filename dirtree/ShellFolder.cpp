// Folders and CD drives for the tree, over std::filesystem, QStorageInfo and the cdda component.
#include "ShellFolder.h"

#include "cdda/CDDA.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

QString DriveString(uint8_t drive) {
    const size_t needed = GetDriveInfo(drive, nullptr, nullptr, 0);
    if (needed == 0)
        return {};
    std::vector<char> buffer(needed);
    GetDriveInfo(drive, nullptr, buffer.data(), buffer.size());
    return QString::fromUtf8(buffer.data());
}

QString DriveName(uint8_t drive) {
    char name[CDDA_NAME_SIZE] = {};
    GetDriveInfo(drive, name, nullptr, 0);
    return QString::fromUtf8(name);
}

// Pseudo file systems hold no music and would only clutter the tree.
bool IsMusicVolume(const QStorageInfo &volume) {
    static const QStringList skipped = {"proc",      "sysfs",   "tmpfs",    "devtmpfs", "devpts",
                                        "cgroup",    "cgroup2", "overlay",  "squashfs", "securityfs",
                                        "debugfs",   "tracefs", "pstore",   "bpf",      "mqueue",
                                        "hugetlbfs", "autofs",  "configfs", "fusectl",  "ramfs"};
    return volume.isValid() && volume.isReady() && !skipped.contains(QString::fromLatin1(volume.fileSystemType())) &&
           volume.rootPath() != QLatin1String("/");
}

} // namespace

QList<ShellEntry> CdDriveEntries() {
    QList<ShellEntry> drives;
    const uint8_t count = GetNumDrives();
    for (uint8_t d = 0; d < count && d < CDDA_NO_DRIVE; ++d) {
        const QString path = DriveString(d);
        if (!path.isEmpty())
            drives.append({path, DriveName(d) + QStringLiteral(" (") + path + QLatin1Char(')'), d});
    }
    return drives;
}

QList<ShellEntry> ComputerEntries() {
    QList<ShellEntry> entries;
    const QString home = QDir::homePath();
    entries.append({home, QDir(home).dirName(), CDDA_NO_DRIVE});
    entries.append({QStringLiteral("/"), QStringLiteral("/"), CDDA_NO_DRIVE});
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!IsMusicVolume(volume) || volume.rootPath() == home)
            continue;
        const QString name = volume.displayName().isEmpty() ? volume.rootPath() : volume.displayName();
        entries.append({volume.rootPath(), name, CDDA_NO_DRIVE});
    }
    entries.append(CdDriveEntries());
    return entries;
}

QList<ShellEntry> SubFolders(const QString &path) {
    namespace fs = std::filesystem;
    QList<ShellEntry> folders;
    std::error_code ec;
    fs::directory_iterator it(fs::path(QFile::encodeName(path).toStdString()),
                              fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError))
            continue;
        const QString name = QFile::decodeName(QByteArray::fromStdString(it->path().filename().native()));
        if (name.startsWith(QLatin1Char('.')))
            continue;
        folders.append({QFile::decodeName(QByteArray::fromStdString(it->path().native())), name, CDDA_NO_DRIVE});
    }
    std::sort(folders.begin(), folders.end(), [](const ShellEntry &a, const ShellEntry &b) {
        return a.strName.compare(b.strName, Qt::CaseInsensitive) < 0;
    });
    return folders;
}

uint8_t CdDriveOfPath(const QString &path) {
    if (path.isEmpty())
        return CDDA_NO_DRIVE;
    const uint8_t direct = GetDriveIndex(QFile::encodeName(path).constData(), nullptr);
    if (direct != CDDA_NO_DRIVE)
        return direct;
    // A track below the drive: "<drive string>/Track01.cda".
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return CDDA_NO_DRIVE;
    return GetDriveIndex(QFile::encodeName(path.left(slash)).constData(), nullptr);
}

QStringList CdTrackFiles(uint8_t drive) {
    QStringList tracks;
    if (!IsDiscPresent(drive))
        return tracks;
    const QString root = DriveString(drive);
    const uint8_t count = GetNumTracks(drive);
    for (int t = 1; t <= count; ++t)
        tracks << root + QStringLiteral("/Track%1.cda").arg(t, 2, 10, QLatin1Char('0'));
    return tracks;
}
