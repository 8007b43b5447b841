#include "gps/nmea_parser_state.h"

#include <algorithm>

namespace gps {

NmeaParserState g_nmeaState;

bool SatelliteList::Replace(std::string_view ids) {
    const std::size_t length = std::min(ids.size(), kCapacity);
    const bool differs = Text() != ids.substr(0, length);
    std::copy_n(ids.begin(), length, ids_.begin());
    length_ = length;
    return differs;
}

void ResetNmeaParserState() {
    g_nmeaState = NmeaParserState{};
}

}  // namespace gps
