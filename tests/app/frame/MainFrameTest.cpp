// The main frame: layout formula, placement, accelerators, greyed commands and status texts.
#include "MainFrame.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "DesktopTools.h"
#include "DirTree.h"
#include "Settings.h"
#include "TerminationSignals.h"
#include "TestEnvironment.h"
#include "WindowPlacement.h"
#include "cdda/CDDA.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

TEST(MainViewLayout, FollowsTheFormulaWithIntegerThirds) {
    // 550 x 480 client: w = 180, h = 157 (472 / 3 truncated).
    const MainViewLayout l = MainViewLayout::For(550, 480);
    EXPECT_EQ(l.rcPlayer, QRect(4, 4, 540, 314));
    EXPECT_EQ(l.rcTree, QRect(4, 322, 178, 126));
    EXPECT_EQ(l.rcRefresh, QRect(4, 452, 76, 23));
    EXPECT_EQ(l.rcFreedb, QRect(106, 452, 76, 23));
    EXPECT_EQ(l.rcFileList, QRect(186, 322, 358, 153));
    // A width of 8 or less truncates towards zero instead of going negative thirds.
    EXPECT_EQ(MainViewLayout::For(7, 7).rcPlayer, QRect(4, 4, 0, 0));
}

TEST(WindowPlacement, FreshStartTopAboveTheScreenAndRoundTrip) {
    ScopedXdgHome home;
    RecordingSink sink;
    const QRect screen(0, 0, 1920, 1080);
    WindowPlacement fresh = WindowPlacement::Load();
    EXPECT_EQ(fresh.rcNormal.topLeft(), QPoint(100, 100));
    EXPECT_EQ(fresh.RestoredRect(screen), QRect(100, 100, 550, 500)); // 400 x 300 grows to the minimum
    EXPECT_FALSE(fresh.StartsMaximized());

    WindowPlacement stored;
    stored.rcNormal = QRect(QPoint(30, -200), QPoint(929, 599));
    stored.nShow = SW_SHOWMAXIMIZED;
    stored.Save();
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Right", 0), 930);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Bottom", 0), 600);
    const WindowPlacement loaded = WindowPlacement::Load();
    EXPECT_EQ(loaded.rcNormal, stored.rcNormal);
    EXPECT_TRUE(loaded.StartsMaximized());
    EXPECT_EQ(loaded.RestoredRect(screen), QRect(30, 0, 900, 800));
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(CMainFrame, SpacePlaysWhereverTheFocusIsAndUnhandledCommandsAreForwarded) {
    ScopedXdgHome home;
    CMainFrame frame;
    auto *pane = new QWidget;
    auto *field = new QWidget(pane);
    field->setFocusPolicy(Qt::StrongFocus);
    frame.MainView()->SetPanes(pane, nullptr, nullptr);
    frame.show();
    QApplication::setActiveWindow(&frame);
    field->setFocus();
    QSignalSpy spy(&frame, &CMainFrame::Command);
    QTest::keyClick(field, Qt::Key_Space);
    QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy[0][0].toInt(), 1001);
    EXPECT_EQ(spy[1][0].toInt(), 32834);
    EXPECT_EQ(frame.Action(1001)->statusTip(), "Start playback of the current title in playlist.");
    EXPECT_EQ(frame.Action(1001)->toolTip(), "Start playback");
}

TEST(CMainFrame, PanesFollowTheLayoutAndTheFrameKeepsItsMinimumSize) {
    ScopedXdgHome home;
    CMainFrame frame;
    auto *player = new QWidget;
    auto *list = new QWidget;
    frame.MainView()->SetPanes(player, nullptr, list);
    frame.resize(300, 200);
    frame.show();
    QApplication::processEvents();
    // The minimum is the whole window's, title bar and borders included.
    frame.resize(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(frame.frameGeometry().size(), QSize(550, 500));
    EXPECT_LT(frame.width(), 550) << "the platform draws no frame around the window";
    const MainViewLayout l = frame.MainView()->CurrentLayout();
    EXPECT_EQ(player->geometry(), l.rcPlayer);
    EXPECT_EQ(list->geometry(), l.rcFileList);
}

TEST(CMainFrame, VolumeControlIsGreyedWithoutAMixerAndMissingHelpIsReported) {
    ScopedXdgHome home;
    RecordingSink sink;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(home.Root()));
    CMainFrame frame;
    qputenv("PATH", oldPath);
    EXPECT_FALSE(frame.Action(1060)->isEnabled());
    EXPECT_TRUE(FindVolumeControl({"no-such-mixer-program"}).isEmpty());
    EXPECT_FALSE(FindVolumeControl({"no-such-mixer-program", "sh"}).isEmpty());

    frame.Action(57670)->trigger(); // no Melvo.html beside the test binary
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].startsWith("Error opening help-file Melvo.chm."));
}

