#include "tools/brisvel/view_transform.h"

#include <algorithm>
#include <cmath>

namespace brisvel {
namespace {

// Keeps far-off points drawable without overflowing an int.
int Truncate(double value) {
    return static_cast<int>(std::clamp(std::trunc(value), -1e8, 1e8));
}

}  // namespace

void FitViewTransform(ViewTransform& t, double minX, double minY, double maxX, double maxY, int width,
                      int height) {
    if (width <= 0 || height <= 0) return;
    const double c = std::cos((minY + maxY) * 0.00872665);
    const double spanX = std::fabs(maxX - minX);
    const double spanY = std::fabs(maxY - minY);
    const double dx = spanX / width;
    const double dy = spanY / height;
    if (dx == 0.0 || dy == 0.0 || !std::isfinite(dx) || !std::isfinite(dy) || c <= 0.0) return;
    const double s = spanX * (1.0 / dy) * c <= width ? 1.0 / dy : 1.0 / (dx * c);
    t.scaleX = static_cast<float>(s * c);
    t.scaleY = static_cast<float>(s);
    t.offsetX = Truncate((width - spanX * s * c) * 0.5);
    t.offsetY = Truncate((height - spanY * s) * 0.5);
    t.x0 = minX;
    t.y0 = maxY;
}

ScreenPoint LatLonToScreen(double x, double y, const ViewTransform& t) {
    return {Truncate((x - t.x0) * t.scaleX + 0.5) + t.offsetX, Truncate(-(y - t.y0) * t.scaleY + 0.5) + t.offsetY};
}

}  // namespace brisvel
