#pragma once
// Terrain clearance of a straight glide: a route of legs sampled along the
// ground, each leg carrying the planned glide altitude at its start, is
// searched for the point where the glide line passes lowest over the
// terrain and for the first point where it comes within a margin of it.
//
// A route is an array of GlidePathLeg records in which record i + 1 holds
// the end point of leg i, so a route of n legs has n + 1 records. Each leg
// owns its samples, so a result that refers to a leg (a conflict leg, the
// rest of the route from the lowest point) stays valid whatever is sampled
// later.
//
// Four independent searches ("slots") can run on the same route: 0 the glide
// at the MacCready speed, 1 the second leg, 2 and 3 the final glide without
// and with wind.

#include <array>
#include <atomic>
#include <optional>
#include <span>
#include <vector>

#include "core/elevation_model.h"
#include "platform/critical_section.h"

namespace glide {

inline constexpr int kGlideSlots = 4;

// A point on a route: position in radians (longitude positive west) and the
// terrain or planned elevation in feet.
struct GlidePoint {
    double latitude = 0.0;
    double lonWest = 0.0;
    float elevation = 0.0F;
    bool elevationKnown = false;
};

struct GlidePathLeg {
    std::vector<float> samples;  // feet, evenly spaced from the start to the end
    GlidePoint start;
    float length = 0.0F;  // km
    double course = 0.0;  // radians
    // Per slot: the rest of the route from an obstacle (set by the callers;
    // cleared for the searched legs by each search).
    std::array<const GlidePathLeg*, kGlideSlots> conflictLeg{};
    // Per slot: distance along this leg to the lowest point (-1: none) and
    // its sample index.
    std::array<float, kGlideSlots> lowestDistance{-1.0F, -1.0F, -1.0F, -1.0F};
    std::array<int, kGlideSlots> lowestSample{};
    // Per slot: the planned glide altitude at the start point (feet).
    std::array<float, kGlideSlots> plannedAltitude{};
};

// A route and what its searches found.
struct RouteTerrainInfo {
    std::span<GlidePathLeg> legs;  // leg count + 1 records
    int legCount = 0;
    // The sampled route's lowest and highest terrain (feet).
    float lowest = 100000.0F;
    float highest = -100000.0F;
    struct Slot {
        float lowestDistance = 0.0F;    // km from the route's start
        float minimumClearance = 0.0F;  // feet
        int lowestSample = 0;
        int lowestLeg = 0;
        float conflictDistance = -1.0F;  // km from the route's start; -1: none
    };
    std::array<Slot, kGlideSlots> slots{};
};

// The first point where a glide line meets the terrain.
struct TerrainConflict {
    double latitude = 0.0;
    double lonWest = 0.0;
    float elevation = 0.0F;  // feet
    bool valid = false;
    bool foundNow = false;  // found by the latest search
};

// Guards the terrain profile copy that the position page draws.
inline platform::CriticalSection GlidePathLock;
// Guards GlidePathConflict and every conflict record a search fills.
inline platform::CriticalSection GlidePathConflictLock;

// The first conflict found by the waypoint-queue search (shown on the map).
inline TerrainConflict GlidePathConflict;

// Per slot: the rest of the route from the lowest point; its start point
// (the lowest point) is the slot's conflict point.
inline std::array<GlidePathLeg, kGlideSlots> ConflictLegs;

// Routes of the waypoint-queue texts (20 records), of the map view and the
// destination queue (3), and of the final glide over the task (2 x 4).
inline std::array<GlidePathLeg, 20> QueueRoute;
inline std::array<GlidePathLeg, 3> MapRoute;
inline std::array<std::array<GlidePathLeg, 4>, 2> FinalGlideRoutes;

// The terrain profile that the waypoint-queue texts hand to the position
// page, under GlidePathLock, with the glides planned over it: per leg, the
// height the glide at the MacCready speed uses (margins) and the height the
// final glide uses (finalGlideMargins, when the final glide has a solution).
struct ProfileCopy {
    std::vector<float> samples;
    float lowest = 100000.0F;
    float highest = -100000.0F;
    float distanceKm = 0.0F;  // the whole route the samples cover
    float legKm = 0.0F;       // leg 0
    std::array<float, 2> margins{};
    std::optional<std::array<float, 2>> finalGlideMargins;
    bool ready = false;
};
inline ProfileCopy GlidePathProfile;

// The length of the first leg of the waypoint-queue route (km), written by
// every pass of the waypoint-queue texts; below 0 while there is no route.
inline std::atomic<float> QueueRouteFirstLegKm{-1.0F};

// Start-up: room for 500 samples in the profile copy; no conflict yet.
void InitGlidePathBuffers();
// Shut-down: frees the samples of every fixed route and of the profile.
void FreeGlidePathBuffers();

// Samples the terrain under the first legCount legs of the route into the
// legs and points info at the route. 0 when nothing was sampled (no model, a
// route point without elevation, fewer than two samples), 2 when a sample
// had no elevation, else 1.
int SampleGlidePath(const core::ElevationModel* model, std::span<GlidePathLeg> route, int legCount,
                    RouteTerrainInfo& info);

// Searches legs firstLeg..lastLeg (lastLeg below firstLeg: to the last leg)
// of info's route in the slot. The clearance at sample j of n on a leg is
// j (h1 - h0) / (n - 1) + h0 - sample[j], with h0 and h1 the planned
// altitudes at the leg's start and end. The first sample where clearance +
// margin < 0 is the conflict: it goes into `conflict` (when given, under
// GlidePathConflictLock), and a conflict record that was valid but is not
// found again is cleared. outLeg (ConflictLegs[slot] when null) receives the
// rest of the route from the lowest point. False on bad input or a leg with
// fewer than two samples.
bool FindGlidePathClearance(RouteTerrainInfo& info, TerrainConflict* conflict, int slot,
                            float margin, int firstLeg, int lastLeg, GlidePathLeg* outLeg);

}  // namespace glide
