// Waitable events for the worker threads: auto- and manual-reset, wait for any with a time-out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

// All events share one lock, so a thread can wait for any of several at once; a Set wakes only the
// threads that wait for that event, so the mixer's frequent signals do not rouse every other waiter.
class Event {
public:
    explicit Event(bool bManualReset, bool bInitialState = false);
    Event(const Event &) = delete;
    Event &operator=(const Event &) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event was signalled within the time-out (an auto-reset event is consumed).
    bool Wait(std::chrono::milliseconds timeout = Infinite());

    static constexpr std::chrono::milliseconds Infinite() { return std::chrono::milliseconds::max(); }

private:
    friend int WaitForAny(std::initializer_list<Event *>, std::chrono::milliseconds);
    bool m_bManualReset;
    bool m_bSignalled;
    // The conditions of the threads waiting for this event now; shared, so Set can wake them after
    // letting go of the lock (a woken thread then finds the lock free) even if a wait ends meanwhile.
    std::vector<std::shared_ptr<std::condition_variable>> m_waiters;
};

class AutoResetEvent : public Event {
public:
    explicit AutoResetEvent(bool bInitialState = false) : Event(false, bInitialState) {}
};

class ManualResetEvent : public Event {
public:
    explicit ManualResetEvent(bool bInitialState = false) : Event(true, bInitialState) {}
};

constexpr int WAIT_TIMEOUT_INDEX = -1;

// The index of the first signalled event (consuming it if auto-reset), or WAIT_TIMEOUT_INDEX.
int WaitForAny(std::initializer_list<Event *> events, std::chrono::milliseconds timeout = Event::Infinite());

// A fault on an exhausted stack can only be handled on a stack of its own, and each thread needs its own
// (the crash report is written on it): a thread holds one while it runs. A thread that already has one (a
// sanitizer's) keeps it.
class SignalStack {
public:
    SignalStack();
    ~SignalStack();
    SignalStack(const SignalStack &) = delete;
    SignalStack &operator=(const SignalStack &) = delete;

private:
    static constexpr size_t kSize = 128 * 1024; // as much as the main thread's
    void *m_pMemory = nullptr;
};

// A thread whose end is an event others can wait for; it must be joined before destruction; it runs on
// a signal stack of its own.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    void Start(std::function<void()> body);
    bool IsRunning() const { return m_thread.joinable() && !m_ended.IsSet(); }
    Event &Ended() { return m_ended; }
    // Waits up to the time-out for the end and joins; false when the thread still runs.
    bool Join(std::chrono::milliseconds timeout = Event::Infinite());

private:
    std::thread m_thread;
    ManualResetEvent m_ended{true};
};
