// Melvo's entry point.
#include "Language.h"
#include "Messages.h"
#include "registry/Registry.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Melvo"));
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.71"));
    LoadLanguage();

    QMainWindow frame;
    frame.setObjectName(QStringLiteral("Melvo-Class"));
    frame.setWindowTitle(LoadStringRes(57344));
    frame.setWindowIcon(RegistryIcon(167));
    auto* picture = new QLabel(&frame);
    picture->setPixmap(RegistryBitmap(174));
    picture->setAlignment(Qt::AlignCenter);
    picture->setStyleSheet(QStringLiteral("background: white"));
    frame.setCentralWidget(picture);
    frame.statusBar()->showMessage(LoadStringRes(57345));
    frame.setGeometry(100, 100, 400, 300);
    frame.show();

    const int code = app.exec();
    UnloadLanguage();
    return code;
}
