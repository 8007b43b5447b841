#pragma once
// The free-distance search: over a trail of fixes in time order, the flight
// of a fixed number of legs with the largest weighted length that starts at
// the trail's first point, turns at up to seven trail points taken in time
// order and ends at a closing point (the current position or the
// destination). A leg's length is its great-circle distance (km) times its
// weight in per cent.
//
// With no more points than legs every point is used. Otherwise the best
// flight is a dynamic programme over (legs flown, point reached): the best
// k legs from the first point to point j extend the best k - 1 legs to an
// earlier point i. It keeps the exhaustive search's rules exactly: sums are
// formed in the same order and, of equal sums, the earliest turnpoint wins
// (the exhaustive search tries them in time order and only a larger sum
// replaces the best one), so it finds the same flight and the same value.
//
// Most pairs (i, j) cannot improve the best sum found for j so far: the
// points are grouped in blocks of 8, blocks of 8 blocks and so on, each with
// upper bounds, per leg count, of the sums through its points (through the
// triangle inequality, with margins above every rounding): one about its
// last point and one about its first, good for any later point, and one from
// the column where the block was last looked into, which grows only by the
// distance from that column's point. Along a nearly straight stretch almost
// every point gives about the same sum, which the bounds about a block's
// ends cannot tell apart; the last one can, so the points looked at per
// column hardly grow with the trail. A block whose bounds do not all exceed
// the best so far is skipped whole; the points of the others are bounded one
// by one through their chords first. The distances of the pairs that remain
// are computed inline from contiguous unit vectors, exactly as
// CourseAndDistance computes them.
//
// OlcSearch keeps its table between searches: points only ever join the end
// of a trail, so each new point adds one column, and a new closing point
// costs one pass over the points. A new "EarthRadius" setting fills the
// table anew. One thread at a time.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "nav/olc_settings.h"
#include "core/waypoint_record.h"

namespace nav {

// Asked now and then during a search; true stops it.
using OlcAbandonCheck = std::function<bool()>;

struct OlcSolution {
    // The weighted length: the sum of distance (km) x weight (per cent).
    double value = 0.0;
    // The chosen trail points in order, the first point first; the closing
    // point follows the last of them.
    std::vector<std::size_t> points;

    friend bool operator==(const OlcSolution&, const OlcSolution&) = default;
};

class OlcSearch {
  public:
    // legCount is brought into 1..kMaxOlcLegs.
    OlcSearch(const OlcWeights& weights, int legCount);

    const OlcWeights& Weights() const { return weights_; }
    int LegCount() const { return legs_; }
    std::size_t PointCount() const { return points_.size(); }

    // Appends trail points (the trail only grows).
    void Append(std::span<const WaypointRecord> points);

    // The best flight over the points so far, closed at `closing`; nothing
    // when `abandoned` said stop. Work done before a stop is kept.
    std::optional<OlcSolution> Solve(const WaypointRecord& closing,
                                     const OlcAbandonCheck& abandoned = {});

  private:
    struct Unit {
        double x;
        double y;
        double z;
    };
    // What a block gave when it was last looked into: the largest bound of
    // its parts at that column (kNever: not yet). Plus the weighted bound of
    // d(column, j) it is at least every sum through the block to point j.
    struct Look {
        double top;
        std::size_t column;
    };
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);
    // The blocks of one level (8, 64, ... points each), once complete: the
    // centre point (the last), and per row k - 1 of k legs the largest sum
    // of the best k - 1 legs to a point i of the block plus the weighted
    // upper bound of d(i, centre). That plus the weighted bound of
    // d(centre, j) is at least every sum through the block to point j. The
    // same about the block's first point, and the block's last look.
    struct Level {
        std::size_t span;  // points per block
        std::vector<std::size_t> centre;
        std::vector<std::vector<double>> top;   // [row][block]; row 0 unused
        std::vector<std::vector<double>> lead;  // about the first point
        std::vector<std::vector<Look>> looked;  // [row][block]
    };

    double Weight(int leg) const { return static_cast<double>(weights_[leg - 1]); }
    // The distance between two points as CourseAndDistance gives it.
    double Distance(const Unit& a, const Unit& b) const;
    void ClearTable();
    bool FillColumns(const OlcAbandonCheck& abandoned);
    void FillColumn(std::size_t j);
    void Consider(std::size_t row, std::size_t i, std::size_t j, double weight, double& top,
                  std::size_t& at);
    double Bound(std::size_t level, std::size_t block, std::size_t row, const Unit& to,
                 double weight, double viaLast, double top) const;
    void Open(std::size_t level, std::size_t block, std::size_t row, std::size_t j, double weight,
              double& top, std::size_t& at, bool prunable);
    void Visit(std::size_t level, std::size_t block, std::size_t row, std::size_t j,
               double weight, double& top, std::size_t& at);
    void VisitPoints(std::size_t block, std::size_t row, std::size_t j, double weight,
                     double& top, std::size_t& at, bool prunable);
    void CloseBlocks(std::size_t end);
    double BlockTop(std::size_t level, std::size_t b, std::size_t row, double weight,
                    const Unit& c) const;
    OlcSolution UseEveryPoint(const Unit& closing) const;
    OlcSolution Close(const Unit& closing) const;

    OlcWeights weights_;
    int legs_;
    double earthRadius_ = 0.0;  // read once per search
    double boundRadius_ = 0.0;  // with a margin above every rounding
    std::vector<Unit> points_;
    // best_[k - 1][j]: the largest sum of k legs from the first point to
    // point j; from_[k - 1][j]: the turnpoint before j on that flight.
    // Rows k = 1 .. legs - 1, columns filled up to columns_.
    std::vector<std::vector<double>> best_;
    std::vector<std::vector<std::size_t>> from_;
    std::size_t columns_ = 0;
    std::vector<Level> levels_;
    // Scratch for one column: d(i, j), valid where seen_[i] == j + 1.
    std::vector<double> distances_;
    std::vector<std::size_t> seen_;
};

// One search over a whole trail.
std::optional<OlcSolution> OptimiseOlcDistance(std::span<const WaypointRecord> trail,
                                               const WaypointRecord& closing,
                                               const OlcWeights& weights, int legCount,
                                               const OlcAbandonCheck& abandoned = {});

}  // namespace nav
