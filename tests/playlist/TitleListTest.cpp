// Title lists: records and row texts, the background reader, totals, removing, folders and files.
#include "AudioFiles.h"
#include "Mp3Files.h"
#include "PackedTitle.h"
#include "PlaylistFile.h"
#include "PlaylistTestSupport.h"
#include "PluginHost.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <numeric>
#include <random>

namespace {

class TitleListTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
    }
    // Rows for files of these lengths, read and shown.
    void Fill(TitleList &list, std::initializer_list<int> seconds) {
        for (int s : seconds)
            list.AddFile(MakeWavFile(dir.path(), QStringLiteral("t%1.wav").arg(n++), s), -1, false);
        list.StartInfoReader(0, list.RowCount());
        ASSERT_TRUE(WaitForReader(list));
    }
    QTemporaryDir dir;
    int n = 0;
};

} // namespace

TEST(RowTexts, LengthsAndMarks) {
    EXPECT_EQ(FormatLength(3725), QStringLiteral("62:05"));
    EXPECT_EQ(FormatLength(7500), QStringLiteral("125:00"));
    EXPECT_EQ(FormatLength(0), QStringLiteral("00:00"));
    EXPECT_EQ(FormatLength(-1), QStringLiteral("??.??"));
    TitleItem item{};
    SetInitialTitle(item, QStringLiteral("/music/abcde.mp3"));
    EXPECT_EQ(RowTitleText(item, false), QStringLiteral("abcde"));
    EXPECT_EQ(RowTitleText(item, true), QStringLiteral("> abcde <"));
}

TEST(RowTexts, InitialTitleCutsFourCharactersAnd99Bytes) {
    TitleItem item{};
    SetInitialTitle(item, QStringLiteral("/x/song.flac"));
    EXPECT_EQ(TitleText(item), QStringLiteral("song."));
    SetInitialTitle(item, QStringLiteral("/x/a.b"));
    EXPECT_EQ(TitleText(item), QString());
    SetInitialTitle(item, "/x/" + QString(150, 'n') + ".wav");
    EXPECT_EQ(TitleText(item), QString(99, 'n'));
    // Two-byte letters: 49 of them fit in 99 bytes, the 50th would be cut in half.
    SetInitialTitle(item, "/x/" + QString(60, QChar(0xE9)) + ".wav");
    EXPECT_EQ(TitleText(item), QString(49, QChar(0xE9)));
}

