#pragma once
// An ASCII grid (".asc": a few header lines, then rows x columns whole
// numbers) becomes an elevation grid: signed 16-bit little-endian samples
// and the ".hdr" beside them. The header was read beforehand into the grid
// record (ReadGridHeader); the data start at the first line that begins
// with a number. Values are read as whole numbers ("12.7" gives 12),
// saturated to 32 bits and cut to 16. UI thread (it pumps events).

#include <cstdint>
#include <filesystem>

#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

struct AsciiGridJob {
    std::filesystem::path input, output;
    ElevationGridHeader grid;
    bool replaceMissing = false;
    std::int16_t replacement = 0;
};

// Writes the grid and its header; false (with the error shown and nothing
// written) when the input is short, has an over-long line or token, or
// cannot be read, or the output cannot be written.
bool ConvertAsciiGrid(const AsciiGridJob& job, QuorlinUi& ui);

}  // namespace quorlin
