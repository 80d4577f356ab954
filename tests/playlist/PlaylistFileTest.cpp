// Playlist files: parsing both formats, composing them byte for byte, the size limit and safe saving.
#include "PlaylistFile.h"
#include "PlaylistTestSupport.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QString Detail(unsigned id, const QString &path) {
    return QStringLiteral("<%1>: %2").arg(path, EnglishString(id));
}

bool WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(PlaylistParse, PlsKeysAreCaseBlindAndPathsKeepTheirCase) {
    const QByteArray text = "[PlayList]\r\nFILE1=/Music/ABBA/Waterloo.MP3\r\nTitle1=x\r\nfile2=/Music/b c.wav\r\n"
                            "NumberOfEntries=2";
    const PlaylistParse parse = ParsePlaylist(text, QStringLiteral("PLS"), QStringLiteral("/tmp"));
    EXPECT_TRUE(parse.bFormatOk);
    EXPECT_EQ(parse.paths, QStringList({"/Music/ABBA/Waterloo.MP3", "/Music/b c.wav"}));
}

TEST(PlaylistParse, PlsEntriesOutOfOrderAreSkipped) {
    const QByteArray text = "[playlist]\nFile1=/a.wav\nFile3=/c.wav\nFile2=/b.wav\nNumberOfEntries=3\n";
    EXPECT_EQ(ParsePlaylist(text, "pls", "/").paths, QStringList({"/a.wav", "/b.wav"}));
    // An entry without a path names no file; the next entry is still found.
    RecordingSink sink;
    const PlaylistParse empty = ParsePlaylist("[playlist]\nFile1=\nFile2=/b.wav", "pls", "/x");
    EXPECT_EQ(empty.paths, QStringList{"/b.wav"});
    EXPECT_EQ(empty.badLines, QStringList{QString()});
}

TEST(PlaylistParse, PlsHeaderMustBeTheFirstNonEmptyLine) {
    EXPECT_TRUE(ParsePlaylist("\r\n\n\r[playlist]\r\nFile1=/a.wav", "pls", "/").bFormatOk);
    EXPECT_EQ(ParsePlaylist("\r\n\n\r[playlist]\r\nFile1=/a.wav", "pls", "/").paths, QStringList{"/a.wav"});
    EXPECT_FALSE(ParsePlaylist(" [playlist]\nFile1=/a.wav", "pls", "/").bFormatOk);
    EXPECT_FALSE(ParsePlaylist("\nsome text\n[playlist]\nFile1=/a.wav", "pls", "/").bFormatOk);
    EXPECT_TRUE(ParsePlaylist("\nsome text\n[playlist]\nFile1=/a.wav", "pls", "/").paths.isEmpty());
    EXPECT_FALSE(ParsePlaylist("", "pls", "/").bFormatOk);
    EXPECT_FALSE(ParsePlaylist("/a.wav", "txt", "/").bFormatOk);
}

TEST(PlaylistParse, ExtendedM3uLoadsOnlyThePathLines) {
    const QByteArray text = "#EXTM3U\r\n#EXTINF:125,Artist - Title\r\n/music/one.mp3\r\n\r\n#EXTINF:-1,Two\r\n"
                            "/music/two.mp3";
    EXPECT_EQ(ParsePlaylist(text, "M3U", "/").paths, QStringList({"/music/one.mp3", "/music/two.mp3"}));
}

TEST(PlaylistParse, RelativeEntriesResolveAgainstThePlaylistFolder) {
    const QByteArray text = "song.wav\nsub/inner.wav\n../up.wav\n./here/../x.wav\n/abs/y.wav\n";
    EXPECT_EQ(ParsePlaylist(text, "m3u", "/lists/rock").paths,
              QStringList({"/lists/rock/song.wav", "/lists/rock/sub/inner.wav", "/lists/up.wav", "/lists/rock/x.wav",
                           "/abs/y.wav"}));
    // A name may start with a colon; it is still a file in the playlist's folder.
    EXPECT_EQ(ParsePlaylist(":odd/../:name.wav", "m3u", "/lists").paths, QStringList{"/lists/:name.wav"});
    const QByteArray pls = "[playlist]\nFile1=rel.wav\n";
    EXPECT_EQ(ParsePlaylist(pls, "pls", "/lists").paths, QStringList{"/lists/rel.wav"});
}

TEST(PlaylistParse, Utf8WithLatin1FallbackPerLine) {
    const QByteArray text = "/m/caf\xc3\xa9.wav\n/m/caf\xe9.wav\n/not-a-bom.wav\n";
    const QStringList paths = ParsePlaylist("\xEF\xBB\xBF" + text, "m3u", "/").paths;
    ASSERT_EQ(paths.size(), 3);
    EXPECT_EQ(paths[0], QStringLiteral("/m/caf\u00e9.wav"));
    EXPECT_EQ(paths[1], QStringLiteral("/m/caf\u00e9.wav"));
    EXPECT_EQ(paths[2], QStringLiteral("/not-a-bom.wav"));
    EXPECT_EQ(ParsePlaylist("\xEF\xBB\xBF[playlist]\nFile1=/a.wav", "pls", "/").paths, QStringList{"/a.wav"});
}

