#include "frame/nav_display_layout.h"

namespace frame {
namespace {

constexpr RowOrigins kCompactOrigins{2, 50};
constexpr RowOrigins kAlternateOrigins{-100, 4};
constexpr int kLandscapeGap = 4;
constexpr int kAlternateMapExtra = 42;
constexpr int kAlternatePageLess = 46;

NavDisplayLayout FullMap(const NavDisplayArea& area, int state) {
    NavDisplayLayout layout;
    layout.state = kNavFullMap;
    layout.stored = state;
    layout.mapLength = area.portrait ? area.height : area.width;
    layout.positionLength = 1;
    layout.layoutWord = kPageHidden;
    return layout;
}

NavDisplayLayout PortraitState(const NavDisplayArea& area, int target, int stored) {
    const int h = area.height;
    const int p = area.positionHeight;
    switch (target) {
        case kNavFullMap: {
            NavDisplayLayout layout = FullMap(area, stored);
            return layout;
        }
        case kNavCompact:
            return {kNavCompact, stored, h - kLandscapeGap - p, p, kPageCompact, kCompactOrigins};
        default:
            return {kNavAlternate, stored, h - p + kAlternateMapExtra, p - kAlternatePageLess,
                    kPageAlternate, kAlternateOrigins};
    }
}

}  // namespace

PositionFieldRows FieldRowsFor(RowOrigins o) {
    return {{o.upper, o.upper + 18},
            {o.upper + 20, o.upper + 43},
            {o.lower, o.lower + 23},
            {o.lower + 24, o.lower + 44}};
}

NavDisplayLayout RestoreNavLayout(const NavDisplayArea& area, int state, bool fromCommand) {
    if (!area.portrait) {
        return {kNavAlternate, state, area.width - area.positionWidth - kLandscapeGap,
                area.positionWidth, kPageCompact, std::nullopt};
    }
    int target = state;
    if (fromCommand) target = state == kNavFullMap ? kNavCompact : kNavAlternate;
    return PortraitState(area, target, state);
}

NavDisplayLayout SaveNavLayout(const NavDisplayArea& area, int state) {
    return FullMap(area, state);
}

NavDisplayLayout SwitchNavLayout(const NavDisplayArea& area, int state) {
    return state == kNavAlternate ? SaveNavLayout(area, state) : RestoreNavLayout(area, state, true);
}

}  // namespace frame
