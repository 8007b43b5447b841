#include "tools/tandrel/tandrel_settings.h"

#include <cmath>
#include <string>

#include "platform/numbers.h"

namespace tandrel {
namespace {

constexpr char kBoundaries[] = "Boundaries";
constexpr char kAltitudes[] = "Altitudes";
constexpr char kOptions[] = "Options";

double ReadNumber(const platform::SettingsStore& store, const char* section, const char* name,
                  double fallback) {
    const std::string text = store.GetString(section, name, std::string());
    const auto number = platform::ScanDouble(text);
    return number && std::isfinite(number->value) ? number->value : fallback;
}

int ReadInt(const platform::SettingsStore& store, const char* section, const char* name, int fallback) {
    return static_cast<int>(store.GetInt(section, name, static_cast<std::uint32_t>(fallback)));
}

bool WriteNumber(platform::SettingsStore& store, const char* section, const char* name, double value) {
    return store.WriteString(section, name, platform::FormatC("%lf", value));
}

}  // namespace

void LoadOptions(const platform::SettingsStore& store, TandrelOptions& o) {
    o.north = ReadNumber(store, kBoundaries, "North", 0.0);
    o.south = ReadNumber(store, kBoundaries, "South", 0.0);
    o.east = ReadNumber(store, kBoundaries, "East", 0.0);
    o.west = ReadNumber(store, kBoundaries, "West", 0.0);
    o.northNS = ReadInt(store, kBoundaries, "NorthNS", 0);
    o.southNS = ReadInt(store, kBoundaries, "SouthNS", 0);
    o.eastEW = ReadInt(store, kBoundaries, "EastEW", 1);
    o.westEW = ReadInt(store, kBoundaries, "WestEW", 1);
    o.country = store.GetString(kBoundaries, "Country", std::string());
    o.skipHigh = ReadInt(store, kAltitudes, "SkipHigh", 1) != 0;
    o.maxBottom = ReadNumber(store, kAltitudes, "MaxBottom", 18000.0);
    o.topOffset = ReadNumber(store, kAltitudes, "Top", 0.0);
    o.bottomOffset = ReadNumber(store, kAltitudes, "Bottom", 0.0);
    o.units = ReadInt(store, kOptions, "Units", 0);
    o.borderColour = ReadInt(store, kOptions, "Lines", 2);
    o.fill = ReadInt(store, kOptions, "doFill", 0) != 0;
    o.fillColour = store.GetInt(kOptions, "Fill", 0xFFE0E0);
    o.wideBorder = ReadInt(store, kOptions, "Border", 0) != 0;
    o.useAnd = ReadInt(store, kOptions, "useAND", 1) != 0;
    o.noNotes = ReadInt(store, kOptions, "Notes", 0) != 0;
    o.exceptionRemarks = ReadInt(store, kOptions, "GetExRem", 1) != 0;
}

bool SaveOptions(platform::SettingsStore& store, const TandrelOptions& o) {
    bool ok = WriteNumber(store, kBoundaries, "North", o.north);
    ok = WriteNumber(store, kBoundaries, "South", o.south) && ok;
    ok = WriteNumber(store, kBoundaries, "East", o.east) && ok;
    ok = WriteNumber(store, kBoundaries, "West", o.west) && ok;
    ok = store.WriteInt(kBoundaries, "NorthNS", static_cast<std::uint32_t>(o.northNS)) && ok;
    ok = store.WriteInt(kBoundaries, "SouthNS", static_cast<std::uint32_t>(o.southNS)) && ok;
    ok = store.WriteInt(kBoundaries, "EastEW", static_cast<std::uint32_t>(o.eastEW)) && ok;
    ok = store.WriteInt(kBoundaries, "WestEW", static_cast<std::uint32_t>(o.westEW)) && ok;
    ok = store.WriteString(kBoundaries, "Country", o.country) && ok;
    ok = store.WriteInt(kAltitudes, "SkipHigh", o.skipHigh ? 1 : 0) && ok;
    ok = WriteNumber(store, kAltitudes, "MaxBottom", o.maxBottom) && ok;
    ok = WriteNumber(store, kAltitudes, "Top", o.topOffset) && ok;
    ok = WriteNumber(store, kAltitudes, "Bottom", o.bottomOffset) && ok;
    ok = store.WriteInt(kOptions, "Units", static_cast<std::uint32_t>(o.units)) && ok;
    ok = store.WriteInt(kOptions, "Lines", static_cast<std::uint32_t>(o.borderColour)) && ok;
    ok = store.WriteInt(kOptions, "doFill", o.fill ? 1 : 0) && ok;
    ok = store.WriteInt(kOptions, "Fill", o.fillColour) && ok;
    ok = store.WriteInt(kOptions, "Border", o.wideBorder ? 1 : 0) && ok;
    ok = store.WriteInt(kOptions, "useAND", o.useAnd ? 1 : 0) && ok;
    ok = store.WriteInt(kOptions, "Notes", o.noNotes ? 1 : 0) && ok;
    ok = store.WriteInt(kOptions, "GetExRem", o.exceptionRemarks ? 1 : 0) && ok;
    return ok;
}

std::filesystem::path LoadDafifFolder(const platform::SettingsStore& store) {
    return store.GetString(kOptions, "DafifFolder", std::string());
}

bool SaveDafifFolder(platform::SettingsStore& store, const std::filesystem::path& folder) {
    return store.WriteString(kOptions, "DafifFolder", folder.string());
}

}  // namespace tandrel
