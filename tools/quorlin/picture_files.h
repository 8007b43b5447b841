#pragma once
// JPEG files of the converter's bitmaps, through libjpeg: writing with a
// chosen quality (the bitmap's blue-green-red pixels handed over as they
// are), and reading into a 24-bit bitmap. libjpeg's errors come back
// through our own error manager: the file is removed and the result is
// false. UI thread (the writer pumps events while it works).

#include <filesystem>

#include "mapdata/dib.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

inline constexpr int kMaxJpegSide = 65500;

// Writes the bitmap, or the rectangle of it (its left edge moved down to a
// whole byte, its right and bottom cut at the bitmap's edges; the adjusted
// left and bottom written back), as a 3-component JPEG through a temporary
// file. The dialog is out of use meanwhile (counted in `busy`).
bool SaveJpeg(const mapdata::CDib& dib, const std::filesystem::path& path, int quality,
              platform::PixelRect* rect, QuorlinUi& ui, int& busy);

// Reads a 1- or 3-component JPEG into a 24-bit bitmap (grey spread to all
// three bytes). False, with the bitmap cleared, for anything else.
bool ReadJpeg(mapdata::CDib& dib, const std::filesystem::path& path);

// Saves by the name's extension: "jpg" as JPEG, "bmp" as a bitmap file
// (through a temporary file), anything else "Unknown file format".
bool SaveBitmapFile(const mapdata::CDib& dib, const std::filesystem::path& path, int quality,
                    platform::PixelRect* rect, QuorlinUi& ui, int& busy);

}  // namespace quorlin
