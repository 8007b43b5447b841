// Circling, straight and steady flight, and the drift update while circling.
#include <cmath>

#include "glide/thermal_drift.h"
#include "glide/heading_wind.h"
#include "fix/commit_steps.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "platform/ui_post.h"

namespace gps::commit {
namespace {

// Circling starts only above this ground speed, knots.
constexpr float kCirclingSpeed = 10.0F;

void StartCircling(const GpsFixRecord& fix) {
    glide::ResetDriftEstimate(fix.trueCourse);
    glide::RestartDriftReference(fix.latitude, fix.longitude);
    glide::ClearThermalEntry();
    platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_APP_CIRCLING, 0, 1);
}

void EndCircling(FlightState& flight) {
    const bool thermalClimbed =
        CurrentNav()->thermalClimbKnown && glide::g_thermalEstablished.load() != 0;
    platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_APP_CIRCLING,
                                thermalClimbed ? 1 : 0, 0);
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 0);
    glide::g_thermalEstablished = 0;
    flight.circling = false;
    ++flight.circlingEnds;
    if (glide::g_driftValid.exchange(0) != 0) glide::ResetHeadingWind();
}

void TestCircling(const GpsFixRecord& fix, CommitState& state, double courseChange,
                  float interval) {
    const double turnLimit = interval * static_cast<double>(g_turnTolerance.load());
    const bool straight = courseChange < turnLimit;
    const float speed = fix.groundSpeed;
    const bool steady = straight && g_speedMinimum.load() < speed &&
                        speed < g_speedMaximum.load() &&
                        std::fabs(speed - state.averagedSpeed) < interval * g_speedTolerance.load();
    FlightState& flight = state.flight;
    flight.straight = straight;
    flight.steady = steady;

    const float t = fix.fixTime;
    if (courseChange <= interval * static_cast<double>(g_minCirclingRate.load())) {
        if (t >= state.lastTurnTime + g_thermalSearchTime.load() && flight.circling)
            EndCircling(flight);
        return;
    }
    state.lastTurnTime = t;
    if (speed > kCirclingSpeed) {
        if (!flight.circling) StartCircling(fix);
        flight.circling = true;
    }
}

void UpdateDrift(GpsFixRecord& fix) {
    const glide::DriftUpdate update =
        glide::UpdateDrift({fix.trueCourse, fix.groundSpeed, fix.latitude, fix.longitude,
                            fix.gpsAltitude, fix.fixTime});
    if (update.thermalClimb) {
        fix.thermalClimb = *update.thermalClimb;
        fix.valueMask |= value_bit::kThermalClimb;
    }
    if (update.wind) {
        const glide::DriftWind& wind = *update.wind;
        fix.instrumentWind = {wind.x,          wind.y,
                              wind.speed,      wind.directionDegrees,
                              wind.speed,      wind.speed * wind.speed,
                              fix.gpsAltitude, wind.time};
        fix.valueMask |= value_bit::kInstrumentWind;
    }
}

}  // namespace

void UpdateCircling(GpsFixRecord& fix, CommitState& state, double courseChange) {
    const float t = fix.fixTime;
    if (state.previousFixTime > 0.0F && state.previousFixTime < t)
        TestCircling(fix, state, courseChange, t - state.previousFixTime);
    state.previousFixTime = t;
    if (g_mapDriftUpdate.load() || state.flight.circling) UpdateDrift(fix);
}

}  // namespace gps::commit
