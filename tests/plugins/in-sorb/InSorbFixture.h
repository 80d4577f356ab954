// The MP3 plug-in loaded through the host, and the files every in-sorb test shares.
#pragma once

#include "PluginUnderTest.h"
#include "TestEnvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// Made once per test binary by the lame tool from generated tones.
struct SharedMp3s {
    double seconds = 4.0;
    QByteArray cbrNoTag;  // 128 kbit/s CBR, 44100 Hz stereo, no Xing/Info frame
    QByteArray cbrInfo;   // the same with lame's Info frame
    QByteArray mpeg2Mono; // 32 kbit/s, 22050 Hz mono (MPEG-2 Layer III)
    QByteArray vbr;       // -V 4 with a Xing header
};

const SharedMp3s &Files();

class InSorb : public ::testing::Test {
protected:
    void SetUp() override;
    QString Write(const QString &name, const QByteArray &bytes);
    const PluginEntry *plugin = nullptr;
    QTemporaryDir dir;
};
