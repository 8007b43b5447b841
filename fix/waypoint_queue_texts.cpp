#include "fix/waypoint_queue_texts.h"

#include <cmath>
#include <mutex>
#include <string>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "core/waypoint_course.h"
#include "fix/display_links.h"
#include "glide/altitude_required.h"
#include "glide/final_glide.h"
#include "glide/glide_context.h"
#include "glide/glide_path.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly.h"
#include "glide/speed_to_fly_text.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "nav/task_zone.h"
#include "nav/waypoint_proximity.h"
#include "platform/ui_post.h"
#include "resources/ids/main_frame.h"
#include "services/shared_locks.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"
#include "texts/queue_texts.h"

namespace gps {
namespace {

constexpr int kStateInside = 0x4;
constexpr int kStateChanged = 0x8;
constexpr int kStateChangeMark = 0x1;
constexpr int kStateApproachStart = 0x10;
constexpr int kStateApproach = 0x30;

// What the step remembers from fix to fix (fix-processing thread; the
// reset comes from the UI thread, hence the lock).
struct ArrivalState {
    bool pending = false;  // reached; leaving it moves on to the next waypoint
    bool arrived = false;
};
std::mutex g_arrivalMutex;
ArrivalState g_arrival;

// The target as taken under TaskLock.
struct Target {
    nav::WaypointRecord record;
    bool taskPoint = false;
    int zoneState = 0;
    int insideCount = 0;
};

std::optional<Target> TakeTarget(const nav::WaypointRecord& fix) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (nav::g_destinationValid.load() == 0) return std::nullopt;
    Target target;
    if (auto* point = dynamic_cast<nav::CTaskPoint*>(nav::g_activeTaskPoint)) {
        target.record = point->QueueRecord();
        target.taskPoint = true;
        target.zoneState = nav::IsFixInTaskPointZone(point, nullptr, nav::kZoneSlotQueue, &fix);
        target.insideCount = point->UpdateInsideCount(fix);
    } else {
        target.record = nav::g_destination;
    }
    return target;
}

void SetPrefixFrom(const glide::DisplayText& source) {
    glide::DestinationPrefixText.Overwrite(0, source.Get().substr(0, 2), 2);
}

// The route's terrain, sampled into glide::QueueRoute.
struct Terrain {
    glide::RouteTerrainInfo info;
    bool usable = false;
};

void SampleRoute(const nav::WaypointRecord& fix, const Target& target, float distance,
                 double course, bool wanted, Terrain& terrain) {
    auto& route = glide::QueueRoute;
    route[0].start = {fix.latitude, fix.longitude, fix.altitude, true};
    route[0].length = distance;
    route[0].course = course;
    route[1].start = {target.record.latitude, target.record.longitude, target.record.altitude,
                      target.record.altitudeKnown};
    route[1].length = 0.0F;
    if (!wanted) return;
    const auto model = core::CurrentElevationModel();
    const int status = glide::SampleGlidePath(model.get(), route, 1, terrain.info);
    terrain.usable = glide::g_useDemInfo.load() != 0 && status != 0;
}

// The final glide runs again when asked, while a drift estimate exists,
// after the last one failed, and once the glider passed its obstacle.
void RunFinalGlide(const NavSnapshot& published, const glide::GlideContext& context, int& flags,
                   float distance, double course, float targetAltitude, Terrain& terrain) {
    if (!glide::PolarInUse(context.polar)) return;
    const glide::FinalGlideResults last = glide::CurrentFinalGlide();
    if (terrain.usable && !context.driftValid && (flags & kQueueRecomputeFinalGlide) == 0 &&
        last.macCready[0] >= 0.0F) {
        for (const float obstacle : last.obstacleToTarget) {
            if (obstacle >= 0.0F && distance < obstacle) flags |= kQueueRecomputeFinalGlide;
        }
    }
    if (!context.driftValid && (flags & kQueueRecomputeFinalGlide) == 0 && last.macCready[0] >= 0.0F)
        return;
    glide::FinalGlideRoute route;
    route.gpsAltitude = published.gpsAltitude;
    route.targetAltitude = targetAltitude;
    route.distance[0] = distance;
    route.course[0] = course;
    route.terrain = terrain.usable ? &terrain.info : nullptr;
    route.groundClearance = glide::g_groundClearAltitude.load();
    glide::FinalGlide(context, route);
}

struct Arrival {
    bool reachable = false;
    float need = 0.0F;
    bool clearanceKnown = false;  // the terrain search ran
};

Arrival ArrivalAltitude(const NavSnapshot& published, const glide::GlideContext& context,
                        float distance, double course, float targetAltitude, Terrain& terrain) {
    const bool useWind = core::g_windCorrection.load() != 0;
    const float gpsAltitude = published.gpsAltitude;
    const glide::RequiredAltitude required =
        glide::AltitudeRequired(context, distance, targetAltitude, course, published.speedKt,
                                published.trackRad, useWind, 0, glide::StfSpeed.load());
    Arrival arrival{required.altitude >= 0.0F, required.altitude, false};
    float shortfall = 0.0F;
    if (arrival.reachable && terrain.usable) {
        auto& legs = terrain.info.legs;
        legs[0].plannedAltitude[0] = arrival.need;
        legs[1].plannedAltitude[0] = targetAltitude + context.safetyAltitude;
        if (glide::FindGlidePathClearance(terrain.info, &glide::GlidePathConflict, 0,
                                          gpsAltitude - arrival.need, 0, -1, nullptr)) {
            arrival.clearanceKnown = true;
            const float clearance = terrain.info.slots[0].minimumClearance;
            const float wanted = glide::g_groundClearAltitude.load();
            if (clearance < wanted) shortfall = wanted - clearance;
        }
        arrival.need += shortfall;
    }
    arrival.need -= glide::EnergyHeight.load();
    if (glide::PolarInUse(context.polar) && !context.driftValid) {
        const int slot = useWind ? 1 : 0;
        glide::FinalGlideResults results = glide::CurrentFinalGlide();
        const auto k = static_cast<std::size_t>(slot);
        float at = glide::AltitudeRequiredAtSpeed(context, distance, targetAltitude,
                                                  results.speed[k], course, useWind);
        if (at > 0.0F) at += shortfall;
        results.arrival[k] = std::isfinite(at) ? at : glide::kUnreachableAtSpeed;
        glide::SetFinalGlide(results);
    }
    return arrival;
}

// The profile of the terrain ahead for the position page.
void HandProfileToPage(const Terrain& terrain, float margin, const DisplayLinks& links,
                       bool driftValid) {
    if (!driftValid || !links.ProfileModeOn() || !terrain.usable || !(margin > 0.0F)) return;
    {
        const platform::CriticalSectionLock lock(glide::GlidePathLock);
        glide::ProfileCopy& copy = glide::GlidePathProfile;
        copy.samples = glide::QueueRoute[0].samples;
        copy.lowest = terrain.info.lowest;
        copy.highest = terrain.info.highest;
        copy.legKm = glide::QueueRoute[0].length;
        copy.distanceKm = copy.legKm;
        copy.margins = {margin, 0.0F};
        const glide::FinalGlideResults finalGlide = glide::CurrentFinalGlide();
        const auto slot = static_cast<std::size_t>(core::g_windCorrection.load() != 0 ? 1 : 0);
        copy.finalGlideMargins.reset();
        if (finalGlide.macCready[slot] >= 0.0F) {
            copy.finalGlideMargins = std::array{finalGlide.margin1[slot], finalGlide.margin2[slot]};
        }
        copy.ready = true;
    }
    platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_USER_MAPNEWFIX, 1);
}

