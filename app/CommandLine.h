// The program's command line: files to add or to play, the splash switch, --help, --version and --grab.
#pragma once

#include <QList>
#include <QString>

// One file handed to the playlist; bPlay for "/p" or "-p" (the print action), which plays it at once.
struct HandOverItem {
    bool bPlay = false;
    QString strPath; // absolute
    bool operator==(const HandOverItem &) const = default;
};

struct CommandLineInfo {
    QList<HandOverItem> files; // in the order given
    bool bShowSplash = true;
    bool bHelp = false;
    bool bVersion = false;
    bool bGrab = false;        // --grab: grab CD tracks without a window
    QStringList grabArguments; // everything after --grab
    // --crash-report TEXT DUMP: the report dialog of a crashed Melvo; a path is empty when that file
    // was not written.
    bool bCrashReport = false;
    QString strReportText, strReportDump;
    QString strError; // what was wrong with the arguments; empty when nothing was
};

// Arguments without the program name. Relative paths are taken from currentFolder, since a second
// instance hands them to a first one that runs elsewhere.
CommandLineInfo ParseCommandLine(const QStringList &arguments, const QString &currentFolder);

// The text of --help.
QString UsageText();
