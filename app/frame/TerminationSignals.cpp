// A self-pipe carries the signal out of the handler into the event loop.
#include "TerminationSignals.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int signo) {
    const char byte = static_cast<char>(signo);
    // Only async-signal-safe calls here; a full pipe means a close is already on its way.
    [[maybe_unused]] ssize_t written = ::write(g_pipe[0], &byte, 1);
}

// A message box may be open deep inside some command; closing the window under it would pull the
// panes away from that command. The boxes are dismissed first and the window closes once every nested
// event loop has returned.
void CloseWhenUnwound(QPointer<QWidget> target) {
    if (!target)
        return;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(10, target, [target] { CloseWhenUnwound(target); });
        return;
    }
    target->close();
}

} // namespace

bool InstallTerminationHandler(QWidget *window) {
    if (g_pipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
            return false;
        ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    }
    auto *notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, window);
    QPointer<QWidget> target(window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [target] {
        char bytes[16];
        while (::recv(g_pipe[1], bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
        CloseWhenUnwound(target);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : {SIGTERM, SIGINT, SIGHUP})
        if (::sigaction(signo, &action, nullptr) != 0)
            return false;
    return true;
}
