// Renaming a title's file from its dialog, the lists following it, and choosing folders.
#include "BrowseForFolder.h"
#include "DialogDriver.h"
#include "PluginHost.h"
#include "RenameFile.h"
#include "TagPages.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"
#include "TitleInfoCommand.h"
#include "TitleItemRecord.h"
#include "TitleList.h"
#include "TitleProperties.h"

#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

TEST(RenameFile, NewNamesAreCheckedAndPathsKeepFolderAndExtension) {
    const struct {
        const char *path, *name, *renamed;
    } paths[] = {
        {"/a/b/song.mp3", "new", "/a/b/new.mp3"}, {"/a/b/x.y.mp3", "z", "/a/b/z.mp3"}, {"/a/noext", "n", "/a/n"}};
    for (const auto &p : paths)
        EXPECT_EQ(RenamedPath(p.path, p.name), p.renamed);

    RecordingSink sink;
    const struct {
        QString typed;
        bool bRefused;                               // message 45, the dialog stays
        int result;                                  // once closed
    } names[] = {{"song", false, QDialog::Rejected}, // the same name does nothing
                 {"AC:DC", true, 0},
                 {"what?", true, 0},
                 {"st*r", true, 0},
                 {"", true, 0},
                 {QStringLiteral("Café Ünïcode ß"), false, QDialog::Accepted}};
    for (const auto &n : names) {
        sink.Clear();
        CRenameFile dialog("song");
        EXPECT_EQ(dialog.OldName()->text(), "song");
        dialog.show();
        dialog.NameEdit()->selectAll();
        QTest::keyClick(dialog.NameEdit(), Qt::Key_Backspace);
        dialog.NameEdit()->insert(n.typed); // as typed; keyClicks knows only ASCII
        QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
        EXPECT_EQ(sink.Texts(), n.bRefused ? QStringList{EnglishString(45)} : QStringList()) << n.typed.toStdString();
        EXPECT_EQ(dialog.isVisible(), n.bRefused) << n.typed.toStdString();
        if (!n.bRefused) {
            EXPECT_EQ(dialog.result(), n.result) << n.typed.toStdString();
        }
    }
}

class RenameFromDialog : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTaggers())
            GTEST_SKIP() << "python3-mutagen and eyed3 are missing (scripts/setup installs them)";
        if (!Mp3PlugInLoaded())
            GTEST_SKIP() << "in-sorb.so is not in the program folder";
        ASSERT_TRUE(WriteWithMutagen(
            folder.strPath,
            QJsonObject{{"version", 3},
                        {"frames", QJsonArray{QJsonObject{{"id", "TIT2"}, {"enc", 0}, {"text", "Title"}}}}}));
    }
    // Renames through the dialog's button, typing the name.
    void RenameTo(const QString &name) {
        WhenShown<CRenameFile>([name](CRenameFile *rename) {
            rename->NameEdit()->selectAll();
            QTest::keyClicks(rename->NameEdit(), name);
            ClickButton(rename, QDialogButtonBox::Ok);
        });
    }
    ScopedXdgHome home;
    RecordingSink sink;
    AudioFolder folder;
};