// Letters, sounds and moving on. False when the step ends here.
bool FollowArrival(int state, DisplayLinks& links) {
    bool moveOn = false;
    bool playLeaving = false;
    bool playArrival = false;
    {
        const std::lock_guard lock(g_arrivalMutex);
        if ((state & kStateInside) == 0) {
            g_arrival.arrived = false;
            playLeaving = (state & kStateChanged) != 0;
            if (g_arrival.pending && (state & kStateChangeMark) != 0) {
                g_arrival.pending = false;
                moveOn = true;
            }
        } else {
            g_arrival.arrived = true;
            playArrival = (state & kStateChanged) != 0;
            g_arrival.pending = true;
        }
    }
    const bool inside = (state & kStateInside) != 0;
    SetPrefixFrom(inside ? glide::ArrivedPrefixText : glide::ToPrefixText);
    if (playLeaving) links.PlaySound(core::g_soundPathTo.Get());
    if (playArrival) links.PlaySound(core::g_soundPathAt.Get());
    if (!moveOn) return true;
    bool queued = false;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        queued = nav::g_waypointQueue.current >= 0;
    }
    if (queued) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                    xrc::main_frame::kNextWaypoint);
    }
    return false;
}

void SteerZoom(const Target& target, int state, DisplayLinks& links) {
    if (links.MapZoomFixed()) return;
    if (target.taskPoint) {
        if (target.insideCount == 1 || target.insideCount == 2) {
            links.ZoomMap(target.record, glide::g_autodetectRadius.load(), 2);
        } else if (target.insideCount == -1 || target.insideCount == -2) {
            links.ZoomMap(target.record, 0.0F, 0);
        }
        return;
    }
    const float radius = glide::g_autodetectRadius.load();
    if (core::g_autoZoomWaypoint.load() == 0 || !g_arrivalTestOn.load() || !(radius > 0.0F)) return;
    if ((state & kStateApproach) == kStateApproach) {
        links.ZoomMap(target.record, 1.5F * nav::kApproachMargin + radius, 2);
    } else if ((state & kStateApproachStart) != 0) {
        links.ZoomMap(target.record, 0.0F, 0);
    }
}

double FoldDegrees(double degrees) {
    return std::remainder(degrees, 360.0);
}

}  // namespace

