#pragma once
// The current wind as the glide computer uses it. The wind estimator, the
// wind dialog and the instruments set it; the speed-to-fly and final-glide
// computations read it from several threads, so it is handed out as a copy
// taken under its lock.
//
// The direction is where the wind blows FROM: its vector has the north
// component speed * cos(direction) and the east component
// speed * sin(direction). A wind from the course being flown is a head wind.

#include <cmath>

namespace glide {

struct Wind {
    float speed = 0.0F;      // knots
    double direction = 0.0;  // radians true, where the wind comes from
    bool valid = false;

    float SpeedSquared() const { return speed * speed; }
    double North() const { return speed * std::cos(direction); }
    double East() const { return speed * std::sin(direction); }
};

Wind CurrentWind();
void SetCurrentWind(const Wind& wind);

}  // namespace glide