// Records keep their path in their own block; copies, renames and swaps must never free or share
// another record's storage (the sanitizer run catches a wrong free here).
TEST(TitleRecords, PathsSurviveCopiesRenamesAndSwaps) {
    TitleItem *a = AllocateTitleItem(QByteArrayLiteral("/music/a.mp3"));
    TitleItem *b = AllocateTitleItem(QByteArrayLiteral("/music/b.mp3"));
    ASSERT_TRUE(a && b);
    a->nLength = 1;
    b->nLength = 2;
    ASSERT_TRUE(SetTitleItemPath(*b, QStringLiteral("/music/renamed b.mp3")));
    TitleItem *copy = CopyTitleItem(*a);
    ASSERT_TRUE(copy);
    SwapTitleItems(*a, *b);
    EXPECT_EQ(TitlePath(*a), QStringLiteral("/music/renamed b.mp3"));
    EXPECT_EQ(a->nLength, 2);
    EXPECT_EQ(TitlePath(*b), QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(b->nLength, 1);
    FreeTitleItem(a);
    EXPECT_EQ(TitlePath(*b), QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(TitlePath(*copy), QStringLiteral("/music/a.mp3"));
    SwapTitleItems(*b, *copy); // same paths: nothing to move
    EXPECT_EQ(TitlePath(*copy), QStringLiteral("/music/a.mp3"));
    FreeTitleItem(b);
    FreeTitleItem(copy);
}

TEST_F(TitleListTest, RecordsAreMadeOnlyForServedExtensions) {
    EXPECT_EQ(CreateTitleItem(dir.filePath("notes.txt"), true), nullptr);
    EXPECT_EQ(CreateTitleItem(dir.filePath("noextension"), true), nullptr);
    EXPECT_EQ(CreateTitleItem(dir.filePath("trailingdot."), true), nullptr);
    TitleItem *item = CreateTitleItem(dir.filePath("Loud.WAV"), true);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->nLength, -1);
    EXPECT_EQ(item->nCDDrive, TITLE_NO_CD);
    EXPECT_EQ(item->nCDTrack, TITLE_NO_CD);
    EXPECT_EQ(item->bUseTags, 1u);
    EXPECT_EQ(item->nInfoState, INFO_NOT_READ);
    EXPECT_EQ(TitlePath(*item), dir.filePath("Loud.WAV"));
    EXPECT_EQ(TitleText(*item), QStringLiteral("Loud"));
    FreeTitleItem(item);
}

TEST_F(TitleListTest, ReaderFillsAThousandRowsWhileTheEventLoopRuns) {
    const QStringList files{MakeWavFile(dir.path(), "a.wav", 1), MakeWavFile(dir.path(), "b.wav", 2),
                            MakeWavFile(dir.path(), "c.wav", 3), dir.filePath("missing.wav")};
    QByteArray m3u;
    for (int i = 0; i < 1000; ++i)
        m3u += QFileInfo(files[i % 4]).fileName().toUtf8() + "\n";
    const QString list = dir.filePath("big.m3u");
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(m3u);
    file.close();

    TitleList playlist(true);
    QSignalSpy totals(&playlist, &TitleList::TotalChanged);
    int nOtherEvents = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++nOtherEvents; });
    other.start(1);
    ASSERT_TRUE(playlist.LoadPlaylist(list, "m3u", true));
    // Rows are there at once with their file names; lengths follow.
    EXPECT_EQ(playlist.RowCount(), 1000);
    EXPECT_TRUE(playlist.IsReading());
    EXPECT_EQ(playlist.RowText(999, 0), QStringLiteral("missing"));
    EXPECT_EQ(playlist.RowText(999, 1), QStringLiteral("??.??"));
    ASSERT_TRUE(WaitForReader(playlist));
    EXPECT_GT(nOtherEvents, 0);
    for (int r = 0; r < 1000; ++r) {
        const QString expected = r % 4 == 3 ? QStringLiteral("??.??") : FormatLength(r % 4 + 1);
        ASSERT_EQ(playlist.RowText(r, 1), expected) << r;
        ASSERT_EQ(playlist.ItemAt(r)->nInfoState, INFO_SHOWN) << r;
    }
    EXPECT_EQ(playlist.TotalSeconds(), 250 * 6);
    ASSERT_FALSE(totals.isEmpty());
    EXPECT_EQ(totals.last().at(0).toInt(), 1500);
    EXPECT_EQ(totals.last().at(1).toInt(), 1000);
}

TEST_F(TitleListTest, ReaderLetsOthersReadAndStopsForDeletions) {
    TitleList playlist(true);
    const QString path = MakeWavFile(dir.path(), "x.wav", 1);
    for (int i = 0; i < 300; ++i)
        playlist.AddFile(path, -1, false);
    playlist.StartInfoReader(0, 300);
    // The player reads a row the reader has not reached: the reader pauses for it and goes on.
    EXPECT_TRUE(playlist.ReadTitleInfo(playlist.ItemAt(299), true));
    EXPECT_TRUE(playlist.IsReading());
    ASSERT_TRUE(WaitForReader(playlist));
    EXPECT_EQ(playlist.TotalSeconds(), 300);
    playlist.StartInfoReader(0, 300);
    playlist.DeleteTitleRow(150);
    EXPECT_FALSE(playlist.IsReading());
    playlist.StartInfoReader(0, playlist.RowCount());
    playlist.DeleteAllRows();
    EXPECT_EQ(playlist.RowCount(), 0);
    EXPECT_EQ(playlist.TotalSeconds(), 0);
}

