#include "platform/events.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using platform::AutoResetEvent;
using platform::ManualResetEvent;
using platform::WaitResult;
using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

// Polls until count reaches at least expected or a generous limit passes.
bool EventuallyAtLeast(const std::atomic<int>& count, int expected) {
    const auto limit = steady_clock::now() + seconds(10);
    while (count.load() < expected && steady_clock::now() < limit) {
        std::this_thread::sleep_for(milliseconds(1));
    }
    return count.load() >= expected;
}

TEST(AutoResetEvent, ASignalReleasesOneWaitAndClears) {
    AutoResetEvent event;
    EXPECT_EQ(event.Wait(0), WaitResult::kTimeout);
    event.Set();
    event.Set();  // signals do not add up
    EXPECT_EQ(event.Wait(0), WaitResult::kSignalled);
    EXPECT_EQ(event.Wait(0), WaitResult::kTimeout);

    AutoResetEvent initiallySet(true);
    initiallySet.Reset();
    EXPECT_EQ(initiallySet.Wait(0), WaitResult::kTimeout);
}

TEST(ManualResetEvent, StaysSetUntilReset) {
    ManualResetEvent event(true);
    EXPECT_EQ(event.Wait(0), WaitResult::kSignalled);
    EXPECT_EQ(event.Wait(0), WaitResult::kSignalled);
    event.Reset();
    EXPECT_EQ(event.Wait(0), WaitResult::kTimeout);
}

TEST(Events, TimedWaitWaitsAtLeastItsLimit) {
    AutoResetEvent autoEvent;
    ManualResetEvent manualEvent;
    const auto start = steady_clock::now();
    EXPECT_EQ(autoEvent.Wait(30), WaitResult::kTimeout);
    EXPECT_EQ(manualEvent.Wait(30), WaitResult::kTimeout);
    EXPECT_GE(steady_clock::now() - start, milliseconds(60));
}

TEST(AutoResetEvent, EachSetReleasesExactlyOneWaitingThread) {
    AutoResetEvent event;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i) {
        waiters.emplace_back([&] {
            ASSERT_EQ(event.Wait(), WaitResult::kSignalled);
            ++released;
        });
    }
    event.Set();
    ASSERT_TRUE(EventuallyAtLeast(released, 1));
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(released.load(), 1);
    event.Set();
    EXPECT_TRUE(EventuallyAtLeast(released, 2));
    for (auto& waiter : waiters)
        waiter.join();
}

TEST(ManualResetEvent, OneSetReleasesEveryWaitingThread) {
    ManualResetEvent event;
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            ASSERT_EQ(event.Wait(10000), WaitResult::kSignalled);
            ++released;
        });
    }
    std::this_thread::sleep_for(milliseconds(20));
    event.Set();
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 3);
}

}  // namespace
