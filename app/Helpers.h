// Small helpers every subsystem shares: the program folder, files and folders, the shell, file names.
#pragma once

#include <QString>

// The folder of the running executable, with exactly one trailing "/" or none.
QString GetProgramFolder(bool bTrailingSlash);

// True only when the path names an existing file, spelled exactly as on disk. With bShowMessage a
// missing file shows message 61313 with the path.
bool FileExists(const QString &path, bool bShowMessage);

// Creates the folder (one level) unless it exists; a failure shows message 61324 and returns false.
bool EnsureFolder(const QString &path);

// Opens a document or address with the desktop's handler, falling back to the program associated
// with ".htm". Returns false when neither could be started.
bool OpenWithShell(const QString &target, int nShowCmd = 1);

// A title made usable as a file name: quotes, '*', '?' and control characters removed; '/', ':',
// '<', '>', '\' and '|' become '-'.
QString SanitizeFileName(const QString &text);
