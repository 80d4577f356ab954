// The application object: the start-up routine, the exit routine and the values start-up sets.
#pragma once

#include "CommandLine.h"
#include "HandOver.h"
#include "SingleInstance.h"

#include "MainFrame.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class CSplashWnd;

// The freedb cache folder and, when FREEDB/UseLocalDB is set, the local database folder (else empty).
// Both live in the user's data folder unless the settings name others.
const QString &LocalCachePath();
const QString &LocalDBPath();
void ReadFreedbFolders();

// The clipboard and drag format of playlist items.
inline constexpr const char *kPlaylistClipFormat = "application/x-melvo-playlist-item";

class CMelvoApp {
public:
    CMelvoApp() = default;
    CMelvoApp(const CMelvoApp &) = delete;
    CMelvoApp &operator=(const CMelvoApp &) = delete;

    // True to run the event loop; false ends the process with ExitCode().
    bool InitInstance(const CommandLineInfo &commandLine);
    // Releases what start-up took, in reverse; returns the process's exit code.
    int ExitInstance(int code);
    int ExitCode() const { return m_nExitCode; }

    // The receiving end of handovers; the main frame takes it over.
    CHandOver &HandOver() { return m_handOver; }
    CMainFrame *Frame() { return m_frame.get(); }
    // The exit has begun: settings failures go to standard error and signals skip the questions left.
    static void BeginShutdown();

private:
    void ActivateFrame();

    CSingleInstance m_instance;
    CHandOver m_handOver;
    std::unique_ptr<CMainFrame> m_frame;
    QPointer<CSplashWnd> m_splash;
    bool m_bLanguage = false;
    bool m_bStarted = false;
    int m_nExitCode = 0;
};
