// Shared by the playlist tests.
#include "PlaylistTestSupport.h"

#include "AudioFiles.h"
#include "PluginHost.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

bool LoadTestPlugins() {
    static const bool bLoaded = [] {
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
        return FindPluginForExtension(QStringLiteral("wav")) != kNoPlugin;
    }();
    return bLoaded;
}

QString MakeWavFile(const QString &folder, const QString &name, int seconds) {
    // 8 kHz mono 8-bit, 8000 bytes a second; the audio past the header is a sparse hole, so long
    // titles cost no disk space.
    const uint32_t dataBytes = uint32_t(seconds) * 8000;
    QByteArray header = MakeWav(QByteArray(), 8000, 1, 8);
    Put32Le(header, 4, 36 + dataBytes);
    Put32Le(header, 40, dataBytes);
    const QString path = QDir(folder).filePath(name);
    WriteFile(path, header);
    QFile(path).resize(header.size() + dataBytes);
    return path;
}

bool WaitForReader(TitleList &list) {
    return QTest::qWaitFor([&] { return !list.IsReading(); }, 30000);
}

void FakePlayer::Play() {
    StopPlayback();
    m_list.MarkCurrent(true, pCurrentItem, nCurrentRow);
}

void FakePlayer::StopPlayback() {
    ++nStops;
    nRowsAtLastStop = m_list.RowCount();
    if (pCurrentItem)
        m_list.MarkCurrent(false, pCurrentItem, nCurrentRow);
    pCurrentItem = nullptr;
}
