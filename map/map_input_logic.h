#pragma once
// The map's buttons, picture and pointer input as plain logic, free of wx:
// debounce and hold timed on the steady clock, the picture's fitted size,
// the icon table's ids, and tap versus drag with the pan it gives.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace map {

using SteadyMs = std::int64_t;

// An icon button accepts a press only more than debounceMs after the last
// accepted one; an ignored press does nothing at all, but its release is
// still reported.
class IconButtonDebounce {
  public:
    static constexpr int kDefaultMs = 250;
    IconButtonDebounce(int debounceMs, SteadyMs created)
        : debounceMs_(debounceMs), lastPress_(created) {}
    bool AcceptPress(SteadyMs now);
    int DebounceMs() const { return debounceMs_; }

  private:
    int debounceMs_;
    SteadyMs lastPress_;
};

// A hold button reports a release only when it follows a press on this
// button and the press lasted more than holdMs.
class HoldPress {
  public:
    static constexpr int kHoldMs = 1500;
    void Press(SteadyMs now) { pressedAt_ = now; }
    // True when the release completes a long enough hold; every release
    // ends the press.
    bool Release(SteadyMs now);
    bool Pressed() const { return pressedAt_.has_value(); }

  private:
    std::optional<SteadyMs> pressedAt_;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The window size that shows a picture of `picture` inside `wanted`
// without distorting it; nothing when the picture has no height.
std::optional<PixelSize> FitToSize(PixelSize picture, PixelSize wanted);

// The map icon table: 15 entries; 0 where the loader leaves one empty.
inline constexpr int kMapIconCount = 15;
inline constexpr std::array<int, kMapIconCount> kMapIconIds{
    205, 222, 223, 224, 225, 226, 257, 258, 259, 260, 0, 0, 227, 228, 205};
inline constexpr int kMapIconBaseSize = 32;  // drawn at 32 x 32, scaled for the display
inline constexpr int kMapIconCellSize = 18;  // buttons centre their icon as if it were this

// --- Pointer and keys.
struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};
inline constexpr PixelPoint kNoPress{-8, -8};
inline constexpr int kTapSquaredDistance = 200;

// A release at `up` after a press at `down` is a tap (no press pending
// counts as a tap too).
bool IsTap(PixelPoint down, PixelPoint up);

// The drag's pan as the map-key message's lParam: |dx| x 2 + (dx < 0) in the
// low word, the same of dy in the high word; dx, dy = down - up.
std::intptr_t EncodePan(int dx, int dy);
PixelPoint DecodePan(std::intptr_t lParam);

inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyDrag = 256;

// The screen point that becomes the map's new centre for a map key; none
// for other keys. The centre takes the 24-pixel button column into account.
std::optional<PixelPoint> PanCentre(int key, std::intptr_t lParam, int clientWidth,
                                    int clientHeight);

// --- The goto list (the waypoint pick button).
inline constexpr int kPickRowHeight = 24;
inline constexpr std::size_t kPickNameLength = 12;
// The row a click at y selects; nothing outside the rows.
std::optional<int> PickRowAt(int y, int rowHeight, int rowCount);
// The widest value the value column must hold.
std::wstring PickValueSample(bool showDifference, bool showDifferenceInGoto, int altitudeUnit);
// The value column's width for a sample `sampleWidth` wide.
int PickValueColumnWidth(int sampleWidth);

}  // namespace map
