#pragma once
// The bounds a map is written for, in degrees (east-positive longitude), as
// the program keeps them between sessions: every edge kUnsetBound until
// chosen. The values are single-precision degrees throughout.

#include "core/geo_box.h"

namespace brisvel {

inline constexpr float kUnsetBound = 999.0F;
inline constexpr core::GeoBox kUnsetBounds{kUnsetBound, kUnsetBound, kUnsetBound, kUnsetBound};

// Bounds count as chosen when the northern edge is 900 or less.
constexpr bool IsSet(const core::GeoBox& bounds) { return bounds.north <= 900.0; }

}  // namespace brisvel
