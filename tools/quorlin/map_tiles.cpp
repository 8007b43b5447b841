#include "tools/quorlin/map_tiles.h"

#include <algorithm>
#include <cmath>

#include "platform/numbers.h"
#include "platform/whole_file.h"

namespace quorlin {
namespace {

constexpr double kTileKmToDegrees = 0.009208104;
constexpr float kTileSpacing = 0.14f;
constexpr double kTileWholeRun = 1000.0;

bool Large(const CE00Polyline& line, double quadWidth, double quadHeight) {
    return line.bounds.east - line.bounds.west > quadWidth && line.bounds.north - line.bounds.south > quadHeight;
}

void Write(const CE00Polyline& line, const MapTileStyle& s, std::string& out) {
    line.WriteMapPolyline(out, s.pen, s.fillCode, s.red, s.green, s.blue, false, kTileWholeRun);
}

std::string Section(const std::string& baseName, const std::string& suffix, const core::GeoBox& b) {
    return ";\r\n;;; ?" + baseName + suffix + "\r\n;;; " + MapHeaderLine(b) + "\r\n";
}

}  // namespace

std::filesystem::path MapPath(const std::filesystem::path& output) {
    const std::string text = output.string();
    const auto dot = text.rfind('.');
    const auto slash = text.find_last_of('/');
    const bool stem = dot != std::string::npos && dot != 0 && (slash == std::string::npos || dot > slash);
    return (stem ? text.substr(0, dot) : text) + ".map";
}

std::string MapHeaderLine(const core::GeoBox& b) {
    const double miles = GreatCircleMiles(b.south, b.west, b.north, b.east);
    return platform::FormatC("%lf,0,0,%lf,0,0,%lf,0,0,%lf,0,0,5M,%0.0lf\r\n", b.south, -b.east, b.north, -b.west, miles);
}

std::string MapTilesText(const std::vector<CE00Polyline>& lines, const std::string& baseName, const core::GeoBox& header,
                         const core::GeoBox& tiles, double quadWidth, double quadHeight, const MapTileStyle& style,
                         QuorlinUi& ui) {
    ui.Progress(platform::FormatC("Writing Data File ...%s", "_0_0.map"));
    ui.Pump();
    std::string out = MapHeaderLine(header) + Section(baseName, "_0_0.map", header);
    const auto xScale = static_cast<float>(1.0 / std::cos((tiles.south + tiles.north) * 0.00872638888888889));
    const auto tolerance = static_cast<float>(style.toleranceKm * kTileKmToDegrees);
    const bool tiling = std::any_of(lines.begin(), lines.end(),
                                    [&](const CE00Polyline& l) { return Large(l, quadWidth, quadHeight); });
    for (const CE00Polyline& line : lines) {
        if (Large(line, quadWidth, quadHeight)) continue;
        CE00Polyline simple;
        if (tolerance > 0 && line.Simplify(tolerance, xScale, 0.0f, simple)) {
            simple.UpdateBounds();
            simple.UpdateClosed();
            Write(simple, style, out);
        } else {
            Write(line, style, out);
        }
    }
    if (!tiling || quadWidth <= 0 || quadHeight <= 0) return out;
    int row = 1;
    for (double south = tiles.south; south < tiles.north; south += quadHeight, ++row) {
        int column = 1;
        for (double west = tiles.west; west < tiles.east; west += quadWidth, ++column) {
            const core::GeoBox tile{west, south, std::min(west + quadWidth, tiles.east), std::min(south + quadHeight, tiles.north)};
            const std::string suffix = platform::FormatC("_%d_%d.map", row, column);
            ui.Progress(platform::FormatC("Writing Data File ...%s", suffix.c_str()));
            ui.Pump();
            out += Section(baseName, suffix, tile);
            for (const CE00Polyline& line : lines) {
                if (!Large(line, quadWidth, quadHeight)) continue;
                CE00Polyline copy;
                if (tolerance > 0 && line.Simplify(tolerance, xScale, kTileSpacing, copy)) {
                    copy.UpdateBounds();
                    copy.UpdateClosed();
                    copy.orientation = line.orientation;
                    if (copy.orientation == 0) copy.UpdateOrientation();
                    copy.coverageId = line.coverageId;
                } else {
                    copy = line;
                }
                std::vector<CE00Polyline> pieces;
                copy.Clip(tile, true, 0.0, pieces);
                for (const CE00Polyline& piece : pieces) Write(piece, style, out);
            }
        }
    }
    return out;
}

bool WriteMapTiles(const std::vector<CE00Polyline>& lines, const std::filesystem::path& output,
                   const core::GeoBox& header, const core::GeoBox& tiles, double quadWidth, double quadHeight,
                   const MapTileStyle& style, QuorlinUi& ui) {
    const std::filesystem::path path = MapPath(output);
    std::string base = path.filename().string();
    base.resize(base.size() - 4);  // ".map"
    const std::string text = MapTilesText(lines, base, header, tiles, quadWidth, quadHeight, style, ui);
    if (platform::ReplaceWholeFile(path, text)) {
        ui.Message("Could not open output file", Icon::kStop);
        return false;
    }
    return true;
}

}  // namespace quorlin
