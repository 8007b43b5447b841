#pragma once
// The map palette: the 16 colours that map files name by number (1 to 16 in
// files, 0 to 15 here). Constant data; any thread.

#include <array>
#include <cstdint>
#include <optional>

namespace mapdata {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::array<Rgb, 16> kMapPalette{{
    {255, 255, 255}, {0, 0, 0},     {128, 128, 128}, {192, 192, 192},
    {0, 0, 128},     {0, 0, 255},   {0, 128, 128},   {0, 255, 255},
    {0, 128, 0},     {0, 255, 0},   {128, 128, 0},   {255, 255, 0},
    {128, 0, 0},     {255, 0, 0},   {128, 0, 128},   {255, 0, 255},
}};

// The colour a file's palette number 1..16 names; nothing for other numbers.
constexpr std::optional<Rgb> PaletteColour(int fileNumber) {
    if (fileNumber < 1 || fileNumber > 16) return std::nullopt;
    return kMapPalette[static_cast<std::size_t>(fileNumber - 1)];
}

// A Windows COLORREF (0x00BBGGRR), as settings and map records store colours.
constexpr Rgb RgbFromColorref(std::uint32_t colorref) {
    return {static_cast<std::uint8_t>(colorref & 0xFF),
            static_cast<std::uint8_t>((colorref >> 8) & 0xFF),
            static_cast<std::uint8_t>((colorref >> 16) & 0xFF)};
}
constexpr std::uint32_t ColorrefFromRgb(const Rgb& rgb) {
    return static_cast<std::uint32_t>(rgb.red) | static_cast<std::uint32_t>(rgb.green) << 8 |
           static_cast<std::uint32_t>(rgb.blue) << 16;
}

}  // namespace mapdata
