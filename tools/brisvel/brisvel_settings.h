#pragma once
// What Brisvel keeps between runs, in the settings store's section
// "Settings": the folder shapefiles were last opened from (ShapeFolder) and
// the bounds maps are written for (BoundsMaxLat, BoundsMinLat, BoundsMaxLon,
// BoundsMinLon, each the 32-bit pattern of its single-precision value).

#include <filesystem>

#include "platform/settings_store.h"
#include "tools/brisvel/geo_bounds.h"

namespace brisvel {

// The stored bounds; all unset when BoundsMaxLat is absent or unset (the
// others are then not read).
core::GeoBox LoadBounds(const platform::SettingsStore& store);
bool SaveBounds(platform::SettingsStore& store, const core::GeoBox& bounds);

std::filesystem::path LoadShapeFolder(const platform::SettingsStore& store);
bool SaveShapeFolder(platform::SettingsStore& store, const std::filesystem::path& folder);

}  // namespace brisvel
