#pragma once
// The settings of the map window: read from the store when it is made,
// changed as a whole by the options pages (CGPSmapView::ApplySettings).
// The floats are stored as text; their defaults are written with "%f" in
// the C locale before the read, and a text that does not read as a number
// keeps the default.

#include <string>

#include "platform/settings_store.h"

namespace map {

struct MapViewSettings {
    int allowGotoWithTask = 0;       // "allowGOTOwithTask"
    int showLiftInThermalMode = 1;   // "ShowLiftInThermalMode"
    int cursorBlinkMs = 400;         // "CursorBlinkTime"
    int dotSize = 2;                 // "DotSize"
    int dotSpacing = 3;              // "DotSpacing"
    int zoomedTrackCacheLength = 50; // "ZoomedTrackCacheLength"
    float zoomedMapRadius = 800.0F;  // "ZoomedMapRadius"
    float zoomFactor = 1.6F;         // "ZoomFactor"
    float mapMargin = 0.05F;         // "MapMargin"
    std::wstring mapFile;            // "MapFile" (Settings)
    int drawLinesInThermalMode = 1;  // "DrawLinesInThermalMode"
    std::wstring overlayFile;        // "OverlayFile" (Settings)
    int showGotoLine = 1;            // "ShowGOTOline" (Settings): the line to the destination
};

// defaults: the values in force (the current map and overlay names, the
// current "allowGOTOwithTask").
MapViewSettings ReadMapViewSettings(const platform::SettingsStore& store,
                                    const MapViewSettings& defaults);

}  // namespace map
