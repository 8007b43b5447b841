#pragma once
// The loaded map saved in another form: as a binary map (".gpm"), and as a
// bitmap (".bmp") of the whole map at a chosen magnification with a
// calibration text (".flt") beside it that lets other software place the
// bitmap.
//
// Pure logic without wx. The bitmap export draws with a transform and font
// of its own (the window's published transform is never touched) into a
// canvas of its own, holding MapListLock while it walks the lists; the
// caller makes sure no read splices meanwhile and that the render thread is
// stopped. Numbers in the calibration text are written in the C locale.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "map/map_lists.h"
#include "map/map_view_state.h"
#include "mapdata/dib.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_element_draw.h"
#include "platform/canvas.h"

namespace map {

class MapViewModel;

// The path with its file name's extension (from the last '.' after the last
// '/') replaced by `extension`; appended when the name has no '.'.
std::wstring ReplaceExtension(std::wstring_view path, std::wstring_view extension);

// --- Binary map export.

enum class BinaryTarget {
    kRewriteLoaded,  // the loaded binary map itself: rewritten and reopened
    kAskAgain,       // the loaded text map: never overwritten by its binary form
    kNewFile,
};

// Whether `chosen` names the loaded map: the same text, or (when it exists)
// the same file under another spelling or through a link.
bool SameMapFile(const std::filesystem::path& chosen, const std::filesystem::path& loaded);
BinaryTarget ClassifyBinaryTarget(const std::filesystem::path& chosen,
                                  const std::filesystem::path& loaded, bool loadedIsBinary);

// --- Bitmap export.

struct ExportSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ExportSize&, const ExportSize&) = default;
};

// The map rectangle's right and bottom edges times scale, each truncated.
ExportSize ExportBitmapSize(const platform::PixelRect& mapRect, double scale);

// 8 bits below an 8-bit display or with the option; 24 otherwise.
int ExportBitCount(int displayDepth, bool eightBit);

// The message that refuses a bitmap of this size at this depth (above
// mapdata::kMaxSide a side, or more than a bitmap may hold); nothing when it
// can be made.
std::optional<std::wstring> ExportSizeRefusal(ExportSize size, int bitCount);
// The message for a bitmap whose memory could not be had.
std::wstring ExportMemoryRefusal(ExportSize size);

// The window's transform magnified by scale: pixel scale, offsets and the
// circles' pixels per km times scale. The x offset is taken from the map
// bounds without the window's button column, which the bitmap has not; the
// map scale that selects visible elements stays the window's.
mapdata::MapDrawState ExportTransform(const MapViewModel& view, float scale);

// The calibration text: 26 lines ended by LF (none after the last): the
// bitmap's path with ".bmp", the two constants, the projection centre, the
// east and north axes, the rotation rows, the x and y offsets and the pixel
// scale ("%lf"), then the offsets and widths constants.
std::string CalibrationText(std::wstring_view bitmapPath, const mapdata::MapDrawState& state);

// Draws the type-17 layer, the zones and the general elements, in this
// order, on white and without labels of their own pass; the context's
// canvas is set here. False (nothing drawn but the white) when no map is
// loaded.
bool RenderMapToDC(platform::Canvas& canvas, MapLists& lists, const mapdata::MapDrawContext& context,
                   bool mapLoaded);

// The canvas's pixels as a bitmap of 24 bits, or 8 on the halftone palette
// (each colour its nearest entry). Empty when the memory cannot be had.
mapdata::CDib CanvasToDib(const platform::Image& pixels, int bitCount);

enum class ExportStatus {
    kWritten,
    kNotOpened,  // the bitmap file cannot be made: nothing written, no message
    kRefused,    // too large, or no memory: the message says so
    kWriteFailed,  // the message names the file and the system's reason; the old file stays
    kNoMap,
};

struct ExportJob {
    mapdata::MapDrawContext draw;  // the export transform, pens, symbols, font
    ExportSize size;
    int bitCount = 24;
    bool mapLoaded = true;
};

struct ExportResult {
    ExportStatus status = ExportStatus::kWritten;
    std::wstring message;  // for kRefused
    bool calibrationWritten = false;
};

// Renders the job and writes the bitmap to `file` and the calibration text
// beside it (its extension replaced by ".flt"; skipped silently when it
// cannot be written). Each file replaces an old one whole, so a refused or
// failed export leaves the old files as they were.
ExportResult ExportMapBitmap(MapLists& lists, const ExportJob& job, const std::filesystem::path& file);

}  // namespace map
