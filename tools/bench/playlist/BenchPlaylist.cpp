// Benchmark of the playlist: a 10,000-entry M3U of MP3 files loaded into a shown playlist until every
// row shows its length. Reports CPU seconds, wall time, peak memory, how long loading held the window,
// and the longest stall of the event loop while the reader's ticks showed the rows. Given a folder
// instead, the file list shows it, sorted by title as the rows are read.
// Usage: bench-playlist PROGRAM_DIR (M3U_FILE | FOLDER)
#include "CTitleList.h"
#include "Messages.h"
#include "PluginHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

double CpuSeconds() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
}

long PeakKb() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

class QuietSink : public MessageSink {
public:
    int Show(const QString &text, unsigned) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return IDOK;
    }
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench-playlist PROGRAM_DIR M3U_FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietSink sink;
    SetMessageSink(&sink);
    LoadPlugins(QString::fromLocal8Bit(argv[1]));

    const QString source = QString::fromLocal8Bit(argv[2]);
    const bool bFolder = QFileInfo(source).isDir();
    auto *view = new CTitleList(!bFolder);
    view->resize(800, 600);
    view->show();
    TitleList &list = view->List();

    const long baseKb = PeakKb();
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    if (bFolder) {
        list.SetSortAscending(true);
        list.ShowFolder(source);
    } else {
        list.LoadPlaylist(source, QStringLiteral("m3u"), true);
    }
    const qint64 loadMs = wall.elapsed();

    // A 1 ms timer shows how long the event loop was kept from running.
    QElapsedTimer gap;
    gap.start();
    qint64 longestStall = 0, ticks = 0, stallEndedAt = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 stall = gap.restart();
        if (stall > longestStall) {
            longestStall = stall;
            stallEndedAt = wall.elapsed();
        }
        ++ticks;
    });
    probe.start(1);
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!list.IsReading())
            app.quit();
    });
    done.start(5);
    app.exec();
    const qint64 wallMs = wall.elapsed();
    const double cpu = CpuSeconds() - cpu0;

    int unknown = 0;
    for (int r = 0; r < list.RowCount(); ++r)
        unknown += list.RowText(r, 1) == QLatin1String("??.??");
    std::printf("rows %d, without length %d, total %d s\n", list.RowCount(), unknown, list.TotalSeconds());
    if (bFolder && list.RowCount() > 0)
        std::printf("first row \"%s\", last row \"%s\"\n", qPrintable(list.RowText(0, 0)),
                    qPrintable(list.RowText(list.RowCount() - 1, 0)));
    std::printf("wall %.2f s, cpu %.2f s, peak memory %.1f MB (%.1f MB before loading)\n", wallMs / 1000.0, cpu,
                PeakKb() / 1024.0, baseKb / 1024.0);
    std::printf("%s held the window %lld ms; longest event-loop stall afterwards %lld ms, ending at %lld ms "
                "(%lld probes)\n",
                bFolder ? "ShowFolder" : "LoadPlaylist", loadMs, longestStall, stallEndedAt, ticks);
    std::printf("longest reader tick %lld ms\n", list.LongestReaderTickMs());
    delete view; // saves the automatic playlist into XDG_DATA_HOME
    UnloadPlugins();
    return 0;
}
