#pragma once
// The navigation display's three layouts and the steps between them:
//   0  the full map (the position pane reduced to 1 pixel),
//   1  the map with the compact position page (portrait only),
//   2  the map with the alternate position page (portrait) or the normal
//      side-by-side layout (landscape).
// Every change stores the state that was in force before it, so start-up
// advances once from the stored value to show the state last shown.
// Pure geometry; the frame applies it to its splitter and panes.

#include <optional>

namespace frame {

inline constexpr int kNavFullMap = 0;
inline constexpr int kNavCompact = 1;
inline constexpr int kNavAlternate = 2;

// The position page's layout word.
inline constexpr int kPageCompact = 0;
inline constexpr int kPageAlternate = 1;
inline constexpr int kPageHidden = 2;

// The origins of the page's upper and lower field groups (pixels).
struct RowOrigins {
    int upper = 0;
    int lower = 0;
    friend bool operator==(const RowOrigins&, const RowOrigins&) = default;
};

// A field's top and bottom.
struct FieldRow {
    int top = 0;
    int bottom = 0;
    friend bool operator==(const FieldRow&, const FieldRow&) = default;
};

// The four field rows that follow from the origins: two in the upper group
// (0..18 and 20..43 below its origin), two in the lower (0..23, 24..44).
struct PositionFieldRows {
    FieldRow upperFirst, upperSecond, lowerFirst, lowerSecond;
    friend bool operator==(const PositionFieldRows&, const PositionFieldRows&) = default;
};
PositionFieldRows FieldRowsFor(RowOrigins origins);

struct NavDisplayLayout {
    int state = 0;
    int stored = 0;          // written as "lastNavDisplaySetting"
    int mapLength = 0;       // row 0 (portrait) or column 0 (landscape)
    int positionLength = 0;  // row 1 or column 1
    int layoutWord = 0;
    std::optional<RowOrigins> origins;  // unchanged when empty
    friend bool operator==(const NavDisplayLayout&, const NavDisplayLayout&) = default;
};

// The client area the panes share (height H, width W) and the position
// page's height P (portrait) and width Q (landscape).
struct NavDisplayArea {
    bool portrait = false;
    int height = 0;
    int width = 0;
    int positionHeight = 0;
    int positionWidth = 0;
};

// Re-applies (fromCommand false) or advances (true) the layout from state.
NavDisplayLayout RestoreNavLayout(const NavDisplayArea& area, int state, bool fromCommand);
// The full-map layout.
NavDisplayLayout SaveNavLayout(const NavDisplayArea& area, int state);
// Command 32811: the next layout.
NavDisplayLayout SwitchNavLayout(const NavDisplayArea& area, int state);

}  // namespace frame
