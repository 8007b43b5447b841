#pragma once
// The altitude needed to glide a distance, from which arrival altitudes and
// final glides follow.
//
// Units: distances in kilometres, altitudes in feet, speeds in knots,
// courses and tracks in radians true. Every result includes the safety
// altitude ("PatternAltitude") on top of the base altitude.

#include <array>
#include <atomic>
#include <optional>

#include "glide/glide_context.h"

namespace glide {

// No altitude gets there (AltitudeRequired, AltitudeRequiredAtMacCready).
inline constexpr float kUnreachable = -10000.0F;
// No altitude gets there at that speed (AltitudeRequiredAtSpeed).
inline constexpr float kUnreachableAtSpeed = -1.0F;

// Index 0 without wind, 1 with wind: the time over the last leg that
// AltitudeRequiredAtMacCready computed (hours) and the MacCready-0 speed on
// its course (knots).
inline std::array<std::atomic<float>, 2> LegTime{};
inline std::array<std::atomic<float>, 2> LegBestSpeed{};
// The altitude the present excess speed over the minimum speed is worth
// (feet), as AltitudeRequired last computed it.
inline std::atomic<float> EnergyHeight{0.0F};

struct LegAltitude {
    float altitude = kUnreachable;
    float speed = 0.0F;         // the speed to fly on the leg
    float legTime = 0.0F;       // hours
    float legBestSpeed = 0.0F;  // the MacCready-0 speed on the course
};

// Gliding distanceKm on the course at the speed to fly for macCready; slot 1
// allows for the wind, slot 0 does not. Also stores LegTime[slot] and
// LegBestSpeed[slot].
LegAltitude AltitudeRequiredAtMacCready(const GlideContext& context, float distanceKm,
                                        float baseAltitude, double course, int slot,
                                        float macCready);

// Gliding distanceKm on the course at the given indicated air speed;
// kUnreachableAtSpeed when that speed makes no headway against the wind (or
// lies outside 1..1000 kt with the polar in use).
float AltitudeRequiredAtSpeed(const GlideContext& context, float distanceKm, float baseAltitude,
                              float speed, double course, bool useWind);

struct RequiredAltitude {
    float altitude = kUnreachable;
    // The speed to fly, given when the MacCready computation reports it.
    std::optional<float> speed;
};

// The altitude needed for distanceKm on the course. While circling, or in a
// mode other than 0, with a fitted polar: at the speed to fly (the MacCready
// in use with "useMCRforAlt" in modes 0 and 1, else MacCready 0; the speed
// is reported in modes 0 and 1 while a drift estimate exists). Otherwise at
// the present air speed (from the instrument, or from the ground speed and
// track with the wind), or at constantSpeed when "useConstantGlideSpeed" is
// on and it is above 0. Also stores EnergyHeight on that path.
RequiredAltitude AltitudeRequired(const GlideContext& context, float distanceKm, float baseAltitude,
                                  double course, float groundSpeed, double track, bool useWind,
                                  int mode, float constantSpeed);

}  // namespace glide
