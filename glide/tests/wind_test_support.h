#pragma once
// A glider flying through a known wind: what its airspeed, heading and
// ground velocity are at each heading.

#include <cmath>
#include <numbers>

#include "glide/heading_wind.h"
#include "glide/wind_fit.h"

namespace glide::testing {

inline constexpr double kRadian = std::numbers::pi / 180.0;

struct KnownWind {
    double fromDegrees;
    double speed;  // knots
};

// One moment of straight flight on a true heading at an airspeed.
struct Moment {
    double heading;  // degrees
    double airspeed;
    double north;  // ground velocity, knots
    double east;

    double Track() const {
        const double track = std::atan2(east, north) / kRadian;
        return track < 0.0 ? track + 360.0 : track;
    }
    double GroundSpeed() const { return std::hypot(north, east); }

    WindSample Sample(float timeHours, float altitude = 3000.0F) const {
        WindSample sample;
        sample.tas = static_cast<float>(airspeed);
        sample.groundSpeed = static_cast<float>(GroundSpeed());
        sample.track = static_cast<float>(Track());
        sample.altitude = altitude;
        sample.time = timeHours;
        return sample;
    }
    HeadingWindInput Heading(float timeHours = 0.0F) const {
        return {static_cast<float>(north),
                static_cast<float>(east),
                static_cast<float>(std::cos(heading * kRadian)),
                static_cast<float>(std::sin(heading * kRadian)),
                Track() * kRadian,
                3000.0F,
                timeHours};
    }
};

// The air moves away from where the wind comes from.
inline Moment Fly(const KnownWind& wind, double heading, double airspeed) {
    return {heading, airspeed,
            airspeed * std::cos(heading * kRadian) - wind.speed * std::cos(wind.fromDegrees * kRadian),
            airspeed * std::sin(heading * kRadian) -
                wind.speed * std::sin(wind.fromDegrees * kRadian)};
}

// Degrees between two directions, the short way.
inline double AngleBetween(double a, double b) {
    const double d = std::fabs(std::fmod(a - b, 360.0));
    return d > 180.0 ? 360.0 - d : d;
}

// The direction (degrees) of a wind vector.
inline double DirectionOf(double north, double east) {
    const double d = std::atan2(east, north) / kRadian;
    return d < 0.0 ? d + 360.0 : d;
}

}  // namespace glide::testing
