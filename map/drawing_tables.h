#pragma once
// The map's drawing tables: the symbol icons, the user symbols, the pens,
// the track colours, the aircraft cursor images, the eight wind arrows and
// the single icon 144. Start-up makes them once, before the map window and
// its threads exist; afterwards they are only read, by the UI thread and
// the render thread alike, until exit frees them.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "mapdata/map_element_draw.h"
#include "mapdata/map_symbols.h"
#include "platform/image.h"

namespace map {

// Resource ids of the icons the tables hold.
inline constexpr unsigned kDefaultMarkerIconId = 221;  // marker slot 16
inline constexpr unsigned kFirstMarkerIconId = 180;    // marker slots 17 and on
inline constexpr unsigned kFirstWindArrowIconId = 249; // arrow k points 45k degrees clockwise
inline constexpr unsigned kSingleIconId = 144;
inline constexpr int kWindArrows = 8;

struct MapDrawingTables {
    mapdata::MapSymbolImages symbols;
    std::array<mapdata::MapPen, 49> pens = mapdata::MakeMapPenTable();
    std::array<mapdata::Rgb, mapdata::kTrackColourCount> trackColours =
        mapdata::kDefaultTrackColours;
    std::vector<mapdata::UserSymbol> cursorImages;
    float cursorAngleStep = 45.0F;
    // The saved arrows and the ones drawn, equal at start.
    std::array<platform::Image, kWindArrows> savedWindArrows;
    std::array<platform::Image, kWindArrows> windArrows;
    platform::Image singleIcon;
};

// An icon of the resource bundle by id; empty when it has none.
using IconSource = std::function<platform::Image(unsigned id)>;

// Builds the tables: the built-in symbols, the symbol, track-colour and
// cursor list files (looked for from `documents`), the markers, the wind
// arrows and icon 144. Missing icons leave empty slots; missing list files
// leave their defaults.
std::unique_ptr<const MapDrawingTables> MakeMapDrawingTables(const IconSource& icons,
                                                             const std::filesystem::path& documents);

// The tables start-up made; null before CreateMapGdiResources and after
// FreeMapGdiResources.
const MapDrawingTables* DrawingTables();

// Makes the tables from the installed resource bundle and the documents
// folder (UI thread, once, before the map window exists); 1 when done.
int CreateMapGdiResources(const IconSource& icons, const std::filesystem::path& documents);
// Frees them at exit.
void FreeMapGdiResources();

}  // namespace map
