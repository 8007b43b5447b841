// What the per-fix pass hands the position page for its profile and its
// cycling field: the leg's profile with the glides planned over it, the
// first leg's length for the track profile, and the destination's distance.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "fix/tests/nav_texts_support.h"
#include "glide/glide_context.h"
#include "glide/glide_path.h"
#include "nav/tests/task_test_support.h"
#include "texts/display_units.h"

namespace gps::testing {
namespace {

class FlatModel final : public core::ElevationModel {
  public:
    std::optional<float> GetElevationAt(double, double) const override { return 200.0F; }
    double SampleStepKm() const override { return 0.3; }
};

// The position page with its profile open.
class ProfileOpenLinks final : public DisplayLinks {
  public:
    bool ProfileModeOn() const override { return true; }
};

class ProfileHandoverTest : public ::testing::Test {
  protected:
    // The pass starts its work with the third fix; the last one is at
    // `latitude`, 4000 ft, flying north.
    static void FlyTo(double latitude) {
        for (const double back : {0.02, 0.01, 0.0}) {
            PublishAndRun({.latitude = latitude - back, .altitude = 4000.0F});
        }
    }

    void SetUp() override {
        previous_ = SetDisplayLinks(std::make_shared<ProfileOpenLinks>());
        UseStandardClassPolar();
        core::SetElevationModel(std::make_shared<FlatModel>());
        core::g_unitDist = 2;
        nav::WaypointRecord first = nav::testing::At(47.05, 8.0, L"First");
        first.altitude = 1000.0F;
        first.altitudeKnown = true;
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_destination = first;
        nav::g_destinationValid = 1;
    }
    void TearDown() override {
        SetDisplayLinks(previous_);
        core::g_unitDist = 0;
        glide::QueueRouteFirstLegKm = -1.0F;
        const platform::CriticalSectionLock lock(glide::GlidePathLock);
        glide::GlidePathProfile = {};
    }

    NavTextsScope scope_;
    std::shared_ptr<DisplayLinks> previous_;
};

TEST_F(ProfileHandoverTest, TheLegProfileCarriesItsPlannedGlides) {
    glide::g_driftValid = 1;  // the leg's profile is handed over only then
    FlyTo(46.98);

    const float legKm = 0.07F * 111.2F;
    EXPECT_NEAR(glide::QueueRouteFirstLegKm.load(), legKm, 0.1F);
    EXPECT_EQ(glide::DestinationDistanceText.Get(),
              platform::FormatC(L"%03.1fkm", double{glide::QueueRouteFirstLegKm.load()}));
    {
        const platform::CriticalSectionLock lock(glide::GlidePathLock);
        const glide::ProfileCopy& copy = glide::GlidePathProfile;
        ASSERT_TRUE(copy.ready);
        EXPECT_GE(copy.samples.size(), 2U);
        EXPECT_NEAR(copy.legKm, legKm, 0.1F);
        EXPECT_FLOAT_EQ(copy.distanceKm, copy.legKm);
        // Some hundreds of feet for 8 km at any sensible glide, nothing on a
        // second leg.
        EXPECT_GT(copy.margins[0], 100.0F);
        EXPECT_LT(copy.margins[0], 2000.0F);
        EXPECT_FLOAT_EQ(copy.margins[1], 0.0F);
    }
    bool posted = false;
    for (const auto& record : scope_.Posts().Records()) {
        posted = posted || (record.window == platform::kPosViewWindow &&
                            record.message == platform::WM_USER_MAPNEWFIX && record.wParam == 1);
    }
    EXPECT_TRUE(posted);
}

TEST_F(ProfileHandoverTest, WithoutADestinationThereIsNoFirstLeg) {
    FlyTo(46.98);
    EXPECT_GT(glide::QueueRouteFirstLegKm.load(), 0.0F);
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_destinationValid = 0;
    }
    PublishAndRun({.latitude = 46.99, .altitude = 4000.0F});
    EXPECT_LT(glide::QueueRouteFirstLegKm.load(), 0.0F);
}

}  // namespace
}  // namespace gps::testing
