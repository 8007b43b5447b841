#include "mapdata/map_utilities.h"

#include <new>

namespace mapdata {

void FoldFullWidthText(std::wstring& text) {
    for (wchar_t& c : text) c = FoldFullWidthChar(c);
}

PointBuffer::PointBuffer() { Grow(); }

bool PointBuffer::Grow() {
    try {
        // A new block, so that a failure leaves the old one as it was.
        std::vector<BufferPoint> grown(points_.size() + kGrowth);
        std::copy(points_.begin(), points_.end(), grown.begin());
        points_.swap(grown);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void PointBuffer::Free() {
    points_.clear();
    points_.shrink_to_fit();
}

PointBuffer& GrowPointBuffer(PointBuffer& buffer) {
    buffer.Grow();
    return buffer;
}

void FreeSymbolBuffer(PointBuffer& buffer) { buffer.Free(); }

}  // namespace mapdata
