#include "glide/display_texts.h"

namespace glide {

// The display texts fill these in.
void SetDestinationSeparator(wchar_t /*separator*/) {}
void SetOlcDistanceText(std::wstring_view /*text*/) {}
void SetLatitudeText(std::wstring_view /*text*/) {}
void SetLongitudeText(std::wstring_view /*text*/) {}

}  // namespace glide
