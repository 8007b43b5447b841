// The per-fix pass on its own thread while the UI thread reads the texts,
// changes the destination, sets a wind and resets the queue texts: run
// under ThreadSanitizer, it must be clean.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fix/tests/nav_texts_support.h"
#include "nav/tests/task_test_support.h"

namespace gps::testing {
namespace {

TEST(NavTextsConcurrencyTest, ThePassRunsWhileTheUiReadsAndChangesWhatItUses) {
    NavTextsScope scope;
    nav::testing::TaskStateScope taskState;
    UseStandardClassPolar();
    const nav::WaypointRecord a = nav::testing::At(47.05, 8.0, L"A");
    const nav::WaypointRecord b = nav::testing::At(47.2, 8.1, L"B");
    nav::GoToWaypoint(a);
    nav::g_destinationValid = 1;

    std::atomic<bool> stop{false};
    std::thread fixThread([&stop] {
        PublishedFix fix{};
        for (int i = 0; i < 400 && !stop.load(); ++i) {
            fix.latitude = 47.0 + (i % 50) * 0.002;
            fix.track = (i * 7) % 360;
            PublishAndRun(fix);
        }
    });
    std::size_t seen = 0;
    for (int i = 0; i < 400; ++i) {
        for (const glide::DisplayText* text : glide::AllDisplayTexts())
            seen += text->Get().size();
        nav::GoToWaypoint(i % 2 == 0 ? b : a);
        glide::SetCurrentWind({static_cast<float>(i % 20), 1.0, true});
        core::g_windCorrection = i % 2;
        if (i % 50 == 0) ResetWaypointQueueTexts();
    }
    stop = true;
    fixThread.join();
    EXPECT_GT(seen, 0U);
}

}  // namespace
}  // namespace gps::testing
