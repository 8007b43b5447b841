#include "glide/wind_estimation.h"

#include <cmath>
#include <numbers>

#include "glide/current_wind.h"
#include "glide/display_texts.h"
#include "glide/display_units.h"
#include "platform/numbers.h"

namespace glide {

CWindEstimator g_windEstimator;

// The wind estimation fills these in: until then no sample is kept and no
// fit starts, and the heading method never has a second line.
int CWindEstimator::AddWindSample(const WindSample& /*sample*/, bool /*precomputed*/) {
    return 0;
}

void CWindEstimator::StartFit(float /*x*/, float /*y*/, int /*reset*/) {}

int ComputeHeadingWind(gps::WindRecord& wind) {
    wind.x = wind.y = wind.speed = wind.direction = wind.speedAgain = wind.speedSquared = 0.0F;
    return 1;
}

void ResetHeadingWind() {}

void FormatWindText() {
    const Wind wind = CurrentWind();
    const DisplayUnit unit = CurrentSpeedUnit();
    const std::wstring unitName(unit.name);
    WindText.Set(platform::FormatC(L" Wnd:  %03.1f%ls   %01.0ft", wind.speed * unit.factor,
                                   unitName.c_str(), wind.direction * 180.0 / std::numbers::pi));
}

}  // namespace glide
