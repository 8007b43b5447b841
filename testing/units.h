#pragma once
// Unit factors the tests compute their expectations with, kept once.

#include <numbers>

namespace test_support {

inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
inline constexpr double kFeetPerMetre = 3.2808;
inline constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

}  // namespace test_support
