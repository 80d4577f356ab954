// Shared by the tag tests: MPEG files made on the spot, mutagen and eyeD3 through id3tool.py, a player.
#pragma once

#include "TagContext.h"

#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>

// n MPEG-1 layer III frames with a byte pattern in their bodies, no tag.
QByteArray MakeAudio(int frames = 24);
bool WriteBytes(const QString &path, const QByteArray &bytes);
QByteArray ReadBytes(const QString &path);
// The bytes between a leading ID3v2 tag and a trailing ID3v1 tag.
QByteArray AudioPart(const QByteArray &file);

// True when /usr/bin/python3 has mutagen and eyeD3 (scripts/setup installs them).
bool HaveTaggers();
// The MP3 plug-in of the program folder, loaded once; false when it is not there.
bool Mp3PlugInLoaded();
// id3tool.py write / read / eyed3; read and eyed3 give the tool's JSON.
bool WriteWithMutagen(const QString &path, const QJsonObject &spec);
QJsonObject ReadWithMutagen(const QString &path);
QJsonObject ReadWithEyeD3(const QString &path);
bool WriteWithEyeD3(const QString &path, const QJsonObject &spec);
// The texts of the first frame with that id in ReadWithMutagen's answer, joined by "|".
QString MutagenText(const QJsonObject &read, const QString &frameId);
int MutagenEncoding(const QJsonObject &read, const QString &frameId);

// A folder with one tagless MPEG file "song.mp3" in it.
struct AudioFolder {
    AudioFolder();
    QTemporaryDir dir;
    QString strPath;
    QByteArray audio;
    QString Path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    // Names in the folder, hidden ones included (a copy left behind would show here).
    QStringList Entries() const;
};

// A player that plays one path until told to stop.
class FakePlayback : public TitlePlayback {
public:
    QString CurrentPath() const override { return strPath; }
    bool IsPlaying() const override { return bPlaying; }
    void StopPlayback() override { bPlaying = false, ++nStops; }
    void RestartPlayback() override { bPlaying = true, ++nRestarts; }
    QString strPath;
    bool bPlaying = false;
    int nStops = 0, nRestarts = 0;
};
