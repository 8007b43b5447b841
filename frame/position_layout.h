#pragma once
// Where the position page puts its fields and children: a column of lines
// laid out for a fixed width of 230 pixels, in two groups whose tops the
// frame sets (the upper group: the top line and the second line; the lower
// group: the destination line and the glide line).
//
// The compact layout has its groups at 2 and 50; the alternate layout moves
// the upper group off the page (-100) and the lower one to 4. Every hit test
// and every drawing call of the page uses these rectangles. Pure geometry.

#include <array>

#include "platform/drawing_tools.h"

namespace frame {

// The width every rectangle is laid out for.
inline constexpr int kPositionLayoutWidth = 230;
// The smallest side of a button a finger presses.
inline constexpr int kFingerButton = 32;

struct PositionRowOrigins {
    int upper = 2;
    int lower = 50;
    friend constexpr bool operator==(PositionRowOrigins, PositionRowOrigins) = default;
};

inline constexpr PositionRowOrigins kCompactRows{2, 50};
inline constexpr PositionRowOrigins kAlternateRows{-100, 4};

struct PositionLayout {
    platform::PixelRect topLine;
    platform::PixelRect topLineAlternative;  // task distance in the edit mode; task line
    platform::PixelRect topTag;              // the blank tag after the longitude
    std::array<platform::PixelRect, 3> topCells;
    platform::PixelRect secondLine;
    platform::PixelRect secondLineAlternative;  // leg text
    std::array<platform::PixelRect, 3> secondCells;
    platform::PixelRect destinationLine;
    platform::PixelRect glideLine;
    int glideLineRightPart = 70;  // where the destination text part of the glide line starts
    int separatorY = 46;          // the separator runs from x 16 to W - 10

    // Children.
    platform::PixelRect glidePanel;
    platform::PixelRect notesEdit;  // the keyboard edit (notes and altitude), 122
    platform::PixelRect teamButton;
    platform::PixelRect altitudeEdit;  // 175
    platform::PixelRect setButton;     // 174
    // The altitude edit's two text lines: over the upper group, or over the
    // lower one while the upper group lies off the page (the edit, its set
    // button and its lines must stay where the pilot can reach them).
    platform::PixelRect editTopLine;
    platform::PixelRect editSecondLine;
    platform::PixelRect macCreadySpin;

    friend bool operator==(const PositionLayout&, const PositionLayout&) = default;
};

PositionLayout ComputePositionLayout(PositionRowOrigins rows);

}  // namespace frame
