// The table of loaded input plug-ins: found beside the program, loaded once, unloaded at the end.
#pragma once

#include "MelvoPlugin.h"

#include <QIcon>
#include <QString>

#include <cstdint>
#include <vector>

// One loaded plug-in. A missing export is reported at load and its entry point is a stand-in that
// fails safely (GetFormat and InitRead answer 0, Read ends the audio, Resync and the rest do nothing),
// so no call through the table can jump to address 0.
struct PluginEntry {
    char *pszPath = nullptr;               // owned heap copy
    char *pszFileName = nullptr;           // owned heap copy, with extension
    const char *pszExtensions = nullptr;   // owned by the plug-in: "MP3;MP2;MPA"
    const char *pszDescriptions = nullptr; // owned by the plug-in
    void *hModule = nullptr;
    QIcon hIcon;
    PFN_InitDLL pfnInitDLL = nullptr;
    PFN_DeinitDLL pfnDeinitDLL = nullptr;
    PFN_Resync pfnResync = nullptr;
    PFN_GetFormat pfnGetFormat = nullptr;
    PFN_InitRead pfnInitRead = nullptr;
    PFN_DeinitRead pfnDeinitRead = nullptr;
    PFN_Read pfnRead = nullptr;
    // False when the library lacks GetFormat, InitRead, Read or DeinitRead: it is listed, but serves
    // no file (FindPluginForExtension passes over it).
    bool bServesFiles = true;
};

constexpr uint8_t kNoPlugin = TITLE_NO_PLUGIN;

// Loads every "in-*.so" of the folder (default: the program folder). Run once, on the GUI thread.
void LoadPlugins(const QString &folder = QString());
// Calls DeinitDLL and unloads each plug-in, in table order; the table is empty afterwards.
void UnloadPlugins();

// The process-wide table, fixed between LoadPlugins and UnloadPlugins.
const std::vector<PluginEntry *> &PluginTable();
PluginEntry *PluginAt(uint8_t index); // nullptr for 255 or out of range

// The index of the first plug-in serving the extension (without the dot, any case), or 255.
uint8_t FindPluginForExtension(const QString &extension);

// Shows a plug-in's message through the program's message routine (any thread). Exported from the
// executable under this name (see MelvoPluginHost.h); executables that load plug-ins set ENABLE_EXPORTS.
extern "C" __attribute__((visibility("default"))) int MelvoHostMessageBox(const char *text, unsigned type);
// How many messages plug-ins have shown from the calling thread so far (did a failing call say why?).
int PluginMessagesOnThisThread();

// The plug-ins' icons in table order (image i is plug-in i; a missing icon is a null icon).
std::vector<QIcon> PluginIcons();
