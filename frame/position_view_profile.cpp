// The position page's terrain profile: sampled on request and on the fix
// thread's WM_USER+5, drawn on the next paint.
#include "frame/position_view.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "core/terrain_sampling.h"
#include "fix/first_fix.h"
#include "frame/position_links.h"
#include "glide/altitude_required.h"
#include "glide/glide_context.h"
#include "glide/glide_path.h"
#include "glide/speed_to_fly.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "services/shared_locks.h"
#include "texts/display_units.h"

namespace frame {
namespace {

// Where the two glides along the track end (feet): at the constant glide
// speed or the indicated airspeed, and at the ground speed to fly on the
// track. The constant glide speed is the speed to fly (StfSpeed), the same
// speed the destination's arrival altitude is computed at. An unreachable
// result draws no line.
std::vector<float> TrackGlideEnds(const glide::GlideContext& context, float altitude, float lengthKm,
                                  float trackRadians) {
    float groundStf = 0.0F;
    if (context.polar.valid) {
        groundStf = glide::SpeedToFlyForCourse(context, trackRadians, 0.0F,
                                               core::g_windCorrection.load() != 0)
                        .speed;
    }
    const TrackGlideSpeeds speeds =
        ChooseTrackGlideSpeeds(context.useConstantGlideSpeed, glide::StfSpeed.load(),
                               gps::CurrentNav()->indicatedAirspeed, groundStf);
    std::vector<float> ends;
    for (const float speed : {speeds.first, speeds.second}) {
        if (!(speed > 0.0F) || !std::isfinite(speed)) continue;
        const float required =
            glide::AltitudeRequiredAtSpeed(context, lengthKm, 0.0F, speed, trackRadians, true);
        if (required == glide::kUnreachableAtSpeed || !std::isfinite(required)) continue;
        ends.push_back(altitude - (required - context.safetyAltitude));
    }
    return ends;
}

float GliderAltitude() {
    const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
    return published->gpsAltitudeValid != 0 ? published->gpsAltitude : published->qnhAltitude;
}

}  // namespace

// --- The terrain profile.

void CGPSposView::OnProfileRequest() {
    if (gps::g_terrainElevation.load() == gps::kUnknownTerrain) return;
    model_.OpenProfile();
    g_positionPageShowsProfile = true;
    const bool leg = glide::g_driftValid.load() != 0;
    const float track = static_cast<float>(gps::CurrentNav()->trackRad);
    CallAfter([this, leg, track] { DrawTerrainProfile(leg, track); });
}

void CGPSposView::DrawTerrainProfile(bool legProfile, float trackRadians) {
    if (!model_.TerrainProfileMessage(!profileBuffer_.empty())) {
        Refresh(false);
        return;
    }
    nav::WaypointRecord position;
    {
        const std::scoped_lock lock(core::MapLock);
        position = nav::g_mapFix;
    }
    ProfileInput input;
    input.altitude = GliderAltitude();
    input.large = model_.Modes().demProfileSize != 0;
    const glide::GlideContext context = glide::CurrentGlideContext();
    std::size_t count = 0;
    if (legProfile) {
        const std::scoped_lock lock(glide::GlidePathLock);
        const glide::ProfileCopy& copy = glide::GlidePathProfile;
        count = copy.samples.size();
        profileBuffer_.resize(ProfileBufferSize(profileBuffer_.size(), count));
        std::copy(copy.samples.begin(), copy.samples.end(), profileBuffer_.begin());
        input.lowest = copy.lowest;
        input.highest = copy.highest;
        if (copy.distanceKm > 0.0F) input.lengthKm = copy.distanceKm;
        input.glidePaths = LegGlidePaths({input.altitude, input.lengthKm, copy.legKm, copy.margins,
                                          copy.finalGlideMargins, glide::PolarInUse(context.polar)});
        profileLabel_ = L"LEG";
    } else {
        const std::shared_ptr<const core::ElevationModel> model = core::CurrentElevationModel();
        const float firstLeg = glide::QueueRouteFirstLegKm.load();
        input.lengthKm = ProfileLengthKm(firstLeg >= 0.0F ? std::optional(firstLeg) : std::nullopt);
        const core::TerrainProfile sampled = core::SampleAlongCourse(
            model.get(), position.longitude, position.latitude, trackRadians, input.lengthKm);
        if (sampled.status != core::SampleStatus::kNone) {
            count = sampled.samples.size();
            profileBuffer_.resize(ProfileBufferSize(profileBuffer_.size(), count));
            std::copy(sampled.samples.begin(), sampled.samples.end(), profileBuffer_.begin());
        }
        input.lowest = sampled.lowest;
        input.highest = sampled.highest;
        profileLabel_ = L"TRK";
        input.glideEnds = TrackGlideEnds(context, input.altitude, input.lengthKm, trackRadians);
    }
    input.ground = std::span<const float>(profileBuffer_.data(), count);
    const glide::DisplayUnit distance = glide::CurrentDistanceUnit();
    const ProfileUnits units{core::g_unitDist.load(), distance.factor, core::g_unitAlt.load()};
    profile_ = LayOutProfile(input, model_.Layout(), std::max(GetClientSize().x, 1), units);
    if (!profile_) model_.CloseProfile();  // fewer than two samples: no profile
    g_positionPageShowsProfile = model_.Mode() == ViewMode::kProfile;
    Refresh(false);
}

}  // namespace frame
