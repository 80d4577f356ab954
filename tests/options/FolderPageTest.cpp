// The Folders page, opened from the main frame's menu: removing, adding, the mode, and the tree after OK.
#include "BrowseForFolder.h"
#include "DirTree.h"
#include "FolderSettings.h"
#include "OptFolder.h"
#include "OptionsSheetDriver.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

void ClickRow(QListWidget *list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QStringList Rows(const QListWidget *list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

} // namespace

TEST(FolderPage, RemoveTakesTheSelectedFolderOutOfTheStoredText) {
    const struct {
        const char *stored;
        int nRow;
        const char *after;
    } cases[] = {
        {"/a;/b;", 1, "/a;"},
        {"/a;/b", 1, "/a;"},            // the last folder needs no ";" to be removed
        {"/a;/c;/a;", 2, "/c;/a;"},     // the same folder twice: the first goes
        {"/m/a;/c;/a;", 2, "/m/a;/c;"}, // "/a" is no piece of "/m/a"
    };
    for (const auto &c : cases) {
        ScopedXdgHome home;
        RecordingSink sink;
        ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", c.stored));
        CMainFrame frame;
        WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
            COptFolder *page = ShowPage<COptFolder>(sheet);
            ASSERT_TRUE(page);
            QListWidget *list = page->List();
            const int count = list->count();
            EXPECT_EQ(list->currentRow(), count - 1); // the last folder is selected at the start
            ClickRow(list, c.nRow);
            QTest::mouseClick(page->RemoveButton(), Qt::LeftButton);
            EXPECT_EQ(list->count(), count - 1);
            EXPECT_EQ(list->currentRow(), count - 2);
        });
        EXPECT_EQ(GetSettingString("FOLDER", "Folder", ""), c.after) << c.stored;
        EXPECT_TRUE(sink.Texts().isEmpty());
    }
}

TEST(FolderPage, AddAppendsTheChosenFolderEvenTwiceAndRemoveWithoutSelectionAsks) {
    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir music;
    ASSERT_TRUE(WriteSettingString("FOLDER", "Folder", ""));
    CMainFrame frame;
    QStringList titles;
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptFolder *page = ShowPage<COptFolder>(sheet);
        ASSERT_TRUE(page);
        QTest::mouseClick(page->RemoveButton(), Qt::LeftButton);
        EXPECT_EQ(sink.Texts(), QStringList{"Please first select an item!"});
        for (bool bChoose : {true, true, false}) {
            WhenOpen<CBrowseForFolder>([&](CBrowseForFolder &browser) {
                titles << browser.Title()->text();
                if (!bChoose)
                    return browser.reject();
                ASSERT_TRUE(browser.SelectFolder(music.path()));
                QTest::keyClick(browser.Tree(), Qt::Key_Return);
            });
            QTest::mouseClick(page->AddButton(), Qt::LeftButton);
        }
        EXPECT_EQ(Rows(page->List()), (QStringList{music.path(), music.path()}));
        EXPECT_EQ(page->List()->currentRow(), 1);
    });
    EXPECT_EQ(titles.value(0), "Select a folder, which contains audio files.");
    EXPECT_EQ(GetSettingString("FOLDER", "Folder", ""), music.path() + ";" + music.path() + ";");
}

TEST(FolderPage, MyComputerDisablesTheListButKeepsItAndOKRebuildsTheTreeAtOnce) {
    ScopedXdgHome home;
    RecordingSink sink;
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    CDirTree *tree = frame.Tree();
    tree->BuildTree();
    // A first start offers the music folder (or home), as the tree shows it.
    const QString first = FirstStartFolderList().chopped(1);
    EXPECT_EQ(tree->FolderList(), QStringList{first});
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptFolder *page = ShowPage<COptFolder>(sheet);
        ASSERT_TRUE(page);
        EXPECT_EQ(Rows(page->List()), QStringList{first});
        EXPECT_TRUE(page->ShowFolders()->isChecked());
        ClickBox(page->ShowComputer());
        EXPECT_FALSE(page->List()->isEnabled());
        EXPECT_FALSE(page->AddButton()->isEnabled());
        ClickBox(page->ShowFolders());
        EXPECT_TRUE(page->RemoveButton()->isEnabled());
        QTest::mouseClick(page->StandardButton(), Qt::LeftButton); // My Computer, folders untouched
        EXPECT_TRUE(page->ShowComputer()->isChecked());
        EXPECT_FALSE(page->List()->isEnabled());
        EXPECT_EQ(page->List()->count(), 1);
    });
    EXPECT_EQ(GetSettingInt("FOLDER", "AllFolders", 1), 0);
    EXPECT_EQ(GetSettingString("FOLDER", "Folder", ""), first + ";");
    ASSERT_GT(tree->topLevelItemCount(), 0);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Computer");
    EXPECT_TRUE(tree->FolderList().isEmpty());
    EXPECT_TRUE(sink.Texts().isEmpty());
    frame.DestroyMainView();
}
