#include "gps/nmea_number.h"

#include <cmath>

namespace gps {

std::optional<platform::Scanned<double>> ScanWireNumber(std::string_view text, std::size_t width) {
    auto scanned = platform::ScanDouble(text, width);
    if (scanned && !(std::fabs(scanned->value) <= kMaxWireMagnitude)) return std::nullopt;
    return scanned;
}

}  // namespace gps
