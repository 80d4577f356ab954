// The real melvo program started several times: one instance stays, and it receives every file in order.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

// Private runtime, config and data folders, and the log in which the first instance notes what it got.
class MelvoRuns : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char *sub : {"runtime", "config", "data", "work"})
            ASSERT_TRUE(QDir().mkpath(dir.filePath(sub)));
        QFile::setPermissions(dir.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        env.insert("MELVO_HANDOVER_LOG", dir.filePath("handover.log"));
    }
    void TearDown() override {
        for (auto &p : running)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }

    QProcess *Start(const QStringList &args) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(dir.filePath("work"));
        p->setProgram(QStringLiteral(MELVO_PROGRAM_DIR "/melvo"));
        p->setArguments(args);
        p->start();
        EXPECT_TRUE(p->waitForStarted(10000));
        running.push_back(std::move(p));
        return running.back().get();
    }

    // Runs a later start to its end; it must hand over and end by itself.
    void RunToEnd(const QStringList &args) {
        QProcess *p = Start(args);
        ASSERT_TRUE(p->waitForFinished(30000)) << args.join(' ').toStdString();
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    // "open /path", "play /path" or "activate", one per request the first instance received.
    QStringList Log() const {
        QFile file(dir.filePath("handover.log"));
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            lines << (o.contains("path") ? o["action"].toString() + ' ' + o["path"].toString()
                                         : o["action"].toString());
        }
        return lines;
    }

    QStringList WaitForLog(qsizetype lines) const {
        QElapsedTimer clock;
        clock.start();
        while (Log().size() < lines && clock.elapsed() < 30000)
            QThread::msleep(20);
        return Log();
    }

    // The first instance holds its lock from its first moments; later starts then wait for it to listen.
    bool WaitUntilFirstRuns() const {
        QElapsedTimer clock;
        clock.start();
        while (QDir(dir.filePath("runtime")).entryList({"*.lock"}, QDir::Files).isEmpty() && clock.elapsed() < 30000)
            QThread::msleep(20);
        return clock.elapsed() < 30000;
    }

    static std::string Lines(const QStringList &lines) { return lines.join('\n').toStdString(); }

    int Running() const {
        int n = 0;
        for (const auto &p : running)
            n += p->state() != QProcess::NotRunning ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> running;
};

} // namespace

TEST_F(MelvoRuns, LaterStartsHandTheirFilesToTheFirstInOrder) {
    QProcess *first = Start({"-nologo", "first.mp3"});
    const QString work = dir.filePath("work");
    ASSERT_EQ(Lines(WaitForLog(1)), Lines({"open " + work + "/first.mp3"}));

    // Longer than the 260 bytes a fixed buffer would take, with characters of several bytes.
    const QString longName = "/music/" + QString(120, QChar(u'ö')) + "/Track 01.mp3";
    RunToEnd({"sub/a b.mp3"});
    RunToEnd({"/p", longName});
    RunToEnd({"-p", "/m/c.mp3"});
    RunToEnd({});
    EXPECT_EQ(Lines(Log()), Lines({"open " + work + "/first.mp3", "activate", "open " + work + "/sub/a b.mp3",
                                   "activate", "play " + longName, "activate", "play /m/c.mp3", "activate"}));
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(Running(), 1);

    // SIGTERM ends it through the exit routine, and the next start is a first one again.
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    QProcess *next = Start({"-nologo", "/m/next.mp3"});
    EXPECT_EQ(WaitForLog(9).value(8).toStdString(), "open /m/next.mp3");
    EXPECT_EQ(next->state(), QProcess::Running);
}

TEST_F(MelvoRuns, TwentyStartsInARowLeaveOneInstanceAndLoseNoFile) {
    QProcess *first = Start({"-nologo"});
    ASSERT_TRUE(WaitUntilFirstRuns());
    QStringList expected;
    for (int i = 0; i < 20; ++i) {
        const QString path = QStringLiteral("/m/%1.mp3").arg(i, 2, 10, QChar('0'));
        RunToEnd({i % 2 ? "-p" : "--", path});
        expected << "activate" << (i % 2 ? "play " : "open ") + path;
    }
    EXPECT_EQ(Lines(Log()), Lines(expected));
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(Running(), 1);
}

