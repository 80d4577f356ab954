// Title lists under a long random mix of what users do while the reader is busy: loading, playing,
// removing, copying, dragging and renaming. Every step checks the rows; the sanitizer run checks the
// memory of packed and unpacked records on the way.
#include "PlaylistTestSupport.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Files are named after their seconds, and a WAV title is its file name: the title tells the length a
// row must show once read. "9-gone" does not exist and never gets one.
int SecondsOfTitle(QString title) {
    if (title.startsWith(QStringLiteral("> ")) && title.endsWith(QStringLiteral(" <")))
        title = title.mid(2, title.size() - 4);
    const int seconds = title.section('-', 0, 0).toInt();
    return seconds == 9 ? -1 : seconds;
}

class TitleListStress : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        for (int s = 1; s <= 4; ++s) {
            for (int copy = 0; copy < 3; ++copy)
                m_files << MakeWavFile(m_dir.path(), QStringLiteral("%1-%2.wav").arg(s).arg(copy), s);
        }
        m_files << m_dir.filePath(QStringLiteral("9-gone.wav"));
    }

    QString WritePlaylist(int entries) {
        QByteArray m3u;
        for (int i = 0; i < entries; ++i)
            m3u += m_files[int(m_random.bounded(m_files.size()))].toUtf8() + "\n";
        const QString path = m_dir.filePath(QStringLiteral("mix.m3u"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(m3u);
        return path;
    }

    // What a row shows is either not known yet or what its file holds, never another row's record.
    static void CheckRows(TitleList &list, int step) {
        for (int r = 0; r < list.RowCount(); ++r) {
            const QString shown = list.RowText(r, 1);
            if (shown != QStringLiteral("??.??")) {
                ASSERT_EQ(shown, FormatLength(SecondsOfTitle(list.RowText(r, 0)))) << "step " << step << " row " << r;
            }
        }
    }
    // After a full read: every row right, and the total their sum.
    static void CheckAllRead(TitleList &list) {
        int total = 0;
        for (int r = 0; r < list.RowCount(); ++r) {
            const int seconds = SecondsOfTitle(list.RowText(r, 0));
            ASSERT_EQ(list.RowText(r, 1), FormatLength(seconds)) << r;
            total += std::max(seconds, 0);
        }
        if (list.IsPlaylist()) {
            EXPECT_EQ(list.TotalSeconds(), total);
        }
    }

    QTemporaryDir m_dir;
    QStringList m_files;
    QRandomGenerator m_random{20261207};
    RecordingSink m_sink;
};

} // namespace

TEST_F(TitleListStress, RandomCommandsWhileTheReaderRuns) {
    TitleList playlist(true), other(true);
    FakePlayer player(playlist);
    ASSERT_TRUE(playlist.LoadPlaylist(WritePlaylist(400), "m3u", false));
    for (int step = 0; step < 1500; ++step) {
        const int rows = playlist.RowCount();
        const int row = rows > 0 ? int(m_random.bounded(rows)) : 0;
        switch (m_random.bounded(12)) {
        case 0:
            if (rows < 1500)
                playlist.LoadPlaylist(WritePlaylist(int(m_random.bounded(1, 200))), "m3u", false);
            break;
        case 1:
            if (TitleItem *item = playlist.ItemAt(row))
                playlist.ReadTitleInfo(item, false);
            break;
        case 2:
            playlist.ItemAt(row); // a row asked for while the reader may not have reached it
            break;
        case 3:
            playlist.SelectOnly(row);
            playlist.RemoveSelected();
            break;
        case 4:
            playlist.SelectOnly(row);
            player.Play();
            break;
        case 5:
            player.StopPlayback();
            break;
        case 6:
            playlist.CopyRowTo(row, other, -1);
            break;
        case 7: {
            playlist.SelectOnly(row);
            std::unique_ptr<QMimeData> data(playlist.BuildDragData());
            if (data) {
                playlist.SetInternalDrag(true);
                playlist.Drop(data.get(), int(m_random.bounded(rows + 1)), m_random.bounded(2) == 0);
            }
            break;
        }
        case 8:
            playlist.StopInfoReader();
            playlist.StartInfoReader(int(m_random.bounded(rows + 1)), rows);
            break;
        case 9:
            if (rows > 0) {
                const QString from = m_files[int(m_random.bounded(m_files.size() - 1))];
                const QString to = m_dir.filePath(QStringLiteral("%1-renamed%2.wav")
                                                      .arg(QFileInfo(from).baseName().section('-', 0, 0))
                                                      .arg(step));
                if (QFile::rename(from, to)) {
                    playlist.RenameTitlePath(from, to);
                    QFile::rename(to, from);
                    playlist.RenameTitlePath(to, from);
                }
            }
            break;
        case 10:
            if (m_random.bounded(40) == 0)
                playlist.RemoveAll();
            break;
        default:
            QTest::qWait(int(m_random.bounded(1, 15)));
            break;
        }
        CheckRows(playlist, step);
        if (HasFailure())
            return;
        if (player.pCurrentItem) {
            ASSERT_EQ(playlist.FindRow(player.pCurrentItem), player.nCurrentRow) << "step " << step;
        }
    }
    // Whatever happened, a full read leaves every row right.
    playlist.StartInfoReader(0, playlist.RowCount());
    ASSERT_TRUE(WaitForReader(playlist));
    CheckAllRead(playlist);
    other.StartInfoReader(0, other.RowCount());
    ASSERT_TRUE(WaitForReader(other));
    CheckAllRead(other);
}
