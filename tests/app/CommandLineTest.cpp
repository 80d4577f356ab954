// The command line: files and their actions, switches in both spellings, and what is refused.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

CommandLineInfo Parse(const QStringList &args) {
    return ParseCommandLine(args, QStringLiteral("/home/u/Music"));
}

} // namespace

TEST(CommandLine, FilesBecomeAbsoluteAndKeepTheirOrderAndAction) {
    const auto info = Parse({"a.mp3", "/p", "../b c.mp3", "-P", "/abs/x.wav", "/data/p", "-p", "-dash.mp3"});
    const QList<HandOverItem> expected{{false, "/home/u/Music/a.mp3"},
                                       {true, "/home/u/b c.mp3"},
                                       {true, "/abs/x.wav"},
                                       {false, "/data/p"},
                                       {true, "/home/u/Music/-dash.mp3"}};
    EXPECT_EQ(info.files, expected);
    EXPECT_TRUE(info.strError.isEmpty());
    EXPECT_TRUE(info.bShowSplash);
}

TEST(CommandLine, LongAndUnicodePathsAreNeverCut) {
    const QString name = QString(300, QChar(u'ü')) + QStringLiteral(".mp3");
    const auto info = Parse({"-p", name});
    ASSERT_EQ(info.files.size(), 1);
    EXPECT_EQ(info.files[0].strPath, QStringLiteral("/home/u/Music/") + name);
}

TEST(CommandLine, FileUrlsFromLaunchersArePaths) {
    const auto info = Parse({"file:///srv/My%20Music/t%C3%BC.mp3"});
    ASSERT_EQ(info.files.size(), 1);
    EXPECT_EQ(info.files[0].strPath, QString::fromUtf8("/srv/My Music/tü.mp3"));
}

TEST(CommandLine, SwitchesAndTheEndOfOptions) {
    EXPECT_TRUE(Parse({"--help"}).bHelp);
    EXPECT_TRUE(Parse({"-h"}).bHelp);
    EXPECT_TRUE(Parse({"--version"}).bVersion);
    EXPECT_FALSE(Parse({"/nologo", "a.mp3"}).bShowSplash);
    EXPECT_FALSE(Parse({"-NOLOGO"}).bShowSplash);
    const auto info = Parse({"--", "--help", "-p"});
    EXPECT_FALSE(info.bHelp);
    ASSERT_EQ(info.files.size(), 2);
    EXPECT_EQ(info.files[0].strPath, QStringLiteral("/home/u/Music/--help"));
    EXPECT_FALSE(info.files[1].bPlay);
}

TEST(CommandLine, MistakesAreNamedAndNothingIsGuessed) {
    const auto unknown = Parse({"--shuffle", "a.mp3"});
    EXPECT_TRUE(unknown.strError.contains("--shuffle"));
    const auto bare = Parse({"a.mp3", "/p"});
    EXPECT_TRUE(bare.strError.contains("/p"));
    ASSERT_EQ(bare.files.size(), 1);
    EXPECT_FALSE(bare.files[0].bPlay);
    EXPECT_TRUE(Parse({}).files.isEmpty());
    EXPECT_TRUE(UsageText().contains("--version"));
}

TEST(CommandLine, GrabTakesEverythingAfterIt) {
    const auto info = Parse({"-nologo", "--grab", "--drive", "1", "--help", "a.mp3"});
    EXPECT_TRUE(info.bGrab);
    EXPECT_EQ(info.grabArguments, QStringList({"--drive", "1", "--help", "a.mp3"}));
    EXPECT_FALSE(info.bHelp);
    EXPECT_TRUE(info.files.isEmpty());
    EXPECT_TRUE(UsageText().contains("--grab [--drive N|PATH] [--tracks LIST] [--format wav|mp3] [--to FOLDER]"));
}
