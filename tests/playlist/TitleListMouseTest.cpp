// The title lists the way a user works them: drags by mouse within and between the lists, drops from a
// file manager, and keys that answer a message box without acting on the list below.
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "DragDriver.h"
#include "Functions.h"
#include "PlaylistTestSupport.h"
#include "Sound.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

class TitleListMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        qputenv("SDL_AUDIODRIVER", "dummy");
        ASSERT_TRUE(InitSound());
        panel = std::make_unique<CPlayer>();
        ASSERT_TRUE(panel->CreateChildren());
        panel->resize(640, 480);
        panel->show();
        for (int i = 0; i < 4; ++i)
            List().AddFile(MakeWavFile(dir.path(), QString(QChar('A' + i)) + ".wav", i + 1), -1, true);
    }
    void TearDown() override {
        CTitleList::SetDragRunner({});
        panel.reset();
        ReleaseSound();
    }
    CTitleList &View() { return *panel->Playlist(); }
    TitleList &List() { return View().List(); }
    Player &GetPlayer() { return panel->Functions()->GetPlayer(); }
    static QPoint RowPoint(CTitleList &view, int row) { return view.visualRect(view.model()->index(row, 0)).center(); }
    // Below the last row, where a drop appends.
    static QPoint BelowRows(CTitleList &view) { return QPoint(10, view.viewport()->height() - 3); }
    QString Titles() {
        QString titles;
        for (int r = 0; r < List().RowCount(); ++r)
            titles += List().RowText(r, 0);
        return titles;
    }
    void Click(int row, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(View().viewport(), Qt::LeftButton, keys, RowPoint(View(), row));
    }
    // Presses on a row of one list, moves past the drag distance and lets go over a point of another
    // widget, holding the keys at the drop. The number of drags that started.
    static int DragRow(CTitleList &from, int row, QWidget *to, QPoint at, Qt::KeyboardModifiers keys = {}) {
        DragDriver driver([&] {
            QTest::mouseMove(to, at);
            QTest::mouseRelease(to, Qt::LeftButton, keys, at);
        });
        CTitleList::SetDragRunner([&driver](QDrag &drag) { return driver.Run(drag); });
        const QPoint start = RowPoint(from, row);
        QTest::mousePress(from.viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(from.viewport(), start + QPoint(1, 1));
        QTest::mouseMove(from.viewport(), start + QPoint(QGuiApplication::styleHints()->startDragDistance() + 5, 1));
        if (!driver.DragsStarted()) // the press only selects: let go where it was
            QTest::mouseRelease(from.viewport(), Qt::LeftButton, {}, start);
        CTitleList::SetDragRunner({});
        return driver.DragsStarted();
    }

    ScopedXdgHome home;
    QTemporaryDir dir;
    std::unique_ptr<CPlayer> panel;
};

} // namespace

TEST_F(TitleListMouseTest, DraggingRowsMovesThemAndCtrlCopiesThem) {
    const struct {
        const char *name;
        std::vector<int> clicks; // the first plain, the others with Ctrl: the rows selected
        int from;                // the row the drag starts on
        int over;                // the row it ends over, -1 below the rows
        Qt::KeyboardModifiers keys;
        const char *titles;
        const char *selected;
    } cases[] = {
        {"one row down", {1}, 1, 3, {}, "ACDB", "B"},
        {"one row up", {3}, 3, 0, {}, "ADBC", "D"},
        {"two rows", {0, 1}, 1, 2, {}, "CABD", "B"},
        {"Ctrl copies", {0, 2}, 2, -1, Qt::ControlModifier, "ABCDAC", "C"},
        {"onto itself", {2}, 2, 2, {}, "ABCD", "C"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        List().DeleteAllRows();
        for (int i = 0; i < 4; ++i)
            List().AddFile(dir.filePath(QString(QChar('A' + i)) + ".wav"), -1, true);
        for (size_t i = 0; i < c.clicks.size(); ++i)
            Click(c.clicks[i], i ? Qt::ControlModifier : Qt::NoModifier);
        const QPoint at = c.over < 0 ? BelowRows(View()) : RowPoint(View(), c.over);
        ASSERT_EQ(DragRow(View(), c.from, View().viewport(), at, c.keys), 1);
        EXPECT_EQ(Titles(), QString::fromLatin1(c.titles));
        EXPECT_EQ(List().RowText(List().GetFirstSelected(), 0), QString::fromLatin1(c.selected));
        EXPECT_FALSE(List().InternalDrag());
        EXPECT_EQ(List().TotalSeconds(), Titles() == "ABCDAC" ? 14 : 10);
    }
}

TEST_F(TitleListMouseTest, ThePlayingTitleDraggedElsewhereKeepsPlayingAndItsMark) {
    Click(1);
    panel->PlaylistPanel()->OnCommand(1001);
    ASSERT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    TitleItem *playing = GetPlayer().CurrentItem();
    ASSERT_EQ(DragRow(View(), 1, View().viewport(), BelowRows(View())), 1);
    EXPECT_EQ(Titles(), QStringLiteral("ACD> B <"));
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentItem(), playing);
    EXPECT_EQ(GetPlayer().CurrentRow(), 3);
    // Ctrl copies it: the new row becomes the playing title, the row it came from a plain one.
    ASSERT_EQ(DragRow(View(), 3, View().viewport(), RowPoint(View(), 0), Qt::ControlModifier), 1);
    EXPECT_EQ(Titles(), QStringLiteral("A> B <CDB"));
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentItem(), playing);
    EXPECT_EQ(GetPlayer().CurrentRow(), 1);
}

