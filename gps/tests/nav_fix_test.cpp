// The published snapshot: readers see each fix whole.
#include "gps/nav_fix.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace gps {
namespace {

// A reader never mixes the values of two fixes, however the publications
// fall between its reads; a reset brings back the load values.
TEST(NavSnapshotTest, AReaderSeesEveryValueFromOneFix) {
    ResetNavFix();
    constexpr int kFixes = 20000;
    std::atomic<bool> done{false};
    std::thread publisher([&done] {
        for (int i = 1; i <= kFixes; ++i) {
            ChangeNav([i](NavSnapshot& next) {
                next.speedKt = static_cast<float>(i);
                next.trackDeg = i;
                next.fixTimeHours = static_cast<float>(i);
                next.latRad = -i;
            });
        }
        done = true;
    });
    int mixed = 0;
    float last = 0.0F;
    int backwards = 0;
    while (!done.load()) {
        const std::shared_ptr<const NavSnapshot> fix = CurrentNav();
        if (fix->trackDeg != fix->speedKt || fix->fixTimeHours != fix->speedKt ||
            fix->latRad != -fix->trackDeg)
            ++mixed;
        if (fix->speedKt < last) ++backwards;
        last = fix->speedKt;
    }
    publisher.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_EQ(CurrentNav()->speedKt, static_cast<float>(kFixes));

    ResetNavFix();
    EXPECT_EQ(CurrentNav()->speedKt, 0.0F);
    EXPECT_EQ(CurrentNav()->gpsAltitude, kNoValue);
    EXPECT_EQ(CurrentNav()->autoQnhCorrection, kNoValue);
}

}  // namespace
}  // namespace gps
