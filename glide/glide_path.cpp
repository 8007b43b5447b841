#include "glide/glide_path.h"

#include <cstddef>
#include <utility>

#include "core/geodesy.h"
#include "core/terrain_sampling.h"

namespace glide {
namespace {

constexpr float kStartClearance = 100000.0F;
constexpr std::size_t kProfileRoom = 500;

// The point a fraction of the way from one point to the next.
GlidePoint Between(const GlidePoint& from, const GlidePoint& to, double fraction) {
    GlidePoint point;
    point.latitude = from.latitude + (to.latitude - from.latitude) * fraction;
    point.lonWest = from.lonWest + core::ModLongitude(to.lonWest - from.lonWest) * fraction;
    return point;
}

float LengthBefore(std::span<const GlidePathLeg> legs, int leg) {
    float length = 0.0F;
    for (int i = 0; i < leg; ++i)
        length += legs[static_cast<std::size_t>(i)].length;
    return length;
}

void ResetSlot(GlidePathLeg& leg, int slot) {
    leg.conflictLeg[static_cast<std::size_t>(slot)] = nullptr;
    leg.lowestDistance[static_cast<std::size_t>(slot)] = -1.0F;
    leg.lowestSample[static_cast<std::size_t>(slot)] = -1;
}

// outLeg becomes the rest of `leg` from sample j, which lies `along` km into it.
void FillRestOfLeg(const GlidePathLeg& leg, const GlidePoint& legEnd, int slot, int j, float along,
                   GlidePathLeg& out) {
    const std::size_t n = leg.samples.size();
    const auto first = static_cast<std::size_t>(j);
    std::vector<float> rest(leg.samples.begin() + static_cast<std::ptrdiff_t>(first),
                            leg.samples.end());
    const float elevation = leg.samples[first];
    GlidePoint start = Between(leg.start, legEnd, static_cast<double>(j) / static_cast<double>(n));
    start.elevation = elevation;
    start.elevationKnown = elevation != core::kMissingSample;

    out.length = leg.length - along;
    out.course = leg.course;
    ResetSlot(out, slot);
    out.samples = std::move(rest);
    out.start = start;
    out.plannedAltitude[static_cast<std::size_t>(slot)] = elevation;
}

}  // namespace

void InitGlidePathBuffers() {
    {
        const platform::CriticalSectionLock lock(GlidePathLock);
        GlidePathProfile.samples.reserve(kProfileRoom);
        GlidePathProfile.ready = false;
    }
    const platform::CriticalSectionLock lock(GlidePathConflictLock);
    GlidePathConflict.valid = false;
}

void FreeGlidePathBuffers() {
    {
        const platform::CriticalSectionLock lock(GlidePathLock);
        GlidePathProfile = ProfileCopy{};
    }
    const auto release = [](std::span<GlidePathLeg> legs) {
        for (GlidePathLeg& leg : legs)
            std::vector<float>().swap(leg.samples);
    };
    release(QueueRoute);
    release(MapRoute);
    for (auto& route : FinalGlideRoutes)
        release(route);
    release(ConflictLegs);
}

int SampleGlidePath(const core::ElevationModel* model, std::span<GlidePathLeg> route, int legCount,
                    RouteTerrainInfo& info) {
    if (legCount < 1 || route.size() < static_cast<std::size_t>(legCount) + 1) return 0;
    const auto records = route.first(static_cast<std::size_t>(legCount) + 1);
    info.legs = records;
    info.legCount = legCount;

    std::vector<core::RouteStop> stops;
    stops.reserve(records.size());
    for (const GlidePathLeg& leg : records) {
        stops.push_back(
            {leg.start.latitude, leg.start.lonWest, leg.start.elevationKnown, leg.length});
    }
    const core::TerrainProfile profile = core::SampleAlongRoute(model, stops);
    info.lowest = profile.lowest;
    info.highest = profile.highest;
    std::size_t next = 0;
    for (int i = 0; i < legCount; ++i) {
        GlidePathLeg& leg = records[static_cast<std::size_t>(i)];
        leg.samples.clear();
        if (static_cast<std::size_t>(i) >= profile.legCounts.size()) continue;
        const auto count = static_cast<std::size_t>(profile.legCounts[static_cast<std::size_t>(i)]);
        leg.samples.assign(profile.samples.begin() + static_cast<std::ptrdiff_t>(next),
                           profile.samples.begin() + static_cast<std::ptrdiff_t>(next + count));
        next += count;
    }
    return static_cast<int>(profile.status);
}

bool FindGlidePathClearance(RouteTerrainInfo& info, TerrainConflict* conflict, int slot,
                            float margin, int firstLeg, int lastLeg, GlidePathLeg* outLeg) {
    const int legCount = info.legCount;
    if (slot < 0 || slot >= kGlideSlots || info.legs.empty() || legCount < 1 ||
        info.legs.size() < static_cast<std::size_t>(legCount) + 1 || lastLeg >= legCount ||
        firstLeg < 0 || firstLeg >= legCount) {
        return false;
    }
    if (lastLeg < firstLeg) lastLeg = legCount - 1;
    const auto s = static_cast<std::size_t>(slot);
    GlidePathLeg& out = outLeg != nullptr ? *outLeg : ConflictLegs[s];
    const auto legs = info.legs;

    RouteTerrainInfo::Slot& result = info.slots[s];
    result.minimumClearance = kStartClearance;
    result.conflictDistance = -1.0F;
    result.lowestLeg = 0;
    result.lowestSample = 0;
    if (conflict != nullptr) {
        const platform::CriticalSectionLock lock(GlidePathConflictLock);
        conflict->foundNow = !conflict->valid;
    }

    int conflictLeg = -1;
    float conflictAlong = 0.0F;
    for (int i = firstLeg; i <= lastLeg; ++i) {
        GlidePathLeg& leg = legs[static_cast<std::size_t>(i)];
        const GlidePoint& legEnd = legs[static_cast<std::size_t>(i) + 1].start;
        ResetSlot(leg, slot);
        const std::size_t n = leg.samples.size();
        if (n < 2) return false;
        const float h0 = leg.plannedAltitude[s];
        const float h1 = legs[static_cast<std::size_t>(i) + 1].plannedAltitude[s];
        for (std::size_t j = 0; j < n; ++j) {
            const float clearance =
                static_cast<float>(j) * (h1 - h0) / static_cast<float>(n - 1) + h0 - leg.samples[j];
            if (clearance < result.minimumClearance) {
                result.minimumClearance = clearance;
                result.lowestLeg = i;
                result.lowestSample = static_cast<int>(j);
            }
            if (conflictLeg < 0 && clearance + margin < 0.0F) {
                conflictLeg = i;
                conflictAlong = static_cast<float>(j) * leg.length / static_cast<float>(n);
                if (conflict != nullptr) {
                    const GlidePoint at =
                        Between(leg.start, legEnd, static_cast<double>(j) / static_cast<double>(n));
                    const platform::CriticalSectionLock lock(GlidePathConflictLock);
                    conflict->elevation = leg.samples[j];
                    conflict->valid = true;
                    conflict->foundNow = true;
                    conflict->latitude = at.latitude;
                    conflict->lonWest = at.lonWest;
                }
            }
        }
    }
    if (conflict != nullptr) {
        const platform::CriticalSectionLock lock(GlidePathConflictLock);
        if (!conflict->foundNow) conflict->valid = false;
    }

    if (conflictLeg >= 0) result.conflictDistance = LengthBefore(legs, conflictLeg) + conflictAlong;
    GlidePathLeg& lowest = legs[static_cast<std::size_t>(result.lowestLeg)];
    const std::size_t n = lowest.samples.size();
    if (n < 2) return true;  // nothing lay below the start clearance
    const float along =
        static_cast<float>(result.lowestSample) * lowest.length / static_cast<float>(n - 1);
    result.lowestDistance = LengthBefore(legs, result.lowestLeg) + along;
    lowest.lowestDistance[s] = along;
    lowest.lowestSample[s] = result.lowestSample;
    FillRestOfLeg(lowest, legs[static_cast<std::size_t>(result.lowestLeg) + 1].start, slot,
                  result.lowestSample, along, out);
    return true;
}

}  // namespace glide
