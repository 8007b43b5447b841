#include "frame/bounded_wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(BoundedWait, ReturnsAtOnceWhenNothingIsBusy) {
    int looks = 0;
    const auto start = Clock::now();
    EXPECT_TRUE(frame::WaitWhileBusy([&looks] { return ++looks == 0; }, 20s, 30ms));
    EXPECT_EQ(looks, 1);
    EXPECT_LT(Clock::now() - start, 20ms);
}

TEST(BoundedWait, GivesUpAtTheLimitWhenTheWorkerNeverFinishes) {
    const auto start = Clock::now();
    EXPECT_FALSE(frame::WaitWhileBusy([] { return true; }, 300ms, 30ms));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 300ms);
    EXPECT_LT(waited, 1s);
}

TEST(BoundedWait, EndsSoonAfterTheWorkerFinishes) {
    std::atomic<bool> busy{true};
    std::thread worker([&busy] {
        std::this_thread::sleep_for(100ms);
        busy = false;
    });
    const auto start = Clock::now();
    EXPECT_TRUE(frame::WaitWhileBusy([&busy] { return busy.load(); }, 20s, 10ms));
    EXPECT_LT(Clock::now() - start, 2s);
    worker.join();
}

}  // namespace
