// The table of loaded input plug-ins: found beside the program, loaded once, unloaded at the end.
#pragma once

#include "MelvoPlugin.h"

#include <QIcon>
#include <QString>

#include <cstdint>
#include <vector>

// One loaded plug-in. Entry points are null where the library lacks the export.
struct PluginEntry {
    char* pszPath = nullptr;     // owned heap copy
    char* pszFileName = nullptr; // owned heap copy, with extension
    const char* pszExtensions = nullptr;   // owned by the plug-in: "MP3;MP2;MPA"
    const char* pszDescriptions = nullptr; // owned by the plug-in
    void* hModule = nullptr;
    QIcon hIcon;
    PFN_InitDLL pfnInitDLL = nullptr;
    PFN_DeinitDLL pfnDeinitDLL = nullptr;
    PFN_Resync pfnResync = nullptr;
    PFN_GetFormat pfnGetFormat = nullptr;
    PFN_InitRead pfnInitRead = nullptr;
    PFN_DeinitRead pfnDeinitRead = nullptr;
    PFN_Read pfnRead = nullptr;
};

constexpr uint8_t kNoPlugin = TITLE_NO_PLUGIN;

// Loads every "in-*.so" of the folder (default: the program folder). Run once, on the GUI thread.
void LoadPlugins(const QString& folder = QString());
// Calls DeinitDLL and unloads each plug-in, in table order; the table is empty afterwards.
void UnloadPlugins();

// The process-wide table, fixed between LoadPlugins and UnloadPlugins.
const std::vector<PluginEntry*>& PluginTable();
PluginEntry* PluginAt(uint8_t index); // nullptr for 255 or out of range

// The index of the first plug-in serving the extension (without the dot, any case), or 255.
uint8_t FindPluginForExtension(const QString& extension);

// The plug-ins' icons in table order (image i is plug-in i; a missing icon is a null icon).
std::vector<QIcon> PluginIcons();
