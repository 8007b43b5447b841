#pragma once
// The description of the grid the converter works on (ElevationGridHeader)
// and ReadGridHeader, which fills it from a header's text: Quorlin's own
// ".hdr" keys, the GTOPO30 keys (NROWS, ULXMAP, XDIM, BYTEORDER, ...) and
// the six lines at the top of an ASCII grid. Longitudes are kept positive
// WEST here, as every command of the converter computes with them; headers
// carry them positive east.
//
// Keys are compared ignoring case with the start of each line over the key's
// own length. Lines end at CR or LF (one more CR or LF belongs to the same
// end). A line without '=' or blank, a value that does not read, or a line
// longer than 1,024 characters ends the reading with what was read so far.
//
// Pure functions; any thread.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorlin {

// The input types of the main dialog.
enum InputType : int {
    kNoInput = 0,
    kElevationGrid = 1,  // ".bin", ".dem", ".hgt"
    kBitmapInput = 2,    // ".bmp"
    kOutlines = 3,       // ".plt"
    kChartLayer = 4,     // ".e00"
    kAsciiGrid = 5,      // ".asc"
};

struct ElevationGridHeader {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    // Edges in degrees, longitudes positive west (west >= east).
    double west = 0.0, east = 0.0, south = 0.0, north = 0.0;
    double lowest = 0.0, highest = 0.0;  // metres
    std::int16_t missing = -5000;
    bool littleEndian = true;
    bool complete = false;  // six geometry values were given
    // Cell size in degrees; taken from the edges once the header is complete.
    double cellWidth = 1.0, cellHeight = 1.0;
    // Whether the header named a cell size ("cellsize", "XDIM"/"YDIM"): an
    // ASCII grid without one cannot be placed.
    bool cellSizeGiven = false;
    // Whether the header placed the grid across (a corner or centre
    // longitude, or a western or eastern edge) and up and down.
    bool xGiven = false, yGiven = false;

    // rows x columns x 2: the length of the grid file; 0 when that overflows.
    std::uint64_t GridBytes() const;
};

// The texts the dialog shows for the record: "%0.3lf" and the hemisphere
// letter for the edges; "%0.0lf" for the elevations, "??" when one equals
// the missing value.
struct HeaderTexts {
    std::string west = "??", south = "??", north = "??", east = "??";
    std::string lowest = "??", highest = "??";
    friend bool operator==(const HeaderTexts&, const HeaderTexts&) = default;
};
HeaderTexts TextsOf(const ElevationGridHeader& header);
HeaderTexts UnknownTexts();

struct HeaderReading {
    ElevationGridHeader header;
    // Fewer than two row or column keys: the row and column edits are
    // offered for typing them.
    bool rowColumnEditsEnabled = false;
};

// Reads a header for an input of the given type (the ASCII grid's header is
// the start of the grid file: it ends at its first data line or once six
// geometry values were read). `hgt` says the grid is an ".hgt" tile, which
// is big-endian whatever the keys suggest, unless the header names its byte
// order.
HeaderReading ReadGridHeader(std::string_view text, int inputType, bool hgt = false);

// An ".hgt" tile described from its name ("N46E007.hgt") and length (1201 or
// 3601 samples a side): edges half a sample outside the degree square,
// missing value -32768, big-endian. Nothing for other names or lengths.
std::optional<ElevationGridHeader> DescribeHgtTile(const std::filesystem::path& path,
                                                   std::uint64_t length);

// The entry of the file's folder named `name`, found ignoring case; the name
// as written when none exists.
std::filesystem::path CompanionFile(const std::filesystem::path& file, const std::string& name);

// The file name component's stem (up to its last '.') and extension (after
// it, empty without one); separators before the name are never searched.
std::string FileStem(const std::filesystem::path& path);
std::string FileExtension(const std::filesystem::path& path);
// The path with its name's extension replaced (appended without one).
std::filesystem::path ReplaceExtension(const std::filesystem::path& path, std::string_view extension);
std::string Lower(std::string_view text);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorlin
