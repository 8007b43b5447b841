#pragma once
// Typed reads of start-up settings with the conversions every value shares:
// integers as signed or unsigned 32-bit words, numbers stored as text read in
// the C form, texts as wide strings. A value that is missing or of another
// type gives the default.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace core {

class SettingsReader {
  public:
    explicit SettingsReader(platform::SettingsStore& store) : store_(store) {}

    std::int32_t Int(std::string_view section, std::string_view name,
                     std::int32_t defaultValue) const;
    std::uint32_t Unsigned(std::string_view section, std::string_view name,
                           std::uint32_t defaultValue) const;

    // A number stored as text, read as "%f" / "%lf" read it. A missing value
    // is read from defaultText (so the default comes back as its text rounds
    // it); a text that holds no finite number gives fallback.
    float Float(std::string_view section, std::string_view name, std::string_view defaultText,
                float fallback) const;
    double Double(std::string_view section, std::string_view name, std::string_view defaultText,
                  double fallback) const;

    std::wstring Text(std::string_view section, std::string_view name,
                      std::wstring_view defaultValue) const;

    platform::SettingsStore& Store() const { return store_; }

  private:
    platform::SettingsStore& store_;
};

}  // namespace core
