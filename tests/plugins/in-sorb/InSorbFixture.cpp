// Shared MP3 files and the fixture.
#include "InSorbFixture.h"

#include "AudioFiles.h"
#include "Mp3Files.h"

const SharedMp3s &Files() {
    static const SharedMp3s files = [] {
        SharedMp3s f;
        QTemporaryDir work;
        const QByteArray stereo = MakePcm16(44100, 2, f.seconds);
        f.cbrNoTag = EncodeWithLame(work.path(), stereo, 44100, 2, {"-b", "128", "--cbr", "-t"});
        f.cbrInfo = EncodeWithLame(work.path(), stereo, 44100, 2, {"-b", "128", "--cbr"});
        f.vbr = EncodeWithLame(work.path(), stereo, 44100, 2, {"-V", "4"});
        f.mpeg2Mono = EncodeWithLame(work.path(), MakePcm16(22050, 1, f.seconds), 22050, 1, {"-m", "m", "-b", "32"});
        return f;
    }();
    return files;
}

void InSorb::SetUp() {
    plugin = PluginFor("mp3");
    ASSERT_NE(plugin, nullptr) << "in-sorb.so is not in " MELVO_PROGRAM_DIR;
    ASSERT_FALSE(Files().cbrNoTag.isEmpty()) << "the lame tool did not run";
    ASSERT_FALSE(Files().mpeg2Mono.isEmpty());
    ASSERT_FALSE(Files().vbr.isEmpty());
}

QString InSorb::Write(const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteFile(path, bytes));
    return path;
}
