// Looks up random disc IDs in a generated packed freedb database, and times grep -F on the same files.
// Usage: bench-freedb DBFOLDER [records] [lookups] [seed]
#include "TitleFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <random>
#include <vector>

namespace {

struct Disc {
    uint32_t id;
    int category;
};

QString RangeName(uint32_t id) {
    const int lo = int(id >> 28) * 16;
    return QStringLiteral("%1to%2").arg(lo, 2, 16, QLatin1Char('0')).arg(lo + 15, 2, 16, QLatin1Char('0'));
}

QByteArray Record(uint32_t id, int n, std::mt19937 &rng) {
    const QByteArray hex = QByteArray::number(id, 16).rightJustified(8, '0');
    QByteArray r = "#FILENAME=" + hex + "\n# xmcd\n#\n# Track frame offsets:\n";
    const int tracks = 6 + int(rng() % 10);
    for (int t = 0; t < tracks; ++t)
        r += "#\t" + QByteArray::number(150 + t * 17000 + int(rng() % 9000)) + '\n';
    r += "#\n# Disc length: " + QByteArray::number(tracks * 230) + " seconds\n#\nDISCID=" + hex + "\nDTITLE=Artist " +
         QByteArray::number(n) + " / Album " + QByteArray::number(rng() % 100000) + "\n";
    for (int t = 0; t < tracks; ++t)
        r += "TTITLE" + QByteArray::number(t) + "=Song number " + QByteArray::number(t + 1) + '\n';
    r += "EXTD=\nPLAYORDER=\n";
    return r;
}

std::vector<Disc> Generate(const QString &db, int records, std::mt19937 &rng) {
    const QStringList &categories = FreedbCategories();
    std::vector<Disc> discs;
    std::vector<FILE *> files(size_t(categories.size()) * 16);
    for (int c = 0; c < categories.size(); ++c) {
        QDir().mkpath(db + '/' + categories[c]);
        for (uint32_t r = 0; r < 16; ++r)
            files[size_t(c) * 16 + r] =
                std::fopen(QFile::encodeName(db + '/' + categories[c] + '/' + RangeName(r << 28)).constData(), "wb");
    }
    for (int n = 0; n < records; ++n) {
        const Disc disc{uint32_t(rng()), int(rng() % uint32_t(categories.size()))};
        const QByteArray r = Record(disc.id, n, rng);
        std::fwrite(r.constData(), 1, size_t(r.size()), files[size_t(disc.category) * 16 + (disc.id >> 28)]);
        discs.push_back(disc);
    }
    for (FILE *f : files)
        std::fclose(f);
    QFile list(db + "/ids.txt");
    list.open(QIODevice::WriteOnly);
    for (const Disc &d : discs)
        list.write(QByteArray::number(d.id) + ' ' + QByteArray::number(d.category) + '\n');
    return discs;
}

std::vector<Disc> Load(const QString &db) {
    std::vector<Disc> discs;
    QFile list(db + "/ids.txt");
    if (!list.open(QIODevice::ReadOnly))
        return discs;
    while (!list.atEnd()) {
        const QList<QByteArray> parts = list.readLine().trimmed().split(' ');
        if (parts.size() == 2)
            discs.push_back({parts[0].toUInt(), parts[1].toInt()});
    }
    return discs;
}

// The range files the search opens for a disc: one per category up to the one that holds it.
QStringList SearchedFiles(const QString &db, const Disc &disc) {
    QStringList files;
    for (int c = 0; c <= disc.category; ++c)
        files << db + '/' + FreedbCategories()[c] + '/' + RangeName(disc.id);
    return files;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DBFOLDER [records] [lookups] [seed]\n", argv[0]);
        return 2;
    }
    const QString db = QString::fromLocal8Bit(argv[1]);
    const int records = argc > 2 ? std::atoi(argv[2]) : 500000;
    const int lookups = argc > 3 ? std::atoi(argv[3]) : 1000;
    std::mt19937 rng(argc > 4 ? unsigned(std::atoi(argv[4])) : 20261207u);
    std::vector<Disc> discs = Load(db);
    if (int(discs.size()) != records) {
        QDir(db).removeRecursively();
        QElapsedTimer clock;
        clock.start();
        discs = Generate(db, records, rng);
        std::printf("generated %d records in %.1f s\n", records, clock.elapsed() / 1000.0);
    }
    // Duplicates of a disc ID in an earlier category would be found first; leave those out.
    std::vector<Disc> picks;
    while (int(picks.size()) < lookups) {
        const Disc &d = discs[rng() % discs.size()];
        bool earlier = false;
        for (const Disc &other : discs)
            if (other.id == d.id && other.category < d.category)
                earlier = true;
        if (!earlier)
            picks.push_back(d);
    }
    const QString cache = db + "/../bench-cache";
    QDir().mkpath(cache);
    SetFreedbFolders(cache, db);

    qint64 bytes = 0;
    for (const Disc &d : picks)
        for (const QString &f : SearchedFiles(db, d))
            bytes += QFileInfo(f).size();

    double ours = 0, grep = 0;
    for (int round = 0; round < 2; ++round) { // the first round warms the page cache
        QElapsedTimer clock;
        clock.start();
        int found = 0;
        for (const Disc &d : picks) {
            uint32_t lines = 0;
            if (FILE *f = OpenTitleFile(d.id, &lines)) {
                found += ReadXmcdValue(f, QStringLiteral("DISCID"), lines).toUInt(nullptr, 16) == d.id;
                std::fclose(f);
            }
        }
        ours = clock.nsecsElapsed() / 1e9;
        if (found != lookups)
            std::printf("found only %d of %d\n", found, lookups);

        clock.restart();
        for (const Disc &d : picks) {
            const QString marker = QStringLiteral("#FILENAME=%1").arg(d.id, 8, 16, QLatin1Char('0'));
            QProcess::execute(QStringLiteral("grep"),
                              QStringList{"-F", "-q", "-m1", "--", marker} + SearchedFiles(db, d));
        }
        grep = clock.nsecsElapsed() / 1e9;
    }
    // grep's scanning alone, without starting a process per disc: one run over the same bytes.
    QStringList all;
    for (const Disc &d : picks)
        all += SearchedFiles(db, d);
    QElapsedTimer clock;
    clock.start();
    for (qsizetype i = 0; i < all.size(); i += 500)
        QProcess::execute(QStringLiteral("grep"),
                          QStringList{"-F", "-q", "--", "#FILENAME=zzzzzzzz"} + all.mid(i, 500));
    const double grepScan = clock.nsecsElapsed() / 1e9;

    std::printf("%d lookups in %d records, %.0f MB searched\n", lookups, records, bytes / 1e6);
    std::printf("Melvo:                   %.3f s (%.2f ms a lookup, %.0f MB/s)\n", ours, ours * 1000 / lookups,
                bytes / 1e6 / ours);
    std::printf("grep -F, one per disc:   %.3f s (%.2f ms a lookup)  ratio %.2f\n", grep, grep * 1000 / lookups,
                ours / grep);
    std::printf("grep -F, scanning only:  %.3f s (%.0f MB/s; whole files, no early stop)  ratio %.2f\n", grepScan,
                bytes / 1e6 / grepScan, ours / grepScan);
    return 0;
}
