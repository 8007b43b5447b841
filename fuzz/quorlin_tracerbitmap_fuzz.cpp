// Reads arbitrary bytes as the tracer's bitmap and traces it: every outline
// is a ring of unit steps on the pixel corners, the first one starts at the
// top-left corner, and the ".plt" text reads back to as many outlines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mapdata/dib.h"
#include "tools/quorlin/outline_finder.h"
#include "tools/quorlin/plt_outlines.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    mapdata::CDib dib;
    if (!dib.ReadStream(in)) return 0;
    const quorlin::IndexPicture picture = quorlin::IndicesOf(dib);
    if (picture.pixels.empty() || picture.pixels.size() > (1u << 16)) return 0;
    const auto outlines = quorlin::FindOutlines(picture);
    Check(!outlines.empty());
    // The top-left pixel's region comes first, from its top-left corner.
    Check(outlines.front().points.front() == (quorlin::PixelPoint{0, picture.height}));
    for (const auto& outline : outlines) {
        const auto& p = outline.points;
        Check(p.size() >= 4 && p.size() % 2 == 0);
        for (std::size_t i = 0; i < p.size(); ++i) {
            const auto& a = p[i];
            const auto& b = p[(i + 1) % p.size()];
            Check(a.x >= 0 && a.x <= picture.width && a.y >= 0 && a.y <= picture.height);
            Check(std::abs(a.x - b.x) + std::abs(a.y - b.y) == 1);
        }
    }
    std::size_t rings = 0;
    for (const auto& move : quorlin::ReadPlotMoves(quorlin::WritePltOutlines(outlines))) rings += move.penDown ? 0 : 1;
    Check(rings == outlines.size());
    return 0;
}
