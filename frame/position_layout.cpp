#include "frame/position_layout.h"

namespace frame {

PositionLayout ComputePositionLayout(PositionRowOrigins rows) {
    constexpr int W = kPositionLayoutWidth;
    // The cell edges: W/3 is taken first, so the cells are 0-86, 86-142
    // and 142-230.
    constexpr int third = W / 3;
    constexpr int cellEdge1 = third + 10;
    constexpr int cellEdge2 = 2 * third - 10;
    const int u = rows.upper;
    const int l = rows.lower;

    PositionLayout layout;
    layout.topLine = {5, u, W - 3, u + 18};
    layout.topLineAlternative = {4, u, W - 3, u + 18};
    layout.topTag = {W / 2 + 3, u, W / 2 + 30, u + 18};
    layout.topCells = {platform::PixelRect{0, u - 1, cellEdge1, u + 18},
                       platform::PixelRect{cellEdge1, u - 1, cellEdge2, u + 18},
                       platform::PixelRect{cellEdge2, u - 1, W, u + 18}};
    layout.secondLine = {0, u + 20, W - 16, u + 43};
    layout.secondLineAlternative = {4, u + 20, W - 3, u + 43};
    layout.secondCells = {platform::PixelRect{0, u + 20, cellEdge1, u + 43},
                          platform::PixelRect{cellEdge1, u + 20, cellEdge2, u + 43},
                          platform::PixelRect{cellEdge2, u + 20, W, u + 43}};
    layout.destinationLine = {5, l, W + 2, l + 23};
    layout.glideLine = {5, l + 24, W + 4, l + 48};
    layout.separatorY = u + 44;

    const platform::PixelRect& top = layout.topLine;
    layout.glidePanel = {2, top.top, W + 5, layout.secondLine.bottom};
    layout.notesEdit = {5, layout.destinationLine.top - 1, W + 5, layout.glideLine.bottom - 1};
    layout.teamButton = {top.right - 40, top.top - 1, top.right - 2, top.bottom + 1};
    layout.altitudeEdit = {top.right - 80, top.top - 2, top.right - 18, top.bottom};
    layout.setButton = {4, layout.secondLine.top + 2, 84, layout.secondLine.bottom};
    layout.editTopLine = layout.topLineAlternative;
    layout.editSecondLine = layout.secondLineAlternative;
    if (top.bottom <= 0) {
        const platform::PixelRect& destination = layout.destinationLine;
        layout.editTopLine = {4, destination.top, W - 3, destination.bottom};
        layout.editSecondLine = {4, layout.glideLine.top, W - 3, layout.glideLine.bottom};
        layout.altitudeEdit = {W - 80, destination.top, W - 18, destination.bottom};
        layout.setButton = {4, layout.glideLine.top + 2, 84, layout.glideLine.bottom};
    }
    // Two finger-sized buttons side by side at the second line's end,
    // reaching over the separator below it.
    layout.macCreadySpin = {W + 5 - 2 * kFingerButton, layout.secondLine.top, W + 5,
                            layout.secondLine.top + kFingerButton};
    return layout;
}

}  // namespace frame
