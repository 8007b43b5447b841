// The elevation grid: 9-second cells over the whole region, samples in metres.

#include <algorithm>
#include <cmath>

#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/text_format.h"

namespace demo {
namespace {

double North() {
    return kSouthWestLatitude + kGridRows * kGridCellDeg;
}
double East() {
    return kSouthWestLongitude + kGridColumns * kGridCellDeg;
}

}  // namespace

std::string GridHeaderText(const std::string& gridTitle) {
    std::vector<std::int16_t> samples = GridSamples();
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::string text;
    text += "file_title               =" + gridTitle + "\r\n";
    text += "data_type                = raster\r\n";
    text += "grid_cell_registration   = center\r\n";
    text += "map_projection           = Lat/Lon\r\n";
    text += Format("left_map_x               =%.14lf\r\n", kSouthWestLongitude);
    text += Format("right_map_x               =%.14lf\r\n", East());
    text += Format("upper_map_y              =%.14lf\r\n", North());
    text += Format("lower_map_y              =%.14lf\r\n", kSouthWestLatitude);
    text += Format("number_of_rows           =%d\r\n", kGridRows);
    text += Format("number_of_columns        =%d\r\n", kGridColumns);
    text += Format("elev_m_min               =%d\r\n", int{*low});
    text += Format("elev_m_max               =%d\r\n", int{*high});
    text += "elev_m_missing_flag      =-5000\r\n";
    text += "data_byte_order          = little_endian";
    return text;
}

std::vector<std::int16_t> GridSamples() {
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(kGridRows) * kGridColumns);
    for (int row = 0; row < kGridRows; ++row) {
        const double latitude = North() - (row + 0.5) * kGridCellDeg;
        for (int column = 0; column < kGridColumns; ++column) {
            const double longitude = kSouthWestLongitude + (column + 0.5) * kGridCellDeg;
            const double h = TerrainHeightM(ToLocal({latitude, longitude}));
            samples.push_back(static_cast<std::int16_t>(std::lround(h)));
        }
    }
    return samples;
}

std::string GridBytes(const std::vector<std::int16_t>& samples) {
    std::string bytes;
    bytes.reserve(samples.size() * 2);
    for (const std::int16_t sample : samples) {
        const auto value = static_cast<std::uint16_t>(sample);
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    }
    return bytes;
}

}  // namespace demo
