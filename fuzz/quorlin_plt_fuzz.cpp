// Reads arbitrary bytes as traced outlines (".plt"), maps them onto a grid's
// bounds and writes the tiled text map in memory. Every kept outline has at
// least three points and a running number, and the map text starts with its
// header.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "fuzz/quorlin_fuzz_support.h"
#include "tools/quorlin/map_tiles.h"
#include "tools/quorlin/outline_map.h"
#include "tools/quorlin/plt_outlines.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const core::GeoBox grid{10, 45, 12, 46};
    // A text found sound ends with a line end and moves within the picture.
    if (quorlin::CheckPltText(text).verdict == quorlin::PltCheck::Verdict::kSound) {
        Check(!text.empty() && text.back() == '\n');
        for (const quorlin::PlotMove& m : quorlin::ReadPlotMoves(text)) Check(m.x >= 0 && m.x <= 65535 && m.y >= 0 && m.y <= 65535);
    }
    const quorlin::TracedOutlines outlines = quorlin::ReadTracedOutlines(text, grid);
    int number = 0;
    for (const quorlin::CE00Polyline& line : outlines.polylines) {
        Check(line.points.size() >= 3 && line.coverageId == number++);
    }
    const auto [width, height] = quorlin::TileSize(1, grid);
    fuzz::CountingUi ui;
    const float tolerance = size % 2 ? 0.5f : 0.0f;
    const std::string map =
        quorlin::MapTilesText(outlines.polylines, "fuzz", grid, grid, width, height, {2, 17, 1, 2, 3, tolerance}, ui);
    Check(map.rfind(quorlin::MapHeaderLine(grid), 0) == 0);
    return 0;
}