TEST_F(TitleListTest, TotalFollowsShownAndDeletedRows) {
    TitleList playlist(true);
    Fill(playlist, {3725, 1, 10});
    EXPECT_EQ(playlist.RowText(0, 1), QStringLiteral("62:05"));
    EXPECT_EQ(playlist.TotalSeconds(), 3736);
    playlist.DeleteTitleRow(0);
    EXPECT_EQ(playlist.TotalSeconds(), 11);
    // The file list keeps no total.
    TitleList files(false);
    Fill(files, {5});
    EXPECT_EQ(files.TotalSeconds(), 0);
}

TEST_F(TitleListTest, SelectOnlyAndRemoveSelectingTheNewLastRow) {
    TitleList playlist(true);
    Fill(playlist, {1, 1, 1, 1});
    EXPECT_FALSE(playlist.SelectOnly(4));
    EXPECT_TRUE(playlist.SelectOnly(-3));
    EXPECT_EQ(playlist.GetFirstSelected(), 0);
    playlist.SelectOnly(3);
    playlist.RemoveSelected();
    EXPECT_EQ(playlist.RowCount(), 3);
    EXPECT_EQ(playlist.GetFirstSelected(), 2);
    // A middle row: the row after it moves up and is selected.
    playlist.SelectOnly(1);
    const TitleItem *next = playlist.ItemAt(2);
    playlist.RemoveSelected();
    EXPECT_EQ(playlist.ItemAt(playlist.GetFirstSelected()), next);
    playlist.SelectionModel()->clearSelection();
    playlist.RemoveSelected(); // nothing selected: nothing happens
    EXPECT_EQ(playlist.RowCount(), 2);
}

