#pragma once
// The tile writer: a list of chart polylines as one text map. Lines small
// against a quadrangle go into an overview section; lines larger than a
// quadrangle in both directions are cut into quadrangle tiles, each a
// section of the same file introduced by a commented-out include line.
// UI thread (it shows its progress and pumps events).

#include <filesystem>
#include <string>
#include <vector>

#include "tools/quorlin/e00_polyline.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

struct MapTileStyle {
    int pen = 1;
    int fillCode = 0;
    int red = 0, green = 0, blue = 0;
    float toleranceKm = 0.0f;  // 0: every point written
};

// The text-map header of a rectangle: south, -east, north, -west (each with
// ",0,0"), "5M" and the south-west to north-east distance in whole miles.
std::string MapHeaderLine(const core::GeoBox& bounds);

// The output name up to its last '.' (unless that is its first
// character) followed by ".map".
std::filesystem::path MapPath(const std::filesystem::path& output);

// The whole file's text. `header` gives the header, `tiles` the tile grid
// and the simplification's x scale; an empty list writes the header alone.
std::string MapTilesText(const std::vector<CE00Polyline>& lines, const std::string& baseName, const core::GeoBox& header,
                         const core::GeoBox& tiles, double quadWidth, double quadHeight, const MapTileStyle& style,
                         QuorlinUi& ui);

// Writes the text to the output name's stem + ".map" through a temporary
// file; "Could not open output file" and false when it cannot be written.
bool WriteMapTiles(const std::vector<CE00Polyline>& lines, const std::filesystem::path& output,
                   const core::GeoBox& header, const core::GeoBox& tiles, double quadWidth, double quadHeight,
                   const MapTileStyle& style, QuorlinUi& ui);

}  // namespace quorlin
