// The grabbing dialog driven through its widgets: one track, several, Save As, Cancel and Close while grabbing,
// discs coming and going, the format list with and without LAME, and the MP3 page.
#include "CDCopy.h"
#include "GrabFixture.h"
#include "Language.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

bool WaitUntil(const std::function<bool()> &done, int ms = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

class CDCopyTest : public GrabFixture {
protected:
    void SetUp() override {
        GrabFixture::SetUp();
        WriteSettingString("GENERAL", "MyFolder", out);
        WriteSettingInt("ENCODE", "Encode-Format", 0);
    }
    template <class W> static W *Control(const QWidget &dialog, int id) {
        W *w = dialog.findChild<W *>(QString::number(id));
        EXPECT_TRUE(w) << id;
        return w;
    }
    static QPushButton *Button(const QWidget &dialog, int id) { return Control<QPushButton>(dialog, id); }
    static void ClickRow(QListWidget *list, int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
};

} // namespace

TEST_F(CDCopyTest, OneTrackIsGrabbedIntoTheFileShownAlsoAfterSaveAs) {
    CCDCopy dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.show();
    auto *drives = Control<QComboBox>(dialog, 1136);
    ASSERT_EQ(drives->count(), 1);
    EXPECT_EQ(drives->itemText(0), Cue() + " (Image disc.cue)");
    auto *tracks = Control<QListWidget>(dialog, 1137);
    ASSERT_EQ(tracks->count(), 4);
    EXPECT_EQ(tracks->item(0)->text(), "Track01 (00:03)");
    EXPECT_EQ(Control<QComboBox>(dialog, 1314)->currentText(), "WAVE");
    auto *target = Control<QLineEdit>(dialog, 1134);
    EXPECT_EQ(target->text(), out + "/Track01.wav");
    ClickRow(tracks, 1);
    EXPECT_EQ(target->text(), out + "/Track02.wav");

    // Save As with the real file dialog: the track goes to the chosen file, the folder is remembered.
    const QString chosen = dir.filePath("elsewhere/Second.wav");
    QDir().mkpath(dir.filePath("elsewhere"));
    QTimer::singleShot(200, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *files = qobject_cast<QFileDialog *>(w); files && files->isVisible()) {
                // As a user types a full path into the name field.
                auto *name = files->findChild<QLineEdit *>("fileNameEdit");
                ASSERT_TRUE(name);
                name->clear();
                QTest::keyClicks(name, chosen);
                QTest::keyClick(name, Qt::Key_Return);
            }
    });
    QTest::mouseClick(Button(dialog, 1133), Qt::LeftButton);
    EXPECT_EQ(target->text(), chosen);
    EXPECT_EQ(dialog.Folder(), dir.filePath("elsewhere"));

    QTest::mouseClick(Button(dialog, 1025), Qt::LeftButton);
    EXPECT_TRUE(dialog.IsGrabbing());
    for (int id : {1025, 1, 1133})
        EXPECT_FALSE(Button(dialog, id)->isEnabled()) << id;
    EXPECT_FALSE(tracks->isEnabled());
    EXPECT_TRUE(Button(dialog, 1002)->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !dialog.IsGrabbing(); }));
    EXPECT_TRUE(WaveAudio(ReadAll(chosen)) == Track(2));
    EXPECT_EQ(Control<QLabel>(dialog, 1128)->text(), "0 %");
    EXPECT_TRUE(Button(dialog, 1025)->isEnabled());
    EXPECT_FALSE(Button(dialog, 1002)->isEnabled());
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(CDCopyTest, SeveralTracksAreGrabbedOneAfterAnotherAsSingleGrabsWouldBeAndAKeptFileIsSkipped) {
    CCDCopy dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.show();
    auto *tracks = Control<QListWidget>(dialog, 1137);
    QTest::mouseClick(dialog.findChild<QPushButton *>("SelectAll"), Qt::LeftButton);
    EXPECT_EQ(tracks->selectedItems().size(), 4);
    ClickRow(tracks, 0);
    ClickRow(tracks, 2, Qt::ControlModifier);
    ClickRow(tracks, 3, Qt::ControlModifier);
    EXPECT_EQ(tracks->selectedItems().size(), 3);
    // The user keeps an existing file: that track is skipped, the others follow.
    QFile mine(out + "/Track03.wav");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    sink.Answer(IDNO);
    QSignalSpy titles(&dialog, &QWidget::windowTitleChanged);
    QTest::mouseClick(Button(dialog, 1025), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !dialog.IsGrabbing(); }));
    QStringList seen;
    for (const QList<QVariant> &args : titles)
        seen << args.at(0).toString();
    EXPECT_EQ(seen, QStringList({"CD Grabbing (track 1 of 3)", "CD Grabbing (track 2 of 3)",
                                 "CD Grabbing (track 3 of 3)", "CD Grabbing"}));
    for (int t : {1, 4})
        EXPECT_TRUE(WaveAudio(ReadAll(out + QString("/Track%1.wav").arg(t, 2, 10, QChar('0')))) == Track(t)) << t;
    EXPECT_EQ(ReadAll(mine.fileName()), "mine");
    EXPECT_EQ(sink.Texts(), QStringList{"A file with this name already exists. Overwrite file?"});
    EXPECT_FALSE(QFileInfo::exists(out + "/Track02.wav"));
}

