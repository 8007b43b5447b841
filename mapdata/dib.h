#pragma once
// CDib: a device-independent bitmap held in memory — a 40-byte Windows
// bitmap info header, its colour table (or, for bit-field bitmaps, the three
// colour masks) and the pixel rows — read from and written to ".bmp" files.
//
// Rows are kept as the file keeps them: a positive height is bottom-up (the
// last picture row first in memory), a negative one top-down; each row is
// padded to a multiple of 4 bytes. Every header, colour table and size is
// checked before use; pictures above kMaxSide pixels a side or kMaxImageBytes
// of rows are refused like a bad file, and a bad file is never read past its
// end. Failures show the user a message box (platform::ShowMessageBox) and
// return false; the bitmap is then left cleared or partly loaded.
//
// The display a bitmap is made for is described by a DisplayDevice passed in
// by the caller (the real display's depth and resolution on the UI thread);
// an 8-bit display gets pictures converted onto the fixed halftone palette.
//
// A CDib is a plain value owned by one thread at a time; it touches no
// globals, so the flight computer and the converters share it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <vector>

#include "mapdata/map_palette.h"
#include "platform/image.h"
#include "platform/pixel_rect.h"

namespace platform {
class Canvas;
}  // namespace platform

namespace mapdata {

inline constexpr int kMaxSide = 16384;
inline constexpr std::uint64_t kMaxImageBytes = 256ull << 20;

// The compression codes of the info header.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// One colour table entry in file order: blue, green, red, reserved.
struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// What a bitmap is made for: the display's bits per pixel and pixels per
// inch. Tests use the default, a 24-bit 96 dpi display.
struct DisplayDevice {
    int bitsPerPixel = 24;
    int dpiX = 96;
    int dpiY = 96;
};

// The fixed 256-colour palette an 8-bit display uses for true-colour
// pictures: the 20 system colours (entries 0-9 and 246-255) around a
// 6 x 6 x 6 colour cube (entries 10-225, red slowest, steps of 51) and a
// 20-step grey ramp (entries 226-245).
const std::array<RgbQuad, 256>& HalftonePalette();
// The halftone entry nearest to a colour (squared distance).
int NearestHalftoneIndex(Rgb colour);

class CDib {
  public:
    CDib() = default;
    // A header for size x bitCount with a cleared colour table; no bits yet.
    CDib(int width, int height, int bitCount);

    void Clear();

    // Layout.
    void SetColourCount(int bitCount);
    bool UpdateLayout();  // false (and nothing changed) on a header that is not 40 bytes
    struct Size {
        int width = 0;
        int height = 0;
    };
    Size GetSize() const;
    int GetRowBytes(int width) const;
    std::uint8_t* GetPixelAddress(int x, int y, bool flipY);
    const std::uint8_t* GetPixelAddress(int x, int y, bool flipY) const;
    bool GetColourEntry(int index, std::uint32_t* colorref) const;
    RgbQuad GetPixelColour(int x, int y) const;

    // Palette. Without a colour table MakePalette fails; with `grey` the
    // table first becomes the grey ramp i x (256 / colour count).
    bool MakePalette(bool grey);
    bool MakeHalftonePalette();  // only for bitmaps without a colour table
    bool HasHalftonePalette() const { return halftone_; }

    // Building. A negative bitCount gives a grey-ramp colour table, a
    // positive one the halftone palette's first entries.
    bool CreateEmpty(bool asSection, int width, int height, int bitCount,
                     const DisplayDevice* device);
    bool CopyFrom(const CDib& other);
    // Takes a packed bitmap (info header, colour table or masks, rows).
    bool AttachMemory(const std::uint8_t* packed, std::size_t length);
    // The packed form AttachMemory takes.
    std::vector<std::uint8_t> Packed() const;

    // Files.
    bool LoadFromFile(const std::filesystem::path& path);
    // LoadFromFile without message boxes, for files passed over in silence.
    bool LoadQuietly(const std::filesystem::path& path);
    bool ReadSection(const std::filesystem::path& path, const DisplayDevice& device,
                     bool forceConvert);
    bool ReadRLE8Section(const std::filesystem::path& path, const DisplayDevice& device);
    bool ReadStream(std::istream& in);
    bool WriteStream(std::ostream& out) const;
    // The part of the bitmap under rect as a bitmap file, its left edge moved
    // down to a whole byte and cut at the bitmap's edges; false when nothing
    // of it lies in the bitmap.
    bool WritePart(std::ostream& out, const platform::PixelRect& rect) const;
    bool SaveToFile(const std::filesystem::path& path, int quality, const platform::PixelRect* rect) const;
    bool OpenMapped(const std::filesystem::path& path, bool share);
    bool SaveMapped(const std::filesystem::path& path);
    // Run-length encodes a 8-bit bitmap (or decodes it back); 4-bit
    // bitmaps are refused.
    bool Compress(bool compress);

    // Drawing: the bitmap as an opaque image, and stretched onto a canvas.
    platform::Image ToImage() const;
    bool StretchTo(platform::Canvas& canvas, int x, int y, int width, int height) const;
    bool StretchTo(platform::Canvas& canvas, int x, int y, int width, int height, int srcX,
                   int srcY, int srcWidth, int srcHeight) const;

    bool Empty() const { return !hasHeader_; }
    const BitmapInfoHeader& Header() const { return header_; }
    BitmapInfoHeader& Header() { return header_; }
    std::vector<RgbQuad>& ColourTable() { return colours_; }
    const std::vector<RgbQuad>& ColourTable() const { return colours_; }
    const std::array<std::uint32_t, 3>& Masks() const { return masks_; }
    std::uint8_t* Bits() { return bits_.empty() ? nullptr : bits_.data(); }
    const std::uint8_t* Bits() const { return bits_.empty() ? nullptr : bits_.data(); }
    int RowSize() const { return rowSize_; }
    std::uint32_t ImageSize() const { return imageSize_; }
    int ColourCount() const { return colourCount_; }
    bool Busy() const { return busy_; }
    bool Mapped() const { return mapped_; }

  private:
    enum class HeaderError { kNone, kBad, kTooLarge };
    HeaderError TakeHeader(const std::uint8_t* data, std::size_t length);
    // TakeHeader on a whole ".bmp" file's bytes (their file header checked
    // by the caller): the info header and colour table up to the offset of
    // the bits, which must lie inside the file.
    HeaderError TakeFileHeader(const std::string& bytes);
    bool ReadBmp(const std::filesystem::path& path, const DisplayDevice* device,
                 bool forceConvert, const wchar_t* headerError, const wchar_t* openError,
                 const wchar_t* readError);
    bool DecodeRle8(const std::uint8_t* data, std::size_t length);
    void ConvertToHalftone(const CDib& source);
    void FixImageSize(bool warn);

    BitmapInfoHeader header_;
    bool hasHeader_ = false;
    std::vector<RgbQuad> colours_;
    std::array<std::uint32_t, 3> masks_{};
    std::vector<std::uint8_t> bits_;
    int rowSize_ = 0;
    std::uint32_t imageSize_ = 0;
    int colourCount_ = 0;
    bool halftone_ = false;
    bool busy_ = false;
    bool mapped_ = false;
};

}  // namespace mapdata
