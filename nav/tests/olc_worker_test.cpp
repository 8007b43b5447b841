// The contest optimiser's worker: trail thinning, results shown once,
// searching again only on a change, the closing point, settings applied to a
// running worker, stop ownership between runs, a stop during a search, and
// starting and stopping while other threads add points and read results.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <thread>
#include <vector>

#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"
#include "nav/olc_worker.h"
#include "services/shared_locks.h"
#include "testing/wait_until.h"

namespace nav {
namespace {

using namespace std::chrono_literals;

constexpr OlcWeights kFourLegs{100, 100, 100, 100, 0, 0, 0, 0};
constexpr double kKmPerRadian = 6371.0;

// A point on the equator `km` east of longitude 0.
WaypointRecord East(double km, double northKm = 0.0) {
    return WaypointRecord(northKm / kKmPerRadian, -km / kKmPerRadian, false);
}

std::vector<WaypointRecord> TrailOf(const OlcControlBlock& block) {
    const platform::CriticalSectionLock lock(block.lock);
    return block.points;
}

class OlcWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ApplyOlcSettings(kFourLegs, false);
        g_destinationValid = 0;
        ResetCurrentPosition(0.0, 0.0);
    }
    void TearDown() override { EXPECT_TRUE(StopOlcThreadsAndWait(10000)); }

    // Starts a worker and waits until it takes points.
    std::shared_ptr<OlcControlBlock> StartRunning() {
        StartOlcThread();
        auto block = CurrentOlcControl();
        EXPECT_NE(block, nullptr);
        EXPECT_TRUE(test_support::WaitUntil([&block] { return !block->notRunning; }));
        return block;
    }

    // Waits for a stored result equal to the search over the block's trail
    // closed at `closing`.
    static bool WaitForResult(const OlcControlBlock& block, const WaypointRecord& closing,
                              int legs) {
        const auto expected = OptimiseOlcDistance(TrailOf(block), closing, kFourLegs, legs);
        const auto km = static_cast<float>(expected->value / 100.0);
        return test_support::WaitUntil([km] {
            const auto result = TakeNewOlcResult();
            return result && *result == km;
        });
    }
};

TEST_F(OlcWorkerTest, KeepsOnePointPerSpacing) {
    const auto block = StartRunning();
    for (const double km : {0.0, 0.5, 1.1, 1.5, 2.3, 2.4}) {
        const WaypointRecord fix = East(km);
        AddOlcPoint(&fix);
    }
    AddOlcPoint(nullptr);  // no fix: the next one starts the spacing anew
    const WaypointRecord close = East(2.5);
    AddOlcPoint(&close);

    const auto trail = TrailOf(*block);
    ASSERT_EQ(trail.size(), 4U);
    EXPECT_TRUE(trail[1].IsSamePosition(East(1.1)));
    EXPECT_TRUE(trail[2].IsSamePosition(East(2.3)));
    EXPECT_TRUE(trail[3].IsSamePosition(close));
}

TEST_F(OlcWorkerTest, ShowsEachResultOnceAndSearchesAgainOnlyOnAChange) {
    const auto block = StartRunning();
    {
        // The worker takes the whole trail at once: a search over a part of
        // it could find the same distance (the last point lies on the way
        // back to the closing point) and be taken for the final result.
        const platform::CriticalSectionLock olcLock(OlcLock);
        const platform::CriticalSectionLock lock(block->lock);
        for (const double km : {0.0, 10.0, 20.0, 15.0, 30.0, 5.0}) {
            const WaypointRecord fix = East(km, km == 15.0 ? 8.0 : 0.0);
            AddOlcPoint(&fix);
        }
    }
    ASSERT_TRUE(WaitForResult(*block, CopyMapFix(), 4));
    EXPECT_FALSE(TakeNewOlcResult().has_value());

    // Nothing changes: no search, so no new result.
    const std::uint32_t searches = block->searches;
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(block->searches, searches);
    EXPECT_FALSE(TakeNewOlcResult().has_value());

    // The closing point moves.
    MoveCurrentPosition(0.0, -40.0 / kKmPerRadian);
    ASSERT_TRUE(WaitForResult(*block, CopyMapFix(), 4));

    // A new trail point.
    const std::uint32_t before = block->searches;
    const WaypointRecord fix = East(50.0);
    AddOlcPoint(&fix);
    EXPECT_TRUE(test_support::WaitUntil([&] { return block->searches > before; }));
    ASSERT_TRUE(WaitForResult(*block, CopyMapFix(), 4));
}

