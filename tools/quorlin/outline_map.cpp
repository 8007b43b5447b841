#include "tools/quorlin/outline_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/input_checks.h"
#include "tools/quorlin/plt_outlines.h"

namespace quorlin {
namespace {

void Finish(CE00Polyline& line, int& number, std::vector<CE00Polyline>& out) {
    if (line.points.size() >= 3) {
        line.coverageId = number++;
        line.UpdateBounds();
        line.UpdateClosed();
        line.UpdateOrientation();
        out.push_back(std::move(line));
    }
    line = CE00Polyline{};
}

}  // namespace

TracedOutlines ReadTracedOutlines(std::string_view plt, const core::GeoBox& grid) {
    TracedOutlines result;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    const auto rescale = [&] {
        if (maxX > minX) result.xScale = (grid.east - grid.west) / (maxX - minX);
        if (maxY > minY) result.yScale = (grid.north - grid.south) / (maxY - minY);
    };
    int counter = 0, number = 0;
    bool first = true;
    CE00Polyline current;
    for (const PlotMove& m : ReadPlotMoves(plt)) {
        if (first) {
            minX = maxX = m.x, minY = maxY = m.y;
            rescale();
            first = false;
        }
        if (!m.penDown && counter < 2) ++counter;
        if (counter == 0) continue;
        if (counter == 1) {
            minX = std::min(minX, m.x), maxX = std::max(maxX, m.x);
            minY = std::min(minY, m.y), maxY = std::max(maxY, m.y);
            rescale();
            continue;
        }
        const double lon = grid.west + (m.x - minX) * result.xScale;
        const double lat = grid.south + (m.y - minY) * result.yScale;
        if (counter == 2 || !m.penDown) {
            counter = 3;
            Finish(current, number, result.polylines);
        }
        current.AddPoint(lon, lat);
    }
    Finish(current, number, result.polylines);
    return result;
}

std::pair<double, double> TileSize(int quadSize, const core::GeoBox& map) {
    const double q = quadSize * 0.75;
    const double height = std::min(q, map.north - map.south);
    double width = std::floor(q / std::cos((map.north + map.south) * std::numbers::pi / 360) * 8) * 0.125;
    width = std::min(std::max(width, q), map.east - map.west);
    return {width, height};
}

bool ConvertOutlinesToMap(const OutlineMapJob& job, QuorlinUi& ui, int& busy) {
    std::string text;
    if (!ReadFile(job.input, text)) {
        ui.Message("Error opening Data file", Icon::kStop);
        return false;
    }
    const PltCheck check = CheckPltText(text);
    if (check.verdict == PltCheck::Verdict::kUnusable) {
        RefuseInput(ui, job.input, check.problem);
        return false;
    }
    TracedOutlines outlines = ReadTracedOutlines(text, job.grid);
    text = {};
    if (outlines.polylines.empty()) {
        RefuseInput(ui, job.input,
                    check.problem.empty() ? "It holds no outline besides the picture's frame." : check.problem);
        return false;
    }
    if (check.verdict == PltCheck::Verdict::kCutShort && !AskForPartialMap(ui, job.input, check.problem)) return false;
    BusyScope scope(ui, busy);
    ui.Progress("Converting to MAP File");
    const double halfX = std::abs(outlines.xScale) / 2, halfY = std::abs(outlines.yScale) / 2;
    const core::GeoBox map{job.grid.west - halfX, job.grid.south - halfY, job.grid.east + halfX, job.grid.north + halfY};
    const auto [width, height] = TileSize(job.quadSize, map);
    if (job.markJunctions) {
        for (CE00Polyline& line : outlines.polylines) line.MarkSelfJunctions();
    }
    const bool written = WriteMapTiles(outlines.polylines, job.output, job.grid, map, width, height, job.style, ui);
    ui.Progress("");
    return written;
}

}  // namespace quorlin
