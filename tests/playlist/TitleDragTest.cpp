// Drag and drop between and inside title lists: the private records, the current title, URI drops.
#include "TitleDrag.h"
#include "PlaylistTestSupport.h"
#include "TitleItemRecord.h"
#include "TitleItemWire.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

class TitleDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        for (int i = 0; i < 4; ++i)
            playlist.AddFile(MakeWavFile(dir.path(), QString(QChar('A' + i)) + ".wav", i + 1), -1, false);
        playlist.StartInfoReader(0, 4);
        ASSERT_TRUE(WaitForReader(playlist));
    }
    void Select(std::initializer_list<int> rows) {
        playlist.SelectionModel()->clear();
        for (int r : rows)
            playlist.SelectionModel()->select(playlist.index(r, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString Titles() const {
        QString titles;
        for (int r = 0; r < playlist.RowCount(); ++r)
            titles += TitleText(*playlist.ItemAt(r));
        return titles;
    }
    // A drag inside the playlist, as the view does it.
    int DragInside(std::initializer_list<int> rows, int dropRow, bool bMove) {
        Select(rows);
        std::unique_ptr<QMimeData> data(playlist.BuildDragData());
        playlist.SetInternalDrag(true);
        return playlist.Drop(data.get(), dropRow, bMove);
    }

    QTemporaryDir dir;
    TitleList playlist{true};
};

} // namespace

TEST_F(TitleDragTest, DragDataCarriesPathsAndRecordsInRowOrder) {
    FakePlayer player(playlist);
    playlist.SelectOnly(2);
    player.Play();
    Select({3, 0, 2});
    std::unique_ptr<QMimeData> data(playlist.BuildDragData());
    ASSERT_TRUE(data);
    ASSERT_EQ(data->urls().size(), 3);
    EXPECT_EQ(data->urls()[0].toLocalFile(), dir.filePath("A.wav"));
    EXPECT_EQ(data->urls()[2].toLocalFile(), dir.filePath("D.wav"));
    const QByteArray records = data->data(kPlaylistItemMime);
    ASSERT_EQ(records.size(), 3 * TITLE_ITEM_WIRE_SIZE);
    const auto *wire = reinterpret_cast<const unsigned char *>(records.constData());
    TitleItem item{};
    TitleItemFromWire(wire + TITLE_ITEM_WIRE_SIZE, &item);
    EXPECT_STREQ(item.szTitle, "C");
    EXPECT_EQ(item.nLength, 3);
    // Only the playing title carries the marker.
    EXPECT_EQ(MelvoWireGet32(wire + 188), 0u);
    EXPECT_EQ(MelvoWireGet32(wire + TITLE_ITEM_WIRE_SIZE + 188), kCurrentTitleMarker);
    EXPECT_EQ(MelvoWireGet32(wire + 2 * TITLE_ITEM_WIRE_SIZE + 188), 0u);
    playlist.SelectionModel()->clear();
    EXPECT_EQ(playlist.BuildDragData(), nullptr);
}

TEST_F(TitleDragTest, MovingThePlayingTitleKeepsItPlayingAndMarked) {
    FakePlayer player(playlist);
    playlist.SelectOnly(1);
    player.Play();
    player.nStops = 0;
    const int last = DragInside({1}, 4, true);
    EXPECT_EQ(Titles(), QStringLiteral("ACDB"));
    EXPECT_EQ(last, 3);
    EXPECT_EQ(playlist.GetFirstSelected(), 3);
    EXPECT_EQ(player.nStops, 0);
    EXPECT_EQ(player.pCurrentItem, playlist.ItemAt(3));
    EXPECT_EQ(player.nCurrentRow, 3);
    EXPECT_EQ(playlist.RowText(3, 0), QStringLiteral("> B <"));
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(playlist.RowText(r, 0).startsWith(">")) << r;
    EXPECT_EQ(playlist.TotalSeconds(), 10);
}

TEST_F(TitleDragTest, MovingSeveralRowsDownSelectsTheLastMovedRow) {
    const int last = DragInside({0, 1}, 3, true);
    EXPECT_EQ(Titles(), QStringLiteral("CABD"));
    EXPECT_EQ(last, 2);
    EXPECT_EQ(TitleText(*playlist.ItemAt(playlist.GetFirstSelected())), QStringLiteral("B"));
    EXPECT_FALSE(playlist.InternalDrag());
}

TEST_F(TitleDragTest, CtrlDragDuplicatesTheRows) {
    DragInside({0, 2}, 4, false);
    EXPECT_EQ(Titles(), QStringLiteral("ABCDAC"));
    EXPECT_EQ(playlist.GetFirstSelected(), 5);
    EXPECT_EQ(playlist.TotalSeconds(), 14);
    // The copies own their own paths.
    EXPECT_NE(playlist.ItemAt(4)->pszPath, playlist.ItemAt(0)->pszPath);
    EXPECT_EQ(TitlePath(*playlist.ItemAt(4)), TitlePath(*playlist.ItemAt(0)));
}

TEST_F(TitleDragTest, FilesFromTheFileManagerAreReadAtOnce) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(MakeWavFile(dir.path(), "new1.wav", 7)),
                  QUrl::fromLocalFile(dir.filePath("skip.txt")), QUrl(QStringLiteral("https://example.org/x.wav")),
                  QUrl::fromLocalFile(MakeWavFile(dir.path(), "new2.wav", 8))});
    const int last = playlist.Drop(&data, 1, false);
    EXPECT_EQ(Titles(), QStringLiteral("Anew1new2BCD"));
    EXPECT_EQ(last, 2);
    EXPECT_EQ(playlist.RowText(1, 1), QStringLiteral("00:07"));
    EXPECT_EQ(playlist.RowText(2, 1), QStringLiteral("00:08"));
    EXPECT_EQ(playlist.TotalSeconds(), 25);
    EXPECT_EQ(playlist.GetFirstSelected(), 2);

    QMimeData text;
    text.setText(QStringLiteral("just text"));
    EXPECT_EQ(playlist.Drop(&text, 0, false), -1);
    EXPECT_EQ(playlist.RowCount(), 6);
}

