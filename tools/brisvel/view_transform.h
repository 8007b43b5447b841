#pragma once
// How a view fits the shapefile's box (x longitude, y latitude, degrees)
// into its client area, keeping the scale of a degree of longitude at the
// box's middle latitude, and where a point lands on the window.

namespace brisvel {

struct ViewTransform {
    int offsetX = 0;
    int offsetY = 0;
    float scaleX = 1.0F;  // pixels per degree of longitude
    float scaleY = 1.0F;  // pixels per degree of latitude
    double x0 = 0.0;      // the box's west edge
    double y0 = 0.0;      // the box's north edge
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Fits the box into width x height pixels, centred. The transform is left
// as it was when the box or the area has no extent either way.
void FitViewTransform(ViewTransform& transform, double minX, double minY, double maxX, double maxY,
                      int width, int height);

// The window point of a position (x east longitude, y latitude, degrees).
ScreenPoint LatLonToScreen(double x, double y, const ViewTransform& transform);

}  // namespace brisvel
