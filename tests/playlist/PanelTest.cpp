// The widgets, offscreen: the player panel's children and layout, the playlist panel, the list view.
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "Helpers.h"
#include "PlaylistTestSupport.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

TEST(CPlayerLayout, ChildrenAreMadeInOrderAndFollowEveryResize) {
    ScopedXdgHome home;
    CPlayer player;
    player.show(); // the children are made when the panel is first shown
    ASSERT_NE(player.Playlist(), nullptr);
    QStringList names;
    for (QObject *child : player.children())
        names << child->objectName();
    EXPECT_EQ(names, QStringList({"CDisplay", "CPlaylist", "CPLFunctions", "CFunctions", "CPitch", "CVolume"}));
    for (QSize size : {QSize(640, 480), QSize(900, 700)}) {
        player.resize(size);
        const int cx = size.width(), cy = size.height();
        EXPECT_EQ(player.ChildAt(CPlayer::ChildDisplay)->geometry(), QRect(0, 0, cx - 120, 105));
        EXPECT_EQ(player.ChildAt(CPlayer::ChildVolume)->geometry(), QRect(cx - 116, 0, 56, 191));
        EXPECT_EQ(player.ChildAt(CPlayer::ChildPitch)->geometry(), QRect(cx - 56, 0, 56, 191));
        EXPECT_EQ(player.ChildAt(CPlayer::ChildFunctions)->geometry(), QRect(0, 109, cx - 120, 82));
        EXPECT_EQ(player.ChildAt(CPlayer::ChildPlaylist)->geometry(), QRect(0, 195, cx, cy - 222));
        EXPECT_EQ(player.ChildAt(CPlayer::ChildPLFunctions)->geometry(), QRect(0, cy - 23, cx, 23));
    }
    EXPECT_TRUE(player.Playlist()->IsPlaylist());
}

TEST(CPlayerLayout, AChildThatCannotBeMadeStopsTheRest) {
    ScopedXdgHome home;
    RecordingSink sink;
    CPlayer::Factories factories;
    factories.functions = [](QWidget *) -> QWidget * { return nullptr; };
    bool bVolumeAsked = false;
    factories.volume = [&](QWidget *parent) {
        bVolumeAsked = true;
        return new QWidget(parent);
    };
    CPlayer player(factories);
    EXPECT_FALSE(player.CreateChildren());
    EXPECT_EQ(sink.Texts(), QStringList{"<CFunctions>: " + EnglishString(61291)});
    EXPECT_NE(player.Playlist(), nullptr);
    EXPECT_EQ(player.ChildAt(CPlayer::ChildPitch), nullptr);
    EXPECT_FALSE(bVolumeAsked);
}

TEST(CPLFunctionsPanel, TotalLabelButtonsAndTooltips) {
    ScopedXdgHome home;
    TitleList playlist(true);
    CPLFunctions panel(playlist);
    EXPECT_EQ(panel.TotalLabel()->text(), QStringLiteral("0:00  "));
    EXPECT_EQ(panel.Button(1037)->toolTip(), QStringLiteral("Add selected titles"));
    EXPECT_EQ(panel.Button(1259)->toolTip(), QStringLiteral("Load playlist"));
    EXPECT_FALSE(panel.Button(1037)->isEnabled());
    panel.UpdateTotal(0, 0);
    EXPECT_EQ(panel.TotalLabel()->text(), QStringLiteral("00:00  "));
    for (int id : {1170, 1192, 1258})
        EXPECT_FALSE(panel.Button(id)->isEnabled()) << id;
    EXPECT_TRUE(panel.Button(1259)->isEnabled());
    panel.UpdateTotal(3725, 2);
    EXPECT_EQ(panel.TotalLabel()->text(), QStringLiteral("62:05  "));
    for (int id : {1170, 1192, 1258})
        EXPECT_TRUE(panel.Button(id)->isEnabled()) << id;
    panel.show();
    panel.resize(600, 23);
    EXPECT_EQ(panel.Button(1034)->geometry(), QRect(54, 0, 50, 23));
    EXPECT_EQ(panel.Button(1192)->geometry(), QRect(166, 0, 50, 23));
    EXPECT_EQ(panel.Button(1259)->geometry(), QRect(422, 0, 120, 23));
    EXPECT_EQ(panel.Button(1258)->geometry(), QRect(298, 0, 120, 23));
    EXPECT_EQ(panel.TotalLabel()->geometry(), QRect(550, 0, 50, 23));
}

TEST(CPLFunctionsPanel, SaveExtensionRules) {
    QString ext;
    EXPECT_EQ(CPLFunctions::SavePath("/l/list", 2, &ext), QStringLiteral("/l/list.m3u"));
    EXPECT_EQ(ext, QStringLiteral("m3u"));
    EXPECT_EQ(CPLFunctions::SavePath("/l/list.txt", 2, &ext), QStringLiteral("/l/list.txt.m3u"));
    EXPECT_EQ(CPLFunctions::SavePath("/l/LIST.M3U", 2, &ext), QStringLiteral("/l/LIST.M3U"));
    EXPECT_EQ(CPLFunctions::SavePath("/l/list.m3u", 1, &ext), QStringLiteral("/l/list.m3u.pls"));
    EXPECT_EQ(ext, QStringLiteral("pls"));
    EXPECT_EQ(CPLFunctions::FilterIndexFor("/x/a.M3u"), 2);
    EXPECT_EQ(CPLFunctions::FilterIndexFor("/x/a.pls"), 1);
    EXPECT_EQ(CPLFunctions::FilterIndexFor("/x/a"), 1);
}

