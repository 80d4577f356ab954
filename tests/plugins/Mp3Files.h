// MP3 test files: encoded by the lame tool, decoded by the mpg123 tool, or shaped frame by frame.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Encodes 16-bit PCM with lame and the given options; empty on failure.
QByteArray EncodeWithLame(const QString &folder, const QByteArray &pcm, int sampleRate, int channels,
                          const QStringList &options);
// The PCM of "mpg123 --no-gapless -s" for the file; empty on failure.
QByteArray DecodeWithMpg123(const QString &path);

// One frame: the 4 header bytes, then zeros (silence for every layer), with text at offset 36 when given.
QByteArray MakeFrame(uint32_t header, const QByteArray &payloadAt36 = {});
// The frame length (header included) of a header the frame helpers use.
int FrameLength(uint32_t header);

// An ID3v2.4 tag with TPE1/TIT2 frames where the texts are not empty, padded to tagBytes in all.
QByteArray MakeId3v2(const QByteArray &artist, const QByteArray &title, int tagBytes,
                     const QByteArray &extraFrames = {});
// A 128-byte ID3v1 tag.
QByteArray MakeId3v1(const QByteArray &artist, const QByteArray &title);
// A big-endian 32-bit number.
QByteArray Be32(uint32_t value);
