#include "glide/display_texts.h"

namespace glide {

// The display texts fill these in.
void SetDestinationSeparator(wchar_t /*separator*/) {}
void SetOlcDistanceText(std::wstring_view /*text*/) {}
void SetLatitudeText(std::wstring_view /*text*/) {}
void SetLongitudeText(std::wstring_view /*text*/) {}

// The waypoint-queue and position texts fill these in.
void UpdateWaypointQueueTexts(int /*reason*/) {}
std::uint32_t UpdatePositionTexts(std::uint32_t /*changes*/, bool /*replaying*/) {
    return 0;
}

}  // namespace glide
