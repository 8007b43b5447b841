#pragma once
// The text of a settings file, apart from the disk. For example:
//
//   kv-settings 1
//   [Options\Miscellaneous]
//   macReadyManualDef=text:1.00
//   ShowQueue=int:1024
//   centerLon=binary:000000000000F03F
//
// The first line names the format and its version. A section line holds a
// section path as the program names it. A value line holds the value name,
// '=', the type, ':' and the value: "int" in decimal (0..4294967295), "text"
// as it is, "binary" as two hex digits a byte. Bytes that would be read
// otherwise are written as %XX (two hex digits): in names control
// characters, DEL and "%=[]#;"; in texts control characters, DEL and '%'.
// Blank lines and lines beginning with '#' or ';' are comments; a CR before
// the line end is ignored. Names compare without regard to ASCII case; a
// name read twice keeps its first spelling and its last value.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace platform {

// ASCII case-insensitive order, usable with string_view keys.
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

using SettingsSection = std::map<std::string, SettingValue, CaseInsensitiveLess>;
using SettingsSections = std::map<std::string, SettingsSection, CaseInsensitiveLess>;

struct SettingsParseResult {
    std::optional<SettingsSections> sections;  // empty when the text is not a settings file
    std::size_t errorLine = 0;                 // 1-based line of the first fault
};

SettingsParseResult ParseSettingsFile(std::string_view text);

// Empty sections are left out.
std::string FormatSettingsFile(const SettingsSections& sections);

}  // namespace platform