// A drive that stalls on its third read until the test lets it go.
TEST_F(CDCopyTest, CancelAndCloseWaitForTheGrabAndLeaveAValidWav) {
    for (int button : {1002, 1}) {
        SCOPED_TRACE(button);
        QFile::remove(out + "/Track04.wav");
        AutoResetEvent stalled, resume;
        std::atomic<int> reads{0};
        SetCDParam(5, 3, image.strCue.c_str(), 0);
        CCDCopy dialog;
        dialog.SetReader([&](void *buffer, uint32_t size, uint32_t *position, uint32_t *end, uint8_t drive) {
            if (++reads == 3) {
                stalled.Set();
                resume.Wait();
            }
            return ReadCD(buffer, size, position, end, 0, drive);
        });
        ASSERT_TRUE(dialog.OnInitDialog());
        dialog.show();
        ClickRow(Control<QListWidget>(dialog, 1137), 3);
        QTest::mouseClick(Button(dialog, 1025), Qt::LeftButton);
        ASSERT_TRUE(stalled.Wait(std::chrono::seconds(30)));
        if (button == 1) // Close is greyed while grabbing; the window's own close does the same
            dialog.close();
        else
            QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.isVisible()); // the grab still uses the encoder
        resume.Set();
        ASSERT_TRUE(WaitUntil([&] { return !dialog.IsGrabbing(); }));
        EXPECT_EQ(dialog.isVisible(), button == 1002);
        const QByteArray audio = WaveAudio(ReadAll(out + "/Track04.wav"));
        EXPECT_EQ(audio.size(), 3 * 5 * 2352);
        EXPECT_TRUE(audio == Track(4).left(audio.size()));
    }
}

TEST_F(CDCopyTest, DiscsComingAndGoingRefillTheTrackList) {
    CCDCopy dialog;
    ASSERT_TRUE(dialog.OnInitDialog());
    auto *tracks = Control<QListWidget>(dialog, 1137);
    const QString cue = Cue();
    ASSERT_TRUE(QFile::rename(cue, cue + ".out"));
    NewCD(0);
    dialog.OnDriveChanged();
    ASSERT_EQ(tracks->count(), 1);
    EXPECT_EQ(tracks->item(0)->text(), "No AudioCD in selected drive.");
    EXPECT_FALSE(Button(dialog, 1025)->isEnabled());
    EXPECT_FALSE(Button(dialog, 1002)->isEnabled());
    EXPECT_TRUE(Button(dialog, 1)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1134)->text().isEmpty());
    ASSERT_TRUE(QFile::rename(cue + ".out", cue));
    NewCD(0);
    dialog.OnDriveChanged();
    EXPECT_EQ(tracks->count(), 4);
    EXPECT_TRUE(Button(dialog, 1025)->isEnabled());
}

