// The command-line grab: checks everything it can before the first byte is read, then grabs track after track
// under hidden names and gives each file its name only once it is complete.
#include "GrabCommand.h"

#include "CDAccess.h"
#include "FreedbRequest.h"
#include "GrabTracks.h"
#include "LameEncoder.h"
#include "Messages.h"
#include "OptFreeDB.h"
#include "Settings.h"
#include "WavEncoder.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

std::atomic<int> g_stopSignal{0};

void OnStopSignal(int signal) {
    g_stopSignal = signal;
}

struct GrabOptions {
    QString drive; // index or path; empty: ENCODE/CD-Drive
    QString tracks;
    QString format; // empty: ENCODE/Encode-Format
    QString folder;
    bool bOverwrite = false;
    bool bFreedb = false; // look the disc up first: the files take its titles
};

void Say(FILE *stream, const QString &text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

int Fail(int code, const QString &text) {
    Say(stderr, QStringLiteral("melvo: ") + text);
    return code;
}

bool ParseOptions(const QStringList &args, GrabOptions *options, QString *error) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--overwrite")) {
            options->bOverwrite = true;
            continue;
        }
        if (arg == QLatin1String("--freedb")) {
            options->bFreedb = true;
            continue;
        }
        QString *target = arg == QLatin1String("--drive")    ? &options->drive
                          : arg == QLatin1String("--tracks") ? &options->tracks
                          : arg == QLatin1String("--format") ? &options->format
                          : arg == QLatin1String("--to")     ? &options->folder
                                                             : nullptr;
        if (!target) {
            *error = QStringLiteral("unknown grab option %1").arg(arg);
            return false;
        }
        if (i + 1 >= args.size() || args.at(i + 1).isEmpty()) {
            *error = QStringLiteral("%1 needs a value").arg(arg);
            return false;
        }
        *target = args.at(++i);
    }
    if (!options->format.isEmpty() && options->format != QLatin1String("wav") &&
        options->format != QLatin1String("mp3")) {
        *error = QStringLiteral("--format takes wav or mp3, not %1").arg(options->format);
        return false;
    }
    return true;
}

// The drive by number (as the grabbing dialog counts them), by its drive string, or a disc image for this run.
int FindDrive(const QString &wanted, QString *error) {
    if (wanted.isEmpty()) {
        InitCDAccess();
        return std::max(GetSettingInt(QStringLiteral("ENCODE"), QStringLiteral("CD-Drive"), 0), 0);
    }
    bool bNumber = false;
    const int number = wanted.toInt(&bNumber);
    if (bNumber) {
        InitCDAccess();
        if (number < 0 || number >= GetNumDrives())
            *error =
                GetNumDrives() == 0
                    ? QStringLiteral("No CD-Drive installed.")
                    : QStringLiteral("there is no CD drive %1 (drives 0 to %2)").arg(number).arg(GetNumDrives() - 1);
        return error->isEmpty() ? number : -1;
    }
    const QString path = QFileInfo(wanted).absoluteFilePath();
    InitCDAccess(IsDiscImagePath(path) && QFileInfo(path).isFile() ? QStringList{path} : QStringList());
    const uint8_t drive = GetDriveIndex(QFile::encodeName(path).constData(), nullptr);
    if (drive == CDDA_NO_DRIVE)
        *error = QStringLiteral("%1 is neither a CD drive nor a disc image (.cue, .toc, .nrg)").arg(wanted);
    return drive == CDDA_NO_DRIVE ? -1 : drive;
}

QString Describe(GrabResult result) {
    switch (result) {
    case GrabResult::Cancelled:
        return QStringLiteral("stopped");
    case GrabResult::ReadFailed:
        return QStringLiteral("the disc could not be read to the track's end");
    case GrabResult::EncodeFailed:
        return QStringLiteral("the encoder failed");
    case GrabResult::FinishFailed:
        return QStringLiteral("the file could not be completed");
    default:
        return QStringLiteral("nothing was written");
    }
}

} // namespace

