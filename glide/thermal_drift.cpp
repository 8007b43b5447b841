#include "glide/thermal_drift.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "platform/numbers.h"
#include "platform/ui_post.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace glide {
namespace {

constexpr double kHalfWindow = 100.0;        // degrees either side of the reference
constexpr float kMinimumGroundSpeed = 3.0F;  // knots
constexpr float kForgetPerCircle = 0.6F;     // the fit's memory of earlier circles
constexpr double kDriftSingular = 1e-12;
constexpr double kDriftFeetPerNauticalMile = 6076.0;
constexpr double kDriftDegreesPerRadian = 180.0 / 3.14159265358979323846;

using Matrix3 = std::array<std::array<float, 3>, 3>;
using Vector3 = std::array<float, 3>;

struct DriftState {
    double reference = 0.0;  // degrees
    double low = 0.0;
    double high = 0.0;
    int lastDirection = 0;  // of the last crossing: +1, -1, 0
    bool wasBelow = false;
    bool wasAbove = false;
    bool armed = false;  // the track has left the window since the last count
    bool entryRecorded = false;
    float entryTime = 0.0F;
    float entryAltitude = 0.0F;
    double latitudeSum = 0.0;
    double lonWestSum = 0.0;
    int positionCount = 0;
    DriftReferencePoint referencePoint{0.0, 0.0};
    bool referenceValid = false;
    Matrix3 m{};
    Vector3 r{};
    DriftEstimate drift;
};

DriftState& State() {
    static DriftState state;
    return state;
}

int CircleCounterStart() {
    return -1 - core::g_initCircles;
}

// x in the half-window from `from` to `to`, across 360 where it wraps.
bool InHalfWindow(double x, double from, double to, bool includeEnd) {
    const bool beforeEnd = includeEnd ? x <= to : x < to;
    return from <= to ? x >= from && beforeEnd : x >= from || beforeEnd;
}

// The square root of the air density ratio at the mean altitude k (in
// thousands of feet): climbs measured by the GPS are true, the vario's are
// indicated.
double DensityCorrection(double k) {
    return 1.0 - 0.014633 * k + 5.63038e-5 * k * k;
}

std::optional<Vector3> Solve(const Matrix3& m, const Vector3& r) {
    const double a = m[0][0], b = m[0][1], c = m[0][2];
    const double d = m[1][0], e = m[1][1], f = m[1][2];
    const double g = m[2][0], h = m[2][1], i = m[2][2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (!(std::fabs(det) > kDriftSingular)) return std::nullopt;
    // s = adj(M) r / det.
    const std::array<std::array<double, 3>, 3> adjugate{{
        {e * i - f * h, c * h - b * i, b * f - c * e},
        {f * g - d * i, a * i - c * g, c * d - a * f},
        {d * h - e * g, b * g - a * h, a * e - b * d},
    }};
    Vector3 s{};
    for (int row = 0; row < 3; ++row) {
        double sum = 0.0;
        for (int col = 0; col < 3; ++col)
            sum += adjugate[row][col] * r[col];
        s[row] = static_cast<float>(sum / det);
    }
    return s;
}

// The track's unit components in the frame of the wind vectors: north, east.
void AddFitSample(DriftState& state, const DriftFix& fix) {
    const double track = fix.trackDegrees / kDriftDegreesPerRadian;
    const Vector3 u{1.0F, static_cast<float>(std::cos(track)), static_cast<float>(std::sin(track))};
    for (int row = 0; row < 3; ++row) {
        state.r[row] += fix.groundSpeed * u[row];
        for (int col = 0; col < 3; ++col)
            state.m[row][col] += u[row] * u[col];
    }
}

std::optional<float> ThermalClimb(const DriftState& state, const DriftFix& fix) {
    if (!(state.entryTime < fix.time)) return std::nullopt;
    const double feetPerHour = (fix.altitude - state.entryAltitude) / (fix.time - state.entryTime);
    const double k = (state.entryAltitude + fix.altitude) / 2000.0;
    return static_cast<float>(feetPerHour / kDriftFeetPerNauticalMile * DensityCorrection(k));
}

// Solves the fit; the drift goes to DriftText and, with enough air speed,
// becomes the wind.
std::optional<DriftWind> SolveDrift(DriftState& state, const DriftFix& fix) {
    const auto s = Solve(state.m, state.r);
    if (!s) return std::nullopt;  // the previous text stays
    // The ground speed falls by the wind component along the track: the
    // fitted components are minus the wind vector.
    const double x = -(*s)[1];
    const double y = -(*s)[2];
    const double speed = std::hypot(x, y);
    // Degrees in [0, 360), also once narrowed to a float.
    double direction = std::atan2(y, x) * kDriftDegreesPerRadian;
    if (direction < 0.0) direction += 360.0;
    if (static_cast<float>(direction) >= 360.0F) direction = 0.0;
    state.drift = {speed, direction};

    const DisplayUnit unit = CurrentSpeedUnit();
    DriftText.Set(platform::FormatC(L"DRFT: %5.1lf%ls %3.0lft", speed * unit.factor,
                                    std::wstring(unit.name).c_str(), direction));
    if (!((*s)[0] >= gps::g_windMinimumSpeed)) return std::nullopt;
    return DriftWind{static_cast<float>(x), static_cast<float>(y), static_cast<float>(speed),
                     static_cast<float>(direction), fix.time};
}

// One more full circle. True when the map should zoom into the thermal.
bool CompleteCircle(DriftState& state, const DriftFix& fix, DriftUpdate& update) {
    const int counter = ++g_circleCounter;
    if (!state.entryRecorded) {
        state.entryRecorded = true;
        state.entryTime = fix.time;
        state.entryAltitude = fix.altitude;
    }
    g_driftValid = 1;
    if (counter > g_initCirclesMacCready + CircleCounterStart()) g_thermalEstablished = 1;
    const bool zoom = counter == 0 && core::g_autoZoom != 0;
    if (counter >= 0) update.thermalClimb = ThermalClimb(state, fix);

    update.wind = SolveDrift(state, fix);

    for (auto& row : state.m) {
        for (float& value : row)
            value *= kForgetPerCircle;
    }
    for (float& value : state.r)
        value *= kForgetPerCircle;
    if (state.positionCount > 0) {
        state.referencePoint = {state.latitudeSum / state.positionCount,
                                state.lonWestSum / state.positionCount};
        state.referenceValid = true;
    }
    state.latitudeSum = 0.0;
    state.lonWestSum = 0.0;
    state.positionCount = 0;
    state.armed = false;
    return zoom;
}

}  // namespace

DriftUpdate UpdateDrift(const DriftFix& fix) {
    DriftUpdate update;
    if (!(fix.groundSpeed >= kMinimumGroundSpeed)) return update;
    bool zoom = false;
    {
        const platform::CriticalSectionLock lock(DriftLock);
        DriftState& state = State();
        const double track = fix.trackDegrees;
        const bool below = InHalfWindow(track, state.low, state.reference, false);
        const bool above = InHalfWindow(track, state.reference, state.high, true);

        bool counts = false;
        if (state.wasBelow && above) {
            counts = state.lastDirection != 1;
            state.lastDirection = -1;
        } else if (state.wasAbove && below) {
            counts = state.lastDirection != -1;
            state.lastDirection = 1;
        }
        if (counts && state.armed) zoom = CompleteCircle(state, fix, update);

        state.wasBelow = below;
        state.wasAbove = above;
        if (!below && !above) state.armed = true;

        state.latitudeSum += fix.latitude;
        state.lonWestSum += fix.lonWest;
        ++state.positionCount;
        if (g_circleCounter >= -1) AddFitSample(state, fix);
    }
    if (zoom)
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 1);
    return update;
}