TEST_F(CDCopyTest, TheFormatListOffersMp3OnlyWithLameAndNamesTheLibrary) {
    struct Case {
        const char *library; // MELVO_LAME_LIBRARY, null: the system's LAME
        QStringList formats;
        QStringList messages; // when MP3 is chosen
    } cases[] = {
        {nullptr, {"WAVE", "MP3 (libmp3lame.so.0)"}, {}},
        {"/nonexistent/libmp3lame.so.0", {"WAVE"}, {}},
        {"libm.so.6",
         {"WAVE", "MP3 (libm.so.6)"},
         {"Wrong Encoder-DLL \"/lib/x86_64-linux-gnu/libm.so.6\" found! Please use only the original LAME-DLL, which "
          "has the BladeEnc-Format. ",
          "<CEncLame>: Error creating dialog!", "Please choose first a valid encoder!"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.library ? c.library : "system");
        if (c.library)
            qputenv("MELVO_LAME_LIBRARY", c.library);
        else
            qunsetenv("MELVO_LAME_LIBRARY");
        sink.Clear();
        WriteSettingInt("ENCODE", "Encode-Format", 1); // a dialog without MP3 stores 0
        {
            CCDCopy dialog;
            ASSERT_TRUE(dialog.OnInitDialog());
            auto *formats = Control<QComboBox>(dialog, 1314);
            QStringList offered;
            for (int i = 0; i < formats->count(); ++i)
                offered << formats->itemText(i);
            EXPECT_EQ(offered, c.formats);
            EXPECT_EQ(formats->currentIndex(), c.formats.size() - 1);
            EXPECT_TRUE(Control<QLineEdit>(dialog, 1134)->text().endsWith(c.formats.size() == 2 ? ".mp3" : ".wav"));
            if (!c.messages.isEmpty())
                QTest::mouseClick(Button(dialog, 1025), Qt::LeftButton);
            EXPECT_EQ(sink.Texts(), c.messages);
        }
    }
    qunsetenv("MELVO_LAME_LIBRARY");
}

TEST_F(CDCopyTest, TheMp3PageFollowsTheMpegVersionAndVbrAndKeepsItsSettings) {
    WriteSettingInt("ENCODE", "Encode-Format", 1);
    {
        CCDCopy dialog;
        ASSERT_TRUE(dialog.OnInitDialog());
        auto *page = qobject_cast<CEncLame *>(dialog.EncoderPage());
        ASSERT_TRUE(page);
        EXPECT_TRUE(Control<QLabel>(*page, 1317)->text().startsWith("Lame Encoder DLL (V 3."));
        auto *bitrate = Control<QComboBox>(*page, 1174);
        EXPECT_EQ(bitrate->currentText(), "128");
        Control<QComboBox>(*page, 1316)->setCurrentIndex(1);
        EXPECT_EQ(bitrate->currentText(), "80");
        EXPECT_EQ(bitrate->count(), 14);
        for (int id : {1328, 1325, 1178, 1184})
            EXPECT_FALSE(page->findChild<QWidget *>(QString::number(id))->isEnabled()) << id;
        QTest::mouseClick(Control<QCheckBox>(*page, 1175), Qt::LeftButton);
        for (int id : {1328, 1325, 1178, 1184})
            EXPECT_TRUE(page->findChild<QWidget *>(QString::number(id))->isEnabled()) << id;
        QTest::mouseClick(Control<QCheckBox>(*page, 1322), Qt::LeftButton);
        Control<QComboBox>(*page, 1180)->setCurrentIndex(3); // Mono
    }
    const LameSettings stored = LameSettings::Load();
    EXPECT_EQ(stored.mpegIndex, 1);
    EXPECT_EQ(stored.bitrateIndex, 8);
    EXPECT_EQ(stored.vbr, 1);
    EXPECT_EQ(stored.crc, 1);
    EXPECT_EQ(stored.modeIndex, 3);
    EXPECT_EQ(GetSettingInt("ENCODE", "Encode-Format", -1), 1);
    EXPECT_EQ(GetSettingString("GENERAL", "MyFolder", ""), out);
}

// With the German translation the dialog, its encoder page and the engine's question speak German.
TEST_F(CDCopyTest, SpeaksGermanWithTheGermanTranslation) {
    WriteSettingString("GENERAL", "Language", "LangDE.qm");
    ASSERT_TRUE(LoadLanguage());
    {
        CCDCopy dialog;
        ASSERT_TRUE(dialog.OnInitDialog());
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "CD kopieren");
        EXPECT_EQ(Button(dialog, 1025)->text(), "Starten");
        EXPECT_EQ(Button(dialog, 1002)->text(), "Abbrechen");
        ASSERT_TRUE(dialog.EncoderPage());
        EXPECT_EQ(dialog.EncoderPage()->findChild<QGroupBox *>()->title(), "Audiokomprimierungs-Manager (V2.0)");
        QFile mine(out + "/Track01.wav");
        ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
        mine.close();
        sink.Answer(IDNO);
        QTest::mouseClick(Button(dialog, 1025), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !dialog.IsGrabbing(); }));
    }
    UnloadLanguage();
    EXPECT_EQ(sink.Texts(), QStringList{"Eine Datei mit diesem Namen existiert bereits. Datei überschreiben?"});
}

TEST_F(CDCopyTest, WithoutDrivesTheDialogSaysSoAndDoesNotOpen) {
    DeinitDriver();
    SetDiscImages(nullptr);
    InitDriver(0);
    if (GetNumDrives() > 0)
        GTEST_SKIP() << "this machine has a CD drive";
    CCDCopy dialog;
    EXPECT_FALSE(dialog.OnInitDialog());
    EXPECT_EQ(sink.Texts(), QStringList{"No CD-Drive installed."});
}

TEST(GrabProgress, PercentSpeedAndTimeRemaining) {
    struct Case {
        uint32_t read, encoded, total, elapsed;
        bool bDone;
        const char *percent, *speed, *remaining; // remaining null: unchanged
    } cases[] = {
        {0, 0, 1000000, 1, false, "0 %", "0 KB/s, Speed:  0.00x", nullptr},
        {1740800, 870400, 3481600, 2, false, "25 %", "850 KB/s, Speed:  5.00x", "Time remaining 00:06"},
        {3481600, 3481644, 3481600, 4, true, "100 %", "Grabbing succesfully.", "Time remaining 00:00"},
        {10584000, 176400, 10584000, 1, false, "2 %", "10335 KB/s, Speed:  60.79x", "Time remaining 00:59"},
    };
    for (const Case &c : cases) {
        const GrabProgressTexts t = MakeProgressTexts(c.read, c.encoded, c.total, c.elapsed, c.bDone);
        EXPECT_EQ(t.strPercent, c.percent);
        EXPECT_EQ(t.strSpeed, c.speed);
        EXPECT_EQ(t.strRemaining.isNull(), c.remaining == nullptr);
        if (c.remaining) {
            EXPECT_EQ(t.strRemaining, c.remaining);
        }
    }
}
