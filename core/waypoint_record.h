#pragma once
// WaypointRecord: every place the program knows (a waypoint of the waypoint
// file, the current position, the destination, a queue slot, a task point's
// target) is one of these plain values. Copies are deep: each record owns its
// attached strings.
//
// Positions are in radians with longitude positive WEST (east longitudes are
// negative); the unit vector is kept beside them for the great-circle
// computations. Altitudes are in feet.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/waypoint_attachments.h"

namespace nav {

// A name stored inside the record (no allocation), zero-terminated.
class WaypointName {
  public:
    // Characters kept at most; longer texts are cut.
    static constexpr std::size_t kCapacity = 43;

    WaypointName() = default;
    explicit WaypointName(std::wstring_view text) { Assign(text); }

    // Keeps the first `limit` characters of text (at most kCapacity).
    void Assign(std::wstring_view text, std::size_t limit = kCapacity);
    void Clear() { Assign({}); }

    std::wstring_view View() const { return {chars_.data(), length_}; }
    const wchar_t* c_str() const { return chars_.data(); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

    friend bool operator==(const WaypointName& a, const WaypointName& b) {
        return a.View() == b.View();
    }

  private:
    std::array<wchar_t, kCapacity + 1> chars_{};
    std::uint8_t length_ = 0;
};

// How many characters of a name the waypoint-file readers keep, and how many
// a name typed by the pilot or made with a queue prefix keeps.
inline constexpr std::size_t kFileNameLength = 20;
inline constexpr std::size_t kEnteredNameLength = 19;

// Kind codes: records of the waypoint file's main layouts and queue entries
// made from task points; records of the alternate comma layout.
inline constexpr std::uint8_t kKindWaypoint = 13;
inline constexpr std::uint8_t kKindAlternate = 44;

// Flag bits. The marker asks the map to show the waypoint's elevation; the
// waypoint file writes it as a leading '^'.
inline constexpr std::uint32_t kMarkerFlag = 1;

// The altitude of a record that has none.
inline constexpr float kNoAltitude = -1.0F;

// Feet per metre, as every reader and writer of the program converts.
inline constexpr double kFeetPerMetre = 3.2808;

// The six map values a waypoint line may carry (see waypoint_map_elements.h):
// symbol code, first value pair, altitude-display flag, second value pair.
using MapExtension = std::array<float, 6>;

struct WaypointRecord {
    WaypointRecord() = default;
    // A record at (latitude, longitude), given in degrees when inDegrees,
    // else radians; the longitude keeps the caller's positive-west sign.
    WaypointRecord(double latitudeIn, double longitudeIn, bool inDegrees);

    double longitude = 0.0;  // radians, positive west
    double latitude = 0.0;   // radians, positive north
    double x = 0.0;          // cos(latitude) cos(longitude)
    double y = 0.0;          // -cos(latitude) sin(longitude)
    double z = 0.0;          // sin(latitude)
    float altitude = 0.0F;   // feet; kNoAltitude while there is none
    bool altitudeKnown = false;
    WaypointName name;
    std::uint32_t flags = 0;
    WaypointAttachments attachments;
    std::uint8_t kind = 0;

    // Fills x, y and z from the position.
    void ComputeUnitVector();
    // Copies position and unit vector only.
    void CopyPosition(const WaypointRecord& other);
    // Both longitude and latitude differ by less than 1e-7 radians.
    bool IsSamePosition(const WaypointRecord& other) const;
    bool HasMarker() const { return (flags & kMarkerFlag) != 0; }

    friend bool operator==(const WaypointRecord&, const WaypointRecord&) = default;
};

}  // namespace nav
