#pragma once
// Helpers shared by the benchmarks.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace bench {

// The value below which the given fraction of the values lie.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.end());
    return values[at];
}

}  // namespace bench
