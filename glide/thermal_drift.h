#pragma once
// The thermal drift estimator: while the glider circles, it counts full
// circles by the track crossing a reference direction, measures the climb
// of the thermal since its first circle, and fits the ground speed around
// the circle to a constant air speed plus a drift vector, the wind.
//
// The fix commit (port reader or replay thread) feeds every circling fix
// through UpdateDrift; the map view and the position page reset the thermal
// on the UI thread. The estimator's state is guarded by DriftLock.

#include <atomic>
#include <optional>

#include "platform/critical_section.h"

namespace glide {

inline platform::CriticalSection DriftLock;

// A drift estimate exists for this thermal (set at each completed circle,
// cleared by the fix commit when circling ends).
inline std::atomic<int> g_driftValid{0};
// The thermal has lasted more than "initCirclesMacCready" counted circles.
inline std::atomic<int> g_thermalEstablished{0};

// What the estimator needs of one fix.
struct DriftFix {
    double trackDegrees = 0.0;  // true, [0, 360)
    float groundSpeed = 0.0F;   // knots
    double latitude = 0.0;      // radians
    double lonWest = 0.0;       // radians, positive west
    float altitude = 0.0F;      // feet
    float time = 0.0F;          // fix time, hours
};

// A drift fit good enough to be the wind. x and y point to where the wind
// comes from: x = north = speed cos(direction), y = east = speed sin(direction).
struct DriftWind {
    float x = 0.0F;
    float y = 0.0F;
    float speed = 0.0F;             // knots
    float directionDegrees = 0.0F;  // [0, 360), where the wind comes from
    float time = 0.0F;              // fix time of the estimate, hours
};

// What a fix gives the fix record back.
struct DriftUpdate {
    std::optional<float> thermalClimb;  // knots, since the thermal's first circle
    std::optional<DriftWind> wind;
};

// Per fix while circling (or while the map shows the thermal); nothing
// happens below 3 kt ground speed.
DriftUpdate UpdateDrift(const DriftFix& fix);

// A new thermal, or a reset by the pilot: the reference direction becomes
// the track, the circle counter its start value (-1 - "InitCircles"), the
// fit and the drift are cleared and DriftText shows "DRFT:  ---   ---".
void ResetDriftEstimate(double trackDegrees);

// Clears the position sums and takes the position as the drift reference,
// not yet valid.
void RestartDriftReference(double latitude, double lonWest);

// The next completed circle records the thermal's entry time and altitude
// (the fix commit calls this on entering circling).
void ClearThermalEntry();

struct DriftReferencePoint {
    double latitude;
    double lonWest;
};
// The mean position of the last completed circle, once there is one.
std::optional<DriftReferencePoint> DriftReference();

struct DriftEstimate {
    double speed = 0.0;             // knots
    double directionDegrees = 0.0;  // where the air comes from
};
// The last drift solution (zero after a reset).
DriftEstimate CurrentDrift();

}  // namespace glide
