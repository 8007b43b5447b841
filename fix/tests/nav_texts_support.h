#pragma once
// Shared by the tests of the per-fix navigation texts: a clean start for
// the texts, the destination, the task and the published fix; a recording
// link for the map window, the position page and the sounds; one call that
// publishes a fix and runs the pass.

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "fix/display_links.h"
#include "fix/first_fix.h"
#include "fix/position_texts.h"
#include "fix/waypoint_queue_texts.h"
#include "glide/current_wind.h"
#include "glide/final_glide.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/waypoint_proximity.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "testing/units.h"
#include "texts/display_texts.h"

namespace gps::testing {

using test_support::kRadiansPerDegree;

class RecordingLinks final : public DisplayLinks {
  public:
    struct Zoom {
        float radiusKm;
        int mode;
    };
    void ZoomMap(const nav::WaypointRecord& /*target*/, float radiusKm, int mode) override {
        zooms.push_back({radiusKm, mode});
    }
    void InvalidatePositionPage() override { ++invalidations; }
    void PlaySound(std::wstring_view file) override { sounds.emplace_back(file); }
    bool CourseUpHoldsTrackText() const override { return courseUp; }

    std::vector<Zoom> zooms;
    std::vector<std::wstring> sounds;
    int invalidations = 0;
    bool courseUp = false;
};

// A standard-class polar in use.
inline void UseStandardClassPolar() {
    glide::ChangePolarSettings([](glide::PolarSettings& settings) {
        glide::GlidePolar& polar = settings.inUse;
        polar.a = 3.19F;
        polar.b = -0.0935F;
        polar.c = 0.001068F;
        polar.valid = true;
        polar.usePolar = true;
        polar.minimumSpeedFloor = 32.4F;
        polar.minimumSpeed = 37.8F;
        polar.minimumSpeedSink = polar.Sink(37.8F);
        polar.bestGlideSpeed = 54.65F;
    });
}

// Everything the passes read or keep, as at program load, with recording
// posts and links; put back on exit.
class NavTextsScope {
  public:
    NavTextsScope() : links_(std::make_shared<RecordingLinks>()) {
        Reset();
        previousLinks_ = SetDisplayLinks(links_);
    }
    ~NavTextsScope() {
        SetDisplayLinks(previousLinks_);
        Reset();
    }
    NavTextsScope(const NavTextsScope&) = delete;
    NavTextsScope& operator=(const NavTextsScope&) = delete;

    RecordingLinks& Links() { return *links_; }
    platform::RecordingUiPostBackend& Posts() { return *posts_; }

  private:
    static void Reset() {
        ResetNavFix();
        RestartFirstFix();
        ResetPositionTexts();
        ResetWaypointQueueTexts();
        glide::ResetDisplayTexts();
        glide::ResetFinalGlide();
        glide::SetCurrentWind({});
        glide::g_driftValid = 0;
        glide::g_glideDisplayMode = 0;
        glide::g_useDemInfo = 1;
        glide::g_showAltitudeDifference = 0;
        glide::g_autodetectRadius = 0.5F;
        core::SetElevationModel(nullptr);
        core::g_windCorrection = 0;
        core::g_useUtm = 0;
        core::g_decimalMinutes = 0;
        core::g_togString = 1;
        core::g_allowRotationToTog = 1;
        core::g_minimumMapRotationAngle = 30.0F;
        core::g_gearWarnAt = 700.0F;
        core::g_autoZoomWaypoint = 0;
        g_arrivalTestOn = true;
        g_positionTextsMask = 0;
        g_terrainElevation = kUnknownTerrain;
        nav::g_proximityState = 0;
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_destinationValid = 0;
        nav::g_activeTaskPoint = nullptr;
        nav::g_destination = nav::WaypointRecord{};
    }

    platform::ScopedRecordingUiPost posts_;
    std::shared_ptr<RecordingLinks> links_;
    std::shared_ptr<DisplayLinks> previousLinks_;
};

struct PublishedFix {
    double latitude = 47.0;  // degrees north
    double lonEast = 8.0;    // degrees east
    float altitude = 3000.0F;  // feet
    double track = 0.0;        // degrees true (= magnetic here)
    float speed = 50.0F;       // knots
    bool straight = true;
};

// Publishes the fix as the fix-processing thread would and runs the pass.
inline std::uint32_t PublishAndRun(const PublishedFix& f, bool replaying = false) {
    ChangeNav([&](NavSnapshot& nav) {
        nav.latRad = f.latitude * kRadiansPerDegree;
        nav.lonRad = -f.lonEast * kRadiansPerDegree;
        nav.gpsAltitude = f.altitude;
        nav.gpsAltitudeValid = 1;
        nav.trackDeg = f.track;
        nav.trackRad = f.track * kRadiansPerDegree;
        nav.magneticCourse = f.track;
        nav.speedKt = f.speed;
        nav.indicatedAirspeed = f.speed * nav.densityFactor;  // no instrument's airspeed
        nav.straightFlight = f.straight;
    });
    return UpdatePositionTexts(
        {value_bit::kPosition | value_bit::kGpsAltitude | value_bit::kCourseAndSpeed,
         source_bit::kRmcCourse | source_bit::kGgaPosition | source_bit::kGpsAltitude},
        replaying);
}

}  // namespace gps::testing
