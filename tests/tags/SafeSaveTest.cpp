// Writing through a copy: owner, permissions and links kept; failures and kills leave the original.
#include "SafeSave.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool AppendEdit(const QString &copy) {
    QFile file(copy);
    return file.open(QIODevice::Append) && file.write("+") == 1;
}

mode_t ModeOf(const QString &path) {
    struct stat st {};
    ::stat(QFile::encodeName(path), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(SafeSave, KeepsPermissionsAndLinksAndLeavesNoCopy) {
    ScopedXdgHome home;
    AudioFolder folder;
    ::chmod(QFile::encodeName(folder.strPath), 0640);
    const QString link = folder.Path("link.mp3");
    ASSERT_TRUE(QFile::link(folder.strPath, link));
    const FileStamp before = StampOf(folder.strPath);
    ASSERT_TRUE(ReplaceThroughCopy(link, AppendEdit));
    EXPECT_EQ(ReadBytes(folder.strPath), folder.audio + "+");
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays a link";
    EXPECT_EQ(ModeOf(folder.strPath), 0640u);
    EXPECT_NE(StampOf(folder.strPath), before);
    EXPECT_EQ(folder.Entries(), QStringList({"link.mp3", "song.mp3"}));
    EXPECT_FALSE(QFile::exists(InterruptedSavesJournal())) << "nothing pending";

    // A failing change leaves the original as it was and no copy.
    int error = 0;
    EXPECT_FALSE(ReplaceThroughCopy(
        folder.strPath, [](const QString &) { return false; }, &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(ReadBytes(folder.strPath), folder.audio + "+");
    EXPECT_EQ(folder.Entries(), QStringList({"link.mp3", "song.mp3"}));
    EXPECT_FALSE(ReplaceThroughCopy(folder.Path("missing.mp3"), AppendEdit, &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(SafeSave, ASaveKilledMidwayKeepsTheOriginalAndTheNextStartRemovesTheCopy) {
    ScopedXdgHome home;
    AudioFolder folder;
    int killed = 0;
    for (int step : {int(SaveStep::CopyWritten), int(SaveStep::Edited), int(SaveStep::BeforeRename)}) {
        QProcess victim;
        victim.start(QStringLiteral(MELVO_BINARY_DIR "/tests/tags_save_victim"),
                     {folder.strPath, QString::number(step)});
        ASSERT_TRUE(victim.waitForFinished(30000));
        EXPECT_EQ(victim.exitStatus(), QProcess::CrashExit) << step;
        EXPECT_EQ(ReadBytes(folder.strPath), folder.audio) << "the original is intact at step " << step;
        EXPECT_EQ(folder.Entries().size(), 1 + ++killed) << "the copy is still there at step " << step;
    }
    // The next start of Melvo cleans up what the killed saves left.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", home.Root());
    QFile::setPermissions(home.Root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess melvo;
    melvo.setProcessEnvironment(env);
    melvo.start(QStringLiteral(MELVO_PROGRAM_DIR "/melvo"), {"-nologo"});
    ASSERT_TRUE(melvo.waitForStarted(10000));
    // The copies go first, the journal after them: stopping Melvo in between would leave the journal.
    for (int waited = 0; waited < 30000 && (folder.Entries().size() > 1 || QFile::exists(InterruptedSavesJournal()));
         waited += 100)
        QThread::msleep(100);
    EXPECT_EQ(folder.Entries(), QStringList{"song.mp3"});
    EXPECT_EQ(ReadBytes(folder.strPath), folder.audio);
    melvo.terminate();
    if (!melvo.waitForFinished(10000))
        melvo.kill(), melvo.waitForFinished(5000);
    EXPECT_FALSE(QFile::exists(InterruptedSavesJournal()));
}
