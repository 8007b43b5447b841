#pragma once
// Small utilities the map readers, the element classes and the waypoint and
// task readers share: full-width folding, the attached-strings record, the
// triple copy and the growable point buffer.
//
// Pure values and functions; any thread, each on its own data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/waypoint_attachments.h"

namespace mapdata {

// Folds the full-width forms U+FF01..U+FF5E to "!".."~" in place, before
// map, task and waypoint texts are parsed; every other character stays
// (U+FF00, half-width katakana and U+FFFD among them).
void FoldFullWidthText(std::wstring& text);
// The folded form of one character.
constexpr wchar_t FoldFullWidthChar(wchar_t c) {
    return (c >= 0xFF01 && c <= 0xFF5E) ? static_cast<wchar_t>(c - 0xFEE0) : c;
}

// The three strings and the word a waypoint or a map symbol carries besides
// its name. Copies are deep and safe for self-assignment (the strings are
// values); an empty string stands for an absent one.
using CObjectStrings = nav::WaypointAttachments;

// Three 32-bit words taken as one value (a pen or colour triple).
using Triple = std::array<std::uint32_t, 3>;
inline void CopyTriple(Triple& dest, const Triple& src) { dest = src; }

// A growable buffer of 8-byte points for drawing symbols: 50 entries at
// first, 50 more at each growth; a growth that fails keeps the old entries
// and capacity.
struct BufferPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class PointBuffer {
  public:
    static constexpr std::size_t kGrowth = 50;

    PointBuffer();
    // Raises the capacity by kGrowth; false (nothing changed) when memory
    // runs out.
    bool Grow();
    // Gives the memory back (exit); Grow makes a buffer again.
    void Free();

    std::size_t Capacity() const { return points_.size(); }
    BufferPoint* Data() { return points_.data(); }

  private:
    std::vector<BufferPoint> points_;
};

// The buffer's growth as the map module calls it: the buffer, grown.
PointBuffer& GrowPointBuffer(PointBuffer& buffer);
void FreeSymbolBuffer(PointBuffer& buffer);

}  // namespace mapdata
