// Saves a file through a copy and is killed at the given step: SaveVictim FILE STEP (0, 1 or 2).
#include "SafeSave.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Melvo"));
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
    if (argc != 3)
        return 2;
    const int step = std::atoi(argv[2]);
    SetSaveStepHook([step](SaveStep reached) {
        if (int(reached) == step)
            std::raise(SIGKILL);
    });
    const bool bSaved = ReplaceThroughCopy(QString::fromLocal8Bit(argv[1]), [](const QString &copy) {
        QFile file(copy);
        return file.open(QIODevice::Append) && file.write("EDITED") == 6;
    });
    return bSaved ? 0 : 1;
}