TEST_F(TitleListMouseTest, TitlesDraggedFromTheFileListAreCopiedAndRead) {
    CTitleList files(false);
    files.resize(300, 200);
    files.show();
    // Rows the file list has not read yet arrive unread; the playlist reads them.
    for (const char *name : {"f1.wav", "f2.wav", "f3.wav"})
        files.List().AddFile(MakeWavFile(dir.path(), name, 7), -1, false);
    QTest::mouseClick(files.viewport(), Qt::LeftButton, {}, RowPoint(files, 1));
    QTest::mouseClick(files.viewport(), Qt::LeftButton, Qt::ShiftModifier, RowPoint(files, 2));
    ASSERT_EQ(DragRow(files, 2, View().viewport(), RowPoint(View(), 0)), 1);
    EXPECT_EQ(Titles(), QStringLiteral("Af2f3BCD"));
    EXPECT_EQ(files.List().RowCount(), 3); // a copy, never a move
    EXPECT_EQ(List().RowText(List().GetFirstSelected(), 0), QStringLiteral("f3"));
    ASSERT_TRUE(WaitForReader(List()));
    EXPECT_EQ(List().RowText(2, 1), QStringLiteral("00:07"));
    EXPECT_EQ(List().TotalSeconds(), 10 + 14);
    // The file list takes no drops.
    ASSERT_EQ(DragRow(View(), 0, files.viewport(), RowPoint(files, 0)), 1);
    EXPECT_EQ(files.List().RowCount(), 3);
    EXPECT_EQ(List().RowCount(), 6);
}

TEST_F(TitleListMouseTest, FilesFromAFileManagerLandAfterTheRowUnderThePointer) {
    // The file manager's drag: a URI list only, started outside the lists.
    const QString wav = MakeWavFile(dir.path(), "new.wav", 9);
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(wav), QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    QWidget fileManager;
    QDrag drag(&fileManager);
    drag.setMimeData(data);
    const QPoint at = RowPoint(View(), 1);
    DragDriver driver([&] {
        QTest::mouseMove(View().viewport(), at);
        QTest::mouseRelease(View().viewport(), Qt::LeftButton, {}, at);
    });
    QTest::mousePress(&fileManager, Qt::LeftButton);
    EXPECT_EQ(driver.Run(drag), Qt::CopyAction);
    EXPECT_EQ(Titles(), QStringLiteral("ABnewCD"));
    EXPECT_EQ(List().RowText(2, 1), QStringLiteral("00:09")); // read at once
    EXPECT_EQ(List().GetFirstSelected(), 2);
}

// Enter on the message box a double click raised closes it; its release must not play the row again.
TEST_F(TitleListMouseTest, EnterThatClosesAMessageBoxDoesNotActOnTheList) {
    ASSERT_TRUE(QFile::remove(dir.filePath("C.wav")));
    int nBoxes = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&nBoxes] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                ++nBoxes;
                QTest::keyPress(box, Qt::Key_Return);
            }
    });
    answer.start(10);
    View().setFocus();
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, RowPoint(View(), 2));
    EXPECT_EQ(nBoxes, 1);
    QTest::keyRelease(&View(), Qt::Key_Return); // the box is gone: the release reaches the list
    QTest::qWait(100);
    EXPECT_EQ(nBoxes, 1);
    EXPECT_NE(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);

    // Enter pressed and released in the list plays the selected title; Delete removes it.
    Click(3);
    QTest::keyClick(&View(), Qt::Key_Return);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(List().RowText(3, 0), QStringLiteral("> D <"));
    QTest::keyClick(&View(), Qt::Key_Delete);
    EXPECT_EQ(Titles(), QStringLiteral("ABC"));
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
}
