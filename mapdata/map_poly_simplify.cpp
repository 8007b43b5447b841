// Simplification of point lists for the map scale: the farthest-point split
// of a polyline, measured in 3-D between unit vectors, with a gap rule that
// keeps long straight runs from losing all their points.
#include <utility>
#include <vector>

#include "mapdata/map_poly_element.h"

namespace mapdata {
namespace {

struct Vec {
    float x, y, z;
};

Vec Minus(const MapPoint& a, const MapPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Squared distance of p from the chord a-b.
float ChordDistance2(const MapPoint& p, const MapPoint& a, const MapPoint& b) {
    const Vec ab = Minus(a, b);
    const Vec pb = Minus(p, b);
    const float length2 = Dot(ab, ab);
    if (length2 >= 1e-11F) {
        const float k = Dot(pb, ab);
        if (k > 0.0F) {
            if (k < length2) return Dot(pb, pb) - k * k / length2;
            const Vec pa = Minus(p, a);
            return Dot(pa, pa);
        }
    }
    return Dot(pb, pb);
}

// The inner point of (i, j) farthest from the chord i-j (the first of
// equals) and its squared distance; j itself and 0 when there is none.
std::pair<std::size_t, float> Farthest(std::span<const MapPoint> points, std::size_t i,
                                       std::size_t j) {
    std::pair<std::size_t, float> best{j, 0.0F};
    for (std::size_t k = i + 1; k < j; ++k) {
        const float d = ChordDistance2(points[k], points[i], points[j]);
        if (d > best.second) best = {k, d};
    }
    return best;
}

// Marks kept points (kind 1) between i and j while they stand farther than
// the tolerance from their chord.
void Split(std::vector<MapPoint>& points, std::size_t first, std::size_t last, float tolerance2) {
    std::vector<std::pair<std::size_t, std::size_t>> pending{{first, last}};
    while (!pending.empty()) {
        const auto [i, j] = pending.back();
        pending.pop_back();
        if (j <= i + 1) continue;
        const auto [far, distance] = Farthest(points, i, j);
        if (tolerance2 > distance || distance == 0.0F) continue;
        points[far].kind = 1;
        pending.push_back({i, far});
        pending.push_back({far, j});
    }
}

}  // namespace

bool CMapPolyElement::Simplify(float tolerance, float maxGap) {
    const std::size_t n = points_.size();
    if (n < 4) return false;
    std::vector<MapPoint> work = points_;
    for (MapPoint& p : work) p.kind = 0;
    work.front().kind = 1;
    work.back().kind = 1;

    float tolerance2 = tolerance * tolerance;
    std::size_t far = 1;
    float distance = ChordDistance2(work[1], work.front(), work.back());
    for (std::size_t k = 2; k + 1 < n; ++k) {
        const float d = ChordDistance2(work[k], work.front(), work.back());
        if (d > distance) {
            far = k;
            distance = d;
        }
    }
    work[far].kind = 1;
    if (distance > 0.0F) {
        if (9.0F * tolerance2 > distance) tolerance2 = distance / 9.0F;
        for (const auto& [i, j] : {std::pair{std::size_t{0}, far}, std::pair{far, n - 1}}) {
            const float halfDistance = Farthest(work, i, j).second;
            if (halfDistance > 0.0F) {
                Split(work, i, j, tolerance2 >= halfDistance ? 0.95F * halfDistance : tolerance2);
            }
        }
    }

    std::vector<MapPoint> kept;
    kept.reserve(n);
    const float maxGap2 = maxGap * maxGap;
    for (const MapPoint& p : work) {
        bool keep = (p.kind & 7U) != 0;
        if (!keep && maxGap > 0.0F && !kept.empty()) {
            const Vec gap = Minus(p, kept.back());
            keep = Dot(gap, gap) > maxGap2;
        }
        if (keep) {
            kept.push_back(p);
            kept.back().kind = 1;
        }
    }
    points_ = std::move(kept);
    const auto count = static_cast<std::uint32_t>(points_.size());
    bytesInUse_ = kPointRecordBytes * (IsClosed() ? count : count + 1);
    return true;
}

}  // namespace mapdata
