// The View page, opened from the main frame's menu: fonts, colours, Standard, and the display after OK.
#include "OptView.h"
#include "CPlayer.h"
#include "Display.h"
#include "OptionsSheetDriver.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QColorDialog>
#include <QComboBox>
#include <gtest/gtest.h>

namespace {

CDisplay *MainDisplay(CMainFrame &frame) {
    return dynamic_cast<CDisplay *>(frame.Player()->ChildAt(CPlayer::ChildDisplay));
}

void ClickDialogButton(QDialog &dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
}

} // namespace

TEST(ViewPage, AStoredFontThatIsNotInstalledFallsBackToTheFirstWithoutABox) {
    const QStringList fonts = COptView::ScalableFonts();
    ASSERT_FALSE(fonts.isEmpty());
    const QString last = fonts.last();
    const struct {
        QString strStored;
        int nSelected;
        QString strShown;
    } cases[] = {
        {"No Such Font", 0, fonts[0]},
        {last.toLower(), int(fonts.size()) - 1, last.toLower()}, // found without regard to case
        {last.left(3).toUpper(), COptView::FindFont(fonts, last.left(3)), last.left(3).toUpper()},
    };
    for (const auto &c : cases) {
        ScopedXdgHome home;
        RecordingSink sink;
        ASSERT_TRUE(WriteSettingString("DISPLAY", "Font", c.strStored));
        CMainFrame frame;
        WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
            COptView *page = ShowPage<COptView>(sheet);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->FontList()->currentIndex(), c.nSelected) << c.strStored.toStdString();
            EXPECT_EQ(page->Preview()->FontName(), c.strShown);
            EXPECT_EQ(page->Preview()->Texts().strTitle, "Track");
            EXPECT_EQ(page->Preview()->Texts().strBitrate, "128 KB/s");
        });
        QApplication::processEvents();
        EXPECT_EQ(GetSettingString("DISPLAY", "Font", ""), c.strShown);
        EXPECT_TRUE(sink.Texts().isEmpty());
    }
}

TEST(ViewPage, ColoursAndFontReachTheMainDisplayOnOKAndStayStoredAfterCancel) {
    ScopedXdgHome home;
    RecordingSink sink;
    const QStringList fonts = COptView::ScalableFonts();
    ASSERT_GE(fonts.size(), 2);
    CMainFrame frame;
    ASSERT_TRUE(frame.InitMainView());
    CDisplay *display = MainDisplay(frame);
    ASSERT_TRUE(display);
    for (bool bOK : {false, true}) {
        QColor offered;
        WithOptionsSheet(
            frame,
            [&](COptionsSheet &sheet) {
                COptView *page = ShowPage<COptView>(sheet);
                ASSERT_TRUE(page);
                WhenOpen<QColorDialog>([&](QColorDialog &dialog) {
                    offered = dialog.currentColor();
                    dialog.setCurrentColor(QColor(255, 0, 0));
                    ClickDialogButton(dialog, QDialogButtonBox::Ok);
                });
                QTest::mouseClick(page->FontColorButton(), Qt::LeftButton);
                WhenOpen<QColorDialog>(
                    [](QColorDialog &dialog) { ClickDialogButton(dialog, QDialogButtonBox::Cancel); });
                QTest::mouseClick(page->BackColorButton(), Qt::LeftButton);
                EXPECT_EQ(page->Preview()->FrontColor(), QColor(255, 0, 0));
                EXPECT_EQ(page->Preview()->BackColor(), QColor(0, 0, 0));
                page->FontList()->setFocus();
                QTest::keyClick(page->FontList(), Qt::Key_End); // the last font, as a user picks one
                EXPECT_EQ(page->Preview()->FontName(), fonts.last());
            },
            bOK);
        EXPECT_EQ(offered, QColor(0, 255, 0)); // the dialog starts from the current colour
        EXPECT_EQ(display->FrontColor(), bOK ? QColor(255, 0, 0) : QColor(0, 255, 0));
        EXPECT_EQ(display->FontName(), bOK ? fonts.last() : QString("Arial"));
        EXPECT_EQ(GetSettingInt("DISPLAY", "Frontcolor", -1), bOK ? 0x0000FF : -1); // stored as 0x00BBGGRR
    }
    frame.DestroyMainView();
}

TEST(ViewPage, StandardTakesArialWhereInstalledElseTheFirstFontAndGreenOnBlack) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingInt("DISPLAY", "Backcolor", 0xFFFFFF));
    ASSERT_TRUE(WriteSettingInt("DISPLAY", "Frontcolor", 0x000000));
    const QStringList fonts = COptView::ScalableFonts();
    const int arial = COptView::FindFont(fonts, "ARIAL");
    CMainFrame frame;
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptView *page = ShowPage<COptView>(sheet);
        ASSERT_TRUE(page);
        page->FontList()->setFocus();
        QTest::keyClick(page->FontList(), Qt::Key_End);
        EXPECT_EQ(page->Preview()->BackColor(), QColor(255, 255, 255));
        QTest::mouseClick(page->StandardButton(), Qt::LeftButton);
        EXPECT_EQ(page->FontList()->currentIndex(), arial >= 0 ? arial : 0);
        EXPECT_EQ(page->Preview()->BackColor(), QColor(0, 0, 0));
        EXPECT_EQ(page->Preview()->FrontColor(), QColor(0, 255, 0));
    });
    EXPECT_EQ(GetSettingString("DISPLAY", "Font", ""), fonts.value(arial >= 0 ? arial : 0));
    EXPECT_EQ(GetSettingInt("DISPLAY", "Frontcolor", -1), 0x00FF00);
    EXPECT_EQ(GetSettingInt("DISPLAY", "Backcolor", -1), 0);
}

TEST(Display, AStatePictureThatCannotBeDrawnIsReportedOnce) {
    RecordingSink sink;
    CDisplay display;
    display.resize(350, 105);
    display.SetStateIcons({});
    for (int state : {0, 2}) {
        display.SetState(state);
        display.grab(); // paints
        QApplication::processEvents();
    }
    EXPECT_EQ(sink.Texts(), QStringList{"drawState fails"});
}
