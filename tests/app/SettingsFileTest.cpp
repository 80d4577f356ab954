// The settings file as users and earlier builds leave it: hand-written, damaged, in Qt's old dialect,
// and shared between two processes.
#include "IniFile.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One value of every section the program keeps, each chosen unlike its default.
struct Value {
    const char *section, *key, *text;
    bool bInt;
};
const Value kEverySection[] = {
    {"GENERAL", "Language", "LangDE.qm", false},
    {"GENERAL", "DS-GUID", "{01234567-89AB-CDEF-0123-456789ABCDEF}", false},
    {"GENERAL", "DS-Buffer", "750", true},
    {"GENERAL", "Intro-Length", "3", true},
    {"GENERAL", "UseTags", "0", true},
    {"GENERAL", "Mode", "4", true},
    {"GENERAL", "MyFolder", "/home/u/Rips; 2024 # new", false},
    {"GENERAL", "SelDirectory", "/media/Müsik", false},
    {"GENERAL", "Playlist", "/home/u/a=b;c.pls", false},
    {"WINDOW-STATUS", "Left", "-20", true},
    {"WINDOW-STATUS", "Bottom", "900", true},
    {"WINDOW-STATUS", "Flags", "2", true},
    {"WINDOW-STATUS", "Show", "3", true},
    {"VOLUME", "VolumeA", "35", true},
    {"VOLUME", "BalanceA", "60", true},
    {"VOLUME", "PitchA", "-500", true},
    {"CDDA", "CD-Driver", "1", true},
    {"CDDA", "Images", "/a.cue;/b c.toc", false},
    {"HL-DT-ST DVD/RW GSA", "DriveLetter", "/dev/sr0", false},
    {"Image a.cue", "Frames", "5", true},
    {"Image a.cue", "Readmode", "2", true},
    {"DISPLAY", "Frontcolor", "16711680", true},
    {"DISPLAY", "Font", "DejaVu Sans Mono", false},
    {"FOLDER", "Folder", "/music;/srv/more music", false},
    {"FOLDER", "AllFolders", "0", true},
    {"ENCODE", "Encode-Format", "0", true},
    {"ENCODE_LAME", "VBR-Compression", "2", true},
    {"FREEDB", "CurrentServer", "gnudb.gnudb.org", false},
    {"FREEDB", "E-Mail", "me@example.org", false},
    {"FREEDB", "Password", "  \"p;w#=\\x\"\t\n", false},
    {"FREEDB", "X-Pos", "12", true},
};

} // namespace