TEST_F(OlcWorkerTest, TakesSettingsAndTheDestinationWhileRunning) {
    const auto block = StartRunning();
    for (const double km : {0.0, 10.0, 25.0, 12.0, 40.0}) {
        const WaypointRecord fix = East(km);
        AddOlcPoint(&fix);
    }
    ASSERT_TRUE(WaitForResult(*block, CopyMapFix(), 4));

    WaypointRecord destination = East(100.0);
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        g_destination = destination;
    }
    g_destinationValid = 1;
    ApplyOlcSettings({100, 100, 0, 0, 0, 0, 0, 0}, true);
    {
        const platform::CriticalSectionLock lock(block->lock);
        EXPECT_EQ(block->legCount, 2);
        EXPECT_TRUE(block->toDestination);
    }
    const auto expected =
        OptimiseOlcDistance(TrailOf(*block), destination, {100, 100, 0, 0, 0, 0, 0, 0}, 2);
    const auto km = static_cast<float>(expected->value / 100.0);
    EXPECT_TRUE(test_support::WaitUntil([km] {
        const auto result = TakeNewOlcResult();
        return result && *result == km;
    }));
}

TEST_F(OlcWorkerTest, ANewStartOwnsItsOwnBlock) {
    StartOlcThread();
    std::shared_ptr<OlcControlBlock> first = CurrentOlcControl();
    StartOlcThread();
    const std::shared_ptr<OlcControlBlock> second = CurrentOlcControl();
    ASSERT_NE(first, second);
    EXPECT_TRUE(first->stop && first->abandon);
    EXPECT_FALSE(second->stop || second->abandon);

    // The first worker ends and lets go of its block; the second runs on.
    ASSERT_TRUE(test_support::WaitUntil([&first] { return first.use_count() == 1; }));
    EXPECT_TRUE(first->notRunning);
    EXPECT_EQ(CurrentOlcControl(), second);
    ASSERT_TRUE(test_support::WaitUntil([&second] { return !second->notRunning; }));
    const WaypointRecord fix = East(1.0);
    AddOlcPoint(&fix);
    EXPECT_EQ(TrailOf(*second).size(), 1U);
    EXPECT_TRUE(TrailOf(*first).empty());
}

TEST_F(OlcWorkerTest, AStopDuringASearchStoresNoResult) {
    // A long first search (3000 points, 8 legs) on a block of the test's own.
    ApplyOlcSettings({100, 100, 100, 100, 100, 100, 100, 100}, false);
    auto block = std::make_shared<OlcControlBlock>();
    block->legCount = 8;
    for (int i = 0; i < 3000; ++i)
        block->points.push_back(East(0.5 * i, 20.0 * std::sin(i * 0.01)));
    std::thread worker([&block] { EXPECT_EQ(OlcThreadProc(block), 30); });
    ASSERT_TRUE(test_support::WaitUntil([&block] { return !block->notRunning; }));
    block->abandon = true;
    block->stop = true;
    { const platform::CriticalSectionLock lock(block->lock); }
    block->wake.notify_all();
    worker.join();
    EXPECT_FALSE(block->resultValid);
    EXPECT_EQ(block->searches, 0U);
    EXPECT_TRUE(block->notRunning);
    EXPECT_EQ(OlcThreadProc(nullptr), 31);
}

TEST_F(OlcWorkerTest, StartsAndStopsWhileOthersAddPointsAndReadResults) {
    std::atomic<bool> done{false};
    std::thread adder([&done] {
        for (int i = 0; !done; ++i) {
            const WaypointRecord fix = East(1.5 * (i % 200));
            AddOlcPoint(&fix);
            MoveCurrentPosition(0.0, -0.1 * (i % 50) / kKmPerRadian);
        }
    });
    std::thread reader([&done] {
        while (!done) {
            static_cast<void>(TakeNewOlcResult());
            if (const auto block = CurrentOlcControl()) static_cast<void>(block->searches.load());
        }
    });
    for (int round = 0; round < 40; ++round) {
        StartOlcThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        if (round % 3 == 0) StopOlcThread();
    }
    done = true;
    adder.join();
    reader.join();
}

}  // namespace
}  // namespace nav
