// Version lines of the About dialog: our libraries' records and the other libraries' own version calls.
#include "AboutInfo.h"

#include "PluginHost.h"
#include "Version.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <dlfcn.h>

namespace {

const QString kUnknown = QStringLiteral("?.?");

template <typename F> F Symbol(void *handle, const char *name) {
    return reinterpret_cast<F>(dlsym(handle, name));
}

QString CString(const char *text) {
    return text ? QString::fromUtf8(text) : QString();
}

// TagLib 1.x, minizip and mpg123 before 1.32 have no version call: their presence is checked at run time
// and the version they were built with is shown.
QString BuiltVersion(const char *version) {
    return QString::fromLatin1(version);
}

} // namespace

QList<LibraryProbe> UsedLibraries() {
    return {
        {QStringLiteral("TagLib"), QStringLiteral("libtag.so.1"),
         [](void *) { return BuiltVersion(MELVO_BUILT_TAGLIB); }},
        {QStringLiteral("zlib"), QStringLiteral("libz.so.1"),
         [](void *h) {
             auto get = Symbol<const char *(*)()>(h, "zlibVersion");
             return get ? CString(get()) : QString();
         }},
        {QStringLiteral("minizip"), QStringLiteral("libminizip.so.1"),
         [](void *) { return BuiltVersion(MELVO_BUILT_MINIZIP); }},
        {QStringLiteral("libmpg123"), QStringLiteral("libmpg123.so.0"),
         [](void *h) {
             using Get = const char *(*)(unsigned *, unsigned *, unsigned *);
             if (auto get = Symbol<Get>(h, "mpg123_distversion"))
                 return CString(get(nullptr, nullptr, nullptr));
             return BuiltVersion(MELVO_BUILT_MPG123);
         }},
        {QStringLiteral("libcdio"), QStringLiteral("libcdio.so.19"),
         [](void *h) {
             auto text = Symbol<const char *const *>(h, "cdio_version_string");
             return text ? CString(*text).section(QLatin1Char(' '), 0, 0) : QString(); // "2.1.0 x86_64-…"
         }},
        {QStringLiteral("libcurl"), QStringLiteral("libcurl.so.4"),
         [](void *h) {
             // "libcurl/7.88.1 OpenSSL/3.0.11 …": the first word after the slash.
             auto get = Symbol<const char *(*)()>(h, "curl_version");
             return get ? CString(get()).section(QLatin1Char(' '), 0, 0).section(QLatin1Char('/'), 1) : QString();
         }},
        {QStringLiteral("SDL2"), QStringLiteral("libSDL2-2.0.so.0"),
         [](void *h) {
             struct SdlVersion {
                 unsigned char major, minor, patch;
             } v{};
             auto get = Symbol<void (*)(SdlVersion *)>(h, "SDL_GetVersion");
             if (!get)
                 return QString();
             get(&v);
             return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch);
         }},
        {QStringLiteral("Qt"), QString(), [](void *) { return CString(qVersion()); }},
    };
}

QString LibraryVersionText(const LibraryProbe &library) {
    QString version;
    if (library.strSoname.isEmpty()) {
        version = library.version(nullptr);
    } else if (void *handle = dlopen(QFile::encodeName(library.strSoname).constData(), RTLD_LAZY | RTLD_LOCAL)) {
        version = library.version(handle);
        dlclose(handle);
    }
    return library.strName + QLatin1Char(' ') + (version.isEmpty() ? kUnknown : version);
}

QString GeneralVersionLines(const QString &programFolder, const QList<LibraryProbe> &libraries) {
    QString lines;
    const QString folder = programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/');
    for (const char *component : {"cdda.so", "file.so", "registry.so"}) {
        const QString file = QString::fromLatin1(component);
        lines += QStringLiteral("%1 %2\n").arg(file, VersionText(folder + file));
    }
    for (const LibraryProbe &library : libraries)
        lines += LibraryVersionText(library) + QLatin1Char('\n');
    return lines;
}

QString PluginVersionLines(const std::vector<PluginEntry *> &plugins) {
    QString lines;
    for (const PluginEntry *plugin : plugins) {
        const QString path = CString(plugin->pszPath);
        const QString file = CString(plugin->pszFileName);
        const QString name = GetVersionString(path, QStringLiteral("InternalName"), QFileInfo(file).completeBaseName());
        lines += QStringLiteral("%1 (%2)  %3\n").arg(name, file, VersionText(path));
    }
    return lines;
}
