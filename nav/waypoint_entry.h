#pragma once
// CWaypointEntry: a record of the waypoint file as the name-sorted waypoint
// list holds it, with where its line is and its map values.

#include <cstdint>
#include <string_view>

#include "core/object_with_sort.h"
#include "core/waypoint_record.h"

namespace nav {

// The case folding of waypoint names: ASCII and Latin-1 capitals to small
// letters, everything else as it is. The list's order and the first-letter
// search both fold this way, so that a name is always found where it sorts.
wchar_t FoldNameCase(wchar_t c);

// Compares two names ignoring case as FoldNameCase folds: negative, zero or
// positive as a sorts before, with or after b.
int CompareWaypointNames(std::wstring_view a, std::wstring_view b);

class CWaypointEntry final : public core::CObjectWithSort {
  public:
    CWaypointEntry() = default;
    CWaypointEntry(const WaypointRecord& recordIn, std::uint64_t lineOffsetIn,
                   const MapExtension& extensionIn)
        : record(recordIn), lineOffset(lineOffsetIn), extension(extensionIn) {}
    CWaypointEntry(const CWaypointEntry&) = default;
    CWaypointEntry& operator=(const CWaypointEntry&) = default;

    // The order of the first letter of the name against `key` (the
    // first-letter search of the waypoint list).
    int CompareKey(wchar_t key) const override;
    // The order of the names, ignoring case. `other` must be an entry too.
    int Compare(const core::CObjectWithSort& other) const override;

    WaypointRecord record;
    std::uint64_t lineOffset = 0;  // where the record's line starts in the file
    MapExtension extension{};      // all 0 when the line had none
};

}  // namespace nav
