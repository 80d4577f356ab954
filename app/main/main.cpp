// Melvo's entry point.
#include "CommandLine.h"
#include "MelvoApp.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt's own options (-platform, -style ...) are Qt's; the rest is ours.
    const CommandLineInfo commandLine = ParseCommandLine(arguments, QDir::currentPath());
    if (commandLine.bHelp) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (commandLine.bVersion) {
        std::puts("Melvo 2.71");
        return 0;
    }
    if (!commandLine.strError.isEmpty()) {
        std::fprintf(stderr, "melvo: %s\nTry 'melvo --help' for more information.\n",
                     commandLine.strError.toLocal8Bit().constData());
        return 2;
    }

    QApplication app(argc, argv);
    CMelvoApp theApp;
    if (!theApp.InitInstance(ParseCommandLine(app.arguments().mid(1), QDir::currentPath())))
        return theApp.ExitInstance(theApp.ExitCode());
    // A logout or kill closes the window as the user would, so the playlist and settings are saved.
    InstallTerminationHandler(theApp.Frame());
    return theApp.ExitInstance(app.exec());
}
