#pragma once
// How far the glider reaches in a straight glide in one direction: the
// distance the altitude above the safety altitude allows at the glide ratio
// over the ground for that direction (wind included), cut short where the
// terrain comes within "GroundClearAltitude" of the glide line.

#include <functional>
#include <vector>

#include "core/elevation_model.h"
#include "glide/glide_context.h"
#include "glide/glide_path.h"

namespace glide {

// What the outline computation reads of the settings.
struct ReachSettings {
    float macCready = 0.0F;              // "ReachableDefaultMC", or the MacCready in use
    bool useWind = false;                // "WindCorrection"
    bool useDem = true;                  // "useDEMinfo": cut the reach at the terrain
    float groundClearAltitude = 500.0F;  // feet
    float baseOffset = 0.0F;             // feet taken off the altitude
};

// The settings in force, with the given base offset.
ReachSettings CurrentReachSettings(float baseOffset);

enum class ReachResult : int {
    kOk = 0,
    kNoReach = 1,    // no glide ratio over the ground, or 0.05 km or less
    kNoTerrain = 2,  // the terrain under the glide is not known everywhere
};

struct ReachPoint {
    ReachResult result = ReachResult::kNoReach;
    double latitude = 0.0;  // the end point (also with kNoTerrain, at full range)
    double lonWest = 0.0;
};

ReachPoint ComputeReachPoint(const GlideContext& context, const ReachSettings& settings,
                             const core::ElevationModel* model, const GlidePoint& start,
                             float altitude, double direction);

// A point of the outline: its position and unit vector (x = cos lat cos lon,
// y = -cos lat sin lon, z = sin lat, longitude positive west).
struct OutlinePoint {
    double latitude = 0.0;
    double lonWest = 0.0;
    float x = 0.0F;
    float y = 0.0F;
    float z = 0.0F;
};
OutlinePoint MakeOutlinePoint(double latitude, double lonWest);

struct OutlinePass {
    enum class Status { kComplete, kFailed, kAbandoned };
    Status status = Status::kFailed;
    std::vector<OutlinePoint> points;  // one per direction when complete
};

// Called after each point; false abandons the pass.
using OutlinePacer = std::function<bool()>;

// The reach in `count` directions 6.283 i / count around the start. Any
// direction without a reach fails the whole pass.
OutlinePass ComputeOutline(const GlideContext& context, const ReachSettings& settings,
                           const core::ElevationModel* model, const GlidePoint& start,
                           float altitude, int count, const OutlinePacer& pacer = {});

}  // namespace glide
