// What the About dialog lists: our components, the libraries this build uses, and the plug-ins.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <vector>

struct PluginEntry;

// A library the program uses, asked for its version at run time.
struct LibraryProbe {
    QString strName;   // as listed ("zlib")
    QString strSoname; // loaded to ask it ("libz.so.1"); empty for a library linked into the program
    // The version the loaded library reports; empty when it cannot say (a missing library is "?.?").
    std::function<QString(void *handle)> version;
};

// TagLib and zlib/minizip in place of id3lib and zlibwapi, then mpg123, libcdio, libcurl, SDL2 and Qt.
QList<LibraryProbe> UsedLibraries();

// "name version" of a library, "?.?" when it cannot be loaded or gives no version.
QString LibraryVersionText(const LibraryProbe &library);

// The "General" box: cdda, file and registry from the program folder, then the libraries, one line each.
QString GeneralVersionLines(const QString &programFolder, const QList<LibraryProbe> &libraries = UsedLibraries());

// The "Plug-ins" box: "InternalName (file)  version" per plug-in, in table order.
QString PluginVersionLines(const std::vector<PluginEntry *> &plugins);
