// A disc image drive in a temporary folder, private settings and a recording message sink for the grab tests.
#pragma once

#include "CDAccess.h"
#include "DiscImage.h"
#include "GrabTracks.h"
#include "TestEnvironment.h"
#include "cdda/CDDA.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class GrabFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Odd lengths: no track is a whole number of reading buffers, one is below two seconds.
        image = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 3 + 17, 151, 75 * 2 + 74, 75 * 4 + 1});
        SetDiscImages(image.strCue.c_str());
        ASSERT_EQ(InitDriver(0), 1);
        out = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
    }
    void TearDown() override {
        DeinitDriver();
        SetDiscImages(nullptr);
    }
    GrabTrack Plan(int track) const {
        GrabTrack plan;
        EXPECT_TRUE(PlanTrack(0, track, out, &plan));
        return plan;
    }
    QString Cue() const { return QString::fromStdString(image.strCue); }
    QByteArray Track(int track) const {
        const std::vector<uint8_t> bytes = image.TrackBytes(size_t(track - 1));
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    }

    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir dir;
    DiscImage image;
    QString out;
};

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &texts, std::ostream *os) {
    *os << texts.join(QStringLiteral(" | ")).toStdString();
}

inline QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline uint32_t Le32(const QByteArray &bytes, int at) {
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Checks the 44-byte CD audio header and that its length fields fit the file; returns the audio.
inline QByteArray WaveAudio(const QByteArray &wav) {
    EXPECT_GE(wav.size(), 44);
    if (wav.size() < 44)
        return {};
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(wav, 4), uint32_t(wav.size() - 8));
    EXPECT_EQ(Le32(wav, 16), 16u);
    EXPECT_EQ(Le32(wav, 20), 1u | 2u << 16); // PCM, two channels
    EXPECT_EQ(Le32(wav, 24), 44100u);
    EXPECT_EQ(Le32(wav, 28), 176400u);
    EXPECT_EQ(Le32(wav, 32), 4u | 16u << 16);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(Le32(wav, 40), uint32_t(wav.size() - 44));
    return wav.mid(44);
}
