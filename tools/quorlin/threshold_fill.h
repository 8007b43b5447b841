#pragma once
// The two-level palette indices of a thresholded picture and the fill that
// marks everything reachable from the picture's border. UI thread (the fill
// pumps events while it works).

#include <cstdint>

#include "mapdata/dib.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

// The palette indices of a two-level picture: above the threshold (the
// darkest entry), at or below it (the brightest) and missing (the entry
// nearest to light grey). They persist between operations.
struct ThresholdIndices {
    std::uint8_t above = 0;
    std::uint8_t below = 255;
    std::uint8_t missing = 5;
    friend bool operator==(const ThresholdIndices&, const ThresholdIndices&) = default;
};

// Makes an 8-bit palette picture's rows directly usable (run-length rows
// expanded); false for other depths, pictures without a palette and files
// whose rows are not all there.
bool PreparePalettePicture(mapdata::CDib& dib);

// Picks the three indices from the bitmap's palette, each entry taken as
// blue x 65536 + green x 256 + red; ties keep the earlier entry. The grey
// target becomes the midpoint of darkest and brightest when the palette
// does not straddle light grey. A bitmap without a palette leaves them.
void PickThresholdColors(const mapdata::CDib& dib, ThresholdIndices& indices);

// Every pixel that is not "above" (DARK) and is connected to the border, or
// to a pixel that already has the missing index (FILL), through pixels that
// are not DARK becomes FILL: by edges, or also by corners when
// `cornerContinuous`. One linear flood fill, however winding the shapes.
// An 8-bit bitmap only; others are left unchanged. Picks the indices first
// and leaves them set.
void FillThresholdBitmap(mapdata::CDib& dib, bool cornerContinuous, ThresholdIndices& indices, QuorlinUi& ui);

}  // namespace quorlin