int RunGrabCommand(const QStringList &arguments) {
    GrabOptions options;
    QString error;
    if (!ParseOptions(arguments, &options, &error))
        return Fail(2, error + QStringLiteral("\nTry 'melvo --help' for more information."));

    struct DrivesReleased {
        ~DrivesReleased() { CloseCDAccess(); }
    } released;
    const int drive = FindDrive(options.drive, &error);
    if (drive < 0)
        return Fail(1, error);
    if (drive >= GetNumDrives()) // a stored drive that is gone
        return Fail(1, GetNumDrives() == 0 ? QStringLiteral("No CD-Drive installed.")
                                           : QStringLiteral("there is no CD drive %1").arg(drive));
    const auto d = uint8_t(drive);
    const int count = GetNumTracks(d);
    if (count == 0)
        return Fail(1, LoadStringRes(61280) + QStringLiteral(" (") + DriveEntryText(d) + QStringLiteral(")"));
    const QList<int> tracks = ParseTrackList(options.tracks, count, &error);
    if (tracks.isEmpty())
        return Fail(2, error);
    if (options.bFreedb) {
        // The local database, the cache, then the server; whatever happens, the grab goes on.
        LoadFreedbFolders();
        QString note;
        const bool bFound = LookUpDiscTitles(d, &note);
        if (!bFound)
            Say(stderr, QStringLiteral("melvo: freedb: %1; the tracks keep their numbers").arg(note));
        else if (!note.isEmpty())
            Say(stderr, QStringLiteral("melvo: freedb: ") + note);
    }

    const bool bMp3 = options.format.isEmpty()
                          ? GetSettingInt(QStringLiteral("ENCODE"), QStringLiteral("Encode-Format"), 1) != 0
                          : options.format == QLatin1String("mp3");
    LameLibrary lame;
    std::unique_ptr<IEncoder> encoder;
    if (bMp3) {
        switch (lame.Load()) {
        case LameLibrary::NotFound:
            return Fail(1, QStringLiteral("MP3 needs LAME, but %1 could not be loaded; --format wav works without it")
                               .arg(lame.Path()));
        case LameLibrary::WrongLibrary:
            return Fail(1, QStringLiteral("Wrong Encoder-DLL \"%1\" found! Please use only the original LAME-DLL, "
                                          "which has the BladeEnc-Format. ")
                               .arg(lame.Path()));
        case LameLibrary::Loaded:
            break;
        }
        auto mp3 = std::make_unique<LameEncoder>(lame);
        mp3->SetSettings(LameSettings::Load());
        encoder = std::move(mp3);
    } else {
        encoder = std::make_unique<WavEncoder>();
    }

    QString folder = options.folder;
    if (folder.isEmpty())
        folder = GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("MyFolder"), DefaultGrabFolder());
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
        return Fail(1, QStringLiteral("the folder %1 does not exist and cannot be made").arg(folder));
    {
        QTemporaryFile probe(folder + QStringLiteral("/.melvo-XXXXXX"));
        if (!probe.open())
            return Fail(1, QStringLiteral("cannot write to the folder %1").arg(folder));
    }

    QList<GrabTrack> plans;
    for (int track : tracks) {
        GrabTrack plan;
        if (!PlanTrack(d, track, folder, &plan))
            return Fail(1, QStringLiteral("track %1 is not an audio track").arg(track));
        const QString target = plan.basePath + encoder->Extension();
        if (QFileInfo::exists(target) && !options.bOverwrite)
            return Fail(1, QStringLiteral("%1 exists; --overwrite replaces it").arg(target));
        plans << plan;
    }

    // A stop by Ctrl+C or a signal cancels the running track and removes its hidden files.
    g_stopSignal = 0;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGHUP, OnStopSignal);

    int exitCode = 0;
    for (qsizetype i = 0; i < plans.size() && exitCode == 0; ++i) {
        if (g_stopSignal) {
            exitCode = 128 + g_stopSignal;
            Fail(exitCode, QStringLiteral("stopped before track %1").arg(plans.at(i).track));
            break;
        }
        const GrabTrack &plan = plans.at(i);
        const QString target = plan.basePath + encoder->Extension();
        const uint32_t seconds = GetTrackLength(uint8_t(plan.track), d);
        Say(stderr, QStringLiteral("melvo: track %1 of %2: %3 -> %4")
                        .arg(i + 1)
                        .arg(plans.size())
                        .arg(TrackEntryText(TrackName(d, plan.track), seconds), target));
        GrabTrack hidden = plan;
        hidden.basePath = QFileInfo(plan.basePath).absolutePath() +
                          QStringLiteral("/.melvo-grab-%1-%2").arg(::getpid()).arg(plan.track);
        GrabSession session;
        GrabResult result = GrabResult::Abandoned;
        if (session.Start(hidden, encoder.get())) {
            while (!session.WaitForEnd(std::chrono::milliseconds(100)))
                if (g_stopSignal)
                    session.Cancel();
            result = session.Finish();
        }
        const QString written = hidden.basePath + encoder->Extension();
        if (result == GrabResult::Written &&
            std::rename(QFile::encodeName(written).constData(), QFile::encodeName(target).constData()) == 0) {
            Say(stdout, target);
            continue;
        }
        QFile::remove(written);
        QFile::remove(hidden.basePath + QStringLiteral(".TMP"));
        exitCode = g_stopSignal ? 128 + g_stopSignal : 1;
        Fail(exitCode,
             QStringLiteral("track %1: %2")
                 .arg(plan.track)
                 .arg(result == GrabResult::Written ? QStringLiteral("cannot name the file") : Describe(result)));
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    return exitCode;
}
