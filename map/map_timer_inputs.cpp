#include "map/map_timer_inputs.h"

#include "core/settings_values.h"
#include "glide/polar.h"
#include "glide/speed_to_fly_text.h"
#include "gps/nav_fix.h"
#include "nav/destination_queue.h"
#include "nav/task_limits.h"
#include "nav/task_model.h"

namespace map {

SpeedDirectorInput SpeedDirectorNow() {
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    SpeedDirectorInput in;
    in.enabled = core::g_speedDirector.load() != 0;
    in.circling = fix->circling;
    in.polarFitted = glide::CurrentPolar().valid;
    in.tolerance = core::g_speedDirectorTolerance.load();
    // The airspeed the fix processing makes from the ground speed and the
    // wind, and the speed to fly toward the destination.
    in.airspeed = fix->shownAirspeed;
    in.speedToFly = glide::StfSpeed.load();
    in.groundSpeedKnots = fix->speedKt;
    return in;
}

std::optional<TaskWarningInput> TaskWarningNow() {
    if (nav::g_taskNavigationActive.load() == 0 || nav::g_currentTask.load() == nullptr)
        return std::nullopt;
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    TaskWarningInput in;
    if (fix->pressureKnown) {
        in.altitude = fix->pressureAltitude;
    } else if (fix->gpsAltitudeValid != 0) {
        in.altitude = fix->gpsAltitude;
    } else {
        return std::nullopt;
    }
    const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
    in.beforeStart = target != nullptr && target == nav::g_taskStartPoint.load();
    in.limits = TaskAltitudeLimits::FromWorking(nav::g_warningAltitudeBefore.load(),
                                                nav::g_warningAltitudeOnTask.load());
    return in;
}

}  // namespace map
