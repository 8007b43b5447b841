#include "nav/reachable_list.h"

#include <algorithm>
#include <cmath>

#include "core/angles.h"
#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "core/terrain_sampling.h"
#include "core/waypoint_course.h"
#include "glide/altitude_required.h"
#include "glide/glide_context.h"
#include "glide/settings_values.h"
#include "platform/numbers.h"

namespace nav {
namespace {

using core::kRadiansPerDegree;

float Shown(float feet, bool metres) {
    return metres ? feet / static_cast<float>(kFeetPerMetre) : feet;
}

class CurrentReachGlide final : public ReachGlide {
  public:
    float RequiredAltitude(const WaypointRecord& /*from*/, const WaypointRecord& to,
                           float distanceKm, double courseDeg) override {
        const glide::LegAltitude leg = glide::AltitudeRequiredAtMacCready(
            context_, distanceKm, to.altitude, courseDeg * kRadiansPerDegree, 1,
            core::g_macCready.load());
        return leg.altitude;
    }

    float TerrainShortfall(const WaypointRecord& from, const WaypointRecord& to, float distanceKm,
                           double courseDeg, float required) override {
        if (glide::g_useDemInfo.load() == 0 || model_ == nullptr) return 0.0F;
        const core::TerrainProfile profile =
            core::SampleAlongCourse(model_.get(), from.longitude, from.latitude,
                                    courseDeg * kRadiansPerDegree, distanceKm);
        const std::size_t count = profile.samples.size();
        if (profile.status == core::SampleStatus::kNone || count == 0) return 0.0F;
        const float margin = glide::g_groundClearAltitude.load();
        float shortfall = 0.0F;
        for (std::size_t j = 0; j < count; ++j) {
            const float sample = profile.samples[j];
            if (sample == core::kMissingSample) continue;
            const float along = static_cast<float>(j) / static_cast<float>(count);
            const float line = required + (to.altitude - required) * along;
            shortfall = std::max(shortfall, sample + margin - line);
        }
        return shortfall;
    }

  private:
    glide::GlideContext context_ = glide::CurrentGlideContext();
    std::shared_ptr<const core::ElevationModel> model_ = core::CurrentElevationModel();
};

}  // namespace

std::unique_ptr<ReachGlide> MakeCurrentReachGlide() {
    return std::make_unique<CurrentReachGlide>();
}

std::vector<ReachableEntry> RankReachable(const WaypointList& list, const WaypointRecord& position,
                                          ReachGlide& glide, const ReachableOptions& options) {
    std::vector<ReachableEntry> ranked;
    for (int i = 0; i < list.Count(); ++i) {
        const WaypointRecord& waypoint = list.At(i)->record;
        if (!waypoint.altitudeKnown || !waypoint.HasMarker()) continue;
        CourseResult course;
        const float km = CourseAndDistance(position, waypoint, &course);
        float required = glide.RequiredAltitude(position, waypoint, km, course.trueCourseDeg);
        if (required < 0.0F) continue;
        // Terrain first: the ranking must see the altitude really needed.
        required += glide.TerrainShortfall(position, waypoint, km, course.trueCourseDeg, required);
        ReachableEntry entry{i, required, {}};
        const auto at = std::upper_bound(
            ranked.begin(), ranked.end(), required,
            [](float value, const ReachableEntry& other) { return value < other.required; });
        if (at - ranked.begin() >= static_cast<std::ptrdiff_t>(kReachableMaxEntries)) continue;
        ranked.insert(at, std::move(entry));
        if (ranked.size() > kReachableMaxEntries) ranked.pop_back();
    }
    if (ranked.size() > kReachableKeptEntries) {
        const auto tail = std::remove_if(
            ranked.begin() + static_cast<std::ptrdiff_t>(kReachableKeptEntries), ranked.end(),
            [&](const ReachableEntry& e) { return e.required > options.currentAltitude; });
        ranked.erase(tail, ranked.end());
    }
    for (ReachableEntry& entry : ranked) {
        const std::wstring name(list.At(entry.index)->record.name.View());
        if (options.showDifference) {
            const float difference =
                Shown(options.currentAltitude - entry.required, options.metres);
            entry.text = platform::FormatC(L"%+4.*f - %ls", 0, static_cast<double>(difference),
                                           name.c_str());
        } else {
            entry.text = platform::FormatC(
                L"%4.*f - %ls", 0, static_cast<double>(Shown(entry.required, options.metres)),
                name.c_str());
        }
    }
    return ranked;
}

std::wstring WaypointInfoText(const WaypointRecord& waypoint, const WaypointRecord& position,
                              bool metres, int distanceUnit) {
    CourseResult course;
    const float km = CourseAndDistance(position, waypoint, &course);
    const double distance = km * core::DistanceUnitFactor(distanceUnit);
    const std::wstring unit(core::DistanceUnitName(distanceUnit));
    const std::wstring name(waypoint.name.View());
    std::wstring text;
    if (waypoint.altitudeKnown) {
        text = platform::FormatC(L" %-20ls\r\n %4.*f%ls  %5.1f%ls %4.0f%lc\r\n", name.c_str(), 0,
                                 static_cast<double>(Shown(waypoint.altitude, metres)),
                                 metres ? L"m" : L"ft", distance, unit.c_str(),
                                 course.magneticCourseDeg, static_cast<wint_t>(L'm'));
    } else {
        text = platform::FormatC(L" %-20ls\r\n  ---  %5.1f%ls %4.0f%lc\r\n", name.c_str(), distance,
                                 unit.c_str(), course.magneticCourseDeg, static_cast<wint_t>(L'm'));
    }
    return text + waypoint.attachments.comment;
}

}  // namespace nav
