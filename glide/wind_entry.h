#pragma once
// What the wind dialog does, apart from its window: the values it opens
// with, reading a history line and a typed heading, and the two ways its OK
// sets the wind (a typed wind, or a typed compass heading that the heading
// method turns into a wind).
//
// UI thread; the wind state itself is guarded by WindLock.

#include <optional>
#include <string_view>

#include "texts/wind_texts.h"

namespace glide {

// Direction 0..359.99 degrees, speed 0..300 in the display unit.
inline constexpr float kWindDirectionMax = 359.99F;
inline constexpr float kWindSpeedMax = 300.0F;

struct WindDialogValues {
    float direction = 0.0F;  // degrees, tenths
    float speed = 0.0F;      // display speed unit, tenths
};
// The current wind, truncated to tenths.
WindDialogValues InitialWindDialogValues();

// A history line's direction and speed for the two fields; a direction
// printed as 360 becomes 0.
std::optional<WindLineValues> WindValuesOfLine(std::wstring_view line);

// A typed heading: none for an empty text (-1), the value, or the string of
// the message that refuses it (not one number; outside 0..359.999).
struct HeadingEntry {
    float heading = -1.0F;
    unsigned refusal = 0;  // 0: accepted
};
HeadingEntry ReadHeadingText(std::wstring_view text);

// OK with a heading (magnetic degrees): the heading method runs with it and
// the current ground velocity; only a good result becomes the current wind.
// Returns the method's result.
int ApplyWindHeading(float magneticHeading);
// OK without a heading: direction (degrees) and speed (display unit) become
// the current wind.
void ApplyWindEntry(float direction, float displaySpeed);
// After either: the wind texts and the speed-to-fly text.
void FinishWindEntry();

}  // namespace glide
