#include "frame/split_layout.h"

#include <algorithm>

namespace frame {
namespace {

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
        return {
            {0, 0, width, s.map}, {0, s.map + s.gap, width, s.position}, {0, s.map, width, s.gap}};
    }
    const Split s = SplitLength(width, positionWidth);
    return {
        {0, 0, s.map, height}, {s.map + s.gap, 0, s.position, height}, {s.map, 0, s.gap, height}};
}

PaneLayout FixedSplit(bool portrait, int width, int height, int mapLength, int positionLength) {
    const int length = portrait ? height : width;
    const int gap = std::max(length - mapLength - positionLength, 0);
    if (portrait) {
        return {{0, 0, width, mapLength},
                {0, mapLength + gap, width, positionLength},
                {0, mapLength, width, gap}};
    }
    return {{0, 0, mapLength, height},
            {mapLength + gap, 0, positionLength, height},
            {mapLength, 0, gap, height}};
}

}  // namespace frame