TEST(PlaylistParse, LinesThatCannotBePathsAreReportedAndSkipped) {
    RecordingSink sink;
    QByteArray text = "/ok.wav\n/bad";
    text += '\0';
    text += "name.wav\n/" + QByteArray(5000, 'x') + ".wav\n/ok2.wav";
    const PlaylistParse parse = ParsePlaylist(text, "m3u", "/");
    EXPECT_EQ(parse.paths, QStringList({"/ok.wav", "/ok2.wav"}));
    EXPECT_EQ(parse.badLines.size(), 2);
    ASSERT_EQ(sink.Texts().size(), 2);
    EXPECT_TRUE(sink.Texts()[0].endsWith(EnglishString(61305)));
}

TEST(PlaylistCompose, FormatsByteForByte) {
    const QStringList three{"/a/One.wav", "/b/t\u00e4o.wav", "/c/three.mp3"};
    EXPECT_EQ(ComposePlaylist(three, "pls"), QByteArray("[playlist]\r\nFile1=/a/One.wav\r\nFile2=/b/t\xc3\xa4o.wav\r\n"
                                                        "File3=/c/three.mp3\r\nNumberOfEntries=3"));
    EXPECT_EQ(ComposePlaylist(three, "m3u"), QByteArray("/a/One.wav\r\n/b/t\xc3\xa4o.wav\r\n/c/three.mp3\r\n"));
    EXPECT_EQ(ComposePlaylist({}, "m3u"), QByteArray());
    EXPECT_EQ(ComposePlaylist({}, "pls"), QByteArray("[playlist]\r\nNumberOfEntries=0"));
    // The format is chosen by exact extension; anything else writes nothing.
    EXPECT_EQ(ComposePlaylist(three, "M3U"), QByteArray());
    // What is written reads back the same.
    EXPECT_EQ(ParsePlaylist(ComposePlaylist(three, "pls"), "pls", "/").paths, three);
    EXPECT_EQ(ParsePlaylist(ComposePlaylist(three, "m3u"), "m3u", "/").paths, three);
}

TEST(PlaylistFileIo, SizeLimitIs256MiBAndTheMessageSaysSo) {
    QTemporaryDir dir;
    RecordingSink sink;
    const QString fits = dir.filePath("fits.m3u"), over = dir.filePath("over.m3u");
    // Sparse files: the limit costs no disk, only the memory of reading it once.
    for (const auto &[path, size] : {std::pair{fits, kMaxPlaylistBytes}, std::pair{over, kMaxPlaylistBytes + 1}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(size));
    }
    QByteArray text;
    EXPECT_FALSE(ReadPlaylistFile(over, false, text));
    EXPECT_EQ(sink.Texts(), QStringList{Detail(4, over)});
    EXPECT_TRUE(sink.Texts().value(0).contains("256 MByte"));
    sink.Clear();
    EXPECT_TRUE(ReadPlaylistFile(fits, true, text));
    EXPECT_EQ(text.size(), kMaxPlaylistBytes);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(PlaylistFileIo, OpenFailureIsShownOnlyWhenAsked) {
    QTemporaryDir dir;
    RecordingSink sink;
    QByteArray text;
    const QString missing = dir.filePath("missing.pls");
    EXPECT_FALSE(ReadPlaylistFile(missing, false, text));
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_FALSE(ReadPlaylistFile(missing, true, text));
    EXPECT_EQ(sink.Texts(), QStringList{Detail(61306, missing)});
    sink.Clear();
    EXPECT_FALSE(ReadPlaylistFile(dir.path(), true, text)); // a folder is no playlist
    EXPECT_EQ(sink.Texts().size(), 1);
}

TEST(PlaylistFileIo, InterruptedSaveLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath("keep.m3u");
    const QByteArray old = "/old/one.wav\r\n";
    ASSERT_TRUE(WriteBytes(path, old));

    // A file-size limit makes the write fail half-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bSaved = WritePlaylistFile(path, QByteArray(64 * 1024, 'x'), true);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(bSaved);
    EXPECT_EQ(sink.Texts(), QStringList{Detail(61299, path)});
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.m3u"}); // no half-written leftovers
}

TEST(PlaylistFileIo, SaveIntoAMissingFolderFails) {
    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath("no/such/folder/list.pls");
    EXPECT_FALSE(WritePlaylistFile(path, "x", false));
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_FALSE(WritePlaylistFile(path, "x", true));
    EXPECT_EQ(sink.Texts(), QStringList{Detail(61299, path)});
}

TEST(PlaylistFileIo, DefaultPlaylistLivesInTheUserDataFolder) {
    ScopedXdgHome home;
    EXPECT_EQ(DefaultPlaylistPath(), home.DataHome() + "/Melvo/Melvo/default.std");
}
