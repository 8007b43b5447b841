#include "tools/quorlin/plt_outlines.h"

#include <cmath>

#include "platform/numbers.h"

namespace quorlin {
namespace {

constexpr int kMaxSkipped = 40;

std::string Move(const char* pen, PixelPoint p) { return platform::FormatC("%s%d %d;\r\n", pen, p.x, p.y); }

bool StraightRun(PixelPoint before, PixelPoint p, PixelPoint after) {
    return (p.x == before.x && p.x == after.x) || (p.y == before.y && p.y == after.y);
}

}  // namespace

std::string WritePltOutlines(const std::vector<PixelOutline>& outlines) {
    std::string text;
    int skipped = 0;
    for (const PixelOutline& outline : outlines) {
        const std::vector<PixelPoint>& p = outline.points;
        if (p.size() < 2) continue;
        text += "LT;\r\n" + Move("PU", p.front());
        const std::size_t last = p.size() - 1;
        for (std::size_t k = 1; k < last; ++k) {
            if (StraightRun(p[k - 1], p[k], p[k + 1]) && skipped < kMaxSkipped) {
                ++skipped;
            } else {
                text += Move("PD", p[k]);
                skipped = 0;
            }
        }
        if (outline.open) {
            text += Move("PD", p[last]);
            continue;
        }
        if (!StraightRun(p[last - 1], p[last], p.front())) text += Move("PD", p[last]);
        text += Move("PD", p.front());
    }
    return text;
}

std::vector<PlotMove> ReadPlotMoves(std::string_view text) {
    std::vector<PlotMove> moves;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        if (line.size() <= 2 || line[0] != 'P' || (line[1] != 'U' && line[1] != 'D')) continue;
        const auto x = platform::ScanDouble(line.substr(2));
        if (!x || 2 + x->length >= line.size()) continue;
        const auto y = platform::ScanDouble(line.substr(2 + x->length + 1));
        if (!y) continue;
        moves.push_back({line[1] == 'D', x->value, y->value});
    }
    return moves;
}

namespace {

constexpr double kLargestCoordinate = 65535.0;

bool IsCoordinate(double v) { return std::isfinite(v) && v >= 0.0 && v <= kLargestCoordinate; }

}  // namespace

PltCheck CheckPltText(std::string_view text) {
    using Verdict = PltCheck::Verdict;
    std::size_t number = 0, moves = 0;
    PlotMove start, last;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return {Verdict::kCutShort, platform::FormatC("It ends in the middle of line %zu: it is cut short.", number)};
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line == "LT;") continue;
        const std::vector<PlotMove> read = ReadPlotMoves(line);
        if (read.size() != 1) {
            return {Verdict::kUnusable, platform::FormatC("Line %zu is not a plotter move: it is no outline file.", number)};
        }
        const PlotMove& m = read.front();
        if (!IsCoordinate(m.x) || !IsCoordinate(m.y)) {
            return {Verdict::kUnusable,
                    platform::FormatC("Line %zu moves to (%g, %g), outside the picture's 0 to 65535.", number, m.x, m.y)};
        }
        if (!m.penDown) start = m;
        last = m;
        ++moves;
    }
    if (moves == 0) return {Verdict::kUnusable, "It holds no plotter move: it is no outline file."};
    if (!last.penDown || last.x != start.x || last.y != start.y) {
        return {Verdict::kCutShort, "Its last outline does not come back to its start: the file is cut short."};
    }
    return {};
}

}  // namespace quorlin
