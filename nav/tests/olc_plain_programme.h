#pragma once
// The free-distance search as a plain dynamic programme: every pair of
// points, each distance through CourseAndDistance on the full records. It
// keeps the exhaustive search's rules (sums in the same order, the earliest
// of equal sums) and is the reference the pruned search is compared with on
// long trails, in the tests and side by side in the benchmark. One table
// serves every leg count up to the one it was built for, as a row's sums do
// not depend on the legs that follow.

#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#include "core/waypoint_course.h"
#include "core/waypoint_record.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"

namespace nav {

class PlainOlcProgramme {
  public:
    PlainOlcProgramme(std::span<const WaypointRecord> trail, const OlcWeights& weights,
                      int legs)
        : p_(trail.begin(), trail.end()), w_(weights),
          best_(static_cast<std::size_t>(legs > 1 ? legs - 1 : 0)), from_(best_.size()) {
        std::vector<double> d;
        for (std::size_t j = 0; j < p_.size(); ++j) {
            d.resize(j);
            for (std::size_t i = 0; i < j; ++i)
                d[i] = D(p_[i], p_[j]);
            for (std::size_t row = 0; row < best_.size(); ++row)
                FillCell(row, j, d);
        }
    }

    // The best flight of `legs` legs (at most those built for).
    OlcSolution Close(const WaypointRecord& closing, int legs) const {
        const std::size_t n = p_.size();
        const auto l = static_cast<std::size_t>(legs);
        if (n == 0) return {};
        if (n <= l) {
            OlcSolution all;
            for (std::size_t k = n; k >= 1; --k)
                all.value += W(k) * (k == n ? D(p_[n - 1], closing) : D(p_[k - 1], p_[k]));
            for (std::size_t i = 0; i < n; ++i)
                all.points.push_back(i);
            return all;
        }
        if (l == 1) return {W(1) * D(p_[0], closing), {0}};
        double top = 0.0;
        std::size_t last = 0;
        for (std::size_t x = l - 1; x < n; ++x) {
            const double sum = W(l) * D(p_[x], closing) + best_[l - 2][x];
            if (x == l - 1 || sum > top) {
                top = sum;
                last = x;
            }
        }
        OlcSolution solution{top, std::vector<std::size_t>(l)};
        for (std::size_t row = l - 1; row-- > 0;) {
            solution.points[row + 1] = last;
            last = from_[row][last];
        }
        solution.points[0] = 0;
        return solution;
    }

  private:
    double W(std::size_t leg) const { return static_cast<double>(w_[leg - 1]); }
    static double D(const WaypointRecord& a, const WaypointRecord& b) {
        return static_cast<double>(CourseAndDistance(a, b));
    }

    void FillCell(std::size_t row, std::size_t j, const std::vector<double>& d) {
        const std::size_t k = row + 1;
        double top = -std::numeric_limits<double>::infinity();
        std::size_t at = 0;
        if (j >= k && k == 1) top = W(1) * d[0];
        for (std::size_t i = k - 1; k > 1 && i < j; ++i) {
            const double sum = best_[row - 1][i] + W(k) * d[i];
            if (i == k - 1 || sum > top) {
                top = sum;
                at = i;
            }
        }
        best_[row].push_back(top);
        from_[row].push_back(at);
    }

    std::vector<WaypointRecord> p_;
    OlcWeights w_;
    std::vector<std::vector<double>> best_;
    std::vector<std::vector<std::size_t>> from_;
};

}  // namespace nav
