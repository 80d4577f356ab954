// The ZIP archive of an error report.
#pragma once

#include <QString>
#include <QStringList>

// Packs the files into a new archive at zipPath, the last file first: each entry is named after its
// file, carries the file's modification time and is deflated at level 9. A file that cannot be read is
// left out; the archive ends at the first entry that cannot be added. The archive is written beside
// zipPath and replaces it only when complete. False, with *error set to the system's error number,
// when it cannot be written.
bool WriteZipArchive(const QString &zipPath, const QStringList &files, int *error = nullptr);
