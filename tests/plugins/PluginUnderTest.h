// The real plug-ins of the program folder, loaded through the host, and helpers to drive them.
#pragma once

#include "PluginHost.h"

#include <QByteArray>
#include <QString>

#include <string>

// A zero-filled record for one file, as the title list makes it.
struct TestTitle {
    explicit TestTitle(const QString &path, bool useTags = false);
    TestTitle(const TestTitle &) = delete;
    TestTitle &operator=(const TestTitle &) = delete;
    TitleItem item{};
    std::string path;
};

// The plug-in serving an extension among the program folder's plug-ins (loaded once per process).
const PluginEntry *PluginFor(const char *extension);

// What a whole playback gave: the audio (without padding) and how it ended.
struct Decoded {
    QByteArray pcm;
    int reads = 0;
    bool paddingOk = true; // the last buffer's rest was bSilence
    bool initOk = false;
};

// InitRead, Read from dwDataStart until 0 with the given output and chunk sizes, DeinitRead.
Decoded DecodeAll(const PluginEntry *plugin, TitleItem &item, unsigned long outputSize, unsigned long chunk,
                  int maxReads = 1000000);
