#pragma once
// Final glide: the MacCready setting whose speed to fly uses exactly the
// height the glider has over its target, on one leg or over two legs, and
// the results that the waypoint-queue texts and the position page show.
//
// Units: distances km, heights and altitudes feet, speeds knots, courses
// radians true, times hours. Slot 0 ignores the wind, slot 1 allows for it
// (the slot shown is "WindCorrection"). The polar is in indicated terms, so
// the wind enters as its speed times the airspeed factor.
//
// The solvers are pure functions of a glide context. The published results
// are written by the fix-processing thread and read by any thread as one
// copy (CurrentFinalGlide). No result ever holds a value that is not
// finite: a computation that would give one has no solution.

#include <array>
#include <optional>
#include <span>

#include "glide/glide_context.h"
#include "glide/glide_path.h"

namespace glide {

struct McSolution {
    float speed = 0.0F;      // the speed to fly
    float macCready = 0.0F;  // knots, at least 0
    float legTime = 0.0F;    // hours over the leg at that speed
};

// The MacCready value whose glide over distanceKm on the course sinks exactly
// height feet. No solution for a leg shorter than 1e-6 km, a slope above
// 100, or a speed the polar (and the wind) cannot give. Without a fitted
// polar: the best-glide speed and MacCready 0.
std::optional<McSolution> RequiredMcForHeight(const GlideContext& context, float height,
                                              float distanceKm, double course, int slot);

// One leg to a target: height = gpsAltitude - targetAltitude - safety altitude.
std::optional<McSolution> RequiredMacCready(const GlideContext& context, float gpsAltitude,
                                            float targetAltitude, float distanceKm,
                                            double course, int slot);

struct TwoLegInput {
    float gpsAltitude = 0.0F;
    float targetAltitude = 0.0F;
    float distance0 = 0.0F;  // glider to the middle point
    double course0 = 0.0;
    float distance1 = 0.0F;  // middle point to the target
    double course1 = 0.0;
    // At MacCready 0: the altitude needed at the glider for both legs, at the
    // middle point for leg 1, and the two legs' times.
    float needTotal = 0.0F;
    float need1 = 0.0F;
    float time0 = 0.0F;
    float time1 = 0.0F;
};

struct TwoLegSolution {
    McSolution firstLeg;
    float secondLegSpeed = 0.0F;
    float middleAltitude = 0.0F;  // planned altitude at the middle point
};

// Without wind one glide slope over both legs. With wind the spare height is
// shared between the legs in proportion of the time each saves against
// MacCready 0 (evenly by need when neither saves any).
std::optional<TwoLegSolution> TwoLegRequiredMacCready(const GlideContext& context,
                                                      const TwoLegInput& input, int slot);

// Per slot (0 without wind, 1 with wind).
struct FinalGlideResults {
    std::array<float, 2> macCready{-1.0F, -1.0F};  // -1: no final glide yet / no solution
    std::array<float, 2> speed{0.0F, 0.0F};
    std::array<float, 2> secondLegSpeed{-1.0F, -1.0F};  // -1: none
    std::array<float, 2> arrival{0.0F, 0.0F};           // above 0: reachable
    std::array<float, 2> margin1{0.0F, 0.0F};           // height needed beyond the target's
    std::array<float, 2> margin2{0.0F, 0.0F};
    // Distance from the obstacle the glide had to clear to the target (km);
    // -1: none. Once the glider is nearer the target, it has passed it.
    std::array<float, 2> obstacleToTarget{-1.0F, -1.0F};
};

FinalGlideResults CurrentFinalGlide();
void SetFinalGlide(const FinalGlideResults& results);
// Back to "no final glide yet" (start-up, replay).
void ResetFinalGlide();

// What a final glide over the route needs to know.
struct FinalGlideRoute {
    float gpsAltitude = 0.0F;
    float targetAltitude = 0.0F;
    int legCount = 1;  // 1 or 2
    std::array<float, 2> distance{};
    std::array<double, 2> course{};
    // The sampled route, or null without terrain.
    RouteTerrainInfo* terrain = nullptr;
    float groundClearance = 500.0F;  // feet kept above the terrain
};

// Runs the final glide for both slots and publishes the results (the
// previous results of a slot stay when its MacCready-0 altitude cannot be
// computed).
void FinalGlide(const GlideContext& context, const FinalGlideRoute& route);

}  // namespace glide
