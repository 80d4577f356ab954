// The playlist with the real player engine: moving and removing the playing title, loading a playlist.
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "Functions.h"
#include "PlaylistTestSupport.h"
#include "Sound.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class PlayerPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        qputenv("SDL_AUDIODRIVER", "dummy");
        ASSERT_TRUE(InitSound());
        panel = std::make_unique<CPlayer>();
        ASSERT_TRUE(panel->CreateChildren());
        ASSERT_NE(panel->Functions(), nullptr);
        for (int i = 0; i < 4; ++i)
            List().AddFile(MakeWavFile(dir.path(), QStringLiteral("t%1.wav").arg(i), 60), -1, true);
    }
    void TearDown() override {
        panel.reset();
        ReleaseSound();
    }
    TitleList &List() { return panel->Playlist()->List(); }
    Player &GetPlayer() { return panel->Functions()->GetPlayer(); }
    void PlayRow(int row) {
        List().SelectOnly(row);
        panel->PlaylistPanel()->OnCommand(1001);
        ASSERT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    }

    ScopedXdgHome home;
    QTemporaryDir dir;
    std::unique_ptr<CPlayer> panel;
};

} // namespace

TEST_F(PlayerPanelTest, MovingThePlayingTitleKeepsItPlayingAtItsNewRow) {
    PlayRow(1);
    TitleItem *playing = GetPlayer().CurrentItem();
    EXPECT_EQ(List().RowText(1, 0), QStringLiteral("> t1 <"));
    List().SelectOnly(1);
    std::unique_ptr<QMimeData> data(List().BuildDragData());
    List().SetInternalDrag(true);
    List().Drop(data.get(), 4, true);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentItem(), playing);
    EXPECT_EQ(GetPlayer().CurrentRow(), 3);
    EXPECT_EQ(List().RowText(3, 0), QStringLiteral("> t1 <"));
    EXPECT_EQ(List().RowText(1, 0), QStringLiteral("t2"));
    // Stopping unmarks the row the title now stands in.
    panel->Functions()->OnCommand(1002);
    EXPECT_EQ(List().RowText(3, 0), QStringLiteral("t1"));
}

TEST_F(PlayerPanelTest, RemovingRowsKeepsOrStopsPlayback) {
    PlayRow(2);
    List().SelectOnly(0);
    panel->PlaylistPanel()->OnCommand(1170);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentRow(), 1);
    List().SelectOnly(1);
    panel->PlaylistPanel()->OnCommand(1170);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(GetPlayer().CurrentItem(), nullptr);
    EXPECT_EQ(List().RowCount(), 2);
    PlayRow(0);
    panel->PlaylistPanel()->OnCommand(1192);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(List().RowCount(), 0);
}

TEST_F(PlayerPanelTest, LoadingAPlaylistStopsPlaybackEvenWhenTheFileFails) {
    RecordingSink sink;
    PlayRow(3);
    EXPECT_FALSE(panel->PlaylistPanel()->LoadFrom(dir.filePath("missing.pls")));
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(sink.Texts().size(), 1);
}
