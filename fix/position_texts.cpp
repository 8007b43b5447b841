#include "fix/position_texts.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>

#include "core/settings_values.h"
#include "fix/display_links.h"
#include "fix/first_fix.h"
#include "fix/process_time.h"
#include "fix/waypoint_queue_texts.h"
#include "glide/final_glide.h"
#include "glide/glide_context.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/olc_worker.h"
#include "nav/task_model.h"
#include "nav/task_navigation.h"
#include "nav/task_texts.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"
#include "services/track_cache.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"
#include "texts/position_lines.h"
#include "texts/queue_texts.h"
#include "texts/team_code_line.h"

namespace gps {
namespace {

constexpr int kLowAltitudeStart = 1000;
constexpr int kLowAltitudeRearmed = -5;
constexpr double kNoHeading = -1.0;

// The pass's memory from fix to fix.
struct PassState {
    int lowAltitudeCounter = kLowAltitudeStart;
    double lastMapHeading = kNoHeading;
};
std::mutex g_stateMutex;
PassState g_state;
ProcessTimeStatistics& Statistics() {
    static ProcessTimeStatistics statistics;
    return statistics;
}

bool HasPositionBits(std::uint32_t mask, std::uint32_t bits) {
    return (mask & bits) != 0;
}

std::uint32_t MovedSourceBits(std::uint32_t source) {
    constexpr std::uint32_t kMoved = 0x100 | 0x200 | 0x1000 | 0x2000 | 0x4000 | 0x8000;
    std::uint32_t moved = source & kMoved;
    if (HasPositionBits(source, 0x40 | 0x800)) moved |= 0x40;
    return moved;
}

void UpdateVarioBar(const NavSnapshot& published) {
    const float climb = published.vario;
    const double cell = std::isfinite(climb) ? std::floor(climb + 0.5) + 10.0 : 10.0;
    const int clamped = static_cast<int>(std::clamp(cell, 0.0, 20.0));
    g_varioBarIndex = 2 * clamped + (published.averageVario > climb ? 1 : 0);
}

// The stored point carries its colour index, which the map's track uses.
void AppendToTrack(const NavSnapshot& published, const nav::WaypointRecord& position) {
    core::g_trackAttribute =
        static_cast<std::uint32_t>(core::TrackColourIndex(published.averageVario, published.vario));
    core::TrackCacheAppend({position.x, position.y, position.z, 0, 0});
}

// Height above the terrain, the low-altitude warning and its text.
void WatchGroundClearance(const NavSnapshot& published) {
    const float terrain = g_terrainElevation.load();
    const float altitude = published.gpsAltitude;
    if (published.gpsAltitudeValid == 0 || terrain == kUnknownTerrain || !std::isfinite(altitude)) {
        glide::GroundClearanceText.Set(L"G: ?? ");
        return;
    }
    const float height = std::max(0.0F, altitude - terrain);
    g_heightAboveTerrain = height;
    int counter = 0;
    {
        const std::lock_guard lock(g_stateMutex);
        int& c = g_state.lowAltitudeCounter;
        c = height < core::g_gearWarnAt.load() ? c + 1 : kLowAltitudeRearmed;
        c = std::min(c, kLowAltitudeStart);
        counter = c;
    }
    if (counter == 0 || counter == 10 || counter == 30) {
        platform::WindowMessage message{platform::kMainFrameWindow, platform::WM_APP_PLAYSOUND, 0,
                                        counter, std::wstring(core::g_soundPathGw.Get())};
        platform::PostWindowMessage(std::move(message));
    }
    const glide::AltitudeUnit unit = glide::CurrentAltitudeUnit();
    glide::GroundClearanceText.Set(
        L"G:" + platform::FormatC(unit.format, height * unit.factor, std::wstring(unit.name).c_str()));
}

void TellViewsOfPosition(const NavSnapshot& published, bool replaying) {
    if (replaying) {
        platform::SendWindowMessage(platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX);
    } else {
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX);
    }
    if (published.straightFlight) {
        // The position page's profile takes the course in radians.
        const auto track = static_cast<float>(published.trackRad);
        platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_USER_MAPNEWFIX, 0,
                                    static_cast<std::intptr_t>(std::bit_cast<std::uint32_t>(track)));
    }
}

