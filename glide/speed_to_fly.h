#pragma once
// Speeds to fly for a MacCready setting, with and without wind, and the
// glide ratio over the ground on a course.
//
// Units: speeds, climbs and sinks in knots; courses in radians true. Wind
// terms for a course: A = course - wind direction, w = wind speed x the
// airspeed factor (the polar is in indicated terms), head = cos A w,
// cross^2 = (1 - cos^2 A) w^2. At air speed v the ground speed is
// g(v) = sqrt(v^2 - cross^2) - head; the ground ratio is g / v.

#include "glide/glide_context.h"

namespace glide {

struct SpeedToFly {
    float speed = 0.0F;        // knots
    float groundRatio = 1.0F;  // ground speed / air speed
};

// The polar is used only while it is switched on and fitted.
inline bool PolarInUse(const GlidePolar& polar) {
    return polar.usePolar && polar.valid;
}

// The speed that minimises (sink + M) / ground speed on the course. Without
// wind (or useWind false) the still-air optimum sqrt((a + M) / c), even
// below the minimum speed; with it a bounded search (at most 21 steps and 21
// bisection rounds). M below 0 gives the minimum speed; a polar that is not
// valid gives the best-glide speed.
SpeedToFly SpeedToFlyForCourse(const GlideContext& context, double course, float macCready,
                               bool useWind);

// The speed command for an air mass: x is the MacCready value less the
// present total-energy climb. The still-air speed is the root of
// 2cv^2 + bv = x, at least the minimum speed; x below 0 gives the minimum
// speed.
SpeedToFly SpeedToFlyWind(const GlideContext& context, double course, float x, bool useWind);

// The speed to fly against a head wind (negative: tail wind) when the air
// climbs at `climb`: the root of (2cv + b)(v - H) = M - climb, at least the
// minimum speed; 1.25 x the minimum speed when there is no real root.
float WindSpeedToFly(const GlidePolar& polar, float climb, float macCready, float headWind);

// The glide ratio over the ground on the course at the speed to fly for
// macCready (the fixed glide ratio when the polar is not in use).
float GroundGlideRatio(const GlideContext& context, double course, bool useWind, float macCready);

}  // namespace glide
