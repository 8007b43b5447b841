#include "map/map_timer_duties.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>

#include "core/settings_values.h"
#include "glide/glide_path.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "gps/port_auto_baud.h"
#include "map/alarm_zone_check.h"
#include "map/map_sprite.h"
#include "map/map_view_engine.h"
#include "nav/current_position.h"
#include "platform/message_box.h"
#include "resources/ids/strings.h"
#include "resources/ids/strings_map.h"
#include "services/string_resources.h"

namespace map {
namespace {

constexpr int kIdleCount = 10;   // ticks of silence after the director was idle
constexpr int kMinimumGap = 4;   // ticks between two director sounds, at least

int DirectorGap(float difference) {
    return std::max(kMinimumGap, kSoundHoldOffTicks - static_cast<int>(std::trunc(difference)));
}

}  // namespace

FixAgeStep AdvanceFixAge(double& ageHours, int periodMs, bool noFixMarkSet) {
    ageHours += periodMs / 3600000.0;
    FixAgeStep step;
    step.clearDataReceived = ageHours < kFreshFixHours;
    step.fixCurrent = ageHours <= kValidFixHours;
    step.clearNoFixMark = step.fixCurrent && noFixMarkSet;
    step.setNoFixMark = !step.fixCurrent;
    return step;
}

std::wstring SpeedDirectorTick(const SpeedDirectorInput& in) {
    if (in.circling || !in.polarFitted || !in.enabled || in.airspeed <= 10.0F ||
        in.groundSpeedKnots <= 1.0F) {
        g_soundHoldOff = kIdleCount;
        return {};
    }
    std::wstring sound;
    if (g_soundHoldOff.load() <= 0) {
        if (in.airspeed < in.speedToFly - in.tolerance) {
            sound = kFlyFasterSound;
            g_soundHoldOff = DirectorGap(in.speedToFly - in.airspeed);
        } else if (in.airspeed > in.speedToFly + in.tolerance) {
            sound = kFlySlowerSound;
            g_soundHoldOff = DirectorGap(in.airspeed - in.speedToFly);
        }
    }
    --g_soundHoldOff;
    return sound;
}

ZoneAlarmStep ZoneAlarmAnnouncer::Tick(const ZoneAlarmVerdict& verdict, bool circling,
                                       SteadyMs now) {
    ZoneAlarmStep step;
    if (verdict.active && verdict.zone != 0) {
        quietSince_ = -1;
        if (!buttonShown_ || verdict.zone != announced_) {
            buttonShown_ = popupShown_ = true;
            announced_ = verdict.zone;
            step.showButton = step.showPopup = step.soundStarted = true;
            step.sound = verdict.zoneSound.empty() ? std::wstring(kZoneAlarmSound) : verdict.zoneSound;
            g_soundHoldOff = kSoundHoldOffTicks;
            popupEnd_ = now + kPopupMs;
        } else if (popupShown_ && now >= popupEnd_) {
            popupShown_ = false;
            step.hidePopup = true;
        }
        return step;
    }
    if (!buttonShown_) return step;
    if (quietSince_ < 0) quietSince_ = now;
    if (circling && now - quietSince_ < kCirclingHoldMs) return step;
    step.hidePopup = popupShown_;
    step.hideButton = true;
    buttonShown_ = popupShown_ = false;
    announced_ = 0;
    quietSince_ = -1;
    return step;
}

bool DestinationSound::Due(SteadyMs now) {
    if (movedAt_ < 0 || now - movedAt_ < kDelayMs) return false;
    movedAt_ = -1;
    return true;
}

float TaskAltitudeLimits::Limit(bool beforeStart) const {
    constexpr float kNoLimit = 100000.0F;
    if (beforeStart) return beforeLimits ? maxAltBefore - altMarginBefore : kNoLimit;
    return onTaskLimits ? maxAltOnTask - altMarginOnTask : kNoLimit;
}

TaskAltitudeLimits TaskAltitudeLimits::FromWorking(float before, float onTask) {
    TaskAltitudeLimits limits;
    limits.beforeLimits = limits.onTaskLimits = true;
    limits.maxAltBefore = before;
    limits.maxAltOnTask = onTask;
    return limits;
}

TaskWarningStep TaskAltitudeWarning::Tick(float altitude, bool beforeStart,
                                          const TaskAltitudeLimits& limits, PopupState popup,
                                          SteadyMs now) {
    TaskWarningStep step;
    if (altitude > limits.Limit(beforeStart)) {
        if (!popup.shown && !warned_) {
            step.warn = true;
            warned_ = true;
            warnedAt_ = now;
        } else if (!popup.shown && now - warnedAt_ > kRearmMs) {
            warned_ = false;
        }
        // The warning's popup stays up for a while after the altitude
        // dropped below the limit; another kind of popup takes it over.
        if (popup.shown && popup.kind == 2) dueAt_ = now + kSecondPopupMs;
        if (popup.shown && popup.kind == 4) dueAt_ = -1;
        return step;
    }
    if (dueAt_ >= 0 && now >= dueAt_) {
        step.hidePopup = popup.shown && popup.kind == 2;
        dueAt_ = -1;
    }
    return step;
}

// --- The map window's timer.

namespace {

using ids::kIdsTimerCaption;
using ids::kIdsTimerFailed;
using ids::kIdsNoTimer;
using ids::kIdsOtherTimer;
using ids::kIdsAboveAltitudeLimit;

}  // namespace

using view_parts::GlidePathConflictPoint;
using view_parts::ToWxRect;

void CGPSmapView::OnTimer(wxTimerEvent& event) {
    if (event.GetId() != kMapTimerId) {
        event.Skip();
        return;
    }
    TimerTick();
}

void CGPSmapView::TimerTick() {
    const SteadyMs now = clock_();
    // 1. The port's baud search.
    gps::PollAutoBaud();

    // 2. Fix age, the no-fix mark and the speed director.
    double age = g_fixAgeHours.load();
    const bool markSet = sources_.noFixMarkSet && sources_.noFixMarkSet();
    const FixAgeStep step = AdvanceFixAge(age, timerIntervalMs_, markSet);
    g_fixAgeHours = age;
    if (step.clearNoFixMark && sources_.setNoFixMark) sources_.setNoFixMark(false);
    if (step.setNoFixMark && sources_.setNoFixMark) sources_.setNoFixMark(true);
    if (step.fixCurrent && sources_.speedDirector) {
        const std::wstring sound = SpeedDirectorTick(sources_.speedDirector());
        if (!sound.empty()) sound_->Play(sound);
    }

    // 3. The zone alarm.
    bool soundStarted = false;
    ZoneAlarmDuty(now, soundStarted);

    // 4. The aircraft, or the recentre.
    if (!soundStarted && g_bHaveFix.load() != 0 && model_.mapLoaded != 0) UpdateAircraftSprite();

    // 5. The destination sound, and the GOTO line to the new destination.
    if (destinationSound_.Due(now)) {
        const std::wstring sound = sources_.destinationSound ? sources_.destinationSound() : L"";
        if (!sound.empty()) {
            g_soundHoldOff = kSoundHoldOffTicks;
            sound_->Play(sound);
        }
        if (g_bHaveFix.load() != 0) Refresh(false);
    }

    // 6. The task altitude warning.
    TaskWarningDuty(now);
}

void CGPSmapView::ZoneAlarmDuty(SteadyMs now, bool& soundStarted) {
    ZoneAlarmVerdict verdict;
    mapdata::CMapElement* zone = engine_->alarm.alarmedZone.load();
    verdict.active = engine_->alarm.alarmActive.load() != 0 && zone != nullptr;
    if (verdict.active) {
        verdict.zone = reinterpret_cast<std::uintptr_t>(zone);
        // The zone's texts are read only when it is announced anew.
        if (verdict.zone != zoneSeen_ || !zoneAlarm_.ButtonShown()) {
            if (sources_.zoneText) verdict.popupText = sources_.zoneText(*zone);
            else verdict.popupText = ZoneAlarmText(*zone, core::g_unitAlt.load() != 0);
            if (sources_.zoneSound) verdict.zoneSound = sources_.zoneSound(*zone);
        }
    }
    const bool circling = sources_.circling ? sources_.circling() : gps::CurrentNav()->circling;
    const ZoneAlarmStep step = zoneAlarm_.Tick(verdict, circling, now);
    if (step.showButton) alarmAck_->Show();
    if (step.hideButton) alarmAck_->Hide();
    if (step.soundStarted) {
        zoneSeen_ = verdict.zone;
        sound_->Play(step.sound);
        soundStarted = true;
    }
    if (step.showPopup && sources_.showPopup) sources_.showPopup(verdict.popupText, 1);
    if (step.hidePopup && sources_.popup && sources_.hidePopup && sources_.popup().kind == 1)
        sources_.hidePopup();
}

void CGPSmapView::TaskWarningDuty(SteadyMs now) {
    if (!sources_.task) return;
    const auto task = sources_.task();
    if (!task) return;
    const PopupState popup = sources_.popup ? sources_.popup() : PopupState{};
    const TaskWarningStep step = taskWarning_.Tick(task->altitude, task->beforeStart, task->limits, popup, now);
    if (step.warn) {
        g_soundHoldOff = kSoundHoldOffTicks;
        sound_->Play(kZoneAlarmSound);
        if (sources_.showPopup)
            sources_.showPopup(core::LoadResourceString(kIdsAboveAltitudeLimit), 2);
    }
    if (step.hidePopup && sources_.hidePopup) sources_.hidePopup();
}

void CGPSmapView::UpdateAircraftSprite() {
    if (model_.mapLoaded == 0) return;
    const nav::WaypointRecord fix = nav::CopyMapFix();
    const mapdata::MapDrawState state = model_.Published();
    const platform::Point at = ProjectToScreenPoint(state, fix);
    const wxRect area(model_.drawRect.left, model_.drawRect.top,
                      model_.drawRect.right - model_.drawRect.left,
                      model_.drawRect.bottom - model_.drawRect.top);
    if (!area.Contains(wxPoint(at.x, at.y))) {
        for (const platform::PixelRect& r : engine_->painter.HideSprites()) RefreshRect(ToWxRect(r), false);
        RecentreOnAircraft(fix);
        return;
    }
    // The sprites move: repaint their old and new places only.
    const auto repaint = engine_->painter.PlaceSprites(state, fix, gps::CurrentNav()->trackDeg,
                                                       model_.rotationDeg, GlidePathConflictPoint());
    for (const platform::PixelRect& r : repaint) RefreshRect(ToWxRect(r), false);
}

// The aircraft left the drawing area. In the thermal view the map centres
// on the thermal (the last circle's middle) while one is known, so that the
// circles stay in sight, and on the aircraft only when that leaves it out.
void CGPSmapView::RecentreOnAircraft(const nav::WaypointRecord& fix) {
    const std::optional<glide::DriftReferencePoint> thermal =
        model_.zoomed != 0 ? glide::DriftReference() : std::nullopt;
    bool centred = false;
    if (thermal) {
        model_.CenterMapOn(nav::WaypointRecord(thermal->latitude, thermal->lonWest, false), false);
        const platform::Point at = ProjectToScreenPoint(model_.PublishMapTransform(), fix);
        const platform::PixelRect& r = model_.drawRect;
        centred = at.x >= r.left && at.x <= r.right && at.y >= r.top && at.y <= r.bottom;
    }
    if (!centred) model_.CenterMapOn(fix, false);
    if (model_.TakeRedrawRequest()) MapChanged();
}

void CGPSmapView::StartMapTimer(int intervalMs) {
    if (!timer_.Start(intervalMs)) {
        timerId_ = 0;
        platform::ShowMessageBox(wxGetTopLevelParent(this), core::LoadResourceString(kIdsNoTimer),
                                 core::LoadResourceString(kIdsTimerCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
        return;
    }
    if (timer_.GetId() != kMapTimerId) {
        platform::ShowMessageBox(wxGetTopLevelParent(this), core::LoadResourceString(kIdsOtherTimer),
                                 core::LoadResourceString(kIdsTimerCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
    (void)kIdsTimerFailed;
    timerId_ = kMapTimerId;
    timerIntervalMs_ = intervalMs;
}

void CGPSmapView::KillMapTimer() {
    timer_.Stop();
    timerId_ = 0;
}

}  // namespace map
