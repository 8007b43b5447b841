#include "nav/olc_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/settings_values.h"

namespace nav {
namespace {

constexpr double kNoFlight = -std::numeric_limits<double>::infinity();
// Blocks of each level hold this many blocks (or points) of the level below.
constexpr std::size_t kFanOut = 8;
constexpr std::size_t kLevels = 5;
// Margins above the rounding of a computed distance: its angle is within
// 1e-15 radians below one radian; near a right angle the arcsine of the
// cross product's length loses up to about 1e-8 radians; then the distance
// is rounded to a float.
constexpr double kSmallAngleMargin = 1e-12;
constexpr double kLargeAngle = 0.5;
constexpr double kLargeAngleMargin = 1e-7;
constexpr double kRelativeMargin = 2.5e-7;
// Beyond this half chord the arcsine series is too loose: half a turn.
constexpr double kLargestHalfChord = 0.9;

double Chord(double ax, double ay, double az, double bx, double by, double bz) {
    const double dx = ax - bx;
    const double dy = ay - by;
    const double dz = az - bz;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// arcsin y <= y + y^3/6 + 3y^5/40 + (5/112) y^7 / (1 - y^2) for 0 <= y < 1:
// every later term of its series has a smaller coefficient.
double ArcsineAbove(double y) {
    const double y2 = y * y;
    return y * (1.0 + y2 * (1.0 / 6.0 + y2 * (3.0 / 40.0 + y2 * (5.0 / 112.0) / (1.0 - y2))));
}

// Below this half chord (an angle of about 60 degrees) 1 / (1 - y^2) is at
// most 4/3, so the series bound needs no division.
constexpr double kSeriesHalfChord = 0.5;

// An upper bound of every distance the search computes between points a
// chord apart, and between any two points through a third, as the angles
// obey the triangle inequality and the angle is twice the arcsine of half
// the chord. boundRadius is the radius with its relative margin.
inline double DistanceAbove(double chord, double boundRadius) {
    const double half = 0.5 * chord;
    double angle = std::numbers::pi;
    if (half < kSeriesHalfChord) [[likely]] {
        const double y2 = half * half;
        angle = 2.0 * half * (1.0 + y2 * (1.0 / 6.0 + y2 * (3.0 / 40.0 + y2 * (5.0 / 84.0))));
    } else if (half < kLargestHalfChord) {
        angle = 2.0 * ArcsineAbove(half);
    }
    const double margin = angle < kLargeAngle ? kSmallAngleMargin : kLargeAngleMargin;
    return (angle + margin) * boundRadius;
}

}  // namespace

OlcSearch::OlcSearch(const OlcWeights& weights, int legCount)
    : weights_(weights), legs_(std::clamp(legCount, 1, kMaxOlcLegs)) {
    best_.resize(static_cast<std::size_t>(legs_ - 1));
    from_.resize(best_.size());
    std::size_t span = kFanOut;
    for (std::size_t level = 0; level < kLevels; ++level, span *= kFanOut) {
        levels_.push_back({span, {}, std::vector<std::vector<double>>(best_.size()),
                           std::vector<std::vector<double>>(best_.size()),
                           std::vector<std::vector<Look>>(best_.size())});
    }
}

void OlcSearch::Append(std::span<const WaypointRecord> points) {
    points_.reserve(points_.size() + points.size());
    for (const WaypointRecord& point : points)
        points_.push_back({point.x, point.y, point.z});
}

// The same operations in the same order as CourseAndDistance, so the same
// bits: the dot and cross products, the arcsine of the cross product's
// length, the radius, and the round trip through a float.
double OlcSearch::Distance(const Unit& a, const Unit& b) const {
    const double d = a.x * b.x + a.y * b.y + a.z * b.z;
    const double cx = a.y * b.z - a.z * b.y;
    const double cy = a.z * b.x - a.x * b.z;
    const double cz = a.x * b.y - a.y * b.x;
    const double s = std::min(std::sqrt(cx * cx + cy * cy + cz * cz), 1.0);
    const double angle = d >= 0.0 ? std::asin(s) : std::numbers::pi - std::asin(s);
    return static_cast<double>(static_cast<float>(angle * earthRadius_));
}


std::optional<OlcSolution> OlcSearch::Solve(const WaypointRecord& closing,
                                            const OlcAbandonCheck& abandoned) {
    // The table and its bounds hold distances at one radius: a new radius
    // setting fills them anew rather than mixing the two.
    const double radius = core::g_earthRadius.load(std::memory_order_relaxed);
    if (radius != earthRadius_) ClearTable();
    earthRadius_ = radius;
    boundRadius_ = radius * (1.0 + kRelativeMargin);
    if (!FillColumns(abandoned)) return std::nullopt;
    OlcSolution solution = Close({closing.x, closing.y, closing.z});
    if (abandoned && abandoned()) return std::nullopt;
    return solution;
}

void OlcSearch::ClearTable() {
    columns_ = 0;
    seen_.assign(seen_.size(), 0);
    for (auto& row : best_)
        row.clear();
    for (auto& row : from_)
        row.clear();
    for (Level& level : levels_) {
        level.centre.clear();
        for (auto& row : level.top)
            row.clear();
        for (auto& row : level.lead)
            row.clear();
        for (auto& row : level.looked)
            row.clear();
    }
}

bool OlcSearch::FillColumns(const OlcAbandonCheck& abandoned) {
    if (best_.empty()) {
        columns_ = points_.size();
        return true;
    }
    distances_.resize(points_.size());
    seen_.resize(points_.size());
    while (columns_ < points_.size()) {
        if (abandoned && abandoned()) return false;
        FillColumn(columns_);
        ++columns_;
        CloseBlocks(columns_);
    }
    return true;
}

// The candidate i for the turnpoint before j on the best flight of row + 1
// legs; of equal sums the earlier point wins.
void OlcSearch::Consider(std::size_t row, std::size_t i, std::size_t j, double weight,
                         double& top, std::size_t& at) {
    const double shorter = best_[row - 1][i];
    if (shorter == kNoFlight) return;
    if (seen_[i] != j + 1) {
        distances_[i] = Distance(points_[i], points_[j]);
        seen_[i] = j + 1;
    }
    const double sum = shorter + weight * distances_[i];
    if (sum > top || (sum == top && i < at)) {
        top = sum;
        at = i;
    }
}

// A block is looked into only when its bounds could beat the best so far; a
// bound equal to it could still tie at an earlier point, so only a smaller
// one skips. Of a block's bounds (about its last point, about its first, and
// from when it was last looked into) the next is worked out only while those
// before it do not skip; the smallest found is returned.
double OlcSearch::Bound(std::size_t level, std::size_t block, std::size_t row, const Unit& to,
                        double weight, double viaLast, double top) const {
    if (viaLast < top) return viaLast;
    const Level& blocks = levels_[level];
    const Unit& f = points_[block * blocks.span];
    const double reach = DistanceAbove(Chord(f.x, f.y, f.z, to.x, to.y, to.z), boundRadius_);
    const double viaFirst = blocks.lead[row][block] + weight * reach;
    const double bound = std::min(viaLast, viaFirst);
    const Look& look = blocks.looked[row][block];
    if (bound < top || look.column == kNever) return bound;
    const Unit& s = points_[look.column];
    const double moved = DistanceAbove(Chord(s.x, s.y, s.z, to.x, to.y, to.z), boundRadius_);
    return std::min(bound, look.top + weight * moved);
}

void OlcSearch::Visit(std::size_t level, std::size_t block, std::size_t row, std::size_t j,
                      double weight, double& top, std::size_t& at) {
    const Level& blocks = levels_[level];
    const bool prunable = weight >= 0.0 && earthRadius_ > 0.0 && std::isfinite(earthRadius_);
    if (prunable) {
        const Unit& to = points_[j];
        const Unit& c = points_[blocks.centre[block]];
        const double reach = DistanceAbove(Chord(c.x, c.y, c.z, to.x, to.y, to.z), boundRadius_);
        if (Bound(level, block, row, to, weight, blocks.top[row][block] + weight * reach, top) <
            top) {
            return;
        }
    }
    Open(level, block, row, j, weight, top, at, prunable);
}

// The blocks (or points) of a block that was not skipped. Their bounds about
// their last points are worked out first in one pass, which runs them side
// by side, then each is looked into against the best sum of that moment.
// The block keeps the largest of its parts' bounds at this column.
void OlcSearch::Open(std::size_t level, std::size_t block, std::size_t row, std::size_t j,
                     double weight, double& top, std::size_t& at, bool prunable) {
    if (level == 0) {
        VisitPoints(block, row, j, weight, top, at, prunable);
        return;
    }
    const Level& below = levels_[level - 1];
    const Unit& to = points_[j];
    const std::size_t firstChild = block * kFanOut;
    const double* const tops = below.top[row].data() + firstChild;
    std::array<double, kFanOut> viaLast;
    for (std::size_t n = 0; n < kFanOut; ++n) {
        const Unit& c = points_[(firstChild + n + 1) * below.span - 1];
        viaLast[n] = tops[n] +
                     weight * DistanceAbove(Chord(c.x, c.y, c.z, to.x, to.y, to.z), boundRadius_);
    }
    double most = kNoFlight;
    for (std::size_t n = 0; n < kFanOut; ++n) {
        const std::size_t child = firstChild + n;
        double bound = viaLast[n];
        if (prunable) {
            bound = Bound(level - 1, child, row, to, weight, viaLast[n], top);
            if (bound < top) {
                most = std::max(most, bound);
                continue;
            }
        }
        Open(level - 1, child, row, j, weight, top, at, prunable);
        most = std::max(most, std::min(bound, below.looked[row][child].top));
    }
    levels_[level].looked[row][block] = {most, j};
}

// The points of a block that was not skipped: each is bounded first through
// its chord to j, which costs less than its distance, in one pass over the
// block that the compiler can run on several points at once.
void OlcSearch::VisitPoints(std::size_t block, std::size_t row, std::size_t j, double weight,
                            double& top, std::size_t& at, bool prunable) {
    const std::size_t first = block * kFanOut;
    const Unit& to = points_[j];
    const double* const shorter = best_[row - 1].data() + first;
    std::array<double, kFanOut> bound;
    for (std::size_t n = 0; n < kFanOut; ++n) {
        const Unit& p = points_[first + n];
        bound[n] = shorter[n] +
                   weight * DistanceAbove(Chord(p.x, p.y, p.z, to.x, to.y, to.z), boundRadius_);
    }
    levels_[0].looked[row][block] = {*std::max_element(bound.begin(), bound.end()), j};
    for (std::size_t n = 0; n < kFanOut; ++n) {
        if (!prunable || !(bound[n] < top)) Consider(row, first + n, j, weight, top, at);
    }
}

// Column j holds, for every k, the best k legs that end at point j. The
// search starts from the turnpoint that was best for the point before, which
// is usually close to the best for this one, so most blocks are skipped.
void OlcSearch::FillColumn(std::size_t j) {
    for (std::size_t row = 0; row < best_.size(); ++row) {
        const std::size_t k = row + 1;  // legs flown to point j
        double top = kNoFlight;
        std::size_t at = 0;
        if (j >= k && k == 1) {
            top = Weight(1) * Distance(points_[0], points_[j]);
        } else if (j >= k) {
            const double weight = Weight(static_cast<int>(k));
            at = k - 1;
            if (j > k) at = std::max(at, from_[row][j - 1]);
            top = kNoFlight;
            Consider(row, at, j, weight, top, at);
            std::size_t pos = 0;
            for (std::size_t level = levels_.size(); level-- > 0;) {
                const std::size_t span = levels_[level].span;
                for (; pos + span <= j; pos += span)
                    Visit(level, pos / span, row, j, weight, top, at);
            }
            for (; pos < j; ++pos)
                Consider(row, pos, j, weight, top, at);
        }
        best_[row].push_back(top);
        from_[row].push_back(at);
    }
}

// Completes the blocks whose points all have their columns now. A block's
// centre is its last point: along a straight stretch the sums through its
// points then add up to about the sum through the centre, which keeps the
// bound tight.
void OlcSearch::CloseBlocks(std::size_t end) {
    for (std::size_t level = 0; level < levels_.size(); ++level) {
        Level& blocks = levels_[level];
        const std::size_t b = blocks.centre.size();
        if ((b + 1) * blocks.span > end) return;  // higher levels are larger still
        const std::size_t first = b * blocks.span;
        const std::size_t centre = first + blocks.span - 1;
        for (std::size_t row = 1; row < best_.size(); ++row) {
            const double weight = Weight(static_cast<int>(row + 1));
            blocks.top[row].push_back(BlockTop(level, b, row, weight, points_[centre]));
            blocks.lead[row].push_back(BlockTop(level, b, row, weight, points_[first]));
            blocks.looked[row].push_back({kNoFlight, kNever});
        }
        blocks.centre.push_back(centre);
    }
}

// The largest sum of the best row legs to a point i of the block plus the
// weighted upper bound of d(i, c).
double OlcSearch::BlockTop(std::size_t level, std::size_t b, std::size_t row, double weight,
                           const Unit& c) const {
    const std::size_t span = levels_[level].span;
    double top = kNoFlight;
    if (level == 0) {
        for (std::size_t i = b * span; i < (b + 1) * span; ++i) {
            const Unit& p = points_[i];
            const double reach = DistanceAbove(Chord(c.x, c.y, c.z, p.x, p.y, p.z), boundRadius_);
            top = std::max(top, best_[row - 1][i] + weight * reach);
        }
        return top;
    }
    const Level& below = levels_[level - 1];
    for (std::size_t child = b * kFanOut; child < (b + 1) * kFanOut; ++child) {
        const Unit& p = points_[below.centre[child]];
        const Unit& f = points_[child * below.span];
        const double viaLast =
            below.top[row][child] +
            weight * DistanceAbove(Chord(c.x, c.y, c.z, p.x, p.y, p.z), boundRadius_);
        const double viaFirst =
            below.lead[row][child] +
            weight * DistanceAbove(Chord(c.x, c.y, c.z, f.x, f.y, f.z), boundRadius_);
        top = std::max(top, std::min(viaLast, viaFirst));
    }
    return top;
}

// Few points: every one is a turnpoint, the legs summed from the last one
// back to the first.
OlcSolution OlcSearch::UseEveryPoint(const Unit& closing) const {
    OlcSolution solution;
    const std::size_t n = points_.size();
    for (std::size_t k = n; k >= 1; --k) {
        const int leg = static_cast<int>(k);
        solution.value += Weight(leg) * (k == n ? Distance(points_[n - 1], closing)
                                                : Distance(points_[k - 1], points_[k]));
    }
    for (std::size_t i = 0; i < n; ++i)
        solution.points.push_back(i);
    return solution;
}

OlcSolution OlcSearch::Close(const Unit& closing) const {
    const std::size_t n = points_.size();
    const auto legs = static_cast<std::size_t>(legs_);
    if (n == 0) return {};
    if (n <= legs) return UseEveryPoint(closing);
    if (legs == 1) return {Weight(1) * Distance(points_[0], closing), {0}};

    // The last turnpoint X, tried in time order from the legs-th point on.
    const std::vector<double>& shorter = best_[legs - 2];
    const double weight = Weight(legs_);
    double top = kNoFlight;
    std::size_t last = 0;
    for (std::size_t x = legs - 1; x < n; ++x) {
        const double sum = weight * Distance(points_[x], closing) + shorter[x];
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
