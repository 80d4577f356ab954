// The main view's panes working together as a user sees them: the folder tree feeds the file list, the
// status bar shows the reader's progress and every control's prompt.
#include "AudioFiles.h"
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "DirTree.h"
#include "MainFrame.h"
#include "Mp3Files.h"
#include "PluginHost.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "Volume.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Silent MPEG-1 Layer III frames behind an ID3v2 tag: the plug-in shows "artist - title".
QByteArray TaggedMp3(const QByteArray &artist, const QByteArray &title) {
    QByteArray bytes = MakeId3v2(artist, title, 300);
    for (int i = 0; i < 40; ++i)
        bytes += MakeFrame(0xFFFB9000);
    return bytes;
}

class MainViewPanesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // "Computer" lists the home folder first: here, a folder of music made for the test.
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.Root()));
        // The program folder's plug-ins; the frame's own search finds none beside the test.
        LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
        if (FindPluginForExtension(QStringLiteral("mp3")) == kNoPlugin ||
            FindPluginForExtension(QStringLiteral("wav")) == kNoPlugin)
            GTEST_SKIP() << "in-sorb.so or in-wave.so is not in the program folder";
        ASSERT_TRUE(WriteSettingInt("FOLDER", "AllFolders", 0));
        ASSERT_TRUE(frame.InitMainView());
        frame.resize(800, 600);
        frame.show();
        QApplication::setActiveWindow(&frame);
    }
    void TearDown() override {
        frame.DestroyMainView();
        qputenv("HOME", m_oldHome);
    }

    ScopedXdgHome home;
    CMainFrame frame;
    QByteArray m_oldHome;
};

} // namespace

TEST_F(MainViewPanesTest, AFolderIsListedByShownTitleWithProgressAndComputerEmptiesTheList) {
    ASSERT_TRUE(WriteFile(QDir(home.Root()).filePath("a.mp3"), TaggedMp3("Zappa", "Zoot")));
    ASSERT_TRUE(WriteFile(QDir(home.Root()).filePath("b.mp3"), TaggedMp3("Abba", "Waterloo")));
    ASSERT_TRUE(WriteFile(QDir(home.Root()).filePath("c.wav"), MakeWav(MakePcm8(8000, 1, 8000), 8000, 1, 8)));
    CDirTree *tree = frame.Tree();
    tree->BuildTree();
    TitleList &files = frame.FileList()->List();
    CPLFunctions *bar = frame.Player()->PlaylistPanel();
    ASSERT_EQ(tree->currentItem(), tree->topLevelItem(0)); // "Computer"
    EXPECT_EQ(files.RowCount(), 0);

    // Right opens "Computer"; a click selects the home folder in it.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Right);
    QTreeWidgetItem *homeItem = nullptr;
    for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i)
        if (tree->topLevelItem(0)->child(i)->text(0) == QDir(home.Root()).dirName())
            homeItem = tree->topLevelItem(0)->child(i);
    ASSERT_NE(homeItem, nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(homeItem).center());
    ASSERT_EQ(tree->SelectedDirectory(), home.Root());
    ASSERT_EQ(files.RowCount(), 3);
    EXPECT_TRUE(frame.ProgressBar()->isVisible());
    EXPECT_EQ(frame.ProgressBar()->maximum(), 2);
    // Until the tags are read the rows go by file name; the selected title stays selected as it moves.
    EXPECT_EQ(files.RowText(1, 0), QStringLiteral("b"));
    QTest::mouseClick(frame.FileList()->viewport(), Qt::LeftButton, {},
                      frame.FileList()->visualRect(files.index(1, 0)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !files.IsReading(); }, 30000));
    EXPECT_FALSE(frame.ProgressBar()->isVisible());
    QStringList shown;
    for (int r = 0; r < files.RowCount(); ++r)
        shown << files.RowText(r, 0);
    EXPECT_EQ(shown, (QStringList{"Abba - Waterloo", "c", "Zappa - Zoot"}));
    EXPECT_EQ(files.GetFirstSelected(), 0);
    EXPECT_EQ(frame.FileList()->currentIndex().row(), 0);
    EXPECT_TRUE(bar->Button(1037)->isEnabled());
    EXPECT_TRUE(bar->Button(1034)->isEnabled());

    // Back on "Computer": it holds no files.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(0)).center());
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_EQ(files.RowCount(), 0);
    EXPECT_FALSE(bar->Button(1037)->isEnabled());
    EXPECT_FALSE(bar->Button(1034)->isEnabled());
}

// The mouse resting on a control shows its prompt in the status bar, as on the player's buttons.
TEST_F(MainViewPanesTest, ThePanelsControlsShowTheirPromptsInTheStatusBar) {
    CPLFunctions *bar = frame.Player()->PlaylistPanel();
    auto *volume = dynamic_cast<CVolume *>(frame.Player()->ChildAt(CPlayer::ChildVolume));
    ASSERT_NE(volume, nullptr);
    const struct {
        QWidget *control;
        const char *prompt;
    } cases[] = {
        {bar->Button(1037), "Add selected titles from filelist to playlist."},
        {bar->Button(1192), "Remove all titles from playlist."},
        {bar->Button(1259), "Load Playlist from file."},
        {volume->VolumeSlider(), "Volume of the playing title: up is louder."},
        {volume->BalanceSlider(), "Balance between the left and the right speaker."},
        {frame.Player()->ChildAt(CPlayer::ChildPitch)->findChild<QSlider *>(),
         "Speed of the playing title: up is faster."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.prompt);
        ASSERT_NE(c.control, nullptr);
        QTest::mouseMove(frame.FileList()); // somewhere else first
        QTest::mouseMove(c.control);
        EXPECT_EQ(frame.statusBar()->currentMessage(), QString::fromLatin1(c.prompt));
    }
}
