// The General page, opened from the main frame's menu: buffer, intro, devices, languages, restart notes.
#include "DirectSound.h"
#include "Helpers.h"
#include "OptGeneral.h"
#include "OptionsSheetDriver.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kRestart = QStringLiteral("Change only take effect after restarting Melvo.");

} // namespace

TEST(GeneralPage, BufferIsShownInStepsOf100MsAndWrittenAsWholeSteps) {
    const struct {
        int nStored, nPosition;
        const char *text;
        int nWritten;
    } cases[] = {{550, 5, "500 ms", 500}, {40, 1, "100 ms", 100}, {4000, 30, "3000 ms", 3000}};
    for (const auto &c : cases) {
        ScopedXdgHome home;
        RecordingSink sink;
        ASSERT_TRUE(WriteSettingInt("GENERAL", "DS-Buffer", c.nStored));
        CMainFrame frame;
        WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
            COptGeneral *page = ShowPage<COptGeneral>(sheet);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->Buffer()->value(), c.nPosition) << c.nStored;
            EXPECT_EQ(page->BufferText()->text(), c.text);
        });
        EXPECT_EQ(GetSettingInt("GENERAL", "DS-Buffer", 0), c.nWritten);
        EXPECT_TRUE(sink.Texts().isEmpty());
    }
}

TEST(GeneralPage, TheStoredDeviceIsSelectedAndOneThatIsGoneSelectsNone) {
    std::vector<DsDeviceInfo> devices;
    DirectSoundEnumerate(devices);
    ASSERT_FALSE(devices.empty());
    const int last = int(devices.size()) - 1;
    const QString lastGuid = devices[last].bHasGuid ? GuidToString(devices[last].guid) : QString();
    const struct {
        QString strStored;
        int nSelected;
        QString strWritten;
    } cases[] = {{"", 0, ""},
                 {lastGuid, last, lastGuid},
                 {"{01234567-89AB-CDEF-0123-456789ABCDEF}", -1, ""},
                 {"no guid at all", -1, ""}};
    for (const auto &c : cases) {
        ScopedXdgHome home;
        RecordingSink sink;
        ASSERT_TRUE(WriteSettingString("GENERAL", "DS-GUID", c.strStored));
        CMainFrame frame;
        WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
            COptGeneral *page = ShowPage<COptGeneral>(sheet);
            ASSERT_TRUE(page);
            ASSERT_EQ(page->SoundCard()->count(), int(devices.size()));
            EXPECT_EQ(page->SoundCard()->currentIndex(), c.nSelected) << c.strStored.toStdString();
        });
        EXPECT_EQ(GetSettingString("GENERAL", "DS-GUID", "x"), c.strWritten);
        EXPECT_TRUE(sink.Texts().isEmpty());
    }
}

TEST(GeneralPage, LanguagesAreNamedInTheirOwnWordsAndTheLocaleDefaultIsPreselected) {
    QTemporaryDir withoutGerman;
    QFile broken(withoutGerman.filePath("LangXX.qm")); // not a translation: not listed
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("garbage");
    broken.close();
    const QLocale german(QLocale::German, QLocale::Germany), english(QLocale::English, QLocale::UnitedKingdom);
    const struct {
        QLocale locale;
        QString strFolder, strStored;
        QStringList names;
        QString strSelected, strWritten;
    } cases[] = {
        {german, GetProgramFolder(false), {}, {"English", "Deutsch"}, "Deutsch", "LangDE.qm"},
        {german, withoutGerman.path(), {}, {"English"}, "", "LangDE.qm"}, // nothing listed for it, kept
        {english, withoutGerman.path(), {}, {"English"}, "English", "LangEN.qm"},
        {english, GetProgramFolder(false), "langde.QM", {"English", "Deutsch"}, "Deutsch", "LangDE.qm"},
    };
    for (const auto &c : cases) {
        ScopedXdgHome home;
        RecordingSink sink;
        if (!c.strStored.isEmpty()) {
            ASSERT_TRUE(WriteSettingString("GENERAL", "Language", c.strStored));
        }
        COptGeneral page(c.locale, c.strFolder);
        QStringList names;
        for (int i = 0; i < page.Language()->count(); ++i)
            names << page.Language()->itemText(i);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(page.Language()->currentText(), c.strSelected);
        ASSERT_TRUE(page.OnOK());
        EXPECT_EQ(GetSettingString("GENERAL", "Language", ""), c.strWritten);
    }
}

