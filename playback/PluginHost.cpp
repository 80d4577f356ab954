// The plug-in host: finds "in-*.so" beside the program, binds their exports and keeps the table.
#include "PluginHost.h"

#include "Helpers.h"
#include "MelvoPluginHost.h"
#include "Messages.h"
#include "PlaybackMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

std::vector<PluginEntry *> g_table;

// Stand-ins for missing exports: each fails the way its caller already handles.
int MissingDeinitDLL() {
    return 0;
}
int MissingResync(TitleItem *) {
    return 0;
}
int MissingGetFormat(TitleItem *, int) {
    return 0;
}
int MissingInitRead(TitleItem *, int) {
    return 0;
}
int MissingDeinitRead(TitleItem *, int) {
    return 0;
}
int MissingRead(TitleItem *item, unsigned char *output, unsigned long outputSize, unsigned long,
                unsigned long *bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    if (output && item)
        std::memset(output, item->bSilence, outputSize);
    return 0;
}

char *HeapCopy(const QByteArray &text) {
    char *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (copy)
        std::memcpy(copy, text.constData(), text.size() + 1);
    return copy;
}

// Looks one export up; a missing one is reported with "<name> in <file title>".
template <typename Fn> Fn Bind(void *module, const char *name, const QString &fileTitle) {
    void *address = dlsym(module, name);
    if (!address)
        ShowError(61286, 0, QStringLiteral("%1 in %2").arg(QString::fromLatin1(name), fileTitle), ERR_STYLE_DETAIL);
    return reinterpret_cast<Fn>(address);
}

QIcon LoadPluginIcon(void *module, int iconId) {
    const auto *table = static_cast<const MelvoPluginIcon *>(dlsym(module, MELVO_PLUGIN_ICONS));
    if (!table)
        return QIcon();
    const int wanted = iconId & 0xFFFF;
    // The table ends with id 0; a bound keeps a table without its end from being read forever.
    for (int i = 0; i < 4096 && table[i].nId != 0; ++i) {
        if ((table[i].nId & 0xFFFF) != wanted || !table[i].pData || table[i].nSize == 0)
            continue;
        QImage image;
        if (!image.loadFromData(table[i].pData, static_cast<int>(table[i].nSize)))
            return QIcon();
        return QIcon(QPixmap::fromImage(image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    return QIcon();
}

PluginEntry *LoadOne(const QFileInfo &file) {
    const QByteArray path = QFile::encodeName(file.absoluteFilePath());
    void *module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    const QString fileTitle = file.completeBaseName();

    auto *entry = new PluginEntry;
    entry->hModule = module;
    entry->pfnInitDLL = Bind<PFN_InitDLL>(module, "InitDLL", fileTitle);
    entry->pfnDeinitDLL = Bind<PFN_DeinitDLL>(module, "DeinitDLL", fileTitle);
    entry->pfnResync = Bind<PFN_Resync>(module, "Resync", fileTitle);
    entry->pfnGetFormat = Bind<PFN_GetFormat>(module, "GetFormat", fileTitle);
    entry->pfnInitRead = Bind<PFN_InitRead>(module, "InitRead", fileTitle);
    entry->pfnDeinitRead = Bind<PFN_DeinitRead>(module, "DeinitRead", fileTitle);
    entry->pfnRead = Bind<PFN_Read>(module, "Read", fileTitle);
    if (!entry->pfnInitDLL) {
        // Nothing of it will ever be called, so it need not stay loaded.
        dlclose(module);
        delete entry;
        return nullptr;
    }
    entry->bServesFiles = entry->pfnGetFormat && entry->pfnInitRead && entry->pfnRead && entry->pfnDeinitRead;
    if (!entry->pfnDeinitDLL)
        entry->pfnDeinitDLL = MissingDeinitDLL;
    if (!entry->pfnResync)
        entry->pfnResync = MissingResync;
    if (!entry->pfnGetFormat)
        entry->pfnGetFormat = MissingGetFormat;
    if (!entry->pfnInitRead)
        entry->pfnInitRead = MissingInitRead;
    if (!entry->pfnDeinitRead)
        entry->pfnDeinitRead = MissingDeinitRead;
    if (!entry->pfnRead)
        entry->pfnRead = MissingRead;

    entry->pszPath = HeapCopy(path);
    entry->pszFileName = HeapCopy(QFile::encodeName(file.fileName()));

    int iconId = 0;
    entry->pfnInitDLL(&entry->pszExtensions, &entry->pszDescriptions, &iconId);

    // Pictures need a GUI; a program without one (a tool) simply shows no icons.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        entry->hIcon = LoadPluginIcon(module, iconId);
        if (entry->hIcon.isNull())
            ShowError(61287, 0, fileTitle, ERR_STYLE_DETAIL);
    }
    return entry;
}

bool ListHasExtension(const char *list, const QByteArray &extension) {
    if (!list || extension.isEmpty())
        return false;
    const char *start = list;
    for (;;) {
        const char *end = std::strchr(start, ';');
        const size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
        if (length == static_cast<size_t>(extension.size()) && std::memcmp(start, extension.constData(), length) == 0)
            return true;
        if (!end)
            return false;
        start = end + 1;
    }
}

} // namespace

namespace {

thread_local int t_nPluginMessages = 0;

} // namespace

extern "C" int MelvoHostMessageBox(const char *text, unsigned type) {
    ++t_nPluginMessages;
    return ShowPlaybackMessage(QString::fromUtf8(text ? text : ""), type);
}

int PluginMessagesOnThisThread() {
    return t_nPluginMessages;
}

void LoadPlugins(const QString &folder) {
    const QString where = folder.isEmpty() ? GetProgramFolder(false) : folder;
    // Name order, so the same folder gives the same table (and the same winner of a shared extension)
    // on every file system.
    const QFileInfoList files =
        QDir(where).entryInfoList({QStringLiteral("in-*.so")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        if (g_table.size() >= kNoPlugin)
            break; // the index is one byte and 255 means none
        if (PluginEntry *entry = LoadOne(file))
            g_table.push_back(entry);
    }
}

void UnloadPlugins() {
    for (PluginEntry *entry : g_table) {
        std::free(entry->pszFileName);
        std::free(entry->pszPath);
        entry->hIcon = QIcon();
        entry->pfnDeinitDLL();
        dlclose(entry->hModule);
        delete entry;
    }
    g_table.clear();
}

const std::vector<PluginEntry *> &PluginTable() {
    return g_table;
}

PluginEntry *PluginAt(uint8_t index) {
    return index < g_table.size() ? g_table[index] : nullptr;
}

uint8_t FindPluginForExtension(const QString &extension) {
    const QByteArray wanted = extension.toUpper().toUtf8();
    for (size_t i = 0; i < g_table.size(); ++i) {
        if (g_table[i]->bServesFiles && ListHasExtension(g_table[i]->pszExtensions, wanted))
            return static_cast<uint8_t>(i);
    }
    return kNoPlugin;
}

std::vector<QIcon> PluginIcons() {
    std::vector<QIcon> icons;
    icons.reserve(g_table.size());
    for (const PluginEntry *entry : g_table)
        icons.push_back(entry->hIcon);
    return icons;
}
