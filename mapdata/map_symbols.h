#pragma once
// The drawing tables every map layer uses — pens, brushes, track colours and
// the built-in icon order — and the three list files that name user symbol
// bitmaps ("^KOR_VN#^.SLF"), track colours ("^KOR_VN#^.TCL") and aircraft
// cursor images ("KOR_VN_CUR.TXT").
//
// The readers are pure: they take the file's text and a base folder, load
// bitmaps through CDib and return the tables; the caller (the UI thread at
// start-up, or a converter) keeps them. A missing file, a malformed line or a
// bitmap that does not load is passed over in silence.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/dib.h"
#include "mapdata/map_palette.h"

namespace mapdata {

inline constexpr std::string_view kSymbolListFileName = "^KOR_VN#^.SLF";
inline constexpr std::string_view kTrackColourFileName = "^KOR_VN#^.TCL";
inline constexpr std::string_view kCursorListFileName = "KOR_VN_CUR.TXT";
inline constexpr std::string_view kProgramDocumentsSubfolder = "KOR_VAN WinCE";

inline constexpr int kMaxUserSymbols = 20;
inline constexpr int kTrackColourCount = 21;
inline constexpr int kLastBuiltInSymbol = 15;
inline constexpr int kCursorImageSize = 32;

// Built-in symbols 0-15 in slot order, by resource id.
inline constexpr std::array<int, 16> kBuiltInSymbolIconIds{179, 139, 140, 153, 138, 141,
                                                           147, 150, 148, 149, 151, 145,
                                                           146, 152, 137, 142};

inline constexpr std::array<Rgb, kTrackColourCount> kDefaultTrackColours{{
    {40, 255, 255}, {10, 255, 255}, {0, 255, 255}, {0, 250, 255}, {0, 190, 255},
    {0, 130, 255},  {0, 70, 255},   {0, 10, 255},  {0, 0, 200},   {0, 0, 100},
    {0, 0, 0},      {100, 0, 0},    {200, 0, 0},   {255, 10, 0},  {255, 70, 0},
    {255, 130, 0},  {255, 190, 0},  {255, 255, 0}, {255, 230, 10}, {255, 255, 30},
    {250, 255, 60},
}};

struct MapPen {
    Rgb colour;
    int width = 1;
    bool dashed = false;
    friend bool operator==(const MapPen&, const MapPen&) = default;
};

// 49 pens: 0-15 thin solid, 16-31 dashed width 1, 32-47 wide solid, all in
// palette colours 0-15; 48 twice the wide width in the inverse of colour 8.
std::array<MapPen, 49> MakeMapPenTable(int thinWidth = 1, int wideWidth = 3);

// The file that a list file name means: tried in the documents folder's
// program subfolder, the documents folder, the root folder and the current
// folder, names matched ignoring case; nothing when none is a readable file.
std::optional<std::filesystem::path> FindListFile(const std::filesystem::path& documents,
                                                  std::string_view name);

// One user symbol: its bitmap and the colour drawn as transparent.
struct UserSymbol {
    CDib bitmap;
    Rgb transparent;
};

// One ".SLF" entry as written: the colour index (1 when none is given) and
// the bitmap file name.
struct SymbolListEntry {
    int colourIndex = 1;
    std::string file;
};

// The entries of a ".SLF" text: at most the count on line 1, each a line
// that ends with CR or LF.
std::vector<SymbolListEntry> ParseSymbolList(std::string_view text);
// Loads the entries' bitmaps from `base`; an entry that does not load takes
// no symbol number; at most kMaxUserSymbols are kept.
std::vector<UserSymbol> LoadUserSymbols(std::string_view text, const std::filesystem::path& base);

// A ".TCL" text read over `colours`: 21 lines after a header line; missing
// numbers (and lines past the end) repeat the previous entry, the first
// entry keeps its default.
std::array<Rgb, kTrackColourCount> ReadTrackColours(
    std::string_view text, std::array<Rgb, kTrackColourCount> colours = kDefaultTrackColours);

struct CursorImages {
    std::vector<UserSymbol> images;
    float angleStep = 45.0F;  // degrees between images
};
// A "KOR_VN_CUR.TXT" text: "KOR_VAN" on line 1, the size 32 on line 2, then a
// bitmap a line until one does not load.
CursorImages LoadCursorImages(std::string_view text, const std::filesystem::path& base);

// The symbol a map text element draws for `number`: a built-in icon slot,
// a user symbol index, or a marker slot.
struct SymbolChoice {
    enum class Kind { kIcon, kUser } kind = Kind::kIcon;
    int index = 0;
};
SymbolChoice ResolveSymbol(int number, int userSymbols, int markerIcons = 20);

}  // namespace mapdata
