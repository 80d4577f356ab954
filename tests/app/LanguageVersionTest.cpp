// Choosing the language file, and reading versions of our libraries.
#include "Helpers.h"
#include "Language.h"
#include "Messages.h"
#include "Settings.h"
#include "StringTable.h"
#include "TestEnvironment.h"
#include "Version.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QTranslator>
#include <gtest/gtest.h>

TEST(Language, DefaultNameFollowsTheUsersLocale) {
    EXPECT_EQ(DefaultLanguageFile(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("LangDE.qm"));
    EXPECT_EQ(DefaultLanguageFile(QLocale(QLocale::French, QLocale::Canada)), QStringLiteral("LangFR.qm"));
    EXPECT_EQ(DefaultLanguageFile(QLocale::c()), QStringLiteral("LangEN.qm"));
}

TEST(Language, ATranslationFileReplacesTheTextsUntilUnloaded) {
    ScopedXdgHome home;
    RecordingSink sink;
    // The shipped LangDE.qm lies in the tests' own program folder too.
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangDE.qm"));
    ASSERT_TRUE(LoadLanguage());
    EXPECT_EQ(LoadStringRes(14), QStringLiteral("Deutsch"));
    ShowError(61313, 0, "/x.mp3", ERR_STYLE_DETAIL);
    EXPECT_EQ(sink.Texts().value(0), QString::fromUtf8("</x.mp3>: Datei nicht gefunden. Bitte prüfen Sie den Pfad!"));
    // A prompt keeps its two parts.
    EXPECT_EQ(LoadStringRes(1001).section('\n', 1), QStringLiteral("Wiedergabe starten"));
    bool listed = false;
    for (const LanguageChoice &choice : AvailableLanguages())
        listed |= choice.strFile == "LangDE.qm" && choice.strName == "Deutsch";
    EXPECT_TRUE(listed);
    UnloadLanguage();
    EXPECT_EQ(LoadStringRes(14), QStringLiteral("English"));
}

TEST(Language, EveryStringTableTextHasAGermanText) {
    QTranslator german;
    ASSERT_TRUE(german.load(GetProgramFolder(true) + "LangDE.qm"));
    QList<unsigned> untranslated;
    for (const StringEntry &entry : BuiltInStrings())
        if (german.translate("Strings", entry.szText, QByteArray::number(entry.nID).constData()).isEmpty())
            untranslated << entry.nID;
    EXPECT_TRUE(untranslated.isEmpty()) << "no German text for " << QString::number(untranslated.size()).toStdString()
                                        << " ids, first " << untranslated.value(0);
}

// Run by the next test in a process of its own: a first start knows only the environment's locale.
TEST(Language, DISABLED_FirstStartInThisLocale) {
    ScopedXdgHome home;
    ASSERT_TRUE(LoadLanguage());
    EXPECT_EQ(LoadStringRes(57345), QStringLiteral("Bereit"));
    UnloadLanguage();
}

TEST(Language, AGermanUserLocalePicksTheGermanTranslationOnAFirstStart) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANGUAGE"})
        env.remove(name);
    env.insert("LANG", "de_DE.UTF-8");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=Language.DISABLED_FirstStartInThisLocale"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(Language, BuiltInEnglishAndMissingFilesLeaveEnglishSilently) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangEN.qm"));
    EXPECT_FALSE(LoadLanguage());
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangXX.qm"));
    EXPECT_FALSE(LoadLanguage());
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "../../etc/passwd"));
    EXPECT_FALSE(LoadLanguage());
    EXPECT_EQ(LoadStringRes(61313), QStringLiteral("Could not find file. Please check the path!"));
    EXPECT_TRUE(sink.Texts().isEmpty());
    const auto choices = AvailableLanguages();
    ASSERT_FALSE(choices.isEmpty());
    EXPECT_EQ(choices[0].strFile, QStringLiteral("LangEN.qm"));
    EXPECT_EQ(choices[0].strName, QStringLiteral("English"));
}

TEST(Version, OurLibrariesExportTheirVersionAndMissingOnesShowQuestionMarks) {
    const QString registry = QStringLiteral(MELVO_PROGRAM_DIR "/registry.so");
    FileVersion version;
    ASSERT_TRUE(GetFileVersion(registry, version));
    EXPECT_EQ(VersionText(registry), QStringLiteral("2.71"));
    EXPECT_EQ(GetDllVersion(registry), 2u * 65536u + 7u);
    EXPECT_EQ(GetVersionString(registry, "InternalName", "?"), QStringLiteral("registry"));
    EXPECT_EQ(GetVersionString(registry, "Nothing", "dflt"), QStringLiteral("dflt"));

    const QString missing = QStringLiteral(MELVO_PROGRAM_DIR "/nothing.so");
    EXPECT_FALSE(GetFileVersion(missing, version));
    EXPECT_EQ(VersionText(missing), QStringLiteral("?.?"));
    EXPECT_EQ(GetDllVersion(missing), 0u);
    EXPECT_EQ(GetVersionString(missing, "InternalName", "x"), QStringLiteral("x"));
}

TEST(Version, ComparisonTakesTheMostSignificantWordFirst) {
    EXPECT_EQ(CompareFileVersions({0x20007, 0x10000}, {0x20007, 0x10000}), 0);
    EXPECT_EQ(CompareFileVersions({0x20007, 0xFFFF0000}, {0x20008, 0}), -1);
    EXPECT_EQ(CompareFileVersions({0x30000, 0}, {0x20007, 0xFFFFFFFF}), 1);
    EXPECT_EQ(CompareFileVersions({0x20007, 2}, {0x20007, 1}), 1);
}
