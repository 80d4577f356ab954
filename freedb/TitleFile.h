// Title files of the drives: the cache, the local freedb database, and the lock every reader takes.
#pragma once

#include "Xmcd.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <mutex>

// The cache folder and the local database root (empty: no database search). Set once at start.
void SetFreedbFolders(const QString &strCache, const QString &strDatabase);
QString FreedbCacheFolder();
QString FreedbDatabaseFolder();

// The eleven freedb categories in the order they are searched.
const QStringList &FreedbCategories();

// Guards every read and write of a title file, and the replacing of a drive's file.
std::mutex &TitleFileLock();

// The disc's title file: the cache first, then the database's categories in order. *pLineCount is 0
// for a cache file, the record's line count for a database file. Null when the disc is found nowhere.
FILE *OpenTitleFile(uint32_t dwDiscID, uint32_t *pLineCount);
// One category: the files whose name range ("70to7f") covers the disc ID's first byte.
FILE *SearchLocalDatabase(uint32_t dwDiscID, const QString &category, uint32_t *pLineCount);
// The file positioned behind the record's first line, with the number of lines that are left to it.
FILE *FindDatabaseRecord(const QString &path, uint32_t dwDiscID, uint32_t *pLineCount);

// Makes the title file of the disc now in the drive current (null when it is found nowhere).
void LoadTitleFile(uint8_t nDrive);
// Closes the drive's title file and sets another one (or none), under the lock.
void ReplaceTitleFile(uint8_t nDrive, FILE *file, uint32_t nLineCount);

// Writes "#FILENAME=%08x" and the lines of a read answer to the disc's cache file through a temporary
// file renamed over it, and returns the new file opened for reading. Where the cache can't be written,
// the answer goes to an anonymous file so the titles still show in this run.
FILE *WriteCacheFile(uint32_t dwDiscID, const ResponseLines &lines);

// The title of a CD track from the drive's title file: what the lists and the grabber ask.
// False leaves szTitle (nSize bytes) as it is.
bool LookUpCDTitle(uint8_t nDrive, uint8_t nTrack, char *szTitle, size_t nSize);
// The same as text; empty when the drive has no title file.
QString CDTrackTitle(uint8_t nDrive, int nTrack);

// Copies UTF-8 into a buffer of nSize bytes, cut on a character boundary, always terminated.
void CopyUtf8Cut(const QString &text, char *buffer, size_t nSize);
