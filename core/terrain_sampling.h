#pragma once
// Terrain profiles: the elevation model sampled at even steps along a course
// or along a route of legs, for glide-path clearance, the reachable outline
// and the terrain profile drawings.
//
// The step is the model's SampleStepKm(); a leg or course of length d gets
// floor(d / step) + 1 samples spaced d / count apart, the first at its start
// point and none at its end point. The positions advance linearly in
// latitude and longitude between the start and the end point.

#include <span>
#include <vector>

#include "core/elevation_model.h"

namespace core {

// A sample outside the grid or on a cell without data.
inline constexpr float kMissingSample = -1.0F;

enum class SampleStatus : int {
    kNone = 0,      // no model, fewer than two samples, or a route point without elevation
    kComplete = 1,  // every sample has an elevation
    kMissing = 2,   // at least one sample is kMissingSample
};

struct TerrainProfile {
    SampleStatus status = SampleStatus::kNone;
    std::vector<float> samples;  // feet, or kMissingSample
    // Lowest and highest sample with an elevation (these start values when
    // none has one).
    float lowest = 100000.0F;
    float highest = -100000.0F;
    float distanceKm = 0.0F;     // the course's length (SampleAlongCourse)
    std::vector<int> legCounts;  // samples of each leg, in order (SampleAlongRoute)
};

// Samples from a start point (radians, longitude positive west) along a true
// course (radians) for distanceKm. The end point is the direct geodesic
// solution. Null model: kNone.
TerrainProfile SampleAlongCourse(const ElevationModel* model, double lonWest, double latitude,
                                 double course, float distanceKm);

// One point of a route: leg i runs from stop i to stop i + 1 and is
// legLengthKm long (the last stop's length is not used).
struct RouteStop {
    double latitude = 0.0;
    double lonWest = 0.0;
    bool elevationKnown = false;
    float legLengthKm = 0.0F;
};

// Samples every leg of a route of stops.size() - 1 legs; the legs' samples
// follow each other without gaps, legCounts telling them apart. Every stop
// must have a known elevation, else kNone and no samples.
TerrainProfile SampleAlongRoute(const ElevationModel* model, std::span<const RouteStop> stops);

}  // namespace core
