#pragma once
// The display texts that the settings loader sets at start-up.

#include <string_view>

namespace glide {

// The third character of the destination line's prefix ("To: "): '>' when
// the wind correction is on, ':' otherwise.
void SetDestinationSeparator(wchar_t separator);

// The contest distance text before the first result ("D: 0" and the unit).
void SetOlcDistanceText(std::wstring_view text);

// The latitude and longitude lines.
void SetLatitudeText(std::wstring_view text);
void SetLongitudeText(std::wstring_view text);

}  // namespace glide
