#include "tools/brisvel/map_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/numbers.h"
#include "tools/brisvel/map_record_text.h"

namespace brisvel {
namespace {

constexpr double kMilesPerRadian = 3976.903870162297;

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

double CornerDistanceMiles(double lat1, double lon1, double lat2, double lon2) {
    constexpr double rad = std::numbers::pi / 180.0;
    const auto unit = [](double lat, double lon) {
        return std::array<double, 3>{std::cos(lat) * std::cos(lon), -std::cos(lat) * std::sin(lon),
                                     std::sin(lat)};
    };
    const auto a = unit(lat1 * rad, lon1 * rad);
    const auto b = unit(lat2 * rad, lon2 * rad);
    const double dot = std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0, 1.0);
    return std::acos(dot) * kMilesPerRadian;
}

std::string MapHeader(const core::GeoBox& b) {
    const double miles = CornerDistanceMiles(b.south, b.east, b.north, b.west);
    return platform::FormatC("%.6f,0,0,%.6f,0,0,%.6f,0,0,%.6f,0,0,10M,%.1lf\r\n",
                             static_cast<double>(b.south), static_cast<double>(-b.east),
                             static_cast<double>(b.north), static_cast<double>(-b.west), miles);
}

std::string BuildMapText(const std::vector<std::unique_ptr<CMapObject>>& added,
                         const std::vector<std::string>& groups, const core::GeoBox& bounds,
                         bool namesAsComments) {
    std::string out = MapHeader(bounds);
    if (groups.size() >= kFlatGroupCount) {
        for (const auto& object : added) {
            if (!object->box.Intersects(bounds)) continue;
            if (namesAsComments) out += ';' + OneLine(object->name) + "\r\n";
            object->WriteMap(out);
        }
        return out;
    }
    for (const std::string& group : groups) {
        out += ";\r\n;GROUP: " + OneLine(group) + "\r\n;\r\n";
        for (const auto& object : added)
            if (SameTextIgnoringCase(object->group, group) && object->box.Intersects(bounds))
                object->WriteMap(out);
    }
    return out;
}

}  // namespace brisvel
