#include "core/rounding.h"

#include <cmath>

namespace core {

float RoundFloat(float value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return static_cast<float>(std::floor(static_cast<double>(value) * scale + 0.5) / scale);
}

}  // namespace core
