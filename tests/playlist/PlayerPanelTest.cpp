// The playlist with the real player engine: moving and removing the playing title, loading a playlist.
#include "AudioFiles.h"
#include "CPLFunctions.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "Functions.h"
#include "Mp3Files.h"
#include "PlaylistTestSupport.h"
#include "Sound.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class PlayerPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LoadTestPlugins())
            GTEST_SKIP() << "in-wave.so is not in the program folder";
        qputenv("SDL_AUDIODRIVER", "dummy");
        ASSERT_TRUE(InitSound());
        panel = std::make_unique<CPlayer>();
        ASSERT_TRUE(panel->CreateChildren());
        ASSERT_NE(panel->Functions(), nullptr);
        for (int i = 0; i < 4; ++i)
            List().AddFile(MakeWavFile(dir.path(), QStringLiteral("t%1.wav").arg(i), 60), -1, true);
    }
    void TearDown() override {
        panel.reset();
        ReleaseSound();
    }
    TitleList &List() { return panel->Playlist()->List(); }
    Player &GetPlayer() { return panel->Functions()->GetPlayer(); }
    void PlayRow(int row) {
        List().SelectOnly(row);
        panel->PlaylistPanel()->OnCommand(1001);
        ASSERT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    }

    ScopedXdgHome home;
    QTemporaryDir dir;
    std::unique_ptr<CPlayer> panel;
};

} // namespace

TEST_F(PlayerPanelTest, MovingThePlayingTitleKeepsItPlayingAtItsNewRow) {
    PlayRow(1);
    TitleItem *playing = GetPlayer().CurrentItem();
    EXPECT_EQ(List().RowText(1, 0), QStringLiteral("> t1 <"));
    List().SelectOnly(1);
    std::unique_ptr<QMimeData> data(List().BuildDragData());
    List().SetInternalDrag(true);
    List().Drop(data.get(), 4, true);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentItem(), playing);
    EXPECT_EQ(GetPlayer().CurrentRow(), 3);
    EXPECT_EQ(List().RowText(3, 0), QStringLiteral("> t1 <"));
    EXPECT_EQ(List().RowText(1, 0), QStringLiteral("t2"));
    // Stopping unmarks the row the title now stands in.
    panel->Functions()->OnCommand(1002);
    EXPECT_EQ(List().RowText(3, 0), QStringLiteral("t1"));
}

TEST_F(PlayerPanelTest, RemovingRowsKeepsOrStopsPlayback) {
    PlayRow(2);
    List().SelectOnly(0);
    panel->PlaylistPanel()->OnCommand(1170);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    EXPECT_EQ(GetPlayer().CurrentRow(), 1);
    List().SelectOnly(1);
    panel->PlaylistPanel()->OnCommand(1170);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(GetPlayer().CurrentItem(), nullptr);
    EXPECT_EQ(List().RowCount(), 2);
    PlayRow(0);
    panel->PlaylistPanel()->OnCommand(1192);
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(List().RowCount(), 0);
}

TEST_F(PlayerPanelTest, LoadingAPlaylistStopsPlaybackEvenWhenTheFileFails) {
    RecordingSink sink;
    PlayRow(3);
    EXPECT_FALSE(panel->PlaylistPanel()->LoadFrom(dir.filePath("missing.pls")));
    EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(sink.Texts().size(), 1);
}

namespace {

// Plays a row the way a user does: a double click on it.
void DoubleClickRow(CTitleList *view, int row) {
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

TEST_F(PlayerPanelTest, TitlesThatCannotBePlayedSayWhyAndLoseTheirMark) {
    RecordingSink sink;
    panel->resize(600, 500);
    panel->show();
    QByteArray wide24, floats;
    for (int i = 0; i < 2 * 8000; ++i) {
        const int16_t v = int16_t(i * 13);
        wide24 += QByteArray(1, '\0') + QByteArray(reinterpret_cast<const char *>(&v), 2);
        const float f = v / 32768.0f;
        floats.append(reinterpret_cast<const char *>(&f), 4);
    }
    QByteArray floatWav = MakeWav(floats, 8000, 2, 32);
    Put16Le(floatWav, 20, 3);
    QByteArray adpcmWav = MakeWav(MakePcm16(8000, 1, 1.0), 8000, 1, 16);
    Put16Le(adpcmWav, 20, 2);
    const struct {
        const char *name;
        QByteArray bytes;
        bool bPlays;
    } files[] = {{"wide.wav", MakeWav(wide24, 8000, 2, 24), true},
                 {"float.wav", floatWav, true},
                 {"adpcm.wav", adpcmWav, false},
                 {"broken.mp3", QByteArray(20000, 'x'), false}};
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const QString path = dir.filePath(QString::fromLatin1(f.name));
        ASSERT_TRUE(WriteFile(path, f.bytes));
        const int row = List().AddFile(path, -1, true);
        ASSERT_GE(row, 0);
        const QString title = QFileInfo(path).completeBaseName();
        EXPECT_EQ(List().RowText(row, 1), f.bPlays ? QStringLiteral("00:01") : QStringLiteral("??.??"));
        sink.Clear();
        DoubleClickRow(panel->Playlist(), row);
        if (f.bPlays) {
            EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
            EXPECT_EQ(List().RowText(row, 0), QStringLiteral("> %1 <").arg(title));
            EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
        } else {
            EXPECT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_STOPPED);
            EXPECT_EQ(List().RowText(row, 0), title);
            EXPECT_EQ(List().RowText(row, 1), QStringLiteral("??.??"));
            EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("<%1>: This file cannot be played. Its format is not "
                                                               "supported or the file is damaged.")
                                                    .arg(path)});
        }
    }
}