TEST(CPLFunctionsPanel, RemembersThePlaylistFile) {
    ScopedXdgHome home;
    QTemporaryDir dir;
    TitleList playlist(true);
    {
        CPLFunctions panel(playlist);
        EXPECT_TRUE(panel.PlaylistPath().endsWith("/default.m3u"));
        EXPECT_TRUE(panel.SaveAs(dir.filePath("mine"), 2));
        EXPECT_EQ(panel.PlaylistPath(), dir.filePath("mine.m3u"));
    }
    CPLFunctions again(playlist);
    EXPECT_EQ(again.PlaylistPath(), dir.filePath("mine.m3u"));
}

TEST(CTitleListView, PanelCommandsFromTheListAndDrops) {
    if (!LoadTestPlugins())
        GTEST_SKIP() << "in-wave.so is not in the program folder";
    ScopedXdgHome home;
    QTemporaryDir dir;
    CPlayer player;
    ASSERT_TRUE(player.CreateChildren());
    player.show();
    player.resize(640, 480);
    CTitleList &view = *player.Playlist();
    TitleList &list = view.List();
    EXPECT_EQ(view.columnWidth(0) + view.columnWidth(1), view.viewport()->width());

    // Without rows: only Load is offered.
    std::unique_ptr<QMenu> menu(view.BuildContextMenu(nullptr));
    QStringList enabled;
    for (QAction *action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
            enabled << action->text();
    EXPECT_EQ(enabled, QStringList{"Load Playlist..."});

    // Files dropped from the file manager land after the row under the cursor, or at the end.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(MakeWavFile(dir.path(), "one.wav", 61)),
                  QUrl::fromLocalFile(MakeWavFile(dir.path(), "two.wav", 4))});
    const QPoint below(5, view.viewport()->height() - 2);
    QDragEnterEvent enter(below, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &enter); // a drop goes where the drag entered
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(below, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &drop);
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.RowText(1, 1), QStringLiteral("00:04"));
    EXPECT_EQ(list.GetFirstSelected(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return player.PlaylistPanel()->TotalLabel()->text() == QStringLiteral("01:05  ");
    })) << player.PlaylistPanel()->TotalLabel()->text().toStdString();

    menu.reset(view.BuildContextMenu(nullptr));
    enabled.clear();
    for (QAction *action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
            enabled << action->text();
    EXPECT_EQ(enabled.size(), 6);

    // Delete in the playlist removes the selected title through the panel.
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(TitleText(*list.ItemAt(0)), QStringLiteral("one"));
    EXPECT_EQ(list.GetFirstSelected(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return player.PlaylistPanel()->TotalLabel()->text() == QStringLiteral("01:01  ");
    })) << player.PlaylistPanel()->TotalLabel()->text().toStdString();
    player.PlaylistPanel()->OnCommand(1192);
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return player.PlaylistPanel()->TotalLabel()->text() == QStringLiteral("00:00  ");
    })) << player.PlaylistPanel()->TotalLabel()->text().toStdString();
    EXPECT_FALSE(player.PlaylistPanel()->Button(1192)->isEnabled());
}

// The list is a table underneath: the keys must still move through titles, not columns.
TEST(CTitleListView, KeysMoveThroughTitlesAndLeftRightHandOver) {
    if (!LoadTestPlugins())
        GTEST_SKIP() << "in-wave.so is not in the program folder";
    ScopedXdgHome home;
    QTemporaryDir dir;
    CTitleList view(true);
    view.resize(400, 300);
    view.show();
    TitleList &list = view.List();
    for (int i = 0; i < 5; ++i)
        list.AddFile(MakeWavFile(dir.path(), QStringLiteral("k%1.wav").arg(i), 1), -1, true);
    list.SelectOnly(2);
    int handOvers = 0;
    QObject::connect(&view, &CTitleList::FocusOtherList, [&handOvers] { ++handOvers; });
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.currentIndex().row(), 2);
    EXPECT_EQ(view.currentIndex().column(), 0);
    EXPECT_EQ(handOvers, 1);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(list.GetFirstSelected(), 4);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(list.GetFirstSelected(), 0);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(list.GetFirstSelected(), 1);
}

// The Load and Save buttons open their dialogs in the folder of the remembered playlist; with nothing
// usable remembered, in the music folder, or the home folder when there is none.
TEST(CPLFunctionsPanel, PlaylistDialogsStartInTheMusicFolder) {
    ScopedXdgHome home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.Root()));
    const QString music = home.Root() + "/Music";
    const QString own = home.Root() + "/lists";
    QDir().mkpath(own);
    const struct {
        const char *name;
        QString stored;
        bool bMusicFolder;
        QString folder;
    } cases[] = {
        {"nothing stored", {}, true, music},
        {"no music folder", {}, false, home.Root()},
        {"stored in the program folder", GetProgramFolder(true) + "default.m3u", true, music},
        {"stored elsewhere", own + "/party.pls", true, own},
    };
    TitleList playlist(true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bMusicFolder)
            QDir().mkpath(music);
        else
            QDir(music).removeRecursively();
        ASSERT_TRUE(WriteSettingString("GENERAL", "Playlist", c.stored));
        CPLFunctions panel(playlist);
        panel.UpdateTotal(0, 1); // Save is offered with titles only
        panel.show();
        for (int id : {1259, 1258}) {
            QString opened;
            QTimer::singleShot(0, [&opened] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog->isVisible()) {
                        opened = dialog->directory().absolutePath();
                        dialog->reject();
                    }
            });
            QTest::mouseClick(panel.Button(id), Qt::LeftButton);
            EXPECT_EQ(opened, c.folder) << id;
        }
    }
    qputenv("HOME", oldHome);
}
