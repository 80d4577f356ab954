// MPEG bytes, the python taggers, the temporary folder.
#include "TagTestSupport.h"

#include "PluginHost.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kTool = QStringLiteral(MELVO_SOURCE_DIR "/tests/tags/id3tool.py");

QByteArray RunTool(const QStringList &args, bool *ok) {
    QProcess p;
    p.start(kPython, QStringList{kTool} + args);
    const bool done = p.waitForFinished(60000);
    *ok = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!*ok)
        qWarning("id3tool.py %s: %s", qPrintable(args.join(' ')), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

QJsonObject RunRead(const QString &command, const QString &path) {
    bool ok = false;
    const QByteArray out = RunTool({command, path}, &ok);
    return ok ? QJsonDocument::fromJson(out).object() : QJsonObject();
}

} // namespace

QByteArray MakeAudio(int frames) {
    QByteArray bytes;
    for (int f = 0; f < frames; ++f) {
        QByteArray frame(417, '\0');
        frame[0] = char(0xFF), frame[1] = char(0xFB), frame[2] = char(0x90), frame[3] = char(0x64);
        for (int i = 40; i < frame.size(); ++i)
            frame[i] = char((i * 7 + f * 13) & 0x7F); // no sync bytes, no "TAG" at the end
        bytes += frame;
    }
    return bytes;
}

bool WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray AudioPart(const QByteArray &file) {
    qsizetype begin = 0, end = file.size();
    if (file.startsWith("ID3") && file.size() >= 10) {
        const auto b = [&](int i) { return qsizetype(static_cast<unsigned char>(file[i])); };
        begin = 10 + (b(6) << 21 | b(7) << 14 | b(8) << 7 | b(9)) + ((file[3] == 4 && (b(5) & 0x10)) ? 10 : 0);
    }
    if (end - begin >= 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;
    return file.mid(begin, end - begin);
}

bool HaveTaggers() {
    return QProcess::execute(kPython, {"-c", "import mutagen, eyed3"}) == 0;
}

bool Mp3PlugInLoaded() {
    static const bool bLoaded = [] {
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
        return FindPluginForExtension("mp3") != kNoPlugin;
    }();
    return bLoaded;
}

bool WriteWithMutagen(const QString &path, const QJsonObject &spec) {
    bool ok = false;
    RunTool({"write", path, QString::fromUtf8(QJsonDocument(spec).toJson(QJsonDocument::Compact))}, &ok);
    return ok;
}

QJsonObject ReadWithMutagen(const QString &path) {
    return RunRead("read", path);
}

QJsonObject ReadWithEyeD3(const QString &path) {
    return RunRead("eyed3", path);
}

bool WriteWithEyeD3(const QString &path, const QJsonObject &spec) {
    bool ok = false;
    RunTool({"eyed3-write", path, QString::fromUtf8(QJsonDocument(spec).toJson(QJsonDocument::Compact))}, &ok);
    return ok;
}

QString MutagenText(const QJsonObject &read, const QString &frameId) {
    const QJsonArray frames = read["frames"].toObject()[frameId].toArray();
    QStringList texts;
    for (const QJsonValue &t : frames.first().toObject()["text"].toArray())
        texts << t.toString();
    return texts.join('|');
}

int MutagenEncoding(const QJsonObject &read, const QString &frameId) {
    return read["frames"].toObject()[frameId].toArray().first().toObject()["enc"].toInt(-1);
}

AudioFolder::AudioFolder() : strPath(dir.path() + QStringLiteral("/song.mp3")), audio(MakeAudio()) {
    WriteBytes(strPath, audio);
}

QStringList AudioFolder::Entries() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
