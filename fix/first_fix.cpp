#include "fix/first_fix.h"

#include <atomic>
#include <cmath>
#include <optional>

#include "core/elevation_model.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"

namespace gps {
namespace {

// Fixes still to skip (below 0), 0 until the map has the first fix, then 1.
std::atomic<int> g_firstFixCounter{-2};

void MoveCurrentPosition(const NavSnapshot& published) {
    const platform::CriticalSectionLock lock(core::MapLock);
    nav::WaypointRecord& fix = nav::g_mapFix;
    fix.latitude = published.latRad;
    fix.longitude = published.lonRad;
    fix.ComputeUnitVector();
    fix.altitude = published.gpsAltitude;
    fix.altitudeKnown = published.gpsAltitudeValid != 0;
    const auto model = core::CurrentElevationModel();
    const std::optional<float> terrain =
        model ? model->GetElevationAt(fix.longitude, fix.latitude) : std::nullopt;
    g_terrainElevation = terrain && std::isfinite(*terrain) ? *terrain : kUnknownTerrain;
}

void AnnounceFirstFix() {
    if (nav::g_destinationValid.load() == 0) {
        nav::SetDestinationToCurrentPosition(L" ???");
        nav::g_destinationValid = 1;
    }
    if (platform::SendWindowMessage(platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT))
        g_firstFixCounter = 1;
}

}  // namespace

bool FollowPublishedPosition(const NavSnapshot& published) {
    MoveCurrentPosition(published);
    const int counter = g_firstFixCounter.load();
    if (counter < 0) {
        g_firstFixCounter = counter + 1;
        return false;
    }
    if (counter == 0) AnnounceFirstFix();
    return true;
}

void RestartFirstFix() {
    g_firstFixCounter = -2;
}

bool FirstFixAnnounced() {
    return g_firstFixCounter.load() > 0;
}

}  // namespace gps
