#include "frame/options/maps_options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/settings_values.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "platform/numbers.h"
#include "services/track_cache.h"

namespace frame {
namespace {

constexpr char kMapsOptionsSection[] = "Options\\Maps";
constexpr float kMapsKmPerMile = 1.609F;

float RoundTo(float value, float step) {
    return std::floor(value / step + 0.5F) * step;
}

void WriteMapsInt(platform::SettingsStore& store, const char* name, int value) {
    store.WriteInt(kMapsOptionsSection, name, static_cast<std::uint32_t>(value));
}

}  // namespace

MapsOptions MapsOptions::FromRunning(ViewLink& views) {
    const MapViewValues view = views.Values();
    MapsOptions o;
    o.km = core::g_unitDist == 2;
    o.dotSize = view.dotSize;
    o.dotSpacing = view.dotSpacing;
    o.cursorBlinkTime = static_cast<unsigned>(std::max(0, view.cursorBlinkMs) / 100);
    o.zoomFactor = view.zoomFactor;
    o.trackCacheSaveInterval = core::g_trackCacheSaveInterval;
    o.mapMargin = static_cast<int>(view.marginFraction * 100.0F + 0.01F);
    const float radius = map::g_mapRadius;
    o.mapRadius = RoundTo(o.km ? radius * kMapsKmPerMile : radius, 0.1F);
    o.trackCacheLength = static_cast<unsigned>(std::max(0, core::g_trackCacheLength.load()));
    o.allowRotationToTog = core::g_allowRotationToTog;
    o.minimumMapRotationAngle = static_cast<int>(core::g_minimumMapRotationAngle);
    const float simplify = map::g_mapSimplifyDistance;
    o.mapSimplifyDistance = RoundTo(o.km ? simplify : simplify / kMapsKmPerMile, 0.01F);
    o.showGotoLine = view.showGotoLine;
    return o;
}

void MapsOptions::Apply(platform::SettingsStore& store, ViewLink& views, const MapsOptions& opened) const {
    const MapsOptions& shown = opened;
    MapViewValues view = views.Values();

    if (cursorBlinkTime != shown.cursorBlinkTime) view.cursorBlinkMs = static_cast<int>(cursorBlinkTime) * 100;
    views.StartMapTimer(view.cursorBlinkMs);
    view.dotSize = dotSize;
    view.dotSpacing = dotSpacing;
    if (zoomFactor != shown.zoomFactor) view.zoomFactor = zoomFactor;
    if (mapMargin != shown.mapMargin) view.marginFraction = static_cast<float>(mapMargin) / 100.0F;
    views.SetMapMargin(view.marginFraction);
    view.orientation = allowRotationToTog == 0 ? 0 : (view.trackUp != 0 ? 13 : 12);
    const bool gotoLineChanged = showGotoLine != view.showGotoLine;
    view.showGotoLine = showGotoLine;
    views.SetValues(view);
    if (gotoLineChanged) views.InvalidateMap();

    core::g_trackCacheSaveInterval = trackCacheSaveInterval;
    // A longer track needs a larger ring, which only the next start allocates.
    if (trackCacheLength < core::TrackCacheAllocatedCount()) {
        core::g_trackCacheLength = static_cast<int>(trackCacheLength);
    }
    core::g_allowRotationToTog = allowRotationToTog;
    if (minimumMapRotationAngle != shown.minimumMapRotationAngle) {
        core::g_minimumMapRotationAngle = static_cast<float>(minimumMapRotationAngle);
    }
    float radius = map::g_mapRadius;
    if (mapRadius != shown.mapRadius) radius = km ? mapRadius / kMapsKmPerMile : mapRadius;
    map::g_mapRadius = radius;
    float simplify = map::g_mapSimplifyDistance;
    if (mapSimplifyDistance != shown.mapSimplifyDistance) {
        simplify = km ? mapSimplifyDistance : mapSimplifyDistance * kMapsKmPerMile;
    }
    map::g_mapSimplifyDistance = simplify;

    WriteMapsInt(store, "CursorBlinkTime", view.cursorBlinkMs);
    WriteMapsInt(store, "DotSize", dotSize);
    WriteMapsInt(store, "DotSpacing", dotSpacing);
    WriteMapsInt(store, "TrackCacheSaveInterval", trackCacheSaveInterval);
    WriteMapsInt(store, "TrackCacheLength", static_cast<int>(trackCacheLength));
    WriteMapsInt(store, "AllowRotationToTOG", allowRotationToTog);
    WriteMapsInt(store, "MinimumMapRotationAngle", minimumMapRotationAngle);
    store.WriteString(kMapsOptionsSection, "MapRadius",
                      platform::FormatC("%f", static_cast<double>(radius)));
    store.WriteString(kMapsOptionsSection, "ZoomFactor",
                      platform::FormatC("%f", static_cast<double>(view.zoomFactor)));
    store.WriteString(kMapsOptionsSection, "MapMargin",
                      platform::FormatC("%f", static_cast<double>(view.marginFraction)));
    store.WriteInt("Settings", "ShowGOTOline", static_cast<std::uint32_t>(showGotoLine));
    std::uint8_t bytes[sizeof(float)];
    std::memcpy(bytes, &simplify, sizeof bytes);
    store.WriteBinary(kMapsOptionsSection, "mapSimplifyDistance", bytes);
}

}  // namespace frame