TEST_F(TitleDragTest, AddFromTheFileListAppendsAndReads) {
    TitleList files(false);
    files.ShowFolderItems({MakeWavFile(dir.path(), "f1.wav", 5), MakeWavFile(dir.path(), "f2.wav", 6),
                           MakeWavFile(dir.path(), "f3.wav", 7)});
    ASSERT_TRUE(WaitForReader(files));
    files.SelectionModel()->clear();
    files.SelectionModel()->select(files.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(files.AddSelectedTo(playlist), 4);
    EXPECT_EQ(Titles(), QStringLiteral("ABCDf3"));
    EXPECT_EQ(playlist.GetFirstSelected(), 4);
    EXPECT_EQ(files.AddAllTo(playlist), 7);
    EXPECT_EQ(Titles(), QStringLiteral("ABCDf3f1f2f3"));
    ASSERT_TRUE(WaitForReader(playlist));
    EXPECT_EQ(playlist.TotalSeconds(), 10 + 7 + 18);
    EXPECT_EQ(playlist.GetFirstSelected(), 7);
}

TEST_F(TitleDragTest, MovingThePlayingTitleWhileReadingStillReadsEveryRow) {
    FakePlayer player(playlist);
    playlist.SelectOnly(1);
    player.Play();
    const QString path = MakeWavFile(dir.path(), "late.wav", 2);
    for (int i = 0; i < 200; ++i)
        playlist.AddFile(path, -1, false);
    playlist.StartInfoReader(0, playlist.RowCount());
    DragInside({1}, 10, true);
    EXPECT_EQ(player.pCurrentItem, playlist.ItemAt(9));
    ASSERT_TRUE(WaitForReader(playlist));
    for (int r = 0; r < playlist.RowCount(); ++r)
        ASSERT_NE(playlist.RowText(r, 1), QStringLiteral("??.??")) << r;
    EXPECT_EQ(playlist.TotalSeconds(), 10 + 400);
}