TEST_F(TitleListTest, RemovingThePlayingRowStopsPlaybackFirst) {
    TitleList playlist(true);
    Fill(playlist, {1, 2, 3, 4});
    FakePlayer player(playlist);
    playlist.SelectOnly(1);
    player.Play();
    EXPECT_EQ(playlist.RowText(1, 0), "> " + TitleText(*playlist.ItemAt(1)) + " <");
    // Removing another row keeps playing; the mark follows the playing record.
    player.nStops = 0;
    playlist.SelectOnly(0);
    playlist.RemoveSelected();
    EXPECT_EQ(player.nStops, 0);
    EXPECT_EQ(player.nCurrentRow, 0);
    EXPECT_TRUE(playlist.RowText(0, 0).startsWith("> "));
    // Removing the playing row (with another) stops before any row goes.
    QItemSelectionModel *selection = playlist.SelectionModel();
    selection->select(playlist.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->select(playlist.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    playlist.RemoveSelected();
    EXPECT_EQ(player.nStops, 1);
    EXPECT_EQ(player.nRowsAtLastStop, 3);
    EXPECT_EQ(player.pCurrentItem, nullptr);
    EXPECT_EQ(playlist.RowCount(), 1);
    EXPECT_EQ(playlist.MarkedItem(), nullptr);
}

TEST_F(TitleListTest, SaveAndLoadThroughTheList) {
    RecordingSink sink;
    TitleList playlist(true);
    Fill(playlist, {1, 2});
    const QString pls = dir.filePath("Mixed Case.pls");
    ASSERT_TRUE(playlist.SavePlaylist(pls, "pls", true));
    QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);
    QFile file(pls);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\r\nFile3=notes.txt\r\n");
    file.close();

    TitleList other(true);
    ASSERT_TRUE(other.LoadPlaylist(pls, "PLS", true));
    ASSERT_EQ(other.RowCount(), 2); // the text file has no plug-in
    EXPECT_EQ(TitlePath(*other.ItemAt(0)), TitlePath(*playlist.ItemAt(0)));
    EXPECT_EQ(TitlePath(*other.ItemAt(1)), TitlePath(*playlist.ItemAt(1)));
    ASSERT_TRUE(WaitForReader(other));
    EXPECT_EQ(other.TotalSeconds(), 3);
    EXPECT_TRUE(sink.Texts().isEmpty());

    // A PLS without its header adds nothing, says so, and still counts as read.
    const QString bad = dir.filePath("bad.pls");
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write("File1=t0.wav\n");
    badFile.close();
    EXPECT_TRUE(other.LoadPlaylist(bad, "pls", true));
    EXPECT_EQ(other.RowCount(), 2);
    EXPECT_EQ(sink.Texts(), QStringList{"<" + bad + ">: " + EnglishString(61304)});
}

TEST_F(TitleListTest, LoadingFromTheDialogStopsPlaybackEvenWhenTheFileFails) {
    RecordingSink sink;
    TitleList playlist(true);
    Fill(playlist, {1, 2});
    FakePlayer player(playlist);
    playlist.SelectOnly(0);
    player.Play();
    EXPECT_FALSE(playlist.ReplaceWithPlaylist(dir.filePath("gone.m3u")));
    EXPECT_GE(player.nStops, 2);
    EXPECT_EQ(player.pCurrentItem, nullptr);
    EXPECT_EQ(playlist.RowCount(), 0);
    EXPECT_EQ(sink.Texts().size(), 1);
}

TEST_F(TitleListTest, ClosingThePlaylistKeepsItInTheDataFolder) {
    ScopedXdgHome home;
    {
        TitleList playlist(true);
        Fill(playlist, {1, 2, 3});
        playlist.Close();
        EXPECT_EQ(playlist.RowCount(), 0);
    }
    EXPECT_TRUE(QFile::exists(home.DataHome() + "/Melvo/Melvo/default.std"));
    TitleList again(true);
    ASSERT_TRUE(again.LoadDefaultPlaylist());
    EXPECT_EQ(again.RowCount(), 3);
    // The file list never writes it.
    QFile::remove(DefaultPlaylistPath());
    TitleList files(false);
    files.AddFile(MakeWavFile(dir.path(), "f.wav", 1), -1, false);
    files.Close();
    EXPECT_FALSE(QFile::exists(DefaultPlaylistPath()));
}

TEST_F(TitleListTest, ShowFolderListsPlayableFilesOnly) {
    QDir(dir.path()).mkdir("sub.wav");
    QFile(dir.filePath("readme.txt")).open(QIODevice::WriteOnly);
    TitleList files(false);
    QSignalSpy shown(&files, &TitleList::FolderShown);
    files.ShowFolder(dir.path());
    EXPECT_EQ(files.RowCount(), 0);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(shown.last().at(0).toBool());

    MakeWavFile(dir.path(), "b.wav", 2);
    MakeWavFile(dir.path(), "A.wav", 1);
    files.ShowFolder(dir.path());
    ASSERT_EQ(files.RowCount(), 2);
    EXPECT_TRUE(shown.last().at(0).toBool());
    EXPECT_EQ(files.RowText(0, 0), QStringLiteral("A"));
    ASSERT_TRUE(WaitForReader(files));
    EXPECT_EQ(files.RowText(1, 1), QStringLiteral("00:02"));
    EXPECT_EQ(files.GetFirstSelected(), 0); // selected once reading finished

    RecordingSink sink;
    files.ShowFolder(dir.filePath("no-such-folder"));
    EXPECT_EQ(files.RowCount(), 0);
    EXPECT_EQ(sink.Texts().size(), 1);
}

TEST_F(TitleListTest, RenameTitlePathMatchesExactPaths) {
    TitleList playlist(true);
    const QString old = MakeWavFile(dir.path(), "old.wav", 1);
    const QString other = MakeWavFile(dir.path(), "OLD.wav", 1);
    playlist.AddFile(old, -1, false);
    playlist.AddFile(other, -1, false);
    playlist.AddFile(old, -1, false);
    FakePlayer player(playlist);
    playlist.SelectOnly(2);
    player.Play();
    const QString renamed = dir.filePath("new name.wav");
    ASSERT_TRUE(QFile::copy(old, renamed));
    playlist.RenameTitlePath(old, renamed);
    EXPECT_EQ(TitlePath(*playlist.ItemAt(0)), renamed);
    EXPECT_EQ(TitlePath(*playlist.ItemAt(1)), other);
    EXPECT_EQ(TitlePath(*playlist.ItemAt(2)), renamed);
    EXPECT_EQ(playlist.RowText(0, 0), QStringLiteral("new name"));
    EXPECT_EQ(playlist.RowText(2, 0), QStringLiteral("> new name <"));
    EXPECT_EQ(playlist.RowText(0, 1), QStringLiteral("00:01"));
    EXPECT_EQ(player.strShownTitle, QStringLiteral("new name"));

    TitleList files(false);
    files.AddFile(old, -1, false);
    files.AddFile(old, -1, false);
    files.RenameTitlePath(old, renamed);
    EXPECT_EQ(TitlePath(*files.ItemAt(0)), renamed);
    EXPECT_EQ(TitlePath(*files.ItemAt(1)), old); // the file list stops at the first
}

TEST_F(TitleListTest, CdTracksTakeTheirTitleFromTheLookup) {
    TitleList files(false);
    files.AddFile(MakeWavFile(dir.path(), "w.wav", 1), -1, false);
    TitleItem *item = files.ItemAt(0);
    item->nCDDrive = 1;
    item->nCDTrack = 7;
    SetCDTitleLookup([](uint8_t drive, uint8_t track, char *szTitle) {
        std::snprintf(szTitle, TITLE_TEXT_SIZE, "Disc %d / Track %d", drive, track);
        return true;
    });
    files.RefreshCDTitles();
    SetCDTitleLookup(nullptr);
    EXPECT_EQ(files.RowText(0, 0), QStringLiteral("Disc 1 / Track 7"));
    EXPECT_EQ(files.RowText(0, 1), QStringLiteral("00:01"));
}

// Rows loaded from a playlist are packed; a packed record must unpack to what it held.
TEST(TitleRecords, PackedRecordsKeepFieldsTitleAndPath) {
    TitleItem *item = AllocateTitleItem(QByteArrayLiteral("/music/\xC3\xA9t\xC3\xA9.mp3"));
    ASSERT_TRUE(item);
    item->nPlugin = 3;
    item->dwDataStart = 417;
    item->dwDataEnd = 123456;
    item->nAvgBytesPerSec = 16000;
    item->nSamplesPerSec = 44100;
    item->nChannels = 2;
    item->nCDDrive = TITLE_NO_CD;
    item->nLength = 3725;
    std::memcpy(item->dwFormatTag, "MP3", 4);
    std::memcpy(item->szTitle, "Artist - Title", 15);
    item->nInfoState = INFO_SHOWN;
    PackedTitle *packed = PackTitleItem(*item);
    ASSERT_TRUE(packed);
    EXPECT_EQ(PackedTitleText(*packed), QStringLiteral("Artist - Title"));
    EXPECT_EQ(QString::fromUtf8(PackedPath(*packed)), QString::fromUtf8("/music/\xC3\xA9t\xC3\xA9.mp3"));
    EXPECT_EQ(PackedLength(*packed), 3725);
    EXPECT_EQ(PackedPlugin(*packed), 3);
    PackedTitle *copy = CopyPackedTitle(*packed);
    FreePackedTitle(packed);
    TitleItem *back = UnpackTitleItem(*copy);
    FreePackedTitle(copy);
    ASSERT_TRUE(back);
    EXPECT_EQ(TitlePath(*back), TitlePath(*item));
    EXPECT_EQ(TitleText(*back), QStringLiteral("Artist - Title"));
    EXPECT_EQ(back->dwDataStart, 417u);
    EXPECT_EQ(back->dwDataEnd, 123456u);
    EXPECT_EQ(back->nAvgBytesPerSec, 16000u);
    EXPECT_EQ(back->nSamplesPerSec, 44100u);
    EXPECT_EQ(back->nChannels, 2);
    EXPECT_EQ(back->nLength, 3725);
    EXPECT_STREQ(back->dwFormatTag, "MP3");
    EXPECT_EQ(back->nInfoState, INFO_SHOWN);
    EXPECT_EQ(back->hMMFile, nullptr);
    EXPECT_EQ(back->pNextPending, nullptr);
    FreeTitleItem(back);
    FreeTitleItem(item);
}

namespace {

// A playlist file of n entries cycling through WAV files of 1, 2 and 3 seconds.
QString MakeCyclingPlaylist(const QString &folder, int n) {
    QByteArray m3u;
    for (int i = 0; i < n; ++i)
        m3u += MakeWavFile(folder, QStringLiteral("c%1.wav").arg(i % 3 + 1), i % 3 + 1).toUtf8() + "\n";
    const QString list = folder + QStringLiteral("/cycle.m3u");
    QFile file(list);
    if (file.open(QIODevice::WriteOnly))
        file.write(m3u);
    return list;
}

} // namespace

// The reader fills a small ring for packed rows and waits when the GUI thread has not taken it in;
// stopping must end that wait, keep what was read, and a new start must read the rest.
TEST_F(TitleListTest, StoppingAReaderThatWaitsForTheGuiKeepsWhatWasRead) {
    TitleList playlist(true);
    ASSERT_TRUE(playlist.LoadPlaylist(MakeCyclingPlaylist(dir.path(), 1200), "m3u", true));
    ASSERT_EQ(playlist.RowCount(), 1200);
    // No event loop: the ring (128 slots) fills and the thread waits.
    QElapsedTimer clock;
    clock.start();
    while (playlist.ReaderHandled() < 128 && clock.elapsed() < 30000)
        QThread::msleep(5);
    ASSERT_GE(playlist.ReaderHandled(), 128);
    playlist.StopInfoReader();
    EXPECT_FALSE(playlist.IsReading());
    int known = 0;
    for (int r = 0; r < 1200; ++r)
        known += playlist.RowText(r, 1) != QStringLiteral("??.??");
    EXPECT_GT(known, 0);
    EXPECT_LT(known, 1200);
    playlist.StartInfoReader(0, playlist.RowCount());
    ASSERT_TRUE(WaitForReader(playlist));
    for (int r = 0; r < 1200; ++r)
        ASSERT_EQ(playlist.RowText(r, 1), FormatLength(r % 3 + 1)) << r;
    EXPECT_EQ(playlist.TotalSeconds(), 400 * 6);
}

// A row asked for while the reader has not reached it becomes a full record at once, keeps its
// address, and still gets what the reader reads for it.
TEST_F(TitleListTest, RowsUnpackedWhileReadingStillGetTheirFormat) {
    TitleList playlist(true);
    ASSERT_TRUE(playlist.LoadPlaylist(MakeCyclingPlaylist(dir.path(), 600), "m3u", true));
    TitleItem *late = playlist.ItemAt(599);
    TitleItem *early = playlist.ItemAt(1);
    ASSERT_TRUE(late && early);
    EXPECT_EQ(playlist.ItemAt(599), late);
    ASSERT_TRUE(WaitForReader(playlist));
    EXPECT_EQ(playlist.ItemAt(599), late);
    EXPECT_EQ(late->nLength, 3);
    EXPECT_EQ(early->nLength, 2);
    EXPECT_EQ(playlist.FindRow(late), 599);
    EXPECT_EQ(playlist.RowText(599, 1), QStringLiteral("00:03"));
    EXPECT_EQ(playlist.TotalSeconds(), 200 * 6);
    // Packed rows copy as packed rows, texts and lengths included; saving writes every path.
    TitleList other(true);
    EXPECT_EQ(playlist.AddAllTo(other), 599);
    ASSERT_TRUE(WaitForReader(other));
    EXPECT_EQ(other.RowText(300, 1), QStringLiteral("00:01"));
    EXPECT_EQ(other.TotalSeconds(), 200 * 6);
    const QString saved = dir.filePath("saved.m3u");
    ASSERT_TRUE(other.SavePlaylist(saved, "m3u", true));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 600);
}

