#include "nav/waypoint_map_elements.h"

#include <mutex>
#include <utility>

namespace nav {
namespace {

std::mutex& WaypointHookMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<WaypointMapHook>& WaypointHook() {
    static std::shared_ptr<WaypointMapHook> hook;
    return hook;
}

void KeepPair(float& first, float& second) {
    if (!(second > 0.0F) || second == first) first = second = 0.0F;
}

}  // namespace

void SetWaypointMapHook(std::shared_ptr<WaypointMapHook> hook) {
    const std::lock_guard lock(WaypointHookMutex());
    WaypointHook() = std::move(hook);
}

std::shared_ptr<WaypointMapHook> GetWaypointMapHook() {
    const std::lock_guard lock(WaypointHookMutex());
    return WaypointHook();
}

MapExtension ElementExtension(const MapExtension& extension) {
    MapExtension kept = extension;
    KeepPair(kept[1], kept[2]);
    KeepPair(kept[4], kept[5]);
    return kept;
}

}  // namespace nav
