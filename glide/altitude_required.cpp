#include "glide/altitude_required.h"

#include <cmath>

#include "glide/speed_to_fly.h"

namespace glide {
namespace {

constexpr double kKmPerNauticalMile = 1.852;
constexpr double kFeetPerNauticalMile = 6076.0;
constexpr double kFeetPerKm = 3280.8;
// v^2 / 2g in feet for v in knots.
constexpr double kFeetPerKnotSquared = 0.044;

// The air speed (true and indicated) behind the present flight.
struct AirSpeeds {
    double trueSpeed;
    double indicated;
};

std::optional<AirSpeeds> PresentAirSpeeds(const GlideContext& context, float groundSpeed,
                                          double track, bool useWind) {
    const double factor = context.air.airspeedFactor;
    if (context.air.instrumentAirspeed) {
        return AirSpeeds{context.air.indicatedAirspeed / factor, context.air.indicatedAirspeed};
    }
    if (useWind && context.wind.valid) {
        const double w = context.wind.speed;
        const double gs = groundSpeed;
        const double square =
            gs * gs + w * w + 2.0 * gs * w * std::cos(context.wind.direction - track);
        if (square <= 0.0) return std::nullopt;
        const double trueSpeed = std::sqrt(square);
        return AirSpeeds{trueSpeed, trueSpeed * factor};
    }
    return AirSpeeds{0.0, context.air.indicatedAirspeed};
}

void StoreEnergyHeight(const GlideContext& context, double indicated) {
    const GlidePolar& polar = context.polar;
    const double factor = context.air.airspeedFactor;
    double height = 0.0;
    if (PolarInUse(polar) && indicated > polar.minimumSpeed) {
        const double vMin = polar.minimumSpeed;
        height = (indicated * indicated - vMin * vMin) / (factor * factor) * kFeetPerKnotSquared *
                 context.altTeCompFactor;
    }
    EnergyHeight = static_cast<float>(height);
}

}  // namespace

LegAltitude AltitudeRequiredAtMacCready(const GlideContext& context, float distanceKm,
                                        float baseAltitude, double course, int slot,
                                        float macCready) {
    const int index = slot != 0 ? 1 : 0;
    const bool useWind = index == 1;
    const double base = baseAltitude + context.safetyAltitude;
    const SpeedToFly stf = SpeedToFlyForCourse(context, course, macCready, useWind);

    LegAltitude result;
    result.speed = stf.speed;
    result.legBestSpeed =
        macCready == 0.0F ? stf.speed : SpeedToFlyForCourse(context, course, 0.0F, useWind).speed;
    LegBestSpeed[index] = result.legBestSpeed;
    if (!(stf.groundRatio > 0.0F) || !(stf.speed > 0.0F)) return result;  // no headway

    const double sink = PolarInUse(context.polar) ? context.polar.Sink(stf.speed)
                                                  : stf.speed / context.polar.glideRatio;
    const double legTime = distanceKm / stf.groundRatio / kKmPerNauticalMile / stf.speed;
    result.legTime = static_cast<float>(legTime);
    result.altitude = static_cast<float>(legTime * kFeetPerNauticalMile * sink + base);
    LegTime[index] = result.legTime;
    return result;
}

float AltitudeRequiredAtSpeed(const GlideContext& context, float distanceKm, float baseAltitude,
                              float speed, double course, bool useWind) {
    const GlidePolar& polar = context.polar;
    const double base = baseAltitude + context.safetyAltitude;
    double sinkRatio = 1.0 / polar.glideRatio;
    if (PolarInUse(polar)) {
        if (speed < 1.0F || speed > 1000.0F) return kUnreachableAtSpeed;
        sinkRatio = polar.Sink(speed) / speed;
    }
    double groundRatio = 1.0;
    if (useWind && context.wind.valid) {
        const double vt = speed / context.air.airspeedFactor;
        const double w = context.wind.speed;
        const double h = -std::cos(course - context.wind.direction) * w;
        const double q = h * h + vt * vt - w * w;
        if (q < 0.0 || !(vt > 0.0)) return kUnreachableAtSpeed;
        groundRatio = (std::sqrt(q) + h) / vt;
        // A head wind at least as strong as the air speed: no headway.
        if (!(groundRatio > 0.0)) return kUnreachableAtSpeed;
    }
    return static_cast<float>(distanceKm / groundRatio * kFeetPerKm * sinkRatio + base);
}

RequiredAltitude AltitudeRequired(const GlideContext& context, float distanceKm, float baseAltitude,
                                  double course, float groundSpeed, double track, bool useWind,
                                  int mode, float constantSpeed) {
    const GlidePolar& polar = context.polar;
    if ((context.air.circling || mode != 0) && polar.valid) {
        const int slot = useWind ? 1 : 0;
        const bool atMacCready = context.useMcrForAlt && mode < 2;
        const LegAltitude leg =
            AltitudeRequiredAtMacCready(context, distanceKm, baseAltitude, course, slot,
                                        atMacCready ? context.macCready : 0.0F);
        RequiredAltitude result{leg.altitude, std::nullopt};
        if (mode < 2 && context.driftValid) result.speed = leg.speed;
        return result;
    }

    const double base = baseAltitude + context.safetyAltitude;
    const auto speeds = PresentAirSpeeds(context, groundSpeed, track, useWind);
    if (!speeds) return {};
    double trueSpeed = speeds->trueSpeed;
    double indicated = speeds->indicated;
    StoreEnergyHeight(context, indicated);

    double glideRatio = polar.glideRatio;
    if (PolarInUse(polar)) {
        if (context.useConstantGlideSpeed && constantSpeed > 0.0F) {
            indicated = constantSpeed;
            trueSpeed = constantSpeed / context.air.airspeedFactor;
        }
        if (indicated < polar.minimumSpeedFloor) return {};
        glideRatio = indicated / polar.Sink(static_cast<float>(indicated));
    }
    if (useWind && context.wind.valid) {
        const double w = context.wind.speed;
        const double h = std::cos(context.wind.direction - course) * w;
        if (h >= 0.0 && trueSpeed <= w) return {};
        const double q = trueSpeed * trueSpeed - w * w + h * h;
        if (q <= 0.0) return {};
        glideRatio *= (std::sqrt(q) - h) / trueSpeed;
        if (glideRatio <= 0.0) return {};
    }
    return {static_cast<float>(distanceKm * kFeetPerKm / glideRatio + base), std::nullopt};
}

}  // namespace glide
