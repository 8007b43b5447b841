#include "tools/quorlin/e00_polyline.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "platform/numbers.h"

namespace quorlin {
namespace {

constexpr double kEndX = 0.008, kEndY = 0.006;

// Signed angle between two vectors: acos of the normalised dot product,
// negative when the cross product is.
double SignedAngle(double ax, double ay, double bx, double by) {
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    if (la == 0.0 || lb == 0.0) return 0.0;
    const double angle = std::acos(std::clamp((ax * bx + ay * by) / (la * lb), -1.0, 1.0));
    return ax * by - ay * bx < 0 ? -angle : angle;
}

// Squared distance of p from the segment a-b, x differences times k.
double SegmentDistance(const E00Point& p, const E00Point& a, const E00Point& b, double k) {
    const double dx = (a.x - b.x) * k, dy = a.y - b.y;
    const double px = (p.x - b.x) * k, py = p.y - b.y;
    const double l = dy * dy + dx * dx;
    const double toB = px * px + py * py;
    if (l < 1e-8) return toB;
    const double t = py * dy + px * dx;
    if (t <= 0) return toB;
    if (t >= l) {
        const double ax = (p.x - a.x) * k, ay = p.y - a.y;
        return ax * ax + ay * ay;
    }
    return toB - t * t / l;
}

struct Farthest {
    std::size_t index = 0;
    double distance = -1.0;
    bool found = false;
};

// The point strictly between s and e farthest from their chord (ties keep
// the earlier one), starting from `start`.
Farthest FindFarthest(const std::vector<E00Point>& p, std::size_t s, std::size_t e, double k, double start) {
    Farthest f;
    f.distance = start;
    for (std::size_t i = s + 1; i < e; ++i) {
        const double d = SegmentDistance(p[i], p[s], p[e], k);
        if (d > f.distance) f = {i, d, true};
    }
    return f;
}

// The split step with an explicit stack; it stops where no point lies off
// the chord.
void Split(std::vector<E00Point>& p, std::size_t s, std::size_t e, float tolerance, double k) {
    std::vector<std::pair<std::size_t, std::size_t>> stack{{s, e}};
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        if (b <= a + 1) continue;
        float best = 0.0f;
        std::size_t index = 0;
        bool found = false;
        for (std::size_t i = a + 1; i < b; ++i) {
            const auto d = static_cast<float>(SegmentDistance(p[i], p[a], p[b], k));
            if (d > best) best = d, index = i, found = true;
        }
        if (!found || !(tolerance <= best)) continue;
        p[index].flags |= kKeepPoint;
        stack.push_back({index, b});
        stack.push_back({a, index});
    }
}

// Rectangle sides: 0 north, 1 east, 2 south, 3 west.
struct Rect {
    double x1, y1, x2, y2;
    bool Inside(const E00Point& p) const { return p.x >= x1 && p.x <= x2 && p.y >= y1 && p.y <= y2; }
    int Side(const E00Point& p) const {
        int side = 0;
        if (p.x == x2) side = 1;
        if (p.x == x1) side = 3;
        if (p.y == y2) side = 0;
        if (p.y == y1) side = 2;
        return side;
    }
    double Perimeter() const { return 2 * (x2 - x1) + 2 * (y2 - y1); }
    // Position along the border clockwise from the north-west corner.
    double Along(const E00Point& p) const {
        const double w = x2 - x1, h = y2 - y1;
        switch (Side(p)) {
            case 0: return p.x - x1;
            case 1: return w + (y2 - p.y);
            case 2: return w + h + (x2 - p.x);
            default: return 2 * w + h + (p.y - y1);
        }
    }
    // Border distance from a to b walking clockwise (-1) or not (+1).
    double Distance(const E00Point& a, const E00Point& b, int orientation) const {
        double d = orientation < 0 ? Along(b) - Along(a) : Along(a) - Along(b);
        if (d < 0) d += Perimeter();
        return d;
    }
    // The corner passed when leaving `side` in the walking direction.
    E00Point CornerAfter(int side, int orientation) const {
        static constexpr int kClockwise[4][2] = {{1, 1}, {1, 0}, {0, 0}, {0, 1}};   // NE, SE, SW, NW
        static constexpr int kCounter[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};     // NW, NE, SE, SW
        const int* c = orientation < 0 ? kClockwise[side] : kCounter[side];
        return {c[0] ? x2 : x1, c[1] ? y2 : y1, kBorderPoint};
    }
    static int NextSide(int side, int orientation) { return orientation < 0 ? (side + 1) % 4 : (side + 3) % 4; }
    // Where the segment from an inside point to an outside one leaves.
    E00Point Crossing(const E00Point& in, const E00Point& out) const {
        const auto atX = [&](double x) { return in.y + (x - in.x) * (out.y - in.y) / (out.x - in.x); };
        const auto atY = [&](double y) { return in.x + (y - in.y) * (out.x - in.x) / (out.y - in.y); };
        const auto onY = [&](double y) { return E00Point{std::clamp(atY(y), x1, x2), y, kBorderPoint}; };
        for (double x : {x2, x1}) {
            if ((x == x2 && out.x > x2) || (x == x1 && out.x < x1)) {
                const double y = atX(x);
                if (y > y2) return onY(y2);
                if (y < y1) return onY(y1);
                return {x, y, kBorderPoint};
            }
        }
        return onY(out.y > y2 ? y2 : y1);
    }
    // Behind the exit on the same side, in the walking direction.
    static bool Behind(const E00Point& start, const E00Point& exit, int side, int orientation) {
        const bool clockwise = orientation < 0;
        switch (side) {
            case 0: return clockwise ? start.x < exit.x : start.x > exit.x;
            case 1: return clockwise ? start.y > exit.y : start.y < exit.y;
            case 2: return clockwise ? start.x > exit.x : start.x < exit.x;
            default: return clockwise ? start.y < exit.y : start.y > exit.y;
        }
    }
};

CE00Polyline Piece(const CE00Polyline& source, std::vector<E00Point> points) {
    CE00Polyline piece;
    piece.points = std::move(points);
    piece.value = source.value;
    piece.UpdateBounds();
    piece.UpdateClosed();
    return piece;
}

}  // namespace

