#pragma once
// What start-up sets on the map window before it is shown.

namespace map {

// Creates the map's label font again from "Family", "baseMapSize" and
// "mapBold".
void CreateMapFont();

// Lowers the number of track points the map draws to maxPoints when it is
// above it.
void LimitTrackPoints(int maxPoints);

}  // namespace map
