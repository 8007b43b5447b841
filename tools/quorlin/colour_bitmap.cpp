#include "tools/quorlin/colour_bitmap.h"

#include <vector>

#include "platform/numbers.h"
#include "platform/whole_file.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/picture_files.h"

namespace quorlin {

namespace {
constexpr char kNoMemory[] = "Error creating bitmap\n\n    Probably out of memory";
}  // namespace

Bgr CellColour(std::int16_t elevation, const Thresholds& thresholds, const ColourTable& colours) {
    if (elevation < 0) return {0xFF, 0xFF, 0x80};
    return colours[static_cast<std::size_t>(ColourTableIndex(elevation, thresholds))];
}

std::optional<mapdata::CDib> PaintElevations(const std::string& samples, const ElevationGridHeader& g,
                                             const Thresholds& thresholds, const ColourTable& colours,
                                             QuorlinUi& ui) {
    if (g.columns > static_cast<std::uint32_t>(mapdata::kMaxSide) ||
        g.rows > static_cast<std::uint32_t>(mapdata::kMaxSide) || samples.size() < g.GridBytes()) {
        return std::nullopt;
    }
    mapdata::CDib dib;
    const int width = static_cast<int>(g.columns), height = static_cast<int>(g.rows);
    if (!dib.CreateEmpty(false, width, height, 24, nullptr)) return std::nullopt;
    // Every cell of a level takes one colour: look the 65,536 values up once.
    std::vector<Bgr> lookup(65536);
    for (int v = -32768; v < 32768; ++v) {
        lookup[static_cast<std::uint16_t>(v)] = CellColour(static_cast<std::int16_t>(v), thresholds, colours);
    }
    ui.Progress("converting row 0");
    for (int r = 0; r < height; ++r) {
        if (r % 10 == 0) ui.Progress(platform::FormatC("converting row %d", r));
        ui.Pump();
        std::uint8_t* p = dib.GetPixelAddress(0, r, false);
        const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data()) + std::size_t{2} * r * g.columns;
        const int high = g.littleEndian ? 1 : 0;
        for (int c = 0; c < width; ++c, p += 3, in += 2) {
            const Bgr colour = lookup[static_cast<std::uint16_t>(in[high] << 8 | in[1 - high])];
            p[0] = colour.blue, p[1] = colour.green, p[2] = colour.red;
        }
    }
    return dib;
}

std::string CalibrationText(const std::filesystem::path& bitmapPath, const ElevationGridHeader& g) {
    const auto n = [](double v) { return platform::FormatC("%lf\n", v); };
    const double step = -(g.north - g.south) / g.rows;
    std::string t = bitmapPath.string() + "\n";
    t += "-2.0\n-2.0\n" + n(g.columns * 0.5) + n(g.rows * 0.5);
    t += n(1.0) + n(0.0);
    t += n(0.0) + n(1.0);
    t += n((g.west + g.east) * 0.5) + n(step);
    t += n(0.0) + n(0.0);
    t += n((g.north + g.south) * 0.5) + n(step);
    t += ";offsets\n" + n(0.0) + n(0.0);
    t += n(0.0) + n(0.0);
    t += ";widths \n" + platform::FormatC("%d\n%d\n", 2, 2);
    return t;
}

std::optional<std::filesystem::path> ConvertGridToBitmap(const BitmapJob& job, QuorlinUi& ui, int& busy) {
    const ElevationGridHeader& g = job.grid;
    std::string samples;
    if (!ReadFile(job.input, samples)) {
        ui.Message("Error opening Data file", Icon::kStop);
        return std::nullopt;
    }
    if (g.rows == 0 || g.columns == 0 || samples.size() != g.GridBytes()) {
        ui.Message("File length does not match specified size", Icon::kStop);
        return std::nullopt;
    }
    BusyScope scope(ui, busy);
    std::optional<mapdata::CDib> dib = PaintElevations(samples, g, job.thresholds, job.colours, ui);
    if (!dib) {
        ui.Progress("");
        ui.Message(kNoMemory, Icon::kStop);
        return std::nullopt;
    }
    ui.Progress("Writing Bitmap File");
    const bool written = SaveBitmapFile(*dib, job.output, 100, nullptr, ui, busy);
    ui.Progress("");
    if (!written) return std::nullopt;
    const std::filesystem::path calibration = ReplaceExtension(job.output, "flt");
    if (platform::ReplaceWholeFile(calibration, CalibrationText(job.output, g))) {
        ui.Message("Error opening Output file", Icon::kStop);
        return std::nullopt;
    }
    return calibration;
}

}  // namespace quorlin
