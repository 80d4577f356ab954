// A self-pipe carries the signal out of the handler into the event loop, and the loop acts by phase.
#include "TerminationSignals.h"

#include "Messages.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

enum Phase : int { Starting, Running, Exiting };

std::atomic<int> g_phase{Starting};
int g_pipe[2] = {-1, -1};
QPointer<QWidget> g_target;

void OnSignal(int signo) {
    // Start-up has saved nothing yet and must not save half of what it read: leave at once.
    if (g_phase.load() == Starting)
        ::_exit(128 + signo);
    const char byte = static_cast<char>(signo);
    // Only async-signal-safe calls here; a full pipe means an answer is already on its way.
    [[maybe_unused]] ssize_t written = ::write(g_pipe[0], &byte, 1);
}

// A box gets the answer Escape gives (No, Cancel or OK), other dialogs are cancelled.
void DismissActiveModal() {
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &escape);
        }
        if (!modal->isVisible())
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

// A message box may be open deep inside some command; closing the window under it would pull the
// panes away from that command. The boxes are dismissed first and the window closes once every nested
// event loop has returned.
void CloseWhenUnwound() {
    if (!g_target || g_phase.load() != Running)
        return;
    DismissActiveModal();
    if (QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(10, g_target, [] { CloseWhenUnwound(); });
        return;
    }
    g_target->close();
}

// Nobody is left to answer: texts go to standard error, questions get the answer that changes least.
class NobodyAnswers : public MessageSink {
public:
    int Show(const QString &text, unsigned type) override { return AnswerWithoutGui(text, type); }
};

void DismissEveryBox() {
    DismissActiveModal();
    if (QApplication::activeModalWidget())
        QTimer::singleShot(10, qApp, DismissEveryBox);
}

void OnSignalInLoop() {
    if (g_phase.load() == Running) {
        CloseWhenUnwound();
        return;
    }
    static NobodyAnswers nobody;
    SetMessageSink(&nobody);
    DismissEveryBox();
}

bool InstallHandlers() {
    if (g_pipe[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return false;
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    auto *notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::recv(g_pipe[1], bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
        OnSignalInLoop();
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

} // namespace

bool InstallStartupTermination() {
    g_phase = Starting;
    return InstallHandlers();
}

bool InstallTerminationHandler(QWidget *window) {
    g_target = window;
    g_phase = Running;
    return InstallHandlers();
}

void BeginShutdownTermination() {
    g_phase = Exiting;
}
