// The manual (Help, F1) is complete where it is read: beside the built program and where it is installed.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every picture and page the manual points to exists in its folder, and every link inside it has its target.
void ExpectManualComplete(const QString &folder, bool bOnlyShownPictures) {
    QFile file(folder + QStringLiteral("/Melvo.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    QSet<QString> ids;
    for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral(R"(\bid="([^"]+)\")")).globalMatch(html))
        ids.insert(m.captured(1));
    int pictures = 0;
    QSet<QString> shown;
    for (const QRegularExpressionMatch &m :
         QRegularExpression(QStringLiteral(R"(\b(src|href)="([^"]*)\")")).globalMatch(html)) {
        const QString target = m.captured(2);
        if (target.startsWith(QLatin1Char('#'))) {
            EXPECT_TRUE(ids.contains(target.mid(1))) << "no section " << target.toStdString();
        } else {
            // The manual needs nothing from the network: every other target is a file beside it.
            EXPECT_FALSE(target.contains(QLatin1Char(':'))) << target.toStdString();
            EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + target).isFile()) << target.toStdString();
            if (m.captured(1) == QLatin1String("src")) {
                ++pictures;
                shown.insert(target);
            }
        }
    }
    EXPECT_GE(pictures, 5);
    // A picture the screenshot tool made but the manual does not show would only be shipped. (The build folder
    // may keep pictures removed since; a fresh install has only today's.)
    if (!bOnlyShownPictures)
        return;
    for (const QString &name :
         QDir(folder + QStringLiteral("/manual")).entryList({QStringLiteral("*.png")}, QDir::Files))
        EXPECT_TRUE(shown.contains(QStringLiteral("manual/") + name)) << "not shown: " << name.toStdString();
}

} // namespace

TEST(DesktopTools, TheManualAndItsPicturesShipBesideTheProgram) {
    ExpectManualComplete(QStringLiteral(MELVO_PROGRAM_DIR), false);
}

TEST(DesktopTools, TheManualAndItsPicturesAreInstalledInTheProgramFolder) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(MELVO_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(MELVO_BUILD_DIR), QStringLiteral("--component"),
                   QStringLiteral("manual"), QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    ExpectManualComplete(prefix.path() + QStringLiteral("/" MELVO_INSTALL_DIR), true);
}