TEST_F(PlayerPanelTest, TheEndOfThePositionSliderEndsAnMp3AndTheNextTitleFollows) {
    RecordingSink sink;
    panel->resize(600, 500);
    panel->show();
    const QByteArray mp3 = EncodeWithLame(dir.path(), MakePcm16(44100, 2, 3.0), 44100, 2, {QStringLiteral("-b128")});
    ASSERT_FALSE(mp3.isEmpty()) << "scripts/setup installs lame";
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    ASSERT_TRUE(WriteFile(path, mp3));
    ASSERT_EQ(List().AddFile(path, 0, true), 0);
    QSlider *slider = panel->Functions()->PositionSlider();
    const struct {
        const char *name;
        std::function<void()> gesture;
    } gestures[] = {{"End key", [&] { QTest::keyClick(slider, Qt::Key_End); }},
                    {"drag fully right", [&] {
                         const QPoint start(4, slider->height() / 2), beyond(slider->width() + 40, start.y());
                         QTest::mousePress(slider, Qt::LeftButton, {}, start);
                         QTest::mouseMove(slider, beyond);
                         QTest::mouseRelease(slider, Qt::LeftButton, {}, beyond);
                     }}};
    for (const auto &g : gestures) {
        SCOPED_TRACE(g.name);
        DoubleClickRow(panel->Playlist(), 0);
        ASSERT_EQ(GetPlayer().CurrentRow(), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return GetPlayer().PlayedBytes() > 0; }, 5000));
        g.gesture();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return GetPlayer().CurrentRow() == 1 && GetPlayer().GetPlayState() == PLAYSTATE_PLAYING; }, 5000));
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

