// Melvo's entry point.
#include "CommandLine.h"
#include "CrashReport.h"
#include "GrabCommand.h"
#include "MelvoApp.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    // --help and --version answer before anything needs a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineInfo early = ParseCommandLine(arguments, QDir::currentPath());
    if (early.bHelp) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.bVersion) {
        std::puts("Melvo 2.71");
        return 0;
    }
    if (early.bGrab) {
        // No window and no handover: it runs beside an open Melvo.
        QCoreApplication app(argc, argv);
        // The window's names, so the freedb cache is the window's too.
        QCoreApplication::setOrganizationName(QStringLiteral("Melvo"));
        QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
        return RunGrabCommand(early.grabArguments);
    }
    // A crashed Melvo started us to show its report; no single instance, no main window.
    if (early.bCrashReport && early.strError.isEmpty())
        return RunCrashReport(argc, argv, early.strReportText, early.strReportDump);

    // Qt takes its own options (-platform, -style ...) out; the rest is ours.
    QApplication app(argc, argv);
    const CommandLineInfo commandLine = ParseCommandLine(app.arguments().mid(1), QDir::currentPath());
    if (!commandLine.strError.isEmpty()) {
        std::fprintf(stderr, "melvo: %s\nTry 'melvo --help' for more information.\n",
                     commandLine.strError.toLocal8Bit().constData());
        return 2;
    }
    CMelvoApp theApp;
    if (!theApp.InitInstance(commandLine))
        return theApp.ExitInstance(theApp.ExitCode());
    return theApp.ExitInstance(app.exec());
}
