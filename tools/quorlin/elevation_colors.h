#pragma once
// The elevation colours of Quorlin's pictures: 15 ascending thresholds in
// metres divide elevations into levels, and a 256-entry colour table gives
// each level index its colour (blue, green, red: the byte order of a bitmap
// palette entry and of a 24-bit pixel). Indices past 14 serve elevations
// above the last threshold, one per step. Pure values; any thread.

#include <array>
#include <cstdint>

namespace quorlin {

inline constexpr int kLevelCount = 15;
using Thresholds = std::array<int, kLevelCount>;
inline constexpr Thresholds kDefaultThresholds{75,   150,  300,  450,  600,  900,  1200, 1500,
                                               1800, 2100, 2400, 2700, 3000, 3300, 3600};

struct Bgr {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};
using ColourTable = std::array<Bgr, 256>;

// Levels 0..14 in their default colours, entries 15..254 as level 14 and
// entry 255 black.
ColourTable DefaultColourTable();

// The level index of an elevation: the first threshold above it; at or
// above the last one, 14 plus whole steps of the last interval (at least
// 300 m) counted on the elevation's 16-bit value. Grows past 255 and may be
// negative for wrapped values: callers clamp.
int ElevationToColorIndex(float elevation, const Thresholds& thresholds);
// The same clamped to 0..255, the index into the colour table.
int ColourTableIndex(float elevation, const Thresholds& thresholds);

// A COLORREF has red in its low byte.
constexpr std::uint32_t ToColorref(Bgr c) {
    return static_cast<std::uint32_t>(c.red) | static_cast<std::uint32_t>(c.green) << 8 |
           static_cast<std::uint32_t>(c.blue) << 16;
}
constexpr Bgr FromColorref(std::uint32_t c) {
    return {static_cast<std::uint8_t>((c >> 16) & 255), static_cast<std::uint8_t>((c >> 8) & 255),
            static_cast<std::uint8_t>(c & 255)};
}

}  // namespace quorlin
