#include "tools/quorlin/grid_record.h"

#include <array>
#include <cctype>
#include <cmath>
#include <system_error>

#include "platform/numbers.h"
#include "platform/paths.h"

namespace quorlin {
namespace {

constexpr std::size_t kMaxLine = 1024;

enum class Key {
    kRowsOwn, kColumnsOwn, kRows, kColumns, kCellSize, kXdim, kYdim, kMax, kMin, kMissingOwn,
    kNoData, kNoDataValue, kYllCorner, kYllCenter, kLower, kRight, kUpper, kLeft, kUly, kUlx,
    kXllCorner, kXllCenter, kPixelCentered, kByteOrder, kDataByteOrder,
};

struct KeyInfo {
    std::string_view name;
    Key key;
    bool geometry;
    bool foreign;  // a key of the GTOPO30 or ASCII grid headers
};

// Every key is tested on every line, in this order ("NODATA" also matches a
// "NODATA_value" line).
constexpr std::array<KeyInfo, 25> kKeys{{
    {"number_of_rows", Key::kRowsOwn, true, false},
    {"number_of_columns", Key::kColumnsOwn, true, false},
    {"NROWS", Key::kRows, true, true},
    {"NCOLS", Key::kColumns, true, true},
    {"cellsize", Key::kCellSize, true, false},
    {"XDIM", Key::kXdim, true, true},
    {"YDIM", Key::kYdim, true, true},
    {"elev_m_max", Key::kMax, false, false},
    {"elev_m_min", Key::kMin, false, false},
    {"elev_m_missing_flag", Key::kMissingOwn, false, false},
    {"NODATA", Key::kNoData, false, true},
    {"NODATA_value", Key::kNoDataValue, false, true},
    {"yllcorner", Key::kYllCorner, true, false},
    {"yllcenter", Key::kYllCenter, true, false},
    {"lower_map_y", Key::kLower, true, false},
    {"right_map_x", Key::kRight, true, false},
    {"upper_map_y", Key::kUpper, true, false},
    {"left_map_x", Key::kLeft, true, false},
    {"ULYMAP", Key::kUly, true, true},
    {"ULXMAP", Key::kUlx, true, true},
    {"xllcorner", Key::kXllCorner, true, true},
    {"xllcenter", Key::kXllCenter, true, true},
    {"pixel_centered", Key::kPixelCentered, false, false},
    {"BYTEORDER", Key::kByteOrder, false, false},
    {"data_byte_order", Key::kDataByteOrder, false, false},
}};

bool StartsWithIgnoringCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && EqualIgnoringCase(line.substr(0, key.size()), key);
}

std::int16_t SixteenBits(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) v = v > 0 ? 2147483647.0 : -2147483648.0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int64_t>(v)));
}

std::uint32_t Count(double v) {
    if (!(v >= 0.0)) return 0;
    return v >= 4294967295.0 ? 4294967295u : static_cast<std::uint32_t>(v);
}

// Where a horizontal or vertical position came from.
enum class Given { kNone, kEdge, kCentre };

struct Reading {
    ElevationGridHeader h;
    int geometry = 0;
    int rowColumnKeys = 0;
    bool foreign = false;
    std::optional<bool> explicitOrder;
    Given x = Given::kNone, y = Given::kNone;
    double xValue = 0.0, yValue = 0.0;  // east-positive longitude, latitude
    bool eastGiven = false, southGiven = false, northGiven = false, westGiven = false;
    double eastEdge = 0.0, westEdge = 0.0, southEdge = 0.0, northEdge = 0.0;
    bool xIsLowerLeft = false, yIsLowerLeft = false;
};