namespace {

// A GetFormat that writes a length, then holds until released before it writes the real one.
struct HeldReader {
    std::mutex lock;
    std::condition_variable changed;
    bool bInside = false, bRelease = false;
    static HeldReader &Get() {
        static HeldReader h;
        return h;
    }
};

extern "C" int HeldGetFormat(TitleItem *item, int) {
    auto &h = HeldReader::Get();
    item->nLength = 99999;
    std::unique_lock lock(h.lock);
    h.bInside = true;
    h.changed.notify_all();
    h.changed.wait(lock, [&] { return h.bRelease; });
    item->nLength = 61;
    return 1;
}

} // namespace

TEST_F(TitleListTest, TotalSkipsARecordTheReaderIsStillFilling) {
    TitleList list(true);
    ASSERT_EQ(list.AddFile(MakeWavFile(dir.path(), QStringLiteral("held.wav"), 5), -1, false), 0);
    TitleItem *item = list.ItemAt(0);
    PluginEntry held;
    held.pfnGetFormat = HeldGetFormat;
    item->pPlugin = &held;
    list.StartInfoReader(0, 1);
    auto &h = HeldReader::Get();
    {
        std::unique_lock lock(h.lock);
        h.changed.wait(lock, [&] { return h.bInside; });
    }
    list.UpdateTitleRow(item, 0, false); // a redraw of the row while the reader is inside its record
    EXPECT_EQ(list.TotalSeconds(), 0);
    EXPECT_EQ(list.RowText(0, 1), QStringLiteral("??.??"));
    {
        std::lock_guard lock(h.lock);
        h.bRelease = true;
    }
    h.changed.notify_all();
    ASSERT_TRUE(WaitForReader(list));
    EXPECT_EQ(list.TotalSeconds(), 61);
}

