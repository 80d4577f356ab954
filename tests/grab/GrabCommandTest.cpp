// "melvo --grab" with the real executable: the same files as single grabs, and clear refusals without files.
#include "GrabFixture.h"
#include "LameEncoder.h"
#include "Settings.h"
#include "WavEncoder.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

namespace {

class GrabCommandTest : public GrabFixture {
protected:
    struct Result {
        int code;
        QString out, err;
    };
    Result Melvo(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MELVO_PROGRAM_DIR "/melvo"), QStringList{"--grab"} + args);
        EXPECT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    // Every file below the folder, hidden ones too, by name.
    QStringList Files(const QString &folder) const {
        QStringList names;
        QDirIterator it(folder, QDir::Files | QDir::Hidden);
        while (it.hasNext())
            names << QFileInfo(it.next()).fileName();
        names.sort();
        return names;
    }
};

} // namespace

TEST_F(GrabCommandTest, SeveralTracksGiveTheFilesOfSingleGrabsInBothFormats) {
    LameLibrary lame;
    ASSERT_EQ(lame.Load(), LameLibrary::Loaded);
    LameEncoder mp3(lame);
    mp3.SetSettings(LameSettings::Load());
    WavEncoder wav;
    struct Case {
        const char *format;
        IEncoder *encoder;
        QStringList tracks;
        QString list;
    } cases[] = {{"wav", &wav, {"01", "03", "04"}, "1,3-4"}, {"mp3", &mp3, {"02"}, "2"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        const QString folder = dir.filePath(QStringLiteral("cli-") + c.format);
        const Result r = Melvo({"--drive", Cue(), "--tracks", c.list, "--format", c.format, "--to", folder});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        QStringList names, paths;
        for (const QString &t : c.tracks) {
            names << "Track" + t + "." + c.format;
            paths << folder + "/" + names.last();
        }
        EXPECT_EQ(Files(folder), names); // nothing hidden is left
        EXPECT_EQ(r.out, paths.join('\n') + '\n');
        EXPECT_EQ(r.err.count("melvo: track "), c.tracks.size()) << r.err.toStdString();
        for (const QString &t : c.tracks) {
            const GrabTrack single = Plan(t.toInt());
            ASSERT_EQ(GrabTrackNow(single, c.encoder), GrabResult::Written);
            EXPECT_TRUE(ReadAll(single.basePath + c.encoder->Extension()) ==
                        ReadAll(folder + "/Track" + t + "." + c.format))
                << t.toStdString();
        }
    }
}

TEST_F(GrabCommandTest, DefaultsComeFromTheDialogsSettingsAndItRunsBesideAnOpenWindow) {
    WriteSettingString("GENERAL", "MyFolder", out);
    WriteSettingInt("ENCODE", "Encode-Format", 0);
    WriteDiscImages({Cue()});
    WriteSettingInt("ENCODE", "CD-Drive", 0);
    // A Melvo window owns the single instance; the grab must not hand itself over to it.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess window;
    window.setProcessEnvironment(env);
    window.start(QStringLiteral(MELVO_PROGRAM_DIR "/melvo"), {"-nologo"});
    ASSERT_TRUE(window.waitForStarted());
    // The window holds the single instance's lock from its first moments.
    QElapsedTimer clock;
    clock.start();
    while (QDir(runtime.path()).entryList({"*.lock"}, QDir::Files).isEmpty() && clock.elapsed() < 30000)
        QThread::msleep(20);
    ASSERT_EQ(window.state(), QProcess::Running);
    ASSERT_FALSE(QDir(runtime.path()).entryList({"*.lock"}, QDir::Files).isEmpty());
    const Result r = Melvo({"--tracks", "2"}, env);
    window.terminate();
    window.waitForFinished(20000);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, out + "/Track02.wav\n");
    EXPECT_TRUE(WaveAudio(ReadAll(out + "/Track02.wav")) == Track(2));
}

TEST_F(GrabCommandTest, RefusalsNameTheFaultExitNonZeroAndWriteNothing) {
    WriteDiscImages({dir.filePath("gone.cue")}); // a listed image that is not there: a drive without a disc
    QFile existing(out + "/Track03.wav");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    QProcessEnvironment missingLame = QProcessEnvironment::systemEnvironment();
    missingLame.insert("MELVO_LAME_LIBRARY", dir.filePath("libmp3lame.so.0"));
    QProcessEnvironment wrongLame = QProcessEnvironment::systemEnvironment();
    wrongLame.insert("MELVO_LAME_LIBRARY", "libm.so.6");
    const QProcessEnvironment plain = QProcessEnvironment::systemEnvironment();
    struct Case {
        QStringList args;
        QProcessEnvironment env;
        const char *message;
    } cases[] = {
        {{"--drive", "7"}, plain, "there is no CD drive 7"},
        {{"--drive", dir.filePath("nothing.cue")}, plain, "is neither a CD drive nor a disc image"},
        {{"--drive", dir.filePath("gone.cue")}, plain, "No AudioCD in selected drive."},
        {{"--drive", Cue(), "--tracks", "2,5"}, plain, "track 5 is out of range"},
        {{"--drive", Cue(), "--to", "/proc/melvo"}, plain, "/proc/melvo does not exist and cannot be made"},
        {{"--drive", Cue(), "--to", "/proc"}, plain, "cannot write to the folder /proc"},
        {{"--drive", Cue(), "--format", "mp3"}, missingLame, "MP3 needs LAME"},
        {{"--drive", Cue(), "--format", "mp3"}, wrongLame, "Wrong Encoder-DLL \"/"},
        {{"--drive", Cue(), "--format", "ogg"}, plain, "--format takes wav or mp3"},
        {{"--drive", Cue(), "--format", "wav"}, plain, "Track03.wav exists; --overwrite replaces it"},
        {{"--speed", "4"}, plain, "unknown grab option --speed"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result r = Melvo(c.args + (c.args.contains("--to") ? QStringList() : QStringList{"--to", out}), c.env);
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(Files(out), QStringList{"Track03.wav"});
    }
    EXPECT_EQ(ReadAll(existing.fileName()), "mine");
    // --overwrite replaces it once the new file is complete.
    const Result r = Melvo({"--drive", Cue(), "--tracks", "3", "--format", "wav", "--to", out, "--overwrite"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(WaveAudio(ReadAll(existing.fileName())) == Track(3));
}