// Not a test of its own: the first half of Settings.EverySectionWrittenByOneProcessIsReadByTheNext.
TEST(SettingsChild, WriteEverySection) {
    if (qgetenv("MELVO_SETTINGS_CHILD") != "write")
        GTEST_SKIP() << "runs as a second process only";
    RecordingSink sink;
    for (const Value &v : kEverySection) {
        if (v.bInt)
            EXPECT_TRUE(WriteSettingInt(v.section, v.key, QString(v.text).toInt()));
        else
            EXPECT_TRUE(WriteSettingString(v.section, v.key, QString::fromUtf8(v.text)));
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, EverySectionWrittenByOneProcessIsReadByTheNext) {
    ScopedXdgHome home;
    RecordingSink sink;
    QProcess writer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MELVO_SETTINGS_CHILD", "write");
    writer.setProcessEnvironment(env);
    writer.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SettingsChild.WriteEverySection"});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardOutput().toStdString();
    ASSERT_TRUE(QFile::exists(SettingsFilePath()));

    for (const Value &v : kEverySection) {
        if (v.bInt)
            EXPECT_EQ(GetSettingInt(v.section, v.key, 12345), QString(v.text).toInt()) << v.section << '/' << v.key;
        else
            EXPECT_EQ(GetSettingString(v.section, v.key, "?"), QString::fromUtf8(v.text)) << v.section << '/' << v.key;
    }
    const QByteArray text = ReadFile(SettingsFilePath());
    EXPECT_TRUE(text.contains("[GENERAL]\nLanguage=LangDE.qm\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Playlist=/home/u/a=b;c.pls\n"));
    EXPECT_FALSE(text.contains("%General"));
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, AHandWrittenFileIsReadAsItStandsWhateverTheCase) {
    ScopedXdgHome home;
    RecordingSink sink;
    WriteFile(SettingsFilePath(), "; my settings\n"
                                  "[GENERAL]\r\n"
                                  "  mode = 3 \r\n"
                                  "Playlist=/home/u/Lists/rock;pop #1.m3u\n"
                                  "# a comment line\n"
                                  "Language=\"LangDE.qm\"\n"
                                  "\n"
                                  "[Folder]\n"
                                  "Folder=/music;/srv/music\n"
                                  "[window-status]\n"
                                  "LEFT=0x20\n"
                                  "Top=twelve\n"
                                  "Right=99999999999\n");
    struct {
        const char *section, *key, *expected;
    } const strings[] = {
        {"GENERAL", "Playlist", "/home/u/Lists/rock;pop #1.m3u"},
        {"general", "PLAYLIST", "/home/u/Lists/rock;pop #1.m3u"},
        {"GENERAL", "Language", "LangDE.qm"},
        {"FOLDER", "Folder", "/music;/srv/music"},
        {"GENERAL", "# a comment line", "?"},
    };
    for (const auto &s : strings)
        EXPECT_EQ(GetSettingString(s.section, s.key, "?"), QString(s.expected)) << s.section << '/' << s.key;
    EXPECT_EQ(GetSettingInt("GENERAL", "Mode", 0), 3);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Left", 100), 0x20);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Top", 100), 100);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Right", 500), 500);

    // A write keeps the other values and the comments, and gives the section the program's name.
    ASSERT_TRUE(WriteSettingInt("GENERAL", "Mode", 1));
    const QByteArray text = ReadFile(SettingsFilePath());
    EXPECT_TRUE(text.startsWith("; my settings\n[GENERAL]\nMode=1\nPlaylist=/home/u/Lists/rock;pop #1.m3u\n"
                                "# a comment line\n"))
        << text.toStdString();
    EXPECT_EQ(GetSettingString("folder", "folder", "?"), "/music;/srv/music");
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, AFileOfTheEarlierQtDialectIsReadOnceAndWrittenBackInItsOwnForm) {
    ScopedXdgHome home;
    RecordingSink sink;
    // As Qt wrote it: GENERAL twice as "[%General]" (the newer first), a hand-written "[GENERAL]" that
    // Qt turned into its "[General]", escaped names and quoted values.
    WriteFile(SettingsFilePath(), "[General]\n"
                                  "Language=LangDE.qm\n"
                                  "\n"
                                  "[%General]\n"
                                  "Mode=2\n"
                                  "\n"
                                  "[%General]\n"
                                  "Mode=4\n"
                                  "Playlist=\"/a;b, c.m3u\"\n"
                                  "\n"
                                  "[FREEDB]\n"
                                  "Password=@@x\\\"y\\\\z\\tq\n"
                                  "\n"
                                  "[HL-DT-ST%20DVD]\n"
                                  "RW%20GSA\\DriveLetter=/dev/sr0\n"
                                  "\n"
                                  "[Image%20a.cue]\n"
                                  "Frames=5\n");
    auto check = [] {
        EXPECT_EQ(GetSettingString("GENERAL", "Language", "?"), "LangDE.qm");
        EXPECT_EQ(GetSettingInt("GENERAL", "Mode", 0), 2);
        EXPECT_EQ(GetSettingString("GENERAL", "Playlist", "?"), "/a;b, c.m3u");
        EXPECT_EQ(GetSettingString("FREEDB", "Password", "?"), "@x\"y\\z\tq");
        EXPECT_EQ(GetSettingString("HL-DT-ST DVD/RW GSA", "DriveLetter", "?"), "/dev/sr0");
        EXPECT_EQ(GetSettingInt("Image a.cue", "Frames", 0), 5);
    };
    check();
    ASSERT_TRUE(WriteSettingInt("WINDOW-STATUS", "Left", 7));
    const QByteArray text = ReadFile(SettingsFilePath());
    EXPECT_FALSE(text.contains("%General")) << text.toStdString();
    EXPECT_FALSE(text.contains("%20"));
    EXPECT_EQ(text.count("[GENERAL]"), 1);
    EXPECT_TRUE(text.contains("[HL-DT-ST DVD/RW GSA]\nDriveLetter=/dev/sr0\n"));
    check();
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Left", 0), 7);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, ADamagedFileIsKeptAsBadOnceAndTheStoreStartsAfresh) {
    ScopedXdgHome home;
    RecordingSink sink;
    const QString bad = SettingsFilePath() + ".bad";
    WriteFile(bad, "an earlier damaged file");
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise += char((i * 7919 + 13) % 256);
    const QByteArray damaged[] = {noise, "[GENERAL]\nthis line has no value\n", "Mode=1\n[GENERAL]\n"};
    for (const QByteArray &bytes : damaged) {
        sink.Clear();
        WriteFile(SettingsFilePath(), bytes);
        EXPECT_EQ(GetSettingInt("GENERAL", "Mode", 9), 9);
        EXPECT_EQ(GetSettingString("GENERAL", "Playlist", "d"), "d");
        EXPECT_EQ(ReadFile(bad), bytes) << "an earlier .bad is replaced";
        EXPECT_FALSE(QFile::exists(SettingsFilePath())) << "nothing is written before a value is saved";
        ASSERT_EQ(sink.Texts().size(), 1);
        EXPECT_EQ(sink.Texts()[0], "<" + bad + ">: " + EnglishString(62010));
        // Writes work again, into a fresh file.
        EXPECT_TRUE(WriteSettingInt("GENERAL", "Mode", 3));
        EXPECT_EQ(GetSettingInt("GENERAL", "Mode", 0), 3);
        EXPECT_EQ(ReadFile(SettingsFilePath()), "[GENERAL]\nMode=3\n");
        EXPECT_EQ(sink.Texts().size(), 1) << "the user is told once";
    }
}

