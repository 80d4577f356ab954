// The folder tree: roots from the settings, children a level ahead, selection, and discs coming and going.
#include "DirTree.h"
#include "DiscImage.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

class DirTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char *folder : {"Music/Rock/Live", "Music/Jazz", "Music/.hidden", "Books", "Empty"})
            QDir().mkpath(m_dir.filePath(folder));
        SetDiscImages(nullptr);
        InitDriver(0);
    }
    void TearDown() override {
        SetDiscImages(nullptr);
        DeinitDriver();
    }
    // One disc image drive; returns its drive string.
    QString AddImageDrive() {
        m_image = WriteDiscImage(m_dir.path().toStdString(), "disc", {75 * 3 + 11, 75 * 2}, 0);
        SetDiscImages(m_image.strCue.c_str());
        InitDriver(0);
        return QString::fromStdString(m_image.strCue);
    }
    QString Path(const char *relative) const { return m_dir.filePath(relative); }

    ScopedXdgHome m_home;
    RecordingSink m_sink;
    QTemporaryDir m_dir;
    DiscImage m_image;
};

QStringList Texts(const QTreeWidgetItem *parent) {
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i)
        texts << parent->child(i)->text(0);
    return texts;
}

} // namespace

TEST_F(DirTreeTest, AStoredEmptyFolderListShowsOnlyTheCdDrives) {
    const QString drive = AddImageDrive();
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", ""));
    CDirTree tree;
    tree.BuildTree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_TRUE(tree.topLevelItem(0)->text(0).contains("disc.cue"));
    EXPECT_TRUE(tree.IsCDSelected());
    EXPECT_EQ(tree.SelectedDirectory(), drive);
}

// A new user sees the music folder of the desktop's user folders, or the home folder without one.
TEST_F(DirTreeTest, AFirstStartShowsTheMusicFolderElseTheHomeFolder) {
    AddImageDrive();
    QFile dirs(m_home.ConfigHome() + "/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_MUSIC_DIR=\"" + QFile::encodeName(Path("Music")) + "\"\n");
    dirs.close();
    for (const QString &expected : {Path("Music"), QDir::cleanPath(QDir::homePath())}) {
        CDirTree tree;
        tree.BuildTree();
        EXPECT_EQ(tree.FolderList(), QStringList{expected});
        EXPECT_EQ(tree.topLevelItemCount(), 2);  // the folder and the drive
        QDir(Path("Music")).removeRecursively(); // a music folder that is gone gives the home folder
    }
}

TEST_F(DirTreeTest, FolderListSkipsEmptyPartsAndListsChildrenOneLevelAhead) {
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", Path("Music") + ";;" + Path("Books") + ";"));
    CDirTree tree;
    tree.BuildTree();
    EXPECT_EQ(tree.FolderList(), (QStringList{Path("Music"), Path("Books")}));
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    QTreeWidgetItem *music = tree.topLevelItem(1);
    EXPECT_EQ(music->text(0), Path("Music"));               // roots show the full path
    EXPECT_EQ(Texts(music), (QStringList{"Jazz", "Rock"})); // sorted, hidden folder left out
    QTreeWidgetItem *rock = music->child(1);
    EXPECT_EQ(rock->childCount(), 0); // not yet: only when its parent opens
    music->setExpanded(true);
    EXPECT_EQ(Texts(rock), QStringList{"Live"});
}

TEST_F(DirTreeTest, SelectionIsRestoredFeedsTheFileListAndFallsBackToTheFirstRoot) {
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", Path("Music")));
    ASSERT_TRUE(WriteSettingString("GENERAL", "SelDirectory", Path("Music/Rock/Live")));
    {
        CDirTree tree;
        QSignalSpy folders(&tree, &CDirTree::FolderSelected);
        QSignalSpy cd(&tree, &CDirTree::CdSelected);
        tree.BuildTree();
        ASSERT_TRUE(tree.currentItem());
        EXPECT_EQ(tree.currentItem()->text(0), "Live");
        ASSERT_GE(folders.count(), 1);
        EXPECT_EQ(folders.last()[0].toString(), Path("Music/Rock/Live"));
        EXPECT_FALSE(cd.last()[0].toBool());
        tree.setCurrentItem(tree.topLevelItem(0)->child(0)); // Jazz
        EXPECT_EQ(folders.last()[0].toString(), Path("Music/Jazz"));
    } // closing stores the selection
    EXPECT_EQ(GetSettingString("GENERAL", "SelDirectory", ""), Path("Music/Jazz"));

    ASSERT_TRUE(WriteSettingString("GENERAL", "SelDirectory", Path("Music/Gone")));
    CDirTree tree;
    tree.BuildTree();
    EXPECT_EQ(tree.currentItem(), tree.topLevelItem(0));
    EXPECT_TRUE(m_sink.Texts().isEmpty());
}

