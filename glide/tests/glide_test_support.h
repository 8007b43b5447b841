#pragma once
// Shared pieces of the glide tests: a realistic polar, a context around it,
// a temporary folder, and the settings that the glide code reads reset.

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include "glide/glide_context.h"
#include "testing/scratch_folder.h"

namespace glide::testing {

inline constexpr double kDegree = std::numbers::pi / 180.0;
inline constexpr double kMetresPerSecondPerKnot = 0.51444;

// A standard-class polar in knots (about 43:1 at 55 kt, 1.15 kt minimum sink
// at 44 kt).
inline GlidePolar StandardClassPolar() {
    GlidePolar polar;
    polar.a = 3.19F;
    polar.b = -0.0935F;
    polar.c = 0.001068F;
    polar.valid = true;
    polar.usePolar = true;
    polar.minimumSpeedFloor = 32.4F;
    polar.minimumSpeed = 37.8F;
    polar.minimumSpeedSink = polar.Sink(37.8F);
    polar.bestGlideSpeed = std::sqrt(polar.a / polar.c);
    return polar;
}

inline GlideContext ContextWith(const GlidePolar& polar, float windSpeed = 0.0F,
                                double windFromDegrees = 0.0) {
    GlideContext context;
    context.polar = polar;
    context.wind = {windSpeed, windFromDegrees * kDegree, windSpeed > 0.0F};
    context.safetyAltitude = 1000.0F;
    return context;
}

// A folder that is removed with everything in it.
using TempDir = test_support::ScratchFolder;

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace glide::testing
