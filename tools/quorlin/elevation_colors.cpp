#include "tools/quorlin/elevation_colors.h"

#include <algorithm>
#include <cmath>

namespace quorlin {

ColourTable DefaultColourTable() {
    constexpr std::array<Bgr, kLevelCount> kLevels{{{52, 199, 55},
                                                    {77, 226, 69},
                                                    {65, 245, 173},
                                                    {17, 223, 207},
                                                    {11, 238, 233},
                                                    {54, 244, 254},
                                                    {73, 182, 254},
                                                    {12, 113, 250},
                                                    {58, 54, 237},
                                                    {62, 75, 172},
                                                    {84, 37, 194},
                                                    {95, 35, 143},
                                                    {117, 62, 113},
                                                    {153, 53, 61},
                                                    {128, 0, 64}}};
    ColourTable table{};
    std::copy(kLevels.begin(), kLevels.end(), table.begin());
    std::fill(table.begin() + kLevelCount, table.end() - 1, kLevels.back());
    return table;
}

int ElevationToColorIndex(float elevation, const Thresholds& t) {
    for (int i = 0; i < kLevelCount; ++i) {
        if (static_cast<float>(t[static_cast<std::size_t>(i)]) > elevation) return i;
    }
    int step = t[14] - t[13];
    if (step <= 300) step = 300;
    // The elevation's 16-bit value: truncated, saturated into 32 bits first
    // so that no value is undefined, then cut.
    std::int32_t whole = 0;
    if (std::isfinite(elevation)) {
        const double clamped = std::clamp(static_cast<double>(elevation), -2147483648.0, 2147483647.0);
        whole = static_cast<std::int32_t>(clamped);
    }
    const auto sixteen = static_cast<std::int16_t>(static_cast<std::uint16_t>(whole));
    return 14 + (sixteen - t[14]) / step;
}

int ColourTableIndex(float elevation, const Thresholds& thresholds) {
    return std::clamp(ElevationToColorIndex(elevation, thresholds), 0, 255);
}

}  // namespace quorlin
