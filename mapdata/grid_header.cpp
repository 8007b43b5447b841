#include "mapdata/grid_header.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <system_error>

#include "platform/numbers.h"
#include "platform/paths.h"

namespace mapdata {
namespace {

constexpr std::size_t kMaxLineLength = 1023;

enum class Key {
    kDataByteOrder,
    kByteOrder,
    kFileTitle,
    kRows,
    kColumns,
    kLeft,
    kRight,
    kUpper,
    kLower,
    kUlx,
    kUly,
    kXdim,
    kYdim,
    kMin,
    kMax,
    kNoData,
};

// Which byte order a key implies while no explicit one has been seen.
enum class Family { kNone, kOwn, kGtopo };

struct KeyInfo {
    std::string_view name;
    Key key;
    Family family;
    bool geometry;
};

constexpr std::array<KeyInfo, 19> kKeys{{
    {"data_byte_order", Key::kDataByteOrder, Family::kNone, false},
    {"BYTEORDER", Key::kByteOrder, Family::kNone, false},
    {"file_title", Key::kFileTitle, Family::kNone, false},
    {"number_of_rows", Key::kRows, Family::kOwn, true},
    {"NROWS", Key::kRows, Family::kGtopo, true},
    {"number_of_columns", Key::kColumns, Family::kOwn, true},
    {"NCOLS", Key::kColumns, Family::kGtopo, true},
    {"left_map_x", Key::kLeft, Family::kOwn, true},
    {"right_map_x", Key::kRight, Family::kOwn, true},
    {"upper_map_y", Key::kUpper, Family::kOwn, true},
    {"lower_map_y", Key::kLower, Family::kOwn, true},
    {"ULXMAP", Key::kUlx, Family::kGtopo, true},
    {"ULYMAP", Key::kUly, Family::kGtopo, true},
    {"XDIM", Key::kXdim, Family::kGtopo, true},
    {"YDIM", Key::kYdim, Family::kGtopo, true},
    {"elev_m_min", Key::kMin, Family::kOwn, false},
    {"elev_m_max", Key::kMax, Family::kOwn, false},
    {"elev_m_missing_flag", Key::kNoData, Family::kOwn, false},
    {"NODATA", Key::kNoData, Family::kGtopo, false},
}};

bool StartsWithIgnoringCase(std::string_view line, std::string_view key) {
    if (line.size() < key.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(key[i]))) {
            return false;
        }
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value truncated towards zero into an int; 0 for what no int holds.
int TruncateToInt(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
    return static_cast<int>(value);
}

std::string_view Trim(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Hands out the header's lines by the grid header's line-end rule.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line, or nothing at the end of the text.
    std::optional<std::string_view> Next() {
        if (position_ >= text_.size()) return std::nullopt;
        const std::size_t end = text_.find_first_of("\r\n", position_);
        if (end == std::string_view::npos) {
            const std::string_view last = text_.substr(position_);
            position_ = text_.size();
            return last;
        }
        const std::string_view line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (position_ < text_.size() && (text_[position_] == '\r' || text_[position_] == '\n')) {
            ++position_;
        }
        return line;
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// What the lines gave, before the edges are worked out.
struct RawHeader {
    GridHeader header;
    bool explicitOrder = false;
    bool ownEdges = false;
    bool gtopoCorner = false;
    double left = 0.0, right = 0.0, upper = 0.0, lower = 0.0;
    double ulx = 0.0, uly = 0.0;
    double xdim = 1.0 / 120.0, ydim = 1.0 / 120.0;
};

// Applies one line; false when the header ends here.
bool ApplyLine(std::string_view line, RawHeader& raw) {
    std::size_t split = line.find('=');
    if (split == std::string_view::npos) {
        split = std::find_if(line.begin(), line.end(), IsBlank) - line.begin();
        if (split == line.size()) return false;
    }
    const std::string_view value = line.substr(split + 1);
    const auto info = std::find_if(kKeys.begin(), kKeys.end(), [&](const KeyInfo& k) {
        return StartsWithIgnoringCase(line, k.name);
    });
    if (info == kKeys.end()) return true;

    GridHeader& header = raw.header;
    switch (info->key) {
        case Key::kDataByteOrder:
            header.littleEndian = value.find("little_endian") != std::string_view::npos;
            raw.explicitOrder = true;
            return true;
        case Key::kByteOrder:
            header.littleEndian = value.find('M') == std::string_view::npos;
            raw.explicitOrder = true;
            return true;
        case Key::kFileTitle: {
            const std::string_view title = Trim(value);
            if (!title.empty()) {
                header.fileTitle = platform::NormalisePath(title);
                if (title.find('.', 1) == std::string_view::npos) header.fileTitle += ".bin";
            }
            return true;
        }
        default:
            break;
    }
    if (!raw.explicitOrder) header.littleEndian = info->family == Family::kOwn;
    const auto number = platform::ScanDouble(value);
    if (!number) return false;
    const double v = number->value;
    if (info->geometry) ++header.geometryCount;
    switch (info->key) {
        case Key::kRows: header.extent.rows = TruncateToInt(v); break;
        case Key::kColumns: header.extent.columns = TruncateToInt(v); break;
        case Key::kLeft: raw.left = v; raw.ownEdges = true; break;
        case Key::kRight: raw.right = v; raw.ownEdges = true; break;
        case Key::kUpper: raw.upper = v; raw.ownEdges = true; break;
        case Key::kLower: raw.lower = v; raw.ownEdges = true; break;
        case Key::kUlx: raw.ulx = v; raw.gtopoCorner = true; break;
        case Key::kUly: raw.uly = v; raw.gtopoCorner = true; break;
        case Key::kXdim: raw.xdim = v; break;
        case Key::kYdim: raw.ydim = v; break;
        case Key::kMin: header.lowest = v; break;
        case Key::kMax: header.highest = v; break;
        case Key::kNoData: header.noData = static_cast<std::int16_t>(TruncateToInt(v)); break;
        default: break;
    }
    return true;
}

// An existing file of that name in the folder, looked up ignoring case when
// it does not exist as written; the name as written otherwise.
std::filesystem::path ExistingFile(const std::filesystem::path& folder, const std::string& name) {
    const std::filesystem::path written = folder / name;
    std::error_code error;
    if (std::filesystem::exists(written, error)) return written;
    const std::filesystem::path found =
        platform::FindCaseInsensitive(folder.empty() ? "." : folder, name);
    return found.empty() ? written : (folder.empty() ? found.filename() : found);
}

}  // namespace

std::optional<GridHeader> ParseGridHeader(std::string_view text) {
    RawHeader raw;
    LineReader lines(text);
    while (const auto line = lines.Next()) {
        if (line->size() > kMaxLineLength) continue;
        if (!ApplyLine(*line, raw)) break;
    }
    GridHeader& header = raw.header;
    GridExtent& extent = header.extent;
    if (raw.gtopoCorner && !raw.ownEdges) {
        // The corner is the centre of the north-western cell: the edges lie
        // half a cell outside it.
        extent.edges.north = raw.uly + raw.ydim / 2.0;
        extent.edges.west = raw.ulx - raw.xdim / 2.0;
        extent.edges.east = extent.edges.west + raw.xdim * extent.columns;
        extent.edges.south = extent.edges.north - raw.ydim * extent.rows;
    } else {
        extent.edges.north = raw.upper;
        extent.edges.south = raw.lower;
        extent.edges.west = raw.left;
        extent.edges.east = raw.right;
    }
    if (header.geometryCount < 6 || !GridGeometry(extent).Valid()) return std::nullopt;
    return header;
}

std::filesystem::path GridFilePath(const std::filesystem::path& headerPath,
                                   const GridHeader& header) {
    const std::filesystem::path folder = headerPath.parent_path();
    if (!header.fileTitle.empty()) return ExistingFile(folder, header.fileTitle);
    std::string name = headerPath.filename().string();
    const std::size_t dot = name.rfind('.');
    name = (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".bin";
    return ExistingFile(folder, name);
}

}  // namespace mapdata
