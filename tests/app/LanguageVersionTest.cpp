// Choosing the language file, and reading versions of our libraries.
#include "Helpers.h"
#include "Language.h"
#include "Messages.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "Version.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(Language, DefaultNameFollowsTheUsersLocale) {
    EXPECT_EQ(DefaultLanguageFile(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("LangDE.qm"));
    EXPECT_EQ(DefaultLanguageFile(QLocale(QLocale::French, QLocale::Canada)), QStringLiteral("LangFR.qm"));
    EXPECT_EQ(DefaultLanguageFile(QLocale::c()), QStringLiteral("LangEN.qm"));
}

TEST(Language, ATranslationFileReplacesTheTextsUntilUnloaded) {
    ScopedXdgHome home;
    RecordingSink sink;
    // LangDE.qm is built from tests/app/LangDE.ts into the tests' own program folder.
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangDE.qm"));
    ASSERT_TRUE(LoadLanguage());
    EXPECT_EQ(LoadStringRes(14), QStringLiteral("Deutsch"));
    ShowError(61313, 0, "/x.mp3", ERR_STYLE_DETAIL);
    EXPECT_EQ(sink.Texts().value(0), QString::fromUtf8("</x.mp3>: Datei nicht gefunden. Bitte Pfad prüfen!"));
    // Texts the file does not translate stay English.
    EXPECT_EQ(LoadStringRes(61294), QStringLiteral("Could not write value to registry!"));
    bool listed = false;
    for (const LanguageChoice &choice : AvailableLanguages())
        listed |= choice.strFile == "LangDE.qm" && choice.strName == "Deutsch";
    EXPECT_TRUE(listed);
    UnloadLanguage();
    EXPECT_EQ(LoadStringRes(14), QStringLiteral("English"));
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
