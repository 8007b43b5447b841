#pragma once
// The contest benchmark's second peer: the free-distance search as an exact
// dynamic programme that skips blocks of the trail by an upper bound, as a
// plain implementation of the pruned search would be written.
//
// The trail is cut into blocks of kBlock points. Once every point of a
// block has its column, the block keeps its middle point, its radius (the
// largest distance from the middle to its points) and, per leg count, the
// best sum reaching any of its points. For a later point j, no sum through
// the block exceeds that best sum plus the weighted distance from the
// middle to j plus the radius (the triangle inequality, with a margin over
// the rounding of the distances to floats), so a block whose bound is below
// the best sum found for j is skipped whole. The search for j starts at the
// turnpoint that was best for j - 1. Distances are CourseAndDistance's on
// the full records, and sums are formed and ties broken (the earliest point
// wins) as the project's search and the plain programme do, so all three
// give the same value and the same points.

#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "core/waypoint_course.h"
#include "core/waypoint_record.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"

namespace bench {

class BlockPrunedOlc {
  public:
    BlockPrunedOlc(std::span<const nav::WaypointRecord> trail, const nav::OlcWeights& weights,
                   int legs)
        : p_(trail.begin(), trail.end()), w_(weights), legs_(static_cast<std::size_t>(legs)),
          best_(legs_ > 1 ? legs_ - 1 : 0, std::vector<double>(p_.size(), kNone)),
          from_(best_.size(), std::vector<std::size_t>(p_.size(), 0)),
          blockBest_(best_.size()), d_(p_.size()), known_(p_.size(), kUnknown) {
        for (std::size_t j = 0; j < p_.size(); ++j) {
            FillColumn(j);
            if ((j + 1) % kBlock == 0) CloseBlock(j + 1 - kBlock);
        }
    }

    // The best flight closed at `closing`.
    nav::OlcSolution Close(const nav::WaypointRecord& closing) const {
        const std::size_t n = p_.size();
        if (n == 0) return {};
        if (n <= legs_) {
            nav::OlcSolution all;
            for (std::size_t k = n; k >= 1; --k)
                all.value += W(k) * (k == n ? D(p_[n - 1], closing) : D(p_[k - 1], p_[k]));
            for (std::size_t i = 0; i < n; ++i)
                all.points.push_back(i);
            return all;
        }
        if (legs_ == 1) return {W(1) * D(p_[0], closing), {0}};
        double top = 0.0;
        std::size_t last = 0;
        for (std::size_t x = legs_ - 1; x < n; ++x) {
            const double sum = W(legs_) * D(p_[x], closing) + best_[legs_ - 2][x];
            if (x == legs_ - 1 || sum > top) {
                top = sum;
                last = x;
            }
        }
        nav::OlcSolution solution{top, std::vector<std::size_t>(legs_)};
        for (std::size_t row = legs_ - 1; row-- > 0;) {
            solution.points[row + 1] = last;
            last = from_[row][last];
        }
        solution.points[0] = 0;
        return solution;
    }

  private:
    static constexpr std::size_t kBlock = 16;
    static constexpr double kNone = -std::numeric_limits<double>::infinity();
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    // Over the float rounding of a distance (relative) and the arcsine's
    // error near a right angle (km).
    static constexpr double kRelativeMargin = 1e-6;
    static constexpr double kMarginKm = 1e-3;

    struct Block {
        std::size_t first;
        std::size_t middle;
        double radius;
    };

    double W(std::size_t leg) const { return static_cast<double>(w_[leg - 1]); }
    static double D(const nav::WaypointRecord& a, const nav::WaypointRecord& b) {
        return static_cast<double>(nav::CourseAndDistance(a, b));
    }
    // d(i, j) for the column j being filled, each computed once.
    double ToColumn(std::size_t i, std::size_t j) {
        if (known_[i] != j) {
            d_[i] = D(p_[i], p_[j]);
            known_[i] = j;
        }
        return d_[i];
    }

    void Consider(std::size_t row, std::size_t i, std::size_t j, double& top, std::size_t& at) {
        if (best_[row - 1][i] == kNone) return;
        const double sum = best_[row - 1][i] + W(row + 1) * ToColumn(i, j);
        if (sum > top || (sum == top && i < at)) {
            top = sum;
            at = i;
        }
    }

    void FillColumn(std::size_t j) {
        reach_.resize(blocks_.size());
        for (std::size_t b = 0; b < blocks_.size(); ++b)
            reach_[b] = (D(p_[blocks_[b].middle], p_[j]) + blocks_[b].radius) * (1.0 + kRelativeMargin) +
                       kMarginKm;
        for (std::size_t row = 0; row < best_.size(); ++row) {
            const std::size_t k = row + 1;
            if (j < k) continue;
            if (k == 1) {
                best_[row][j] = W(1) * ToColumn(0, j);
                continue;
            }
            double top = kNone;
            std::size_t at = std::max(k - 1, j > k ? from_[row][j - 1] : 0);
            Consider(row, at, j, top, at);
            for (std::size_t b = 0; b < blocks_.size(); ++b) {
                if (W(k) >= 0.0 && blockBest_[row - 1][b] + W(k) * reach_[b] < top) continue;
                for (std::size_t i = blocks_[b].first; i < blocks_[b].first + kBlock; ++i)
                    Consider(row, i, j, top, at);
            }
            for (std::size_t i = blocks_.size() * kBlock; i < j; ++i)
                Consider(row, i, j, top, at);
            best_[row][j] = top;
            from_[row][j] = at;
        }
    }

    void CloseBlock(std::size_t first) {
        const std::size_t middle = first + kBlock / 2;
        double radius = 0.0;
        for (std::size_t i = first; i < first + kBlock; ++i)
            radius = std::max(radius, D(p_[middle], p_[i]));
        blocks_.push_back({first, middle, radius});
        for (std::size_t row = 0; row < best_.size(); ++row) {
            double most = kNone;
            for (std::size_t i = first; i < first + kBlock; ++i)
                most = std::max(most, best_[row][i]);
            blockBest_[row].push_back(most);
        }
    }

    std::vector<nav::WaypointRecord> p_;
    nav::OlcWeights w_;
    std::size_t legs_;
    // best_[k - 1][j]: the largest sum of k legs from the first point to j;
    // from_[k - 1][j]: the turnpoint before j on it.
    std::vector<std::vector<double>> best_;
    std::vector<std::vector<std::size_t>> from_;
    std::vector<Block> blocks_;
    std::vector<std::vector<double>> blockBest_;  // [k - 1][block]
    // Scratch of the column being filled: the reach of each block (its
    // middle's distance plus its radius, with the margin) and d(i, j).
    std::vector<double> reach_;
    std::vector<double> d_;
    std::vector<std::size_t> known_;
};

}  // namespace bench
