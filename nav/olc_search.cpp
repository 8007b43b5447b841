#include "nav/olc_search.h"

#include <algorithm>
#include <limits>

#include "core/waypoint_course.h"

namespace nav {
namespace {

constexpr double kNoFlight = -std::numeric_limits<double>::infinity();

}  // namespace

OlcSearch::OlcSearch(const OlcWeights& weights, int legCount)
    : weights_(weights), legs_(std::clamp(legCount, 1, kMaxOlcLegs)) {
    best_.resize(static_cast<std::size_t>(legs_ - 1));
    from_.resize(best_.size());
}

void OlcSearch::Append(std::span<const WaypointRecord> points) {
    points_.insert(points_.end(), points.begin(), points.end());
}

double OlcSearch::Leg(int leg, std::size_t from, std::size_t to) const {
    return Weight(leg) * static_cast<double>(CourseAndDistance(points_[from], points_[to]));
}

std::optional<OlcSolution> OlcSearch::Solve(const WaypointRecord& closing,
                                            const OlcAbandonCheck& abandoned) {
    if (!FillColumns(abandoned)) return std::nullopt;
    OlcSolution solution = Close(closing);
    if (abandoned && abandoned()) return std::nullopt;
    return solution;
}

bool OlcSearch::FillColumns(const OlcAbandonCheck& abandoned) {
    if (best_.empty()) {
        columns_ = points_.size();
        return true;
    }
    while (columns_ < points_.size()) {
        if (abandoned && abandoned()) return false;
        FillColumn(columns_);
        ++columns_;
    }
    return true;
}

// Column j holds, for every k, the best k legs that end at point j. The
// candidates for the turnpoint before j are tried from the earliest on and a
// later one wins only with a larger sum, as the exhaustive search tries them.
void OlcSearch::FillColumn(std::size_t j) {
    distances_.resize(j);
    for (std::size_t i = 0; i < j; ++i)
        distances_[i] = static_cast<double>(CourseAndDistance(points_[i], points_[j]));

    for (std::size_t row = 0; row < best_.size(); ++row) {
        const std::size_t k = row + 1;  // legs flown to point j
        double top = kNoFlight;
        std::size_t at = 0;
        if (j >= k) {
            if (k == 1) {
                top = Weight(1) * distances_[0];
            } else {
                const std::vector<double>& shorter = best_[row - 1];
                const double weight = Weight(static_cast<int>(k));
                for (std::size_t i = k - 1; i < j; ++i) {
                    const double sum = shorter[i] + weight * distances_[i];
                    if (i == k - 1 || sum > top) {
                        top = sum;
                        at = i;
                    }
                }
            }
        }
        best_[row].push_back(top);
        from_[row].push_back(at);
    }
}

// Few points: every one is a turnpoint, the legs summed from the last one
// back to the first.
OlcSolution OlcSearch::UseEveryPoint(const WaypointRecord& closing) const {
    OlcSolution solution;
    const std::size_t n = points_.size();
    for (std::size_t k = n; k >= 1; --k) {
        const int leg = static_cast<int>(k);
        solution.value +=
            k == n ? Weight(leg) * static_cast<double>(CourseAndDistance(points_[n - 1], closing))
                   : Leg(leg, k - 1, k);
    }
    for (std::size_t i = 0; i < n; ++i)
        solution.points.push_back(i);
    return solution;
}

OlcSolution OlcSearch::Close(const WaypointRecord& closing) const {
    const std::size_t n = points_.size();
    const auto legs = static_cast<std::size_t>(legs_);
    if (n == 0) return {};
    if (n <= legs) return UseEveryPoint(closing);
    if (legs == 1)
        return {Weight(1) * static_cast<double>(CourseAndDistance(points_[0], closing)), {0}};

    // The last turnpoint X, tried in time order from the legs-th point on.
    const std::vector<double>& shorter = best_[legs - 2];
    const double weight = Weight(legs_);
    double top = kNoFlight;
    std::size_t last = 0;
    for (std::size_t x = legs - 1; x < n; ++x) {
        const double sum =
            weight * static_cast<double>(CourseAndDistance(points_[x], closing)) + shorter[x];
        if (x == legs - 1 || sum > top) {
            top = sum;
            last = x;
        }
    }

    OlcSolution solution{top, std::vector<std::size_t>(legs)};
    std::size_t point = last;
    for (std::size_t row = legs - 1; row-- > 0;) {
        solution.points[row + 1] = point;
        point = from_[row][point];
    }
    solution.points[0] = 0;
    return solution;
}

std::optional<OlcSolution> OptimiseOlcDistance(std::span<const WaypointRecord> trail,
                                               const WaypointRecord& closing,
                                               const OlcWeights& weights, int legCount,
                                               const OlcAbandonCheck& abandoned) {
    OlcSearch search(weights, legCount);
    search.Append(trail);
    return search.Solve(closing, abandoned);
}

}  // namespace nav
