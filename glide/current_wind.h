#pragma once
// The current wind as the glide computer uses it, and the lock that guards
// every piece of shared wind state: the current wind, the heading method's
// two lines (glide/heading_wind.h) and the wind history with its cursor
// (glide/wind_history.h).
//
// The wind estimator, the heading method, the instruments and the wind
// dialog set it; the speed-to-fly and final-glide computations read it from
// several threads, so it is handed out as a copy taken under WindLock.
//
// The direction is where the wind blows FROM: its vector has the north
// component speed * cos(direction) and the east component
// speed * sin(direction). A wind from the course being flown is a head wind.

#include <cmath>

#include "gps/gps_fix_record.h"
#include "platform/critical_section.h"

namespace glide {

struct Wind {
    float speed = 0.0F;      // knots
    double direction = 0.0;  // radians true, where the wind comes from
    bool valid = false;
    float altitude = 0.0F;  // feet, where the wind was taken
    float time = 0.0F;      // fix time in hours, when it was taken

    float SpeedSquared() const { return speed * speed; }
    double North() const { return speed * std::cos(direction); }
    double East() const { return speed * std::sin(direction); }
};

// Guards the current wind, the heading method's lines and the wind history.
// Taken before a display text's own lock; never held while waiting for a
// window or another thread.
inline platform::CriticalSection WindLock;

Wind CurrentWind();
void SetCurrentWind(const Wind& wind);

// The wind of a vector (north x, east y, knots): direction atan2(y, x) in
// [0, 2 pi), 0 for a zero vector.
Wind WindFromVector(double north, double east);

// The record form of a wind (direction in degrees, [0, 360)), and back.
gps::WindRecord ToWindRecord(const Wind& wind);
Wind FromWindRecord(const gps::WindRecord& record);

}  // namespace glide
