#pragma once
// Clipping of line segments to a rectangle, for drawing map lines.

namespace core {

// An integer rectangle whose edges belong to it.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Clips the segment (x0, y0)-(x1, y1) to rect (Cohen-Sutherland; y grows
// downwards, a point on an edge is inside). Returns true when a part of the
// segment lies inside; the end points are then moved onto the edges as
// needed. Returns false, leaving the points unchanged, when it
// lies wholly outside, when rect is inverted or when a coordinate is not a
// finite number.
bool ClipSegmentToRect(float& x0, float& y0, float& x1, float& y1, const IntRect& rect);

}  // namespace core
