// The default playlist in every state a user can leave it: what is loaded, what is kept as .bad, and
// that nothing the list did not take in is ever saved over.
#include "PlaylistFile.h"
#include "PlaylistTestSupport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class DefaultPlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        ASSERT_TRUE(QDir().mkpath(QFileInfo(DefaultPlaylistPath()).path()));
        for (int i = 0; i < 3; ++i)
            wavs << MakeWavFile(dir.path(), QStringLiteral("t%1.wav").arg(i), 1);
    }
    QByteArray M3u(const QStringList &paths) const { return (paths.join("\r\n") + "\r\n").toUtf8(); }

    ScopedXdgHome home;
    QTemporaryDir dir;
    QStringList wavs;
};

} // namespace

TEST_F(DefaultPlaylistTest, WhatCannotBeReadWholeIsKeptAsBadAndNeverSavedOver) {
    const QString path = DefaultPlaylistPath(), bad = path + ".bad";
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise += char((i * 7919 + 7) % 256);
    struct Case {
        const char *name;
        std::function<void()> setUp;
        int nRows;
        const char *badHolds; // "copy": the original's bytes, "folder", "earlier": the earlier .bad stays, "": none
        QStringList messages; // ids shown, in order
    };
    const QByteArray whole = M3u(wavs);
    const QByteArray partly = M3u({wavs[0], "/music/a.flac", "#EXTINF:1,x", wavs[1]});
    const Case cases[] = {
        {"read whole", [&] { Write(path, whole); }, 3, "", {}},
        {"no default playlist", [] {}, 0, "", {}},
        {"an entry no plug-in serves", [&] { Write(path, partly); }, 2, "copy", {"62011"}},
        {"random bytes", [&] { Write(path, noise); }, 0, "copy", {"62011"}},
        {"an earlier .bad is replaced", [&] { Write(bad, "old"), Write(path, noise); }, 0, "copy", {"62011"}},
        {"a folder", [&] { QDir().mkpath(path + "/inner"); }, 0, "folder", {"62011"}},
        {"larger than the limit",
         [&] {
             QFile file(path);
             file.open(QIODevice::WriteOnly);
             file.resize(kMaxPlaylistBytes + 1);
         },
         0,
         "copy",
         {"4", "62011"}},
        {"too large, and a folder in the .bad's place",
         [&] {
             QDir().mkpath(bad + "/inner");
             QFile file(path);
             file.open(QIODevice::WriteOnly);
             file.resize(kMaxPlaylistBytes + 1);
         },
         0,
         "earlier",
         {"4"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(path).removeRecursively();
        QFile::remove(path);
        QDir(bad).removeRecursively();
        QFile::remove(bad);
        c.setUp();
        const QFileInfo before(path);
        const qint64 nSize = before.size();
        const bool bSmall = before.isFile() && nSize < (1 << 20);
        const QByteArray original = bSmall ? ReadAll(path) : QByteArray();
        RecordingSink sink;
        {
            TitleList playlist(true);
            playlist.LoadDefaultPlaylist();
            EXPECT_EQ(playlist.RowCount(), c.nRows);
            QStringList expected;
            for (const QString &id : c.messages)
                expected << (id == "4" ? "<" + path + ">: " + EnglishString(4)
                                       : "<" + bad + ">: " + EnglishString(62011));
            EXPECT_EQ(sink.Texts(), expected);
            playlist.AddFile(wavs[2], -1, false); // this run's change
            playlist.Close();
        }
        const QString kept = QString::fromLatin1(c.badHolds);
        if (kept == "copy")
            EXPECT_TRUE(QFileInfo(bad).size() == nSize && (!bSmall || ReadAll(bad) == original));
        else if (kept == "folder")
            EXPECT_TRUE(QFileInfo::exists(bad + "/inner"));
        else if (kept == "earlier")
            EXPECT_TRUE(QFileInfo(bad).isDir());
        else
            EXPECT_FALSE(QFileInfo::exists(bad));
        if (kept == "earlier") {
            EXPECT_EQ(QFileInfo(path).size(), nSize) << "what could not be kept is not saved over";
        } else {
            // Saved with this run's rows: what was read and the added title.
            QStringList rows = QString::fromUtf8(ReadAll(path)).split("\r\n", Qt::SkipEmptyParts);
            EXPECT_EQ(rows.size(), c.nRows + 1);
            EXPECT_EQ(rows.value(rows.size() - 1), wavs[2]);
        }
    }
}

TEST_F(DefaultPlaylistTest, AListThatNeverLoadedTheDefaultPlaylistLeavesItAlone) {
    const QByteArray whole = M3u(wavs);
    ASSERT_TRUE(Write(DefaultPlaylistPath(), whole));
    {
        TitleList playlist(true); // start-up ended before the default playlist was loaded
        playlist.Close();
    }
    EXPECT_EQ(ReadAll(DefaultPlaylistPath()), whole);
}

TEST_F(DefaultPlaylistTest, AnUnreadableOneIsMovedAside) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    const QString path = DefaultPlaylistPath();
    ASSERT_TRUE(Write(path, M3u(wavs)));
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    RecordingSink sink;
    TitleList playlist(true);
    EXPECT_FALSE(playlist.LoadDefaultPlaylist());
    EXPECT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(path + ".bad"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(DefaultPlaylistTest, ALongListComesInSlicesWhileTheEventLoopRuns) {
    QStringList paths;
    for (int i = 0; i < 30000; ++i)
        paths << wavs[i % 3];
    const QByteArray whole = M3u(paths);
    ASSERT_TRUE(Write(DefaultPlaylistPath(), whole));
    RecordingSink sink;
    for (const char *end : {"loaded", "cleared by the user", "closed before it was in"}) {
        SCOPED_TRACE(end);
        TitleList playlist(true);
        int nRowsWhenLoaded = -1, nTurns = 0;
        ASSERT_TRUE(playlist.LoadDefaultPlaylist([&] { nRowsWhenLoaded = playlist.RowCount(); }));
        EXPECT_TRUE(playlist.IsLoadingDefault());
        QTimer turns;
        QObject::connect(&turns, &QTimer::timeout, [&] {
            ++nTurns;
            if (nTurns == 2 && QString(end) == "cleared by the user")
                playlist.RemoveAll();
        });
        turns.start(0);
        for (int i = 0; i < 3000 && nRowsWhenLoaded < 0 && (QString(end) != "closed before it was in" || nTurns < 2);
             ++i)
            QTest::qWait(10);
        if (QString(end) == "loaded") {
            EXPECT_GT(nTurns, 1) << "the event loop ran between the slices";
            EXPECT_EQ(nRowsWhenLoaded, 30000);
            playlist.Close();
            EXPECT_EQ(ReadAll(DefaultPlaylistPath()), whole);
        } else if (QString(end) == "cleared by the user") {
            EXPECT_EQ(nRowsWhenLoaded, 0) << "the files waiting for the list still get it";
            playlist.AddFile(wavs[0], -1, false);
            playlist.Close();
            EXPECT_EQ(ReadAll(DefaultPlaylistPath()), M3u({wavs[0]}));
            ASSERT_TRUE(Write(DefaultPlaylistPath(), whole));
        } else {
            EXPECT_TRUE(playlist.IsLoadingDefault());
            playlist.Close();
            EXPECT_EQ(ReadAll(DefaultPlaylistPath()), whole) << "a list cut short is not saved over the file";
        }
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}
