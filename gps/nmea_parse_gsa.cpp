// GSA: the satellites in use, for the flight log's F records.
#include <array>

#include "gps/nmea_parse_internal.h"

namespace gps::nmea_parse {
namespace {

constexpr int kSatelliteFields = 12;

bool AllDigits(std::string_view field) {
    for (const char c : field) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

// Skips the mode and fix-type fields, then writes each satellite number of
// one or two digits as two digits (longer ones cannot go into the log's
// two-character slots and are left out).
int ParseGsa(ParseContext& context, std::string_view text) {
    SatelliteList& satellites = context.state.satellites;
    if (satellites.changed) return 1;
    std::array<char, 2 * kSatelliteFields> ids{};
    std::size_t length = 0;
    for (int field = 0; field < 2 + kSatelliteFields; ++field) {
        const std::size_t comma = text.find(',');
        const std::string_view id = text.substr(0, comma);
        if (field >= 2 && !id.empty() && id.size() <= 2 && AllDigits(id)) {
            if (id.size() == 1) ids[length++] = '0';
            for (const char c : id)
                ids[length++] = c;
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (satellites.Replace({ids.data(), length})) satellites.changed = true;
    return 1;
}

}  // namespace gps::nmea_parse