double GreatCircleDegrees(const E00Point& a, const E00Point& b) {
    return GreatCircleMiles(a.y, a.x, b.y, b.x) / 1.852 * 0.026816666666666666;
}

void CE00Polyline::UpdateBounds() {
    if (points.empty()) return;
    bounds = core::GeoBox::Around({points[0].y, points[0].x});
    for (const E00Point& p : points) bounds.Extend(core::GeoPoint{p.y, p.x});
}

void CE00Polyline::UpdateClosed() {
    closed = points.size() >= 3 && std::abs(points.front().x - points.back().x) <= kEndX &&
             std::abs(points.front().y - points.back().y) <= kEndY;
}

int CE00Polyline::UpdateOrientation() {
    std::vector<E00Point> ring;
    for (const E00Point& p : points) {
        if (ring.empty() || p.x != ring.back().x || p.y != ring.back().y) ring.push_back(p);
    }
    while (ring.size() > 1 && ring.back().x == ring.front().x && ring.back().y == ring.front().y) ring.pop_back();
    if (points.size() < 3 || ring.size() < 3) return orientation;
    double sum = 0.0;
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const E00Point& a = ring[(i + n - 1) % n];
        const E00Point& b = ring[i];
        const E00Point& c = ring[(i + 1) % n];
        sum += SignedAngle(b.x - a.x, b.y - a.y, c.x - b.x, c.y - b.y);
    }
    if (sum < 0) orientation = -1;
    if (sum > 0) orientation = 1;
    return orientation;
}

void CE00Polyline::Close() {
    if (closed || points.empty()) return;
    points.push_back(points.front());
    closed = true;
}

void CE00Polyline::MarkSelfJunctions() {
    std::map<std::pair<double, double>, std::vector<std::size_t>> at;
    for (std::size_t i = 0; i < points.size(); ++i) at[{points[i].x, points[i].y}].push_back(i);
    for (const auto& [where, list] : at) {
        if (list.size() < 2) continue;
        for (std::size_t i : list) points[i].flags |= kJunctionPoint;
    }
}

bool CE00Polyline::Join(const CE00Polyline& other, bool matchValue, bool matchId) {
    if (closed || other.closed || points.empty() || other.points.empty()) return false;
    if (matchId && coverageId != other.coverageId) return false;
    if (matchValue && value != other.value) return false;
    const auto meet = [](const E00Point& a, const E00Point& b) {
        return std::abs(a.x - b.x) <= kEndX && std::abs(a.y - b.y) <= kEndY;
    };
    const auto& b = other.points;
    std::vector<E00Point> joined;
    joined.reserve(points.size() + b.size());
    if (meet(points.front(), b.front())) {
        joined.assign(b.rbegin(), b.rend() - 1);
        joined.insert(joined.end(), points.begin(), points.end());
    } else if (meet(points.back(), b.front())) {
        joined = points;
        joined.insert(joined.end(), b.begin() + 1, b.end());
    } else if (meet(points.front(), b.back())) {
        joined.assign(b.begin(), b.end() - 1);
        joined.insert(joined.end(), points.begin(), points.end());
    } else if (meet(points.back(), b.back())) {
        joined = points;
        joined.insert(joined.end(), b.rbegin() + 1, b.rend());
    } else {
        return false;
    }
    points = std::move(joined);
    UpdateBounds();
    UpdateClosed();
    return true;
}

