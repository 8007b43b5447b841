#pragma once
// The header (".hdr") of an elevation grid: 8-bit text, one key per line,
// followed by '=' and its value or by blanks and its value. The elevation
// converter writes its own keys (left_map_x, number_of_rows, ...); headers in
// the GTOPO30 style (NROWS, ULXMAP, XDIM, BYTEORDER, ...) are read too.
//
// Keys are matched ignoring case against the start of the line. Lines end at
// CR or LF, and one more CR or LF after it belongs to the same line end; the
// last line counts even without a line end. A line longer than 1,023
// characters is skipped. A line with neither '=' nor a blank, or a number
// that does not read, ends the header (what was read so far stays).
//
// Pure functions; any thread may call them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "mapdata/grid_elevation_model.h"

namespace mapdata {

struct GridHeader {
    GridExtent extent;  // outer edges, degrees, longitudes east positive
    bool littleEndian = true;
    std::int16_t noData = -5000;  // the sample value of a cell without data
    double lowest = -5000.0;      // metres, as the header states them
    double highest = -5000.0;
    // The grid file's name as "file_title" gives it (".bin" appended when it
    // has no extension); empty when the header names none.
    std::string fileTitle;
    // How many geometry values the header gave (a repeated key counts again).
    int geometryCount = 0;
};

// Reads a header's text. Nothing when it gave fewer than six geometry
// values, or a grid without rows or columns or with edges out of order.
std::optional<GridHeader> ParseGridHeader(std::string_view text);

// The grid file a header names: the title in the header's folder, else the
// header's own name with the extension ".bin". Either is looked up ignoring
// case when it does not exist as written.
std::filesystem::path GridFilePath(const std::filesystem::path& headerPath,
                                   const GridHeader& header);

}  // namespace mapdata