// Applies one line; false when the reading ends here.
bool ApplyLine(std::string_view line, int inputType, Reading& r) {
    std::size_t split = line.find('=');
    if (split == std::string_view::npos) split = line.find(' ');
    if (split == std::string_view::npos) return false;
    const std::string_view value = line.substr(split + 1);
    for (const KeyInfo& info : kKeys) {
        if (!StartsWithIgnoringCase(line, info.name)) continue;
        if (info.key == Key::kByteOrder) {
            const auto v = value.find_first_not_of(" \t");
            if (v != std::string_view::npos) r.explicitOrder = std::toupper(static_cast<unsigned char>(value[v])) != 'M';
            continue;
        }
        if (info.key == Key::kDataByteOrder) {
            r.explicitOrder = Lower(value).find("big") == std::string::npos;
            continue;
        }
        const auto number = platform::ScanDouble(value);
        if (!number) return false;
        const double v = number->value;
        if (info.geometry || (info.key == Key::kNoData && inputType == kAsciiGrid)) ++r.geometry;
        if (info.foreign) r.foreign = true;
        ElevationGridHeader& h = r.h;
        switch (info.key) {
            case Key::kRowsOwn: case Key::kRows: h.rows = Count(v); ++r.rowColumnKeys; break;
            case Key::kColumnsOwn: case Key::kColumns: h.columns = Count(v); ++r.rowColumnKeys; break;
            case Key::kCellSize: h.cellWidth = h.cellHeight = v; h.cellSizeGiven = true; break;
            case Key::kXdim: h.cellWidth = v; h.cellSizeGiven = true; break;
            case Key::kYdim: h.cellHeight = v; h.cellSizeGiven = true; break;
            case Key::kMax: h.highest = v; break;
            case Key::kMin: h.lowest = v; break;
            case Key::kMissingOwn: case Key::kNoData: case Key::kNoDataValue: h.missing = SixteenBits(v); break;
            case Key::kYllCorner: r.y = Given::kEdge; r.yValue = v; r.yIsLowerLeft = true; break;
            case Key::kYllCenter: r.y = Given::kCentre; r.yValue = v; r.yIsLowerLeft = true; break;
            case Key::kUly: r.y = Given::kCentre; r.yValue = v; r.yIsLowerLeft = false; break;
            case Key::kXllCorner: r.x = Given::kEdge; r.xValue = v; break;
            case Key::kXllCenter: case Key::kUlx: r.x = Given::kCentre; r.xValue = v; break;
            case Key::kLower: r.southGiven = true; r.southEdge = v; break;
            case Key::kUpper: r.northGiven = true; r.northEdge = v; break;
            case Key::kLeft: r.westGiven = true; r.westEdge = v; break;
            case Key::kRight: r.eastGiven = true; r.eastEdge = v; break;
            default: break;
        }
    }
    return true;
}

// Turns the given positions into the four edges (west-positive longitudes).
void PlaceEdges(Reading& r) {
    ElevationGridHeader& h = r.h;
    double west = r.westEdge, east = r.eastEdge, south = r.southEdge, north = r.northEdge;
    if (r.x != Given::kNone) {
        west = r.xValue - (r.x == Given::kCentre ? h.cellWidth / 2 : 0.0);
        east = west + h.columns * h.cellWidth;
    }
    if (r.y != Given::kNone) {
        const double shift = r.y == Given::kCentre ? h.cellHeight / 2 : 0.0;
        if (r.yIsLowerLeft) {
            south = r.yValue - shift;
            north = south + h.rows * h.cellHeight;
        } else {
            north = r.yValue + shift;
            south = north - h.rows * h.cellHeight;
        }
    }
    h.west = -west;
    h.east = -east;
    h.south = south;
    h.north = north;
    h.xGiven = r.x != Given::kNone || r.westGiven || r.eastGiven;
    h.yGiven = r.y != Given::kNone || r.southGiven || r.northGiven;
}

std::string Degrees(double value, const char* positive, const char* negative) {
    return platform::FormatC("%0.3lf%s", std::fabs(value), value < 0 ? negative : positive);
}

std::string Elevation(double value, std::int16_t missing) {
    return value == missing ? std::string("??") : platform::FormatC("%0.0lf", value);
}

}  // namespace

std::uint64_t ElevationGridHeader::GridBytes() const {
    const std::uint64_t cells = static_cast<std::uint64_t>(rows) * columns;
    return cells > UINT64_MAX / 2 ? 0 : cells * 2u;
}

HeaderTexts UnknownTexts() { return {}; }

