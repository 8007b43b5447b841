#include "map/map_view.h"

namespace map {

// The map window fills these in.
void CreateMapFont() {}
void LimitTrackPoints(int /*maxPoints*/) {}

}  // namespace map