TEST(CMainFrame, ClosingSavesThePlacementAndWorkersSetStatusTexts) {
    ScopedXdgHome home;
    RecordingSink sink;
    CMainFrame frame;
    frame.setGeometry(120, 130, 700, 600);
    frame.show();
    QApplication::processEvents();
    QSignalSpy closing(&frame, &CMainFrame::Closing);
    QMetaObject::invokeMethod(&frame, "SetStatusText", Qt::QueuedConnection, Q_ARG(int, 0),
                              Q_ARG(QString, QStringLiteral("Reading CD...")));
    QApplication::processEvents();
    frame.close();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Right", 0) - GetSettingInt("WINDOW-STATUS", "Left", 0), 700);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Show", 0), SW_SHOWNORMAL);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(DesktopTools, TheManualShipsBesideTheProgram) {
    EXPECT_TRUE(QFileInfo(QStringLiteral(MELVO_PROGRAM_DIR "/Melvo.html")).isFile());
}

TEST(TerminationSignals, SigtermClosesTheWindowThroughItsNormalClose) {
    ScopedXdgHome home;
    CMainFrame frame;
    frame.show();
    QSignalSpy closing(&frame, &CMainFrame::Closing);
    ASSERT_TRUE(InstallTerminationHandler(&frame));
    ::raise(SIGTERM);
    EXPECT_TRUE(closing.count() > 0 || closing.wait(30000));
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_GT(GetSettingInt("WINDOW-STATUS", "Right", 0), 0); // placement saved on the way out
}

TEST(TerminationSignals, AMessageBoxOpenInsideACommandIsDismissedBeforeTheWindowCloses) {
    ScopedXdgHome home;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(InstallTerminationHandler(&frame));
    QSignalSpy closing(&frame, &CMainFrame::Closing);
    bool boxReturned = false;
    bool closedWhileBoxOpen = false;
    QObject::connect(&frame, &CMainFrame::Command, &frame, [&](int) {
        QTimer::singleShot(20, [] { ::raise(SIGTERM); });
        QMessageBox box(QMessageBox::Information, "Melvo", "inside a command", QMessageBox::Ok, &frame);
        box.exec();
        closedWhileBoxOpen = closing.count() > 0;
        boxReturned = true;
    });
    // As in the running program, the command runs inside the event loop.
    QTimer::singleShot(0, &frame, [&] { frame.Action(1001)->trigger(); });
    // The spy's wait is a running event loop, as the program's own is: the box's loop runs one level deeper.
    EXPECT_TRUE(closing.count() > 0 || closing.wait(30000));
    EXPECT_TRUE(boxReturned);
    EXPECT_FALSE(closedWhileBoxOpen);
    EXPECT_EQ(closing.count(), 1);
}

// With the real panes: Left and Right in one list give the focus to the other.
TEST(CMainFrame, ArrowKeysHandTheFocusBetweenTheLists) {
    ScopedXdgHome home;
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    frame.show();
    QApplication::setActiveWindow(&frame);
    CTitleList *playlist = frame.Player()->Playlist();
    playlist->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(playlist->hasFocus());
    QTest::keyClick(playlist, Qt::Key_Right);
    EXPECT_TRUE(frame.FileList()->hasFocus());
    QTest::keyClick(frame.FileList(), Qt::Key_Left);
    EXPECT_TRUE(playlist->hasFocus());
    frame.DestroyMainView();
}