void UpdateWaypointQueueTexts(int flags) {
    const nav::WaypointRecord fix = nav::CopyMapFix();
    const std::optional<Target> target = TakeTarget(fix);
    if (!target) {
        glide::QueueRouteFirstLegKm = -1.0F;
        return;
    }
    const std::shared_ptr<DisplayLinks> links = CurrentDisplayLinks();

    nav::CourseResult course;
    float distance = nav::CourseAndDistance(fix, target->record, &course);
    glide::QueueRouteFirstLegKm = distance;
    {
        const glide::DisplayUnit unit = glide::CurrentDistanceUnit();
        glide::DestinationDistanceText.Format(L"%03.1f%ls", double{distance * unit.factor},
                                              std::wstring(unit.name).c_str());
    }
    int state = target->zoneState;
    if (!target->taskPoint)
        state = nav::UpdateProximityState(target->record, distance, glide::g_autodetectRadius.load());

    const glide::GlideContext context = glide::CurrentGlideContext();
    const std::shared_ptr<const NavSnapshot> snapshot = CurrentNav();
    const NavSnapshot& published = *snapshot;
    const bool haveFix = published.gpsAltitudeValid != 0;
    Terrain terrain;
    SampleRoute(fix, *target, distance, course.trueCourseRad,
                haveFix && (glide::g_useDemInfo.load() != 0 || context.driftValid), terrain);

    const float targetAltitude = target->record.altitudeKnown ? target->record.altitude : -1.0F;
    RunFinalGlide(published, context, flags, distance, course.trueCourseRad, targetAltitude,
                  terrain);
    const Arrival arrival = ArrivalAltitude(published, context, distance, course.trueCourseRad,
                                            targetAltitude, terrain);

    HandProfileToPage(terrain, arrival.need - targetAltitude - context.safetyAltitude, *links,
                      context.driftValid);
    if (g_arrivalTestOn.load() && !FollowArrival(state, *links)) return;
    SteerZoom(*target, state, *links);

    int mode = glide::g_glideDisplayMode.load();
    if (mode == glide::kGlideModeTerrain && glide::g_useDemInfo.load() == 0) {
        glide::g_glideDisplayMode = glide::kGlideModeAltitude;
        mode = glide::kGlideModeAltitude;
    }
    if (mode == glide::kGlideModeTerrain && !terrain.usable) mode = glide::kGlideModeAltitude;

    const bool useWind = core::g_windCorrection.load() != 0;
    const int slot = useWind ? 1 : 0;
    const auto k = static_cast<std::size_t>(slot);
    const glide::FinalGlideResults finalGlide = glide::CurrentFinalGlide();
    glide::QueueTextInput in;
    in.mode = mode;
    in.reachable = arrival.reachable;
    in.need = arrival.need;
    in.targetAltitudeKnown = target->record.altitudeKnown;
    in.distanceKm = distance;
    in.magneticBearing = course.magneticCourseDeg;
    in.relative = useWind && context.wind.valid;
    in.relativeBearing = FoldDegrees(course.trueCourseDeg - published.trackDeg);
    in.turnLeft = static_cast<wchar_t>(glide::g_goLeft.load());
    in.turnRight = static_cast<wchar_t>(glide::g_goRight.load());
    in.gpsAltitude = published.gpsAltitude;
    in.showDifference = glide::g_showAltitudeDifference.load() != 0;
    in.energyHeight = glide::EnergyHeight.load();
    in.finalGlideMc = finalGlide.macCready[k];
    in.finalGlideSpeed = finalGlide.speed[k];
    in.finalGlideSpeed2 = finalGlide.secondLegSpeed[k];
    in.finalGlideArrival = finalGlide.arrival[k];
    if (mode == glide::kGlideModeTerrain) {
        const glide::RouteTerrainInfo::Slot& found = terrain.info.slots[0];
        in.clearanceKnown = arrival.clearanceKnown;
        in.conflictDistanceKm = found.conflictDistance;
        in.lowestAltitude = in.gpsAltitude + found.minimumClearance - arrival.need;
        in.lowestDistanceKm = found.lowestDistance;
    }
    in.glidePrefix = glide::GlidePrefixText.Get();
    in.distanceUnit = core::g_unitDist.load();
    in.altitudeUnit = core::g_unitAlt.load();
    in.speedUnit = core::g_unitSpeed.load();
    in.climbUnit = core::g_unitVario.load();
    const glide::QueueTexts texts = glide::FormatQueueTexts(in);
    glide::BearingText.Set(texts.bearing);
    glide::RequiredGlideText.Set(texts.requiredGlide);
    glide::DestinationLineText.Set(texts.destinationLine);

    if ((flags & kQueueInvalidatePage) != 0 && !links->ProfileModeOn())
        links->InvalidatePositionPage();
}

void ResetWaypointQueueTexts() {
    {
        const std::lock_guard lock(g_arrivalMutex);
        g_arrival = ArrivalState{};
    }
    SetPrefixFrom(glide::ToPrefixText);
}

bool DestinationReached() {
    const std::lock_guard lock(g_arrivalMutex);
    return g_arrival.arrived;
}

}  // namespace gps
