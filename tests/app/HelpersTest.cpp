// The shared helpers: file names, file and folder tests, the program folder.
#include "Helpers.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SanitizeFileName, ReplacesAndRemovesWhatFileNamesCannotHold) {
    EXPECT_EQ(SanitizeFileName("AC/DC: Live?"), QStringLiteral("AC-DC- Live"));
    EXPECT_EQ(SanitizeFileName("a\\b|c<d>e"), QStringLiteral("a-b-c-d-e"));
    EXPECT_EQ(SanitizeFileName("\"Quoted\" *star*"), QStringLiteral("Quoted star"));
    EXPECT_EQ(SanitizeFileName(QString("tab\there\x01\x1f end")), QStringLiteral("tabhere end"));
    // Accented letters stay, as do other non-ASCII letters.
    EXPECT_EQ(SanitizeFileName(QString::fromUtf8("Motörhead – Ça ira ÿ")), QString::fromUtf8("Motörhead – Ça ira ÿ"));
    EXPECT_EQ(SanitizeFileName(QString()), QString());
}

TEST(FileExists, ExactPathsOnlyAndMessageOnRequest) {
    QTemporaryDir dir;
    RecordingSink sink;
    const QString file = dir.filePath("Track 01.mp3");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_TRUE(FileExists(file, true));
    EXPECT_FALSE(FileExists(dir.filePath("track 01.mp3"), false)); // case matters on Linux
    EXPECT_FALSE(FileExists(dir.filePath("Track ??.mp3"), false)); // no wildcards
    EXPECT_FALSE(FileExists(dir.path(), false));                   // a folder is no file
    EXPECT_FALSE(FileExists(QString(), false));
    EXPECT_TRUE(sink.Texts().isEmpty());

    EXPECT_FALSE(FileExists(dir.filePath("gone.mp3"), true));
    EXPECT_EQ(sink.Texts(),
              QStringList{"<" + dir.filePath("gone.mp3") + ">: Could not find file. Please check the path!"});
}

TEST(EnsureFolder, CreatesOneLevelAndReportsFailureWithTheSystemError) {
    QTemporaryDir dir;
    RecordingSink sink;
    EXPECT_TRUE(EnsureFolder(dir.filePath("Cache")));
    EXPECT_TRUE(QDir(dir.filePath("Cache")).exists());
    EXPECT_TRUE(EnsureFolder(dir.filePath("Cache"))); // already there
    EXPECT_TRUE(sink.Texts().isEmpty());

    const QString deep = dir.filePath("a/b");
    EXPECT_FALSE(EnsureFolder(deep));
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].startsWith("<" + deep + ">: Error creating folder! ")) << sink.Texts()[0].toStdString();
    EXPECT_TRUE(sink.Texts()[0].endsWith("(Error Code: 2)")) << sink.Texts()[0].toStdString();
}

TEST(GetProgramFolder, SameFolderWithAndWithoutTrailingSlash) {
    const QString bare = GetProgramFolder(false);
    const QString slashed = GetProgramFolder(true);
    EXPECT_FALSE(bare.endsWith('/'));
    EXPECT_EQ(slashed, bare + '/');
    EXPECT_FALSE(slashed.endsWith("//"));
    EXPECT_TRUE(QDir(bare).exists());
    EXPECT_EQ(QDir(bare).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}
