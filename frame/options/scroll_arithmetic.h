#pragma once
// The scroll arithmetic of a tall options page, without wx: positions are in
// units of g_nScrollUnit pixels, offsets in pixels (0 or negative: how far
// the contents are shifted up). The wx page (scrolled_property_page.h) keeps
// one ScrollState and moves its controls by the pixel amounts these
// functions return. UI thread only.

namespace frame {

// Pixels per scroll step: 5 at 96 dots per inch, never below 1.
int ScrollUnitForDpi(int dotsPerInch);

// The process-wide scroll unit, set once before the user interface starts.
extern int g_nScrollUnit;

// What the vertical scroll bar was asked to do.
enum class ScrollCode { kLineUp, kLineDown, kPageUp, kPageDown, kThumbTrack, kTop, kBottom, kOther };

struct ScrollState {
    int unit = 5;           // pixels per step
    int contentBottom = 0;  // pixels, a multiple of unit
    int pageStep = 0;       // steps
    int scrollMax = 0;      // steps
    int scrollPos = 0;      // steps
    int scrollOffset = 0;   // pixels, 0 or negative
};

// The content bottom of a page whose lowest control ends at lastBottom
// (client pixels): 10 pixels below it, rounded up to a multiple of unit.
int ContentBottom(int lastBottom, int unit);

// Range, page step and clamped position for a client area clientHeight tall.
void UpdateScrollRange(ScrollState& state, int clientHeight);

// Applies a scroll request; returns the pixels to move the contents by
// (negative: up), 0 when nothing moves.
int Scroll(ScrollState& state, ScrollCode code, int thumbPos = 0);

// After the client area became clientHeight tall: the range is renewed and,
// when the window grew below the contents, they move down (never past the
// top). Returns the pixels to move the contents by (0 or positive).
int Resize(ScrollState& state, int clientHeight);

// Back to the top; returns the pixels to move the contents down by.
int ScrollToTop(ScrollState& state);

}  // namespace frame
