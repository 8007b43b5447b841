#pragma once
// The speed to fly toward where the glider is going, and its display text.

#include <atomic>
#include <functional>
#include <optional>

namespace glide {

// Speed to fly toward the destination (or the first detected waypoint), and
// on the leg after the next detected waypoint; knots.
inline std::atomic<float> StfSpeed{0.0F};
inline std::atomic<float> StfNextLegSpeed{0.0F};

// Where the glider is going, as the navigation sees it at one moment.
struct SpeedToFlyCourses {
    // Auto-detect mode: a detected-waypoint display is on, a first detected
    // waypoint exists and the task is navigated.
    bool autoDetect = false;
    bool twoLegs = false;  // auto-detect over two legs
    // Radians true. Outside auto-detect mode: from the position to the
    // destination, none without a valid destination. In auto-detect mode:
    // from the position to the second detected waypoint with two legs, else
    // to the first.
    std::optional<double> course;
    // Two legs: from the second detected waypoint to the first.
    double nextLegCourse = 0.0;
};

// The navigation installs the source at start-up; it answers nothing while
// the program has no fix (and nothing is computed then).
using SpeedToFlyCourseSource = std::function<std::optional<SpeedToFlyCourses>()>;
void SetSpeedToFlyCourseSource(SpeedToFlyCourseSource source);
bool SpeedToFlyCourseSourceInstalled();

// Recomputes StfSpeed (and StfNextLegSpeed) for macCready; outside
// auto-detect mode also SpeedToFlyValueText: "v:%01.0f" and the speed unit,
// with '>' as second character while a valid wind is allowed for, or
// "v: ---" below 1 kt.
void SpeedToFlyText(float macCready);

}  // namespace glide
