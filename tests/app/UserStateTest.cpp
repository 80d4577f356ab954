// The real program against what users leave behind: odd settings and playlists, signals at any moment,
// the closing order, and the state one run hands to the next.
#include "AudioFiles.h"
#include "IniFile.h"
#include "MelvoUser.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>

namespace {

// What a path held: a folder's names, or a file's size and hash.
struct Held {
    bool bDir = false;
    qint64 nSize = 0;
    QByteArray hash;
    QStringList names;
    QByteArray bytes; // small files only
};

Held Look(const QString &path) {
    Held held;
    const QFileInfo info(path);
    held.bDir = info.isDir();
    if (held.bDir) {
        held.names = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        return held;
    }
    held.nSize = info.size();
    QFile file(path);
    // Sparse giants are compared by size: reading them would only cost time.
    if (held.nSize <= (64 << 20) && file.open(QIODevice::ReadOnly)) {
        held.bytes = file.readAll();
        held.hash = QCryptographicHash::hash(held.bytes, QCryptographicHash::Sha1);
        if (held.nSize > (1 << 20))
            held.bytes.clear();
    }
    return held;
}

bool Same(const Held &a, const QString &path) {
    if (!QFileInfo::exists(path))
        return false;
    const Held b = Look(path);
    return a.bDir == b.bDir && a.names == b.names && a.nSize == b.nSize && a.hash == b.hash;
}

// Every file and folder the user has, but the .bad ones Melvo keeps and replaces.
std::map<QString, Held> LookAtAll(const MelvoUser &user) {
    std::map<QString, Held> all;
    for (const QString &folder : {user.Config(), user.Data(), user.Work()})
        for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            if (!info.fileName().endsWith(".bad"))
                all[info.absoluteFilePath()] = Look(info.absoluteFilePath());
    return all;
}

// Nothing lost or cut: each thing is where it was, or kept beside as .bad. The settings file is rewritten
// at the exit; then every key it had must still be there.
void ExpectNothingLost(const std::map<QString, Held> &before, const MelvoUser &user) {
    for (const auto &[path, held] : before) {
        if (Same(held, path) || Same(held, path + ".bad"))
            continue;
        if (path == user.Config("Melvo.conf")) {
            IniFile was, now;
            QFile file(path);
            ASSERT_TRUE(was.Parse(held.bytes)) << "an unreadable settings file must be kept as .bad";
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            ASSERT_TRUE(now.Parse(file.readAll()));
            for (const QString &key : was.Keys())
                EXPECT_NE(now.Find(key.section('/', 0, -2), key.section('/', -1)), nullptr) << key.toStdString();
            continue;
        }
        ADD_FAILURE() << "lost or changed: " << path.toStdString();
    }
}

void Write(const QString &path, const QByteArray &bytes) {
    ASSERT_TRUE(WriteFile(path, bytes)) << path.toStdString();
}

// Melvo's own form of a default playlist: absolute paths, each followed by CR LF.
QByteArray M3u(const QStringList &paths) {
    QByteArray out;
    for (const QString &path : paths)
        out += path.toUtf8() + "\r\n";
    return out;
}

struct UserState {
    const char *name;
    std::function<void(MelvoUser &)> setUp;
    // 0: start-up completes and the signal closes the window, which saves; 128 + SIGTERM: a notice at
    // start-up (before the window runs) is open when the signal comes, and nothing is saved; -1: either,
    // by who runs the test.
    int nExitCode = 0;
};

} // namespace