// A VBR MP3 without a VBR header shows an estimate from its first frames; once it has played to its
// end, the row, the total and the player's times go by what was decoded, also when it plays again.
TEST_F(PlayerPanelTest, AVbrMp3WithoutHeaderShowsItsDecodedLengthOnceItPlayedOut) {
    RecordingSink sink;
    panel->resize(600, 500);
    panel->show();
    // Loud noise first, so the first frames are of a high rate, then a long quiet stretch of low ones.
    QByteArray pcm(44100 * 4 * 2, '\0');
    uint32_t noise = 1;
    for (int i = 0; i < 44100 * 2 * 2 / 5; ++i) {
        noise = noise * 1103515245u + 12345u;
        const int16_t v = int16_t(noise >> 16);
        std::memcpy(pcm.data() + 2 * i, &v, 2);
    }
    const QByteArray mp3 = EncodeWithLame(dir.path(), pcm.left(44100 * 4 * 22 / 10), 44100, 2,
                                          {QStringLiteral("-V4"), QStringLiteral("-t")});
    ASSERT_FALSE(mp3.isEmpty()) << "scripts/setup installs lame";
    const QString path = dir.filePath(QStringLiteral("vbr.mp3"));
    ASSERT_TRUE(WriteFile(path, mp3));
    const int decoded = int(DecodeWithMpg123(path).size() / (44100 * 4));
    ASSERT_GE(decoded, 1);

    const int row = List().AddFile(path, 0, true);
    ASSERT_EQ(row, 0);
    const int estimate = List().ItemAt(row)->nLength;
    ASSERT_NE(estimate, decoded) << "the file must fool the estimate";
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().TotalSeconds() == 4 * 60 + estimate; }, 5000));
    auto length = [](int seconds) {
        return QStringLiteral("%1:%2")
            .arg(seconds / 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    };
    EXPECT_EQ(List().RowText(row, 1), length(estimate));

    DoubleClickRow(panel->Playlist(), row);
    ASSERT_EQ(GetPlayer().GetPlayState(), PLAYSTATE_PLAYING);
    ASSERT_TRUE(QTest::qWaitFor([&] { return GetPlayer().CurrentRow() == 1; }, 10000)) << "the next title follows";
    EXPECT_EQ(List().RowText(row, 1), length(decoded));
    EXPECT_TRUE(QTest::qWaitFor([&] { return List().TotalSeconds() == 4 * 60 + decoded; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return panel->PlaylistPanel()->TotalLabel()->text() == QStringLiteral("%1  ").arg(length(4 * 60 + decoded));
        },
        5000));

    // Played again, the title is read again: the learnt length stays, and the times go by it.
    DoubleClickRow(panel->Playlist(), row);
    ASSERT_EQ(GetPlayer().CurrentRow(), row);
    EXPECT_EQ(List().RowText(row, 1), length(decoded));
    ASSERT_TRUE(QTest::qWaitFor([&] { return GetPlayer().Elapsed() == 1; }, 5000));
    EXPECT_EQ(GetPlayer().Remaining(), decoded - 1);
    panel->Functions()->OnCommand(1002);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

namespace {

// The symbol's pixels: everything clearly darker than the button's face around it.
struct SymbolPixels {
    QImage image;
    QRect box;
    bool Dark(int x, int y) const { return qGray(image.pixel(x, y)) < 110; }
    double Fill() const {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += Dark(x, y);
        return double(n) / (box.width() * box.height());
    }
    double ColumnFill(int x) const {
        int n = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            n += Dark(x, y);
        return double(n) / box.height();
    }
};

SymbolPixels FindSymbol(const QImage &image) {
    SymbolPixels s{image.convertToFormat(QImage::Format_RGB32), {}};
    for (int y = 0; y < s.image.height(); ++y)
        for (int x = 0; x < s.image.width(); ++x)
            if (s.Dark(x, y))
                s.box |= QRect(x, y, 1, 1);
    return s;
}

} // namespace

// In the player panel, the buttons' pictures fill the buttons and keep their shapes, and are drawn at the
// screen's density.
TEST_F(PlayerPanelTest, ButtonSymbolsFillTheirButtons) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    QApplication::setPalette(palette);
    panel->resize(900, 500);
    panel->show();
    QApplication::processEvents();
    CFunctions &functions = *panel->Functions();
    auto *toolbar = functions.findChild<QToolBar *>();
    // Fill of the symbol's box, fill of its leftmost and rightmost column.
    const struct {
        int id;
        double minFill, maxFill, leftColumn, rightColumn;
    } buttons[] = {{1001, 0.4, 0.6, 0.8, 0.0},   // a triangle pointing right
                   {1002, 0.9, 1.0, 0.8, 0.8},   // a square
                   {1005, 0.6, 0.85, 0.8, 0.8},  // two bars
                   {32808, 0.4, 0.75, 0.8, 0.8}, // a bar and two triangles, mirrored by the next
                   {32834, 0.4, 0.75, 0.8, 0.8}};
    QImage skip[2];
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.id);
        QWidget *button = toolbar->widgetForAction(functions.Action(b.id));
        ASSERT_TRUE(button);
        // The button as it shows over the white window: it has no background of its own.
        QImage shown(button->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        button->render(&shown);
        if (b.id == 32808 || b.id == 32834)
            skip[b.id == 32834] = shown;
        const SymbolPixels s = FindSymbol(shown);
        // The panel leaves the button its full height, and the picture fills it.
        EXPECT_GE(button->height(), button->sizeHint().height());
        EXPECT_GE(s.box.height(), button->height() / 2) << "button " << button->height() << " px high";
        EXPECT_GE(s.Fill(), b.minFill);
        EXPECT_LE(s.Fill(), b.maxFill);
        // A full edge is a bar or a side; an empty one is the point of a triangle.
        for (const auto &[x, want] : {std::pair(s.box.left(), b.leftColumn), std::pair(s.box.right(), b.rightColumn)}) {
            if (want > 0) {
                EXPECT_GE(s.ColumnFill(x), want) << "column " << x;
            } else {
                EXPECT_LE(s.ColumnFill(x), 0.3) << "column " << x;
            }
        }
        if (b.id == 1005) { // the bars stand apart
            EXPECT_EQ(s.ColumnFill(s.box.center().x()), 0.0);
        }

        // On a screen of twice the density the picture has twice the pixels, not a blown-up copy.
        const QIcon icon = functions.Action(b.id)->icon();
        const QPixmap dense = icon.pixmap(toolbar->iconSize(), 2.0);
        EXPECT_EQ(dense.size(), toolbar->iconSize() * 2);
        const SymbolPixels single = FindSymbol(icon.pixmap(toolbar->iconSize(), 1.0).toImage());
        const SymbolPixels doubled = FindSymbol(dense.toImage());
        EXPECT_NEAR(doubled.box.height(), 2 * single.box.height(), 2);
    }
    // Previous and Next point opposite ways: one is the other's mirror image, give or take a column.
    const SymbolPixels previous = FindSymbol(skip[0].mirrored(true, false)), next = FindSymbol(skip[1]);
    EXPECT_EQ(previous.box.size(), next.box.size());
    int differ = 0;
    for (int y = 0; y < next.box.height(); ++y)
        for (int x = 0; x < next.box.width(); ++x)
            differ += previous.Dark(previous.box.left() + x, previous.box.top() + y) !=
                      next.Dark(next.box.left() + x, next.box.top() + y);
    EXPECT_LE(differ, next.box.height()) << "of " << next.box.width() * next.box.height();
    QApplication::setPalette(QPalette());
}
