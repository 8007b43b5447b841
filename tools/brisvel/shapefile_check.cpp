#include "tools/brisvel/shapefile_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/numbers.h"
#include "platform/whole_file.h"

namespace brisvel {
namespace {

using platform::FormatC;

constexpr std::size_t kHeaderBytes = 100;
constexpr std::uint32_t kFileCode = 9994;
constexpr std::uint32_t kVersion = 1000;
constexpr std::size_t kReadLimit = std::size_t{1} << 32;
// Damaged shapes named one by one; the rest are counted.
constexpr std::size_t kNamedShapes = 5;

std::uint32_t BigEndian(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

std::uint32_t LittleEndian(std::string_view b, std::size_t at, std::size_t bytes = 4) {
    std::uint32_t v = 0;
    for (std::size_t i = bytes; i-- > 0;) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

double Double(std::string_view b, std::size_t at) {
    std::uint64_t bits = 0;
    for (std::size_t i = 8; i-- > 0;) bits = bits << 8 | static_cast<unsigned char>(b[at + i]);
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool InDegrees(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) <= 180.0 && std::fabs(y) <= 90.0;
}

bool IsShapeHeader(std::string_view b) {
    return b.size() >= kHeaderBytes && BigEndian(b, 0) == kFileCode && LittleEndian(b, 28) == kVersion;
}

// What is wrong with one record's content (type, counts, points); empty
// when nothing is.
std::string RecordProblem(std::string_view c, std::uint32_t fileType) {
    if (c.size() < 4) return "is shorter than its shape type";
    const std::uint32_t type = LittleEndian(c, 0);
    if (type == 0) return {};
    if (type != fileType) return FormatC("has the shape type %u in a file of type %u", type, fileType);
    std::uint64_t parts = 0, points = 0, pointsAt = 4;
    if (type == 1 || type == 11) {
        points = 1;
    } else if (type == 8) {
        if (c.size() < 40) return "is shorter than its point count";
        points = LittleEndian(c, 36);
        pointsAt = 40;
    } else {
        if (c.size() < 44) return "is shorter than its part and point counts";
        parts = LittleEndian(c, 36);
        points = LittleEndian(c, 40);
        pointsAt = 44 + 4 * parts;
    }
    if (pointsAt + 16 * points > c.size()) {
        return FormatC("claims %llu parts and %llu points, more than its %zu bytes hold",
                       static_cast<unsigned long long>(parts), static_cast<unsigned long long>(points), c.size());
    }
    for (std::uint64_t i = 0; i < points; ++i) {
        const std::size_t at = static_cast<std::size_t>(pointsAt + 16 * i);
        const double x = Double(c, at), y = Double(c, at + 8);
        if (!InDegrees(x, y)) {
            return FormatC("has the point x = %g, y = %g, not in degrees", x, y);
        }
    }
    return {};
}

// Damaged records of the ".shp", by the index's entries.
void CheckRecords(std::string_view shp, std::string_view shx, ShapefileCheck& check) {
    const std::uint32_t fileType = LittleEndian(shp, 32);
    const std::size_t count = (shx.size() - kHeaderBytes) / 8;
    std::size_t damaged = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t offset = std::uint64_t{BigEndian(shx, kHeaderBytes + 8 * i)} * 2;
        const std::uint64_t length = std::uint64_t{BigEndian(shx, kHeaderBytes + 8 * i + 4)} * 2;
        std::string problem;
        if (offset < kHeaderBytes || offset + 8 + length > shp.size()) {
            problem = "lies beyond the end of the file";
        } else {
            problem = RecordProblem(shp.substr(static_cast<std::size_t>(offset + 8), static_cast<std::size_t>(length)),
                                    fileType);
        }
        if (problem.empty()) continue;
        if (++damaged <= kNamedShapes) check.damages.push_back(FormatC("Shape %zu ", i + 1) + problem + ".");
    }
    if (damaged > kNamedShapes) {
        check.damages.push_back(FormatC("%zu more shapes are damaged.", damaged - kNamedShapes));
    }
}

struct TableProblem {
    std::string text;  // empty when nothing is wrong
    bool usable = true;
};

TableProblem Unusable(std::string text) { return {std::move(text), false}; }

TableProblem CheckTable(const std::filesystem::path& path, std::size_t shapes) {
    const std::string name = path.filename().string();
    std::string dbf;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return Unusable("Its table " + name + " is missing: every name will be empty.");
    if (platform::ReadWholeFile(path, dbf, kReadLimit)) return Unusable("Its table " + name + " cannot be read: every name will be empty.");
    const std::string damaged = "Its table " + name + " is damaged: every name will be empty.";
    if (dbf.size() < 32) return Unusable(damaged);
    const std::uint64_t records = LittleEndian(dbf, 4);
    const std::uint32_t headerBytes = LittleEndian(dbf, 8, 2), recordBytes = LittleEndian(dbf, 10, 2);
    if (headerBytes < 33 || headerBytes > dbf.size() || recordBytes == 0) return Unusable(damaged);
    // The field descriptors, 32 bytes each, end with a 0x0D byte.
    bool terminated = false;
    for (std::size_t at = 32; at < headerBytes && !terminated; at += 32) terminated = dbf[at] == '\x0D';
    if (!terminated) return Unusable(damaged);
    if (headerBytes + records * recordBytes > dbf.size()) {
        return Unusable("Its table " + name + " is cut short: every name will be empty.");
    }
    if (records < shapes) {
        return {FormatC("Its table %s holds names for only %llu of its %zu shapes.", name.c_str(),
                       static_cast<unsigned long long>(records), shapes)};
    }
    return {};
}

}  // namespace

std::filesystem::path CompanionOf(const std::filesystem::path& shp, const std::string& extension) {
    std::filesystem::path lower = shp, upper = shp;
    lower.replace_extension(extension);
    std::string capitals = extension;
    std::transform(capitals.begin(), capitals.end(), capitals.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    upper.replace_extension(capitals);
    std::error_code error;
    if (!std::filesystem::exists(lower, error) && std::filesystem::exists(upper, error)) return upper;
    return lower;
}

ShapefileCheck CheckShapefile(const std::filesystem::path& path) {
    ShapefileCheck check;
    std::string shp, shx;
    if (platform::ReadWholeFile(path, shp, kReadLimit)) {
        check.fatal = "It cannot be read.";
        return check;
    }
    if (!IsShapeHeader(shp)) {
        check.fatal = "It is not a shapefile: its header is damaged.";
        return check;
    }
    // A type the converter does not take gets the opener's own message.
    const std::uint32_t type = LittleEndian(shp, 32);
    if (type != 1 && type != 3 && type != 5 && type != 8 && type != 11 && type != 13 && type != 15) return check;
    const std::filesystem::path index = CompanionOf(path, "shx");
    const std::string indexName = index.filename().string();
    std::error_code error;
    if (!std::filesystem::exists(index, error)) {
        check.fatal = "Its index file " + indexName + " is missing.";
        return check;
    }
    if (platform::ReadWholeFile(index, shx, kReadLimit)) {
        check.fatal = "Its index file " + indexName + " cannot be read.";
        return check;
    }
    if (!IsShapeHeader(shx) || (shx.size() - kHeaderBytes) % 8 != 0 ||
        std::uint64_t{BigEndian(shx, 24)} * 2 != shx.size()) {
        check.fatal = "Its index file " + indexName + " is damaged or cut short.";
        return check;
    }
    const std::uint64_t claimed = std::uint64_t{BigEndian(shp, 24)} * 2;
    if (claimed > shp.size()) {
        check.damages.push_back(FormatC("It holds %zu of the %llu bytes its header claims: it is cut short.",
                                        shp.size(), static_cast<unsigned long long>(claimed)));
    }
    const double minX = Double(shp, 36), minY = Double(shp, 44), maxX = Double(shp, 52), maxY = Double(shp, 60);
    const std::size_t shapes = (shx.size() - kHeaderBytes) / 8;
    if (shapes > 0 && (!InDegrees(minX, minY) || !InDegrees(maxX, maxY))) {
        check.damages.push_back(FormatC("Its box (%g, %g) to (%g, %g) is not in degrees: a projected shapefile "
                                        "makes no usable map.",
                                        minX, minY, maxX, maxY));
    }
    CheckRecords(shp, shx, check);
    if (TableProblem table = CheckTable(CompanionOf(path, "dbf"), shapes); !table.text.empty()) {
        check.tableUsable = table.usable;
        check.damages.push_back(std::move(table.text));
    }
    return check;
}

}  // namespace brisvel