TEST_F(DirTreeTest, SelectingACdDriveListsItsTracksAndEnablesFreedb) {
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", Path("Books")));
    const QString drive = AddImageDrive();
    CDirTree tree;
    tree.BuildTree();
    QSignalSpy cd(&tree, &CDirTree::CdSelected);
    QSignalSpy tracks(&tree, &CDirTree::CdTracksSelected);
    QTreeWidgetItem *driveItem = nullptr;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (tree.topLevelItem(i)->text(0).contains("disc.cue"))
            driveItem = tree.topLevelItem(i);
    ASSERT_TRUE(driveItem);
    tree.setCurrentItem(driveItem);
    ASSERT_EQ(cd.count(), 1);
    EXPECT_TRUE(cd[0][0].toBool());
    EXPECT_EQ(tracks.last()[0].toStringList(), (QStringList{drive + "/Track01.cda", drive + "/Track02.cda"}));
    EXPECT_EQ(CdDriveOfPath(drive + "/Track02.cda"), 0);
    EXPECT_EQ(CdDriveOfPath(Path("Books")), CDDA_NO_DRIVE);
}

TEST_F(DirTreeTest, RemovingAndReinsertingTheDiscIsSeenOnceEach) {
    const QString drive = AddImageDrive();
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", ""));
    CDirTree tree;
    tree.BuildTree();
    QSignalSpy changes(&tree, &CDirTree::MediaChanged);
    QSignalSpy tracks(&tree, &CDirTree::CdTracksSelected);
    tree.PollDiscs();
    EXPECT_EQ(changes.count(), 0);

    const QString moved = drive + ".away";
    ASSERT_TRUE(QFile::rename(drive, moved));
    tree.PollDiscs();
    tree.PollDiscs();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toString(), drive);
    EXPECT_FALSE(changes[0][1].toBool());
    ASSERT_EQ(tree.topLevelItemCount(), 1); // the drive's item was made anew, not doubled
    EXPECT_TRUE(tracks.last()[0].toStringList().isEmpty());

    ASSERT_TRUE(QFile::rename(moved, drive));
    tree.PollDiscs();
    tree.PollDiscs();
    ASSERT_EQ(changes.count(), 2);
    EXPECT_TRUE(changes[1][1].toBool());
    EXPECT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tracks.last()[0].toStringList().size(), 2);
}

TEST_F(DirTreeTest, AllFoldersOffShowsTheComputerWithHomeAndRoot) {
    ASSERT_TRUE(WriteSettingInt("FOLDER", "AllFolders", 0));
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", Path("Music")));
    CDirTree tree;
    tree.BuildTree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem *computer = tree.topLevelItem(0);
    EXPECT_EQ(computer->text(0), "Computer");
    EXPECT_TRUE(Texts(computer).contains("/"));
    EXPECT_TRUE(tree.FolderList().isEmpty());
}

// A configured folder that is gone, or is a file, gets no root and says so; the others stay.
TEST_F(DirTreeTest, AConfiguredFolderThatIsNoFolderIsReportedAndLeftOut) {
    QFile file(Path("Books/list.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", Path("Gone") + ";" + Path("Music") + ";" + file.fileName()));
    CDirTree tree;
    tree.BuildTree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), Path("Music"));
    EXPECT_EQ(m_sink.Texts(), (QStringList{"<SetRootFolder>\n" + SystemErrorText(ENOENT) + " (Error Code: 2)",
                                           "<SetRootFolder>\n" + SystemErrorText(ENOTDIR) + " (Error Code: 20)"}));
    EXPECT_EQ(tree.SelectedDirectory(), Path("Music"));
}
