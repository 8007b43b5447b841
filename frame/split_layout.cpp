#include "frame/split_layout.h"

#include <algorithm>

namespace frame {
namespace {

using platform::PixelRect;

// Lengths along the split: the map, the gap, the position page.
struct Split {
    int map;
    int gap;
    int position;
};

Split SplitLength(int length, int positionLength) {
    length = std::max(length, 0);
    const int position = std::clamp(positionLength, 0, length);
    const int gap = std::min(kSplitterGap, length - position);
    return {length - position - gap, gap, position};
}

}  // namespace

PaneLayout SplitClientArea(bool portrait, int width, int height, int positionHeight,
                           int positionWidth) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (portrait) {
        const Split s = SplitLength(height, positionHeight);
        return {PixelRect::FromSize(0, 0, width, s.map), PixelRect::FromSize(0, s.map + s.gap, width, s.position),
                PixelRect::FromSize(0, s.map, width, s.gap)};
    }
    const Split s = SplitLength(width, positionWidth);
    return {PixelRect::FromSize(0, 0, s.map, height), PixelRect::FromSize(s.map + s.gap, 0, s.position, height),
            PixelRect::FromSize(s.map, 0, s.gap, height)};
}

PaneLayout FixedSplit(bool portrait, int width, int height, int mapLength, int positionLength) {
    const int length = portrait ? height : width;
    const int gap = std::max(length - mapLength - positionLength, 0);
    if (portrait) {
        return {PixelRect::FromSize(0, 0, width, mapLength),
                PixelRect::FromSize(0, mapLength + gap, width, positionLength),
                PixelRect::FromSize(0, mapLength, width, gap)};
    }
    return {PixelRect::FromSize(0, 0, mapLength, height),
            PixelRect::FromSize(mapLength + gap, 0, positionLength, height),
            PixelRect::FromSize(mapLength, 0, gap, height)};
}

}  // namespace frame
