// Start-up and shutdown in their fixed order.
#include "MelvoApp.h"

#include "CDAccess.h"
#include "CPlayer.h"
#include "CTitleList.h"
#include "CrashHandler.h"
#include "DirTree.h"
#include "Language.h"
#include "Messages.h"
#include "Settings.h"
#include "SplashWnd.h"
#include "TerminationSignals.h"
#include "TitleFile.h"
#include "registry/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStatusBar>

#include <cstdio>

namespace {

QString g_localCachePath;
QString g_localDBPath;

// How long a later start waits for a running Melvo that holds the lock but does not answer.
constexpr std::chrono::seconds kHandOverTimeout{20};

} // namespace

const QString &LocalCachePath() {
    return g_localCachePath;
}
const QString &LocalDBPath() {
    return g_localDBPath;
}

void ReadFreedbFolders() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Only the last folder of the cache's path is made when it is used: the default one's parent must be there.
    QDir().mkpath(data);
    g_localCachePath =
        GetSettingString(QStringLiteral("FREEDB"), QStringLiteral("LocalCachePath"), data + QStringLiteral("/Cache"));
    g_localDBPath =
        GetSettingInt(QStringLiteral("FREEDB"), QStringLiteral("UseLocalDB"), 0) != 0
            ? GetSettingString(QStringLiteral("FREEDB"), QStringLiteral("LocalDBPath"), data + QStringLiteral("/DB"))
            : QString();
    SetFreedbFolders(g_localCachePath, g_localDBPath);
}

bool CMelvoApp::InitInstance(const CommandLineInfo &commandLine) {
    // 1. The command line was parsed by main before the application object existed, so that --help
    //    and --version work without a display.

    // 2. Another Melvo runs: it comes to the front and takes our files, and we end.
    if (const QByteArray log = qgetenv("MELVO_HANDOVER_LOG"); !log.isEmpty())
        m_handOver.SetLogFile(QFile::decodeName(log));
    m_instance.SetReceiver([this](const HandOverRequest &r) {
        if (r.nAction == HandOverRequest::Activate)
            m_handOver.Activate();
        else
            m_handOver.HandOverFile(r.nAction == HandOverRequest::Play, r.strPath);
    });
    QList<HandOverRequest> requests{{HandOverRequest::Activate, QString()}};
    for (const HandOverItem &file : commandLine.files)
        requests.append({file.bPlay ? HandOverRequest::Play : HandOverRequest::Open, file.strPath});
    switch (m_instance.Claim(requests, kHandOverTimeout)) {
    case CSingleInstance::HandedOver:
        return false;
    case CSingleInstance::Failed:
        std::fprintf(stderr, "Melvo: the running Melvo does not answer; nothing was handed over.\n");
        m_nExitCode = 1;
        return false;
    case CSingleInstance::First:
        break;
    }
    m_bStarted = true;
    // A logout or kill during start-up ends the process before it has saved anything.
    InstallStartupTermination();

    // 3. The crash handler, until the exit routine removes it.
    InstallCrashHandler();

    // 4. Settings live under the company name.
    QCoreApplication::setOrganizationName(QStringLiteral("Melvo"));
    QCoreApplication::setApplicationName(QStringLiteral("Melvo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.71"));

    // 5. The language.
    m_bLanguage = LoadLanguage();

    // 6. The splash flag comes with the command line; help and common controls need no set-up here.
    // 7. Nothing like OLE needs initialising.

    // 8. The main frame, with the splash window while it is built; its view loads the plug-ins,
    //    starts the sound device and makes the panes.
    m_frame = std::make_unique<CMainFrame>();
    m_frame->setWindowIcon(RegistryIcon(167));
    if (commandLine.bShowSplash)
        m_splash = CSplashWnd::ShowSplash(RegistryBitmap(174), QStringLiteral("2.71"), m_frame.get());
    if (!m_frame->InitMainView()) {
        ShowError(9);
        m_frame.reset();
        m_nExitCode = 1;
        return false;
    }
    m_handOver.SetActivate([this] { ActivateFrame(); });
    // From the first moment of closing, nothing waits for an answer nobody may be there to give.
    QObject::connect(m_frame.get(), &CMainFrame::Closing, [] { BeginShutdown(); });

    // 9. Show the frame.
    m_frame->show();

    // 10. The shell layer's root folders go here.

    // 11. The playlist's clipboard format is kPlaylistClipFormat; Qt needs no registration.

    // 12. The freedb cache and database folders.
    ReadFreedbFolders();

    // 13. The CD drives.
    InitCDAccess();

    // 14. The folder tree fills itself.
    m_frame->Tree()->BuildTree();

    // 15. The default playlist, in slices from the event loop so that the window answers while a long
    //     one fills; once it is all in, the playlist takes the files waiting for it.
    m_frame->Player()->Playlist()->List().LoadDefaultPlaylist([this] {
        m_handOver.SetTarget(
            [this](const QString &path, bool bPlay) { return m_frame && m_frame->HandOverFile(path, bPlay); });
    });

    // 16. Files of our own command line, after the default playlist's titles.
    for (const HandOverItem &file : commandLine.files)
        m_handOver.HandOverFile(file.bPlay, file.strPath);

    // 17. Start-up is over: a logout or kill now closes the window as the user would, so the playlist and
    //     the settings are saved.
    if (m_splash)
        m_splash->HideSplash();
    InstallTerminationHandler(m_frame.get());
    return true;
}

void CMelvoApp::BeginShutdown() {
    SetSettingsShutdown(true);
    BeginShutdownTermination();
}

int CMelvoApp::ExitInstance(int code) {
    if (!m_bStarted)
        return m_nExitCode;
    BeginShutdown();
    m_frame.reset();
    // 1.-2. The drives' title files, then the drives.
    CloseCDAccess();
    // 3. The shell layer is released here.
    // 4. The language.
    if (m_bLanguage)
        UnloadLanguage();
    // 5. The crash handler.
    RemoveCrashHandler();
    return code;
}

void CMelvoApp::ActivateFrame() {
    if (!m_frame)
        return;
    if (m_frame->isMinimized())
        m_frame->showNormal();
    else
        m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
}