// freedb is offered only for a selected CD drive, and a drive without a disc says so.
TEST(CMainFrame, FreedbFollowsTheTreeAndADriveWithoutADiscIsReported) {
    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir dir;
    SetDiscImages(QFile::encodeName(dir.filePath("gone.cue")).constData()); // a drive whose disc is out
    InitDriver(0);
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", "")); // no folders: the drive is all there is
    {
        CMainFrame frame;
        ASSERT_TRUE(frame.InitMainView());
        EXPECT_FALSE(frame.Action(1050)->isEnabled()); // nothing selected yet
        CDirTree *tree = frame.Tree();
        tree->BuildTree(); // as the start-up does after the main view
        ASSERT_TRUE(tree->IsCDSelected());
        EXPECT_TRUE(frame.MainView()->FreedbButton()->isEnabled());
        EXPECT_TRUE(frame.Action(1050)->isEnabled());
        frame.Action(1050)->trigger();
        EXPECT_EQ(sink.Texts(), QStringList{"No AudioCD in selected drive."});
        emit tree->CdSelected(false);
        EXPECT_FALSE(frame.MainView()->FreedbButton()->isEnabled());
        EXPECT_FALSE(frame.Action(1050)->isEnabled());
        frame.DestroyMainView();
    }
    SetDiscImages(nullptr);
    DeinitDriver();
}

TEST(CMainFrame, TheStatusBarAndAMinimisedMaximisedWindowComeBackAsTheyWere) {
    ScopedXdgHome home;
    RecordingSink sink;
    {
        CMainFrame frame;
        frame.RestorePlacement();
        frame.show();
        QApplication::setActiveWindow(&frame);
        EXPECT_FALSE(frame.statusBar()->isHidden());
        // View > Statusbar, by the keyboard.
        QMenu *view = nullptr;
        for (QAction *menu : frame.menuBar()->actions())
            if (menu->text() == "&View")
                view = menu->menu();
        ASSERT_NE(view, nullptr);
        view->popup(frame.mapToGlobal(QPoint(40, 40)));
        QTest::keyClick(view, Qt::Key_T);
        EXPECT_TRUE(frame.statusBar()->isHidden());
        frame.setWindowState(Qt::WindowMaximized);
        // As window managers report it: minimised, and no longer maximised.
        frame.setWindowState(Qt::WindowMinimized);
        frame.close();
    }
    CMainFrame frame;
    frame.RestorePlacement();
    EXPECT_TRUE(frame.statusBar()->isHidden());
    EXPECT_FALSE(frame.Action(59393)->isChecked());
    EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(WindowPlacement, AbsurdValuesGiveAWindowOnTheScreen) {
    ScopedXdgHome home;
    const QRect screen(0, 0, 1920, 1080);
    const struct {
        int left, top, right, bottom;
        QRect expected;
    } cases[] = {
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, QRect(0, 0, 1920, 1080)},
        {INT_MAX, 5, INT_MIN, 9, QRect(0, 0, 1920, 500)},
        {5000, 4000, 5600, 4600, QRect(0, 0, 600, 600)},
        {-900, 100, -100, 700, QRect(0, 0, 800, 600)},
        {300, 200, 300, 200, QRect(300, 200, 550, 500)},
    };
    for (const auto &c : cases) {
        WriteSettingInt("WINDOW-STATUS", "Left", c.left);
        WriteSettingInt("WINDOW-STATUS", "Top", c.top);
        WriteSettingInt("WINDOW-STATUS", "Right", c.right);
        WriteSettingInt("WINDOW-STATUS", "Bottom", c.bottom);
        EXPECT_EQ(WindowPlacement::Load().RestoredRect(screen), c.expected) << c.left << ',' << c.top;
    }
}

TEST(TerminationSignals, DuringTheExitASignalAnswersTheOpenBoxAndEveryLaterOneCautiously) {
    ScopedXdgHome home;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(InstallTerminationHandler(&frame));
    BeginShutdownTermination();
    QTimer::singleShot(30, [] { ::raise(SIGTERM); });
    QElapsedTimer clock;
    clock.start();
    // Shown as the exit shows it: a real box, which nobody answers.
    EXPECT_EQ(ShowMessage("first question", MB_YESNO), IDNO);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ShowMessage("second question", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(ShowMessage("a message", MB_OK), IDOK);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    SetMessageSink(nullptr);
    InstallTerminationHandler(nullptr);
}
