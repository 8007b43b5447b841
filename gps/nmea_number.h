#pragma once
// Numbers in sentence fields. A received number is read the way scanf's
// "%lf" reads it (platform/numbers.h); on top of that a value whose
// magnitude is above kMaxWireMagnitude counts as unreadable: no field of any
// sentence or frame this program reads comes near it, and keeping values
// below it keeps every square and product of them finite.

#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/numbers.h"

namespace gps {

inline constexpr double kMaxWireMagnitude = 1e6;

// A decimal number (at most `width` characters after the blanks), or
// nothing when there is none or it is absurd.
inline std::optional<platform::Scanned<double>> ScanWireNumber(
    std::string_view text, std::size_t width = platform::kNoWidth) {
    auto scanned = platform::ScanDouble(text, width);
    if (scanned && !(std::fabs(scanned->value) <= kMaxWireMagnitude)) return std::nullopt;
    return scanned;
}

}  // namespace gps
