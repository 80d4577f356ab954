// The receiving end of file handovers: from a second instance or the program's own command line.
#pragma once

#include "CommandLine.h"

#include <QFile>
#include <functional>

// Owned by the main frame. Until the playlist exists, files wait here in the order they came.
class CHandOver {
public:
    // Appends the file to the playlist; with bPlay selects it alone and plays it. False when the list
    // takes no such file (no plug-in serves it).
    using Target = std::function<bool(const QString &path, bool bPlay)>;

    // A handed-over file: goes to the playlist, or waits for it.
    void HandOverFile(bool bPlay, const QString &path);
    // The playlist exists: everything waiting goes to it in order, later files at once.
    void SetTarget(Target target);
    QList<HandOverItem> Pending() const { return m_pending; }

    // A second start without a file: the window comes to the front, restored if minimised.
    void Activate();
    void SetActivate(std::function<void()> activate) { m_activate = std::move(activate); }

    // Records every request as a JSON line, so a test can see what a running instance received.
    void SetLogFile(const QString &path);

private:
    void Log(const char *action, const QString &path);

    Target m_target;
    std::function<void()> m_activate;
    QList<HandOverItem> m_pending;
    bool m_bFlushing = false;
    QFile m_log;
};