int CE00Polyline::Contains(const CE00Polyline& other) const {
    if (&other == this) return 1;
    const core::GeoBox& a = bounds;
    const core::GeoBox& b = other.bounds;
    if (a.east < b.west || b.east < a.west || a.north < b.south || b.north < a.south) return 0;
    const double wa = a.east - a.west, ha = a.north - a.south, wb = b.east - b.west, hb = b.north - b.south;
    const bool otherSmaller = wb <= wa && hb <= ha, thisSmaller = wa <= wb && ha <= hb;
    if (!otherSmaller && !thisSmaller) return 0;
    const CE00Polyline& inner = otherSmaller ? other : *this;
    const CE00Polyline& outer = otherSmaller ? *this : other;
    const E00Point* probe = nullptr;
    for (const E00Point& p : inner.points) {
        const bool vertex = std::any_of(outer.points.begin(), outer.points.end(),
                                        [&](const E00Point& q) { return q.x == p.x && q.y == p.y; });
        if (!vertex) {
            probe = &p;
            break;
        }
    }
    double sum = 6.29;
    if (probe && !outer.points.empty()) {
        sum = 0.0;
        const std::vector<E00Point>& o = outer.points;
        const std::size_t n = o.size();
        const bool repeated = o.front().x == o.back().x && o.front().y == o.back().y;
        for (std::size_t i = 0; i + 1 < n || (!repeated && i < n); ++i) {
            const E00Point& s = o[i];
            const E00Point& e = o[(i + 1) % n];
            sum += SignedAngle(s.x - probe->x, s.y - probe->y, e.x - probe->x, e.y - probe->y);
        }
    }
    if (std::abs(sum) < std::numbers::pi / 2) return 0;
    return &outer == this ? 1 : -1;
}

bool CE00Polyline::Simplify(float tolerance, float xScale, float spacing, CE00Polyline& result) const {
    if (points.size() < 4) return false;
    std::vector<E00Point> p = points;
    const double k = xScale;
    float t = tolerance * tolerance;
    const std::size_t first = 0, last = p.size() - 1;
    p[first].flags |= kKeepPoint;
    p[last].flags |= kKeepPoint;
    const Farthest m = FindFarthest(p, first, last, k, -1.0);
    if (m.found) p[m.index].flags |= kKeepPoint;
    if (m.found && m.distance > 0) {
        const auto d = static_cast<float>(m.distance);
        if (d < 9 * t) t = d / 9;
        for (const auto& [s, e] : {std::pair{first, m.index}, std::pair{m.index, last}}) {
            const Farthest half = FindFarthest(p, s, e, k, -1.0);
            if (!(half.found && half.distance > 0)) continue;
            const auto dh = static_cast<float>(half.distance);
            Split(p, s, e, dh <= t ? 0.95f * dh : t, k);
        }
    }
    result = CE00Polyline{};
    result.value = value;
    const E00Point* lastCopied = nullptr;
    for (const E00Point& q : p) {
        const bool flagged = (q.flags & (kKeepPoint | kJunctionPoint | kBorderPoint)) != 0;
        if (flagged || (spacing > 0 && lastCopied && GreatCircleDegrees(*lastCopied, q) > spacing)) {
            result.points.push_back({q.x, q.y, q.flags & ~kKeepPoint});
            lastCopied = &q;
        }
    }
    return true;
}

