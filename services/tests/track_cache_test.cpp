#include "services/track_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "core/settings_values.h"

namespace {

using core::TrackCacheRecord;

// Point i carries x = i and its attribute word i, so a read shows which
// append it came from and whether a record was torn.
TrackCacheRecord Point(int i) {
    const double v = i;
    return {v, -v, 2.0 * v, 0, 0};
}

int Append(int i) {
    core::g_trackAttribute = static_cast<std::uint32_t>(i);
    return core::TrackCacheAppend(Point(i));
}

void AppendRange(int first, int last) {
    for (int i = first; i <= last; ++i)
        Append(i);
}

struct Reading {
    std::vector<int> points;  // x of each record read, in reading order
    std::vector<int> results;
};

// Reads until the cache says no more follow, checking that each record is
// whole: the three numbers and the attribute word of one append.
Reading ReadAll(int direction) {
    Reading reading;
    TrackCacheRecord out;
    int result = core::TrackCacheFirst(out, direction);
    while (result >= 0) {
        EXPECT_EQ(out.y, -out.x);
        EXPECT_EQ(out.z, 2.0 * out.x);
        EXPECT_EQ(out.attribute, static_cast<std::uint32_t>(out.x));
        EXPECT_EQ(core::g_trackAttribute, out.attribute);
        reading.points.push_back(static_cast<int>(out.x));
        reading.results.push_back(result);
        if (result == 0) break;
        result = core::TrackCacheNext(out, direction);
    }
    return reading;
}

std::vector<int> Sequence(int from, int to) {
    std::vector<int> values;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1)
        values.push_back(i);
    return values;
}

class TrackCacheTest : public ::testing::Test {
  protected:
    void Allocate(int length, int interval = 1) {
        core::g_trackCacheLength = length;
        core::g_trackCacheSaveInterval = interval;
        ASSERT_EQ(core::TrackCacheAlloc(), 1);
    }

    void TearDown() override {
        core::TrackCacheFree();
        core::SetTrackCacheAllocator(nullptr);
        core::g_trackCacheLength = core::kTrackCacheDefaultLength;
        core::g_trackCacheSaveInterval = core::kTrackCacheDefaultSaveInterval;
    }
};

TEST_F(TrackCacheTest, TheSaveIntervalThinsThePositions) {
    struct Case {
        int interval;
        std::vector<int> stored;
    };
    const Case cases[] = {
        {3, {1, 4, 7, 10}},
        {1, Sequence(1, 10)},
        {0, {}},
        {-2, {1, 4, 7, 10}},  // not a usable interval: the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        Allocate(100, c.interval);
        std::vector<int> due;
        for (int i = 1; i <= 10; ++i)
            if (Append(i) == 1) due.push_back(i);
        EXPECT_EQ(due, c.stored);
        EXPECT_EQ(ReadAll(+1).points, c.stored);
    }
}

TEST_F(TrackCacheTest, AZeroIntervalRestartsTheCountSoTheNextPositionIsStored) {
    Allocate(100, 3);
    AppendRange(1, 2);  // 1 stored, 2 not due
    core::g_trackCacheSaveInterval = 0;
    EXPECT_EQ(Append(3), 0);
    core::g_trackCacheSaveInterval = 3;
    EXPECT_EQ(Append(4), 1);
    EXPECT_EQ(ReadAll(+1).points, (std::vector<int>{1, 4}));
}

TEST_F(TrackCacheTest, AWrappedRingKeepsEveryOneOfItsNewestRecords) {
    Allocate(8000);
    AppendRange(1, 8001);
    const Reading backwards = ReadAll(-1);
    EXPECT_EQ(backwards.points, Sequence(8001, 2));
    ASSERT_EQ(backwards.results.size(), 8000U);
    EXPECT_EQ(backwards.results.back(), 0);
    EXPECT_EQ(ReadAll(+1).points, Sequence(2, 8001));
}

TEST_F(TrackCacheTest, ReadsBothWaysAroundTheRingEdge) {
    struct Case {
        int appended;
        int oldestKept;
    };
    // Length 5: not full, exactly full (wrapped, writing at the start),
    // wrapped once, wrapped twice.
    for (const Case c : {Case{3, 1}, Case{5, 1}, Case{6, 2}, Case{12, 8}}) {
        SCOPED_TRACE(c.appended);
        Allocate(5);
        AppendRange(1, c.appended);
        EXPECT_EQ(ReadAll(-1).points, Sequence(c.appended, c.oldestKept));
        EXPECT_EQ(ReadAll(+1).points, Sequence(c.oldestKept, c.appended));
    }
}

