#pragma once
// A chart polyline in geographic degrees (x = longitude positive east,
// y = latitude) and the geometry the tiled text maps need: bounding box,
// closed test, ring orientation, containment, line simplification, cutting
// to a rectangle and writing as text-map records.
//
// Pure; any thread.

#include <cstdint>
#include <string>
#include <vector>

#include "core/geo_box.h"
#include "tools/quorlin/grid_geometry.h"

namespace quorlin {

inline constexpr int kKeepPoint = 1;      // survives simplification
inline constexpr int kJunctionPoint = 2;  // shared with another line or itself
inline constexpr int kBorderPoint = 4;    // added on a rectangle's edge by clipping

struct E00Point {
    double x = 0.0;
    double y = 0.0;
    int flags = 0;
    friend bool operator==(const E00Point&, const E00Point&) = default;
};

// The arc of GreatCircleMiles (grid_geometry.h) between two points, in degrees (miles / 1.852 x 0.0268166...).
double GreatCircleDegrees(const E00Point& a, const E00Point& b);

class CE00Polyline {
  public:
    std::vector<E00Point> points;
    float value = 0.0f;
    bool closed = false;
    int orientation = 0;  // +1 counterclockwise, -1 clockwise, 0 unknown
    int coverageId = 0;
    int lineType = -1;  // from the attribute table
    int coverageNumber = 0;
    int fromNode = -1, toNode = -1;
    int leftPolygon = -1, rightPolygon = -1;
    bool leftUsed = false, rightUsed = false;  // marks of the ring assembly
    core::GeoBox bounds;  // of the points once UpdateBounds ran

    void AddPoint(double x, double y, int flags = 0) { points.push_back({x, y, flags}); }
    void UpdateBounds();
    // At least 3 points whose ends lie within 0.008 degrees in x and 0.006
    // in y.
    void UpdateClosed();
    // The sign of the summed turning angle (repeated points passed over).
    int UpdateOrientation();
    // Appends a copy of the first point when the line is not closed.
    void Close();
    // Points with exactly equal positions get the junction bit.
    void MarkSelfJunctions();
    // Joins `other` onto an end of this line when an end of each lies within
    // 0.008 degrees in x and 0.006 in y (first-first, last-first,
    // first-last, last-last, the first match used), without doubling the
    // shared point. Refused for closed or empty lines, and with the matches
    // asked for, for different values or coverage identifiers.
    bool Join(const CE00Polyline& other, bool matchValue, bool matchId);
    // +1 when this ring contains `other` (also for the same ring), -1 when
    // `other` contains this one, 0 when neither: a winding-angle test at the
    // smaller ring's first point that is not a vertex of the larger.
    int Contains(const CE00Polyline& other) const;
    // A simplified copy (Douglas-Peucker with keep flags, x differences
    // scaled by `xScale`, tolerance in degrees); flagged points always
    // survive, and with `spacing` > 0 every point farther than that from
    // the last one kept. Nothing for lines of fewer than 4 points.
    bool Simplify(float tolerance, float xScale, float spacing, CE00Polyline& result) const;
    // The parts inside the rectangle (grown by `margin`) appended to `out`:
    // runs of inside points for open lines; rings rebuilt along the border.
    void Clip(const core::GeoBox& rectangle, bool wholeRectangle, double margin, std::vector<CE00Polyline>& out) const;
    // Appends the text-map records of the line; false (nothing written) for
    // fewer than 2 points.
    bool WriteMapPolyline(std::string& out, int pen, int fillCode, int red, int green, int blue, bool forceClosed,
                          double maximumRun) const;
};

}  // namespace quorlin
