#include "tools/brisvel/brisvel_settings.h"

#include <bit>
#include <cstdint>
#include <string>

namespace brisvel {
namespace {

constexpr char kSettings[] = "Settings";

float ReadBound(const platform::SettingsStore& store, const char* name) {
    return std::bit_cast<float>(store.GetInt(kSettings, name, std::bit_cast<std::uint32_t>(kUnsetBound)));
}

bool WriteBound(platform::SettingsStore& store, const char* name, float value) {
    return store.WriteInt(kSettings, name, std::bit_cast<std::uint32_t>(value));
}

}  // namespace

core::GeoBox LoadBounds(const platform::SettingsStore& store) {
    core::GeoBox bounds = kUnsetBounds;
    bounds.north = ReadBound(store, "BoundsMaxLat");
    if (bounds.north == kUnsetBound) return bounds;
    bounds.south = ReadBound(store, "BoundsMinLat");
    bounds.east = ReadBound(store, "BoundsMaxLon");
    bounds.west = ReadBound(store, "BoundsMinLon");
    return bounds;
}

bool SaveBounds(platform::SettingsStore& store, const core::GeoBox& bounds) {
    bool ok = WriteBound(store, "BoundsMaxLat", static_cast<float>(bounds.north));
    ok = WriteBound(store, "BoundsMinLat", static_cast<float>(bounds.south)) && ok;
    ok = WriteBound(store, "BoundsMaxLon", static_cast<float>(bounds.east)) && ok;
    ok = WriteBound(store, "BoundsMinLon", static_cast<float>(bounds.west)) && ok;
    return ok;
}

std::filesystem::path LoadShapeFolder(const platform::SettingsStore& store) {
    return store.GetString(kSettings, "ShapeFolder", std::string());
}

bool SaveShapeFolder(platform::SettingsStore& store, const std::filesystem::path& folder) {
    return store.WriteString(kSettings, "ShapeFolder", folder.string());
}

}  // namespace brisvel
