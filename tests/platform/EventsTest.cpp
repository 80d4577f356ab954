// Auto- and manual-reset events, wait-for-any and the worker thread's end as an event.
#include "platform/Events.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(Events, AutoResetIsConsumedByOneWaitManualResetStays) {
    AutoResetEvent autoEvent;
    ManualResetEvent manual;
    EXPECT_FALSE(autoEvent.Wait(0ms));
    autoEvent.Set();
    autoEvent.Set(); // a second Set before a wait does not count twice
    EXPECT_TRUE(autoEvent.Wait(0ms));
    EXPECT_FALSE(autoEvent.Wait(0ms));

    manual.Set();
    EXPECT_TRUE(manual.Wait(0ms));
    EXPECT_TRUE(manual.Wait(0ms));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(0ms));
    EXPECT_TRUE(ManualResetEvent(true).IsSet());
}

TEST(Events, WaitForAnyGivesTheFirstSignalledIndexAndTimesOut) {
    AutoResetEvent a, b, c;
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 1ms), WAIT_TIMEOUT_INDEX);
    c.Set();
    b.Set();
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 0ms), 1);
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 0ms), 2);
    EXPECT_EQ(WaitForAny({&a, &b, &c}, 0ms), WAIT_TIMEOUT_INDEX);
}

TEST(Events, WakesAWaiterInAnotherThreadAndLosesNoSignal) {
    AutoResetEvent request, reply;
    std::atomic<int> served{0};
    std::thread server([&] {
        for (int i = 0; i < 1000; ++i) {
            ASSERT_TRUE(request.Wait(5s));
            ++served;
            reply.Set();
        }
    });
    for (int i = 0; i < 1000; ++i) {
        request.Set();
        ASSERT_TRUE(reply.Wait(5s));
    }
    server.join();
    EXPECT_EQ(served.load(), 1000);
}

// A Set wakes every thread that waits for that event, however many and whatever else they wait for.
TEST(Events, EveryWaiterOfAnEventWakes) {
    ManualResetEvent go;
    AutoResetEvent other;
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] { woken += go.Wait(5s) ? 1 : 0; });
    waiters.emplace_back([&] { woken += WaitForAny({&other, &go}, 5s) == 1 ? 1 : 0; });
    std::this_thread::sleep_for(50ms); // let them all wait
    go.Set();
    for (std::thread &t : waiters)
        t.join();
    EXPECT_EQ(woken.load(), 4);
}

TEST(WorkerThread, EndIsWaitableAndJoinHonoursTheTimeOut) {
    ManualResetEvent release;
    WorkerThread worker;
    EXPECT_TRUE(worker.Join(0ms)); // never started
    worker.Start([&] { release.Wait(); });
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Join(10ms));
    EXPECT_EQ(WaitForAny({&worker.Ended()}, 1ms), WAIT_TIMEOUT_INDEX);
    release.Set();
    EXPECT_TRUE(worker.Join(5s));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_TRUE(worker.Ended().IsSet());

    std::atomic<int> runs{0};
    worker.Start([&] { ++runs; });
    EXPECT_TRUE(worker.Join(5s));
    EXPECT_EQ(runs.load(), 1);
}
