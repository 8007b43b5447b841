#pragma once
// The small arithmetic of the map drawing, without a canvas: a track
// point's colour index, the image sector of the aircraft and the wind
// arrow, the scale text, the wind disc's colour, and the sine and cosine
// table with the arc points drawn from it.

#include <array>
#include <string>
#include <vector>

#include "services/track_cache.h"

namespace map {

// A track point's colour index: core::TrackColourIndex (services/track_cache.h).
using core::TrackColourIndex;

// The 45-degree sector, 0..7, of an angle in degrees brought into
// [0, 360) first (any sign, any size).
int SectorIndex(double angleDeg);
// The aircraft image for a track on a map turned by rotationDeg.
inline int AircraftSector(double trackDeg, double rotationDeg) {
    return SectorIndex(trackDeg + 22.5 - rotationDeg);
}
// The wind arrow for the direction the wind comes from.
inline int WindArrowSector(double directionDeg, double rotationDeg) {
    return SectorIndex(directionDeg - rotationDeg + 202.5);
}

// The distance the drawing's diagonal covers, in the user's distance unit
// (unitFactor: 0.6215 statute miles, 0.53996 nautical miles, 1 km).
double ScaleDistance(int clientRight, int clientBottom, float pixelsPerMile, double unitFactor);
// "%03.1f" up to 10, "%.0f" up to 100, then whole tens rounded from 5.
std::string ScaleText(double distance);

enum class WindDisc { kGreen, kYellow, kRed };
WindDisc WindDiscFor(float speedKt);

// (cos, sin) of every whole degree.
using SinCosTable = std::array<std::array<float, 2>, 360>;
const SinCosTable& SinCos();

struct ArcPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const ArcPoint&, const ArcPoint&) = default;
};

// The points of an arc around (cx, cy) of radius r from startDeg to endDeg
// (mathematical angles, counter-clockwise from east, y downwards), one per
// stepDeg whole degrees, the last exactly at the end. Angles are brought
// into [0, 360) first; at most 362 points.
std::vector<ArcPoint> BuildArcPoints(int cx, int cy, float r, float startDeg, float endDeg,
                                     int stepDeg);

}  // namespace map
