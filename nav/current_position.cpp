#include "nav/current_position.h"

#include "services/shared_locks.h"

namespace nav {

WaypointRecord g_mapFix;
WaypointRecord g_destination;

WaypointRecord CopyMapFix() {
    const platform::CriticalSectionLock lock(core::MapLock);
    return g_mapFix;
}

WaypointRecord CopyDestination() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    return g_destination;
}

void ResetCurrentPosition(double latitude, double lonWest) {
    const platform::CriticalSectionLock lock(core::MapLock);
    g_mapFix.latitude = latitude;
    g_mapFix.longitude = lonWest;
    g_mapFix.ComputeUnitVector();
    g_mapFix.altitude = 0.0F;
    g_mapFix.altitudeKnown = false;
    g_mapFix.flags = 0;
}

void MoveCurrentPosition(double latitude, double lonWest) {
    const platform::CriticalSectionLock lock(core::MapLock);
    g_mapFix.latitude = latitude;
    g_mapFix.longitude = lonWest;
    g_mapFix.ComputeUnitVector();
}

void SetDestinationToCurrentPosition(std::wstring_view name) {
    WaypointRecord destination = CopyMapFix();
    destination.name.Assign(name);
    const platform::CriticalSectionLock lock(core::TaskLock);
    g_destination = destination;
}

}  // namespace nav
