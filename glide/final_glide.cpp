#include "glide/final_glide.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "glide/altitude_required.h"
#include "glide/speed_to_fly.h"

namespace glide {
namespace {

constexpr double kGlideFeetPerKm = 3280.8;
constexpr double kGlideKmPerNauticalMile = 1.852;
constexpr float kShortestLeg = 1e-6F;
constexpr double kSteepestSlope = 100.0;
constexpr int kWindRounds = 31;
constexpr double kWindTolerance = 0.02;

std::mutex g_resultsMutex;
FinalGlideResults g_results;

bool Finite(float value) {
    return std::isfinite(value);
}

// The wind terms of a course: head wind and the square of the cross wind,
// in the polar's (indicated) terms.
struct WindTerms {
    double w = 0.0;
    double head = 0.0;
    double cross2 = 0.0;
    double sinA = 0.0;
};

WindTerms WindFor(const GlideContext& context, double course) {
    const double w = context.wind.speed * double{context.air.airspeedFactor};
    const double angle = course - context.wind.direction;
    const double cosA = std::cos(angle);
    return {w, cosA * w, w * w * (1.0 - cosA * cosA), std::sin(angle)};
}

// The air speed at which the polar sinks `slope` times the ground speed
// against the wind, by the fixed-point iteration on the cross-wind term.
std::optional<double> WindGlideSpeed(const GlidePolar& polar, double slope, const WindTerms& wind) {
    const double a = polar.a;
    const double b = polar.b;
    const double c = polar.c;
    const double d0 = (slope - b) * (slope - b) - 4.0 * c * (a + slope * wind.head);
    if (d0 < 0.0) return std::nullopt;
    double v = ((slope - b) + std::sqrt(d0)) / (2.0 * c);
    if (v * v <= wind.cross2) v = std::fabs(wind.sinA) * wind.w + 1.0;
    for (int round = 0; round < kWindRounds; ++round) {
        const double r = 1.0 - wind.cross2 / (v * v);
        if (r < 0.0) return std::nullopt;
        const double d = 4.0 * c * (std::sqrt(r) - 1.0) * slope * v + d0;
        if (d < 0.0) return std::nullopt;
        const double next =
            std::max(((slope - b) + std::sqrt(d)) / (2.0 * c), double{polar.minimumSpeed});
        const bool settled = std::fabs(v - next) / next <= kWindTolerance;
        v = next;
        if (settled) break;
    }
    if (v * v < wind.cross2) return std::nullopt;
    return v;
}

std::optional<McSolution> Checked(double speed, double macCready, double legTime) {
    if (!std::isfinite(speed) || !std::isfinite(macCready) || !std::isfinite(legTime) ||
        !(speed > 0.0)) {
        return std::nullopt;
    }
    return McSolution{static_cast<float>(speed), static_cast<float>(std::max(0.0, macCready)),
                      static_cast<float>(legTime)};
}

struct SlotResult {
    float macCready = -1.0F;
    float speed = 0.0F;
    float secondLegSpeed = -1.0F;
    float arrival = 0.0F;
    float margin1 = 0.0F;
    float margin2 = 0.0F;
    float obstacleToTarget = -1.0F;
};

// Raises need by what the glide line lacks of the ground clearance on the
// slot's search; the lowest point's distance and elevation come back when
// it does.
struct Obstacle {
    float distance = 0.0F;
    float elevation = 0.0F;
};

std::optional<Obstacle> CheckTerrain(const FinalGlideRoute& route, int slot, float& need,
                                     float endAltitude) {
    RouteTerrainInfo* info = route.terrain;
    if (info == nullptr || info->legCount < 1) return std::nullopt;
    info->legs[0].plannedAltitude[slot] = need;
    info->legs[static_cast<std::size_t>(info->legCount)].plannedAltitude[slot] = endAltitude;
    if (!FindGlidePathClearance(*info, nullptr, slot, route.gpsAltitude - need, 0, -1, nullptr))
        return std::nullopt;
    const RouteTerrainInfo::Slot& found = info->slots[static_cast<std::size_t>(slot)];
    if (!(found.minimumClearance < route.groundClearance)) return std::nullopt;
    need += route.groundClearance - found.minimumClearance;
    const GlidePathLeg& leg = info->legs[static_cast<std::size_t>(found.lowestLeg)];
    const auto sample = static_cast<std::size_t>(found.lowestSample);
    if (sample >= leg.samples.size()) return std::nullopt;
    return Obstacle{found.lowestDistance, leg.samples[sample]};
}

SlotResult OneLeg(const GlideContext& context, const FinalGlideRoute& route, int slot,
                  const SlotResult& previous) {
    const float distance = route.distance[0];
    const double course = route.course[0];
    const LegAltitude atZero =
        AltitudeRequiredAtMacCready(context, distance, route.targetAltitude, course, slot, 0.0F);
    float need = atZero.altitude;
    if (!(need >= 0.0F)) return previous;
    SlotResult result;
    result.secondLegSpeed = 0.0F;  // one leg: computed, no second leg
    const float targetLine = route.targetAltitude + context.safetyAltitude;
    result.margin1 = need - targetLine;
    const std::optional<Obstacle> obstacle = CheckTerrain(route, slot + 2, need, targetLine);
    if (obstacle) result.obstacleToTarget = distance - obstacle->distance;
    if (need > route.gpsAltitude) {
        result.macCready = 0.0F;
        result.speed = atZero.legBestSpeed;
        result.arrival = need;
        return result;
    }
    std::optional<McSolution> solution;
    if (obstacle && obstacle->distance < distance) {
        // Over the obstacle when the glider is below the line from the
        // target over it.
        const double over = obstacle->elevation + double{route.groundClearance};
        const double line = targetLine + (over - targetLine) * distance / (distance - obstacle->distance);
        if (route.gpsAltitude < line) {
            solution = RequiredMacCready(context, route.gpsAltitude,
                                         static_cast<float>(over) - context.safetyAltitude,
                                         obstacle->distance, course, slot);
        }
    }
    if (!solution) {
        solution = RequiredMacCready(context, route.gpsAltitude, route.targetAltitude, distance,
                                     course, slot);
    }
    result.arrival = route.gpsAltitude;
    if (solution) {
        result.macCready = solution->macCready;
        result.speed = solution->speed;
    } else {
        result.secondLegSpeed = -1.0F;
    }
    return result;
}

SlotResult TwoLegs(const GlideContext& context, const FinalGlideRoute& route, int slot,
                   const SlotResult& previous) {
    const LegAltitude second = AltitudeRequiredAtMacCready(
        context, route.distance[1], route.targetAltitude, route.course[1], slot, 0.0F);
    if (!(second.altitude >= 0.0F)) return previous;
    const LegAltitude first =
        AltitudeRequiredAtMacCready(context, route.distance[0],
                                    second.altitude - context.safetyAltitude, route.course[0],
                                    slot, 0.0F);
    float needTotal = first.altitude;
    if (!(needTotal >= 0.0F)) return previous;
    SlotResult result;
    result.margin2 = second.altitude - route.targetAltitude - context.safetyAltitude;
    result.margin1 = needTotal - second.altitude;
    CheckTerrain(route, slot + 2, needTotal, route.targetAltitude + context.safetyAltitude);
    if (needTotal > route.gpsAltitude) {
        result.macCready = 0.0F;
        result.speed = first.legBestSpeed;
        result.arrival = needTotal;
        return result;
    }
    const TwoLegInput input{route.gpsAltitude, route.targetAltitude, route.distance[0],
                            route.course[0],   route.distance[1],    route.course[1],
                            needTotal,         second.altitude,      first.legTime,
                            second.legTime};
    result.arrival = route.gpsAltitude;
    if (const auto solution = TwoLegRequiredMacCready(context, input, slot)) {
        result.macCready = solution->firstLeg.macCready;
        result.speed = solution->firstLeg.speed;
        result.secondLegSpeed = solution->secondLegSpeed;
    }
    return result;
}

}  // namespace

std::optional<McSolution> RequiredMcForHeight(const GlideContext& context, float height,
                                              float distanceKm, double course, int slot) {
    if (!(distanceKm >= kShortestLeg) || !Finite(height)) return std::nullopt;
    const double slope = height / (distanceKm * kGlideFeetPerKm);
    if (!(slope <= kSteepestSlope)) return std::nullopt;
    const GlidePolar& polar = context.polar;
    const double distanceNm = distanceKm / kGlideKmPerNauticalMile;
    if (!polar.valid || !(polar.c > 0.0F)) {
        const double v = polar.bestGlideSpeed;
        return Checked(v, 0.0, distanceNm / v);
    }
    const double a = polar.a;
    const double b = polar.b;
    const double c = polar.c;
    if (slot == 1 && context.wind.valid && context.wind.speed > 0.0F) {
        const WindTerms wind = WindFor(context, course);
        const auto speed = WindGlideSpeed(polar, slope, wind);
        if (!speed) return std::nullopt;
        const double v = *speed;
        const double along = std::sqrt(v * v - wind.cross2);
        const double ground = along - wind.head;
        if (!(ground > 0.0)) return std::nullopt;
        // Where the speed to fly for M is v: sink'(v) g(v) = (sink(v) + M) g'(v).
        const double macCready = (2.0 * c * v + b) * ground * along / v - polar.Sink(static_cast<float>(v));
        return Checked(v, macCready, distanceNm / ground);
    }
    const double d = (slope - b) * (slope - b) - 4.0 * a * c;
    if (d < 0.0) return std::nullopt;
    const double v = ((slope - b) + std::sqrt(d)) / (2.0 * c);
    return Checked(v, c * v * v - a, distanceNm / v);
}

std::optional<McSolution> RequiredMacCready(const GlideContext& context, float gpsAltitude,
                                            float targetAltitude, float distanceKm,
                                            double course, int slot) {
    return RequiredMcForHeight(context, gpsAltitude - targetAltitude - context.safetyAltitude,
                               distanceKm, course, slot);
}

std::optional<TwoLegSolution> TwoLegRequiredMacCready(const GlideContext& context,
                                                      const TwoLegInput& in, int slot) {
    const float safety = context.safetyAltitude;
    const bool withWind = slot == 1 && context.wind.valid && context.wind.speed > 0.0F;
    if (!withWind) {
        const float total = in.distance0 + in.distance1;
        const float height = in.gpsAltitude - in.targetAltitude - safety;
        const auto solution = RequiredMcForHeight(context, height, total, in.course0, 0);
        if (!solution) return std::nullopt;
        const float middle = in.targetAltitude + safety + height * in.distance1 / total;
        return TwoLegSolution{*solution, solution->speed, middle};
    }
    const float spare = in.gpsAltitude - in.needTotal;
    const auto first = RequiredMcForHeight(context, in.gpsAltitude - in.need1, in.distance0,
                                           in.course0, slot);
    const auto second = RequiredMcForHeight(
        context, in.need1 - in.targetAltitude - safety + spare, in.distance1, in.course1, slot);
    if (!first || !second) return std::nullopt;
    const float saved0 = in.time0 - first->legTime;
    const float saved1 = in.time1 - second->legTime;
    const float saved = saved0 + saved1;
    const float middle = saved > 0.0F && Finite(saved) ? spare * saved1 / saved + in.need1 : in.need1;
    const auto lastLeg = RequiredMcForHeight(context, middle - in.targetAltitude - safety,
                                             in.distance1, in.course1, slot);
    const auto firstLeg =
        RequiredMcForHeight(context, in.gpsAltitude - middle, in.distance0, in.course0, slot);
    if (!lastLeg || !firstLeg) return std::nullopt;
    return TwoLegSolution{*firstLeg, lastLeg->speed, middle};
}

FinalGlideResults CurrentFinalGlide() {
    const std::lock_guard lock(g_resultsMutex);
    return g_results;
}

void SetFinalGlide(const FinalGlideResults& results) {
    const std::lock_guard lock(g_resultsMutex);
    g_results = results;
}

void ResetFinalGlide() {
    SetFinalGlide(FinalGlideResults{});
}

void FinalGlide(const GlideContext& context, const FinalGlideRoute& route) {
    if (route.legCount < 1 || route.legCount > 2 || !PolarInUse(context.polar)) return;
    FinalGlideResults results = CurrentFinalGlide();
    for (int slot = 0; slot < 2; ++slot) {
        const auto k = static_cast<std::size_t>(slot);
        const SlotResult previous{results.macCready[k], results.speed[k],
                                  results.secondLegSpeed[k], results.arrival[k],
                                  results.margin1[k],   results.margin2[k],
                                  results.obstacleToTarget[k]};
        SlotResult r = route.legCount == 1 ? OneLeg(context, route, slot, previous)
                                           : TwoLegs(context, route, slot, previous);
        if (!Finite(r.macCready) || !Finite(r.speed) || !Finite(r.arrival)) r = SlotResult{};
        if (!Finite(r.secondLegSpeed)) r.secondLegSpeed = -1.0F;
        if (!Finite(r.margin1)) r.margin1 = 0.0F;
        if (!Finite(r.margin2)) r.margin2 = 0.0F;
        results.macCready[k] = r.macCready;
        results.speed[k] = r.speed;
        results.secondLegSpeed[k] = r.secondLegSpeed;
        results.arrival[k] = r.arrival;
        results.margin1[k] = r.margin1;
        results.margin2[k] = r.margin2;
        results.obstacleToTarget[k] = Finite(r.obstacleToTarget) ? r.obstacleToTarget : -1.0F;
    }
    SetFinalGlide(results);
}

}  // namespace glide
