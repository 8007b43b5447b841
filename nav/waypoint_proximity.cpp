#include "nav/waypoint_proximity.h"

#include "core/settings_values.h"
#include "nav/current_position.h"
#include "services/shared_locks.h"

namespace nav {

CourseResult g_proximityCourse;

int NextProximityState(int previous, float distance, float radius, bool approachBand) {
    int state = 0;
    if (distance >= radius) {
        state = (previous & kProximityInside) != 0 ? kProximityChange | kProximityOutside
                                                   : kProximityOutside;
    } else {
        state = (previous & kProximityOutside) != 0 ? kProximityChange | kProximityInside
                                                    : kProximityInside;
    }
    if (!approachBand) return state;

    const float near = radius + kApproachMargin;
    const float far = radius + 1.5F * kApproachMargin;
    const bool wasApproaching = (previous & kProximityApproach) != 0;
    if (distance < near) {
        state |= kProximityApproach;
        if (!wasApproaching || (previous & kProximityApproachEdge) != 0) {
            state |= kProximityApproachStart;
        }
    } else if (distance <= far) {
        state |= kProximityApproach | kProximityApproachEdge;
    } else if (wasApproaching) {
        state |= kProximityApproachStart;
    }
    return state;
}

int UpdateProximityState(const WaypointRecord& target, float& distance, float radius) {
    {
        const platform::CriticalSectionLock lock(core::MapLock);
        distance = CourseAndDistance(g_mapFix, target, &g_proximityCourse);
    }
    const bool band = core::g_autoZoomWaypoint.load(std::memory_order_relaxed) != 0;
    const int state = NextProximityState(g_proximityState.load(), distance, radius, band);
    g_proximityState = state;
    return state;
}

}  // namespace nav
