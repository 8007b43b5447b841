#pragma once
// Traced outlines (".plt") to a tiled text map: the first outline is the
// picture's frame, whose extent is mapped onto the grid's bounds; every
// later outline of three points or more becomes a filled polygon in
// degrees. UI thread.

#include <filesystem>
#include <string_view>
#include <vector>

#include "tools/quorlin/e00_polyline.h"
#include "tools/quorlin/map_tiles.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

struct TracedOutlines {
    std::vector<CE00Polyline> polylines;  // numbered 0, 1, ... in coverageId
    double xScale = 1.0, yScale = 1.0;    // degrees per pixel
};

// Reads the moves of a ".plt" text and maps them onto `grid`.
TracedOutlines ReadTracedOutlines(std::string_view plt, const core::GeoBox& grid);

struct OutlineMapJob {
    std::filesystem::path input, output;
    core::GeoBox grid;       // the header's bounds
    int quadSize = 1;     // the chart options' quadrangle factor
    MapTileStyle style;   // pen, fill code 17 / -17, colour, tolerance
    bool markJunctions = false;  // the simplify flag with a tolerance above 0
};

// The quadrangle of the tiles for map bounds (width, height), in degrees.
std::pair<double, double> TileSize(int quadSize, const core::GeoBox& map);

// The whole conversion after the dialog's checks: read, map, write.
// "Error opening Data file" when the input does not open.
bool ConvertOutlinesToMap(const OutlineMapJob& job, QuorlinUi& ui, int& busy);

}  // namespace quorlin
