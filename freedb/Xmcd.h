// The CDDB texts: commands, the hello, status codes, match lines, and the values of a title file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdio>

// Lines of a server's answer as they came, split at LF; a CR before the LF is dropped.
using ResponseLines = QList<QByteArray>;

// "hello=%s+%s+Melvo+2.71&proto=6": user and host are the address's parts around "@". Level 6 answers
// in UTF-8.
QByteArray BuildHello(const QString &strEmail);

// "cddb+query+%08x+%d+" with every track's start, then the length in whole seconds.
QByteArray BuildQueryText(uint32_t dwDiscID, const uint32_t *toc, int nTracks);
// The same for the disc in the drive; a disc ID of 0 is taken from the drive and stored back.
QByteArray BuildQueryCommand(uint8_t nDrive, uint32_t &dwDiscID);

// Splits a body at LF; an empty body gives no lines.
ResponseLines SplitResponse(const QByteArray &body);
// The CDDB code of the first line: its first three characters as a number, 0 when they are none.
int ResponseCode(const ResponseLines &lines);

// Category, and from "category discid title": the disc ID, "category+discid" and " title" (the space
// kept). A line without a space gives an empty category and leaves the outputs as they were.
QString ParseMatchLine(const QString &line, uint32_t *pDiscID, QString *pReadArg, QString *pTitle);

// The progress message of a CDDB code (0 for none), and whether the code counts as success.
unsigned ServerCodeMessage(int nCode);
bool ServerCodeSucceeded(int nCode);

// Text of a server line or title file line: UTF-8 when it is valid UTF-8, else Latin-1.
QString DecodeLine(const QByteArray &line);

// The value of an xmcd key: every line (of at most nLineCount lines when above 0) that starts with
// "KEY=" adds its rest, so continuation lines join in file order. The file position is kept.
QString ReadXmcdValue(FILE *file, const QString &key, uint32_t nLineCount);

// "\\" a backslash, "\n" and "\t" a space; read left to right, so an escaped backslash stays one.
QString UnescapeXmcd(const QString &text);

// "DTITLE - TTITLEn" of 1-based track, unescaped; empty when the file is null. The caller holds
// the title-file lock.
QString TrackTitleText(int nTrack, FILE *file, uint32_t nLineCount);

// Writes the track's title into szTitle (nSize bytes, UTF-8 cut on a character boundary) under the
// title-file lock. 0 when the file is null: the buffer is left untouched.
int GetTrackTitle(int nTrack, char *szTitle, size_t nSize, FILE *file, uint32_t nLineCount);
