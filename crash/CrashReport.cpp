// A fresh process draws the dialog, since a crashed one must not touch its windows.
#include "CrashReport.h"

#include "ErrorReportDlg.h"
#include "Language.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

bool HasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

void ShowCrashReport(const QString &textPath, const QString &dumpPath) {
    {
        CErrorReportDlg dialog(textPath, dumpPath);
        dialog.exec();
    }
    if (!textPath.isEmpty())
        QFile::remove(textPath);
    if (!dumpPath.isEmpty())
        QFile::remove(dumpPath);
}

int RunCrashReport(int &argc, char **argv, const QString &textPath, const QString &dumpPath) {
    if (!HasDisplay()) {
        std::fputs("Melvo has crashed. The error report:\n", stderr);
        for (const QString &path : {textPath, dumpPath}) {
            if (!path.isEmpty())
                std::fprintf(stderr, "%s\n", QFile::encodeName(path).constData());
        }
        return 0;
    }
    QApplication app(argc, argv);
    LoadLanguageReadOnly();
    ShowCrashReport(textPath, dumpPath);
    UnloadLanguage();
    return 0;
}