// A sorted file list keeps its rows in title order however the reader's results arrive, and the
// selected title stays selected as it moves.
TEST_F(TitleListTest, ASortedFileListFollowsTheTitlesAsTheyAreRead) {
    if (FindPluginForExtension(QStringLiteral("mp3")) == kNoPlugin)
        GTEST_SKIP() << "in-sorb.so is not in the program folder";
    std::vector<int> order(40);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    QStringList paths;
    for (int i = 0; i < int(order.size()); ++i) {
        QByteArray bytes = MakeId3v2(QByteArray("Artist ") + QByteArray::number(100 + order[size_t(i)]), "T", 300);
        for (int f = 0; f < 10; ++f)
            bytes += MakeFrame(0xFFFB9000);
        paths << dir.filePath(QStringLiteral("f%1.mp3").arg(i, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(WriteFile(paths.last(), bytes));
    }
    TitleList files(false);
    files.SetSortAscending(true);
    std::reverse(paths.begin(), paths.end()); // the order given does not matter
    files.ShowFolderItems(paths);
    EXPECT_EQ(files.RowText(0, 0), QStringLiteral("f00"));
    files.SelectOnly(17);
    const QString chosen = QStringLiteral("Artist %1 - T").arg(100 + order[17]);
    // Results taken in at whatever points the reader happens to be.
    for (int i = 0; i < 8; ++i) {
        QThread::usleep(200);
        files.StopInfoReader();
        files.StartInfoReader(0, files.RowCount());
    }
    ASSERT_TRUE(WaitForReader(files));
    for (int r = 0; r < files.RowCount(); ++r)
        ASSERT_EQ(files.RowText(r, 0), QStringLiteral("Artist %1 - T").arg(100 + r)) << r;
    EXPECT_EQ(files.RowText(files.GetFirstSelected(), 0), chosen);
}
