#pragma once
// One line of a waypoint file, in any of its three layouts:
//
// Decimal (".dta"): [\][^]NAME,V1,V2,V3,V4,V5,V6[,ALTITUDE[UNIT][, MAP VALUES]]
//   V1..V6 are latitude and longitude (positive west) in degrees, minutes and
//   seconds, each separated by one character; when V1 > 361 the line is UTM
//   instead (V4 northing, V5 zone, negative south, V6 easting). '\' says that
//   a comment and attachment lines follow, '^' sets the marker flag.
// Tab (".tab"): eight or more TAB-separated fields with hemisphere letters
//   and degrees, minutes, seconds, in two field orders.
// Alternate: a comma layout with quoted fields, DDMM.mm positions with
//   hemisphere letters, name, comment, altitude and a style field; used when
//   the text after the first comma does not start with a number.
//
// Full-width forms of ASCII punctuation and digits are read as ASCII.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/waypoint_record.h"
#include "platform/numbers.h"

namespace nav {

struct WaypointLine {
    bool accepted = false;           // the line gave a record
    bool attachmentsFollow = false;  // a decimal record with the '\' prefix
};

class WaypointLineParser {
  public:
    // Reads `line` (its line end may be included) into the position, unit
    // vector, altitude, name, flags and kind of `record` (an alternate line
    // also sets the comment). Altitudes without a unit letter are metres
    // when altitudesInMetres (the file's "ALT[M]" header), else feet. A
    // decimal line's map values go into *extension when one is given;
    // values the line does not carry are left as they are.
    WaypointLine Parse(std::wstring_view line, bool altitudesInMetres, WaypointRecord& record,
                       MapExtension* extension);

  private:
    std::optional<WaypointLine> ParseDecimal(std::wstring_view line, std::size_t comma,
                                             std::wstring_view rest,
                                             bool altitudesInMetres, WaypointRecord& record,
                                             MapExtension* extension);
    WaypointLine ParseTab(std::wstring_view line, bool altitudesInMetres, WaypointRecord& record);
    WaypointLine ParseAlternate(std::wstring_view line, WaypointRecord& record);

    // Scratch buffers kept between lines.
    std::wstring folded_;
    std::wstring fields_;
    std::vector<char> quoted_;
};

// c is the ASCII character `ascii` or its full-width form (U+FF01..U+FF5E
// stand for U+0021..U+007E).
inline bool MatchesAscii(wchar_t c, wchar_t ascii) {
    return c == ascii || (c >= 0xFF01 && c <= 0xFF5E && c - 0xFEE0 == ascii);
}

// Whether a file's first line is the "ALT[M]" header (letters in either
// case): the file's altitudes without a unit letter are metres.
bool IsMetresHeader(std::wstring_view line);

}  // namespace nav
