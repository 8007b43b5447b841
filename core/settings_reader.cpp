#include "core/settings_reader.h"

#include <cmath>

#include "platform/numbers.h"

namespace core {

std::int32_t SettingsReader::Int(std::string_view section, std::string_view name,
                                 std::int32_t defaultValue) const {
    return static_cast<std::int32_t>(
        store_.GetInt(section, name, static_cast<std::uint32_t>(defaultValue)));
}

std::uint32_t SettingsReader::Unsigned(std::string_view section, std::string_view name,
                                       std::uint32_t defaultValue) const {
    return store_.GetInt(section, name, defaultValue);
}

float SettingsReader::Float(std::string_view section, std::string_view name,
                            std::string_view defaultText, float fallback) const {
    const auto scanned = platform::ScanFloat(store_.GetString(section, name, defaultText));
    return scanned && std::isfinite(scanned->value) ? scanned->value : fallback;
}

double SettingsReader::Double(std::string_view section, std::string_view name,
                              std::string_view defaultText, double fallback) const {
    const auto scanned = platform::ScanDouble(store_.GetString(section, name, defaultText));
    return scanned && std::isfinite(scanned->value) ? scanned->value : fallback;
}

std::wstring SettingsReader::Text(std::string_view section, std::string_view name,
                                  std::wstring_view defaultValue) const {
    return store_.GetString(section, name, defaultValue);
}

}  // namespace core
