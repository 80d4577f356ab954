// The title information from where the user asks for it: the main frame, the lists, the player panel.
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "DialogDriver.h"
#include "Functions.h"
#include "MainFrame.h"
#include "OptGeneral.h"
#include "OptionsSheetDriver.h"
#include "PluginHost.h"
#include "Settings.h"
#include "Sound.h"
#include "TagEncoding.h"
#include "TagPages.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"
#include "TitleInfoCommand.h"
#include "TitleProperties.h"

#include <QAction>
#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// Chooses the item with the command id in the context menu that opens next.
void ChooseInNextMenu(int nId) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, nId] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->deleteLater();
        timer->stop();
        for (QAction *action : menu->actions())
            if (action->data().toInt() == nId)
                menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    timer->start(10);
}

} // namespace

TEST(TitleInfoCommands, EveryWayInWithoutASelectionSaysWhatIsMissing) {
    ScopedXdgHome home;
    RecordingSink sink;
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(frame.Action(32801)->isEnabled());
    const QString playlist = EnglishString(41), files = EnglishString(46);

    QTest::keyClick(&frame, Qt::Key_P, Qt::ControlModifier); // Title > Properties...
    EXPECT_EQ(sink.Texts(), QStringList{playlist});
    Click(frame.Player()->Functions()->findChild<QPushButton *>());
    EXPECT_EQ(sink.Texts().size(), 2);
    ChooseInNextMenu(32849);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), frame.FileList()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(frame.FileList()->viewport(), &menuEvent);
    EXPECT_EQ(sink.Texts(), QStringList({playlist, playlist, files}));
    frame.Player()->PlaylistPanel()->OnCommand(32801); // the playlist's menu speaks through its panel
    EXPECT_EQ(sink.Texts().size(), 4);
    EXPECT_EQ(sink.Texts().last(), playlist);
    frame.DestroyMainView();
}

// A title that plays is saved from its dialog: playback stops for the write and starts again at OK.
TEST(TitleInfoCommands, SavingThePlayingTitleStopsAndRestartsIt) {
    if (!HaveTaggers())
        GTEST_SKIP() << "python3-mutagen and eyed3 are missing (scripts/setup installs them)";
    if (!Mp3PlugInLoaded())
        GTEST_SKIP() << "in-sorb.so is not in the program folder";
    ScopedXdgHome home;
    RecordingSink sink;
    AudioFolder folder;
    WriteBytes(folder.strPath, MakeAudio(400)); // about ten seconds
    ASSERT_TRUE(WriteWithMutagen(
        folder.strPath,
        QJsonObject{{"version", 4}, {"frames", QJsonArray{QJsonObject{{"id", "TPE1"}, {"enc", 3}, {"text", "A"}}}}}));
    ASSERT_TRUE(InitSound());
    {
        CPlayer panel;
        ASSERT_TRUE(panel.CreateChildren());
        TitleList &list = panel.Playlist()->List();
        ASSERT_EQ(list.AddFile(folder.strPath, -1, true), 0);
        ASSERT_EQ(list.AddFile(folder.strPath, -1, true), 1);
        Player &player = panel.Functions()->GetPlayer();
        list.SelectOnly(1);
        player.Play();
        ASSERT_EQ(player.GetPlayState(), PLAYSTATE_PLAYING);
        TitleItem *playing = player.CurrentItem();

        PlayerPlayback playback(&player, &list);
        WhenShown<CTitleProperties>([&](CTitleProperties *dialog) {
            ASSERT_NE(dialog->Page(1), nullptr);
            auto *title = static_cast<QLineEdit *>(dialog->Page(1)->Control(TagFrame::Title));
            QTest::keyClicks(title, "Saved while playing");
            list.SelectOnly(0); // the selection moved on meanwhile
            sink.Answer(IDYES);
            ClickButton(dialog, QDialogButtonBox::Ok);
        });
        ASSERT_TRUE(ShowTitleInfo({&list, {&list, nullptr}, &playback, nullptr}));
        EXPECT_EQ(sink.Texts(), QStringList{"<" + folder.strPath + ">: " + EnglishString(61316)});
        EXPECT_EQ(MutagenText(ReadWithMutagen(folder.strPath), "TIT2"), "Saved while playing");
        EXPECT_EQ(player.GetPlayState(), PLAYSTATE_PLAYING);
        EXPECT_EQ(player.CurrentItem(), playing) << "the title that was stopped plays again";
        player.Stop();
    }
    ReleaseSound();
}

// The General page chooses the code page; it applies from OK on, without a restart.
TEST(TitleInfoCommands, TheGeneralPageChoosesTheTagCodePage) {
    ScopedXdgHome home;
    RecordingSink sink;
    ReloadTagEncoding();
    CMainFrame frame;
    for (const char *chosen : {"WINDOWS-1251", ""}) {
        WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
            COptGeneral *page = ShowPage<COptGeneral>(sheet);
            ASSERT_TRUE(page);
            QComboBox *box = page->TagEncoding();
            if (*chosen) {
                EXPECT_EQ(box->currentData().toString(), "ISO-8859-1") << "Latin-1 by default";
                box->setFocus();
                box->setCurrentIndex(box->findData(chosen));
            } else {
                EXPECT_EQ(box->currentData().toString(), "WINDOWS-1251");
                QTest::mouseClick(page->StandardButton(), Qt::LeftButton);
                EXPECT_EQ(box->currentData().toString(), "ISO-8859-1");
            }
        });
        const QString expected = *chosen ? chosen : "ISO-8859-1";
        EXPECT_EQ(GetSettingString("GENERAL", "Tag-Encoding", ""), expected);
        EXPECT_EQ(TagEncodingName(), expected);
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << "no restart needed";
    ReloadTagEncoding();
}