TEST(MelvoStartsWhateverTheUserLeft, ASignalEndsItAndNothingIsLost) {
    const QByteArray wave = MakeWav(MakePcm8(8000, 1, 800), 8000, 1, 8);
    auto waves = [&](MelvoUser &u) {
        QStringList paths;
        for (int i = 0; i < 3; ++i) {
            paths << u.Work(QStringLiteral("title %1 with a long name to make the list large.wav").arg(i));
            WriteFile(paths.back(), wave);
        }
        return paths;
    };
    const UserState states[] = {
        {"a fresh user", [](MelvoUser &) {}},
        {"random bytes as the settings file", [](MelvoUser &u) { Write(u.Config("Melvo.conf"), Noise(1)); }, 143},
        {"a folder as the settings file", [](MelvoUser &u) { QDir().mkpath(u.Config("Melvo.conf/inner")); }, 143},
        {"random bytes as the default playlist, an earlier .bad beside",
         [](MelvoUser &u) {
             Write(u.Data("default.std"), Noise(2));
             Write(u.Data("default.std.bad"), "an earlier one");
         }},
        {"a folder as the default playlist", [](MelvoUser &u) { QDir().mkpath(u.Data("default.std/inner")); }, 143},
        {"an unreadable default playlist",
         [&](MelvoUser &u) {
             Write(u.Data("default.std"), M3u(waves(u)));
             QFile::setPermissions(u.Data("default.std"), QFileDevice::WriteOwner);
         },
         -1},
        {"a 3.6 MB default playlist",
         [&](MelvoUser &u) {
             const QStringList three = waves(u);
             QStringList paths;
             for (int i = 0; i < 50000; ++i)
                 paths << three[i % 3];
             Write(u.Data("default.std"), M3u(paths));
         }},
        {"a default playlist above the limit",
         [](MelvoUser &u) {
             QFile file(u.Data("default.std"));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize((qint64(256) << 20) + 1));
         },
         143},
        {"absurd window placement and buffer values",
         [&](MelvoUser &u) {
             Write(u.Data("default.std"), M3u(waves(u)));
             Write(u.Config("Melvo.conf"), "[WINDOW-STATUS]\nLeft=-2147483648\nTop=2147483647\nRight=2147483647\n"
                                           "Bottom=-2147483648\nFlags=-1\nShow=99\n"
                                           "[GENERAL]\nDS-Buffer=2147483647\nIntro-Length=-7\nMode=-3\n"
                                           "[VOLUME]\nVolumeA=-100\nBalanceA=99999\nPitchA=-2147483648\n"
                                           "[FREEDB]\nPassword=;#=\n");
         }},
        {"disc images that are garbage, missing or a folder",
         [](MelvoUser &u) {
             Write(u.Work("garbage.cue"), Noise(3));
             Write(u.Work("garbage.bin"), Noise(4));
             QDir().mkpath(u.Work("folder.cue"));
             Write(u.Config("Melvo.conf"), ("[CDDA]\nImages=" + u.Work("garbage.cue") + ";" + u.Work("missing.cue") +
                                            ";" + u.Work("folder.cue") + "\n")
                                               .toUtf8());
         }},
    };
    // All at once, so the whole matrix costs about one start.
    std::vector<std::unique_ptr<MelvoUser>> users;
    std::vector<std::map<QString, Held>> before;
    for (const UserState &state : states) {
        users.push_back(std::make_unique<MelvoUser>());
        state.setUp(*users.back());
        before.push_back(LookAtAll(*users.back()));
    }
    // A file saved from here on has a later time than any written above.
    QThread::msleep(1100);
    const QDateTime started = QDateTime::currentDateTime();
    for (auto &user : users)
        user->Start();
    for (size_t i = 0; i < users.size(); ++i) {
        SCOPED_TRACE(states[i].name);
        EXPECT_TRUE(users[i]->WaitUntilAnswering()) << users[i]->Process()->readAllStandardError().toStdString();
    }
    for (size_t i = 0; i < users.size(); ++i)
        EXPECT_TRUE(users[i]->WaitUntilIdle()) << states[i].name;
    for (size_t i = 0; i < users.size(); ++i) {
        SCOPED_TRACE(states[i].name);
        qint64 ms = 0;
        ASSERT_TRUE(users[i]->Signal(SIGTERM, 30000, &ms)) << "still running 30 s after SIGTERM";
        EXPECT_EQ(users[i]->Process()->exitStatus(), QProcess::NormalExit);
        const int code = users[i]->Process()->exitCode();
        if (states[i].nExitCode >= 0) {
            EXPECT_EQ(code, states[i].nExitCode) << users[i]->Process()->readAllStandardError().toStdString();
        }
        ExpectNothingLost(before[i], *users[i]);
        // A run that got to its window saves the default playlist anew at its end.
        const QFileInfo saved(users[i]->Data("default.std"));
        if (code == 0) {
            EXPECT_TRUE(saved.isFile() && saved.lastModified() >= started);
        }
    }
}

