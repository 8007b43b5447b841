#include "fix/fix_commit.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "glide/polar.h"
#include "fix/commit_steps.h"
#include "fix/fix_environment.h"
#include "gps/flight_log_records.h"
#include "gps/nav_fix.h"
#include "gps/port_reader.h"

namespace gps {

CommittedInstruments g_currentInstruments;
FlightState g_currentFlight;

namespace commit {
namespace {

constexpr float kKnotsPerFootPerHour = 0.00016458F;
// Altitudes closer in time than this (0.9 s) give no new climb.
constexpr float kMinimumClimbInterval = 0.00025F;
// A time of day that falls by more than this (hours) starts a new day; a
// smaller step back is a glitch of the source, not midnight.
constexpr float kDayRollover = 12.0F;

constexpr std::uint32_t kTimedSources =
    source_bit::kRmcCourse | source_bit::kGgaPosition | source_bit::kPositionOnly;
constexpr std::uint32_t kCourseSources = source_bit::kRmcCourse | source_bit::kVtg;

CommitState g_state;

// The fix time in hours since the first fix day.
void StampFixTime(GpsFixRecord& fix, CommitState& state) {
    if ((fix.sourceMask & kTimedSources) == 0) return;
    float t = 24.0F * static_cast<float>(state.dayCount) + static_cast<float>(fix.hours) +
              static_cast<float>(fix.minutes) / 60.0F + fix.seconds / 3600.0F;
    if (state.lastFixTime >= 0.0F && t < state.lastFixTime - kDayRollover) {
        ++state.dayCount;
        t += 24.0F;
    }
    state.lastFixTime = t;
    fix.fixTime = t;
    fix.valueMask |= value_bit::kFixTime;
}

struct Climb {
    float climb;
    float average;
};

// The climb since the last altitude of the series, when far enough apart in
// time; the average weighs the new climb by its interval over the averaging
// time. An average below noAverageBelow counts as none.
std::optional<Climb> NextClimb(ClimbHistory& history, float altitude, float time,
                               float noAverageBelow) {
    if (history.altitude < -9000.0F) {
        history = {altitude, time, kNoValue};
        return std::nullopt;
    }
    if (time < history.time - kDayRollover) history.time -= 24.0F;
    const float interval = time - history.time;
    if (!(interval > kMinimumClimbInterval)) return std::nullopt;
    const float climb = (altitude - history.altitude) / interval * kKnotsPerFootPerHour;
    float average = climb;
    if (history.average >= noAverageBelow) {
        const float weight = interval / AveragingTime();
        average = (weight * climb + history.average) / (weight + 1.0F);
    }
    history = {altitude, time, average};
    return Climb{climb, average};
}

void SetVario(GpsFixRecord& fix, float vario, float average) {
    const float density = CurrentNav()->densityFactor;
    fix.vario = vario * density;
    fix.averageVario = average * density;
    fix.valueMask |= value_bit::kVario | value_bit::kAverageVario;
}

void UpdateClimbs(GpsFixRecord& fix, CommitState& state) {
    if ((fix.valueMask & value_bit::kGpsAltitude) != 0) {
        if (const auto climb =
                NextClimb(state.gps, fix.gpsAltitude, fix.gpsAltitudeTime, -9000.0F)) {
            fix.gpsClimb = climb->climb;
            fix.averagedGpsClimb = climb->average;
        }
    }
    if (g_nmeaState.instruments.vario) return;
    if (g_nmeaState.pressureSource == 0) {
        if ((fix.valueMask & value_bit::kGpsAltitude) != 0 && state.gps.average >= -9000.0F)
            SetVario(fix, fix.gpsClimb, fix.averagedGpsClimb);
    } else if ((fix.valueMask & value_bit::kPressureAltitude) != 0) {
        if (const auto climb = NextClimb(state.pressure, fix.pressureAltitude,
                                         fix.pressureAltitudeTime, -100.0F)) {
            SetVario(fix, climb->climb, climb->average);
        }
    }
}

// An instrument that sends a vario but no average of its own.
void AverageInstrumentVario(GpsFixRecord& fix, CommitState& state) {
    const InstrumentFlags& delivered = g_nmeaState.instruments;
    if (!delivered.vario || delivered.averageVario || (fix.valueMask & value_bit::kVario) == 0)
        return;
    const float time = fix.instrumentTime;
    if (state.lastInstrumentTime > time + 1.0F) state.lastInstrumentTime -= 24.0F;
    if (!state.averageVarioKnown) {
        state.lastAverageVario = fix.vario;
        state.averageVarioKnown = true;
    } else if (time > state.lastInstrumentTime) {
        const float weight = (time - state.lastInstrumentTime) / AveragingTime();
        state.lastAverageVario = (weight * fix.vario + state.lastAverageVario) / (weight + 1.0F);
    } else {
        return;
    }
    state.lastInstrumentTime = time;
    fix.averageVario = state.lastAverageVario;
    fix.valueMask |= value_bit::kAverageVario;
}

// Smoothed and averaged speed and course; returns the course change from
// the averaged course, degrees (0 for the first course).
double UpdateCourse(GpsFixRecord& fix, CommitState& state) {
    state.courseValid = true;
    const float t = fix.fixTime;
    const float speed = fix.groundSpeed;
    if (state.lastCourseTime < 0.0F) {
        state.smoothedSpeed = speed;
    } else {
        const float interval = std::max(0.0F, t - state.lastCourseTime);
        const float tau = AveragingTime();
        state.smoothedSpeed = (interval * speed + state.smoothedSpeed * tau) / (tau + interval);
    }
    state.lastCourseTime = t;
    fix.smoothedGroundSpeed = state.smoothedSpeed;

    if (state.averagedCourse < -900.0) {
        state.averagedCourse = fix.trueCourse;
        state.averagedSpeed = speed;
        return 0.0;
    }
    double course = fix.trueCourse;
    double change = std::fabs(state.averagedCourse - course);
    if (change > 180.0) {
        course += 360.0;
        change = 360.0 - change;
    }
    state.averagedCourse = (course + state.averagedCourse) / 2.0;
    if (state.averagedCourse >= 360.0) state.averagedCourse -= 360.0;
    state.averagedSpeed = (state.averagedSpeed + speed) / 2.0F;
    return change;
}

void HandOver(GpsFixRecord& fix, const FlightState& flight) {
    {
        std::optional<platform::CriticalSectionLock> lock;
        if (fix.lock != nullptr) lock.emplace(*fix.lock);
        const std::uint32_t values = CurrentFix.valueMask;
        const std::uint32_t sources = CurrentFix.sourceMask;
        CurrentFix = fix;
        CurrentFix.valueMask |= values;
        CurrentFix.sourceMask |= sources;
        g_currentInstruments = {g_nmeaState.instrumentKind, g_nmeaState.instruments};
        g_currentFlight = flight;
        fix.valueMask = 0;
        fix.sourceMask = 0;
    }
    DataAvailableEvent.Set();
}

}  // namespace

float AveragingTime() {
    const float tau = glide::CurrentPolarSettings().varioAverageTime;
    return tau > 0.0F ? tau : 20.0F / 3600.0F;
}

}  // namespace commit

void InitGpsData() {
    InitGpsFixRecords(&FixLock);
    ResetFixCommit();
    ResetFixRecords();
    ResetNavFix();
    InstallFixEnvironment();
    SetGpsInputHandlers(DefaultGpsInputHandlers([] { LogAndCommitGpsFix(PendingFix); }));
}

void CommitGpsFix(GpsFixRecord& pending) {
    using namespace commit;
    GpsFixRecord& fix = pending;
    CommitState& state = g_state;
    StampFixTime(fix, state);
    UpdateClimbs(fix, state);
    AverageInstrumentVario(fix, state);
    if ((fix.sourceMask & kCourseSources) != 0) {
        const double change = UpdateCourse(fix, state);
        UpdateCircling(fix, state, change);
    }
    UpdateWind(fix, state);
    HandOver(fix, state.flight);
}

void LogAndCommitGpsFix(GpsFixRecord& pending) {
    WriteFixRecords(pending);
    CommitGpsFix(pending);
}

void ResetFixCommit() {
    commit::g_state = commit::CommitState{};
    const platform::CriticalSectionLock lock(FixLock);
    g_currentFlight = FlightState{};
}

}  // namespace gps
