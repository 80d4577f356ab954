// Loading the real plug-ins once and driving a whole playback.
#include "PluginUnderTest.h"

#include <QDir>

#include <cstring>
#include <vector>

TestTitle::TestTitle(const QString &p, bool useTags) : path(QFile::encodeName(p).toStdString()) {
    item.pszPath = path.data();
    item.nPlugin = TITLE_NO_PLUGIN;
    item.nCDDrive = TITLE_NO_CD;
    item.nCDTrack = TITLE_NO_CD;
    item.nLength = -1;
    item.bUseTags = useTags ? 1 : 0;
    const QByteArray name = QFile::encodeName(QFileInfo(p).completeBaseName()).left(TITLE_TEXT_SIZE - 1);
    std::memcpy(item.szTitle, name.constData(), name.size());
}

const PluginEntry *PluginFor(const char *extension) {
    if (PluginTable().empty())
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
    return PluginAt(FindPluginForExtension(QString::fromLatin1(extension)));
}

Decoded DecodeAll(const PluginEntry *plugin, TitleItem &item, unsigned long outputSize, unsigned long chunk,
                  int maxReads) {
    Decoded result;
    item.bSilence = item.nBitsPerSample == 8 ? 0x80 : 0x00;
    item.dwReadPos = item.dwDataStart;
    if (!plugin->pfnInitRead(&item, 1))
        return result;
    result.initOk = true;
    std::vector<unsigned char> buffer(outputSize);
    for (;;) {
        std::memset(buffer.data(), 0x5A, buffer.size());
        unsigned long written = 0;
        const int more = plugin->pfnRead(&item, buffer.data(), outputSize, chunk, &written);
        ++result.reads;
        if (written > outputSize) {
            result.paddingOk = false;
            break;
        }
        result.pcm.append(reinterpret_cast<const char *>(buffer.data()), qsizetype(written));
        if (!more) {
            for (unsigned long i = written; i < outputSize; ++i)
                result.paddingOk = result.paddingOk && buffer[i] == item.bSilence;
            break;
        }
        if (result.reads >= maxReads)
            break;
    }
    plugin->pfnDeinitRead(&item, 0);
    return result;
}
