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
// earlier point i. It keeps the exhaustive search's rules exactly: the
// candidates are tried in time order and only a larger sum replaces the best
// one, and sums are formed in the same order, so it finds the same flight and
// the same value, in O(legs x points^2) instead of O(points^legs).
//
// OlcSearch keeps its table between searches: points only ever join the end
// of a trail, so each new point adds one column, and a new closing point
// costs one pass over the points.

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
    double Weight(int leg) const { return static_cast<double>(weights_[leg - 1]); }
    double Leg(int leg, std::size_t from, std::size_t to) const;
    bool FillColumns(const OlcAbandonCheck& abandoned);
    void FillColumn(std::size_t j);
    OlcSolution UseEveryPoint(const WaypointRecord& closing) const;
    OlcSolution Close(const WaypointRecord& closing) const;

    OlcWeights weights_;
    int legs_;
    std::vector<WaypointRecord> points_;
    // best_[k - 1][j]: the largest sum of k legs from the first point to
    // point j; from_[k - 1][j]: the turnpoint before j on that flight.
    // Rows k = 1 .. legs - 1, columns filled up to columns_.
    std::vector<std::vector<double>> best_;
    std::vector<std::vector<std::size_t>> from_;
    std::size_t columns_ = 0;
    std::vector<double> distances_;  // scratch: d(i, j) for one column
};

// One search over a whole trail.
std::optional<OlcSolution> OptimiseOlcDistance(std::span<const WaypointRecord> trail,
                                               const WaypointRecord& closing,
                                               const OlcWeights& weights, int legCount,
                                               const OlcAbandonCheck& abandoned = {});

}  // namespace nav
