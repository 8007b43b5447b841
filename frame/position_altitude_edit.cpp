#include "frame/position_altitude_edit.h"

#include <cmath>
#include <mutex>

#include "nav/destination_queue.h"
#include "nav/task_file.h"
#include "nav/task_model.h"
#include "nav/waypoint_list.h"
#include "platform/ddx_text.h"
#include "platform/numbers.h"
#include "services/shared_locks.h"

namespace frame {
namespace {

bool SameWaypoint(const nav::WaypointRecord& record, const nav::WaypointRecord& copy) {
    return record.name == copy.name && record.IsSamePosition(copy);
}

bool SamePlace(const nav::CTaskPoint& point, const nav::WaypointRecord& copy) {
    nav::WaypointRecord at;
    at.longitude = point.longitude;
    at.latitude = point.latitude;
    return point.name == copy.name.View() && at.IsSamePosition(copy);
}

void StoreAltitude(nav::CTaskPoint& point, float feet) {
    point.altitude = feet;
    point.altitudeKnown = 1;
    point.target.altitude = feet;
    point.target.altitudeKnown = true;
}

// Under TaskLock: the queue slot and the task points. False when the slot
// no longer holds the waypoint.
bool StoreInQueueAndTasks(const AltitudeEditTarget& target, float feet, bool& taskPointsChanged) {
    const std::scoped_lock lock(core::TaskLock);
    if (target.slot < 0 || target.slot >= nav::kQueueSlots) return false;
    nav::QueueSlot& slot = nav::g_waypointQueue.slots[static_cast<std::size_t>(target.slot)];
    if (!SameWaypoint(slot.record, target.copy)) return false;
    slot.record.altitude = feet;
    slot.record.altitudeKnown = true;
    if (auto* linked = dynamic_cast<nav::CTaskPoint*>(slot.taskPoint)) {
        StoreAltitude(*linked, feet);
        taskPointsChanged = true;
    }
    for (const auto& task : nav::g_taskList) {
        for (auto& point : task->points) {
            if (point && SamePlace(*point, target.copy)) {
                StoreAltitude(*point, feet);
                taskPointsChanged = true;
            }
        }
    }
    return true;
}

void StoreInWaypointFile(const nav::WaypointRecord& copy, float feet) {
    const std::scoped_lock lock(nav::WaypointListLock);
    for (int i = 0; i < nav::g_waypoints.Count(); ++i) {
        nav::CWaypointEntry* entry = nav::g_waypoints.At(i);
        if (entry != nullptr && SameWaypoint(entry->record, copy)) {
            entry->record.altitude = feet;
            entry->record.altitudeKnown = true;
        }
    }
}

}  // namespace

std::optional<AltitudeEditTarget> CaptureDestinationForEdit() {
    const std::scoped_lock lock(core::TaskLock);
    const int slot = nav::g_waypointQueue.current;
    if (nav::g_destinationValid == 0 || slot < 0 || slot >= nav::kQueueSlots) return std::nullopt;
    return AltitudeEditTarget{slot, nav::g_waypointQueue.slots[static_cast<std::size_t>(slot)].record};
}

std::wstring AltitudeEditText(float feet, int unitAlt) {
    const double shown = unitAlt != 0 ? feet / nav::kFeetPerMetre : feet;
    return platform::FormatC(L"%0.0f", shown);
}

std::optional<float> ParseAltitudeEdit(std::wstring_view text, int unitAlt) {
    std::wstring folded(text);
    platform::FoldFullWidth(folded);
    const auto scanned = platform::ScanDouble(folded);
    if (!scanned || !std::isfinite(scanned->value)) return std::nullopt;
    const double feet = unitAlt != 0 ? scanned->value * nav::kFeetPerMetre : scanned->value;
    if (std::fabs(feet) > 1.0e6) return std::nullopt;  // no altitude on this planet
    return static_cast<float>(feet);
}

AltitudeSetResult SetEditedAltitude(const AltitudeEditTarget& target, std::wstring_view text,
                                    int unitAlt, const TaskFileTarget& taskFile) {
    const std::optional<float> feet = ParseAltitudeEdit(text, unitAlt);
    if (!feet) return AltitudeSetResult::kNotANumber;
    bool taskPointsChanged = false;
    if (!StoreInQueueAndTasks(target, *feet, taskPointsChanged)) {
        return AltitudeSetResult::kWaypointGone;
    }
    StoreInWaypointFile(target.copy, *feet);
    if (!taskPointsChanged || taskFile.path.empty()) return AltitudeSetResult::kStored;

    const std::scoped_lock lock(core::TaskLock);
    // The text after a broken task was never understood: writing the list
    // back would rewrite what the pilot never saw.
    if (!nav::g_taskList.UnreadText().empty()) return AltitudeSetResult::kTaskFileKept;
    return nav::SaveTaskFile(taskFile.path, nav::g_taskList) ? AltitudeSetResult::kStored
                                                             : AltitudeSetResult::kTaskFileKept;
}

}  // namespace frame
