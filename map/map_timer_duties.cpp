#include "map/map_timer_duties.h"

#include <algorithm>
#include <cmath>

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

}  // namespace map
