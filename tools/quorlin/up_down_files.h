#pragma once
// The "down" and "up" outline files of a thresholded picture: the low areas
// enclosed by high ground, and the high ground with those areas included,
// each written as a two-colour bitmap with a one-pixel background frame and
// traced into a ".plt" file beside it. UI thread.

#include <filesystem>

#include "mapdata/dib.h"
#include "tools/quorlin/quorlin_ui.h"
#include "tools/quorlin/threshold_fill.h"

namespace quorlin {

struct UpDownJob {
    std::filesystem::path base;  // "dem_0150.bmp" gives "dem_0150down.bmp", ...
    bool deleteBitmaps = true;
    bool cornerContinuous = true;
};

// The two-colour picture of one step: DARK where `source` is BRIGHT (down)
// or is BRIGHT or DARK (up), BRIGHT elsewhere, and BRIGHT on the frame.
mapdata::CDib UpDownPicture(const mapdata::CDib& source, const ThresholdIndices& indices, bool up);

// With `filled`, works on a copy of that already filled picture; without,
// loads the base path's bitmap (ending in silence when it does not load)
// and fills it. Pictures that are not 8-bit palette pictures are refused
// with a message before any pixel is touched. Tracer failures are shown and
// the next file follows.
void GenerateUpDownFiles(const UpDownJob& job, const mapdata::CDib* filled, ThresholdIndices& indices,
                         QuorlinUi& ui, int& busy);

}  // namespace quorlin
