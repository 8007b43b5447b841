#pragma once
// An elevation grid painted as a two-level 8-bit picture (above the
// threshold, at or below it, missing), written unfilled as a ".bmp", then
// filled in memory and turned into the "down" and "up" outline files. UI
// thread (it pumps events while it paints).

#include <filesystem>
#include <optional>
#include <string>

#include "mapdata/dib.h"
#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/quorlin_ui.h"
#include "tools/quorlin/threshold_fill.h"

namespace quorlin {

// Paints rows x columns samples (in the grid's byte order) into a new 8-bit
// picture whose three indices are picked from its palette; a cell above the
// threshold takes the "above" index, any other the "below" index, and a cell
// equal to the grid's missing value the missing index. Nothing when the
// picture cannot be made.
std::optional<mapdata::CDib> PaintThreshold(const std::string& samples, const ElevationGridHeader& grid,
                                            float threshold, ThresholdIndices& indices, QuorlinUi& ui);

struct ThresholdJob {
    std::filesystem::path input, output;
    ElevationGridHeader grid;
    float threshold = 0.0f;
    bool deleteBitmaps = true;
    bool cornerContinuous = true;
};

// Reads and paints the grid, writes the unfilled picture, fills it in
// memory and writes the up/down files from it; the picture file is deleted
// afterwards when asked. Errors are shown.
void ConvertGridToThresholdBitmap(const ThresholdJob& job, ThresholdIndices& indices, QuorlinUi& ui, int& busy);

}  // namespace quorlin
