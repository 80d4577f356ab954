// Associations through the user's mimeapps.list and a melvo.desktop entry.
#include "Registry.h"

#include "MimeApps.h"
#include "platform/MelvoVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <mutex>
#include <string>

MELVO_DEFINE_VERSION("registry", "Melvo registry component", 2, 7, 1)

namespace {

const QString kDesktopId = QStringLiteral("melvo.desktop");
const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kAudioCdType = QStringLiteral("x-content/audio-cdda");

std::mutex g_lock; // the component may be called from several threads; the files are shared
QString g_program;

QString ProgramPath() {
    if (!g_program.isEmpty())
        return g_program;
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString ConfigHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
QString DataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
QString MimeAppsPath() {
    return ConfigHome() + QStringLiteral("/mimeapps.list");
}
QString DesktopPath() {
    return DataHome() + QStringLiteral("/applications/") + kDesktopId;
}

// Extensions the MIME database does not know get a type of our own, so they can be associated.
QString OwnTypeFor(const QString &extension) {
    return QStringLiteral("audio/x-melvo-") + extension.mid(1).toLower();
}

QString MimeTypeFor(const QString &key) {
    if (key.compare(QLatin1String("AudioCD"), Qt::CaseInsensitive) == 0)
        return kAudioCdType;
    if (!key.startsWith(QLatin1Char('.')) || key.size() < 2)
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + key, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return OwnTypeFor(key);
    return type.name();
}

bool WriteOwnMimeType(const QString &type, const QString &extension, const QString &description) {
    const QString folder = DataHome() + QStringLiteral("/mime/packages");
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(folder + QStringLiteral("/melvo-") + extension.mid(1).toLower() + QStringLiteral(".xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QString comment = description.toHtmlEscaped();
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        << "  <mime-type type=\"" << type << "\">\n"
        << "    <comment>" << comment << "</comment>\n"
        << "    <glob pattern=\"*" << extension.toLower().toHtmlEscaped() << "\"/>\n"
        << "  </mime-type>\n</mime-info>\n";
    out.flush();
    if (!file.commit())
        return false;
    // Refreshing the cache is a courtesy to other programs; the association itself is already stored.
    QProcess::execute(QStringLiteral("update-mime-database"), {DataHome() + QStringLiteral("/mime")});
    return true;
}

// The desktop entry lists every type Melvo handles, so file managers offer it for them.
bool UpdateDesktopEntry(const QString &mimeType, bool add, const QString &icon) {
    if (!QDir().mkpath(QFileInfo(DesktopPath()).path()))
        return false;
    MimeAppsList entry;
    entry.Load(DesktopPath());
    QStringList types = entry.Values(QStringLiteral("Desktop Entry"), QStringLiteral("MimeType"));
    types.removeAll(mimeType);
    if (add)
        types << mimeType;
    const QString group = QStringLiteral("Desktop Entry");
    entry.SetValues(group, QStringLiteral("Type"), {QStringLiteral("Application")});
    entry.SetValues(group, QStringLiteral("Name"), {QStringLiteral("Melvo")});
    entry.SetValues(group, QStringLiteral("Comment"), {QStringLiteral("Music player, CD ripper and tag editor")});
    QString exec = ProgramPath();
    if (exec.contains(QLatin1Char(' ')))
        exec = QLatin1Char('"') + exec + QLatin1Char('"');
    entry.SetValues(group, QStringLiteral("Exec"), {exec + QStringLiteral(" %F")});
    entry.SetValues(group, QStringLiteral("Terminal"), {QStringLiteral("false")});
    entry.SetValues(group, QStringLiteral("Categories"),
                    {QStringLiteral("AudioVideo"), QStringLiteral("Audio"), QStringLiteral("Player")});
    const QString iconPath = icon.section(QLatin1Char(','), 0, 0).trimmed();
    if (!iconPath.isEmpty() && QFileInfo(iconPath).isFile() && !QFileInfo(iconPath).isExecutable())
        entry.SetValues(group, QStringLiteral("Icon"), {iconPath});
    entry.SetValues(group, QStringLiteral("MimeType"), types);
    return entry.Save(DesktopPath());
}

QString FirstInstalledDefault(const QString &mimeType) {
    QStringList lists;
    lists << ConfigHome() + QStringLiteral("/mimeapps.list");
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation).mid(1))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        lists << dir + QStringLiteral("/mimeapps.list") << dir + QStringLiteral("/defaults.list");
    for (const QString &listPath : lists) {
        MimeAppsList list;
        if (!list.Load(listPath))
            continue;
        for (const QString &id : list.Values(kDefaults, mimeType)) {
            const QString desktop = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
            if (!desktop.isEmpty())
                return desktop;
        }
    }
    // Without a chosen default, the first program that claims the type.
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        MimeAppsList cache;
        if (!cache.Load(dir + QStringLiteral("/mimeinfo.cache")))
            continue;
        for (const QString &id : cache.Values(QStringLiteral("MIME Cache"), mimeType)) {
            const QString desktop = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
            if (!desktop.isEmpty())
                return desktop;
        }
    }
    return {};
}

} // namespace

