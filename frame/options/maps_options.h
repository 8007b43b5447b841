#pragma once
// The map options page's values ("Options\Maps") in display units: the
// track's dots, the cursor blink, zoom and margin, the map radius, the track
// cache, rotation to the track and the simplification distance. Without wx;
// UI thread only.

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

struct MapsOptions {
    int dotSize = 2;                 // 0..5
    int dotSpacing = 3;              // 0..12
    unsigned cursorBlinkTime = 4;    // tenths of a second, 2..20
    float zoomFactor = 1.5F;         // 1.05..10
    int trackCacheSaveInterval = 3;  // 0..100
    int mapMargin = 10;              // per cent, 2..48
    float mapRadius = 16.0F;         // statute miles, or km with the km unit
    unsigned trackCacheLength = 8000;  // points, 1..100000
    int allowRotationToTog = 1;
    int minimumMapRotationAngle = 30;  // degrees, 20..90
    float mapSimplifyDistance = 0.47F;  // statute miles, or km with the km unit
    int showGotoLine = 1;
    bool km = false;

    static MapsOptions FromRunning(ViewLink& views);
    // `opened`: the values the page was built with; fields left as they were
    // keep their unrounded running values, whatever units changed since.
    void Apply(platform::SettingsStore& store, ViewLink& views, const MapsOptions& opened) const;
};

}  // namespace frame
