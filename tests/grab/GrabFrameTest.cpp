// "Grab CD..." from the main window: Ctrl+G opens the dialog, the tree's disc watch reaches it, a grab runs.
#include "CDAccess.h"
#include "CDCopy.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "DirTree.h"
#include "Functions.h"
#include "GrabFixture.h"
#include "MainFrame.h"
#include "OptionsSheet.h"
#include "PluginHost.h"
#include "Settings.h"
#include "WavEncoder.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>

TEST_F(GrabFixture, CtrlGOpensTheGrabbingDialogWhichFollowsTheDiscAndGrabs) {
    WriteSettingString("GENERAL", "MyFolder", out);
    WriteSettingInt("ENCODE", "Encode-Format", 0);
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    frame.Tree()->BuildTree();
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(frame.Action(32790)->isEnabled());
    // Something plays: the grab stops it first. The plug-ins lie in the program folder, not beside the test.
    UnloadPlugins();
    LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
    WavEncoder wav;
    GrabTrack song = Plan(4);
    song.basePath = dir.filePath("song");
    ASSERT_EQ(GrabTrackNow(song, &wav), GrabResult::Written);
    ASSERT_TRUE(frame.HandOverFile(song.basePath + ".wav", true));
    Player &player = frame.Player()->Functions()->GetPlayer();
    QElapsedTimer started;
    started.start();
    while (player.GetPlayState() != PLAYSTATE_PLAYING && started.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(player.GetPlayState(), PLAYSTATE_PLAYING);

    QStringList seen; // the track list as the dialog showed it at each step
    bool bRan = false;
    QTimer::singleShot(100, [&] {
        auto *dialog = qobject_cast<CCDCopy *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        bRan = true;
        EXPECT_EQ(player.GetPlayState(), PLAYSTATE_STOPPED);
        auto *tracks = dialog->findChild<QListWidget *>("1137");
        auto show = [&] { seen << QString::number(tracks->count()) + " " + tracks->item(0)->text(); };
        show();
        ASSERT_TRUE(QFile::rename(Cue(), Cue() + ".out"));
        frame.Tree()->PollDiscs();
        show();
        ASSERT_TRUE(QFile::rename(Cue() + ".out", Cue()));
        frame.Tree()->PollDiscs();
        show();
        QTest::mouseClick(dialog->findChild<QPushButton *>("1025"), Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        while (dialog->IsGrabbing() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>("1"), Qt::LeftButton);
    });
    QTest::keyClick(&frame, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(bRan);
    EXPECT_EQ(seen, QStringList({"4 Track01 (00:03)", "1 No AudioCD in selected drive.", "4 Track01 (00:03)"}));
    EXPECT_TRUE(WaveAudio(ReadAll(out + "/Track01.wav")) == Track(1));
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
    frame.DestroyMainView();
}

// A disc image dropped on the folder tree or handed over on the command line becomes a CD drive at once.
TEST_F(GrabFixture, ImagesDroppedOnTheTreeOrOpenedBecomeDrivesAtOnce) {
    DeinitDriver();
    SetDiscImages(nullptr);
    InitCDAccess();
    const DiscImage other = WriteDiscImage(dir.path().toStdString(), "other", {75}, 0);
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    CDirTree *tree = frame.Tree();
    tree->BuildTree();
    frame.show();
    const int rootsBefore = tree->topLevelItemCount();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Cue()), QUrl::fromLocalFile(dir.filePath("song.mp3"))});
    const QPoint at = tree->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    EXPECT_EQ(DiscImages(), QStringList{Cue()});
    EXPECT_EQ(tree->topLevelItemCount(), rootsBefore + 1);

    QMimeData songs;
    songs.setUrls({QUrl::fromLocalFile(dir.filePath("song.mp3"))});
    QDragEnterEvent refused(at, Qt::CopyAction, &songs, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    EXPECT_TRUE(frame.HandOverFile(QString::fromStdString(other.strToc), false));
    EXPECT_EQ(DiscImages(), QStringList({Cue(), QString::fromStdString(other.strToc)}));
    EXPECT_EQ(GetNumDrives(), 2);
    EXPECT_EQ(tree->topLevelItemCount(), rootsBefore + 2);
    EXPECT_EQ(frame.Player()->Playlist()->List().RowCount(), 0); // not a title for the playlist
    frame.DestroyMainView();
}

TEST(OptionsSheetGrabbing, TheSheetCarriesTheCdDrivesPage) {
    ScopedXdgHome home;
    COptionsSheet sheet;
    auto *tabs = sheet.findChild<QTabWidget *>("OptionsPages");
    ASSERT_TRUE(tabs);
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    EXPECT_TRUE(captions.contains("CD Drives")) << captions.join(',').toStdString();
}
