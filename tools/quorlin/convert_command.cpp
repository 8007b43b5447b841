// The Convert button: the checks every grid output passes, then the
// conversion of the input's type.
#include <system_error>

#include "tools/quorlin/ascii_grid.h"
#include "tools/quorlin/colour_bitmap.h"
#include "tools/quorlin/outline_map.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/threshold_bitmap.h"
#include "tools/quorlin/up_down_files.h"

namespace quorlin {
namespace {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (EqualIgnoringCase(a.string(), b.string())) return true;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace

bool QuorlinModel::CheckGridOutput(const char* extension, const char* question) {
    const QuorlinState& s = state;
    if (s.outputPath.empty()) return false;
    if (!EqualIgnoringCase(FileExtension(s.outputPath), extension) && !ui_.Ask(question)) return false;
    if (SameFile(s.inputPath, s.outputPath)) {
        ui_.Message("Data and Output files have to be different", Icon::kStop);
        return false;
    }
    if (Exists(s.outputPath) &&
        !ui_.Ask("Output file already exists !!!\n\nAre you sure you want to overwrite it?")) {
        return false;
    }
    SaveReplaceMissing(settings_, s.options.replaceMissing, s.options.replaceMissingValue);
    return true;
}

void QuorlinModel::OnConvert() {
    if (state.busy) return;
    settings_.WriteInt("Settings", "removeLonLat", state.removeLonLat ? 1 : 0);
    if (state.inputType == kAsciiGrid) return ConvertAsciiGrid();
    if (state.inputType == kElevationGrid) return state.thresholdOn ? ConvertToThresholdBitmap() : ConvertToBitmap();
    if (state.inputType == kOutlines) return ConvertOutlines();
    if (state.inputType == kChartLayer) return ConvertChartLayer();
    ui_.Message("No conversion available for this type", Icon::kStop);
}

void QuorlinModel::ConvertAsciiGrid() {
    if (!CheckGridOutput("bin", "Output file does not have BIN extension\n\nDo you want to continue?")) return;
    BusyScope scope(ui_, state.busy);
    quorlin::ConvertAsciiGrid(
        {state.inputPath, state.outputPath, state.grid, state.options.replaceMissing, state.options.replaceMissingValue},
        ui_);
}

void QuorlinModel::ConvertToBitmap() {
    if (!CheckGridOutput("bmp", "Output file does not have bitmap extension\n\nDo you want to continue?")) return;
    const auto calibration = ConvertGridToBitmap(
        {state.inputPath, state.outputPath, state.grid, state.options.thresholds, state.options.colours}, ui_,
        state.busy);
    if (calibration) state.calibrationPath = *calibration;
}

void QuorlinModel::ConvertToThresholdBitmap() {
    if (!CheckGridOutput("bmp", "Output file does not have bitmap extension\n\nDo you want to continue?")) return;
    ConvertGridToThresholdBitmap({state.inputPath, state.outputPath, state.grid, state.threshold, state.deleteBitmaps,
                                  state.cornerContinuous},
                                 state.thresholdIndices, ui_, state.busy);
}

void QuorlinModel::ConvertOutlines() {
    const QuorlinState& s = state;
    if (!s.headerLoaded) return ui_.Message("No header data available", Icon::kStop);
    if (Exists(s.mapOutputPath) &&
        !ui_.Ask("Output file already exists !!!\n\nAre you sure you want to overwrite it?")) {
        return;
    }
    OutlineMapJob job;
    job.input = s.inputPath;
    job.output = s.mapOutputPath;
    // The dialog keeps longitudes positive west; the writers take them east.
    job.grid = GridBox(s.grid);
    job.quadSize = s.options.e00.quadSize;
    job.style = {s.borderColourIndex, s.drawBorders ? 17 : -17, s.mapColour.red, s.mapColour.green,
                 s.mapColour.blue, s.simplify ? s.lineTolerance : 0.0f};
    job.markJunctions = s.simplify && s.lineTolerance > 0;
    ConvertOutlinesToMap(job, ui_, state.busy);
}

void QuorlinModel::OnGenerateUpDown() {
    if (state.busy || state.inputPath.empty()) return;
    GenerateUpDownFiles({state.inputPath, state.deleteBitmaps, state.cornerContinuous}, nullptr,
                        state.thresholdIndices, ui_, state.busy);
}

}  // namespace quorlin
