#pragma once
// The values of the Set Bounds dialog: each bound as whole degrees,
// decimal minutes and a hemisphere, and the box it shows.

#include <string>

#include "tools/brisvel/geo_bounds.h"

namespace brisvel {

struct BoundEntry {
    double degrees = 0.0;
    double minutes = 0.0;
    bool southOrWest = false;
    friend bool operator==(const BoundEntry&, const BoundEntry&) = default;
};

// Degrees + minutes / 60, negated for S or W.
float BoundFromEntry(const BoundEntry& entry);
// The whole degrees (truncated), the minutes and the hemisphere of a value.
BoundEntry EntryFromBound(float value);

// "45:30.000 S": whole degrees truncated, decimal minutes, N/S or E/W.
std::string BoundText(float value, bool latitude);

// The dialog's four bounds, as entries; defaults 90/-90 and 180/-180.
struct SetBoundsValues {
    BoundEntry maxLat{90.0, 0.0, false};
    BoundEntry minLat{90.0, 0.0, true};
    BoundEntry maxLon{180.0, 0.0, false};
    BoundEntry minLon{180.0, 0.0, true};

    static SetBoundsValues From(const core::GeoBox& bounds);
    core::GeoBox ToBounds() const;
};

}  // namespace brisvel
