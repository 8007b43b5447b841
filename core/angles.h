#pragma once
// The factor between degrees and radians, kept once.

#include <numbers>

namespace core {

inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

}  // namespace core
