#pragma once
// Where the main window puts its two panes: the map and the position page
// one above the other on a portrait screen, side by side otherwise, with a
// fixed 4-pixel gap between them. The position page keeps its size; the
// map takes what is left.

#include "platform/pixel_rect.h"

namespace frame {

inline constexpr int kSplitterGap = 4;

// A screen counts as portrait when its height is at least its width less 4
// (so a square screen is portrait).
constexpr bool IsPortraitScreen(int width, int height) {
    return height >= width - 4;
}

struct PaneLayout {
    platform::PixelRect map;
    platform::PixelRect position;
    platform::PixelRect gap;
    friend bool operator==(const PaneLayout&, const PaneLayout&) = default;
};

// The panes in a client area of width x height. Portrait: the map on top,
// the position page below it positionHeight high. Landscape: the map on the
// left, the position page on the right positionWidth wide. A client area
// too small for the position page gives it all there is and the map none.
PaneLayout SplitClientArea(bool portrait, int width, int height, int positionHeight,
                           int positionWidth);

// Panes of fixed lengths along the split; the gap between them is what the
// client area leaves (none when they fill it or more).
PaneLayout FixedSplit(bool portrait, int width, int height, int mapLength, int positionLength);

}  // namespace frame