TEST_F(TrackCacheTest, ResultsSayWhetherMoreFollowAndNothingIsReadPastTheEnd) {
    Allocate(5);
    AppendRange(1, 3);
    EXPECT_EQ(ReadAll(-1).results, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(ReadAll(+1).results, (std::vector<int>{1, 1, 0}));
    TrackCacheRecord out;
    out.x = -1.0;
    EXPECT_EQ(core::TrackCacheNext(out, +1), 0);  // the cursor stands at the write position
    EXPECT_EQ(out.x, -1.0);
}

TEST_F(TrackCacheTest, AnOffEmptyOrEmptiedCacheRefusesToRead) {
    TrackCacheRecord out;
    EXPECT_EQ(core::TrackCacheAppend(Point(1)), -1);  // never allocated
    EXPECT_EQ(core::TrackCacheFirst(out, -1), -1);
    EXPECT_EQ(core::TrackCacheNext(out, -1), -1);

    Allocate(5);
    EXPECT_EQ(core::TrackCacheFirst(out, -1), -1);  // empty
    AppendRange(1, 7);
    EXPECT_EQ(core::TrackCacheFirst(out, 0), -1);
    EXPECT_EQ(core::TrackCacheNext(out, 0), -1);

    EXPECT_EQ(core::TrackCacheFirst(out, -1), 1);
    core::TrackCacheReset();
    EXPECT_EQ(core::TrackCacheNext(out, -1), 0);  // a reading from before the reset
    EXPECT_EQ(core::TrackCacheFirst(out, -1), -1);
    AppendRange(8, 9);
    EXPECT_EQ(ReadAll(-1).points, (std::vector<int>{9, 8}));

    core::TrackCacheFree();
    EXPECT_EQ(core::TrackCacheAllocatedCount(), 0U);
    EXPECT_EQ(core::TrackCacheAppend(Point(10)), -1);
    EXPECT_EQ(core::TrackCacheFirst(out, -1), -1);
}

TEST_F(TrackCacheTest, AnUnusableLengthFallsBackToTheDefault) {
    for (const int length : {0, -1, -8000, core::kTrackCacheMaxLength + 1}) {
        SCOPED_TRACE(length);
        Allocate(length);
        EXPECT_EQ(core::TrackCacheAllocatedCount(), 8000U);
        EXPECT_EQ(core::g_trackCacheLength, 8000);
    }
    Allocate(1);
    AppendRange(1, 3);
    EXPECT_EQ(ReadAll(-1).points, (std::vector<int>{3}));
}

std::vector<std::size_t> g_tried;

std::unique_ptr<TrackCacheRecord[]> OnlyUpTo4000(std::size_t count) {
    g_tried.push_back(count);
    if (count > 4000) return nullptr;
    return std::make_unique<TrackCacheRecord[]>(count);
}

std::unique_ptr<TrackCacheRecord[]> Never(std::size_t count) {
    g_tried.push_back(count);
    return nullptr;
}

TEST_F(TrackCacheTest, AFailedAllocationHalvesTheLength) {
    g_tried.clear();
    core::SetTrackCacheAllocator(OnlyUpTo4000);
    Allocate(8000);
    EXPECT_EQ(g_tried, (std::vector<std::size_t>{8000, 4000}));
    EXPECT_EQ(core::g_trackCacheLength, 4000);
    EXPECT_EQ(core::TrackCacheAllocatedCount(), 4000U);
}

TEST_F(TrackCacheTest, WithNoMemoryAtAllTheCacheStaysOff) {
    g_tried.clear();
    core::SetTrackCacheAllocator(Never);
    core::g_trackCacheLength = 100;
    EXPECT_EQ(core::TrackCacheAlloc(), 0);
    EXPECT_EQ(g_tried, (std::vector<std::size_t>{100, 50, 25, 12, 6}));
    EXPECT_EQ(core::g_trackCacheLength, 100);
    EXPECT_EQ(core::TrackCacheAppend(Point(1)), -1);
}

// The fix thread appends while the track thread reads: no record is torn,
// a reading never yields more records than the ring holds nor repeats one,
// and reading never changes the attribute word the writer stores.
TEST_F(TrackCacheTest, AWriterAndAReaderShareTheRing) {
    constexpr int kLength = 64;
    constexpr int kPoints = 100000;
    Allocate(kLength);
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int i = 1; i <= kPoints; ++i)
            EXPECT_EQ(Append(i), 1);
        writing = false;
    });
    int readings = 0;
    while (writing || readings == 0) {
        const Reading reading = ReadAll(-1);
        ++readings;
        ASSERT_LE(reading.points.size(), static_cast<std::size_t>(kLength));
        std::vector<int> seen = reading.points;
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    }
    writer.join();
    TrackCacheRecord out;
    ASSERT_EQ(core::TrackCacheFirst(out, -1), 1);
    EXPECT_EQ(out.x, kPoints);
    EXPECT_EQ(ReadAll(-1).points, Sequence(kPoints, kPoints - kLength + 1));
}

}  // namespace
