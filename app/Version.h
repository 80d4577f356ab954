// Versions of libraries: our own export their record, others answer through their own version call.
#pragma once

#include <QString>
#include <cstdint>

struct FileVersion {
    uint32_t dwMS = 0; // major << 16 | minor
    uint32_t dwLS = 0; // build << 16 | revision
};

// The version a library of ours exports; false when the file or its export is missing.
bool GetFileVersion(const QString &libraryPath, FileVersion &version);

// -1, 0 or 1: the most significant word first, then the least.
int CompareFileVersions(const FileVersion &a, const FileVersion &b);

// A named string of the library's version record ("InternalName", "FileDescription"), or the default.
QString GetVersionString(const QString &libraryPath, const QString &name, const QString &strDefault);

// major * 65536 + minor, or 0 when the library or its export is missing.
uint32_t GetDllVersion(const QString &libraryPath);

// "%d.%d%d" of major, minor and build, or "?.?" for a library without version.
QString VersionText(const QString &libraryPath);
