#include "map/map_view_settings.h"

#include "platform/numbers.h"

namespace map {
namespace {

constexpr const char* kMaps = "Options\\Maps";

float ReadFloatText(const platform::SettingsStore& store, const char* name, float fallback) {
    const std::string text = store.GetString(kMaps, name, platform::FormatC("%f", static_cast<double>(fallback)));
    const auto value = platform::ScanFloat(text);
    return value ? value->value : fallback;
}

int ReadInt(const platform::SettingsStore& store, const char* name, int fallback) {
    return static_cast<int>(store.GetInt(kMaps, name, static_cast<std::uint32_t>(fallback)));
}

}  // namespace

MapViewSettings ReadMapViewSettings(const platform::SettingsStore& store,
                                    const MapViewSettings& defaults) {
    MapViewSettings s;
    s.allowGotoWithTask = ReadInt(store, "allowGOTOwithTask", defaults.allowGotoWithTask);
    s.showLiftInThermalMode = ReadInt(store, "ShowLiftInThermalMode", defaults.showLiftInThermalMode);
    s.cursorBlinkMs = ReadInt(store, "CursorBlinkTime", defaults.cursorBlinkMs);
    s.dotSize = ReadInt(store, "DotSize", defaults.dotSize);
    s.dotSpacing = ReadInt(store, "DotSpacing", defaults.dotSpacing);
    s.zoomedTrackCacheLength = ReadInt(store, "ZoomedTrackCacheLength", defaults.zoomedTrackCacheLength);
    s.zoomedMapRadius = ReadFloatText(store, "ZoomedMapRadius", defaults.zoomedMapRadius);
    s.zoomFactor = ReadFloatText(store, "ZoomFactor", defaults.zoomFactor);
    s.mapMargin = ReadFloatText(store, "MapMargin", defaults.mapMargin);
    s.mapFile = store.GetString("Settings", "MapFile", defaults.mapFile);
    s.drawLinesInThermalMode = ReadInt(store, "DrawLinesInThermalMode", defaults.drawLinesInThermalMode);
    s.overlayFile = store.GetString("Settings", "OverlayFile", defaults.overlayFile);
    s.showGotoLine = static_cast<int>(store.GetInt(
        "Settings", "ShowGOTOline", static_cast<std::uint32_t>(defaults.showGotoLine)));
    return s;
}

}  // namespace map
