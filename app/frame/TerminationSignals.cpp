// A self-pipe carries the signal out of the handler into the event loop.
#include "TerminationSignals.h"

#include <QPointer>
#include <QSocketNotifier>
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

} // namespace

bool InstallTerminationHandler(QWidget* window) {
    if (g_pipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
            return false;
        ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    }
    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, window);
    QPointer<QWidget> target(window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [target] {
        char bytes[16];
        while (::recv(g_pipe[1], bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
        if (target)
            target->close();
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
