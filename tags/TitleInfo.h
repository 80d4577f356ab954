// The texts of the title information dialog, from a title record.
#pragma once

#include "MelvoPlugin.h"

#include <QString>

struct TitleInfoTexts {
    QString strFilename, strPlugin, strType, strChannels, strBitrate, strBits, strFrequency, strLength, strSize;
    bool bHasTags = false;  // a file whose format was read: tag pages, Add Tag and Remove Tag
    bool bNoRename = false; // a CD track, or a title of unknown length
};

// pluginName is the name of the record's plug-in (empty for none).
TitleInfoTexts DescribeTitle(const TitleItem &item, const QString &pluginName);

// "%d KByte" up to 1024 KByte, else "%.2f MByte" (KByte / 1024); KByte = bytes / 1024.
QString SizeText(uint64_t bytes);