TEST_F(MelvoRuns, TwoRacingStartsLeaveOneInstanceWithBothFiles) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QFile::remove(dir.filePath("handover.log"));
        QProcess *a = Start({"-nologo", "/m/a.mp3"});
        QProcess *b = Start({"-nologo", "/m/b.mp3"});
        QElapsedTimer clock;
        clock.start();
        while (a->state() != QProcess::NotRunning && b->state() != QProcess::NotRunning && clock.elapsed() < 30000)
            QThread::msleep(10), a->waitForFinished(10), b->waitForFinished(10);
        QProcess *ended = a->state() == QProcess::NotRunning ? a : b;
        QProcess *stays = ended == a ? b : a;
        ASSERT_EQ(ended->state(), QProcess::NotRunning);
        EXPECT_EQ(ended->exitCode(), 0);
        QStringList log = WaitForLog(3);
        log.removeAll("activate");
        log.sort();
        EXPECT_EQ(Lines(log), Lines({"open /m/a.mp3", "open /m/b.mp3"}));
        EXPECT_EQ(Running(), 1);
        stays->terminate();
        ASSERT_TRUE(stays->waitForFinished(10000));
    }
}

TEST_F(MelvoRuns, AfterACrashTheNextStartIsTheFirstOne) {
    QProcess *crashed = Start({"-nologo", "/m/a.mp3"});
    ASSERT_EQ(WaitForLog(1).size(), 1);
    ::kill(pid_t(crashed->processId()), SIGKILL);
    ASSERT_TRUE(crashed->waitForFinished(10000));
    QProcess *next = Start({"-nologo", "/m/b.mp3"});
    EXPECT_EQ(WaitForLog(2).value(1).toStdString(), "open /m/b.mp3");
    RunToEnd({"/m/c.mp3"});
    EXPECT_EQ(Log().value(3).toStdString(), "open /m/c.mp3");
    EXPECT_EQ(next->state(), QProcess::Running);
}

TEST_F(MelvoRuns, QtsOwnOptionsAreQtsAndBadOnesAreNamed) {
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess *first = Start({"-platform", "offscreen", "-nologo", "/m/a.mp3"});
    EXPECT_EQ(Lines(WaitForLog(1)), "open /m/a.mp3");
    EXPECT_EQ(first->state(), QProcess::Running);

    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess *bad = Start({"--shuffle", "/m/b.mp3"});
    ASSERT_TRUE(bad->waitForFinished(10000));
    EXPECT_EQ(bad->exitCode(), 2);
    EXPECT_TRUE(bad->readAllStandardError().contains("--shuffle"));
    EXPECT_EQ(Log().size(), 1) << "nothing of a refused command line is handed over";
}

TEST_F(MelvoRuns, HelpAndVersionNeedNoDisplay) {
    // xcb without a display would abort a program that opened one.
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess *version = Start({"--version"});
    ASSERT_TRUE(version->waitForFinished(10000));
    EXPECT_EQ(version->exitCode(), 0);
    EXPECT_EQ(version->readAllStandardOutput(), "Melvo 2.71\n");
    QProcess *help = Start({"--help"});
    ASSERT_TRUE(help->waitForFinished(10000));
    EXPECT_EQ(help->exitCode(), 0);
    EXPECT_TRUE(help->readAllStandardOutput().contains("-p"));
    EXPECT_FALSE(QFile::exists(dir.filePath("handover.log")));
}

namespace {

// The smallest PCM WAVE file the WAV plug-in plays: 0.1 s of 8 kHz mono silence.
void WriteWave(const QString &path) {
    QByteArray data(800, '\x80');
    QByteArray file;
    auto u32 = [&](quint32 v) { file.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { file.append(reinterpret_cast<const char *>(&v), 2); };
    file.append("RIFF");
    u32(36 + data.size());
    file.append("WAVEfmt ");
    u32(16), u16(1), u16(1), u32(8000), u32(8000), u16(1), u16(8);
    file.append("data");
    u32(data.size());
    file.append(data);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
}

} // namespace

TEST_F(MelvoRuns, SigtermLeavesACompleteDefaultPlaylistWithHandedOverFilesAfterTheOldOnes) {
    const QString a = dir.filePath("work/a.wav"), b = dir.filePath("work/b.wav"), old = dir.filePath("work/old.wav");
    WriteWave(a);
    WriteWave(b);
    WriteWave(old);
    const QString playlist = dir.filePath("data/Melvo/Melvo/default.std");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(playlist).path()));
    {
        QFile f(playlist);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((old + "\r\n").toUtf8());
    }
    QProcess *first = Start({"-nologo", a});
    ASSERT_TRUE(WaitUntilFirstRuns());
    RunToEnd({b});
    ASSERT_EQ(WaitForLog(3).size(), 3) << Lines(Log());
    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(30000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0) << first->readAllStandardError().toStdString();

    QFile saved(playlist);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), old + "\r\n" + a + "\r\n" + b + "\r\n");
}
