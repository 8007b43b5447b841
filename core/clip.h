#pragma once
// Clipping of line segments to a rectangle, for drawing map lines.

#include "platform/pixel_rect.h"

namespace core {

// Clips the segment (x0, y0)-(x1, y1) to the pixels of rect: from its first
// pixel (left, top) to its last (right - 1, bottom - 1), both included
// (Cohen-Sutherland; y grows downwards, a point on those lines is inside).
// Returns true when a part of the segment lies inside; the end points are
// then moved onto the lines as needed. Returns false, leaving the points
// unchanged, when it lies wholly outside, when rect is empty or when a
// coordinate is not a finite number.
bool ClipSegmentToRect(float& x0, float& y0, float& x1, float& y1, const platform::PixelRect& rect);

}  // namespace core
