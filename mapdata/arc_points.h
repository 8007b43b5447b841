#pragma once
// The screen points of an arc: one every 2 degrees from its first angle
// through its sweep, and one at its end, each rounded to the nearest pixel
// (halves away from zero). The points are exactly those of the cosine and
// sine of each angle; they are stepped along by a rotation, which costs a
// few multiplications a point instead of a cosine and a sine, and a point
// the stepping cannot place beyond doubt (its coordinate within rounding of
// a half pixel) is worked out from the angle itself. Pure; any thread.

#include <map>
#include <tuple>
#include <vector>

#include "platform/drawing_tools.h"

namespace mapdata {

// Angles in radians, counterclockwise on the screen from the x axis (y is
// down, so a point at angle a lies at centre + r (cos a, -sin a)); sweep in
// (0, 2 pi]. The points are appended to `out`.
void AppendArcPoints(platform::Point centre, double radius, double from, double sweep,
                     std::vector<platform::Point>& out);

// The arcs of one frame by their shape. An arc's points less its centre
// depend only on its radius, its angles and whether points repeated on one
// pixel are dropped, so the arcs of one shape (the circles of one size and
// bearings, drawn in their thousands on a wide view) are stepped round
// once and then only moved to their centres. Holds at most kMaxPoints
// points; shapes past that are stepped round each time. One thread: the
// frame's own, dropped with it (a new scale or rotation gives new shapes).
class ArcShapes {
  public:
    static constexpr std::size_t kMaxPoints = std::size_t{1} << 18;

    struct Shape {
        double radius;
        double from;
        double sweep;
        bool dropRepeats;  // consecutive points on one pixel become one
        bool reversed;     // the points run from the end to the start
        friend bool operator<(const Shape& a, const Shape& b) {
            return std::tie(a.radius, a.from, a.sweep, a.dropRepeats, a.reversed) <
                   std::tie(b.radius, b.from, b.sweep, b.dropRepeats, b.reversed);
        }
    };

    // The points of an arc of shape about centre, into out (replacing it).
    void Points(const Shape& shape, platform::Point centre, std::vector<platform::Point>& out);

  private:
    std::map<Shape, std::vector<platform::Point>> offsets_;
    std::size_t points_ = 0;
};

// The points of an arc of shape about centre, without a cache.
void ArcPoints(const ArcShapes::Shape& shape, platform::Point centre, std::vector<platform::Point>& out);

}  // namespace mapdata
