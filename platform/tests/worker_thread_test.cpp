#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stop_token>

#include "platform/events.h"

namespace {

using platform::ManualResetEvent;
using platform::WaitResult;
using platform::WorkerThread;

constexpr std::uint32_t kGenerous = 10000;  // ms; only reached when something is wrong

TEST(WorkerThread, StopsABodyThatPollsItsToken) {
    std::atomic<int> rounds{0};
    WorkerThread worker([&](std::stop_token stop) {
        while (!stop.stop_requested())
            ++rounds;
    });
    EXPECT_TRUE(worker.Running());
    EXPECT_TRUE(worker.Stop(kGenerous));
    EXPECT_TRUE(worker.StopRequested());
    EXPECT_FALSE(worker.Running());
    EXPECT_FALSE(worker.Joinable());
}

TEST(WorkerThread, AStopCallbackWakesABlockedBody) {
    WorkerThread worker([](std::stop_token stop) {
        ManualResetEvent wake;
        const std::stop_callback onStop(stop, [&] { wake.Set(); });
        wake.Wait();
    });
    EXPECT_TRUE(worker.Stop(kGenerous));
}

TEST(WorkerThread, JoinForGivesUpOnARunningThreadAndCanWaitAgain) {
    auto release = std::make_shared<ManualResetEvent>();
    WorkerThread worker([release](std::stop_token) { release->Wait(); });
    EXPECT_FALSE(worker.JoinFor(20));
    EXPECT_TRUE(worker.Joinable());
    EXPECT_TRUE(worker.Running());
    release->Set();
    EXPECT_TRUE(worker.JoinFor(kGenerous));
    EXPECT_FALSE(worker.Running());
}

TEST(WorkerThread, AThreadThatOverrunsItsLimitIsDetachedAndEndsSafely) {
    auto release = std::make_shared<ManualResetEvent>();
    auto ended = std::make_shared<ManualResetEvent>();
    {
        WorkerThread worker([release, ended](std::stop_token stop) {
            release->Wait();
            EXPECT_TRUE(stop.stop_requested());  // the token outlives the wrapper
            ended->Set();
        });
        worker.SetStopLimit(10);
    }  // destroyed while the body still runs
    release->Set();
    EXPECT_EQ(ended->Wait(kGenerous), WaitResult::kSignalled);
}

TEST(WorkerThread, StartsAgainOnlyOnceTheBodyHasEnded) {
    auto release = std::make_shared<ManualResetEvent>();
    std::atomic<int> runs{0};
    WorkerThread worker;
    EXPECT_FALSE(worker.Start(nullptr));
    EXPECT_TRUE(worker.JoinFor(0));  // nothing to join
    ASSERT_TRUE(worker.Start([&, release](std::stop_token) {
        release->Wait();
        ++runs;
    }));
    EXPECT_FALSE(worker.Start([&](std::stop_token) { ++runs; }));
    release->Set();
    ASSERT_TRUE(worker.JoinFor(kGenerous));
    ASSERT_TRUE(worker.Start([&](std::stop_token stop) {
        EXPECT_FALSE(stop.stop_requested());  // a fresh stop flag
        ++runs;
    }));
    EXPECT_TRUE(worker.JoinFor(kGenerous));
    EXPECT_EQ(runs.load(), 2);
}

TEST(WorkerThread, MoveAssignmentStopsTheThreadItReplaces) {
    std::atomic<bool> firstStopped{false};
    WorkerThread worker([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
        }
        firstStopped = true;
    });
    WorkerThread other([](std::stop_token stop) {
        while (!stop.stop_requested()) {
        }
    });
    worker = std::move(other);
    EXPECT_TRUE(firstStopped.load());
    EXPECT_TRUE(worker.Running());
    EXPECT_TRUE(worker.Stop(kGenerous));
}

}  // namespace
