// The wind from the glider's own measurements, by the method chosen.
#include <cmath>
#include <numbers>

#include "glide/current_wind.h"
#include "glide/heading_wind.h"
#include "glide/wind_estimation.h"
#include "fix/commit_steps.h"
#include "gps/nav_fix.h"
#include "gps/nmea_parser_state.h"
#include "gps/settings_values.h"

namespace gps::commit {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// The wind page's minimum speed ("MinimumSOGstr", knots): below it no wind
// is taken.
float MinimumSpeed() {
    return g_windMinimumSpeed.load();
}

void TakeWind(GpsFixRecord& fix, const WindRecord& wind) {
    fix.instrumentWind = wind;
    fix.valueMask |= value_bit::kInstrumentWind;
}

// The heading and the ground velocity at two tracks more than the wind
// page's minimum turn ("MinimumTurn", degrees) apart. The first such fix
// always qualifies.
void HeadingMethod(GpsFixRecord& fix, CommitState& state) {
    if (!state.flight.steady || !CurrentNav()->headingValid || !state.courseValid ||
        !(fix.groundSpeed > MinimumSpeed())) {
        return;
    }
    const double minimumTurn = g_windMinimumTurn.load();
    const double course = fix.trueCourse;
    if (state.lastSampleCourse < 0.0) state.lastSampleCourse = minimumTurn + 1.0 + course;
    double turn = std::fabs(std::fmod(state.lastSampleCourse - course, 360.0));
    if (turn > 180.0) turn = 360.0 - turn;
    if (!(turn > minimumTurn)) return;
    const NmeaParserState& parser = g_nmeaState;
    const glide::HeadingWindInput input{parser.ground.north, parser.ground.east,
                                        parser.cosHeading,   parser.sinHeading,
                                        fix.trueCourseRad,   fix.gpsAltitude,
                                        fix.fixTime};
    WindRecord wind;
    if (glide::ComputeHeadingWind(input, wind) == glide::kHeadingWindGood) TakeWind(fix, wind);
    state.lastSampleCourse = course;
}

// True airspeed and ground velocity into the estimator, which fits the
// wind on its own thread once it has enough new samples.
void AirspeedFit(const GpsFixRecord& fix, const CommitState& state) {
    const std::shared_ptr<const NavSnapshot> published = CurrentNav();
    if (!published->trueAirspeedValid || !state.courseValid || state.flight.circling ||
        !(fix.trueAirspeed >= MinimumSpeed())) {
        return;
    }
    glide::WindSample sample;
    sample.tas = fix.trueAirspeed;
    sample.groundSpeed = fix.groundSpeed;
    sample.track = static_cast<float>(fix.trueCourse);
    sample.altitude = fix.gpsAltitude;
    sample.time = published->fixTimeHours;
    glide::CWindEstimator& estimator = glide::g_windEstimator;
    const int kept = estimator.AddWindSample(sample);
    if (kept < estimator.MinPointsInFit() ||
        estimator.NewSamples() < estimator.MinPointsToChange()) {
        return;
    }
    const glide::Wind current = glide::CurrentWind();
    estimator.StartFit(current.valid ? static_cast<float>(current.North()) : 0.0F,
                       current.valid ? static_cast<float>(current.East()) : 0.0F, 0);
}

// The wind is what the air velocity (true heading, true airspeed) lacks of
// the ground velocity: it points to where the wind comes from.
void HeadingAirspeed(GpsFixRecord& fix, const CommitState& state) {
    const NmeaParserState& parser = g_nmeaState;
    const float airspeed = fix.trueAirspeed;
    const std::shared_ptr<const NavSnapshot> published = CurrentNav();
    if (!state.flight.steady || !published->headingValid || !published->trueAirspeedValid ||
        !state.courseValid || !(airspeed >= MinimumSpeed())) {
        return;
    }
    const float north = airspeed * parser.cosHeading - parser.ground.north;
    const float east = airspeed * parser.sinHeading - parser.ground.east;
    const float speedSquared = north * north + east * east;
    const float speed = std::sqrt(speedSquared);
    double direction = std::atan2(east, north) * kDegreesPerRadian;
    if (direction < 0.0) direction += 360.0;
    if (direction >= 360.0) direction = 0.0;
    TakeWind(fix, {north, east, speed, static_cast<float>(direction), speed, speedSquared,
                   fix.gpsAltitude, fix.fixTime});
}

}  // namespace

void UpdateWind(GpsFixRecord& fix, CommitState& state) {
    const WindMethod method = g_windMethod.load();
    if (method == WindMethod::kNone ||
        (fix.sourceMask & static_cast<std::uint32_t>(g_windTriggerMask.load())) == 0) {
        return;
    }
    switch (method) {
        case WindMethod::kHeading:
            HeadingMethod(fix, state);
            break;
        case WindMethod::kAirspeedFit:
            AirspeedFit(fix, state);
            break;
        case WindMethod::kHeadingAirspeed:
            HeadingAirspeed(fix, state);
            break;
        case WindMethod::kNone:
        case WindMethod::kInstrument:  // the instrument sends its own wind
            break;
    }
}

}  // namespace gps::commit
