// One lock for every event keeps wait-for-any simple and free of lost wake-ups; each thread has its own condition.
#include "Events.h"

#include <mutex>

#include <signal.h>
#include <sys/mman.h>

namespace {

std::mutex &Lock() {
    static std::mutex m;
    return m;
}

// One condition per thread, made once: a wait allocates nothing.
const std::shared_ptr<std::condition_variable> &ThreadCondition() {
    thread_local const auto condition = std::make_shared<std::condition_variable>();
    return condition;
}

} // namespace

Event::Event(bool bManualReset, bool bInitialState) : m_bManualReset(bManualReset), m_bSignalled(bInitialState) {}

void Event::Set() {
    std::shared_ptr<std::condition_variable> first;
    std::vector<std::shared_ptr<std::condition_variable>> more;
    {
        std::lock_guard lock(Lock());
        m_bSignalled = true;
        if (!m_waiters.empty())
            first = m_waiters.front();
        if (m_waiters.size() > 1)
            more.assign(m_waiters.begin() + 1, m_waiters.end());
    }
    if (first)
        first->notify_all();
    for (const auto &waiter : more)
        waiter->notify_all();
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
    if (!ready()) {
        const std::shared_ptr<std::condition_variable> &waiter = ThreadCondition();
        for (Event *e : events)
            e->m_waiters.push_back(waiter);
        bool bReady;
        if (timeout == Event::Infinite()) {
            waiter->wait(lock, ready);
            bReady = true;
        } else {
            bReady = waiter->wait_for(lock, timeout, ready);
        }
        for (Event *e : events)
            std::erase(e->m_waiters, waiter);
        if (!bReady)
            return WAIT_TIMEOUT_INDEX;
    }
    Event *chosen = *(events.begin() + index);
    if (!chosen->m_bManualReset)
        chosen->m_bSignalled = false;
    return index;
}

SignalStack::SignalStack() {
    stack_t current{};
    if (::sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE))
        return;
    void *memory = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED)
        return;
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(memory, kSize);
        return;
    }
    m_pMemory = memory;
}

SignalStack::~SignalStack() {
    if (!m_pMemory)
        return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    ::sigaltstack(&off, nullptr);
    ::munmap(m_pMemory, kSize);
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
        {
            SignalStack stack;
            body();
        }
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