void CE00Polyline::Clip(const core::GeoBox& r, bool wholeRectangle, double margin, std::vector<CE00Polyline>& out) const {
    const Rect rect{r.west - margin, r.south - margin, r.east + margin, r.north + margin};
    const std::size_t inside =
        static_cast<std::size_t>(std::count_if(points.begin(), points.end(), [&](const E00Point& p) { return rect.Inside(p); }));
    if (!closed || orientation == 0) {
        std::vector<E00Point> run;
        const auto flush = [&] {
            if (run.size() >= 2) out.push_back(Piece(*this, std::move(run)));
            run.clear();
        };
        for (const E00Point& p : points) {
            if (rect.Inside(p)) {
                run.push_back(p);
            } else {
                flush();
            }
        }
        flush();
        return;
    }
    if (inside == points.size()) {
        CE00Polyline whole = *this;
        whole.closed = true;
        out.push_back(std::move(whole));
        return;
    }
    // Nothing of the ring inside: the whole rectangle when the ring holds it.
    const auto rectangleIfHeld = [&] {
        const bool overlaps = !(bounds.east < rect.x1 || bounds.west > rect.x2 || bounds.north < rect.y1 ||
                                bounds.south > rect.y2);
        if (!wholeRectangle || !overlaps) return;
        CE00Polyline box;
        for (const auto& [x, y] : {std::pair{rect.x2, rect.y2}, {rect.x1, rect.y2}, {rect.x1, rect.y1},
                                   {rect.x2, rect.y1}, {rect.x2, rect.y2}}) {
            box.AddPoint(x, y, kBorderPoint);
        }
        box.closed = true;
        box.orientation = 1;
        box.value = value;
        box.coverageId = coverageId;
        box.UpdateBounds();
        if (Contains(box) >= 1) out.push_back(std::move(box));
    };
    if (inside == 0) return rectangleIfHeld();
    // Pieces, walking the ring from its first point outside.
    std::size_t n = points.size();
    if (n > 1 && points.front().x == points.back().x && points.front().y == points.back().y) --n;
    std::size_t start = 0;
    while (rect.Inside(points[start])) ++start;
    std::vector<std::vector<E00Point>> pool;
    std::vector<E00Point> current;
    for (std::size_t step = 1; step <= n; ++step) {
        const E00Point& prev = points[(start + step - 1) % n];
        const E00Point& cur = points[(start + step) % n];
        const bool prevIn = rect.Inside(prev), curIn = rect.Inside(cur);
        if (!prevIn && curIn) current = {rect.Crossing(cur, prev)};
        if (curIn) current.push_back(cur);
        if (prevIn && !curIn) {
            current.push_back(rect.Crossing(prev, cur));
            // Where the ring only touches the rectangle's edge from outside
            // the run is one point: it encloses nothing and is left out.
            const E00Point& first = current.front();
            if (std::any_of(current.begin(), current.end(),
                            [&](const E00Point& p) { return p.x != first.x || p.y != first.y; })) {
                pool.push_back(std::move(current));
            }
            current.clear();
        }
    }
    if (pool.empty()) return rectangleIfHeld();
    const int walk = orientation;
    while (!pool.empty()) {
        std::vector<E00Point> ring = std::move(pool.front());
        pool.erase(pool.begin());
        for (;;) {
            const E00Point exit = ring.back();
            const int exitSide = rect.Side(exit);
            const double own = rect.Distance(exit, ring.front(), walk);
            std::size_t next = pool.size();
            double best = own;
            for (std::size_t i = 0; i < pool.size(); ++i) {
                const double d = rect.Distance(exit, pool[i].front(), walk);
                if (d < best) best = d, next = i;
            }
            if (next == pool.size()) {
                const int startSide = rect.Side(ring.front());
                int side = exitSide;
                if (side == startSide && Rect::Behind(ring.front(), exit, side, walk)) {
                    for (int i = 0; i < 4; ++i, side = Rect::NextSide(side, walk)) ring.push_back(rect.CornerAfter(side, walk));
                } else {
                    for (; side != startSide; side = Rect::NextSide(side, walk)) ring.push_back(rect.CornerAfter(side, walk));
                }
                ring.push_back(ring.front());
                break;
            }
            const int entrySide = rect.Side(pool[next].front());
            for (int side = exitSide; side != entrySide; side = Rect::NextSide(side, walk)) {
                ring.push_back(rect.CornerAfter(side, walk));
            }
            ring.insert(ring.end(), pool[next].begin(), pool[next].end());
            pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(next));
        }
        CE00Polyline piece = Piece(*this, std::move(ring));
        piece.coverageId = coverageId;
        piece.orientation = orientation;
        out.push_back(std::move(piece));
    }
}

bool CE00Polyline::WriteMapPolyline(std::string& out, int pen, int fillCode, int red, int green, int blue,
                                    bool forceClosed, double maximumRun) const {
    if (points.size() < 2) return false;
    const bool ring = closed || forceClosed;
    const auto start = [&](const E00Point& p) {
        if (ring && fillCode != 0) {
            if (std::abs(fillCode) < 17) return out += platform::FormatC("%lf,0,0,%lf,0,0,-2,%d\r\n", p.y, -p.x, fillCode), void();
            if (fillCode == 999) return out += platform::FormatC("%lf,0,0,%lf,0,0,-2,%d\r\n", p.y, -p.x, pen), void();
            out += platform::FormatC("%lf,0,0,%lf,0,0,-2,%d,%d,%d,%d\r\n", p.y, -p.x, fillCode, red & 255, green & 255,
                                     blue & 255);
            return;
        }
        out += platform::FormatC("%lf,0,0,%lf,0,0,-2\r\n", p.y, -p.x);
    };
    std::size_t runStart = 0;
    start(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const E00Point& p = points[i];
        out += platform::FormatC("%lf,0,0,%lf,0,0,-1,%d\r\n", p.y, -p.x, pen);
        const bool split = !ring && GreatCircleDegrees(points[runStart], p) > maximumRun;
        if (split || i + 1 == points.size()) {
            out += platform::FormatC("%lf,0,0,%lf,0,0,-2\r\n", p.y, -p.x);
            if (i + 1 < points.size()) {
                runStart = i;
                start(p);
            }
        }
    }
    return true;
}

}  // namespace quorlin