TEST(Settings, AFailedWriteDuringShutdownGoesToStandardErrorOnly) {
    ScopedXdgHome home;
    RecordingSink sink;
    WriteFile(home.ConfigHome() + "/Melvo", "a file where the folder should be");
    SetSettingsShutdown(true);
    EXPECT_FALSE(WriteSettingInt("WINDOW-STATUS", "Left", 1));
    SetSettingsShutdown(false);
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_FALSE(WriteSettingInt("WINDOW-STATUS", "Left", 1));
    EXPECT_EQ(sink.Texts().size(), 1);
}

TEST(IniFile, EveryStringSurvivesAWriteAndARead) {
    const QString values[] = {
        "",
        " lead",
        "trail ",
        "\"quoted\"",
        "\"half",
        "a\\nb",
        "line\nbreak\r\n",
        "tab\there",
        "; all",
        "# hash",
        "x=y=z",
        "\\",
        "@@at",
        "ü€😀",
        QString(QChar(0x7F)) + "\x01",
        "\t",
        "%20 ok",
        "[x]",
    };
    const QString names[] = {"GENERAL", "A b", "100%", "[odd]", " edge ", "x=y", ";semi", "Müsik"};
    IniFile ini;
    for (const QString &name : names)
        for (int i = 0; i < int(std::size(values)); ++i)
            ini.Set(name, name + QString::number(i), values[i]);
    IniFile again;
    ASSERT_TRUE(again.Parse(ini.Compose())) << ini.Compose().toStdString();
    for (const QString &name : names)
        for (int i = 0; i < int(std::size(values)); ++i) {
            const QString *value = again.Find(name, name + QString::number(i));
            ASSERT_NE(value, nullptr) << name.toStdString() << i;
            EXPECT_EQ(*value, values[i]) << name.toStdString() << i;
        }
}
