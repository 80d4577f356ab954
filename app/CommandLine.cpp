// Parses the command line the way both Windows-style and Linux-style users write it.
#include "CommandLine.h"

#include <QDir>
#include <QUrl>

namespace {

bool IsSwitch(const QString &arg, const char *name) {
    // "/p" keeps working, but any other argument beginning with "/" is an absolute path.
    const QString bare = QString::fromLatin1(name);
    return arg.compare(QLatin1Char('-') + bare, Qt::CaseInsensitive) == 0 ||
           arg.compare(QLatin1Char('/') + bare, Qt::CaseInsensitive) == 0;
}

QString AbsolutePath(const QString &arg, const QString &currentFolder) {
    // Desktop launchers may pass file URLs.
    if (arg.startsWith(QLatin1String("file://"))) {
        const QUrl url(arg);
        if (url.isLocalFile())
            return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QDir(currentFolder).absoluteFilePath(arg));
}

} // namespace

CommandLineInfo ParseCommandLine(const QStringList &arguments, const QString &currentFolder) {
    CommandLineInfo info;
    bool bOptionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (!bOptionsEnded && arg == QLatin1String("--crash-report")) {
            if (i + 2 >= arguments.size()) {
                info.strError = QStringLiteral("%1 needs the text report and the dump").arg(arg);
                break;
            }
            info.bCrashReport = true;
            info.strReportText = arguments.at(++i);
            info.strReportDump = arguments.at(++i);
            continue;
        }
        if (arg.isEmpty())
            continue;
        if (!bOptionsEnded) {
            if (arg == QLatin1String("--")) {
                bOptionsEnded = true;
                continue;
            }
            if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
                info.bHelp = true;
                continue;
            }
            if (arg == QLatin1String("--grab")) {
                info.bGrab = true;
                info.grabArguments = arguments.mid(i + 1);
                break;
            }
            if (arg == QLatin1String("--version")) {
                info.bVersion = true;
                continue;
            }
            if (IsSwitch(arg, "nologo") || arg == QLatin1String("--no-splash")) {
                info.bShowSplash = false;
                continue;
            }
            if (IsSwitch(arg, "p")) {
                if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                    info.strError = QStringLiteral("%1 needs a file to play").arg(arg);
                    continue;
                }
                info.files.append({true, AbsolutePath(arguments.at(++i), currentFolder)});
                continue;
            }
            if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
                info.strError = QStringLiteral("unknown option %1").arg(arg);
                continue;
            }
        }
        info.files.append({false, AbsolutePath(arg, currentFolder)});
    }
    return info;
}

QString UsageText() {
    return QStringLiteral("Usage: melvo [options] [file...]\n"
                          "Plays audio files, rips audio CDs and edits tags.\n"
                          "\n"
                          "  file            add the file to the playlist\n"
                          "  -p, /p file     add the file to the playlist and play it\n"
                          "  -nologo         start without the splash window\n"
                          "  -h, --help      show this help and end\n"
                          "  --version       show the version and end\n"
                          "  --grab [--drive N|PATH] [--tracks LIST] [--format wav|mp3] [--to FOLDER] [--overwrite]\n"
                          "         [--freedb]\n"
                          "                  grab audio CD tracks to files without a window: the drive by its\n"
                          "                  number or its device or disc image (.cue, .toc, .nrg); LIST like\n"
                          "                  \"1,3-5\", every track when absent; existing files are kept unless\n"
                          "                  --overwrite; the grabbing dialog's settings give the defaults;\n"
                          "                  --freedb names the files after the disc's titles (cache, local\n"
                          "                  database, then the freedb server)\n"
                          "\n"
                          "When Melvo runs already, the files go to the running window (not with --grab).\n");
}
