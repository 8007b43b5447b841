#pragma once
// Rounding to a number of decimals.

namespace core {

// value rounded half up to `decimals` decimal places:
// floor(value * 10^decimals + 0.5) / 10^decimals, so -1.25 gives -1.2.
float RoundFloat(float value, int decimals);

}  // namespace core
