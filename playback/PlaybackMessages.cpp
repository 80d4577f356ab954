// A playback thread's message goes to the GUI thread as a queued call; the thread waits with a way out.
#include "PlaybackMessages.h"

#include <QApplication>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <optional>

struct MessageGate::State {
    std::mutex lock;
    std::condition_variable answered;
    bool bGivenUp = false;
};

namespace {

thread_local MessageGate *t_pGate = nullptr;

} // namespace

MessageGate::MessageGate() : m_pState(std::make_shared<State>()) {}

MessageGate::~MessageGate() {
    GiveUp();
}

void MessageGate::GiveUp() {
    {
        std::lock_guard lock(m_pState->lock);
        m_pState->bGivenUp = true;
    }
    m_pState->answered.notify_all();
}

MessageGate::Scope::Scope(MessageGate *gate) : m_pPrevious(t_pGate) {
    t_pGate = gate;
}

MessageGate::Scope::~Scope() {
    t_pGate = m_pPrevious;
}

int ShowPlaybackMessage(const QString &text, unsigned type) {
    MessageGate *gate = t_pGate;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    // A sink of the tests answers on the spot, and without a GUI nobody waits.
    if (!gate || CurrentMessageSink() || !app || QThread::currentThread() == app->thread())
        return ShowMessage(text, type);
    std::shared_ptr<MessageGate::State> state = gate->m_pState;
    auto answer = std::make_shared<std::optional<int>>(); // under state->lock
    QMetaObject::invokeMethod(
        app,
        [state, answer, text, type] {
            {
                std::lock_guard lock(state->lock);
                if (state->bGivenUp)
                    return; // the title was stopped before the box came up
            }
            const int button = ShowMessage(text, type);
            {
                std::lock_guard lock(state->lock);
                *answer = button;
            }
            state->answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(state->lock);
    state->answered.wait(lock, [&] { return answer->has_value() || state->bGivenUp; });
    return answer->has_value() ? **answer : CautiousAnswer(type);
}
