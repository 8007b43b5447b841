#include "frame/options/scroll_arithmetic.h"

#include <algorithm>

namespace frame {

int g_nScrollUnit = 5;

int ScrollUnitForDpi(int dotsPerInch) {
    return std::max(1, dotsPerInch * 5 / 92);
}

int ContentBottom(int lastBottom, int unit) {
    const int bottom = lastBottom + 10;
    const int rest = bottom % unit;
    return rest == 0 ? bottom : bottom + unit - rest;
}

void UpdateScrollRange(ScrollState& state, int clientHeight) {
    const int hidden = state.contentBottom - clientHeight;
    int steps = hidden / state.unit;
    if (hidden % state.unit != 0) steps += 1;
    state.scrollMax = std::max(0, steps);
    state.scrollPos = std::min(state.scrollPos, state.scrollMax);
    state.pageStep = (2 * clientHeight / state.unit) / 3;
}

int Scroll(ScrollState& state, ScrollCode code, int thumbPos) {
    int d = 0;
    switch (code) {
        case ScrollCode::kLineUp: d = -1; break;
        case ScrollCode::kLineDown: d = 1; break;
        case ScrollCode::kPageUp: d = state.pageStep > 0 ? -state.pageStep : -1; break;
        case ScrollCode::kPageDown: d = state.pageStep >= 1 ? state.pageStep : 1; break;
        case ScrollCode::kThumbTrack: d = thumbPos - state.scrollPos; break;
        case ScrollCode::kTop: d = -state.scrollPos; break;
        case ScrollCode::kBottom: d = state.scrollMax - state.scrollPos; break;
        case ScrollCode::kOther: break;
    }
    d = std::clamp(d, -state.scrollPos, state.scrollMax - state.scrollPos);
    if (d == 0) return 0;
    state.scrollPos += d;
    state.scrollOffset += -state.unit * d;
    return -state.unit * d;
}

int Resize(ScrollState& state, int clientHeight) {
    UpdateScrollRange(state, clientHeight);
    int grown = clientHeight - state.scrollOffset - state.contentBottom;
    grown -= grown % state.unit;
    int moved = 0;
    if (grown > 0) {
        moved = std::min(grown, -state.scrollOffset);
        state.scrollOffset += moved;
    }
    state.scrollPos = -state.scrollOffset / state.unit;
    return moved;
}

int ScrollToTop(ScrollState& state) {
    const int moved = state.scrollPos * state.unit;
    state.scrollPos = 0;
    state.scrollOffset = 0;
    return moved;
}

}  // namespace frame
