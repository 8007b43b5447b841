#pragma once
// The rules of the input form's coordinate mode and of the thresholds
// dialog, apart from their windows. Pure; any thread.

#include <optional>

#include "tools/quorlin/elevation_colors.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

// A latitude and longitude as the form shows them: hemispheres, whole
// degrees and minutes, seconds to a tenth.
struct CoordinateForm {
    bool south = false;
    double latDegrees = 0, latMinutes = 0, latSeconds = 0;
    bool east = false;
    double lonDegrees = 0, lonMinutes = 0, lonSeconds = 0;
    friend bool operator==(const CoordinateForm&, const CoordinateForm&) = default;
};

// Splits a corner (longitude positive west) for the form.
CoordinateForm SplitCoordinates(Corner corner);
// The corner the form's values give; nothing when a part is negative (the
// form then says "All numbers must be positive" and stays open).
std::optional<Corner> JoinCoordinates(const CoordinateForm& form);

// The level (0-based) that is not above the one before it; nothing when
// the levels rise throughout.
std::optional<int> FirstLevelOutOfOrder(const Thresholds& levels);

}  // namespace quorlin
