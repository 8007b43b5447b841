#include "core/terrain_sampling.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "core/geodesy.h"

namespace core {
namespace {

constexpr double kKmPerNauticalMile = 1.852;
// More samples than any course on the Earth needs at the finest step; a
// longer request is refused rather than allocated.
constexpr double kMaxSamples = 1.0e6;

// Samples `count` points from (lonWest, latitude), advancing by the given
// steps, into the profile; true when a sample had no elevation.
bool SampleLine(const ElevationModel& model, double lonWest, double latitude, double lonStep,
                double latStep, std::size_t count, TerrainProfile& profile) {
    bool missing = false;
    for (std::size_t i = 0; i < count; ++i) {
        const auto elevation = model.GetElevationAt(lonWest, latitude);
        if (elevation) {
            profile.samples.push_back(*elevation);
            if (*elevation < profile.lowest) profile.lowest = *elevation;
            if (*elevation > profile.highest) profile.highest = *elevation;
        } else {
            profile.samples.push_back(kMissingSample);
            missing = true;
        }
        lonWest += lonStep;
        latitude += latStep;
    }
    return missing;
}

// floor(distance / step) + 1, or nothing for a length that is not a usable
// number of samples.
std::optional<std::size_t> SampleCount(double distanceKm, double stepKm) {
    if (!(distanceKm >= 0.0) || !(stepKm > 0.0)) return std::nullopt;
    const double count = std::floor(distanceKm / stepKm) + 1.0;
    if (!(count <= kMaxSamples)) return std::nullopt;
    return static_cast<std::size_t>(count);
}

void Finish(TerrainProfile& profile, bool missing) {
    if (profile.samples.size() < 2) {
        profile.status = SampleStatus::kNone;
    } else {
        profile.status = missing ? SampleStatus::kMissing : SampleStatus::kComplete;
    }
}

// The longitude change from one point to the other the short way round, so
// that a line across the date line does not go round the Earth.
double LongitudeChange(double fromLonWest, double toLonWest) {
    return ModLongitude(toLonWest - fromLonWest);
}

}  // namespace

TerrainProfile SampleAlongCourse(const ElevationModel* model, double lonWest, double latitude,
                                 double course, float distanceKm) {
    TerrainProfile profile;
    if (model == nullptr) return profile;
    profile.distanceKm = distanceKm;
    const auto count = SampleCount(distanceKm, model->SampleStepKm());
    if (!count) return profile;

    double lonStep = 0.0;
    double latStep = 0.0;
    if (distanceKm > 0.0F) {
        const GeodesicDirectResult end = g_ellipsoid.GeodesicDirect(
            latitude, -lonWest, course, distanceKm / kKmPerNauticalMile, true);
        // The end point is carried as a float, as it always was.
        const auto endLatitude = static_cast<float>(end.latitude);
        const auto endLonWest = static_cast<float>(-end.lonEast);
        const double stepLength = distanceKm / static_cast<double>(*count);
        lonStep = LongitudeChange(lonWest, endLonWest) * stepLength / distanceKm;
        latStep = (endLatitude - latitude) * stepLength / distanceKm;
    }
    profile.samples.reserve(*count);
    const bool missing = SampleLine(*model, lonWest, latitude, lonStep, latStep, *count, profile);
    Finish(profile, missing);
    return profile;
}

TerrainProfile SampleAlongRoute(const ElevationModel* model, std::span<const RouteStop> stops) {
    TerrainProfile profile;
    if (model == nullptr || stops.size() < 2) return profile;
    for (const RouteStop& stop : stops) {
        if (!stop.elevationKnown) return profile;
    }
    const double step = model->SampleStepKm();
    std::vector<std::size_t> counts;
    std::size_t total = 0;
    for (std::size_t leg = 0; leg + 1 < stops.size(); ++leg) {
        const auto count = SampleCount(stops[leg].legLengthKm, step);
        if (!count || total + *count > kMaxSamples) return profile;
        counts.push_back(*count);
        total += *count;
    }

    profile.samples.reserve(total);
    bool missing = false;
    for (std::size_t leg = 0; leg < counts.size(); ++leg) {
        const RouteStop& from = stops[leg];
        const RouteStop& to = stops[leg + 1];
        const double length = from.legLengthKm;
        double lonStep = 0.0;
        double latStep = 0.0;
        if (length > 0.0) {
            // stepLength / length with stepLength = length / count.
            const double fraction = 1.0 / static_cast<double>(counts[leg]);
            lonStep = LongitudeChange(from.lonWest, to.lonWest) * fraction;
            latStep = (to.latitude - from.latitude) * fraction;
        }
        missing = SampleLine(*model, from.lonWest, from.latitude, lonStep, latStep, counts[leg],
                             profile) ||
                  missing;
        profile.legCounts.push_back(static_cast<int>(counts[leg]));
    }
    Finish(profile, missing);
    return profile;
}

}  // namespace core
