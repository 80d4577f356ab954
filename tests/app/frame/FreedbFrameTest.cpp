// The main window's freedb button asks the local server about the selected drive's disc.
#include "BrowseForFolder.h"
#include "CTitleList.h"
#include "CddbTestServer.h"
#include "DirTree.h"
#include "DiscImage.h"
#include "FreedbRequest.h"
#include "HttpConnection.h"
#include "MainFrame.h"
#include "OptFreeDB.h"
#include "OptionsSheet.h"
#include "OptionsSheetDriver.h"
#include "PluginHost.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

TEST(FreedbFrame, TheFreedbButtonLooksTheDiscUpAndTheDriveTakesItsTitles) {
    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir dir;
    qunsetenv("http_proxy");
    const DiscImage image = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 100, 75 * 90}, 0);
    SetDiscImages(image.strCue.c_str());
    InitDriver(0);
    const QByteArray hex = QByteArray::number(GetDiscID(0), 16).rightJustified(8, '0');
    SetFreedbFolders(dir.filePath("Cache"), QString());
    CddbTestServer server([&](const QByteArray &cmd, const QByteArray &) -> CddbTestServer::Reply {
        if (cmd.startsWith("cddb+query+"))
            return {CddbTestServer::Answer, "200 misc " + hex + " A / B\r\n"};
        return {CddbTestServer::Answer, "210 misc " + hex + "\r\nDTITLE=A / B\r\nTTITLE1=Second\r\n.\r\n"};
    });
    WriteSettingString("FREEDB", "CurrentServer", "127.0.0.1");
    WriteSettingInt("FREEDB", "CurrentPort", server.Port());
    WriteSettingString("FREEDB", "E-Mail", "me@example.org");
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", "")); // no folders: the drive is all there is
    {
        CMainFrame frame;
        ASSERT_TRUE(frame.InitMainView());
        // The CD plug-in lies in the program folder, not beside the test.
        UnloadPlugins();
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
        CDirTree *tree = frame.Tree();
        tree->BuildTree();
        ASSERT_TRUE(tree->IsCDSelected());
        EXPECT_EQ(CDTrackTitle(0, 2), "") << "nothing known yet";
        QSignalSpy loaded(tree, &CDirTree::CdTitlesLoaded);
        QTest::mouseClick(frame.MainView()->FreedbButton(), Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        while ((FreedbRequestsRunning() || loaded.isEmpty()) && clock.elapsed() < 15000)
            QTest::qWait(10);
        EXPECT_EQ(server.Targets().size(), 2);
        ASSERT_EQ(loaded.count(), 1) << "the drive's item is made anew";
        EXPECT_EQ(CDTrackTitle(0, 2), "A / B - Second");
        EXPECT_TRUE(tree->IsCDSelected());
        // The file list shows the disc's tracks by their titles now.
        TitleList &files = frame.FileList()->List();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return files.RowCount() == 2 && !files.IsReading() && files.RowText(1, 0) == "A / B - Second"; },
            15000))
            << files.RowText(1, 0).toStdString();
        frame.DestroyMainView();
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
    ReplaceTitleFile(0, nullptr, 0);
    SetFreedbFolders(QString(), QString());
    SetDiscImages(nullptr);
    DeinitDriver();
}

TEST(FreedbFrame, TheOptionsSheetShowsFreedbThenConnection) {
    ScopedXdgHome home;
    RecordingSink sink;
    COptionsSheet sheet;
    QStringList tabs;
    for (int i = 0; i < sheet.Pages()->count(); ++i)
        tabs << sheet.Pages()->tabText(i);
    const qsizetype freedb = tabs.indexOf("freedb Settings");
    ASSERT_GE(freedb, 0);
    EXPECT_EQ(tabs.value(freedb + 1), "Connection");
}

// The freedb page's "..." opens the program's folder browser under the page's own question.
TEST(FreedbFrame, TheDatabaseFolderIsChosenInTheFolderBrowser) {
    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir db;
    WriteSettingInt("FREEDB", "UseLocalDB", 1);
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    QString title, shownPath;
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptFreeDB *page = ShowPage<COptFreeDB>(sheet);
        ASSERT_TRUE(page);
        WhenOpen<CBrowseForFolder>([&](CBrowseForFolder &browser) {
            title = browser.Title()->text();
            browser.SelectFolder(db.path());
            browser.accept();
        });
        QTest::mouseClick(page->findChild<QPushButton *>("DBBrowse"), Qt::LeftButton);
        for (QLabel *label : page->findChildren<QLabel *>())
            if (label->text() == db.path())
                shownPath = label->text();
    });
    EXPECT_EQ(title, LoadStringRes(61328));
    EXPECT_EQ(shownPath, db.path());
    EXPECT_EQ(GetSettingString("FREEDB", "LocalDBPath", ""), db.path());
    frame.DestroyMainView();
    EXPECT_TRUE(sink.Texts().isEmpty());
}
