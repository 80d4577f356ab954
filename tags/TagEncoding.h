// The code page of tag texts stored as Latin-1: many ID3 tags carry another single-byte code page in
// those bytes. It only changes how such texts are read; Melvo never writes in it.
#pragma once

#include <QByteArray>
#include <QString>

#include <span>

struct TagEncodingChoice {
    const char *szName;  // the code page's name, as stored in GENERAL/Tag-Encoding
    const char *szLabel; // what the options page shows
};

// Every code page offered, Latin-1 first.
std::span<const TagEncodingChoice> TagEncodingChoices();

// The stored choice: GENERAL/"Tag-Encoding", default "ISO-8859-1". Read once, then kept until set again.
QString TagEncodingName();
// Writes the choice and uses it from now on (an unknown name reads as Latin-1).
bool SetTagEncodingName(const QString &name);
// Forgets the kept choice, so the next use reads the setting again.
void ReloadTagEncoding();

// True when the chosen code page reads every byte as Latin-1 does.
bool TagEncodingIsLatin1();

// Bytes of a Latin-1 tag text read in the chosen code page / in the named one. Bytes that the code page
// leaves undefined read as U+FFFD.
QString DecodeTagText(const QByteArray &bytes);
QString DecodeTagText(const QByteArray &bytes, const QString &encoding);

// Plug-ins read titles through this (MelvoPluginHost.h): count bytes in the chosen code page as UTF-8
// into out (size bytes, NUL-terminated). Returns the length written, or (unsigned long)-1 when out is
// too small.
extern "C" __attribute__((visibility("default"))) unsigned long
MelvoHostDecodeTagText(const char *bytes, unsigned long count, char *out, unsigned long size);
