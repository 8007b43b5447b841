#include "glide/reach_point.h"

#include <cmath>

#include "core/geodesy.h"
#include "core/settings_values.h"
#include "core/terrain_sampling.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly.h"

namespace glide {
namespace {

constexpr double kReachFeetPerKm = 3280.8;
constexpr double kReachKmPerNauticalMile = 1.852;
constexpr double kShortestReachKm = 0.05;
// The turn the outline's directions are spread over, as it always was.
constexpr double kFullTurn = 6.283;

// The distance along the terrain profile that the glide clears: the walk
// stops at the first sample within "GroundClearAltitude" of the glide line,
// and the reach is the last sample still below the line at the safety
// altitude.
double TerrainCutRange(const std::vector<float>& samples, double range, double glideRatio,
                       double altitude, const GlideContext& context,
                       const ReachSettings& settings) {
    const double step = range / static_cast<double>(samples.size());
    const double drop = step / glideRatio * kReachFeetPerKm;
    double clearLine = altitude - settings.groundClearAltitude;
    double safeLine = altitude - context.safetyAltitude;
    double distance = 0.0;
    double reach = 0.0;
    for (const float sample : samples) {
        if (sample >= clearLine) break;
        distance += step;
        if (safeLine >= sample) reach = distance;
        clearLine -= drop;
        safeLine -= drop;
    }
    return reach;
}

}  // namespace

ReachSettings CurrentReachSettings(float baseOffset) {
    ReachSettings settings;
    settings.macCready =
        g_reachableUseDefaultMc != 0 ? g_reachableDefaultMc.load() : core::g_macCready.load();
    settings.useWind = core::g_windCorrection != 0;
    settings.useDem = g_useDemInfo != 0;
    settings.groundClearAltitude = g_groundClearAltitude;
    settings.baseOffset = baseOffset;
    return settings;
}

ReachPoint ComputeReachPoint(const GlideContext& context, const ReachSettings& settings,
                             const core::ElevationModel* model, const GlidePoint& start,
                             float altitude, double direction) {
    ReachPoint point;
    const double glideRatio =
        GroundGlideRatio(context, direction, settings.useWind, settings.macCready);
    if (!(glideRatio > 0.0)) return point;
    double range = (static_cast<double>(altitude) - context.safetyAltitude - settings.baseOffset) *
                   glideRatio / kReachFeetPerKm;
    if (!(range > kShortestReachKm)) return point;

    point.result = ReachResult::kOk;
    if (settings.useDem) {
        const core::TerrainProfile profile = core::SampleAlongCourse(
            model, start.lonWest, start.latitude, direction, static_cast<float>(range));
        if (profile.status != core::SampleStatus::kComplete) {
            point.result = ReachResult::kNoTerrain;
        } else {
            range =
                TerrainCutRange(profile.samples, range, glideRatio, altitude, context, settings);
        }
    }
    const core::GeodesicDirectResult end = core::g_ellipsoid.GeodesicDirect(
        start.latitude, -start.lonWest, direction, range / kReachKmPerNauticalMile, true);
    point.latitude = end.latitude;
    point.lonWest = -end.lonEast;
    return point;
}

OutlinePoint MakeOutlinePoint(double latitude, double lonWest) {
    const double cosLatitude = std::cos(latitude);
    return {latitude, lonWest, static_cast<float>(cosLatitude * std::cos(lonWest)),
            static_cast<float>(-cosLatitude * std::sin(lonWest)),
            static_cast<float>(std::sin(latitude))};
}

OutlinePass ComputeOutline(const GlideContext& context, const ReachSettings& settings,
                           const core::ElevationModel* model, const GlidePoint& start,
                           float altitude, int count, const OutlinePacer& pacer) {
    OutlinePass pass;
    if (count < 1) return pass;
    pass.points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double direction = kFullTurn * i / count;
        const ReachPoint point =
            ComputeReachPoint(context, settings, model, start, altitude, direction);
        if (point.result != ReachResult::kOk) {
            pass.points.clear();
            return pass;
        }
        pass.points.push_back(MakeOutlinePoint(point.latitude, point.lonWest));
        if (pacer && !pacer()) {
            pass.status = OutlinePass::Status::kAbandoned;
            pass.points.clear();
            return pass;
        }
    }
    pass.status = OutlinePass::Status::kComplete;
    return pass;
}

}  // namespace glide