TEST(MelvoSignals, ABoxOpenAtStartUpEndsWithoutSavingAnything) {
    MelvoUser user;
    Write(user.Config("Melvo.conf"), Noise(5)); // its notice keeps start-up waiting
    const QString wave = user.Work("a.wav");
    Write(wave, MakeWav(MakePcm8(8000, 1, 800), 8000, 1, 8));
    Write(user.Data("default.std"), M3u({wave}));
    const auto before = LookAtAll(user);
    user.Start();
    ASSERT_TRUE(user.WaitUntilAnswering());
    ASSERT_TRUE(user.Signal(SIGHUP, 30000));
    EXPECT_EQ(user.Process()->exitCode(), 128 + SIGHUP);
    EXPECT_TRUE(Same(before.at(user.Config("Melvo.conf")), user.Config("Melvo.conf.bad")));
    EXPECT_FALSE(QFileInfo::exists(user.Config("Melvo.conf"))) << "nothing is saved";
    EXPECT_TRUE(Same(before.at(user.Data("default.std")), user.Data("default.std")));
}

TEST(MelvoSignals, ExitRunsTheClosingOrderAndASignalDismissesABoxLeftInIt) {
    MelvoUser user;
    user.UseProgramCopy({QStringLiteral(MELVO_EXIT_PROBE)});
    const QString wave = user.Work("a.wav");
    Write(wave, MakeWav(MakePcm8(8000, 1, 800), 8000, 1, 8));
    Write(user.Data("default.std"), M3u({wave}));
    for (bool bBox : {false, true}) {
        SCOPED_TRACE(bBox ? "a box while the plug-in unloads" : "a plain exit");
        QFile::remove(user.Work("../plugins.log"));
        if (bBox)
            user.Env().insert("MELVO_TEST_DEINIT_BOX", "1");
        user.Start();
        ASSERT_TRUE(user.WaitUntilAnswering());
        ::kill(pid_t(user.Process()->processId()), SIGTERM);
        if (bBox) {
            for (int i = 0; i < 3000 && !user.PluginLog().contains("Box in-exit-probe"); ++i)
                QThread::msleep(10);
            ASSERT_TRUE(user.PluginLog().contains("Box in-exit-probe"));
            EXPECT_FALSE(user.Process()->waitForFinished(300)) << "the box waits for an answer";
            ASSERT_TRUE(user.Signal(SIGINT, 30000));
        } else {
            ASSERT_TRUE(user.Process()->waitForFinished(30000));
        }
        EXPECT_EQ(user.Process()->exitCode(), 0);
        EXPECT_EQ(user.PluginLog().filter("in-exit-probe").filter("DLL"),
                  QStringList({"InitDLL in-exit-probe", "DeinitDLL in-exit-probe"}));
        QFile saved(user.Data("default.std"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), M3u({wave}));
    }
}

TEST(MelvoRestarts, ModeFoldersPlaylistPlacementAndStatusBarComeBack) {
    MelvoUser user;
    QDir().mkpath(user.Work("Music"));
    // Left by the earlier build, in Qt's dialect: GENERAL as "[%General]".
    Write(user.Config("Melvo.conf"), ("[FOLDER]\nFolder=" + user.Work() + "\n\n[%General]\nMode=3\nSelDirectory=" +
                                      user.Work("Music") + "\nPlaylist=" + user.Work("rock;pop #1.m3u") +
                                      "\n\n[Melvo-Bar0]\nVisible=0\n\n[WINDOW-STATUS]\nLeft=130\nTop=120\n"
                                      "Right=830\nBottom=720\nShow=1\nFlags=0\n")
                                         .toUtf8());
    const std::pair<const char *, const char *> keys[] = {
        {"GENERAL", "Mode"},        {"GENERAL", "SelDirectory"}, {"GENERAL", "Playlist"},
        {"Melvo-Bar0", "Visible"},  {"WINDOW-STATUS", "Left"},   {"WINDOW-STATUS", "Top"},
        {"WINDOW-STATUS", "Right"}, {"WINDOW-STATUS", "Bottom"}, {"WINDOW-STATUS", "Show"},
    };
    auto values = [&] {
        QFile file(user.Config("Melvo.conf"));
        IniFile ini;
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && ini.Parse(file.readAll()));
        QStringList out;
        for (const auto &[section, key] : keys)
            out << QString("%1/%2=%3").arg(section, key, ini.Find(section, key) ? *ini.Find(section, key) : "-");
        return out;
    };
    const QStringList first = values();
    // Each run reads them at its start and writes them from its windows at its end.
    for (int run = 0; run < 2; ++run) {
        user.Start();
        ASSERT_TRUE(user.WaitUntilAnswering());
        ASSERT_TRUE(user.Signal(SIGTERM, 30000));
        EXPECT_EQ(user.Process()->exitCode(), 0);
        EXPECT_EQ(values(), first) << "run " << run;
    }
    QFile file(user.Config("Melvo.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[GENERAL]\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("%General"));
}
