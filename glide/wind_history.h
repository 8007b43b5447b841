#pragma once
// The wind history and the wind display text. After every change of the
// current wind FormatWindText rewrites WindText, puts a line and a copy of
// the wind at the head of the history (at most 80 entries, the oldest
// dropped), sets the cursor to the head and asks the map to redraw its wind
// indicator.
//
// Any thread: everything here is guarded by WindLock (glide/current_wind.h);
// the map's redraw is called after the lock is released.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "gps/gps_fix_record.h"

namespace glide {

inline constexpr std::size_t kWindHistoryLength = 80;

struct WindHistoryEntry {
    std::wstring line;
    gps::WindRecord wind;
};

// From the current wind, the published altitudes and the display units.
void FormatWindText();

// The entries, newest first.
std::vector<WindHistoryEntry> WindHistory();

// The entry at the cursor (nothing while the history is empty). Stepping by
// a positive count moves toward older entries, a negative one toward newer;
// the cursor stops at either end. Returns the entry then at the cursor.
std::optional<WindHistoryEntry> WindHistoryAtCursor();
std::optional<WindHistoryEntry> StepWindHistoryCursor(int step);

// Empties the history: at the start and the end of a flight replay and at
// program exit.
void ClearWindHistory();

// The map's wind indicator redraw, installed by the map (any thread may
// call it: it must post to its own window). Null: nothing to redraw.
using WindIndicatorRedraw = void (*)();
void SetWindIndicatorRedraw(WindIndicatorRedraw redraw);
bool WindIndicatorRedrawInstalled();

}  // namespace glide
