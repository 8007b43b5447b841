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

Bounds LoadBounds(const platform::SettingsStore& store) {
    Bounds bounds;
    bounds.maxLat = ReadBound(store, "BoundsMaxLat");
    if (bounds.maxLat == kUnsetBound) return bounds;
    bounds.minLat = ReadBound(store, "BoundsMinLat");
    bounds.maxLon = ReadBound(store, "BoundsMaxLon");
    bounds.minLon = ReadBound(store, "BoundsMinLon");
    return bounds;
}

bool SaveBounds(platform::SettingsStore& store, const Bounds& bounds) {
    bool ok = WriteBound(store, "BoundsMaxLat", bounds.maxLat);
    ok = WriteBound(store, "BoundsMinLat", bounds.minLat) && ok;
    ok = WriteBound(store, "BoundsMaxLon", bounds.maxLon) && ok;
    ok = WriteBound(store, "BoundsMinLon", bounds.minLon) && ok;
    return ok;
}

std::filesystem::path LoadShapeFolder(const platform::SettingsStore& store) {
    return store.GetString(kSettings, "ShapeFolder", std::string());
}

bool SaveShapeFolder(platform::SettingsStore& store, const std::filesystem::path& folder) {
    return store.WriteString(kSettings, "ShapeFolder", folder.string());
}

}  // namespace brisvel