HeaderTexts TextsOf(const ElevationGridHeader& h) {
    HeaderTexts t;
    t.west = Degrees(h.west, "W", "E");
    t.east = Degrees(h.east, "W", "E");
    t.south = Degrees(h.south, "N", "S");
    t.north = Degrees(h.north, "N", "S");
    t.lowest = Elevation(h.lowest, h.missing);
    t.highest = Elevation(h.highest, h.missing);
    return t;
}

HeaderReading ReadGridHeader(std::string_view text, int inputType, bool hgt) {
    Reading r;
    // An ASCII grid without NODATA_value marks missing cells with -9999.
    r.h.missing = inputType == kAsciiGrid ? -9999 : -5000;
    r.h.lowest = r.h.highest = r.h.missing;
    r.h.cellWidth = r.h.cellHeight = 1.0 / 120.0;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(position, end - position);
        position = end + 1;
        if (position < text.size() && (text[position] == '\r' || text[position] == '\n')) ++position;
        if (line.size() > kMaxLine) break;
        if (inputType == kAsciiGrid) {
            // The first data line ends an ASCII grid's header.
            const auto start = line.find_first_not_of(" \t\v\f");
            if (start != std::string_view::npos && platform::ScanInt(line.substr(start))) break;
        }
        if (!ApplyLine(line, inputType, r)) break;
        if (inputType == kAsciiGrid && r.geometry > 5) break;
    }
    PlaceEdges(r);
    ElevationGridHeader& h = r.h;
    if (r.explicitOrder) {
        h.littleEndian = *r.explicitOrder;
    } else {
        h.littleEndian = !r.foreign && !hgt;
    }
    if (r.geometry > 5) {
        h.complete = true;
        if (h.columns > 0) h.cellWidth = (h.west - h.east) / h.columns;
        if (h.rows > 0) h.cellHeight = (h.north - h.south) / h.rows;
    }
    return {h, r.rowColumnKeys < 2};
}

std::optional<ElevationGridHeader> DescribeHgtTile(const std::filesystem::path& path,
                                                   std::uint64_t length) {
    const std::string name = FileStem(path);
    if (name.size() != 7) return std::nullopt;
    const char ns = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    const char ew = static_cast<char>(std::toupper(static_cast<unsigned char>(name[3])));
    if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) return std::nullopt;
    for (int i : {1, 2, 4, 5, 6}) {
        if (!std::isdigit(static_cast<unsigned char>(name[static_cast<std::size_t>(i)]))) return std::nullopt;
    }
    std::uint32_t side = 0;
    if (length == 1201ull * 1201 * 2) side = 1201;
    if (length == 3601ull * 3601 * 2) side = 3601;
    if (side == 0) return std::nullopt;
    const int lat = std::stoi(name.substr(1, 2)) * (ns == 'S' ? -1 : 1);
    const int lonEast = std::stoi(name.substr(4, 3)) * (ew == 'W' ? -1 : 1);
    const double cell = 1.0 / (side - 1);
    ElevationGridHeader h;
    h.rows = h.columns = side;
    h.south = lat - cell / 2;
    h.north = lat + 1 + cell / 2;
    h.west = -(lonEast - cell / 2);
    h.east = -(lonEast + 1 + cell / 2);
    h.cellWidth = h.cellHeight = cell;
    h.cellSizeGiven = true;
    h.xGiven = h.yGiven = true;
    h.missing = -32768;
    h.lowest = h.highest = -32768;
    h.littleEndian = false;
    h.complete = true;
    return h;
}

std::filesystem::path CompanionFile(const std::filesystem::path& file, const std::string& name) {
    const std::filesystem::path folder = file.parent_path();
    std::error_code error;
    if (std::filesystem::exists(folder / name, error)) return folder / name;
    const std::filesystem::path found = platform::FindCaseInsensitive(folder.empty() ? "." : folder, name);
    if (found.empty()) return folder / name;
    return folder.empty() ? found.filename() : found;
}

std::string FileStem(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FileExtension(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::filesystem::path ReplaceExtension(const std::filesystem::path& path, std::string_view extension) {
    return path.parent_path() / (FileStem(path) + "." + std::string(extension));
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) { return Lower(a) == Lower(b); }

}  // namespace quorlin
