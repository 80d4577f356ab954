// The MP3 input plug-in "in-sorb.so": its exports to the host, its texts, its lock and its icon.
#include "InSorb.h"
#include "MelvoPluginHost.h"
#include "platform/MelvoVersion.h"

#include <cstdio>

MELVO_DEFINE_VERSION("in-sorb", "Melvo MP3 input plug-in", 2, 7, 1)

namespace {

const char *const kStrings[] = {
    "",
    "Could not initialize MP3 structure!",
    "Could not find a valid MP3 frame. Perhaps this file is corrupted!",
    "The header in this MP3 frame is not valid!",
    "Wrong bitrate. Perhaps this file is corrupted!",
    "Wrong MPEG layer. Perhaps this file is corrupted!",
    "Unknown error!",
};

std::mutex g_tagLock;

const char kIcon[] = "/* XPM */\n"
                     "static char *icon[] = {\n"
                     "\"16 16 3 1\",\n"
                     "\"  c None\",\n"
                     "\". c #7A1E1E\",\n"
                     "\"x c #F4D23C\",\n"
                     "\"                \",\n"
                     "\"        ....    \",\n"
                     "\"        .xx...  \",\n"
                     "\"        .x..xx. \",\n"
                     "\"        .x.  .. \",\n"
                     "\"        .x.     \",\n"
                     "\"        .x.     \",\n"
                     "\"        .x.     \",\n"
                     "\"        .x.     \",\n"
                     "\"    .....x.     \",\n"
                     "\"   .xxxxxx.     \",\n"
                     "\"  .xxxxxxx.     \",\n"
                     "\"  .xxxxxxx.     \",\n"
                     "\"   .xxxxx.      \",\n"
                     "\"    .....       \",\n"
                     "\"                \"};\n";

} // namespace

std::mutex &TagLock() {
    return g_tagLock;
}

int ShowPluginError(int id, const char *function, const char *path, int showErrors) {
    if (!showErrors)
        return 0;
    const char *text = id >= 1 && id <= 6 ? kStrings[id] : kStrings[IDS_UNKNOWN];
    char message[1024];
    std::snprintf(message, sizeof message, "%s (%s): %.255s", function, path ? path : "", text);
    MelvoPluginMessageBox(message, "in-sorb.so", 0);
    return 1;
}

extern "C" {

MELVO_PLUGIN_EXPORT extern const MelvoPluginIcon MelvoPluginIcons[] = {
    {101, reinterpret_cast<const unsigned char *>(kIcon), sizeof kIcon - 1},
    {0, nullptr, 0},
};

MELVO_PLUGIN_EXPORT int InitDLL(const char **extensions, const char **descriptions, int *iconId) {
    *extensions = "MP3;MP2;MPA";
    *descriptions = "MPEG-Layer3;MPEG-Layer2;MPEG-Layer1";
    *iconId = 101;
    return 1;
}

MELVO_PLUGIN_EXPORT int DeinitDLL(void) {
    return 1;
}

} // extern "C"