void WritePositionLines(const nav::WaypointRecord& position) {
    glide::PositionForm form = glide::PositionForm::kDegreesMinutesSeconds;
    if (core::g_useUtm.load() != 0) {
        form = glide::PositionForm::kUtm;
    } else if (core::g_decimalMinutes.load() != 0) {
        form = glide::PositionForm::kDecimalMinutes;
    }
    if (const auto lines = glide::FormatPositionLines(position.latitude, position.longitude, form)) {
        glide::LatitudeText.Set(lines->latitude);
        glide::LongitudeText.Set(lines->longitude);
    }
}

void WriteGroundStf(const NavSnapshot& published, const glide::GlideContext& context) {
    if (!context.polar.valid) return;
    const bool useWind = core::g_windCorrection.load() != 0;
    const glide::SpeedToFly stf =
        glide::SpeedToFlyForCourse(context, published.trackRad, 0.0F, useWind);
    if (!std::isfinite(stf.speed)) return;
    const glide::DisplayUnit unit = glide::CurrentSpeedUnit();
    std::wstring text =
        platform::FormatC(L"S:%01.0f%ls", stf.speed * unit.factor, std::wstring(unit.name).c_str());
    if (useWind && context.wind.valid) text[1] = L'>';
    glide::GroundStfText.Set(text);
}

// While circling in a drift estimate the glide display shows the MacCready
// form. True when the final glide must run again for it.
bool SwitchToMacCreadyWhileCircling(const NavSnapshot& published,
                                    const glide::GlideContext& context) {
    if (!published.circling || glide::g_showMcrWhileCircling.load() == 0 || !context.driftValid ||
        glide::g_glideDisplayMode.load() == glide::kGlideModeMacCready ||
        !glide::PolarInUse(context.polar) || nav::g_destinationValid.load() == 0) {
        return false;
    }
    const std::size_t slot = core::g_windCorrection.load() != 0 ? 1 : 0;
    if (!(glide::CurrentFinalGlide().arrival[slot] >= 0.0F)) return false;
    glide::g_glideDisplayMode = glide::kGlideModeMacCready;
    return true;
}

void RotateMapToTrack(const NavSnapshot& published) {
    if (core::g_allowRotationToTog.load() == 0 || !published.straightFlight) return;
    const double track = published.trackDeg;
    {
        const std::lock_guard lock(g_stateMutex);
        if (g_state.lastMapHeading >= 0.0) {
            const double turned = std::fabs(std::remainder(track - g_state.lastMapHeading, 360.0));
            if (!(turned > core::g_minimumMapRotationAngle.load())) return;
        }
        g_state.lastMapHeading = track;
    }
    // The map turns to the track it is given, in whole degrees.
    const auto wholeDegrees = static_cast<std::intptr_t>(std::lround(track)) % 360;
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX, 1,
                                wholeDegrees);
}

void WriteTrackText(const NavSnapshot& published, const DisplayLinks& links) {
    if (links.CourseUpHoldsTrackText()) return;
    const int mode = core::g_togString.load();
    if (mode == 0) {
        glide::TrackText.Format(L" %3.0lft ", published.trackDeg);
    } else if (mode == 1 || (mode == 2 && !published.headingValid)) {
        glide::TrackText.Format(L" %3.0lf%lc ", published.magneticCourse,
                                glide::CourseLetter(core::g_unitAlt.load()));
    }
}

// The indicated airspeed the publication derived from the ground speed.
void WriteAirspeed(const NavSnapshot& published) {
    if (published.instrumentAirspeed || !std::isfinite(published.speedKt * published.densityFactor))
        return;
    const glide::DisplayUnit unit = glide::CurrentSpeedUnit();
    glide::AirspeedText.Format(L"I:%01.0f%ls", published.indicatedAirspeed * unit.factor,
                               std::wstring(unit.name).c_str());
}

