// MP3 test files made with the tools, or by hand where no tool writes them.
#include "Mp3Files.h"

#include "AudioFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryFile>

QByteArray EncodeWithLame(const QString &folder, const QByteArray &pcm, int sampleRate, int channels,
                          const QStringList &options) {
    const QString wav = QDir(folder).filePath(QStringLiteral("lame-in.wav"));
    const QString mp3 = QDir(folder).filePath(QStringLiteral("lame-out.mp3"));
    if (!WriteFile(wav, MakeWav(pcm, sampleRate, channels, 16)))
        return {};
    QProcess lame;
    lame.start(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet")} + options + QStringList{wav, mp3});
    if (!lame.waitForFinished(120000) || lame.exitStatus() != QProcess::NormalExit || lame.exitCode() != 0)
        return {};
    return ReadFile(mp3);
}

QByteArray DecodeWithMpg123(const QString &path) {
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"),
                 {QStringLiteral("-q"), QStringLiteral("--no-gapless"), QStringLiteral("-s"), path});
    if (!mpg123.waitForFinished(120000) || mpg123.exitStatus() != QProcess::NormalExit)
        return {};
    return mpg123.readAllStandardOutput();
}

namespace {

int Kbps(uint32_t header) {
    static const int mpeg1[3][16] = {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
                                     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
                                     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}};
    const int layer = 4 - int((header >> 17) & 3);
    return mpeg1[layer - 1][(header >> 12) & 0xF];
}

} // namespace

// MPEG-1 only, which is all the shaped files need.
int FrameLength(uint32_t header) {
    static const int rates[3] = {44100, 48000, 32000};
    const int layer = 4 - int((header >> 17) & 3);
    const int rate = rates[(header >> 10) & 3];
    const int padding = int((header >> 9) & 1);
    if (layer == 1)
        return (12000 * Kbps(header) / rate + padding) * 4;
    return 144000 * Kbps(header) / rate + padding;
}

QByteArray Be32(uint32_t value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

QByteArray MakeFrame(uint32_t header, const QByteArray &payloadAt36) {
    QByteArray frame(FrameLength(header), '\0');
    frame.replace(0, 4, Be32(header));
    if (!payloadAt36.isEmpty())
        frame.replace(36, payloadAt36.size(), payloadAt36);
    return frame;
}

namespace {

QByteArray Syncsafe(int value) {
    QByteArray bytes;
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes.append(char((value >> shift) & 0x7F));
    return bytes;
}

QByteArray TextFrame(const char id[4], const QByteArray &text) {
    if (text.isEmpty())
        return {};
    const QByteArray body = QByteArray(1, '\3') + text; // UTF-8
    return QByteArray(id, 4) + Syncsafe(int(body.size())) + QByteArray(2, '\0') + body;
}

} // namespace

QByteArray MakeId3v2(const QByteArray &artist, const QByteArray &title, int tagBytes, const QByteArray &extraFrames) {
    QByteArray frames = TextFrame("TPE1", artist) + TextFrame("TIT2", title) + extraFrames;
    const int size = tagBytes - 10;
    frames.append(QByteArray(size - frames.size(), '\0'));
    return QByteArray("ID3\x04\x00\x00", 6) + Syncsafe(size) + frames;
}

QByteArray MakeId3v1(const QByteArray &artist, const QByteArray &title) {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, title.size(), title);
    tag.replace(33, artist.size(), artist);
    tag[127] = char(255);
    return tag;
}
