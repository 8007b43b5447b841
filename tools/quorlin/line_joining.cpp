// Joining lines that meet, in near-linear time. The ends of the lines not
// yet reached are kept in a grid of cells larger than the end-match
// tolerance, so a line looks for partners only among the ends near its
// own. The partners found are tried in list order, as a plain scan of the
// later lines would try them, so the lines joined and their order are the
// same as that scan's.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/numbers.h"
#include "tools/quorlin/chart_layers.h"

namespace quorlin {
namespace {

// Twice the end-match tolerance of Join (0.008 x 0.006 degrees): two ends
// that match lie in the same or a neighbouring cell, whatever the rounding
// of the division.
constexpr double kCellX = 0.016, kCellY = 0.012;
// Cells of huge coordinates are clamped so that a neighbour's number
// cannot overflow; ends that far out share a cell and are still compared.
constexpr double kLastCell = 1e15;

struct Cell {
    std::int64_t x = 0, y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

struct CellHash {
    std::size_t operator()(const Cell& c) const noexcept {
        return std::hash<std::int64_t>()(c.x * 0x9E3779B97F4A7C15LL ^ c.y);
    }
};

// Nothing for a coordinate that is not a number: such an end meets no other.
std::optional<Cell> CellOf(const E00Point& p) {
    const double x = p.x / kCellX, y = p.y / kCellY;
    if (std::isnan(x) || std::isnan(y)) return std::nullopt;
    const auto index = [](double v) {
        return static_cast<std::int64_t>(std::floor(std::clamp(v, -kLastCell, kLastCell)));
    };
    return Cell{index(x), index(y)};
}

// The ends of the lines still to be offered, by cell.
class EndIndex {
  public:
    explicit EndIndex(const std::vector<CE00Polyline>& lines) {
        cells_.reserve(lines.size() * 2);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].points.empty()) continue;
            for (const E00Point* end : {&lines[i].points.front(), &lines[i].points.back()}) {
                if (const auto cell = CellOf(*end)) cells_[*cell].push_back(i);
            }
        }
    }

    // Takes the line out; `line` must still have the ends it was indexed by.
    void Remove(std::size_t index, const CE00Polyline& line) {
        if (line.points.empty()) return;
        for (const E00Point* end : {&line.points.front(), &line.points.back()}) {
            const auto cell = CellOf(*end);
            if (!cell) continue;
            const auto found = cells_.find(*cell);
            if (found == cells_.end()) continue;
            std::erase(found->second, index);
            if (found->second.empty()) cells_.erase(found);
        }
    }

    // Appends the lines with an end in the cell of `p` or next to it.
    void Near(const E00Point& p, std::vector<std::size_t>& out) const {
        const auto cell = CellOf(p);
        if (!cell) return;
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = cells_.find({cell->x + dx, cell->y + dy});
                if (found != cells_.end()) out.insert(out.end(), found->second.begin(), found->second.end());
            }
        }
    }

  private:
    std::unordered_map<Cell, std::vector<std::size_t>, CellHash> cells_;
};

}  // namespace

void JoinLines(std::vector<CE00Polyline>& lines, bool matchId, QuorlinUi& ui) {
    EndIndex index(lines);
    std::vector<bool> joinedAway(lines.size(), false);
    std::vector<std::size_t> partners;
    long position = 0;  // the line's place in the list once the lines joined away are gone
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (joinedAway[i]) continue;
        if (position++ % 20 == 0) {
            ui.Progress(platform::FormatC("Joining Lines - %ld", position - 1));
            ui.Pump();
        }
        index.Remove(i, lines[i]);
        CE00Polyline& line = lines[i];
        for (bool joined = true; joined && !line.points.empty() && !line.closed;) {
            partners.clear();
            index.Near(line.points.front(), partners);
            index.Near(line.points.back(), partners);
            std::sort(partners.begin(), partners.end());
            partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
            joined = false;
            for (const std::size_t j : partners) {
                if (!line.Join(lines[j], true, matchId)) continue;
                index.Remove(j, lines[j]);
                joinedAway[j] = true;
                joined = true;
                break;
            }
        }
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (joinedAway[i]) continue;
        if (next != i) lines[next] = std::move(lines[i]);
        ++next;
    }
    lines.resize(next);
}

}  // namespace quorlin
