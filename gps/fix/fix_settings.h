#pragma once
// Settings the fix commit reads that no settings header declares yet: the
// compass page's tolerances of straight and steady flight ("Settings\Compass")
// and the wind method ("Settings\Winds" "Method"). The option pages and the
// settings loader write them while the port reader reads them, hence
// atomics. Rates are per hour, because fix times are in hours.

#include <atomic>

namespace gps {

// "TurnTolerance": course change of straight flight, degrees per hour.
inline std::atomic<float> g_turnTolerance{3.0F * 3600.0F};
// "SpeedTolerance": speed change of steady flight, knots per hour.
inline std::atomic<float> g_speedTolerance{3.0F * 3600.0F};
// "SpeedMinimum" / "SpeedMaximum": steady flight lies between them, knots.
inline std::atomic<float> g_speedMinimum{40.0F};
inline std::atomic<float> g_speedMaximum{85.0F};

// "Method": how the wind is found.
enum class WindMethod : int {
    kNone = 0,
    kHeading = 2,          // heading and ground velocity at two tracks
    kAirspeedFit = 3,      // fit of true airspeed and ground velocity
    kHeadingAirspeed = 4,  // heading, true airspeed and ground velocity
};
inline std::atomic<WindMethod> g_windMethod{WindMethod::kNone};

}  // namespace gps
