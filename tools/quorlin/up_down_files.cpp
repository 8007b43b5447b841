#include "tools/quorlin/up_down_files.h"

#include <algorithm>
#include <system_error>

#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/outline_tracer.h"
#include "tools/quorlin/picture_files.h"

namespace quorlin {
namespace {

constexpr char kNotPalette[] = "Up-Down files need an 8-bit palette bitmap";

void WriteAndTrace(const mapdata::CDib& picture, const std::filesystem::path& stem, const char* kind,
                   const UpDownJob& job, QuorlinUi& ui, int& busy) {
    const std::filesystem::path bmp = stem.string() + kind + ".bmp";
    const std::filesystem::path plt = stem.string() + kind + ".plt";
    if (SaveBitmapFile(picture, bmp, 100, nullptr, ui, busy)) {
        const std::string error = TraceMain({"Morvist.exe", "-of", plt.string(), bmp.string()});
        if (!error.empty()) ui.Message(error, Icon::kStop);
    }
    if (job.deleteBitmaps) {
        std::error_code ignored;
        std::filesystem::remove(bmp, ignored);
    }
}

}  // namespace

mapdata::CDib UpDownPicture(const mapdata::CDib& source, const ThresholdIndices& indices, bool up) {
    mapdata::CDib picture;
    picture.CopyFrom(source);
    const std::uint8_t dark = indices.above, bright = indices.below;
    const std::uint8_t* in = source.Bits();
    std::uint8_t* out = picture.Bits();
    const std::size_t bytes = static_cast<std::size_t>(source.RowSize()) * static_cast<std::size_t>(source.GetSize().height);
    for (std::size_t i = 0; i < bytes; ++i) {
        out[i] = in[i] == bright || (up && in[i] == dark) ? dark : bright;
    }
    const auto size = picture.GetSize();
    for (int y = 0; y < size.height; ++y) {
        std::uint8_t* row = out + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.RowSize());
        if (y < 1 || y > size.height - 2) {
            std::fill(row, row + picture.RowSize(), bright);
        } else {
            row[0] = bright;
            row[size.width - 1] = bright;
        }
    }
    return picture;
}

void GenerateUpDownFiles(const UpDownJob& job, const mapdata::CDib* filled, ThresholdIndices& indices,
                         QuorlinUi& ui, int& busy) {
    mapdata::CDib source;
    if (filled) {
        source.CopyFrom(*filled);
    } else if (!source.LoadQuietly(job.base)) {
        return;
    }
    if (!PreparePalettePicture(source)) return ui.Message(kNotPalette, Icon::kStop);
    BusyScope scope(ui, busy);
    if (!filled) FillThresholdBitmap(source, job.cornerContinuous, indices, ui);
    PickThresholdColors(source, indices);
    const std::filesystem::path stem = job.base.parent_path() / FileStem(job.base);
    ui.Progress("Generating DOWN file");
    ui.Pump();
    WriteAndTrace(UpDownPicture(source, indices, false), stem, "down", job, ui, busy);
    ui.Progress("Generating UP file");
    ui.Pump();
    WriteAndTrace(UpDownPicture(source, indices, true), stem, "up", job, ui, busy);
    ui.Progress("");
}

}  // namespace quorlin
