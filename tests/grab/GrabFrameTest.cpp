// "Grab CD..." from the main window: Ctrl+G opens the dialog, the tree's disc watch reaches it, a grab runs.
#include "CDCopy.h"
#include "DirTree.h"
#include "GrabFixture.h"
#include "MainFrame.h"
#include "Settings.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
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

    QStringList seen; // the track list as the dialog showed it at each step
    bool bRan = false;
    QTimer::singleShot(100, [&] {
        auto *dialog = qobject_cast<CCDCopy *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        bRan = true;
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