TEST(GeneralPage, UserChangesAskForARestartStandardRestoresDefaultsAndOnlyOKWrites) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingInt("GENERAL", "Intro-Length", 30));
    ASSERT_TRUE(WriteSettingInt("GENERAL", "DS-Buffer", 2000));
    ASSERT_TRUE(WriteSettingInt("GENERAL", "UseTags", 0));
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangDE.qm"));
    CMainFrame frame;
    for (bool bOK : {false, true}) {
        WithOptionsSheet(
            frame,
            [&](COptionsSheet &sheet) {
                COptGeneral *page = ShowPage<COptGeneral>(sheet);
                ASSERT_TRUE(page);
                sink.Clear();
                ClickBox(page->UseTags());
                QTest::keyClick(page->Language(), Qt::Key_Up); // from Deutsch to English
                EXPECT_EQ(sink.Texts(), (QStringList{kRestart, kRestart}));
                QTest::mouseClick(page->StandardButton(), Qt::LeftButton);
                EXPECT_EQ(sink.Texts().size(), 2); // Standard changes quietly
                EXPECT_EQ(page->IntroLength()->value(), 10);
                EXPECT_EQ(page->BufferText()->text(), "500 ms");
                EXPECT_TRUE(page->UseTags()->isChecked());
                EXPECT_EQ(page->SoundCard()->currentIndex(), 0);
                // The locale's own file where it is listed (English in the C locale), else none.
                EXPECT_EQ(page->Language()->currentIndex(),
                          page->Language()->findData(DefaultLanguageFile(), Qt::UserRole, Qt::MatchFixedString));
                QTest::keyClick(page->Buffer(), Qt::Key_Right);
                EXPECT_EQ(page->BufferText()->text(), "600 ms");
                QLineEdit *intro = page->IntroLength()->findChild<QLineEdit *>();
                intro->selectAll();
                QTest::keyClicks(intro, "150"); // the third digit would leave 1 to 99 and is refused
                EXPECT_EQ(page->IntroLength()->value(), 15);
            },
            bOK);
        EXPECT_EQ(GetSettingInt("GENERAL", "Intro-Length", 0), bOK ? 15 : 30);
        EXPECT_EQ(GetSettingInt("GENERAL", "DS-Buffer", 0), bOK ? 600 : 2000);
        EXPECT_EQ(GetSettingInt("GENERAL", "UseTags", 0), bOK ? 1 : 0);
        const bool bListed = DefaultLanguageFile() == "LangEN.qm" || DefaultLanguageFile() == "LangDE.qm";
        EXPECT_EQ(GetSettingString("GENERAL", "Language", ""), bOK && bListed ? DefaultLanguageFile() : "LangDE.qm");
    }
}

// With the German translation the sheet, its pages, their messages and Qt's own buttons speak German.
TEST(OptionsSheet, SpeaksGermanWithTheGermanTranslation) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangDE.qm"));
    ASSERT_TRUE(LoadLanguage());
    CMainFrame frame;
    EXPECT_EQ(frame.Action(32786)->text(), "&Optionen...");
    WithOptionsSheet(
        frame,
        [&](COptionsSheet &sheet) {
            EXPECT_EQ(sheet.windowTitle(), "Optionen");
            QStringList tabs;
            for (int i = 0; i < sheet.Pages()->count(); ++i)
                tabs << sheet.Pages()->tabText(i);
            EXPECT_EQ(tabs, (QStringList{"Allgemein", "Ansicht", "freedb-Einstellungen", "Verbindung", "CD-Laufwerke",
                                         "Ordner", "Dateitypen"}));
            EXPECT_EQ(sheet.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
            COptGeneral *page = ShowPage<COptGeneral>(sheet);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->UseTags()->text(), "Erweiterte Dateiinformationen für Titel verwenden");
            ClickBox(page->UseTags());
        },
        false);
    UnloadLanguage();
    EXPECT_EQ(sink.Texts(), QStringList{"Die Änderung wird erst nach einem Neustart von Melvo wirksam."});
}

TEST(GeneralPage, ASoundSystemThatCannotListDevicesIsReportedAndThePageGoesOn) {
    ScopedXdgHome home;
    RecordingSink sink;
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    COptGeneral page;
    qputenv("SDL_AUDIODRIVER", driver);
    EXPECT_EQ(sink.Texts(), QStringList{"Error in DirectSound function DirectSoundEnumerate: No sound driver is "
                                        "available for use."});
    EXPECT_EQ(page.SoundCard()->count(), 1); // the primary sound driver
    EXPECT_EQ(page.SoundCard()->currentIndex(), 0);
}
