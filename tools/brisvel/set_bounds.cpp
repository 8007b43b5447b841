#include "tools/brisvel/set_bounds.h"

#include <cmath>

#include "platform/numbers.h"

namespace brisvel {

float BoundFromEntry(const BoundEntry& entry) {
    const double value = entry.degrees + entry.minutes / 60.0;
    return static_cast<float>(entry.southOrWest ? -value : value);
}

BoundEntry EntryFromBound(float value) {
    const double magnitude = std::fabs(static_cast<double>(value));
    const double degrees = std::trunc(magnitude);
    return {degrees, (magnitude - degrees) * 60.0, value < 0.0F};
}

std::string BoundText(float value, bool latitude) {
    const BoundEntry entry = EntryFromBound(value);
    const char hemisphere = latitude ? (entry.southOrWest ? 'S' : 'N') : (entry.southOrWest ? 'W' : 'E');
    return platform::FormatC("%.0f:%.3f %c", entry.degrees, entry.minutes, hemisphere);
}

SetBoundsValues SetBoundsValues::From(const core::GeoBox& b) {
    if (!IsSet(b)) return {};
    return {EntryFromBound(b.north), EntryFromBound(b.south), EntryFromBound(b.east), EntryFromBound(b.west)};
}

core::GeoBox SetBoundsValues::ToBounds() const {
    return {BoundFromEntry(minLon), BoundFromEntry(minLat), BoundFromEntry(maxLon), BoundFromEntry(maxLat)};
}

}  // namespace brisvel
