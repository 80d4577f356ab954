// Reads the version record of our libraries without keeping them loaded.
#include "Version.h"

#include "platform/MelvoVersion.h"

#include <QFile>

#include <dlfcn.h>

namespace {

// Loads the library just long enough to copy its record.
bool ReadRecord(const QString &libraryPath, FileVersion *version, QString *internalName, QString *description) {
    void *handle = dlopen(QFile::encodeName(libraryPath).constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle)
        return false;
    bool found = false;
    if (auto get = reinterpret_cast<PFN_MelvoGetVersionInfo>(dlsym(handle, MELVO_VERSION_EXPORT))) {
        if (const MelvoVersionInfo *info = get()) {
            found = true;
            if (version)
                *version = {info->dwFileVersionMS, info->dwFileVersionLS};
            if (internalName && info->szInternalName)
                *internalName = QString::fromUtf8(info->szInternalName);
            if (description && info->szFileDescription)
                *description = QString::fromUtf8(info->szFileDescription);
        }
    }
    dlclose(handle);
    return found;
}

} // namespace

bool GetFileVersion(const QString &libraryPath, FileVersion &version) {
    return ReadRecord(libraryPath, &version, nullptr, nullptr);
}

int CompareFileVersions(const FileVersion &a, const FileVersion &b) {
    if (a.dwMS != b.dwMS)
        return a.dwMS < b.dwMS ? -1 : 1;
    if (a.dwLS != b.dwLS)
        return a.dwLS < b.dwLS ? -1 : 1;
    return 0;
}

QString GetVersionString(const QString &libraryPath, const QString &name, const QString &strDefault) {
    QString internalName, description;
    if (!ReadRecord(libraryPath, nullptr, &internalName, &description))
        return strDefault;
    if (name == QLatin1String("InternalName") && !internalName.isEmpty())
        return internalName;
    if (name == QLatin1String("FileDescription") && !description.isEmpty())
        return description;
    return strDefault;
}

uint32_t GetDllVersion(const QString &libraryPath) {
    FileVersion version;
    if (!GetFileVersion(libraryPath, version))
        return 0;
    return (version.dwMS >> 16) * 65536u + (version.dwMS & 0xFFFFu);
}

QString VersionText(const QString &libraryPath) {
    FileVersion version;
    if (!GetFileVersion(libraryPath, version))
        return QStringLiteral("?.?");
    return QStringLiteral("%1.%2%3").arg(version.dwMS >> 16).arg(version.dwMS & 0xFFFF).arg(version.dwLS >> 16);
}
