#pragma once
// An elevation grid painted as a 24-bit picture, one pixel per cell in its
// level's colour (negative cells, missing ones included, light blue), and
// the calibration file (".flt") that places the picture on the map. UI
// thread (it pumps events while it paints).

#include <filesystem>
#include <optional>
#include <string>

#include "mapdata/dib.h"
#include "tools/quorlin/elevation_colors.h"
#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

// The pixel of a cell: light blue (blue FF, green FF, red 80) below zero,
// else its level's colour.
Bgr CellColour(std::int16_t elevation, const Thresholds& thresholds, const ColourTable& colours);

// Paints rows x columns samples (in the grid's byte order) into a new
// bitmap; nothing when the picture cannot be made (too large).
std::optional<mapdata::CDib> PaintElevations(const std::string& samples, const ElevationGridHeader& grid,
                                             const Thresholds& thresholds, const ColourTable& colours,
                                             QuorlinUi& ui);

// The calibration text: LF line ends, "%lf" numbers in the C form, the
// centre longitude positive west as the dialog keeps it.
std::string CalibrationText(const std::filesystem::path& bitmapPath, const ElevationGridHeader& grid);

struct BitmapJob {
    std::filesystem::path input, output;
    ElevationGridHeader grid;
    Thresholds thresholds = kDefaultThresholds;
    ColourTable colours = DefaultColourTable();
};

// Reads the grid, paints it, writes the picture by its extension and the
// ".flt" beside it (only when the picture was written); the calibration
// path on success. Errors are shown and give nothing.
std::optional<std::filesystem::path> ConvertGridToBitmap(const BitmapJob& job, QuorlinUi& ui, int& busy);

}  // namespace quorlin