extern "C" {

int SetAssociation(int set, const char *key, const char *description, const char *icon) {
    if (!key)
        return 0;
    std::lock_guard lock(g_lock);
    const QString strKey = QString::fromUtf8(key);
    const QString type = MimeTypeFor(strKey);
    if (type.isEmpty())
        return 0;
    if (set && type == OwnTypeFor(strKey) &&
        !WriteOwnMimeType(type, strKey, QString::fromUtf8(description ? description : "")))
        return 0;
    if (!QDir().mkpath(ConfigHome()))
        return 0;

    MimeAppsList list;
    if (!list.Load(MimeAppsPath()))
        return 0;
    // Melvo goes first; whatever was chosen before stays behind it and takes over again on removal.
    QStringList defaults = list.Values(kDefaults, type);
    QStringList added = list.Values(kAdded, type);
    defaults.removeAll(kDesktopId);
    added.removeAll(kDesktopId);
    if (set) {
        defaults.prepend(kDesktopId);
        added.prepend(kDesktopId);
    }
    list.SetValues(kDefaults, type, defaults);
    list.SetValues(kAdded, type, added);
    if (!UpdateDesktopEntry(type, set != 0, QString::fromUtf8(icon ? icon : "")))
        return 0;
    return list.Save(MimeAppsPath()) ? 1 : 0;
}

int CompareValues(const char *key) {
    if (!key)
        return 0;
    std::lock_guard lock(g_lock);
    const QString type = MimeTypeFor(QString::fromUtf8(key));
    if (type.isEmpty())
        return 0;
    MimeAppsList list;
    if (!list.Load(MimeAppsPath()))
        return 0;
    const QStringList defaults = list.Values(kDefaults, type);
    return !defaults.isEmpty() && defaults.first() == kDesktopId && QFileInfo::exists(DesktopPath()) ? 1 : 0;
}

const char *GetAssociatedProgramm(const char *extension) {
    thread_local std::string command;
    command.clear();
    if (!extension)
        return command.c_str();
    std::lock_guard lock(g_lock);
    QString ext = QString::fromUtf8(extension);
    const QString type =
        ext.compare(QLatin1String(".htm"), Qt::CaseInsensitive) == 0 ? QStringLiteral("text/html") : MimeTypeFor(ext);
    const QString desktop = type.isEmpty() ? QString() : FirstInstalledDefault(type);
    if (!desktop.isEmpty())
        command = DesktopEntryCommand(desktop).toStdString();
    return command.c_str();
}

void SetAssociationProgram(const char *executablePath) {
    std::lock_guard lock(g_lock);
    g_program = QString::fromUtf8(executablePath ? executablePath : "");
}

} // extern "C"
