// Format fields of a title: rate, frequency, length and size as the dialog shows them.
#include "TitleInfo.h"

#include <cstring>

QString SizeText(uint64_t bytes) {
    const uint64_t kbytes = bytes >> 10;
    if (kbytes > 1024)
        return QString::asprintf("%.2f MByte", double(kbytes) / 1024.0);
    return QString::asprintf("%llu KByte", static_cast<unsigned long long>(kbytes));
}

TitleInfoTexts DescribeTitle(const TitleItem &item, const QString &pluginName) {
    TitleInfoTexts t;
    t.strFilename = QString::fromUtf8(item.pszPath ? item.pszPath : "");
    t.strPlugin = pluginName;
    const bool bCdTrack = item.nCDDrive != TITLE_NO_CD;
    const bool bKnown = item.nLength != -1;
    // ID3 tags belong in MPEG audio files only; written into a WAV file they would break it.
    const bool bMpeg = std::strncmp(item.dwFormatTag, "MP", 2) == 0;
    t.bHasTags = !bCdTrack && item.bFormatValid && bKnown && bMpeg;
    t.bNoRename = bCdTrack || !bKnown;
    if (!bKnown) {
        const QString unknown = QStringLiteral("??");
        t.strChannels = t.strType = t.strLength = unknown;
        t.strBitrate = unknown + QStringLiteral(" kb/s");
        t.strBits = unknown + QStringLiteral(" Bit");
        t.strFrequency = unknown + QStringLiteral(" kHz");
        t.strSize = unknown + QStringLiteral(" MByte");
        return t;
    }
    t.strType = QString::fromLatin1(item.dwFormatTag, qsizetype(strnlen(item.dwFormatTag, sizeof item.dwFormatTag)));
    t.strChannels = QString::number(item.nChannels);
    t.strBitrate = QString::asprintf("%u kb/s", (item.nAvgBytesPerSec / 1000) * 8);
    t.strBits = QString::asprintf("%d Bit", item.nBitsPerSample);
    t.strFrequency = QString::asprintf("%.2f kHz", item.nSamplesPerSec * 0.001);
    t.strLength = QString::asprintf("%d:%.2d", item.nLength / 60, item.nLength % 60);
    if (bCdTrack) {
        t.strSize = QString::asprintf("%.2f MByte", double(item.nLength) * item.nAvgBytesPerSec / 1048576.0);
    } else {
        uint64_t bytes = item.dwDataEnd >= item.dwDataStart ? item.dwDataEnd - item.dwDataStart : 0;
        if (item.nPositionMode != POSITION_MODE_BYTES)
            bytes *= item.nAvgBytesPerSec;
        t.strSize = SizeText(bytes);
    }
    return t;
}
