// Convert for a chart layer: the output bounds asked for when they were
// reset, then the point path or the line paths.
#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/quorlin_model.h"
#include "platform/numbers.h"

namespace quorlin {

void QuorlinModel::ConvertChartLayer() {
    QuorlinState& s = state;
    if (s.resetOutputBounds && !SetOutputBounds()) return;
    ChartJob job;
    job.input = s.inputPath;
    job.output = s.outputPath;
    job.layer = s.layer;
    job.bounds = s.outputBounds;
    job.mapScale = s.mapScale;
    job.borderColourIndex = s.borderColourIndex;
    job.drawBorders = s.drawBorders;
    job.fillClosed = s.fillClosed;
    job.simplify = s.simplify;
    job.lineToleranceKm = s.lineTolerance;
    job.removeLonLat = s.removeLonLat;
    job.e00 = s.options.e00;
    job.colours = s.options.colours;
    job.thresholds = s.options.thresholds;
    job.separateLayer = s.separateLayer;
    job.mapColour = s.mapColour;
    job.landCovers = s.options.landCovers;
    job.table = layerTable_.get();
    BusyScope scope(ui_, s.busy);
    const bool points = s.layer.point || s.layer.aepoint;
    const ChartResult result = points ? ConvertChartLabels(job, ui_) : ConvertChartLines(job, ui_);
    if (result.elevations) {
        s.texts.lowest = platform::FormatC("%0.0f", static_cast<double>(result.elevations->first));
        s.texts.highest = platform::FormatC("%0.0f", static_cast<double>(result.elevations->second));
    }
    ui_.Progress("");
}

}  // namespace quorlin
