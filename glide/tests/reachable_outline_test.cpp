// The reachable-outline worker: the ready and lost messages, restart, the
// fixed point count, drawing, and a prompt stop.
#include "glide/reachable_outline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "mapdata/grid_elevation_model.h"
#include "glide/settings_values.h"
#include "glide/tests/glide_test_support.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"

namespace glide {
namespace {

using namespace std::chrono_literals;
using testing::kDegree;

constexpr const char* kMaps = "Options\\Maps";

class ReachableOutlineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(""));
        platform::AppSettings().WriteInt(kMaps, "ShowReachableOutline", 1);
        ChangePolarSettings([](PolarSettings& s) { s.inUse = testing::StandardClassPolar(); });
        SetCurrentWind({});
        g_useDemInfo = 1;
        // Flat terrain at 200 m around 45.5 N 7.5 E.
        core::SetElevationModel(std::make_shared<mapdata::GridElevationModel>(
            mapdata::GridExtent{{6.5, 44.5, 8.5, 46.5}, 400, 400},
            std::vector<std::int16_t>(400 * 400, 200)));
    }
    void TearDown() override {
        core::SetElevationModel(nullptr);
        platform::SetAppSettings(nullptr);
    }

    // Installs the fix source and the message target.
    void Connect(CReachableOutline& outline) {
        outline.SetNotifyWindow(platform::kMapViewWindow);
        outline.SetFixSource([this] {
            return std::optional<OutlineFix>(
                OutlineFix{45.5 * kDegree, -7.5 * kDegree, altitude_.load(), true});
        });
    }

    // The lParams of the outline messages so far.
    std::vector<std::intptr_t> Messages() const {
        std::vector<std::intptr_t> found;
        for (const auto& record : posts_->Records()) {
            if (record.message == platform::WM_APP_REACH_READY &&
                record.window == platform::kMapViewWindow) {
                found.push_back(record.lParam);
            }
        }
        return found;
    }

    bool WaitForMessages(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (Messages().size() < count) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    platform::ScopedRecordingUiPost posts_;
    std::atomic<float> altitude_{4000.0F};
};

TEST_F(ReachableOutlineTest, ReadyThenLostOnceThenReadyAgain) {
    CReachableOutline outline;
    Connect(outline);
    outline.StartThread();
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(Messages(), (std::vector<std::intptr_t>{1}));
    const auto polygon = outline.Polygon();
    ASSERT_EQ(polygon.size(), 49U);  // 48 directions, closed
    EXPECT_EQ(polygon.front().latitude, polygon.back().latitude);

    // Too low to glide anywhere: the outline goes, and is reported lost once
    // however often the worker retries.
    altitude_ = 1000.0F;
    outline.Restart();
    ASSERT_TRUE(WaitForMessages(2));
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(Messages(), (std::vector<std::intptr_t>{1, 2}));
    EXPECT_TRUE(outline.Polygon().empty());

    altitude_ = 4000.0F;
    outline.Restart();
    ASSERT_TRUE(WaitForMessages(3));
    EXPECT_EQ(Messages(), (std::vector<std::intptr_t>{1, 2, 1}));
    EXPECT_TRUE(outline.StopThread(10));
}

TEST_F(ReachableOutlineTest, PointCountIsFixedForTheOutlinesLife) {
    platform::AppSettings().WriteInt(kMaps, "numberPointsOnOutline", 60);
    CReachableOutline outline;
    EXPECT_EQ(g_numberPointsOnOutline, 60);
    g_numberPointsOnOutline = 240;  // the options page changes the setting
    Connect(outline);
    outline.StartThread();
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(outline.PointCount(), 60);
    EXPECT_EQ(outline.Polygon().size(), 61U);
}

TEST_F(ReachableOutlineTest, OptionsAreReadWithTheirBounds) {
    auto& store = platform::AppSettings();
    store.WriteInt(kMaps, "ReachableUseDefaultMC", 0);
    store.WriteInt(kMaps, "ReachableDefaultMC", 2500);
    store.WriteInt(kMaps, "numberPointsOnOutline", 10);
    CReachableOutline few;
    EXPECT_EQ(few.PointCount(), 48);
    EXPECT_EQ(g_reachableUseDefaultMc, 0);
    EXPECT_FLOAT_EQ(g_reachableDefaultMc, 2.5F);
    store.WriteInt(kMaps, "numberPointsOnOutline", 100000);
    CReachableOutline many;
    EXPECT_EQ(many.PointCount(), 48);
    EXPECT_TRUE(many.Shown());
}

TEST_F(ReachableOutlineTest, NoTerrainLosesTheOutline) {
    core::SetElevationModel(nullptr);
    CReachableOutline outline;
    Connect(outline);
    outline.StartThread();
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(Messages(), (std::vector<std::intptr_t>{2}));
}

TEST_F(ReachableOutlineTest, HiddenOutlineWaitsAndDrawsBlack) {
    platform::AppSettings().WriteInt(kMaps, "ShowReachableOutline", 0);
    CReachableOutline outline;
    outline.CreateBitmap(200, 200);
    Connect(outline);
    // A projector that spreads the outline over the image.
    outline.SetProjector([](const OutlinePoint& p) {
        return std::optional<std::pair<double, double>>(
            {100.0 + (-p.lonWest / kDegree - 7.5) * 200.0,
             100.0 - (p.latitude / kDegree - 45.5) * 280.0});
    });
    outline.StartThread();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(Messages().empty());

    outline.SetShown(true);
    ASSERT_TRUE(WaitForMessages(1));
    const auto lit = [&outline] {
        int count = 0;
        outline.ReadBitmap([&count](const platform::Image& image) {
            for (int y = 0; y < image.Height(); ++y) {
                for (int x = 0; x < image.Width(); ++x)
                    count += image.Pixel(x, y) != 0xFF000000U;
            }
        });
        return count;
    };
    outline.Draw(false);
    EXPECT_GT(lit(), 100);
    outline.Draw(true);
    EXPECT_EQ(lit(), 0);
}

TEST_F(ReachableOutlineTest, StopsPromptlyInTheMiddleOfAPass) {
    CReachableOutline outline;
    Connect(outline);
    outline.StartThread();
    std::this_thread::sleep_for(50ms);  // some points into the first pass
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(outline.StopThread(10));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    // Stopping again, and destroying, are harmless.
    EXPECT_TRUE(outline.StopThread(10));
}

}  // namespace
}  // namespace glide