TEST_F(RenameFromDialog, TheFileMovesAndTheListsAndThePagesFollow) {
    TitleList playlist(true), files(false);
    ASSERT_EQ(playlist.AddFile(folder.strPath, -1, true), 0);
    ASSERT_EQ(files.AddFile(folder.strPath, -1, false), 0); // not read yet: the command reads it
    const QString renamed = folder.Path("Renamed.mp3");
    FakePlayback playback;
    playback.strPath = folder.strPath;
    playback.bPlaying = true;

    // Without a selection the command says so.
    ShowTitleInfo({&files, {&playlist, &files}, &playback, nullptr});
    EXPECT_EQ(sink.Texts(), QStringList{EnglishString(46)});
    ShowTitleInfo({&playlist, {&playlist, &files}, &playback, nullptr});
    EXPECT_EQ(sink.Texts().last(), EnglishString(41));
    sink.Clear();

    files.SelectOnly(0);
    bool bChecked = false;
    WhenShown<CTitleProperties>([&](CTitleProperties *dialog) {
        EXPECT_EQ(dialog->Field(1353)->text(), "in-sorb.so");
        EXPECT_EQ(dialog->Field(1235)->text(), "MP3");
        sink.Answer(IDYES); // stop playback to rename
        RenameTo("Renamed");
        Click(dialog->Button(1410));
        EXPECT_EQ(dialog->Field(1134)->text(), renamed);
        EXPECT_EQ(dialog->Path(), renamed);
        EXPECT_EQ(TitlePath(*files.ItemAt(0)), renamed) << "the lists follow at once";
        EXPECT_EQ(TitlePath(*playlist.ItemAt(0)), renamed);
        EXPECT_EQ(playback.nRestarts, 1) << "after the lists, so the player finds the file";
        // The page works on the renamed file.
        auto *title = static_cast<QLineEdit *>(dialog->Page(1)->Control(TagFrame::Title));
        title->selectAll();
        QTest::keyClicks(title, "After");
        bChecked = true;
        ClickButton(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(ShowTitleInfo({&files, {&playlist, &files}, &playback, nullptr}));
    ASSERT_TRUE(bChecked);
    EXPECT_FALSE(QFile::exists(folder.strPath));
    EXPECT_EQ(MutagenText(ReadWithMutagen(renamed), "TIT2"), "After");
    EXPECT_EQ(sink.Texts(), QStringList{"<" + folder.strPath + ">: " + EnglishString(61316)});
    EXPECT_EQ(playback.nStops, 1);

    // A name that is taken: nothing moves, nothing is overwritten, nothing is said.
    WriteBytes(folder.Path("Taken.mp3"), "keep");
    sink.Clear();
    playback.bPlaying = false;
    CTitleProperties dialog(*files.ItemAt(0), "in-sorb.so", &playback);
    RenameTo("Taken");
    EXPECT_FALSE(RenameFile(dialog));
    EXPECT_EQ(ReadBytes(folder.Path("Taken.mp3")), "keep");
    EXPECT_TRUE(QFile::exists(renamed));
    EXPECT_EQ(dialog.Path(), renamed);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(BrowseForFolder, StatusLineSelectionAndResults) {
    const struct {
        const char *name;
        bool bValid;
    } names[] = {{"Music", true}, {"a b", true},  {".", false},  {"..", false}, {"", false},    {"a:b", false},
                 {"a<b", false},  {"a|b", false}, {"a*", false}, {"a?", false}, {"a\\b", false}};
    for (const auto &n : names)
        EXPECT_EQ(IsValidFolderName(n.name), n.bValid) << n.name;

    RecordingSink sink;
    QTemporaryDir dir;
    const QString hidden = dir.path() + "/.cache/deep";
    ASSERT_TRUE(QDir().mkpath(hidden));
    {
        // The start folder is selected, even below a hidden one; the root "Computer" has no path.
        CBrowseForFolder browser(61328, hidden);
        EXPECT_EQ(browser.CurrentFolder(), hidden);
        EXPECT_EQ(browser.StatusLine()->text(), hidden);
        browser.Tree()->setCurrentItem(browser.Tree()->topLevelItem(0));
        EXPECT_EQ(browser.StatusLine()->text(), EnglishString(37));
    }
    // OK on "Computer" keeps the caller's folder and says why; Cancel keeps it silently.
    WhenShown<CBrowseForFolder>([](CBrowseForFolder *b) {
        b->Tree()->setCurrentItem(b->Tree()->topLevelItem(0));
        ClickButton(b, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(BrowseForFolder(61328, dir.path()), dir.path());
    EXPECT_EQ(sink.Texts(), QStringList{EnglishString(61330)});
    WhenShown<CBrowseForFolder>([](CBrowseForFolder *b) { ClickButton(b, QDialogButtonBox::Cancel); });
    EXPECT_EQ(BrowseForFolder(61328, dir.path()), dir.path());
    WhenShown<CBrowseForFolder>([&](CBrowseForFolder *b) {
        EXPECT_TRUE(b->SelectFolder(hidden));
        ClickButton(b, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(BrowseForFolder(61328, dir.path()), hidden);
    EXPECT_EQ(sink.Texts().size(), 1);
}

TEST(BrowseForFolder, NewFolderChecksItsNameAndSelectsTheNewFolder) {
    RecordingSink sink;
    QTemporaryDir dir;
    WriteBytes(dir.path() + "/taken", "a file");
    CBrowseForFolder browser(61329, dir.path());
    browser.show();
    // A bad name is refused and the dialog stays; blanks around a good name are dropped.
    WhenShown<CNewFolder>([&](CNewFolder *ask) {
        EXPECT_EQ(ask->findChild<QLabel *>("1240")->text(), dir.path());
        QTest::keyClicks(ask->NameEdit(), "a:b");
        ClickButton(ask, QDialogButtonBox::Ok);
        EXPECT_TRUE(ask->isVisible());
        ask->NameEdit()->selectAll();
        QTest::keyClicks(ask->NameEdit(), "  New One \t");
        ClickButton(ask, QDialogButtonBox::Ok);
    });
    Click(browser.NewFolderButton());
    EXPECT_EQ(sink.Texts(), QStringList{EnglishString(61326)});
    EXPECT_TRUE(QFileInfo(dir.path() + "/New One").isDir());
    EXPECT_EQ(browser.CurrentFolder(), dir.path() + "/New One");

    // A name the file system refuses; then a current folder that has gone.
    browser.SelectFolder(dir.path());
    sink.Clear();
    WhenShown<CNewFolder>([](CNewFolder *ask) {
        QTest::keyClicks(ask->NameEdit(), "taken");
        ClickButton(ask, QDialogButtonBox::Ok);
    });
    Click(browser.NewFolderButton());
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].startsWith("<" + dir.path() + "/taken>: " + EnglishString(61324)));
    browser.SelectFolder(dir.path() + "/New One");
    QDir(dir.path() + "/New One").removeRecursively();
    sink.Clear();
    Click(browser.NewFolderButton());
    EXPECT_EQ(sink.Texts(), QStringList{EnglishString(61325)});
}
