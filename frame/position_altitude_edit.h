#pragma once
// The position page's waypoint-altitude edit: the pilot swipes the
// destination line, types the destination waypoint's altitude and sets it.
//
// The edit may stay open for as long as the pilot likes while the waypoint
// loader, the task and the queue change underneath. So the edit keeps a
// copy of the waypoint and its identity (queue slot, name and position),
// and the set command looks the waypoint up again: it writes only to
// records that still match, and nothing when the waypoint has gone.
//
// UI thread. The look-ups take core::TaskLock (the queue and the task list)
// and nav::WaypointListLock (the waypoint file's list), one after the other,
// never nested.

#include <optional>
#include <string>
#include <string_view>

#include "core/waypoint_record.h"

namespace frame {

struct AltitudeEditTarget {
    int slot = -1;  // the destination's queue slot when the edit opened
    nav::WaypointRecord copy;
};

// The destination as the edit opens on it: nothing without a destination.
std::optional<AltitudeEditTarget> CaptureDestinationForEdit();

// The edit's text for an altitude in feet: "%0.0f" in feet, or in metres
// when the altitude unit is not feet (unitAlt != 0).
std::wstring AltitudeEditText(float feet, int unitAlt);

// The typed altitude in feet: full-width characters folded, read as "%f"
// reads it (leading blanks, then a number, anything may follow); metres
// become feet. Nothing when the text holds no number.
std::optional<float> ParseAltitudeEdit(std::wstring_view text, int unitAlt);

enum class AltitudeSetResult {
    kStored,          // written (and the task file rewritten when a task is loaded)
    kNotANumber,      // nothing written
    kWaypointGone,    // the waypoint is no longer where the edit found it
    kTaskFileKept,    // written in memory; the task file was not rewritten (see below)
};

// Where the task file goes; empty: no task file is rewritten.
struct TaskFileTarget {
    std::wstring path;
};

// Stores the typed altitude in the waypoint: the queue slot's copy, the
// task points at the same place with the same name (the linked one and
// those of the task list) and the waypoint file's entries at that place.
// With task points changed and a path, the task file is rewritten through a
// temporary file; a task list whose read stopped at a broken task is never
// written back (kTaskFileKept), nor is one whose save failed.
AltitudeSetResult SetEditedAltitude(const AltitudeEditTarget& target, std::wstring_view text,
                                    int unitAlt, const TaskFileTarget& taskFile);

}  // namespace frame
