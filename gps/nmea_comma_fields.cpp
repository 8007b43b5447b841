#include "gps/nmea_comma_fields.h"

#include "gps/nmea_number.h"

namespace gps {

CommaFields::CommaFields(std::string_view text) {
    while (size_ < kMaxFields) {
        const std::size_t comma = text.find(',');
        fields_[size_++] = text.substr(0, comma);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
}

std::optional<float> CommaFields::Float(std::size_t index) const {
    if (index >= size_) return std::nullopt;
    const auto scanned = ScanWireNumber(fields_[index]);
    if (!scanned) return std::nullopt;
    return static_cast<float>(scanned->value);
}

std::optional<char> CommaFields::Char(std::size_t index) const {
    if (index >= size_ || fields_[index].empty()) return std::nullopt;
    return fields_[index].front();
}

}  // namespace gps
