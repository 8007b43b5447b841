#include "tools/quorlin/threshold_bitmap.h"

#include <system_error>

#include "platform/numbers.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/picture_files.h"
#include "tools/quorlin/up_down_files.h"

namespace quorlin {

std::optional<mapdata::CDib> PaintThreshold(const std::string& samples, const ElevationGridHeader& g,
                                            float threshold, ThresholdIndices& indices, QuorlinUi& ui) {
    if (g.columns > static_cast<std::uint32_t>(mapdata::kMaxSide) ||
        g.rows > static_cast<std::uint32_t>(mapdata::kMaxSide) || samples.size() < g.GridBytes()) {
        return std::nullopt;
    }
    mapdata::CDib dib;
    const int width = static_cast<int>(g.columns), height = static_cast<int>(g.rows);
    if (!dib.CreateEmpty(false, width, height, 8, nullptr)) return std::nullopt;
    PickThresholdColors(dib, indices);
    ui.Progress("converting row 0");
    const int high = g.littleEndian ? 1 : 0;
    for (int r = 0; r < height; ++r) {
        if (r % 10 == 0) ui.Progress(platform::FormatC("converting row %d", r));
        ui.Pump();
        std::uint8_t* p = dib.GetPixelAddress(0, r, false);
        const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data()) + std::size_t{2} * r * g.columns;
        for (int c = 0; c < width; ++c, in += 2) {
            const auto v = static_cast<std::int16_t>(in[high] << 8 | in[1 - high]);
            p[c] = static_cast<float>(v) > threshold ? indices.above : indices.below;
            if (v == g.missing) p[c] = indices.missing;
        }
    }
    return dib;
}

void ConvertGridToThresholdBitmap(const ThresholdJob& job, ThresholdIndices& indices, QuorlinUi& ui, int& busy) {
    const ElevationGridHeader& g = job.grid;
    std::string samples;
    if (!ReadFile(job.input, samples)) return ui.Message("Error opening Data file", Icon::kStop);
    if (g.rows == 0 || g.columns == 0 || samples.size() != g.GridBytes()) {
        return ui.Message("File length does not match specified size", Icon::kStop);
    }
    BusyScope scope(ui, busy);
    std::optional<mapdata::CDib> dib = PaintThreshold(samples, g, job.threshold, indices, ui);
    samples = {};
    if (!dib) {
        ui.Progress("");
        return ui.Message("Error creating bitmap\n\n    Probably out of memory", Icon::kStop);
    }
    ui.Progress("Writing Bitmap File");
    const bool written = SaveBitmapFile(*dib, job.output, 100, nullptr, ui, busy);
    ui.Progress("");
    if (!written) return;
    FillThresholdBitmap(*dib, job.cornerContinuous, indices, ui);
    GenerateUpDownFiles({job.output, job.deleteBitmaps, job.cornerContinuous}, &*dib, indices, ui, busy);
    if (job.deleteBitmaps) {
        std::error_code ignored;
        std::filesystem::remove(job.output, ignored);
    }
}

}  // namespace quorlin
