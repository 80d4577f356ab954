// One lock and one condition for every event keep wait-for-any simple and free of lost wake-ups.
#include "Events.h"

#include <condition_variable>
#include <mutex>

namespace {

std::mutex &Lock() {
    static std::mutex m;
    return m;
}

std::condition_variable &Condition() {
    static std::condition_variable cv;
    return cv;
}

template <class Ready>
bool WaitUntil(std::unique_lock<std::mutex> &lock, std::chrono::milliseconds timeout, Ready ready) {
    if (timeout == Event::Infinite()) {
        Condition().wait(lock, ready);
        return true;
    }
    return Condition().wait_for(lock, timeout, ready);
}

} // namespace

Event::Event(bool bManualReset, bool bInitialState) : m_bManualReset(bManualReset), m_bSignalled(bInitialState) {}

void Event::Set() {
    {
        std::lock_guard lock(Lock());
        m_bSignalled = true;
    }
    Condition().notify_all();
}

void Event::Reset() {
    std::lock_guard lock(Lock());
    m_bSignalled = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(Lock());
    return m_bSignalled;
}

bool Event::Wait(std::chrono::milliseconds timeout) {
    return WaitForAny({this}, timeout) == 0;
}

int WaitForAny(std::initializer_list<Event *> events, std::chrono::milliseconds timeout) {
    std::unique_lock lock(Lock());
    int index = WAIT_TIMEOUT_INDEX;
    auto ready = [&] {
        int i = 0;
        for (Event *e : events) {
            if (e->m_bSignalled) {
                index = i;
                return true;
            }
            ++i;
        }
        return false;
    };
    if (!WaitUntil(lock, timeout, ready))
        return WAIT_TIMEOUT_INDEX;
    Event *chosen = *(events.begin() + index);
    if (!chosen->m_bManualReset)
        chosen->m_bSignalled = false;
    return index;
}

WorkerThread::~WorkerThread() {
    if (m_thread.joinable())
        m_thread.join();
}

void WorkerThread::Start(std::function<void()> body) {
    if (m_thread.joinable())
        m_thread.join();
    m_ended.Reset();
    m_thread = std::thread([this, body = std::move(body)] {
        body();
        m_ended.Set();
    });
}

bool WorkerThread::Join(std::chrono::milliseconds timeout) {
    if (!m_thread.joinable())
        return true;
    if (!m_ended.Wait(timeout))
        return false;
    m_thread.join();
    return true;
}
