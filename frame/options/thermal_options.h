#pragma once
// The thermal-mode options page's values in display units: what the map
// shows while circling ("Options\Maps"), when circling starts and ends, how
// thermals are averaged ("Options\Thermals") and the automatic MacCready
// ("Settings\Vario"). Without wx; UI thread only.

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

struct ThermalModeOptions {
    unsigned zoomedTrackLength = 200;  // points, 0..1000
    int zoomedRadius = 3281;           // feet, or metres with the km unit; 10..10000
    int initCircles = 1;               // 0..10
    float minCirclingRate = 8.0F;      // degrees per second, 1..200
    int showLiftInThermalMode = 0;
    int drawLinesInThermalMode = 1;
    int showMapInThermalMode = 0;
    int thermalSearchTime = 11;        // seconds, 0..100
    int averageNthermals = 3;
    int showAverage = 0;
    int autoZoom = 1;
    int autoMacCready = 1;
    bool metres = false;  // the zoomed radius in metres (distance unit km)

    static ThermalModeOptions FromRunning(ViewLink& views);

    // Lines and the map in thermal mode exclude each other.
    bool LinesAndMapConflict() const { return drawLinesInThermalMode != 0 && showMapInThermalMode != 0; }

    // `opened`: the values the page was built with; fields left as they were
    // keep their unrounded running values, whatever units changed since.
    void Apply(platform::SettingsStore& store, ViewLink& views, const ThermalModeOptions& opened) const;
};

}  // namespace frame