// True when the final glide must run again.
bool WriteSpeedTexts(const NavSnapshot& published, const DisplayLinks& links) {
    const glide::DisplayUnit unit = glide::CurrentSpeedUnit();
    const float speed = published.speedKt;
    if (std::isfinite(speed))
        glide::GroundSpeedText.Format(L"%5.1f%ls", speed * unit.factor, std::wstring(unit.name).c_str());
    const glide::GlideContext context = glide::CurrentGlideContext();
    WriteGroundStf(published, context);
    const bool recompute = SwitchToMacCreadyWhileCircling(published, context);
    RotateMapToTrack(published);
    WriteTrackText(published, links);
    WriteAirspeed(published);
    return recompute;
}

void ShowOlcResult() {
    const std::optional<float> km = nav::TakeNewOlcResult();
    if (!km || !std::isfinite(*km)) return;
    const glide::DisplayUnit unit = glide::CurrentDistanceUnit();
    glide::OlcDistanceText.Format(L"D: %01.0f%ls", *km * unit.factor, std::wstring(unit.name).c_str());
}

void FollowTask(const NavSnapshot& published, const nav::WaypointRecord& position) {
    if (nav::g_taskNavigationActive.load() == 0) return;
    const platform::CriticalSectionLock lock(core::TaskLock);
    nav::CTask* task = nav::g_currentTask.load();
    if (task == nullptr || nav::g_taskTargetPoint.load() == nullptr) return;
    nav::UpdateTaskNavigation(task, &position, published.fixTimeHours);
    nav::WriteTaskText(*task);
    nav::WriteLegText(nav::g_taskTargetPoint.load());
}

}  // namespace

std::uint32_t UpdatePositionTexts(const FixChanges& changes, bool replaying) {
    const auto start = ProcessTimeStatistics::Clock::now();
    std::uint32_t result = MovedSourceBits(changes.sourceMask);
    const bool position =
        HasPositionBits(changes.valueMask, value_bit::kPosition | value_bit::kGpsAltitude);
    const bool speed = HasPositionBits(changes.valueMask, value_bit::kCourseAndSpeed);
    const std::shared_ptr<DisplayLinks> links = CurrentDisplayLinks();
    const std::shared_ptr<const NavSnapshot> snapshot = CurrentNav();
    const NavSnapshot& published = *snapshot;

    nav::WaypointRecord here;
    if (position) {
        if (!FollowPublishedPosition(published)) return 0;
        here = nav::CopyMapFix();
        UpdateVarioBar(published);
        AppendToTrack(published, here);
        WatchGroundClearance(published);
        TellViewsOfPosition(published, replaying);
        glide::UpdateOwnTeamCodeText(here.longitude, here.latitude);
        WritePositionLines(here);
        result |= position_bit::kPosition;
    }
    bool recompute = false;
    if (speed) {
        recompute = WriteSpeedTexts(published, *links);
        result |= position_bit::kSpeedAndCourse;
    }
    if (HasPositionBits(changes.valueMask, value_bit::kGpsAltitude | value_bit::kPressureAltitude))
        result |= position_bit::kOtherValues;
    g_positionTextsMask.fetch_or(result);

    if (position) {
        ShowOlcResult();
        if (HasPositionBits(changes.valueMask, value_bit::kPosition)) FollowTask(published, here);
        UpdateWaypointQueueTexts(recompute ? kQueueRecomputeFinalGlide : 0);
    }
    if ((position || speed) && links->RedrawWanted(result)) links->InvalidatePositionPage();

    if (FirstFixAnnounced()) {
        const auto end = ProcessTimeStatistics::Clock::now();
        Statistics().Add(std::chrono::duration<double, std::milli>(end - start).count(), end);
    }
    return result;
}

void ResetPositionTexts() {
    const std::lock_guard lock(g_stateMutex);
    g_state = PassState{};
}

void FlushProcessTimeStatistics() {
    Statistics().Flush();
}

}  // namespace gps