void ResetDriftEstimate(double trackDegrees) {
    const platform::CriticalSectionLock lock(DriftLock);
    DriftState& state = State();
    state.reference = trackDegrees;
    state.low = trackDegrees - kHalfWindow;
    if (state.low < 0.0) state.low += 360.0;
    state.high = trackDegrees + kHalfWindow;
    if (state.high >= 360.0) state.high -= 360.0;
    g_circleCounter = CircleCounterStart();
    state.lastDirection = 0;
    state.wasBelow = false;
    state.wasAbove = false;
    state.armed = false;
    state.drift = {};
    g_driftValid = 0;
    state.m = {};
    state.r = {};
    DriftText.Set(L"DRFT:  ---   ---");
}

void RestartDriftReference(double latitude, double lonWest) {
    const platform::CriticalSectionLock lock(DriftLock);
    DriftState& state = State();
    state.latitudeSum = 0.0;
    state.lonWestSum = 0.0;
    state.positionCount = 0;
    state.referencePoint = {latitude, lonWest};
    state.referenceValid = false;
}

void ClearThermalEntry() {
    const platform::CriticalSectionLock lock(DriftLock);
    State().entryRecorded = false;
}

std::optional<DriftReferencePoint> DriftReference() {
    const platform::CriticalSectionLock lock(DriftLock);
    const DriftState& state = State();
    if (!state.referenceValid) return std::nullopt;
    return state.referencePoint;
}

DriftEstimate CurrentDrift() {
    const platform::CriticalSectionLock lock(DriftLock);
    return State().drift;
}

}  // namespace glide
